#include "lzh/encode_pack.h"

#include <string.h>

#include <algorithm>

#include "lzh/crc16.h"

namespace lzh {
namespace {

constexpr uint32_t kMinMatch = 3;
constexpr uint32_t kMaxMatch = 256;
constexpr int kLiteralCodes = 510;
constexpr int kPreCodes = 19;
constexpr int kMaxBits = 16;
constexpr int kHashBits = 16;
constexpr uint32_t kMaxWindow = 65536;
constexpr uint32_t kPrevMask = kMaxWindow - 1;
// Input is read in chunks this large; a slide moves the window back once
// per chunk, so larger chunks slide less often.
constexpr size_t kChunk = size_t(1) << 20;
// A match search needs this much input ahead of its position, except at the end.
constexpr uint32_t kLookahead = kMaxMatch + 8;
// Word-wise comparison may read this far past the last input byte.
constexpr size_t kPad = 16;
constexpr size_t kBufferSize = kMaxWindow + kChunk + kLookahead + kPad;
constexpr size_t kOutSize = 1 << 16;
// Symbols are collected this many at a time, then split into blocks of at
// least kMinBlock where that pays.
constexpr size_t kCollect = 16384;
constexpr size_t kMinBlock = 1024;
// A 3-byte match this far back costs more bits than three literals.
constexpr uint32_t kTooFar = 8192;

inline uint32_t Load32(const uint8_t* p) {
  uint32_t v;
  memcpy(&v, p, 4);
  return v;
}
inline uint64_t Load64(const uint8_t* p) {
  uint64_t v;
  memcpy(&v, p, 8);
  return v;
}
inline uint32_t Hash(const uint8_t* p) {
  return ((Load32(p) & 0xFFFFFF) * 0x9E3779B1u) >> (32 - kHashBits);
}

inline int BitLength(uint32_t v) { return v == 0 ? 0 : 32 - __builtin_clz(v); }

// How many leading bytes of `a` and `b` agree, at most `limit`; both may
// be read up to kPad bytes beyond `limit`.
inline uint32_t MatchLength(const uint8_t* a, const uint8_t* b, uint32_t limit) {
  uint32_t n = 0;
  while (n < limit) {
    uint64_t x = Load64(a + n) ^ Load64(b + n);
    if (x != 0) {
#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_BIG_ENDIAN__
      n += static_cast<uint32_t>(__builtin_clzll(x)) >> 3;
#else
      n += static_cast<uint32_t>(__builtin_ctzll(x)) >> 3;
#endif
      return n < limit ? n : limit;
    }
    n += 8;
  }
  return limit;
}

// Canonical codes: by length, then by symbol, as the decoder assigns them.
void MakeCodes(const uint8_t* lengths, int count, uint16_t* codes) {
  uint32_t next[kMaxBits + 2] = {};
  int perLength[kMaxBits + 1] = {};
  for (int s = 0; s < count; ++s) ++perLength[lengths[s]];
  perLength[0] = 0;
  uint32_t code = 0;
  for (int l = 1; l <= kMaxBits; ++l) {
    code = (code + static_cast<uint32_t>(perLength[l - 1])) << 1;
    next[l] = code;
  }
  for (int s = 0; s < count; ++s)
    codes[s] = lengths[s] ? static_cast<uint16_t>(next[lengths[s]]++) : 0;
}

}  // namespace

// Code lengths, at most kMaxBits, for the symbols with a nonzero count.
// Returns how many symbols are used; with fewer than two every length is 0
// and `*only` names the used symbol (0 when none is).
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
  int counts[kMaxBits + 1] = {};
  for (int k = root - 1; k >= 0; --k) {
    int d = depth[parent[k]] + 1;
    depth[k] = static_cast<uint8_t>(d > 255 ? 255 : d);
    if (k < used) ++counts[d > kMaxBits ? kMaxBits : d];
  }

