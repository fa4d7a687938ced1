// Setup.ini's numbered keys and counted lists ("Count" and the keys 0 to
// Count-1), read and written through the private-profile calls.
#ifndef SFX_PLATFORM_PROFILE_H
#define SFX_PLATFORM_PROFILE_H

#include <windows.h>

namespace platform {

// Room for the decimal text of any int, with its NUL.
constexpr int kNumberSize = 12;

// The decimal text of `value` ("%d").
void NumberText(char* out, int value);

// Writes `value` as decimal text.
void WriteProfileNumber(const char* ini, const char* section, const char* key, int value);

// Whether one of the keys 0 .. Count-1 of `section` holds `value`: byte
// for byte, or without regard to case. Empty keys match nothing.
bool IsListed(const char* ini, const char* section, const char* value, bool ignoreCase);

// Appends `value` to the counted list: the key numbered Count, then Count
// itself, one more.
void AppendToList(const char* ini, const char* section, const char* value);

// Takes every entry that holds `value` (compared as IsListed compares) out
// of the counted list; the entries after it move down, so that the list
// keeps no gap, and Count shrinks to match. A list left empty goes with
// its section.
void RemoveFromList(const char* ini, const char* section, const char* value, bool ignoreCase);

}  // namespace platform

#endif  // SFX_PLATFORM_PROFILE_H
