// The builder's command line, run as a user runs it.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <string>

#include "tool_run.h"

namespace {

ToolRun Sfxbuild(const std::string& arguments) { return Sh(std::string(SFXBUILD_PATH) + " " + arguments); }

class SfxbuildTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_FALSE(temp_.path().empty());
    dir_ = temp_.path();
  }

  std::string Path(const std::string& name) const { return dir_ + "/" + name; }
  std::string Write(const std::string& name, const std::string& content) const {
    std::ofstream(Path(name), std::ios::binary) << content;
    return Path(name);
  }
  static std::string Read(const std::string& path) { return ReadText(path); }
  static bool Exists(const std::string& path) {
    struct stat info;
    return stat(path.c_str(), &info) == 0;
  }

  TempDir temp_;
  std::string dir_;
};

TEST_F(SfxbuildTest, PackAppendsBlockAndArchiveAndVerifyAgrees) {
  std::string stub = Write("stub.exe", std::string(512, 'S'));
  std::string archive = Write("a.lzh", "archive bytes, 37 of them..........!");
  ToolRun pack = Sfxbuild("pack --stub " + stub + " --archive " + archive +
                      " --self-delete --final '[Desktop]\\readme.txt' -o " + Path("out.exe"));
  ASSERT_EQ(pack.code, 0) << pack.out;
  std::string built = Read(Path("out.exe"));
  ASSERT_EQ(built.size(), 512u + 256u + 36u);
  EXPECT_EQ(built.substr(0, 512), std::string(512, 'S'));
  EXPECT_EQ(built.compare(512, 30, std::string("\\Joinpak\\Payloadstart\\Yorbel\\\0", 30)), 0);
  EXPECT_EQ(built[512 + 32], 1);
  EXPECT_EQ(built.substr(512 + 64, 20), "[Desktop]\\readme.txt");
  EXPECT_EQ(built.substr(768), Read(archive));

  ToolRun verify = Sfxbuild("verify " + Path("out.exe"));
  EXPECT_EQ(verify.code, 0) << verify.out;
  EXPECT_NE(verify.out.find("self-removal: yes"), std::string::npos) << verify.out;
  EXPECT_NE(verify.out.find("final command: \"[Desktop]\\readme.txt\""), std::string::npos);
  EXPECT_NE(verify.out.find("archive: offset 768, 36 bytes"), std::string::npos) << verify.out;
  EXPECT_NE(verify.out.find("sums: agree"), std::string::npos);
}

TEST_F(SfxbuildTest, VerifyRefusesDamagedAndPlainFiles) {
  std::string stub = Write("stub.exe", std::string(256, '\x11'));
  std::string archive = Write("a.cab", std::string(64, '\x22'));
  ASSERT_EQ(Sfxbuild("pack --stub " + stub + " --archive " + archive + " -o " + Path("out.exe")).code, 0);
  std::string built = Read(Path("out.exe"));
  built[300 + 256] ^= 1;  // inside a counted row of the archive
  Write("damaged.exe", built);
  ToolRun damaged = Sfxbuild("verify " + Path("damaged.exe"));
  EXPECT_EQ(damaged.code, 1);
  EXPECT_NE(damaged.out.find("DIFFER"), std::string::npos) << damaged.out;

  ToolRun plain = Sfxbuild("verify " + stub);
  EXPECT_EQ(plain.code, 1);
  EXPECT_NE(plain.out.find("no payload block"), std::string::npos) << plain.out;
}

TEST_F(SfxbuildTest, BadInputsFailClearlyAndLeaveNoOutput) {
  std::string goodStub = Write("stub.exe", std::string(256, 'S'));
  std::string oddStub = Write("odd.exe", std::string(300, 'S'));
  std::string archive = Write("a.lzh", "x");
  std::string out = Path("out.exe");
  struct Case {
    std::string arguments, message;
  } cases[] = {
      {"--stub " + oddStub + " --archive " + archive, "not a multiple of 256"},
      {"--stub " + Path("missing.exe") + " --archive " + archive, "cannot read stub"},
      {"--stub " + goodStub + " --archive " + Path("missing.lzh"), "cannot read archive"},
      {"--stub " + goodStub + " --archive " + archive + " --final " + std::string(175, 'c'),
       "at most 174"},
  };
  for (const Case& c : cases) {
    ToolRun run = Sfxbuild("pack " + c.arguments + " -o " + out);
    EXPECT_EQ(run.code, 1) << c.arguments;
    EXPECT_NE(run.out.find(c.message), std::string::npos) << run.out;
    EXPECT_FALSE(Exists(out)) << c.arguments;
  }
  ToolRun longest = Sfxbuild("pack --stub " + goodStub + " --archive " + archive + " --final " +
                         std::string(174, 'c') + " -o " + out);
  EXPECT_EQ(longest.code, 0) << longest.out;

  ToolRun unwritable = Sfxbuild("pack --stub " + goodStub + " --archive " + archive + " -o " +
                            Path("no/such/folder/out.exe"));
  EXPECT_EQ(unwritable.code, 1);
  EXPECT_NE(unwritable.out.find("cannot write"), std::string::npos) << unwritable.out;
}

TEST_F(SfxbuildTest, UsageErrorsExitWithTwo) {
  EXPECT_EQ(Sfxbuild("").code, 2);
  EXPECT_EQ(Sfxbuild("pack --stub x").code, 2);
  EXPECT_EQ(Sfxbuild("pack --bogus").code, 2);
  EXPECT_EQ(Sfxbuild("verify").code, 2);
}

}  // namespace
