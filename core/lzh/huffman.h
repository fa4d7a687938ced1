// Canonical Huffman lookup tables (internal).
//
// A symbol is found with one lookup of the next kPrimary bits; codes longer
// than that continue into a second-level table indexed by the bits up to
// the 16th. Every table is sized for the worst case, so building and
// decoding never allocate and never index past the end.
#ifndef SFX_CORE_LZH_HUFFMAN_H
#define SFX_CORE_LZH_HUFFMAN_H

#include <stddef.h>
#include <stdint.h>

#include "lzh/format.h"
#include "lzh/stream.h"

namespace lzh {

// Entries: bit 15 set links to a second-level table at (entry & 0x7FFF);
// otherwise symbol << 5 | code length. A bit pattern no code uses decodes
// to the symbol count with length 0, which every caller refuses.
struct TableView {
  uint16_t* primary;
  uint16_t* secondary;
  int primaryBits;
  size_t secondaryCapacity;
  int symbols;
};

template <int kSymbols, int kPrimary>
struct HuffmanTable {
  static_assert(kPrimary < kMaxCodeLength, "second level must exist");
  static constexpr size_t kSecondary = static_cast<size_t>(kSymbols) << (kMaxCodeLength - kPrimary);
  static_assert(kSecondary < 0x8000, "links hold 15 bits");
  uint16_t primary[1 << kPrimary];
  uint16_t secondary[kSecondary];

  TableView View() { return TableView{primary, secondary, kPrimary, kSecondary, kSymbols}; }

  inline uint32_t Decode(BitInput& in) const { return Decode(in.cur); }
  inline uint32_t Decode(BitCursor& in) const {
    uint32_t peek = in.Peek16();
    uint32_t e = primary[peek >> (kMaxCodeLength - kPrimary)];
    if (e & 0x8000) e = secondary[(e & 0x7FFF) + (peek & ((1u << (kMaxCodeLength - kPrimary)) - 1))];
    in.Drop(e & 31);
    return e >> 5;
  }
};

// Builds from `count` code lengths (0 = unused). False when a length is
// above 16 or the lengths promise more codes than bits can tell apart; an
// incomplete set is accepted, its unused patterns decode as invalid.
bool BuildTable(TableView table, const uint8_t* lengths, int count);
// Every pattern decodes to `symbol` using no bits: a block with a single symbol.
void FillTable(TableView table, int symbol);

}  // namespace lzh

#endif  // SFX_CORE_LZH_HUFFMAN_H
