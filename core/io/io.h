// How bytes enter and leave core/. Every reader and writer here (the LZH
// reader and writer, the payload splitter, the cabinet writer and directory
// reader) takes a Source or a Sink, so the same code serves a DLL on Win32
// handles, a host tool on stdio and a test on memory. core/ itself opens
// nothing: the caller hands over a source or a sink already open, or a
// callback that opens one when the code reaches it.
//
// Both are plain structs of a context and callbacks: a DLL, a stub, a tool
// or a test fills one in place, without a class to derive from, and passes
// it around by value.
#ifndef SFX_CORE_IO_IO_H
#define SFX_CORE_IO_IO_H

#include <stddef.h>
#include <stdint.h>

#include "result.h"

namespace io {

// Where bytes come from.
struct Source {
  static constexpr size_t kError = ~static_cast<size_t>(0);
  void* context;
  // Copies up to `size` bytes into `buffer` and returns how many; 0 means
  // the input has ended, kError that it could not be read.
  size_t (*read)(void* context, uint8_t* buffer, size_t size);
  // Moves `size` bytes forward; false when the input ended first. Null:
  // the bytes are read and dropped.
  bool (*skip)(void* context, uint64_t size) = nullptr;
  // Starts again from the first byte; false when that failed. Null for a
  // source that can be read only once.
  bool (*rewind)(void* context) = nullptr;
};

// Where bytes go.
struct Sink {
  void* context;
  // False when the bytes could not be stored.
  bool (*write)(void* context, const uint8_t* data, size_t size);
  // Overwrites `size` bytes at `offset` from the first byte written, all of
  // them already written; false when that failed. Null for a sink that
  // only appends; writers that patch a header refuse such a sink.
  bool (*rewrite)(void* context, uint64_t offset, const uint8_t* data, size_t size) = nullptr;
};

// Reads exactly `size` bytes; kTruncated or kReadFailed otherwise.
core::Result ReadExactly(const Source& source, uint8_t* buffer, size_t size);
// Passes over `size` bytes; kTruncated or kReadFailed when it cannot.
core::Result SkipBytes(const Source& source, uint64_t size);

// A Source over bytes in memory, which must outlive its use; it skips and
// rewinds.
struct MemoryData {
  const uint8_t* data;
  size_t size;
  size_t at = 0;
  Source source();
};

}  // namespace io

#endif  // SFX_CORE_IO_IO_H
