// The marks in front of a [CopyFile] entry. Up to five, each at most once
// and only in this order:
//
//   !   no-record: copied, not written to [CopiedFile]; only as the very
//       first character
//   &   keep: a destination that is not older than its source stays
//   ?   overwrite: a destination that is not older is replaced unasked
//   *   ignore failure: a failed copy is named in no message
//   +   take over: recorded (and so removed by the uninstall) even when a
//       file was at the destination before; without it such a file,
//       which may be another program's (a shared library in the system
//       folder), is replaced but not recorded
//
// The first character out of this order starts the path: "&!x" is a
// keep-marked entry for the path "!x", "**x" an ignore-failure entry for
// "*x".
#ifndef SFX_CORE_SETUP_COPY_ENTRY_H
#define SFX_CORE_SETUP_COPY_ENTRY_H

#include <stddef.h>

namespace setup {

struct CopyMarks {
  bool noRecord;
  bool keep;
  bool overwrite;
  bool ignoreFailure;
  bool takeOver;
  // Where the path starts: the number of marks. The path is empty when
  // the entry holds marks alone.
  size_t path;
};

CopyMarks ReadCopyMarks(const char* entry);

}  // namespace setup

#endif  // SFX_CORE_SETUP_COPY_ENTRY_H
