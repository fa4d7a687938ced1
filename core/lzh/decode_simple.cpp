// Stored data (-lh0-, -lz4-) and LArc's LZSS methods (-lzs-, -lz5-).
#include <string.h>

#include "lzh/decode.h"
#include "lzh/states.h"

namespace lzh {

Result DecodeStored(void* workspace, DecodeJob* job) {
  StoredState* s = static_cast<StoredState*>(workspace);
  uint64_t left = job->originalSize;
  uint64_t packed = job->packedSize;
  uint16_t crc = 0;
  while (left != 0 && packed != 0) {
    size_t n = sizeof s->buffer;
    if (n > left) n = static_cast<size_t>(left);
    if (n > packed) n = static_cast<size_t>(packed);
    Result r = io::ReadExactly(job->source, s->buffer, n);
    if (r != Result::kOk) {
      job->packedLeft = 0;
      return r;
    }
    packed -= n;
    left -= n;
    crc = Crc16(crc, s->buffer, n);
    if (!job->sink.write(job->sink.context, s->buffer, n)) {
      job->packedLeft = packed;
      return Result::kWriteFailed;
    }
  }
  job->packedLeft = packed;
  job->crc = crc;
  // Stored data shorter than the file it claims to be.
  return left == 0 ? Result::kOk : Result::kBadData;
}

namespace {

// LArc addresses its ring buffer by absolute index and starts writing
// `start` bytes into it; with the flat window that is a distance back
// from the current position.
inline size_t RingDistance(size_t ring, size_t start, uint64_t written, size_t index) {
  size_t at = static_cast<size_t>((start + written) & (ring - 1));
  size_t distance = (at - index) & (ring - 1);
  return distance == 0 ? ring : distance;
}

Result Finish(LarcState* s, Result r) {
  Result input = s->in.Finish();
  if (r == Result::kOk) r = input;
  if (r != Result::kOk) return r;
  return s->out.Finish(r);
}

}  // namespace

// -lzs-: a 2 KiB ring; a 1 bit and 8 bits make a literal, a 0 bit, an
// 11-bit ring index and 4 bits of length (+2) a match.
Result DecodeLzs(void* workspace, DecodeJob* job) {
  constexpr size_t kRing = 2048, kStart = kRing - 17;
  LarcState* s = static_cast<LarcState*>(workspace);
  s->in.Start(job);
  s->out.Start(job, s->window, kRing, ' ');
  uint64_t left = job->originalSize;
  Result r = Result::kOk;
  while (left != 0) {
    if (s->out.Full()) {
      if (s->in.error() != Result::kOk) break;
      if (!s->out.Flush()) { r = Result::kWriteFailed; break; }
    }
    s->in.Refill();
    if (s->in.Take(1)) {
      s->out.Put(static_cast<uint8_t>(s->in.Take(8)));
      --left;
      continue;
    }
    size_t index = s->in.Take(11);
    size_t length = s->in.Take(4) + 2;
    size_t distance = RingDistance(kRing, kStart, job->originalSize - left, index);
    if (length > left) length = static_cast<size_t>(left);
    s->out.Copy(distance, length);
    left -= length;
  }
  return Finish(s, r);
}

// -lz5-: a 4 KiB ring preloaded with runs and ramps of every byte value; a
// flag byte announces eight items, each a literal byte or a two-byte match
// (12-bit ring index, 4 bits of length + 3).
Result DecodeLz5(void* workspace, DecodeJob* job) {
  constexpr size_t kRing = 4096, kStart = kRing - 18;
  LarcState* s = static_cast<LarcState*>(workspace);
  s->in.Start(job);
  s->out.Start(job, s->window, kRing, 0);
  // The window's first byte stands for ring index kStart; the preset ring
  // contents begin at index 0, that is 18 bytes in.
  uint8_t* ring = s->out.buffer() + (kRing - kStart);
  for (int i = 0; i < 256; ++i) memset(ring + i * 13, i, 13);
  ring += 256 * 13;
  for (int i = 0; i < 256; ++i) ring[i] = static_cast<uint8_t>(i);
  ring += 256;
  for (int i = 0; i < 256; ++i) ring[i] = static_cast<uint8_t>(255 - i);
  ring += 256;
  memset(ring, 0, 128);
  memset(ring + 128, ' ', kStart - 256 * 15 - 128);

  uint64_t left = job->originalSize;
  unsigned flags = 0;  // bit 8 and up count the items left under a flag byte
  Result r = Result::kOk;
  while (left != 0) {
    if (s->out.Full()) {
      if (s->in.error() != Result::kOk) break;
      if (!s->out.Flush()) { r = Result::kWriteFailed; break; }
    }
    s->in.Refill();
    if ((flags & 0xFF00) == 0) flags = s->in.Take(8) | 0xFF00;
    bool literal = flags & 1;
    flags >>= 1;
    if (literal) {
      s->out.Put(static_cast<uint8_t>(s->in.Take(8)));
      --left;
      continue;
    }
    size_t low = s->in.Take(8);
    size_t high = s->in.Take(8);
    size_t index = low | (high & 0xF0) << 4;
    size_t length = (high & 0x0F) + 3;
    size_t distance = RingDistance(kRing, kStart, job->originalSize - left, index);
    if (length > left) length = static_cast<size_t>(left);
    s->out.Copy(distance, length);
    left -= length;
  }
  return Finish(s, r);
}

}  // namespace lzh
