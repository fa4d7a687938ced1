// Where a bitmap file's parts lie, and which files are refused before the
// platform reads or allocates anything by their headers.
#include "draw/bmp.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using core::Result;

struct Fields {
  uint32_t declaredSize, pixelStart, infoSize;
  int32_t width, height;
  uint16_t bits;
  uint32_t compression;
  uint64_t fileSize;
};

// A well-formed file of `width` x `height` at `bits`, as a writer lays it out.
Fields Good(int32_t width, int32_t height, uint16_t bits) {
  uint32_t table = bits <= 8 ? 4u << bits : 0, stride = (width * bits + 31) / 32 * 4;
  uint32_t size = 54 + table + stride * height;
  return {size, 54 + table, 40, width, height, bits, 0, size};
}

// The same with one field changed.
template <typename Change>
Fields Good(int32_t width, int32_t height, uint16_t bits, Change change) {
  Fields f = Good(width, height, bits);
  change(f);
  return f;
}

std::vector<uint8_t> Head(const Fields& f) {
  std::vector<uint8_t> head(54, 0);
  const struct {
    size_t at;
    uint32_t value;
    int bytes;
  } fields[] = {{0, 'B' | 'M' << 8, 2},  {2, f.declaredSize, 4}, {10, f.pixelStart, 4}, {14, f.infoSize, 4},
                {18, uint32_t(f.width), 4}, {22, uint32_t(f.height), 4}, {26, 1, 2}, {28, f.bits, 2},
                {30, f.compression, 4}};
  for (const auto& field : fields)
    for (int i = 0; i < field.bytes; ++i) head[field.at + i] = static_cast<uint8_t>(field.value >> (8 * i));
  return head;
}

TEST(BmpLayout, EachDepthLaysOutTableAndPixels) {
  struct Case {
    Fields file;
    uint32_t table, pixelOffset, pixelSize;
  } cases[] = {
      {Good(9, 3, 1), 8, 62, 12},       // rows of 9 bits take 4 bytes
      {Good(9, 3, 4), 64, 118, 24},     // 36 bits: 8 bytes
      {Good(5, 2, 8), 1024, 1078, 16},  // 5 bytes padded to 8
      {Good(3, 2, 24), 0, 54, 24},      // 9 bytes padded to 12
      {Good(1, 1, 24, [](Fields& f) { f.declaredSize += 10; f.fileSize += 10; }), 0, 54, 14}};  // more than the rows
  for (const Case& c : cases) {
    bmp::Layout layout = {};
    std::vector<uint8_t> head = Head(c.file);
    ASSERT_EQ(bmp::ReadLayout(head.data(), head.size(), c.file.fileSize, &layout), Result::kOk) << c.file.bits;
    EXPECT_EQ(layout.width * 100 + layout.height, c.file.width * 100 + c.file.height);
    EXPECT_EQ(layout.bitCount, c.file.bits);
    EXPECT_EQ(layout.infoOffset + layout.infoSize, 54u);
    EXPECT_EQ(layout.colourTableOffset, 54u);
    EXPECT_EQ(layout.colourTableSize, c.table);
    EXPECT_EQ(layout.pixelOffset, c.pixelOffset);
    EXPECT_EQ(layout.pixelSize, c.pixelSize);
  }
}

TEST(BmpLayout, MalformedFilesAreRefused) {
  struct Case {
    const char* what;
    Fields file;
    size_t headSize;
    Result result;
  } cases[] = {
      {"head shorter than the headers", Good(4, 4, 8), 53, Result::kTruncated},
      {"file shorter than the headers", {54, 54, 40, 1, 1, 24, 0, 53}, 54, Result::kTruncated},
      {"colour table not in the file", {54, 54, 40, 1, 1, 8, 0, 54 + 1023}, 54, Result::kTruncated},
      {"pixels not in the file", Good(4, 4, 8, [](Fields& f) { f.fileSize -= 1; }), 54, Result::kTruncated},
      {"short table: pixels read behind a full one", {134, 118, 40, 4, 4, 8, 0, 134}, 54, Result::kTruncated},
      {"pixel start beyond the size", Good(4, 4, 24, [](Fields& f) { f.pixelStart = f.declaredSize + 1; }), 54,
       Result::kBadHeader},
      {"pixels fewer than the rows", Good(4, 4, 24, [](Fields& f) { f.declaredSize -= 1; }), 54, Result::kBadHeader},
      {"zero width", Good(0, 4, 24), 54, Result::kBadHeader},
      {"negative width", Good(4, 4, 24, [](Fields& f) { f.width = -4; }), 54, Result::kBadHeader},
      {"top-down", Good(4, 4, 24, [](Fields& f) { f.height = -4; }), 54, Result::kBadHeader},
      {"rows beyond 32 bits", {~0u, 54, 40, 0x7FFFFFFF, 0x7FFFFFFF, 24, 0, ~0u}, 54, Result::kTooLarge},
      {"rows that wrap 32 bits to 0", {~0u, 1078, 40, 0x40000000, 4, 8, 0, ~0u}, 54, Result::kTooLarge},
      {"version 5 header", Good(4, 4, 24, [](Fields& f) { f.infoSize = 124; }), 54, Result::kBadHeader},
      {"core header", Good(4, 4, 24, [](Fields& f) { f.infoSize = 12; }), 54, Result::kBadHeader},
      {"run-length coded", Good(4, 4, 8, [](Fields& f) { f.compression = 1; }), 54, Result::kUnsupportedMethod},
      {"16 bits", Good(4, 4, 16), 54, Result::kUnsupportedMethod},
      {"32 bits", Good(4, 4, 32), 54, Result::kUnsupportedMethod},
      {"0 bits", Good(4, 4, 0), 54, Result::kUnsupportedMethod}};
  for (const Case& c : cases) {
    bmp::Layout layout = {7, 7, 7, 7, 7, 7, 7, 7, 7};
    std::vector<uint8_t> head = Head(c.file);
    EXPECT_EQ(bmp::ReadLayout(head.data(), c.headSize, c.file.fileSize, &layout), c.result) << c.what;
    EXPECT_EQ(layout.pixelSize, 7u) << c.what;
  }
}

}  // namespace
