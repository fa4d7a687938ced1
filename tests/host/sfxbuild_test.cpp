// The builder's command line, run as a user runs it.
#include <gtest/gtest.h>

#include <string>

#include "tool_run.h"

namespace {

using SfxbuildTest = ScratchDirTest;

TEST_F(SfxbuildTest, PackAppendsBlockAndArchiveAndVerifyAgrees) {
  std::string stub = Write("stub.exe", std::string(512, 'S'));
  std::string archive = Write("a.lzh", "archive bytes, 37 of them..........!");
  ToolRun pack = RunSfxbuild("pack --stub " + stub + " --archive " + archive +
                      " --self-delete --final '[Desktop]\\readme.txt' -o " + Path("out.exe"));
  ASSERT_EQ(pack.code, 0) << pack.out;
  std::string built = Read(Path("out.exe"));
  ASSERT_EQ(built.size(), 512u + 256u + 36u);
  EXPECT_EQ(built.substr(0, 512), std::string(512, 'S'));
  EXPECT_EQ(built.compare(512, 30, std::string("\\Joinpak\\Payloadstart\\Yorbel\\\0", 30)), 0);
  EXPECT_EQ(built[512 + 32], 1);
  EXPECT_EQ(built.substr(512 + 64, 20), "[Desktop]\\readme.txt");
  EXPECT_EQ(built.substr(768), Read(archive));

  ToolRun verify = RunSfxbuild("verify " + Path("out.exe"));
  EXPECT_EQ(verify.code, 0) << verify.out;
  EXPECT_NE(verify.out.find("self-removal: yes"), std::string::npos) << verify.out;
  EXPECT_NE(verify.out.find("final command: \"[Desktop]\\readme.txt\""), std::string::npos);
  EXPECT_NE(verify.out.find("archive: offset 768, 36 bytes"), std::string::npos) << verify.out;
  EXPECT_NE(verify.out.find("sums: agree"), std::string::npos);
}

TEST_F(SfxbuildTest, VerifyRefusesDamagedAndPlainFiles) {
  std::string stub = Write("stub.exe", std::string(256, '\x11'));
  std::string archive = Write("a.cab", std::string(64, '\x22'));
  ASSERT_EQ(RunSfxbuild("pack --stub " + stub + " --archive " + archive + " -o " + Path("out.exe")).code, 0);
  std::string built = Read(Path("out.exe"));
  built[300 + 256] ^= 1;  // inside a counted row of the archive
  Write("damaged.exe", built);
  ToolRun damaged = RunSfxbuild("verify " + Path("damaged.exe"));
  EXPECT_EQ(damaged.code, 1);
  EXPECT_NE(damaged.out.find("DIFFER"), std::string::npos) << damaged.out;

  ToolRun plain = RunSfxbuild("verify " + stub);
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
    ToolRun run = RunSfxbuild("pack " + c.arguments + " -o " + out);
    EXPECT_EQ(run.code, 1) << c.arguments;
    EXPECT_NE(run.out.find(c.message), std::string::npos) << run.out;
    EXPECT_FALSE(Exists(out)) << c.arguments;
  }
  ToolRun longest = RunSfxbuild("pack --stub " + goodStub + " --archive " + archive + " --final " +
                         std::string(174, 'c') + " -o " + out);
  EXPECT_EQ(longest.code, 0) << longest.out;

  ToolRun unwritable = RunSfxbuild("pack --stub " + goodStub + " --archive " + archive + " -o " +
                            Path("no/such/folder/out.exe"));
  EXPECT_EQ(unwritable.code, 1);
  EXPECT_NE(unwritable.out.find("cannot write"), std::string::npos) << unwritable.out;
}

TEST_F(SfxbuildTest, UsageErrorsExitWithTwo) {
  EXPECT_EQ(RunSfxbuild("").code, 2);
  EXPECT_EQ(RunSfxbuild("pack --stub x").code, 2);
  EXPECT_EQ(RunSfxbuild("pack --bogus").code, 2);
  EXPECT_EQ(RunSfxbuild("verify").code, 2);
}

}  // namespace