  // Cutting deep leaves to kMaxBits oversubscribes the code; push the
  // deepest shorter leaves down one level until it fits, then fill any
  // room left by lifting the deepest, as some decoders demand a complete code.
  const uint32_t full = 1u << kMaxBits;
  uint32_t kraft = 0;
  for (int l = 1; l <= kMaxBits; ++l) kraft += static_cast<uint32_t>(counts[l]) << (kMaxBits - l);
  while (kraft > full) {
    int l = kMaxBits - 1;
    while (counts[l] == 0) --l;
    --counts[l];
    ++counts[l + 1];
    kraft -= 1u << (kMaxBits - l - 1);
  }
  while (kraft < full) {
    int l = kMaxBits;
    while (counts[l] == 0) --l;
    --counts[l];
    ++counts[l - 1];
    kraft += 1u << (kMaxBits - l);
  }
  // The rarest symbols take the longest codes.
  int at = 0;
  for (int l = kMaxBits; l >= 1; --l)
    for (int n = counts[l]; n > 0; --n) lengths[leaves[at++].symbol] = static_cast<uint8_t>(l);
  return used;
}

Packer::Packer()
    : buffer_(kBufferSize, 0),
      head_(size_t(1) << kHashBits, 0),
      prev_(kMaxWindow, 0),
      symbols_(65535),
      distances_(65535),
      blockLimit_(kCollect),
      plans_(16),
      bytes_(kOutSize) {}

Packer::Level Packer::LevelFor(int level) {
  static const Level kLevels[10] = {
      {1, 0, 8, 4},          // 0 is never packed; kept for indexing
      {4, 0, 16, 8},         // greedy
      {8, 4, 32, 8},
      {16, 8, 64, 16},
      {32, 16, 128, 32},
      {64, 32, 256, 64},
      {128, 64, 256, 64},
      {256, 128, 256, 128},
      {1024, 256, 256, 256},
      {4096, 256, 256, 256},
  };
  return kLevels[level < 1 ? 1 : level > 9 ? 9 : level];
}

void Packer::Put(uint32_t value, int bits) {
  bits_ = (bits_ << bits) | value;
  bitCount_ += bits;
  if (bitCount_ >= 32) {
    bitCount_ -= 32;
    uint32_t word = static_cast<uint32_t>(bits_ >> bitCount_);
    uint8_t* p = bytes_.data() + bytesUsed_;
    p[0] = static_cast<uint8_t>(word >> 24);
    p[1] = static_cast<uint8_t>(word >> 16);
    p[2] = static_cast<uint8_t>(word >> 8);
    p[3] = static_cast<uint8_t>(word);
    bytesUsed_ += 4;
    if (bytesUsed_ + 4 > kOutSize) Drain();
  }
}

void Packer::Drain() {
  if (bytesUsed_ != 0 && !writeFailed_ && !out_.write(out_.context, bytes_.data(), bytesUsed_)) writeFailed_ = true;
  drained_ += bytesUsed_;
  bytesUsed_ = 0;
}

void Packer::FinishBits() {
  while (bitCount_ > 0) {
    int take = bitCount_ >= 8 ? 8 : bitCount_;
    bitCount_ -= take;
    uint32_t byte = static_cast<uint32_t>(bits_ >> bitCount_) << (8 - take);
    bytes_[bytesUsed_++] = static_cast<uint8_t>(byte);
    if (bytesUsed_ == kOutSize) Drain();
  }
  bitCount_ = 0;
  Drain();
}

void Packer::EmitLiteral(uint8_t c) {
  symbols_[count_] = c;
  if (++count_ == blockLimit_) FlushSymbols();
}

void Packer::EmitMatch(uint32_t length, uint32_t distance) {
  symbols_[count_] = static_cast<uint16_t>(length + 253);
  distances_[count_] = static_cast<uint16_t>(distance - 1);
  if (++count_ == blockLimit_) FlushSymbols();
}

