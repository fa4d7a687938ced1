// libFuzzer target: the archive reader and every decoder over arbitrary
// bytes, read from memory, output dropped.
#include <stdlib.h>
#include <string.h>

#include "lzh/archive.h"

namespace {

struct Memory {
  const uint8_t* data;
  size_t size;
  size_t at;
};

size_t Read(void* context, uint8_t* buffer, size_t size) {
  Memory* m = static_cast<Memory*>(context);
  size_t n = size < m->size - m->at ? size : m->size - m->at;
  memcpy(buffer, m->data + m->at, n);
  m->at += n;
  return n;
}

bool Drop(void*, const uint8_t*, size_t) { return true; }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  Memory memory{data, size, 0};
  lzh::Allocator allocator{nullptr, [](void*, size_t n) { return malloc(n); }, [](void*, void* p) { free(p); }};
  lzh::ArchiveReader reader;
  if (reader.Open(io::Source{&memory, Read, nullptr}, allocator) != lzh::Result::kOk) return 0;
  lzh::EntryHeader header;
  // Every entry is decoded; the entry count is bounded by the input size.
  while (reader.Next(&header) == lzh::Result::kOk) reader.Extract(io::Sink{nullptr, Drop});
  return 0;
}
