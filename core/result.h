// How an operation of core/ ended. One enum for every format: the reasons
// that matter to a caller stay apart (input that ended early, bytes that
// contradict themselves, a sink that could not take more), and the end of
// an archive is not a failure.
#ifndef SFX_CORE_RESULT_H
#define SFX_CORE_RESULT_H

namespace core {

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
  kTooLarge,          // more than the format can describe
  kSizeChanged,       // a file's bytes were not what its size, or its first reading, said
  kCannotRewind,      // a file too large to hold in memory came from a source that cannot start over
};

// A short English phrase for reports.
const char* ResultText(Result result);

}  // namespace core

#endif  // SFX_CORE_RESULT_H
