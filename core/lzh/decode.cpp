#include "lzh/decode.h"

#include <string.h>

#include "lzh/states.h"

namespace lzh {
namespace {

const Method kMethods[] = {
    {"-lh0-", DecodeStored, sizeof(StoredState)},
    {"-lh1-", DecodeLh1, sizeof(Lh1State)},
    {"-lh4-", DecodeStatic<12>, sizeof(StaticState<12>)},
    {"-lh5-", DecodeStatic<13>, sizeof(StaticState<13>)},
    {"-lh6-", DecodeStatic<15>, sizeof(StaticState<15>)},
    {"-lh7-", DecodeStatic<16>, sizeof(StaticState<16>)},
    {"-lhd-", nullptr, 0},
    {"-lzs-", DecodeLzs, sizeof(LarcState)},
    {"-lz4-", DecodeStored, sizeof(StoredState)},
    {"-lz5-", DecodeLz5, sizeof(LarcState)},
};

}  // namespace

const Method* FindMethod(const char* name) {
  for (const Method& m : kMethods)
    if (memcmp(m.name, name, 5) == 0) return &m;
  return nullptr;
}

size_t MaxWorkspaceSize() {
  size_t largest = 0;
  for (const Method& m : kMethods)
    if (m.workspaceSize > largest) largest = m.workspaceSize;
  return largest;
}

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

}  // namespace lzh
