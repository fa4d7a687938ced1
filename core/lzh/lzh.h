// Shared vocabulary of the LZH reader: results, and the callbacks through
// which every byte enters and leaves. The code here is linked into a small
// Windows DLL built without exceptions or RTTI, so it uses no std
// containers, no global state and allocates only through an Allocator.
#ifndef SFX_CORE_LZH_LZH_H
#define SFX_CORE_LZH_LZH_H

#include <stddef.h>
#include <stdint.h>

namespace lzh {

enum class Result : int {
  kOk = 0,
  kEndOfArchive,      // no more entries: the normal end, not a failure
  kTruncated,         // the input ended inside a header or inside packed data
  kBadHeader,         // a header that contradicts itself
  kBadData,           // packed data that cannot be decoded
  kCrcMismatch,       // decoded, but not what was packed
  kUnsupportedMethod,
  kUnsafeName,        // would land outside the target folder, or on a device
  kLinkSkipped,       // symbolic links are never created
  kReadFailed,
  kWriteFailed,
  kNoMemory,
  kBadCommand,
  kCannotOpen,
  // Writing archives:
  kTooLarge,          // a file above 4 GiB - 1, which the headers cannot describe
  kSizeChanged,       // a file's bytes were not what its size, or its first reading, said
  kCannotRewind,      // a file too large to hold in memory came from a source that cannot start over
};

// A short English phrase for reports.
const char* ResultText(Result result);

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
