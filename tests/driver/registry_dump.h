// A registry tree written out as text, so that a test can compare what a
// program left with what it expects, or with what was there before.
#ifndef SFX_TESTS_REGISTRY_DUMP_H
#define SFX_TESTS_REGISTRY_DUMP_H

#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

namespace driver {

inline void CollectKey(HKEY key, const std::string& prefix, std::vector<std::string>* items) {
  for (DWORD i = 0;; ++i) {
    char name[1024], data[4096];
    DWORD nameSize = sizeof name, dataSize = sizeof data, type = 0;
    if (RegEnumValueA(key, i, name, &nameSize, nullptr, &type, reinterpret_cast<BYTE*>(data), &dataSize) !=
        ERROR_SUCCESS)
      break;
    std::string value = type == REG_SZ ? std::string(data, dataSize ? dataSize - 1 : 0)
                                       : "<type " + std::to_string(type) + ", " + std::to_string(dataSize) + " bytes>";
    items->push_back(prefix + "|" + name + "=" + value);
  }
  for (DWORD i = 0;; ++i) {
    char name[1024];
    if (RegEnumKeyA(key, i, name, sizeof name) != ERROR_SUCCESS) break;
    std::string path = prefix.empty() ? name : prefix + "\\" + name;
    items->push_back(path);
    HKEY child;
    if (RegOpenKeyExA(key, name, 0, KEY_READ, &child) == ERROR_SUCCESS) {
      CollectKey(child, path, items);
      RegCloseKey(child);
    }
  }
}

// The keys and values below `root`\`path`, sorted, one item each: "A\B"
// for a key, "A\B|name=data" for a string value ("|name=data" for the
// key's own, "|=data" for a default value); "<gone>" when the key does
// not open.
inline std::vector<std::string> RegistryItems(HKEY root, const std::string& path) {
  HKEY key;
  if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return {"<gone>"};
  std::vector<std::string> items;
  CollectKey(key, "", &items);
  RegCloseKey(key);
  std::sort(items.begin(), items.end());
  return items;
}

// The same items in one line, separated by blanks.
inline std::string RegistryDump(HKEY root, const std::string& path) {
  std::string text;
  for (const std::string& item : RegistryItems(root, path)) text += (text.empty() ? "" : " ") + item;
  return text;
}

}  // namespace driver

#endif  // SFX_TESTS_REGISTRY_DUMP_H
