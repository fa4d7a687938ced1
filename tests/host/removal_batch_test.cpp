#include "removal_batch.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(DoublePercents, EveryPercentIsDoubledAndNothingElseChanges) {
  struct Case {
    const char* path;
    const char* expected;
  } cases[] = {
      {"C:\\Program Files\\App\\Setup.exe", "C:\\Program Files\\App\\Setup.exe"},
      {"C:\\My%20Setup.exe", "C:\\My%%20Setup.exe"},
      {"C:\\%APPDATA%\\App", "C:\\%%APPDATA%%\\App"},
      {"%%", "%%%%"},
      {"C:\\\x95\x5C%\\x.exe", "C:\\\x95\x5C%%\\x.exe"},  // a trail byte 0x5C stays as it is
      {"", ""},
  };
  for (const Case& c : cases) {
    char out[64];
    EXPECT_TRUE(removal::DoublePercents(out, sizeof out, c.path)) << c.path;
    EXPECT_STREQ(out, c.expected);
  }
}

TEST(DoublePercents, WhatDoesNotFitIsRefusedNotCut) {
  char out[8] = "junk";
  EXPECT_TRUE(removal::DoublePercents(out, 5, "a%b"));  // "a%%b" and its NUL
  EXPECT_STREQ(out, "a%%b");
  EXPECT_FALSE(removal::DoublePercents(out, 4, "a%b"));
  EXPECT_STREQ(out, "");
  EXPECT_FALSE(removal::DoublePercents(out, 3, "abc"));
  EXPECT_FALSE(removal::DoublePercents(out, 0, ""));
}

TEST(BatchText, QuotesAndEscapesEveryPathAndGivesUpAfterItsTries) {
  char out[removal::kBatchTextSize];
  size_t length = removal::BatchText(out, sizeof out, "C:\\My Apps\\100%x%\\Setup.exe", "C:\\My Apps\\100%x%",
                                     "\\delus.bat");
  EXPECT_EQ(std::string(out),
            "set tries=0\r\n"
            ":Repeat\r\n"
            "del \"C:\\My Apps\\100%%x%%\\Setup.exe\"\r\n"
            "set /a tries+=1\r\n"
            "if exist \"C:\\My Apps\\100%%x%%\\Setup.exe\" if %tries% lss 50000 goto Repeat\r\n"
            "rmdir \"C:\\My Apps\\100%%x%%\"\r\n"
            "del \"\\delus.bat\"\r\n");
  EXPECT_EQ(length, std::string(out).size());

  removal::BatchText(out, sizeof out, "C:\\a b\\%TEMP%.exe", nullptr, "\\delus.bat");
  EXPECT_EQ(std::string(out),
            "set tries=0\r\n:Repeat\r\ndel \"C:\\a b\\%%TEMP%%.exe\"\r\nset /a tries+=1\r\n"
            "if exist \"C:\\a b\\%%TEMP%%.exe\" if %tries% lss 50000 goto Repeat\r\ndel \"\\delus.bat\"\r\n")
      << "no folder, no rmdir";
}

TEST(BatchText, TheLongestPathsFitAndATooSmallBufferIsRefused) {
  std::string percents(259, '%');
  char out[removal::kBatchTextSize];
  EXPECT_GT(removal::BatchText(out, sizeof out, percents.c_str(), percents.c_str(), percents.c_str()), 4 * 518u);
  char small[100] = "junk";
  EXPECT_EQ(removal::BatchText(small, sizeof small, "C:\\x.exe", "C:\\folder with a long name", "\\delus.bat"), 0u);
  EXPECT_STREQ(small, "");
}

}  // namespace
