#include "registry.h"

namespace platform {

bool ReadRegistryString(HKEY key, const char* value, char* out, DWORD size) {
  if (size == 0) return false;
  DWORD type = 0, length = size;
  // A string stored without its NUL gets one, when there is room for it.
  bool read = RegQueryValueExA(key, value, nullptr, &type, reinterpret_cast<BYTE*>(out), &length) == ERROR_SUCCESS &&
              type == REG_SZ && (length < size || out[size - 1] == '\0');
  if (!read) out[0] = '\0';
  else if (length < size) out[length] = '\0';
  return read;
}

bool ReadRegistryString(HKEY root, const char* subkey, const char* value, char* out, DWORD size) {
  HKEY key;
  if (RegOpenKeyExA(root, subkey, 0, KEY_READ, &key) != ERROR_SUCCESS) {
    if (size) out[0] = '\0';
    return false;
  }
  bool read = ReadRegistryString(key, value, out, size);
  RegCloseKey(key);
  return read;
}

bool WriteRegistryString(HKEY key, const char* value, const char* data) {
  bool written = RegSetValueExA(key, value, 0, REG_SZ, reinterpret_cast<const BYTE*>(data),
                                static_cast<DWORD>(lstrlenA(data) + 1)) == ERROR_SUCCESS;
  RegFlushKey(key);
  return written;
}

HKEY CreateRegistryKey(HKEY parent, const char* name, REGSAM access) {
  HKEY key;
  if (RegCreateKeyExA(parent, name, 0, nullptr, REG_OPTION_NON_VOLATILE, access, nullptr, &key, nullptr) !=
      ERROR_SUCCESS)
    return nullptr;
  RegFlushKey(parent);
  return key;
}

void FlushAndClose(HKEY key) {
  RegFlushKey(key);
  RegCloseKey(key);
}

bool ReadProgramFilesFolder(char* folder) {
  return ReadRegistryString(HKEY_LOCAL_MACHINE, kCurrentVersionKey, "ProgramFilesDir", folder, MAX_PATH) &&
         folder[0] != '\0';
}

bool ReadUninstallString(const char* name, char* command) {
  HKEY uninstall, application;
  command[0] = '\0';
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kUninstallKey, 0, KEY_CREATE_SUB_KEY, &uninstall) != ERROR_SUCCESS)
    return false;
  bool read = false;
  if (RegCreateKeyExA(uninstall, name, 0, nullptr, 0, KEY_READ, nullptr, &application, nullptr) == ERROR_SUCCESS) {
    read = ReadRegistryString(application, "UninstallString", command, MAX_PATH);
    FlushAndClose(application);
  }
  FlushAndClose(uninstall);
  return read;
}

}  // namespace platform
