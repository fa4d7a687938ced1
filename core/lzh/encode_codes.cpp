// Huffman codes for the compressor: code lengths limited to 16 bits from
// symbol counts, and the canonical codes the decoder derives from them.
#include <algorithm>

#include "lzh/encode_pack.h"

namespace lzh {
namespace packing {

// Canonical codes: by length, then by symbol, as the decoder assigns them.
void MakeCodes(const uint8_t* lengths, int count, uint16_t* codes) {
  uint32_t next[kMaxCodeLength + 2] = {};
  int perLength[kMaxCodeLength + 1] = {};
  for (int s = 0; s < count; ++s) ++perLength[lengths[s]];
  perLength[0] = 0;
  uint32_t code = 0;
  for (int l = 1; l <= kMaxCodeLength; ++l) {
    code = (code + static_cast<uint32_t>(perLength[l - 1])) << 1;
    next[l] = code;
  }
  for (int s = 0; s < count; ++s)
    codes[s] = lengths[s] ? static_cast<uint16_t>(next[lengths[s]]++) : 0;
}

}  // namespace packing

int MakeCodeLengths(const uint32_t* freq, int count, uint8_t* lengths, int* only) {
  struct Leaf {
    uint32_t freq;
    uint16_t symbol;
  };
  Leaf leaves[kLiteralCodes];
  int used = 0;
  *only = 0;
  for (int s = 0; s < count; ++s) {
    lengths[s] = 0;
    if (freq[s] != 0) leaves[used++] = Leaf{freq[s], static_cast<uint16_t>(s)};
  }
  if (used < 2) {
    if (used == 1) *only = leaves[0].symbol;
    return used;
  }
  std::sort(leaves, leaves + used, [](const Leaf& a, const Leaf& b) {
    return a.freq != b.freq ? a.freq < b.freq : a.symbol < b.symbol;
  });

  // Two queues: leaves in order of weight, and the merged nodes, which
  // are made in order of weight too, so no heap is needed.
  uint64_t weight[2 * kLiteralCodes];
  uint16_t parent[2 * kLiteralCodes];
  uint8_t depth[2 * kLiteralCodes];
  for (int i = 0; i < used; ++i) weight[i] = leaves[i].freq;
  int leaf = 0, node = used;
  for (int k = used; k < 2 * used - 1; ++k) {
    int pick[2];
    for (int& p : pick) {
      if (leaf < used && (node >= k || weight[leaf] <= weight[node])) p = leaf++;
      else p = node++;
    }
    weight[k] = weight[pick[0]] + weight[pick[1]];
    parent[pick[0]] = parent[pick[1]] = static_cast<uint16_t>(k);
  }
  int root = 2 * used - 2;
  depth[root] = 0;
  int counts[kMaxCodeLength + 1] = {};
  for (int k = root - 1; k >= 0; --k) {
    int d = depth[parent[k]] + 1;
    depth[k] = static_cast<uint8_t>(d > 255 ? 255 : d);
    if (k < used) ++counts[d > kMaxCodeLength ? kMaxCodeLength : d];
  }

  // Cutting deep leaves to kMaxCodeLength oversubscribes the code; push the
  // deepest shorter leaves down one level until it fits, then fill any
  // room left by lifting the deepest, as some decoders demand a complete code.
  const uint32_t full = 1u << kMaxCodeLength;
  uint32_t kraft = 0;
  for (int l = 1; l <= kMaxCodeLength; ++l) kraft += static_cast<uint32_t>(counts[l]) << (kMaxCodeLength - l);
  while (kraft > full) {
    int l = kMaxCodeLength - 1;
    while (counts[l] == 0) --l;
    --counts[l];
    ++counts[l + 1];
    kraft -= 1u << (kMaxCodeLength - l - 1);
  }
  while (kraft < full) {
    int l = kMaxCodeLength;
    while (counts[l] == 0) --l;
    --counts[l];
    ++counts[l - 1];
    kraft += 1u << (kMaxCodeLength - l);
  }
  // The rarest symbols take the longest codes.
  int at = 0;
  for (int l = kMaxCodeLength; l >= 1; --l)
    for (int n = counts[l]; n > 0; --n) lengths[leaves[at++].symbol] = static_cast<uint8_t>(l);
  return used;
}

}  // namespace lzh
