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

// Clears the read-only attribute of a file (one of the kit's own that it
// is about to write or delete: files unpacked from an archive keep theirs);
// true when it carries none afterwards.
bool ClearReadOnly(const char* path);

enum class PathKind { kNothing, kFolder, kFile };
PathKind KindOf(const char* path);

// This program's own path (MAX_PATH); false when the system gives none or
// it would not fit.
bool OwnPath(char* path);

// `path` as the file system names it, into `out` (MAX_PATH): made full
// (GetFullPathNameA resolves "." and ".." parts and a relative start) and
// each existing part under its long name, an 8.3 alias such as PROGRA~1
// read back through FindFirstFileA (which every Windows of the kit has,
// unlike GetLongPathNameA); no trailing '\\' but a drive root's. False,
// with `out` empty, for a path with wildcards or one that cannot be made
// full.
bool CanonicalPath(const char* path, char* out);

// Whether `path` is `folder` or lies below it, both made canonical and
// compared without regard to case. False when either cannot be.
bool IsSameOrBelow(const char* path, const char* folder);

// Whether two paths name the same place, compared as IsSameOrBelow does.
bool SamePath(const char* a, const char* b);

// The path of the shell folder `csidl` into `folder` (MAX_PATH); false,
// with `folder` empty, when the system has none.
bool ShellFolderPath(HWND owner, int csidl, char* folder);

}  // namespace platform

#endif  // SFX_PLATFORM_PATHS_H
