// Which paths of a description setup may act on. A relative or
// drive-relative folder ("App", "\App", "C:App") stands for a place that
// depends on the current folder, and a part of only dots and blanks
// ("..", "...", ". .", which Windows reads as this folder or the one
// above) climbs out of the folder it is written in: a [Del] pattern or a
// start-menu folder of that kind would take away what is not the
// application's.
//
//   C:\Program Files\App      full
//   \\server\share\App        full
//   C:\App\..\Windows         refused as a folder: climbs
//   App, \App, C:App          refused: not full
//   sub\..\a.txt              stays below the folder it is written in
//   ..\*.*                    refused below a folder: climbs above it
//   Tools\Editor              a plain relative name (a [Menu] Name)
//   ., .., Tools\\Editor, \x  refused as a name
#ifndef SFX_CORE_SETUP_PATH_RULES_H
#define SFX_CORE_SETUP_PATH_RULES_H

#include <stddef.h>

#include "text.h"

namespace setup {

// The length of the root of a full path: 3 for "C:\", up to and with the
// share's backslash for "\\server\share\" (the whole path when nothing
// follows the share); 0 when the path is not full.
size_t FullPathRoot(const char* path, text::LeadByteTest isLead = text::IsCp932LeadByte);

// Whether `path` is full and none of its parts after the root is of only
// dots and blanks. Empty parts are allowed: "%root%\x" gives one, which
// the file system reads as a single separator.
bool IsFullPath(const char* path, text::LeadByteTest isLead = text::IsCp932LeadByte);

// Whether the relative `path` stays below the folder it is read in: no
// part of two dots or more (with blanks) takes it above where it started.
bool StaysBelow(const char* path, text::LeadByteTest isLead = text::IsCp932LeadByte);

// Whether `name` is a relative path of plain names: not empty, no drive,
// no ':', no leading, doubled or final separator, and no part of only
// dots and blanks.
bool IsPlainRelativePath(const char* name, text::LeadByteTest isLead = text::IsCp932LeadByte);

}  // namespace setup

#endif  // SFX_CORE_SETUP_PATH_RULES_H
