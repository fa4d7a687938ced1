// The Windows build of the builder, sfxbuild.exe, as an author runs it:
// its errors, warnings and checks, the same as on Linux.
#include <gtest/gtest.h>

#include "window_driver.h"

namespace {

struct ToolRun {
  int code;
  std::string out;  // stdout and stderr together
};

class SfxbuildExe : public ::testing::Test {
 protected:
  void SetUp() override {
    root_ = std::string("C:\\sfx e2e\\sfxbuild ") + ::testing::UnitTest::GetInstance()->current_test_info()->name();
    driver::RemoveTree(root_);
    ASSERT_TRUE(driver::MakeFolders(root_ + "\\app\\[System]"));
    ASSERT_TRUE(driver::WriteFileBytes(root_ + "\\app\\[System]\\a.dll", std::string(3000, 'a')));
  }
  void TearDown() override {
    if (!HasFailure()) driver::RemoveTree(root_);
  }

  // Runs sfxbuild.exe with `arguments` through the command interpreter,
  // which collects what it prints.
  ToolRun Sfxbuild(const std::string& arguments) {
    std::string log = root_ + "\\log.txt";
    DeleteFileA(log.c_str());
    std::string command = "cmd.exe /s /c \"\"" + driver::ProgramFolder() + "\\sfxbuild.exe\" " + arguments +
                          " > \"" + log + "\" 2>&1\"";
    ToolRun run;
    run.code = driver::RunToEnd(command, root_);
    run.out = driver::ReadFileBytes(log);
    return run;
  }
  std::string Pack(const std::string& more) {
    return "pack --format lzh --from \"" + root_ + "\\app\" " + more + " -o \"" + root_ + "\\out.exe\"";
  }

  std::string root_;
};

TEST_F(SfxbuildExe, PacksVerifiesAndListsAndWarnsAboutWhatWouldStay) {
  ASSERT_TRUE(driver::WriteFileBytes(root_ + "\\app\\loose.txt", "top"));
  ASSERT_TRUE(driver::MakeFolders(root_ + "\\app\\[Nowhere]"));
  ASSERT_TRUE(driver::WriteFileBytes(root_ + "\\app\\[Nowhere]\\b.txt", "b"));
  ToolRun pack = Sfxbuild(Pack("--final readme.txt"));
  EXPECT_EQ(pack.code, 0) << pack.out;
  EXPECT_NE(pack.out.find("warning: loose.txt lies at the top"), std::string::npos) << pack.out;
  EXPECT_NE(pack.out.find("warning: [Nowhere] is no destination token"), std::string::npos) << pack.out;
  EXPECT_NE(pack.out.find("warning: final command \"readme.txt\""), std::string::npos) << pack.out;
  EXPECT_NE(pack.out.find("3 files, 3,004 bytes in"), std::string::npos) << pack.out;

  ToolRun verify = Sfxbuild("verify \"" + root_ + "\\out.exe\"");
  EXPECT_EQ(verify.code, 0) << verify.out;
  EXPECT_NE(verify.out.find("sums: agree"), std::string::npos) << verify.out;
  ToolRun list = Sfxbuild("list \"" + root_ + "\\out.exe\"");
  EXPECT_EQ(list.code, 0) << list.out;
  EXPECT_NE(list.out.find("[System]\\a.dll"), std::string::npos) << list.out;

  std::string built = driver::ReadFileBytes(root_ + "\\out.exe");
  built[100] ^= 1;  // a counted row of the stub
  ASSERT_TRUE(driver::WriteFileBytes(root_ + "\\out.exe", built));
  ToolRun damaged = Sfxbuild("verify \"" + root_ + "\\out.exe\"");
  EXPECT_EQ(damaged.code, 1);
  EXPECT_NE(damaged.out.find("DIFFER"), std::string::npos) << damaged.out;
}

TEST_F(SfxbuildExe, BadInputsFailClearlyAndLeaveNoOutput) {
  ASSERT_TRUE(driver::MakeFolders(root_ + "\\empty\\[System]"));
  struct Case {
    std::string arguments;
    int code;
    const char* message;
  } cases[] = {
      {"pack --format lzh --from \"" + root_ + "\\missing\" -o \"" + root_ + "\\out.exe\"", 1, "no such folder"},
      {"pack --format cab --from \"" + root_ + "\\empty\" -o \"" + root_ + "\\out.exe\"", 1, "no files below"},
      {Pack("--final " + std::string(175, 'c')), 1, "at most 174"},
      {Pack("--stub \"" + root_ + "\\none.exe\""), 1, "stub program"},
      {"pack --format lzh --from \"" + root_ + "\\app\" -o \"" + root_ + "\\no\\such\\out.exe\"", 1, "cannot write"},
      {Pack("--method lh9"), 2, "unknown method"},
      {"pack --format zip --from x -o y", 2, "unknown format"},
  };
  for (const Case& c : cases) {
    ToolRun run = Sfxbuild(c.arguments);
    EXPECT_EQ(run.code, c.code) << c.arguments << "\n" << run.out;
    EXPECT_NE(run.out.find(c.message), std::string::npos) << c.arguments << "\n" << run.out;
    EXPECT_FALSE(driver::Exists(root_ + "\\out.exe")) << c.arguments;
  }
}

}  // namespace
