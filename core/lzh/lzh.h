// Shared vocabulary of the LZH reader: results, and the callbacks through
// which every byte enters and leaves. The code here is linked into a small
// Windows DLL built without exceptions or RTTI, so it uses no std
// containers, no global state and allocates only through an Allocator.
#ifndef SFX_CORE_LZH_LZH_H
#define SFX_CORE_LZH_LZH_H

#include <stddef.h>
#include <stdint.h>

#include "result.h"

namespace lzh {

using core::Result;
using core::ResultText;

// Where archive bytes come from.
struct Source {
  static constexpr size_t kError = ~static_cast<size_t>(0);
  void* context;
  // Copies up to `size` bytes into `buffer` and returns how many; fewer
  // means the input has ended, kError that it could not be read.
  size_t (*read)(void* context, uint8_t* buffer, size_t size);
  // Moves `size` bytes forward; false when the input ended first. May be
  // null, in which case the bytes are read and dropped.
  bool (*skip)(void* context, uint64_t size);
};

// Where the bytes of the current entry go.
struct Sink {
  void* context;
  // False when the bytes could not be stored.
  bool (*write)(void* context, const uint8_t* data, size_t size);
};

struct Allocator {
  void* context;
  void* (*allocate)(void* context, size_t size);  // null when out of memory
  void (*release)(void* context, void* block);
};

// Reads exactly `size` bytes; kTruncated or kReadFailed otherwise.
Result ReadExactly(const Source& source, uint8_t* buffer, size_t size);
// Passes over `size` bytes; kTruncated or kReadFailed when it cannot.
Result SkipBytes(const Source& source, uint64_t size);

}  // namespace lzh

#endif  // SFX_CORE_LZH_LZH_H
