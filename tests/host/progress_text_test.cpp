#include "progress_text.h"
#include "thousands.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>

namespace {

std::string Thousands(int32_t value) {
  char buffer[progress::kThousandsSize];
  progress::FormatThousands(buffer, value);
  return buffer;
}

TEST(FormatThousands, GroupsDigitsInThrees) {
  EXPECT_EQ(Thousands(0), "0");
  EXPECT_EQ(Thousands(7), "7");
  EXPECT_EQ(Thousands(999), "999");
  EXPECT_EQ(Thousands(1000), "1,000");
  EXPECT_EQ(Thousands(65536), "65,536");
  EXPECT_EQ(Thousands(1234567), "1,234,567");
  EXPECT_EQ(Thousands(INT32_MAX), "2,147,483,647");
}

TEST(FormatThousands, SignStaysWithItsDigits) {
  EXPECT_EQ(Thousands(-1), "-1");
  EXPECT_EQ(Thousands(-123), "-123");
  EXPECT_EQ(Thousands(-1234), "-1,234");
  EXPECT_EQ(Thousands(-123456), "-123,456");
  EXPECT_EQ(Thousands(INT32_MIN), "-2,147,483,648");
}

TEST(FormatThousands, UnsignedCountsAbove2GiBStayPositive) {
  char buffer[progress::kThousandsSize];
  progress::FormatThousandsUnsigned(buffer, UINT32_MAX);
  EXPECT_STREQ(buffer, "4,294,967,295");
  char wide[thousands::kMaxSize];
  thousands::Group(wide, uint64_t{4294967296}, false);
  EXPECT_STREQ(wide, "4,294,967,296");
  thousands::Group(wide, UINT64_MAX, false);
  EXPECT_STREQ(wide, "18,446,744,073,709,551,615");
}

std::string Transport(uint32_t files, uint32_t bytes) {
  char buffer[progress::kCountTextSize];
  progress::TransportText(buffer, files, bytes);
  return buffer;
}

std::string Leftover(uint32_t files, uint32_t bytes) {
  char buffer[progress::kCountTextSize];
  progress::LeftoverText(buffer, files, bytes);
  return buffer;
}

TEST(TransportText, ZeroAndOneAreSingular) {
  EXPECT_EQ(Transport(0, 0), "Transport...\n\n0 File\n0 Byte");
  EXPECT_EQ(Transport(1, 1), "Transport...\n\n1 File\n1 Byte");
  EXPECT_EQ(Transport(2, 4096), "Transport...\n\n2 Files\n4,096 Bytes");
}

TEST(TransportText, LargeCountsAreUnsigned) {
  // A byte total past 2 GiB must not turn negative nor singular.
  EXPECT_EQ(Transport(1, 3000000000u), "Transport...\n\n1 File\n3,000,000,000 Bytes");
  EXPECT_EQ(Transport(UINT32_MAX, UINT32_MAX),
            "Transport...\n\n4,294,967,295 Files\n4,294,967,295 Bytes");
}

TEST(LeftoverText, NothingLeftSaysOnlyThatTheWorkspaceGoes) {
  EXPECT_EQ(Leftover(0, 0), "Deleting workspace...");
}

TEST(LeftoverText, LeftFilesAreCountedFirst) {
  EXPECT_EQ(Leftover(1, 0), "1 File\n0 Byte\n...failure at copy.\n\nDeleting workspace...");
  EXPECT_EQ(Leftover(0, 5), "0 File\n5 Bytes\n...failure at copy.\n\nDeleting workspace...");
  EXPECT_EQ(Leftover(1234, 2147483648u),
            "1,234 Files\n2,147,483,648 Bytes\n...failure at copy.\n\nDeleting workspace...");
}

}  // namespace
