// The text of the batch file that deletes a program once it has ended
// (the stubs' and setup's self-removal on Windows NT).
#ifndef SFX_CORE_REMOVAL_BATCH_H
#define SFX_CORE_REMOVAL_BATCH_H

#include <stddef.h>

namespace removal {

// Room for the longest text: four paths of up to 259 bytes, each of them
// all '%' and so doubled, and the commands around them.
constexpr size_t kBatchTextSize = 4 * 2 * 259 + 160;

// Copies `path` into `out` (`size` bytes) with every '%' doubled, so that
// cmd reads it as the path and expands no variable out of it ("100%x%"
// would otherwise lose "%x%"). No double-byte character has '%' as one of
// its bytes, so the bytes are taken one by one. False, with `out` empty,
// when it does not fit.
bool DoublePercents(char* out, size_t size, const char* path);

// The batch: it deletes `program` until it is gone, or until it has tried
// for longer than a program takes to end, then removes `folder` (null:
// none) when that is empty, and deletes `batch`, itself, last. Every path
// is quoted and has its '%' doubled. Returns the text's length, or 0, with
// `out` empty, when it does not fit `size` bytes.
size_t BatchText(char* out, size_t size, const char* program, const char* folder, const char* batch);

}  // namespace removal

#endif  // SFX_CORE_REMOVAL_BATCH_H
