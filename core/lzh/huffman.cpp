#include "lzh/huffman.h"

namespace lzh {
namespace {

void Fill(uint16_t* p, size_t count, uint16_t value) {
  for (size_t i = 0; i < count; ++i) p[i] = value;
}

}  // namespace

void FillTable(TableView table, int symbol) {
  Fill(table.primary, size_t(1) << table.primaryBits, static_cast<uint16_t>(symbol << 5));
}

bool BuildTable(TableView table, const uint8_t* lengths, int count) {
  unsigned perLength[kMaxCodeLength + 1] = {};
  for (int i = 0; i < count; ++i) {
    if (lengths[i] > kMaxCodeLength) return false;
    ++perLength[lengths[i]];
  }
  uint32_t space = 0;
  for (int l = 1; l <= kMaxCodeLength; ++l) space += perLength[l] << (kMaxCodeLength - l);
  if (space > (1u << kMaxCodeLength)) return false;

  const int primaryBits = table.primaryBits;
  const int secondaryBits = kMaxCodeLength - primaryBits;
  const uint16_t invalid = static_cast<uint16_t>(table.symbols << 5);
  Fill(table.primary, size_t(1) << primaryBits, invalid);

  uint32_t next[kMaxCodeLength + 1];
  uint32_t code = 0;
  for (int l = 1; l <= kMaxCodeLength; ++l) {
    next[l] = code;
    code = (code + perLength[l]) << 1;
  }

  size_t secondaryUsed = 0;
  for (int symbol = 0; symbol < count; ++symbol) {
    int l = lengths[symbol];
    if (l == 0) continue;
    uint32_t c = next[l]++;
    uint16_t entry = static_cast<uint16_t>(symbol << 5 | l);
    if (l <= primaryBits) {
      Fill(table.primary + (c << (primaryBits - l)), size_t(1) << (primaryBits - l), entry);
      continue;
    }
    uint16_t& link = table.primary[c >> (l - primaryBits)];
    if (!(link & 0x8000)) {
      size_t size = size_t(1) << secondaryBits;
      if (secondaryUsed + size > table.secondaryCapacity) return false;
      Fill(table.secondary + secondaryUsed, size, invalid);
      link = static_cast<uint16_t>(0x8000 | secondaryUsed);
      secondaryUsed += size;
    }
    uint32_t rest = c & ((1u << (l - primaryBits)) - 1);
    Fill(table.secondary + (link & 0x7FFF) + (rest << (kMaxCodeLength - l)),
         size_t(1) << (kMaxCodeLength - l), entry);
  }
  return true;
}

}  // namespace lzh
