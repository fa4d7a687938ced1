// The compressor's input side: the window, the hash chains and the lazy
// match search that turns bytes into literals and matches.
#include "lzh/encode_pack.h"

#include <string.h>

#include <algorithm>

#include "lzh/crc16.h"

namespace lzh {

using namespace packing;

namespace {

constexpr int kHashBits = 16;
constexpr uint32_t kMaxWindow = uint32_t(1) << kLh7DictBits;
constexpr uint32_t kPrevMask = kMaxWindow - 1;
// Input is read in chunks this large; a slide moves the window back once
// per chunk, so larger chunks slide less often.
constexpr size_t kChunk = size_t(1) << 20;
// A match search needs this much input ahead of its position, except at the end.
constexpr uint32_t kLookahead = kMaxMatch + 8;
// Word-wise comparison may read this far past the last input byte.
constexpr size_t kPad = 16;
constexpr size_t kBufferSize = kMaxWindow + kChunk + kLookahead + kPad;
// Symbols are collected this many at a time, then split into blocks where
// that pays.
constexpr size_t kCollect = 16384;
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

}  // namespace

// Where the scan of one Pack call stands.
struct Packer::Scan {
  uint32_t pos = 0;         // the next position to look at
  uint32_t end = 0;         // the end of the bytes read into the buffer
  uint64_t remaining = 0;   // bytes still to read
  uint16_t crc = 0;         // of the bytes read
  bool pending = false;     // a literal or match found at pos - 1 waits for the look one byte on
  uint32_t prevLength = 0;  // and what it was: a length below kMinMatch is a literal
  uint32_t prevDistance = 0;
};

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

void Packer::EmitLiteral(uint8_t c) {
  symbols_[count_] = c;
  if (++count_ == blockLimit_) FlushSymbols();
}

void Packer::EmitMatch(uint32_t length, uint32_t distance) {
  symbols_[count_] = static_cast<uint16_t>(length - kMinMatch + kFirstMatchSymbol);
  distances_[count_] = static_cast<uint16_t>(distance - 1);
  if (++count_ == blockLimit_) FlushSymbols();
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

void Packer::Insert(uint32_t pos) {
  uint32_t h = Hash(buffer_.data() + pos);
  prev_[pos & kPrevMask] = head_[h];
  head_[h] = pos;
}

void Packer::Start(int dictBits, int level, const Sink& out) {
  dictBits_ = dictBits;
  maxDistance_ = (1u << dictBits) - 1;
  niceLength_ = static_cast<uint32_t>(LevelFor(level).nice);
  out_ = out;
  bytesUsed_ = 0;
  bits_ = 0;
  bitCount_ = 0;
  drained_ = 0;
  writeFailed_ = false;
  count_ = 0;
  blocks_ = 0;
  std::fill(head_.begin(), head_.end(), 0);
}

// Reads on into the buffer, first sliding the window back when the buffer
// would run out.
Result Packer::Fill(const Source& data, Scan* scan) {
  uint8_t* buf = buffer_.data();
  if (scan->end + kChunk / 2 > kBufferSize - kPad - kLookahead && scan->pos > kMaxWindow) {
    uint32_t shift = scan->pos - kMaxWindow;
    memmove(buf, buf + shift, scan->end - shift);
    scan->pos -= shift;
    scan->end -= shift;
    Slide(shift);
  }
  size_t room = kBufferSize - kPad - scan->end;
  if (room > scan->remaining) room = static_cast<size_t>(scan->remaining);
  while (room != 0) {
    size_t got = data.read(data.context, buf + scan->end, room);
    if (got == Source::kError) return Result::kReadFailed;
    if (got == 0) return Result::kSizeChanged;
    if (got > room) return Result::kReadFailed;
    scan->crc = Crc16(scan->crc, buf + scan->end, got);
    scan->end += static_cast<uint32_t>(got);
    scan->remaining -= got;
    room -= got;
  }
  return Result::kOk;
}

// Turns the bytes read so far into literals and matches, up to where a
// search would want bytes not yet read. The scan's state is held in locals
// for the loop.
void Packer::FindMatches(const Level& lv, Scan* scan) {
  const uint8_t* buf = buffer_.data();
  const uint32_t end = scan->end;
  const uint32_t stop = scan->remaining != 0 ? end - kLookahead : end;
  uint32_t pos = scan->pos;
  bool pending = scan->pending;
  uint32_t prevLength = scan->prevLength, prevDistance = scan->prevDistance;
  while (pos < stop) {
    uint32_t maxLength = end - pos < kMaxMatch ? end - pos : kMaxMatch;
    uint32_t length = 0, distance = 0;
    if (maxLength >= kMinMatch) {
      uint32_t cand = head_[Hash(buf + pos)];
      Insert(pos);
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
          if (p + kMinMatch <= end) Insert(p);
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
        if (p + kMinMatch <= end) Insert(p);
      pos = last;
      continue;
    }
    pending = true;
    prevLength = length;
    prevDistance = distance;
    ++pos;
  }
  scan->pos = pos;
  scan->pending = pending;
  scan->prevLength = prevLength;
  scan->prevDistance = prevDistance;
}

// Reads the input to its end without packing it, for the CRC.
Result Packer::ReadRest(const Source& data, Scan* scan) {
  uint8_t* buf = buffer_.data();
  while (scan->remaining != 0) {
    size_t want = scan->remaining < kChunk ? static_cast<size_t>(scan->remaining) : kChunk;
    size_t got = data.read(data.context, buf, want);
    if (got == Source::kError || got > want) return Result::kReadFailed;
    if (got == 0) return Result::kSizeChanged;
    scan->crc = Crc16(scan->crc, buf, got);
    scan->remaining -= got;
  }
  return Result::kOk;
}

Result Packer::Pack(int dictBits, int level, const Source& data, uint64_t size, uint64_t limit, const Sink& out,
                    PackResult* result) {
  *result = PackResult();
  Start(dictBits, level, out);
  const Level lv = LevelFor(level);
  Scan scan;
  scan.remaining = size;
  for (;;) {
    if (scan.remaining != 0 && scan.end - scan.pos < kLookahead + kChunk / 2) {
      Result r = Fill(data, &scan);
      if (r != Result::kOk) return r;
    }
    FindMatches(lv, &scan);
    if (writeFailed_) return Result::kWriteFailed;
    if (drained_ + bytesUsed_ > limit) {
      // The caller stores the entry instead, and its header needs the CRC.
      result->gaveUp = true;
      Result r = ReadRest(data, &scan);
      if (r != Result::kOk) return r;
      result->crc = scan.crc;
      result->packedSize = drained_ + bytesUsed_;
      return Result::kOk;
    }
    if (scan.remaining == 0 && scan.pos >= scan.end) break;
  }

  if (scan.pending) {
    if (scan.prevLength >= kMinMatch) EmitMatch(scan.prevLength, scan.prevDistance);
    else EmitLiteral(buffer_[scan.pos - 1]);
  }
  FlushSymbols();
  FinishBits();
  if (writeFailed_) return Result::kWriteFailed;
  result->crc = scan.crc;
  result->packedSize = drained_;
  result->gaveUp = drained_ > limit;
  return Result::kOk;
}

}  // namespace lzh
