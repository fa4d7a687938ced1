// Shared vocabulary of the LZH reader: results, and the callbacks through
// which every byte enters and leaves. The code here is linked into a small
// Windows DLL built without exceptions or RTTI, so it uses no std
// containers, no global state and allocates only through an Allocator.
#ifndef SFX_CORE_LZH_LZH_H
#define SFX_CORE_LZH_LZH_H

#include <stddef.h>
#include <stdint.h>

#include "io/io.h"
#include "result.h"

namespace lzh {

using core::Result;
using core::ResultText;

// Archive bytes come in through an io::Source and each entry's bytes go
// out through an io::Sink; a reader source needs no rewind, and its skip
// serves passing over entries that are not decoded.
using io::Sink;
using io::Source;

struct Allocator {
  void* context;
  void* (*allocate)(void* context, size_t size);  // null when out of memory
  void (*release)(void* context, void* block);
};

}  // namespace lzh

#endif  // SFX_CORE_LZH_LZH_H