void Packer::MakePlan(size_t begin, size_t end, Plan* plan) const {
  const int positionCodes = dictBits_ + 1 < 14 ? 14 : dictBits_ + 1;
  plan->count = static_cast<uint32_t>(end - begin);
  memset(plan->literalFreq, 0, sizeof plan->literalFreq);
  memset(plan->positionFreq, 0, sizeof plan->positionFreq);
  for (size_t i = begin; i < end; ++i) {
    uint32_t s = symbols_[i];
    ++plan->literalFreq[s];
    if (s >= 256) ++plan->positionFreq[BitLength(distances_[i])];
  }
  plan->literalUsed = MakeCodeLengths(plan->literalFreq, kLiteralCodes, plan->literalLengths, &plan->literalOnly);
  plan->positionUsed =
      MakeCodeLengths(plan->positionFreq, positionCodes, plan->positionLengths, &plan->positionOnly);
  memset(plan->positionLengths + positionCodes, 0, sizeof plan->positionLengths - positionCodes);

  plan->tokenCount = 0;
  plan->preUsed = 0;
  plan->preOnly = 0;
  memset(plan->preLengths, 0, sizeof plan->preLengths);
  int n = kLiteralCodes;
  while (n > 0 && plan->literalLengths[n - 1] == 0) --n;
  plan->literalCount = n;
  if (plan->literalUsed >= 2) {
    uint32_t preFreq[kPreCodes] = {};
    auto token = [plan, &preFreq](int symbol, int extra) {
      plan->tokens[plan->tokenCount] = static_cast<uint8_t>(symbol);
      plan->extras[plan->tokenCount++] = static_cast<uint16_t>(extra);
      ++preFreq[symbol];
    };
    for (int i = 0; i < n;) {
      if (plan->literalLengths[i] != 0) {
        token(plan->literalLengths[i++] + 2, 0);
        continue;
      }
      int run = 0;
      while (i + run < n && plan->literalLengths[i + run] == 0) ++run;
      i += run;
      if (run <= 2) {
        for (; run > 0; --run) token(0, 0);
      } else if (run <= 18) {
        token(1, run - 3);
      } else if (run == 19) {
        token(0, 0);
        token(1, 15);
      } else {
        token(2, run - 20);
      }
    }
    plan->preUsed = MakeCodeLengths(preFreq, kPreCodes, plan->preLengths, &plan->preOnly);
  }

  uint64_t bits = 0;
  PutTables(*plan, [&bits](uint32_t, int n) { bits += static_cast<uint64_t>(n); });
  for (int s = 0; s < kLiteralCodes; ++s) bits += static_cast<uint64_t>(plan->literalFreq[s]) * plan->literalLengths[s];
  for (int p = 0; p < positionCodes; ++p)
    bits += static_cast<uint64_t>(plan->positionFreq[p]) * (plan->positionLengths[p] + (p > 1 ? p - 1 : 0));
  plan->bits = bits;
}

// The block's symbol count and its three code tables, through `put`.
template <class PutFn>
void Packer::PutTables(const Plan& plan, PutFn put) const {
  const int positionCodes = dictBits_ + 1 < 14 ? 14 : dictBits_ + 1;
  const int positionBits = dictBits_ <= 13 ? 4 : 5;
  put(plan.count, 16);

  // Small codes' lengths: 0..6 in three bits, longer ones as 111 and a
  // unary tail. After index `special`, two bits count the zeros that follow.
  auto putSmall = [&put](const uint8_t* lengths, int count, int countBits, int special) {
    int n = count;
    while (n > 0 && lengths[n - 1] == 0) --n;
    put(static_cast<uint32_t>(n), countBits);
    for (int i = 0; i < n;) {
      int l = lengths[i++];
      if (l <= 6) put(static_cast<uint32_t>(l), 3);
      else put((1u << (l - 3)) - 2, l - 3);
      if (i == special) {
        int zeros = 0;
        while (zeros < 3 && i + zeros < n && lengths[i + zeros] == 0) ++zeros;
        put(static_cast<uint32_t>(zeros), 2);
        i += zeros;
      }
    }
  };

  if (plan.literalUsed < 2) {
    put(0, 5);
    put(0, 5);
    put(0, 9);
    put(static_cast<uint32_t>(plan.literalOnly), 9);
  } else {
    uint16_t preCodes[kPreCodes];
    MakeCodes(plan.preLengths, kPreCodes, preCodes);
    if (plan.preUsed < 2) {
      put(0, 5);
      put(static_cast<uint32_t>(plan.preOnly), 5);
    } else {
      putSmall(plan.preLengths, kPreCodes, 5, 3);
    }
    put(static_cast<uint32_t>(plan.literalCount), 9);
    for (int t = 0; t < plan.tokenCount; ++t) {
      int s = plan.tokens[t];
      put(preCodes[s], plan.preLengths[s]);
      if (s == 1) put(plan.extras[t], 4);
      else if (s == 2) put(plan.extras[t], 9);
    }
  }

  if (plan.positionUsed < 2) {
    put(0, positionBits);
    put(static_cast<uint32_t>(plan.positionOnly), positionBits);
  } else {
    putSmall(plan.positionLengths, positionCodes, positionBits, -1);
  }
}

