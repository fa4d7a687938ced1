#include "io/io.h"

#include <string.h>

namespace io {

using core::Result;

Result ReadExactly(const Source& source, uint8_t* buffer, size_t size) {
  while (size != 0) {
    size_t got = source.read(source.context, buffer, size);
    if (got == Source::kError) return Result::kReadFailed;
    if (got == 0) return Result::kTruncated;
    buffer += got;
    size -= got;
  }
  return Result::kOk;
}

Result SkipBytes(const Source& source, uint64_t size) {
  if (source.skip) return source.skip(source.context, size) ? Result::kOk : Result::kTruncated;
  uint8_t scratch[512];
  while (size != 0) {
    size_t n = size < sizeof scratch ? static_cast<size_t>(size) : sizeof scratch;
    Result r = ReadExactly(source, scratch, n);
    if (r != Result::kOk) return r;
    size -= n;
  }
  return Result::kOk;
}

namespace {

size_t MemoryRead(void* context, uint8_t* buffer, size_t size) {
  MemoryData* m = static_cast<MemoryData*>(context);
  size_t n = m->size - m->at < size ? m->size - m->at : size;
  if (n) memcpy(buffer, m->data + m->at, n);
  m->at += n;
  return n;
}

bool MemorySkip(void* context, uint64_t size) {
  MemoryData* m = static_cast<MemoryData*>(context);
  if (size > m->size - m->at) return false;
  m->at += static_cast<size_t>(size);
  return true;
}

bool MemoryRewind(void* context) {
  static_cast<MemoryData*>(context)->at = 0;
  return true;
}

}  // namespace

Source MemoryData::source() { return Source{this, MemoryRead, MemorySkip, MemoryRewind}; }

}  // namespace io
