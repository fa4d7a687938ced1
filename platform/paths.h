// Paths of this machine: ANSI strings in MAX_PATH buffers, scanned in the
// system's ANSI code page, so that on a Japanese system a trail byte 0x5C
// is no separator. The scanning itself is core/text.h's.
#ifndef SFX_PLATFORM_PATHS_H
#define SFX_PLATFORM_PATHS_H

#include <windows.h>

#include "text.h"

namespace platform {

// The lead-byte test of the system's ANSI code page, for core/text.h.
bool IsAnsiLeadByte(uint8_t byte);

// folder + "\\" + name into `out` (MAX_PATH bytes; `out` may be `folder`).
// False, with `out` empty, when the result would not fit.
bool JoinChecked(char* out, const char* folder, const char* name);

// The drive and folder part of `path`, with its trailing '\\', into `out`
// (MAX_PATH); empty when there is no folder part.
void FolderPart(char* out, const char* path);

// Drops one trailing '\\'.
void DropTrailingSlash(char* path);

enum class PathKind { kNothing, kFolder, kFile };
PathKind KindOf(const char* path);

// Clears the read-only attribute of one of the kit's own files that it is
// about to write or delete (files unpacked from an archive keep theirs).
void ClearReadOnly(const char* path);

// This program's own path (MAX_PATH); false when the system gives none or
// it would not fit.
bool OwnPath(char* path);

// The path of the shell folder `csidl` into `folder` (MAX_PATH); false,
// with `folder` empty, when the system has none.
bool ShellFolderPath(HWND owner, int csidl, char* folder);

}  // namespace platform

#endif  // SFX_PLATFORM_PATHS_H