void Packer::EncodeRange(size_t begin, size_t end, const Plan& plan) {
  ++blocks_;
  PutTables(plan, [this](uint32_t value, int bits) { Put(value, bits); });
  uint16_t literalCodes[kLiteralCodes];
  uint16_t positionCodes[17];
  MakeCodes(plan.literalLengths, kLiteralCodes, literalCodes);
  MakeCodes(plan.positionLengths, 17, positionCodes);
  for (size_t i = begin; i < end; ++i) {
    uint32_t s = symbols_[i];
    Put(literalCodes[s], plan.literalLengths[s]);
    if (s < 256) continue;
    uint32_t v = distances_[i];
    int p = BitLength(v);
    Put(positionCodes[p], plan.positionLengths[p]);
    if (p > 1) Put(v - (1u << (p - 1)), p - 1);
  }
}

// Halves a block while the halves, code tables included, cost fewer bits:
// statistics shift inside programs (code, tables, resources, text).
// `whole` is the plan of [begin, end); each depth has its own two slots for
// the halves, so a left half's recursion leaves the right half's plan alone.
void Packer::Split(size_t begin, size_t end, const Plan& whole, int depth) {
  size_t slot = 2 * static_cast<size_t>(depth) + 1;
  if (end - begin >= 2 * kMinBlock && slot + 1 < plans_.size()) {
    size_t middle = begin + (end - begin) / 2;
    Plan& left = plans_[slot];
    Plan& right = plans_[slot + 1];
    MakePlan(begin, middle, &left);
    MakePlan(middle, end, &right);
    if (left.bits + right.bits < whole.bits) {
      Split(begin, middle, left, depth + 1);
      Split(middle, end, right, depth + 1);
      return;
    }
  }
  EncodeRange(begin, end, whole);
}

void Packer::FlushSymbols() {
  if (count_ == 0) return;
  MakePlan(0, count_, &plans_[0]);
  Split(0, count_, plans_[0], 0);
  count_ = 0;
}

void Packer::Slide(uint32_t shift) {
  for (uint32_t& h : head_) h = h >= shift ? h - shift : 0;
  for (uint32_t& p : prev_) p = p >= shift ? p - shift : 0;
}

// The longest match for `pos` longer than `best`, from chain start `cand`;
// returns its length, or `best` when none is longer.
uint32_t Packer::Longest(uint32_t pos, uint32_t cand, uint32_t maxLength, int chain, uint32_t best,
                         uint32_t* distance) {
  const uint8_t* base = buffer_.data();
  const uint8_t* p = base + pos;
  const uint32_t lowest = pos > maxDistance_ ? pos - maxDistance_ : 0;
  if (best >= maxLength) return best;
  uint16_t first2;
  memcpy(&first2, p, 2);
  while (cand >= lowest && cand < pos && chain-- > 0) {
    const uint8_t* q = base + cand;
    uint16_t q2;
    memcpy(&q2, q, 2);
    if (q[best] == p[best] && q2 == first2) {
      uint32_t len = MatchLength(p, q, maxLength);
      if (len > best) {
        best = len;
        *distance = pos - cand;
        if (len >= niceLength_) break;
      }
    }
    uint32_t next = prev_[cand & kPrevMask];
    if (next >= cand) break;
    cand = next;
  }
  return best;
}

