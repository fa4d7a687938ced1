// Setup.ini on the disk: read whole into a profile::Document and written
// back whole, instead of a private-profile call (which reopens the file,
// and rewrites it for every key) per key.
#ifndef SFX_PLATFORM_INI_FILE_H
#define SFX_PLATFORM_INI_FILE_H

#include <windows.h>

#include "ini/document.h"

namespace platform {

// Blocks of the process heap, for documents and lists.
void* ResizeOnHeap(void* block, size_t bytes);

// Reads `path` into `document`; a missing file gives an empty one. The
// system's profile cache of the file is written out first, so that what
// an earlier private-profile call left there is read too. False when the
// file cannot be read or its memory cannot be had.
bool LoadIniFile(const char* path, profile::Document* document);

// Writes `document` to `path` through a temporary file beside it, which
// then replaces the file: a write cut short never leaves half a file. The
// system's profile cache of the file is written out before, so that it
// cannot later overwrite these bytes with what it held. False, the file
// left as it was, when it cannot be written.
bool SaveIniFile(const char* path, const profile::Document& document);

// The name of the temporary file that replaces `path` ("name.$$$" beside
// it, so that a later run reuses what a cut one left), into `temporary`
// (MAX_PATH); false when it would not fit. Such a leftover may be
// read-only, which its writer has to clear.
bool TemporaryBeside(const char* path, char* temporary);

// Moves `temporary` over `destination`; false, with `temporary` deleted,
// when it cannot.
bool ReplaceWith(const char* temporary, const char* destination);

}  // namespace platform

#endif  // SFX_PLATFORM_INI_FILE_H
