// sfxbuild making cabinets from a folder of token folders.
#include <gtest/gtest.h>

#include <stdio.h>
#include <stdlib.h>
#include <sys/stat.h>

#include <fstream>
#include <iterator>
#include <string>

#include "tool_run.h"

namespace {

class SfxbuildCabTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/sfxbuild-cab-test-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    dir_ = pattern;
    std::ofstream(Path("stub.exe"), std::ios::binary) << std::string(512, 'S');
  }
  void TearDown() override { Sh("rm -rf '" + dir_ + "'"); }

  std::string Path(const std::string& name) const { return dir_ + "/" + name; }
  void Put(const std::string& relative, const std::string& content) {
    std::string path = Path("app/" + relative);
    Sh("mkdir -p \"$(dirname '" + path + "')\"");
    std::ofstream(path, std::ios::binary) << content;
  }
  static std::string Read(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }
  ToolRun Pack(const std::string& arguments) {
    return Sh(std::string(SFXBUILD_PATH) + " pack " + arguments + " -o '" + Path("out.exe") + "'");
  }

  std::string dir_;
};

TEST_F(SfxbuildCabTest, FolderBecomesACabinetAfterTheBlock) {
  Put("[shell]/setup.txt", "run me");
  Put("[System]/lib.dll", std::string(70000, 'L'));
  Put("[Desktop]/deep/note.txt", "note");
  ToolRun pack = Pack("--format cab --from '" + Path("app") + "' --stub '" + Path("stub.exe") + "' --final '[Desktop]\\deep\\note.txt'");
  ASSERT_EQ(pack.code, 0) << pack.out;
  EXPECT_EQ(pack.out.find("warning"), std::string::npos) << pack.out;
  EXPECT_NE(pack.out.find("out.exe: 3 files, 70,010 bytes in"), std::string::npos) << pack.out;
  std::string built = Read(Path("out.exe"));
  std::ofstream(Path("a.cab"), std::ios::binary) << built.substr(768);
  ASSERT_EQ(Sh("cabextract -q -d '" + Path("x") + "' '" + Path("a.cab") + "'").code, 0);
  EXPECT_EQ(Read(Path("x/[shell]/setup.txt")), "run me");
  EXPECT_EQ(Read(Path("x/[System]/lib.dll")), std::string(70000, 'L'));
  EXPECT_EQ(Read(Path("x/[Desktop]/deep/note.txt")), "note");
  EXPECT_EQ(Sh(std::string(SFXBUILD_PATH) + " verify '" + Path("out.exe") + "'").code, 0);
  // Nothing of the cabinet's temporary file stays behind.
  EXPECT_EQ(Sh("ls '" + dir_ + "'").out, "a.cab\napp\nout.exe\nstub.exe\nx\n");
}

TEST_F(SfxbuildCabTest, TopLevelFilesAreAWarningAndStillPacked) {
  Put("[System]/a", "a");
  Put("loose.txt", "loose");
  ToolRun pack = Pack("--format extract --from '" + Path("app") + "' --stub '" + Path("stub.exe") + "'");
  ASSERT_EQ(pack.code, 0) << pack.out;
  EXPECT_NE(pack.out.find("warning: loose.txt lies at the top"), std::string::npos) << pack.out;
  std::ofstream(Path("a.cab"), std::ios::binary) << Read(Path("out.exe")).substr(768);
  ASSERT_EQ(Sh("cabextract -q -d '" + Path("x") + "' '" + Path("a.cab") + "'").code, 0);
  EXPECT_EQ(Read(Path("x/loose.txt")), "loose");
}

TEST_F(SfxbuildCabTest, BadFoldersAndFormatsFailWithoutOutput) {
  Sh("mkdir -p '" + Path("empty/[System]") + "'");
  Put("[System]/back\\slash", "b");
  struct Case {
    std::string arguments;
    int code;
    const char* message;
  } cases[] = {
      {"--format cab --from '" + Path("empty") + "' --stub '" + Path("stub.exe") + "'", 1, "no files below"},
      {"--format cab --from '" + Path("missing") + "' --stub '" + Path("stub.exe") + "'", 1, "no such folder"},
      {"--format cab --from '" + Path("app") + "' --stub '" + Path("stub.exe") + "'", 1, "backslash"},
      {"--format zip --from '" + Path("app") + "'", 2, "unknown format"},
      {"--format cab", 2, "usage"},
      {"--format cab --from x --archive y --stub z", 2, "usage"},
  };
  for (const Case& c : cases) {
    ToolRun run = Pack(c.arguments);
    EXPECT_EQ(run.code, c.code) << c.arguments;
    EXPECT_NE(run.out.find(c.message), std::string::npos) << run.out;
    EXPECT_EQ(Sh("ls '" + dir_ + "' | grep out").out, "") << c.arguments;
  }
}

TEST_F(SfxbuildCabTest, StubIsLookedForBesideTheBuilder) {
  // The host build has no stub programs beside sfxbuild.
  Put("[System]/a", "a");
  ToolRun run = Pack("--format cab --from '" + Path("app") + "'");
  EXPECT_EQ(run.code, 1);
  EXPECT_NE(run.out.find("stub-cab.exe"), std::string::npos) << run.out;
}

}  // namespace
