// libFuzzer target: what the stubs and sfxbuild read around an archive
// before any decoder runs — the payload splitter fed in chunks of every
// size, the cabinet table, the inner program's trailer — over arbitrary
// bytes from memory.
#include "cab/cab_directory.h"
#include "inner_archive.h"
#include "io/io.h"
#include "payload.h"

namespace {

bool Drop(void*, const uint8_t*, size_t) { return true; }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  // The first byte picks the chunk size, so splits fall everywhere.
  size_t chunk = static_cast<size_t>(data[0]) + 1;
  ++data;
  --size;

  payload::Splitter splitter(io::Sink{nullptr, Drop});
  for (size_t at = 0; at < size; at += chunk) splitter.Feed(data + at, size - at < chunk ? size - at : chunk);
  splitter.Finish();

  io::MemoryData memory{data, size};
  cab::Directory directory;
  std::string detail;
  cab::ReadDirectory(memory.source(), size, &directory, &detail);

  if (size >= inner::kTrailerSize) {
    inner::Span span;
    inner::ReadTrailer(data + size - inner::kTrailerSize, size, &span);
  }
  return 0;
}
