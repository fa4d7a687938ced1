// Bounded reads of registry strings, and the writes setup makes.
#ifndef SFX_PLATFORM_REGISTRY_H
#define SFX_PLATFORM_REGISTRY_H

#include <windows.h>

namespace platform {

// Reads the REG_SZ `value` of an open key into `out` (`size` bytes),
// NUL-terminated even when the stored string lacks its NUL. False, with
// `out` empty, when the value is missing, of another type or too long.
bool ReadRegistryString(HKEY key, const char* value, char* out, DWORD size);

// The same below `root`\`subkey`, opened for reading only.
bool ReadRegistryString(HKEY root, const char* subkey, const char* value, char* out, DWORD size);

// Sets the REG_SZ `value` (empty: the default value) of an open key to
// `data`, its NUL included, and flushes the key.
bool WriteRegistryString(HKEY key, const char* value, const char* data);

// Creates or opens `name` below `parent`, non-volatile; null on failure.
// The parent is flushed, since it may have gained a subkey.
HKEY CreateRegistryKey(HKEY parent, const char* name, REGSAM access);

// Writes what was changed through an open key and closes it.
void FlushAndClose(HKEY key);

}  // namespace platform

#endif  // SFX_PLATFORM_REGISTRY_H
