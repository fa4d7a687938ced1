// Input and output plumbing shared by the decoders (internal).
#ifndef SFX_CORE_LZH_STREAM_H
#define SFX_CORE_LZH_STREAM_H

#include <string.h>

#include "lzh/crc16.h"
#include "lzh/decode.h"

namespace lzh {

// The bit reader's registers. The hot loops copy them into locals so the
// compiler can keep them in registers across byte stores to the window.
struct BitCursor {
  const uint8_t* p;
  const uint8_t* end;
  uint64_t bits;    // next bits at the top
  unsigned count;   // how many of them are valid

  inline bool CanRefill() const { return end - p >= 8; }
  // Makes at least 56 bits available; needs CanRefill().
  inline void RefillFast() {
    uint64_t word;
    memcpy(&word, p, 8);
    word = __builtin_bswap64(word);
    bits |= word >> count;
    p += (63 - count) >> 3;
    count |= 56;
  }
  inline uint32_t Peek16() const { return static_cast<uint32_t>(bits >> 48); }
  inline void Drop(unsigned n) { bits <<= n; count -= n; }
  // n may be 0 to 24; needs a refill that covers it.
  inline uint32_t Take(unsigned n) {
    uint32_t v = static_cast<uint32_t>((bits >> 1) >> (63 - n));
    Drop(n);
    return v;
  }
};

// Packed bytes, read in large pieces and handed out as a most-significant-
// bit-first stream. Past the packed size it supplies zeros, so the hot
// loop never checks for the end; reaching far into them is an error.
class BitInput {
 public:
  static constexpr size_t kBufferSize = 32768;

  void Start(DecodeJob* job) {
    job_ = job;
    left_ = job->packedSize;
    cur.p = cur.end = buffer_;
    base_ = 0;
    cur.bits = 0;
    cur.count = 0;
    error_ = Result::kOk;
  }

  // Makes at least 56 bits available.
  inline void Refill() {
    if (!cur.CanRefill()) Top();
    cur.RefillFast();
  }
  inline uint32_t Peek16() const { return cur.Peek16(); }
  inline void Drop(unsigned n) { cur.Drop(n); }
  inline uint32_t Take(unsigned n) { return cur.Take(n); }
  uint32_t Bit() {
    if (cur.count == 0) Refill();
    return Take(1);
  }

  // kOk, or why the input let the decoder down.
  Result error() const { return error_; }
  // Call once decoding is done: catches a stream that used bits it did
  // not have, and reports what was left unread.
  Result Finish() {
    uint64_t used = (base_ + static_cast<uint64_t>(cur.p - buffer_)) * 8 - cur.count;
    job_->packedLeft = left_;
    if (error_ != Result::kOk) return error_;
    if (used > job_->packedSize * 8) return Result::kBadData;
    return Result::kOk;
  }

  BitCursor cur;

 private:
  void Top();

  DecodeJob* job_;
  uint64_t left_;       // packed bytes not yet read from the source
  uint64_t base_;       // bytes consumed before buffer_[0]
  Result error_;
  uint8_t buffer_[kBufferSize + 16];
};

// The output side: a flat buffer holding the dictionary (the last
// `history` bytes) followed by fresh output. Fresh output is flushed to the
// sink in large pieces, after which the dictionary moves to the front.
class Window {
 public:
  static constexpr size_t kChunk = 1 << 18;
  static constexpr size_t kSlack = 512;  // the longest match plus overshoot of wide copies

  static constexpr size_t BufferSize(size_t history) { return history + kChunk + kSlack; }

  // `fill` is what references before the first byte see.
  void Start(DecodeJob* job, uint8_t* buffer, size_t history, uint8_t fill) {
    job_ = job;
    buf_ = buffer;
    history_ = history;
    memset(buf_, fill, history);
    pos_ = flushed_ = history;
    produced_ = 0;
    crc_ = 0;
  }
  uint8_t* buffer() { return buf_; }
  // Direct access for hot loops: the write position, and the end of the
  // fresh area (a match may still run kSlack bytes past it).
  uint8_t* cursor() { return buf_ + pos_; }
  uint8_t* limit() { return buf_ + history_ + kChunk; }
  void set_cursor(uint8_t* at) { pos_ = static_cast<size_t>(at - buf_); }

  // Room for one more symbol before a flush is due.
  inline bool Full() const { return pos_ >= history_ + kChunk; }

  inline void Put(uint8_t b) { buf_[pos_++] = b; }
  // Copies `length` (at most 256) bytes from `distance` back; the distance
  // is at most `history`.
  inline void Copy(size_t distance, size_t length) {
    uint8_t* dst = buf_ + pos_;
    const uint8_t* src = dst - distance;
    if (distance >= 8) {
      for (size_t i = 0; i < length; i += 8) memcpy(dst + i, src + i, 8);
    } else {
      for (size_t i = 0; i < length; ++i) dst[i] = src[i];
    }
    pos_ += length;
  }

  // Hands fresh output to the sink and slides the dictionary down.
  bool Flush() {
    size_t fresh = pos_ - flushed_;
    if (fresh != 0) {
      crc_ = Crc16(crc_, buf_ + flushed_, fresh);
      if (!job_->sink.write(job_->sink.context, buf_ + flushed_, fresh)) return false;
      produced_ += fresh;
    }
    memmove(buf_, buf_ + pos_ - history_, history_);
    pos_ = flushed_ = history_;
    return true;
  }

  Result Finish(Result input) {
    if (!Flush()) return Result::kWriteFailed;
    job_->crc = crc_;
    return input;
  }

 private:
  DecodeJob* job_;
  uint8_t* buf_;
  size_t history_;
  size_t pos_;
  size_t flushed_;
  uint64_t produced_;
  uint16_t crc_;
};

}  // namespace lzh

#endif  // SFX_CORE_LZH_STREAM_H
