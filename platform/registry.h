// Bounded reads of registry strings, and the writes setup makes.
#ifndef SFX_PLATFORM_REGISTRY_H
#define SFX_PLATFORM_REGISTRY_H

#include <windows.h>

namespace platform {

// Where the system keeps the folders of programs, and its uninstall list.
constexpr const char* kCurrentVersionKey = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion";
constexpr const char* kUninstallKey = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall";

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

// "Program Files" as the system names it, into `folder` (MAX_PATH); false
// when it names none.
bool ReadProgramFilesFolder(char* folder);

// The UninstallString of the uninstall entry `name`, into `command`
// (MAX_PATH); false when there is none. The entry is opened with
// RegCreateKeyExA, so a lookup of an application that is not installed
// leaves an empty entry behind, as the installers of the kit always have.
bool ReadUninstallString(const char* name, char* command);

}  // namespace platform

#endif  // SFX_PLATFORM_REGISTRY_H
