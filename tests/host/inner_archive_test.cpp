// The trailer by which innersfx.exe finds its cabinet.
#include <gtest/gtest.h>

#include <string.h>

#include "inner_archive.h"

namespace {

TEST(InnerTrailer, WrittenTrailerIsReadBack) {
  uint8_t trailer[inner::kTrailerSize];
  inner::WriteTrailer(trailer, 0x1234, 0x56789A);
  EXPECT_EQ(memcmp(trailer, "SfxInner\x34\x12\x00\x00\x9A\x78\x56\x00", sizeof trailer), 0);
  inner::Span span = {0, 0};
  ASSERT_EQ(inner::ReadTrailer(trailer, 0x1234 + 0x56789A + 16, &span), core::Result::kOk);
  EXPECT_EQ(span.offset, 0x1234u);
  EXPECT_EQ(span.length, 0x56789Au);
}

TEST(InnerTrailer, DamagedOrMisplacedTrailersAreRefused) {
  struct Case {
    const char* what;
    uint32_t offset, length;
    uint64_t fileSize;
    int spoilByte;  // -1 keeps the marker whole
    core::Result result;
  } cases[] = {
      {"marker spoilt", 1024, 100, 1140, 3, core::Result::kBadHeader},
      {"file grew after the trailer was written", 1024, 100, 1141, -1, core::Result::kBadHeader},
      {"file was cut", 1024, 100, 1139, -1, core::Result::kBadHeader},
      {"shorter than a cabinet header", 1024, 35, 1075, -1, core::Result::kBadHeader},
      {"fields that wrap in 32 bits", 0xFFFFFFF0u, 0x20, 0x20, -1, core::Result::kBadHeader},
      {"file shorter than a trailer", 0, 0, 15, -1, core::Result::kTruncated},
  };
  for (const Case& c : cases) {
    uint8_t trailer[inner::kTrailerSize];
    inner::WriteTrailer(trailer, c.offset, c.length);
    if (c.spoilByte >= 0) trailer[c.spoilByte] ^= 0x20;
    inner::Span span = {7, 7};
    EXPECT_EQ(inner::ReadTrailer(trailer, c.fileSize, &span), c.result) << c.what;
    EXPECT_EQ(span.offset, 7u) << c.what;
  }
}

}  // namespace
