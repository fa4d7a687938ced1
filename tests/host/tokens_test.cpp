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

}  // namespace
