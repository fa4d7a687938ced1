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
  // A complete code fills every entry; only gaps need the invalid mark.
  if (space != (1u << kMaxCodeLength)) Fill(table.primary, size_t(1) << primaryBits, invalid);

  // Symbols in code order (by length, then by value), so that long codes
  // sharing a first-level prefix arrive one after another.
  uint16_t order[1024];
  if (count > 1024) return false;
  unsigned offset[kMaxCodeLength + 2] = {};
  for (int l = 1; l <= kMaxCodeLength; ++l) offset[l + 1] = offset[l] + perLength[l];
  for (int symbol = 0; symbol < count; ++symbol)
    if (lengths[symbol]) order[offset[lengths[symbol]]++] = static_cast<uint16_t>(symbol);
  unsigned total = offset[kMaxCodeLength + 1];

  uint32_t code = 0;
  int l = 0;
  size_t secondaryUsed = 0;
  uint32_t lastPrefix = ~0u;
  size_t base = 0;
  for (unsigned k = 0; k < total; ++k) {
    int symbol = order[k];
    int length = lengths[symbol];
    // Step to this symbol's length, shifting the running code along.
    while (l < length) {
      ++l;
      code <<= 1;
    }
    uint32_t c = code++;
    uint16_t entry = static_cast<uint16_t>(symbol << 5 | length);
    if (length <= primaryBits) {
      Fill(table.primary + (c << (primaryBits - length)), size_t(1) << (primaryBits - length), entry);
      continue;
    }
    uint32_t prefix = c >> (length - primaryBits);
    if (prefix != lastPrefix) {
      size_t size = size_t(1) << secondaryBits;
      if (secondaryUsed + size > table.secondaryCapacity) return false;
      Fill(table.secondary + secondaryUsed, size, invalid);
      table.primary[prefix] = static_cast<uint16_t>(0x8000 | secondaryUsed);
      base = secondaryUsed;
      secondaryUsed += size;
      lastPrefix = prefix;
    }
    uint32_t rest = c & ((1u << (length - primaryBits)) - 1);
    Fill(table.secondary + base + (rest << (kMaxCodeLength - length)), size_t(1) << (kMaxCodeLength - length), entry);
  }
  return true;
}

}  // namespace lzh
