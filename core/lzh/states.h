// The decoders' working state, one fixed-size object per method
// (internal). The caller supplies the memory; nothing here allocates.
#ifndef SFX_CORE_LZH_STATES_H
#define SFX_CORE_LZH_STATES_H

#include "lzh/format.h"
#include "lzh/huffman.h"
#include "lzh/stream.h"

namespace lzh {

// -lh4- to -lh7-: blocks of static Huffman codes.
template <int kDictionaryBits>
struct StaticState {
  static constexpr int kPositionCodes = PositionCodes(kDictionaryBits);
  static constexpr int kPositionCountBits = PositionCountBits(kDictionaryBits);
  static constexpr size_t kHistory = size_t(1) << (kPositionCodes - 1);

  BitInput in;
  Window out;
  uint8_t literalLengths[kLiteralCodes];
  uint8_t smallLengths[kPreCodes];  // the pre-code's, then the position code's
  HuffmanTable<kLiteralCodes, 12> literals;
  HuffmanTable<kPreCodes, 8> small;
  uint8_t window[Window::BufferSize(kHistory)];
};
static_assert(kMaxPositionCodes <= kPreCodes, "smallLengths holds the position code's lengths too");

// -lh1-: adaptive Huffman over literals and lengths, fixed code for positions.
struct Lh1State {
  static constexpr int kChars = 314;           // 256 bytes + lengths 3..60
  static constexpr int kNodes = 2 * kChars - 1;
  static constexpr int kRoot = kNodes - 1;
  static constexpr size_t kHistory = 4096;

  BitInput in;
  Window out;
  uint16_t freq[kNodes + 1];
  uint16_t parent[kNodes + kChars];
  uint16_t child[kNodes];
  HuffmanTable<64, 8> positions;
  uint8_t window[Window::BufferSize(kHistory)];
};

// -lzs- and -lz5-: LArc's plain LZSS.
struct LarcState {
  static constexpr size_t kHistory = 4096;
  BitInput in;
  Window out;
  uint8_t window[Window::BufferSize(kHistory)];
};

struct StoredState {
  uint8_t buffer[65536];
};

}  // namespace lzh

#endif  // SFX_CORE_LZH_STATES_H
