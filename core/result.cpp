#include "result.h"

namespace core {

const char* ResultText(Result result) {
  switch (result) {
    case Result::kOk: return "ok";
    case Result::kEndOfArchive: return "end of archive";
    case Result::kTruncated: return "archive is truncated";
    case Result::kBadHeader: return "damaged header";
    case Result::kBadData: return "damaged data";
    case Result::kCrcMismatch: return "CRC mismatch";
    case Result::kUnsupportedMethod: return "unsupported method";
    case Result::kUnsafeName: return "unsafe name refused";
    case Result::kLinkSkipped: return "symbolic link skipped";
    case Result::kReadFailed: return "read error";
    case Result::kWriteFailed: return "write error";
    case Result::kNoMemory: return "out of memory";
    case Result::kBadCommand: return "bad command";
    case Result::kCannotOpen: return "cannot open";
    case Result::kTooLarge: return "file too large (4 GiB or more)";
    case Result::kSizeChanged: return "file changed while being packed";
    case Result::kCannotRewind: return "file too large to pack from a source that cannot be read twice";
  }
  return "unknown error";
}

}  // namespace core
