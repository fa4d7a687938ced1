// libFuzzer target: the archive reader and every decoder over arbitrary
// bytes, read from memory, output dropped.
#include <stdlib.h>

#include "lzh/archive.h"

namespace {

bool Drop(void*, const uint8_t*, size_t) { return true; }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  io::MemoryData memory{data, size};
  lzh::Allocator allocator{nullptr, [](void*, size_t n) { return malloc(n); }, [](void*, void* p) { free(p); }};
  lzh::ArchiveReader reader;
  if (reader.Open(memory.source(), allocator) != lzh::Result::kOk) return 0;
  lzh::EntryHeader header;
  // Every entry is decoded; the entry count is bounded by the input size.
  while (reader.Next(&header) == lzh::Result::kOk) reader.Extract(io::Sink{nullptr, Drop});
  return 0;
}
