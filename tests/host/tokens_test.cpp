#include "tokens.h"

#include <gtest/gtest.h>

namespace {

TEST(Tokens, SetupIniAndSetupExeAreRefusedInAnApplicationFolder) {
  struct Case {
    const char* name;
    bool refused;
  } cases[] = {
      {"Setup.ini", true},   {"SETUP.EXE", true},      {"setup.Ini", true},
      {"Setup.ini.", true},  {"Setup.exe  ", true},    {"Setup.ini. .", true},  // Windows drops those
      {"Setup.inf", false},  {"Setup.ini.bak", false}, {"My Setup.exe", false},
      {"Setup", false},      {" Setup.ini", false},    {"", false},
  };
  for (const Case& c : cases) EXPECT_EQ(tokens::IsRefusedInApplication(c.name), c.refused) << '"' << c.name << '"';
}

TEST(Tokens, ShellProgramsAreTheOnesWithAProgramsExtension) {
  struct Case {
    const char* name;
    bool program;
  } cases[] = {
      {"setup.exe", true},        {"SETUP.EXE", true},        {"run.bat", true},     {"run.Cmd", true},
      {"old.com", true},          {"dos.pif", true},          {"a.b.exe", true},     {"\x95\x5C.exe", true},
      {"Setup.ini", false},       {"read me.txt", false},     {"exe", false},        {"setup.exe.txt", false},
      {"setup.exe2", false},      {"link.lnk", false},        {"setup", false},      {"", false},
  };
  for (const Case& c : cases) EXPECT_EQ(tokens::IsShellProgram(c.name), c.program) << c.name;
}

}  // namespace
