// Bounded reads of registry strings.
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

}  // namespace platform

#endif  // SFX_PLATFORM_REGISTRY_H
