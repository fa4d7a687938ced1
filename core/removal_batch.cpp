#include "removal_batch.h"

#include <string.h>

namespace removal {
namespace {

// The batch, with the program at each \1, the batch itself at \3, and the
// line between the two \2 only when there is a folder, at its \4.
//
// A program that has asked to delete itself is still ending when the
// batch starts, so its file is busy for the first tries. One that can
// never be deleted (no right to it, another program holding it open) must
// not keep the batch going for ever: it gives up after 50,000 tries.
// Under Wine one try (del, set /a, if exist) takes about 1.9 ms, a minute
// and a half in all; a program ends in well under a second.
const char kTemplate[] =
    "set tries=0\r\n"
    ":Repeat\r\n"
    "del \"\1\"\r\n"
    "set /a tries+=1\r\n"
    "if exist \"\1\" if %tries% lss 50000 goto Repeat\r\n"
    "\2rmdir \"\4\"\r\n\2"
    "del \"\3\"\r\n";

}  // namespace

bool DoublePercents(char* out, size_t size, const char* path) {
  if (size == 0) return false;
  size_t used = 0;
  for (; *path; ++path) {
    if (used + (*path == '%' ? 2 : 1) >= size) {
      out[0] = '\0';
      return false;
    }
    out[used++] = *path;
    if (*path == '%') out[used++] = '%';
  }
  out[used] = '\0';
  return true;
}

size_t BatchText(char* out, size_t size, const char* program, const char* folder, const char* batch) {
  size_t used = 0;
  bool skip = false;
  for (const char* t = kTemplate; *t; ++t) {
    if (*t == '\2') {
      skip = !skip && !folder;
      continue;
    }
    if (skip) continue;
    bool fits;
    if (*t > '\4') {
      fits = used + 1 < size;
      if (fits) out[used++] = *t;
    } else {
      fits = DoublePercents(out + used, size - used, *t == '\1' ? program : *t == '\3' ? batch : folder);
      if (fits) used += strlen(out + used);
    }
    if (!fits) {
      if (size) out[0] = '\0';
      return 0;
    }
  }
  out[used] = '\0';
  return used;
}

}  // namespace removal
