// The Windows build of the builder, sfxbuild.exe, as an author runs it:
// its errors, warnings and checks, the same as on Linux.
#include <gtest/gtest.h>

#include "built_file.h"

namespace {

class SfxbuildExe : public driver::ScratchTest {
 protected:
  void SetUp() override {
    ScratchTest::SetUp();
    ASSERT_TRUE(driver::PutFile(root_ + "\\app\\[System]\\a.dll", std::string(3000, 'a')));
  }

  driver::Captured Sfxbuild(const std::string& arguments) {
    return driver::RunCaptured(driver::SfxbuildCommand(arguments), root_);
  }
  std::string Pack(const std::string& more) {
    return "pack --format lzh --from \"" + root_ + "\\app\" " + more + " -o \"" + root_ + "\\out.exe\"";
  }
};

TEST_F(SfxbuildExe, PacksVerifiesAndListsAndWarnsAboutWhatWouldStay) {
  ASSERT_TRUE(driver::PutFile(root_ + "\\app\\loose.txt", "top"));
  ASSERT_TRUE(driver::PutFile(root_ + "\\app\\[Nowhere]\\b.txt", "b"));
  driver::Captured pack = Sfxbuild(Pack("--final readme.txt"));
  EXPECT_EQ(pack.code, 0) << pack.out;
  EXPECT_NE(pack.out.find("warning: loose.txt lies at the top"), std::string::npos) << pack.out;
  EXPECT_NE(pack.out.find("warning: [Nowhere] is no destination token"), std::string::npos) << pack.out;
  EXPECT_NE(pack.out.find("warning: final command \"readme.txt\""), std::string::npos) << pack.out;
  EXPECT_NE(pack.out.find("3 files, 3,004 bytes in"), std::string::npos) << pack.out;

  driver::Captured verify = Sfxbuild("verify \"" + root_ + "\\out.exe\"");
  EXPECT_EQ(verify.code, 0) << verify.out;
  EXPECT_NE(verify.out.find("sums: agree"), std::string::npos) << verify.out;
  driver::Captured list = Sfxbuild("list \"" + root_ + "\\out.exe\"");
  EXPECT_EQ(list.code, 0) << list.out;
  EXPECT_NE(list.out.find("[System]\\a.dll"), std::string::npos) << list.out;

  std::string built = driver::ReadFileBytes(root_ + "\\out.exe");
  built[100] ^= 1;  // a counted row of the stub
  ASSERT_TRUE(driver::WriteFileBytes(root_ + "\\out.exe", built));
  driver::Captured damaged = Sfxbuild("verify \"" + root_ + "\\out.exe\"");
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
    driver::Captured run = Sfxbuild(c.arguments);
    EXPECT_EQ(run.code, c.code) << c.arguments << "\n" << run.out;
    EXPECT_NE(run.out.find(c.message), std::string::npos) << c.arguments << "\n" << run.out;
    EXPECT_FALSE(driver::Exists(root_ + "\\out.exe")) << c.arguments;
  }
}

}  // namespace
