#include "command_line.h"

#include <gtest/gtest.h>

namespace {

TEST(SkipProgramPath, QuotedOrBarePathGivesTheRest) {
  EXPECT_STREQ(SkipProgramPath("\"C:\\a b\\x+y.exe\" +84"), " +84");
  EXPECT_STREQ(SkipProgramPath("C:\\x+y.exe -n"), " -n");
  EXPECT_STREQ(SkipProgramPath("C:\\x.exe\t+1"), "\t+1");
  EXPECT_STREQ(SkipProgramPath("\"C:\\never closed"), "");
  EXPECT_STREQ(SkipProgramPath("alone.exe"), "");
  EXPECT_STREQ(SkipProgramPath(""), "");
}

}  // namespace
