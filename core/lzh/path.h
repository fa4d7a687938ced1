// Deciding whether an entry's name may be written below a target folder.
#ifndef SFX_CORE_LZH_PATH_H
#define SFX_CORE_LZH_PATH_H

#include "lzh/lzh.h"

namespace lzh {

// Checks a '/'-separated entry path and writes its clean relative form
// (empty and "." components dropped) to `clean`, which needs length + 1
// bytes. Returns kUnsafeName for a path that is absolute, carries a drive
// letter or stream name (':'), climbs with "..", names a device (CON, PRN,
// AUX, NUL, COM1-9, LPT1-9, with any extension, in any case), or is empty.
// A '\' inside a component counts as a separator here too: code page 932
// keeps it as part of a character, other code pages would not.
Result CleanPath(const char* path, size_t length, char* clean, size_t* cleanLength);

}  // namespace lzh

#endif  // SFX_CORE_LZH_PATH_H