Result Packer::Pack(int dictBits, int level, const Source& data, uint64_t size, uint64_t limit,
                    const Sink& out, PackResult* result) {
  *result = PackResult();
  dictBits_ = dictBits;
  maxDistance_ = (1u << dictBits) - 1;
  const Level lv = LevelFor(level);
  niceLength_ = static_cast<uint32_t>(lv.nice);
  out_ = out;
  bytesUsed_ = 0;
  bits_ = 0;
  bitCount_ = 0;
  drained_ = 0;
  writeFailed_ = false;
  count_ = 0;
  blocks_ = 0;
  std::fill(head_.begin(), head_.end(), 0);

  uint8_t* buf = buffer_.data();
  uint32_t pos = 0, end = 0;
  uint64_t remaining = size;
  uint16_t crc = 0;
  bool pending = false;  // a literal or match found at pos - 1 waits for the look one byte on
  uint32_t prevLength = 0, prevDistance = 0;

  auto insert = [&](uint32_t p) {
    uint32_t h = Hash(buf + p);
    prev_[p & kPrevMask] = head_[h];
    head_[h] = p;
  };

  for (;;) {
    if (remaining != 0 && end - pos < kLookahead + kChunk / 2) {
      if (end + kChunk / 2 > kBufferSize - kPad - kLookahead && pos > kMaxWindow) {
        uint32_t shift = pos - kMaxWindow;
        memmove(buf, buf + shift, end - shift);
        pos -= shift;
        end -= shift;
        Slide(shift);
      }
      size_t room = kBufferSize - kPad - end;
      if (room > remaining) room = static_cast<size_t>(remaining);
      while (room != 0) {
        size_t got = data.read(data.context, buf + end, room);
        if (got == Source::kError) return Result::kReadFailed;
        if (got == 0) return Result::kSizeChanged;
        if (got > room) return Result::kReadFailed;
        crc = Crc16(crc, buf + end, got);
        end += static_cast<uint32_t>(got);
        remaining -= got;
        room -= got;
      }
    }
    const uint32_t stop = remaining != 0 ? end - kLookahead : end;

    while (pos < stop) {
      uint32_t maxLength = end - pos < kMaxMatch ? end - pos : kMaxMatch;
      uint32_t length = 0, distance = 0;
      if (maxLength >= kMinMatch) {
        uint32_t cand = head_[Hash(buf + pos)];
        insert(pos);
        // A pending literal never stops the search; a pending match does once it is long enough.
        if (!pending || prevLength < kMinMatch || prevLength < static_cast<uint32_t>(lv.lazy)) {
          int chain = pending && prevLength >= static_cast<uint32_t>(lv.good) ? lv.chain >> 2 : lv.chain;
          uint32_t floor = pending && prevLength >= kMinMatch ? prevLength : kMinMatch - 1;
          length = Longest(pos, cand, maxLength, chain, floor, &distance);
          if (length == floor) length = 0;
          if (length == kMinMatch && distance > kTooFar) length = 0;
        }
      }
      if (pending) {
        if (prevLength >= kMinMatch && length <= prevLength) {
          EmitMatch(prevLength, prevDistance);
          uint32_t last = pos - 1 + prevLength;
          for (uint32_t p = pos + 1; p < last; ++p)
            if (p + kMinMatch <= end) insert(p);
          pos = last;
          pending = false;
          continue;
        }
        EmitLiteral(buf[pos - 1]);
        pending = false;
      }
      if (length >= kMinMatch && length >= static_cast<uint32_t>(lv.lazy)) {
        EmitMatch(length, distance);
        uint32_t last = pos + length;
        for (uint32_t p = pos + 1; p < last; ++p)
          if (p + kMinMatch <= end) insert(p);
        pos = last;
        continue;
      }
      pending = true;
      prevLength = length;
      prevDistance = distance;
      ++pos;
    }

    if (writeFailed_) return Result::kWriteFailed;
    if (drained_ + bytesUsed_ > limit) {
      result->gaveUp = true;
      break;
    }
    if (remaining == 0 && pos >= end) break;
  }

  if (result->gaveUp) {
    // The caller stores the entry instead, and its header needs the CRC.
    while (remaining != 0) {
      size_t want = remaining < kChunk ? static_cast<size_t>(remaining) : kChunk;
      size_t got = data.read(data.context, buf, want);
      if (got == Source::kError || got > want) return Result::kReadFailed;
      if (got == 0) return Result::kSizeChanged;
      crc = Crc16(crc, buf, got);
      remaining -= got;
    }
    result->crc = crc;
    result->packedSize = drained_ + bytesUsed_;
    return Result::kOk;
  }

  if (pending) {
    if (prevLength >= kMinMatch) EmitMatch(prevLength, prevDistance);
    else EmitLiteral(buf[pos - 1]);
  }
  FlushSymbols();
  FinishBits();
  if (writeFailed_) return Result::kWriteFailed;
  result->crc = crc;
  result->packedSize = drained_;
  result->gaveUp = drained_ > limit;
  return Result::kOk;
}

}  // namespace lzh
