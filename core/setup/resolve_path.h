// The paths of Setup.ini turned into paths of this machine:
//
//   %system%\x.dll    <system folder>\x.dll   (the macro in any case; the
//   %windows%\w.ini   <Windows folder>\w.ini   rest taken as written, its
//   %programs%\App    <program files>\App      own separator included)
//   %root%x.txt       <root>\x.txt
//   !C:\Data\x.txt    C:\Data\x.txt           (a full path, or nothing)
//   docs\readme.txt   <root>\docs\readme.txt
//
// A macro folder the system could not give, a root that is no full path,
// a relative path that climbs above the root, a "!" path that is not full,
// and a result that does not fit, all resolve to nothing (an empty path):
// the rest alone would name the current drive's root or folder, or reach
// what the description does not name.
//
// In program mode the text names a program or a registry value: "!" text
// is taken as written, %root% paths may climb, and a relative path is the
// program that opens that document, which only the platform can look up
// (a path without a macro, whose `rest` is 0); ResolvePath gives the
// lookup's fallback, the path joined to the root.
#ifndef SFX_CORE_SETUP_RESOLVE_PATH_H
#define SFX_CORE_SETUP_RESOLVE_PATH_H

#include <stddef.h>

#include "text.h"

namespace setup {

enum class PathBase {
  kRoot,      // a relative path, or %root%
  kSystem,    // %system%
  kWindows,   // %windows%
  kPrograms,  // %programs%
  kFull,      // "!": a full path follows the mark
};

struct PathMacro {
  PathBase base;
  size_t rest;  // where the text after the macro or the mark starts; 0 without one
};

// The macro or mark that starts `path`.
PathMacro SplitPathMacro(const char* path);

// The folders of this machine that the macros name; empty when the system
// gave none.
struct MachineFolders {
  const char* system;
  const char* windows;
  const char* programs;
};

// `path` resolved against `root` into `out` (`size` bytes; it must not be
// `path` or `root`). False, with `out` empty, when it resolves to nothing.
bool ResolvePath(char* out, size_t size, const char* path, const char* root, const MachineFolders& folders,
                 bool programMode, text::LeadByteTest isLead = text::IsCp932LeadByte);

// `root` joined with `path`, the fallback of every resolution; nothing
// unless the root is a full path (an empty or relative one would make the
// path one below the current folder or drive), or when `below` and the
// path climbs above the root. `out` must not be `path`.
bool RootJoined(char* out, size_t size, const char* root, const char* path, bool below,
                text::LeadByteTest isLead = text::IsCp932LeadByte);

// Whether setup acts on `path` outside program mode when the root is a
// full path: "!" paths must be full, relative and %root% paths must stay
// below the root. (The macro folders are the system's to give.)
bool ResolvesBelowItsPlace(const char* path, text::LeadByteTest isLead = text::IsCp932LeadByte);

}  // namespace setup

#endif  // SFX_CORE_SETUP_RESOLVE_PATH_H
