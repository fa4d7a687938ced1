// sfxbuild check, and the same check in pack, run as a user runs them.
#include <gtest/gtest.h>

#include <string>

#include "tool_run.h"

namespace {

class SfxbuildCheckTest : public SfxbuildFolderTest {
 protected:
  void SetUp() override {
    SfxbuildFolderTest::SetUp();
    Put("[shell]/setup.exe", "MZ");
    Put("[shell]/app.exe", "MZ");
    Put("[Programs]/App/notes.txt", "notes");
  }
  std::string Ini() const { return Path("app/[shell]/Setup.ini"); }
};

TEST_F(SfxbuildCheckTest, EachFaultGivesOneWarningNamingItsLine) {
  struct Case {
    const char* what;
    std::string ini;
    const char* warning;
  } cases[] = {
      {"a gap in a list of sections", "[Menu0]\r\nName=A\r\nPath=app.exe\r\n[Menu2]\r\nName=B\r\n",
       "Setup.ini:4: warning: [Menu2]: the list ends before [Menu1], which is missing; [Menu2] and later are never "
       "read"},
      {"a misspelt key", "[Setup]\r\nName=A\r\nAtuo=1\r\n",
       "Setup.ini:3: warning: [Setup] Atuo: setup reads no key of this name in [Setup]; did you mean Auto?"},
      {"a copy source missing from [shell]", "[CopyFile]\r\n0=app.exe\r\n1=lib\\missing.dll\r\n",
       "Setup.ini:3: warning: [CopyFile] 1: lib\\missing.dll is not in [shell]"},
      {"an option value", "[Check]\r\nMenu=4\r\n", "Setup.ini:2: warning: [Check] Menu: 4 is no option value"},
      {"a file saved as UTF-8", "[Setup]\r\nName=\xE3\x82\xA2\xE3\x83\x97\xE3\x83\xAA\r\n",
       "Setup.ini:2: warning: this line is UTF-8 text"},
      {"a shared key erased",
       "[Reg]\r\nErase0=HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Run\r\n",
       "Setup.ini:2: warning (system-wide): [Reg] Erase0: the line names a key that the whole system shares"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Put("[shell]/Setup.ini", c.ini);
    ToolRun run = RunSfxbuild("check " + Quote(Path("app")));
    EXPECT_EQ(run.code, 0) << run.out;
    EXPECT_NE(run.out.find(c.warning), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("Setup.ini: 1 warning\n"), std::string::npos) << run.out;
    ToolRun strict = RunSfxbuild("check --strict " + Quote(Path("app")));
    EXPECT_EQ(strict.code, 1) << strict.out;
    EXPECT_NE(strict.out.find("1 warning (--strict)"), std::string::npos) << strict.out;
  }
}

TEST_F(SfxbuildCheckTest, ACleanDescriptionGivesNoWarnings) {
  // A name that this disk holds in UTF-8 and the description in code page
  // 932, the second byte of "表" a backslash.
  Put("[shell]/\xE8\xA1\xA8\xE7\xA4\xBA.txt", "shown");
  Put("[shell]/notes.txt", "notes");
  Put("[shell]/Setup.ini",
      "[Setup]\r\nName=App\r\n[Root]\r\nName=%programs%\\App\r\n[Check]\r\nMenu=2\r\n"
      "[Menu0]\r\nName=App\r\nPath=app.exe\r\n[CopyFile]\r\n0=app.exe\r\n1=sub\\..\\NOTES.TXT\r\n"
      "2=\x95\x5C\x8E\xA6.txt\r\n");
  for (const std::string& target : {Path("app"), Ini()}) {
    ToolRun run = RunSfxbuild("check --strict " + Quote(target));
    EXPECT_EQ(run.code, 0) << run.out;
    EXPECT_NE(run.out.find("Setup.ini: no warnings"), std::string::npos) << run.out;
  }
}

TEST_F(SfxbuildCheckTest, ASetupIniAloneIsCheckedWithItsFolderOnlyInShell) {
  const std::string ini = "[Setup]\r\nName=App\r\n[CopyFile]\r\n0=missing.exe\r\n";
  Put("[shell]/Setup.ini", ini);
  Write("loose/Setup.ini", ini);
  ToolRun inShell = RunSfxbuild("check " + Quote(Ini()));
  EXPECT_EQ(inShell.code, 0) << inShell.out;
  EXPECT_NE(inShell.out.find("missing.exe is not in [shell]"), std::string::npos) << inShell.out;
  EXPECT_EQ(inShell.out.find("lies at the top"), std::string::npos) << inShell.out;
  ToolRun loose = RunSfxbuild("check " + Quote(Path("loose/Setup.ini")));
  EXPECT_EQ(loose.code, 0) << loose.out;
  EXPECT_NE(loose.out.find("Setup.ini: no warnings"), std::string::npos) << loose.out;
}

TEST_F(SfxbuildCheckTest, PackChecksTheDescriptionAndStrictStopsIt) {
  Put("[shell]/Setup.ini", "[Setup]\r\nName=App\r\n[Reg]\r\nMake1=HKEY_CURRENT_USER\\Software\\App\r\n");
  std::string pack = "pack --format lzh --from " + Quote(Path("app")) + " --stub " + Quote(Path("stub.exe")) + " -o ";
  ToolRun warned = RunSfxbuild(pack + Quote(Path("out.exe")));
  EXPECT_EQ(warned.code, 0) << warned.out;
  EXPECT_NE(warned.out.find("Setup.ini:4: warning: [Reg] Make1: the list ends before Make0"), std::string::npos)
      << warned.out;
  EXPECT_TRUE(Exists(Path("out.exe")));
  ToolRun strict = RunSfxbuild("pack --strict --format lzh --from " + Quote(Path("app")) + " --stub " +
                               Quote(Path("stub.exe")) + " -o " + Quote(Path("strict.exe")));
  EXPECT_EQ(strict.code, 1) << strict.out;
  EXPECT_FALSE(Exists(Path("strict.exe")));
  EXPECT_FALSE(Exists(Path("strict.exe.archive-tmp")));
}

TEST_F(SfxbuildCheckTest, WhatCannotBeCheckedIsSaid) {
  struct Case {
    std::string arguments;
    int code;
    const char* says;
  } cases[] = {
      {"check " + Quote(Path("nothing.ini")), 1, "cannot read"},
      {"check", 2, "usage:"},
      {"check a b", 2, "usage:"},
      {"check --loose x", 2, "usage:"},
      {"pack --strict --stub " + Quote(Path("stub.exe")) + " --archive x -o y", 2, "usage:"},
  };
  for (const Case& c : cases) {
    ToolRun run = RunSfxbuild(c.arguments);
    EXPECT_EQ(run.code, c.code) << c.arguments << "\n" << run.out;
    EXPECT_NE(run.out.find(c.says), std::string::npos) << run.out;
  }
  // A folder without a description has nothing to check.
  Write("bare/[Programs]/a.txt", "a");
  ToolRun bare = RunSfxbuild("check --strict " + Quote(Path("bare")));
  EXPECT_EQ(bare.code, 0) << bare.out;
  EXPECT_NE(bare.out.find("nothing to check"), std::string::npos) << bare.out;
  // A flood of warnings is cut.
  std::string flood = "[Setup]\r\n";
  for (int i = 0; i < 300; ++i) flood += "no equals\r\n";
  Write("flood.ini", flood);
  ToolRun flooded = RunSfxbuild("check " + Quote(Path("flood.ini")));
  EXPECT_NE(flooded.out.find("flood.ini:201: warning"), std::string::npos) << flooded.out.substr(0, 500);
  EXPECT_EQ(flooded.out.find("flood.ini:202: warning"), std::string::npos);
  EXPECT_NE(flooded.out.find("flood.ini: 100 more warnings not shown"), std::string::npos);
  EXPECT_NE(flooded.out.find("flood.ini: 300 warnings"), std::string::npos);
}

}  // namespace
