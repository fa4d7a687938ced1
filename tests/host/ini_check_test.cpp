// The builder's check of a Setup.ini: one table per class of fault, each
// case a small file with one fault in it and the one finding it must give.
#include "setup/ini_check.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

namespace {

// The archive of the file cases, by the spellings the cases use: the
// tool resolves ".." and matches letters in any case itself.
bool Holds(void*, const char* path) {
  static const std::set<std::string> files = {"app.exe",     "readme.txt",      "logo.bmp",
                                              "sub/pic.emf", "sub\\..\\app.exe", "..\\[programs]\\app\\a.dll"};
  std::string lower = path;
  for (char& c : lower) c = static_cast<char>(tolower(static_cast<unsigned char>(c)));
  return files.count(lower) != 0;
}

std::vector<setup::Finding> Check(const std::string& ini, bool withShell = true) {
  setup::ShellFolder shell = {nullptr, Holds};
  return setup::CheckSetupIni(ini.data(), ini.size(), withShell ? &shell : nullptr);
}

std::string Shown(const std::vector<setup::Finding>& findings) {
  std::string text;
  for (const setup::Finding& f : findings)
    text += std::to_string(f.line) + (f.systemWide ? " (system-wide) " : " ") + f.where + ": " + f.message + "\n";
  return text;
}

struct Case {
  const char* what;
  std::string ini;
  size_t line;
  const char* where;
  const char* says;  // a part of the message
  bool systemWide;
};

void ExpectOneFinding(const Case& c) {
  std::vector<setup::Finding> findings = Check(c.ini);
  ASSERT_EQ(findings.size(), 1u) << c.what << "\n" << Shown(findings);
  const setup::Finding& f = findings[0];
  EXPECT_EQ(f.line, c.line) << c.what;
  EXPECT_EQ(f.where, c.where) << c.what;
  EXPECT_NE(f.message.find(c.says), std::string::npos) << c.what << ": " << f.message;
  EXPECT_EQ(f.systemWide, c.systemWide) << c.what;
}

// Uses nearly everything setup reads, correctly.
const char kClean[] =
    "; the sample application\r\n"
    "[Setup]\r\nName=\"Sample \x83\x41\x83\x76\x83\x8A\"\r\nAuto=0\r\n"
    "[Root]\r\nName=%programs%\\Sample\r\n"
    "[Check]\r\nMenu=2\r\nDesktop=1\r\nStartup=0\r\nExt=3\r\nSend=2\r\nCopy=1\r\nDel=0\r\nIconNo=0\r\n"
    "[Back]\r\nDo=1\r\n0=mode,rect\r\n1=rect,0,0,%100,%100\r\n2=bitmap,LOGO.BMP\r\n3=meta,sub/pic.emf\r\n"
    "4=bitmap,%system%\\setup.bmp\r\n5=page,1\r\n6=bitmap,never.bmp\r\n"
    "[Readme]\r\nFile=ReadMe.Special\r\nNo=3\r\nDone=1\r\n0=page,install\r\n1=text,readme.txt\r\n2=button1,-4,Close\r\n"
    "[Menu]\r\nName=Sample\r\nOpen=1\r\n"
    "[Menu0]\r\nName=Sample\r\nPath=app.exe\r\nShow=1\r\n[menu1]\r\nName=Read me\r\nPath=readme.txt\r\n"
    "[Desktop]\r\nName=Sample\r\nPath=app.exe\r\nShort=S\r\nIcon=app.exe\r\nArg='Bob's file'\r\n"
    "[Send0]\r\nName=Sample\r\nPath=app.exe\r\n"
    "[LastGo]\r\n0=$Read me\r\nDesktopAndGo=0\r\n"
    "[Reg]\r\nMake0=HKEY_CURRENT_USER\\Software\\Maker\\Sample\\\\Path\\%root%\\app.exe\r\n"
    "Erase0=HKEY_CURRENT_USER\\Software\\Maker\\Sample\r\n"
    "[Registry]\r\nCompany=Maker\r\nName=Sample\r\n"
    "[Ext0]\r\nExt=.smp\r\nKind=Sample.Document\r\nVerb=open\r\nVerb2=Open with Sample\r\n"
    "Command=\"%root%\\app.exe\" \"%1\" /open\r\nIcon=app.exe\r\nIconNo=1\r\n"
    "[CopyFile]\r\n0=app.exe\r\n1=!&?*readme.txt\r\n2=sub\\..\\APP.EXE\r\n"
    "Self=Sample Setup.exe\r\nDefaultNo=1\r\n"
    "[MakeDirectory]\r\n1=data\r\n"
    "[Del]\r\n0=data\\*.tmp\r\nForce=1\r\nShowError=1\r\n"
    "[DirRemove]\r\n1=data\r\n";

TEST(IniCheck, ACleanFileGivesNoFindings) {
  EXPECT_EQ(Shown(Check(kClean)), "");
  EXPECT_EQ(Shown(Check(kClean, false)), "");
  EXPECT_EQ(Shown(Check("")), "");
}

TEST(IniCheck, TheFileFormAndNamesGivenTwice) {
  const Case cases[] = {
      {"UTF-8 byte-order mark", "\xEF\xBB\xBF[Setup]\r\nName=A\r\n", 1, "", "byte-order mark", false},
      {"UTF-8 text", "[Setup]\r\nName=A\r\n[Menu0]\r\nName=\xE3\x82\xA2\xE3\x83\x97\xE3\x83\xAA\r\n", 4, "", "UTF-8",
       false},
      {"bytes code page 932 lacks", "[Setup]\r\nName=\x80x\r\n", 2, "", "no character for", false},
      {"a key before any section", "Name=A\r\n[Setup]\r\n", 1, "", "before the first section", false},
      {"a line without '='", "[Setup]\r\nName A\r\n", 2, "", "no '='", false},
      {"a header without ']'", "[Setup]\r\n[Check\r\nName=A\r\n", 2, "", "stay in [Setup]", false},
      {"a section given twice", "[Setup]\r\nName=A\r\n[setup]\r\nAuto=1\r\n", 3, "[setup]", "on line 1", false},
      {"a key given twice", "[Setup]\r\nName=A\r\nNAME=B\r\n", 3, "[Setup] NAME", "on line 2", false},
  };
  for (const Case& c : cases) ExpectOneFinding(c);
}

TEST(IniCheck, NamesSetupNeverReads) {
  const Case cases[] = {
      {"a misspelt section", "[Seup]\r\nName=A\r\n", 1, "[Seup]", "did you mean [Setup]?", false},
      {"a section far from any", "[Zebra]\r\n", 1, "[Zebra]", "no section of this name", false},
      {"a number with a leading zero", "[Menu01]\r\nName=A\r\n", 1, "[Menu01]", "did you mean [Menu1]?", false},
      {"a misspelt key", "[Setup]\r\nNmae=A\r\n", 2, "[Setup] Nmae", "did you mean Name?", false},
      {"a key of another section", "[Menu0]\r\nName=A\r\nShort=P\r\n", 3, "[Menu0] Short", "no key of this name",
       false},
      {"a list number with a leading zero", "[Reg]\r\nMake00=HKEY_CURRENT_USER\\A\r\n", 2, "[Reg] Make00",
       "did you mean Make0?", false},
      {"key 0 of a list from 1", "[MakeDirectory]\r\n0=x\r\n", 2, "[MakeDirectory] 0", "starts at 1", false},
  };
  for (const Case& c : cases) ExpectOneFinding(c);
}

TEST(IniCheck, ValuesSetupReadsOtherwise) {
  const Case cases[] = {
      {"a value longer than its buffer", "[Setup]\r\nName=" + std::string(260, 'x') + "\r\n", 2, "[Setup] Name",
       "260 bytes long; setup reads only the first 259", false},
      {"a registry line longer than 1039",
       "[Reg]\r\nMake0=HKEY_CURRENT_USER\\" + std::string(1040 - 18, 'k') + "\r\n", 2, "[Reg] Make0",
       "only the first 1039", false},
      {"an extension longer than 255", "[Ext0]\r\nExt=." + std::string(255, 'x') + "\r\n", 2, "[Ext0] Ext",
       "only the first 255", false},
      {"quotes at both ends and inside", "[Ext0]\r\nExt=.a\r\nCommand=\"app.exe\" \"%1\"\r\n", 3, "[Ext0] Command",
       "reads as app.exe\" \"%1", false},
      {"a word for a number", "[Setup]\r\nAuto=yes\r\n", 2, "[Setup] Auto", "yes is no number", false},
      {"an option value above 3", "[Check]\r\nDesktop=7\r\n", 2, "[Check] Desktop", "7 is no option value", false},
      {"a negative option value", "[Check]\r\nCopy=-1\r\n", 2, "[Check] Copy", "-1 is no option value", false},
  };
  for (const Case& c : cases) ExpectOneFinding(c);
  // One more pair of quotes around a quoted command reads as written.
  EXPECT_EQ(Shown(Check("[Ext0]\r\nExt=.a\r\nCommand=\"\"app.exe\" \"%1\"\"\r\n")), "");
  // The longest values that fit are no fault.
  EXPECT_EQ(Shown(Check("[Setup]\r\nName=" + std::string(259, 'x') + "\r\n[Ext0]\r\nExt=." + std::string(254, 'x') +
                        "\r\n[Reg]\r\nMake0=HKEY_CURRENT_USER\\" + std::string(1039 - 18, 'k') + "\r\n")),
            "");
}

TEST(IniCheck, ListsAndCountsThatSetupReadsOtherwise) {
  const Case cases[] = {
      {"a gap in a list of keys",
       "[Reg]\r\nMake0=HKEY_CURRENT_USER\\A\r\nMake1=HKEY_CURRENT_USER\\B\r\nMake3=HKEY_CURRENT_USER\\C\r\n"
       "Make4=HKEY_CURRENT_USER\\D\r\n",
       4, "[Reg] Make3", "ends before Make2, which is missing; Make3 and later are never read", false},
      {"an empty key ends a list", "[Del]\r\n0=\r\n1=a.tmp\r\n", 3, "[Del] 1", "ends before 0, which is empty", false},
      {"a list without its first key", "[LastGo]\r\n1=A\r\n", 2, "[LastGo] 1", "ends before 0, which is missing",
       false},
      {"a gap in a list of sections", "[Menu0]\r\nName=A\r\n[Menu1]\r\nName=B\r\n[Menu3]\r\nName=C\r\n", 5, "[Menu3]",
       "ends before [Menu2], which is missing; [Menu3] and later", false},
      {"a section without the key that keeps the list going", "[Ext0]\r\nKind=x\r\n[Ext1]\r\nExt=.a\r\n", 3, "[Ext1]",
       "[Ext0], which has no Ext", false},
      {"lines beyond No", "[Readme]\r\nFile=ReadMe.Special\r\nNo=1\r\n0=fill,1\r\n1=fill,2\r\n", 5, "[Readme] 1",
       "No is 1", false},
      {"No beyond the lines", "[Readme]\r\nFile=readme.special\r\nNo=3\r\n0=fill,1\r\n", 3, "[Readme] No",
       "the last line is 0", false},
      {"lines of a text read-me", "[Readme]\r\nFile=readme.txt\r\n0=fill,1\r\n", 3, "[Readme] 0",
       "not ReadMe.Special", false},
      {"a backdrop never painted", "[Back]\r\n0=fill,1\r\n", 2, "[Back] 0", "Do is 0", false},
      {"a description that says it is installed", "[CopiedFile]\r\nCount=1\r\n", 2, "[CopiedFile] Count",
       "setup drops the records and installs anew", false},
      {"a record that setup writes", "[Menu]\r\nMade=C:\\Menu\r\n", 2, "[Menu] Made", "writes this record itself",
       false},
  };
  for (const Case& c : cases) ExpectOneFinding(c);
}

TEST(IniCheck, FilesSetupLooksForInShell) {
  const Case cases[] = {
      {"a copy source missing", "[CopyFile]\r\n0=app.exe\r\n1=missing.dll\r\n", 3, "[CopyFile] 1",
       "missing.dll is not in [shell]", false},
      {"a destination above the installation folder", "[CopyFile]\r\n0=..\\..\\app.exe\r\n", 2, "[CopyFile] 0",
       "climbs above the installation folder: setup refuses the destination", false},
      {"a destination marked full that is not", "[CopyFile]\r\n0=&!app.exe\r\n", 2, "[CopyFile] 0",
       "!app.exe is no full path", false},
      {"marks out of order", "[CopyFile]\r\n0=?&app.exe\r\n", 2, "[CopyFile] 0", "'&' is no mark here", false},
      {"a mark given twice", "[copyfile]\r\n0=**app.exe\r\n", 2, "[copyfile] 0", "the path is *app.exe", false},
      {"marks alone", "[CopyFile]\r\n0=!&\r\n", 2, "[CopyFile] 0", "marks but no path", false},
      {"a read-me text missing", "[Readme]\r\nFile=guide.txt\r\n", 2, "[Readme] File", "guide.txt is not in [shell]",
       false},
      {"a read-me text in a folder, neither way found", "[Readme]\r\nFile=docs\\guide.txt\r\n", 2, "[Readme] File",
       "neither docs\\guide.txt nor guide.txt", false},
      {"a backdrop picture missing", "[Back]\r\nDo=1\r\n0=mode,rect\r\n1=Bitmap,missing.bmp\r\n", 4, "[Back] 1",
       "missing.bmp is not in [shell]", false},
      {"a page's text file missing",
       "[Readme]\r\nFile=ReadMe.Special\r\nNo=2\r\n0=page,install\r\n1=text,missing.txt\r\n", 5, "[Readme] 1",
       "missing.txt is not in [shell]", false},
  };
  for (const Case& c : cases) ExpectOneFinding(c);
  // Without the archive, the file's own rules only.
  EXPECT_EQ(Shown(Check("[CopyFile]\r\n0=missing.dll\r\n[Readme]\r\nFile=guide.txt\r\n", false)), "");
  // A read-me text found by its name alone, the way setup falls back to it.
  EXPECT_EQ(Shown(Check("[Readme]\r\nFile=%root%\\docs\\readme.txt\r\n")), "");
}

TEST(IniCheck, SettingsThatReachBeyondTheApplication) {
  const Case cases[] = {
      {"an Erase line of a shared key", "[Reg]\r\nErase0=HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\r\n", 2,
       "[Reg] Erase0", "a key that the whole system shares", true},
      {"a company key that is shared", "[Registry]\r\nCompany=Microsoft\r\n", 2, "[Registry] Company",
       "SOFTWARE\\Microsoft", true},
      {"a company and name that are shared", "[Registry]\r\nCompany=Microsoft\r\nName=Windows\r\n", 2,
       "[Registry] Company", "SOFTWARE\\Microsoft\\Windows", true},
      {"files of the Windows folder", "[Del]\r\n0=%windows%\\*.ini\r\n", 2, "[Del] 0", "Windows or system folder",
       true},
      {"files above the installation folder", "[Del]\r\n0=..\\*.*\r\n", 2, "[Del] 0",
       "climbs above the installation folder: setup deletes nothing", false},
      {"files of a path marked full that is not", "[Del]\r\n0=!logs\\*.*\r\n", 2, "[Del] 0", "no full path",
       false},
      {"a full path elsewhere", "[Del]\r\n0=!C:\\Logs\\*.*\r\n", 2, "[Del] 0", "outside the installation",
       true},
      {"a start menu of dots", "[Menu]\r\nName=..\r\n", 2, "[Menu] Name", "setup makes no start-menu folder",
       false},
      {"a start menu with an empty part", "[Menu]\r\nName=Tools\\\\App\r\n", 2, "[Menu] Name", "no folder name",
       false},
      {"a start menu the system shares", "[Menu]\r\nName=accessories\r\n", 2, "[Menu] Name",
       "removes only the links it names there", false},
      {"a proposed folder that climbs", "[Root]\r\nName=%programs%\\..\\..\\App\r\n", 2, "[Root] Name",
       "the dialog refuses the folder it proposes", false},
      {"an Erase line with an empty key", "[Reg]\r\nErase0=HKEY_CURRENT_USER\\\\x\r\n", 2, "[Reg] Erase0",
       "empty name", false},
      {"a line without a backslash", "[Reg]\r\nMake0=nothing\r\n", 2, "[Reg] Make0", "no backslash", false},
      {"a short root name", "[Reg]\r\nMake0=HKCU\\Software\\A\r\n", 2, "[Reg] Make0",
       "HKCU is no root key name; setup takes it for HKEY_LOCAL_MACHINE", false},
  };
  for (const Case& c : cases) ExpectOneFinding(c);
}

TEST(IniCheck, AssociationsSetupRefusesOrThatBindNothing) {
  const Case cases[] = {
      {"an extension of the shell", "[Ext0]\r\nExt=.EXE\r\nKind=Sample.Program\r\n", 2, "[Ext0] Ext",
       ".EXE is an extension of the shell's own; setup leaves the section alone", true},
      {"a class of the shell", "[Ext0]\r\nExt=.smp\r\nKind=Folder\r\n", 3, "[Ext0] Kind",
       "Folder is a class of the shell's own", true},
      {"a later section, as the file spells it", "[Ext0]\r\nExt=.a\r\nKind=A.Doc\r\n[ext1]\r\nExt=*\r\nKind=B.Doc\r\n",
       5, "[ext1] Ext", "* is an extension of the shell's own", true},
      {"an extension without its dot", "[Ext0]\r\nExt=smp\r\nKind=Sample.Document\r\n", 2, "[Ext0] Ext",
       "smp has no leading dot", false},
      {"a class inside another", "[Ext0]\r\nExt=.smp\r\nKind=Sample\\Document\r\n", 3, "[Ext0] Kind",
       "a key inside another key", false},
  };
  for (const Case& c : cases) ExpectOneFinding(c);
}

}  // namespace
