// Counted lists of a Setup.ini ("Count" and the keys 0 to Count-1) read
// and appended to through the private-profile calls, for the stub's few
// records of what it moves into an installed application. Setup, which
// records hundreds, reads and writes the whole file at once instead
// (ini_file.h); a stub within its size holds no such document.
#ifndef SFX_PLATFORM_PROFILE_CALLS_H
#define SFX_PLATFORM_PROFILE_CALLS_H

#include <windows.h>

namespace platform {

// Whether one of the keys 0 .. Count-1 of `section` holds `value`, without
// regard to case. Empty keys match nothing.
bool IsListed(const char* ini, const char* section, const char* value);

// Appends `value` to the counted list: the key numbered Count, then Count
// itself, one more.
void AppendToList(const char* ini, const char* section, const char* value);

}  // namespace platform

#endif  // SFX_PLATFORM_PROFILE_CALLS_H
