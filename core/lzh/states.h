// The decoders' working state, one fixed-size object per method
// (internal). The caller supplies the memory; nothing here allocates.
#ifndef SFX_CORE_LZH_STATES_H
#define SFX_CORE_LZH_STATES_H

#include "lzh/huffman.h"
#include "lzh/stream.h"

namespace lzh {

// -lh4- to -lh7-: blocks of static Huffman codes.
constexpr int kLiteralCodes = 510;   // 256 bytes + match lengths 3..256
constexpr int kLengthCodes = 19;     // the code that packs the literal code's lengths

template <int kDictionaryBits>
struct StaticState {
  // -lh4- shares -lh5-'s position code, so it may point 8 KiB back.
  static constexpr int kPositionCodes = kDictionaryBits + 1 < 14 ? 14 : kDictionaryBits + 1;
  static constexpr int kPositionCountBits = kDictionaryBits <= 13 ? 4 : 5;
  static constexpr size_t kHistory = size_t(1) << (kPositionCodes - 1);

  BitInput in;
  Window out;
  uint8_t literalLengths[kLiteralCodes];
  uint8_t smallLengths[kLengthCodes];  // the length code's, then the position code's
  HuffmanTable<kLiteralCodes, 12> literals;
  HuffmanTable<kLengthCodes, 8> small;
  uint8_t window[Window::BufferSize(kHistory)];
};

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
