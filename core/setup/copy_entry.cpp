#include "setup/copy_entry.h"

namespace setup {

CopyMarks ReadCopyMarks(const char* entry) {
  CopyMarks marks = {false, false, false, false, false, 0};
  // None of the marks can be the trail byte of a double-byte character,
  // and each is tested where a character starts.
  const char* p = entry;
  if (*p == '!') marks.noRecord = true, ++p;
  if (*p == '&') marks.keep = true, ++p;
  if (*p == '?') marks.overwrite = true, ++p;
  if (*p == '*') marks.ignoreFailure = true, ++p;
  if (*p == '+') marks.takeOver = true, ++p;
  marks.path = static_cast<size_t>(p - entry);
  return marks;
}

}  // namespace setup
