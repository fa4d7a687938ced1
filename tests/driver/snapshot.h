// What a scenario leaves on the machine, listed before and after it: the
// files of the folders it touches and the registry keys it touches, one
// text item each, so that a test can show what differs line by line.
#ifndef SFX_TESTS_SNAPSHOT_H
#define SFX_TESTS_SNAPSHOT_H

#include <windows.h>
#include <shlobj.h>

#include <algorithm>
#include <iterator>
#include <string>
#include <vector>

#include "machine.h"
#include "registry_dump.h"

namespace driver {

// The files (with their sizes) and folders below `folder`, or only in it.
inline void ListFiles(const std::string& folder, bool deep, std::vector<std::string>* items) {
  WIN32_FIND_DATAA entry;
  HANDLE find = FindFirstFileA((folder + "\\*").c_str(), &entry);
  if (find == INVALID_HANDLE_VALUE) return;
  do {
    std::string name = entry.cFileName, path = folder + "\\" + name;
    if (name == "." || name == "..") continue;
    bool isFolder = (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    items->push_back(path + (isFolder ? "\\" : " " + std::to_string(entry.nFileSizeLow)));
    if (isFolder && deep) ListFiles(path, true, items);
  } while (FindNextFileA(find, &entry));
  FindClose(find);
}

// The folders of the user's that an install writes links into, and the
// root of the drive, where the removal's batch lies for a moment. The
// desktop is the harness's home folder, whose recycle bin below receives
// what the uninstall deletes: only its top is listed.
inline void ListUserFolders(std::vector<std::string>* items) {
  ListFiles(ShellFolder(CSIDL_PROGRAMS), true, items);
  ListFiles(ShellFolder(CSIDL_SENDTO), true, items);
  ListFiles(ShellFolder(CSIDL_DESKTOPDIRECTORY), false, items);
  ListFiles("C:", false, items);
}

// The names of the keys right below root\`path`, each as
// `rootName`\`path`\name.
inline void ListSubkeys(HKEY root, const char* rootName, const std::string& path, std::vector<std::string>* items) {
  HKEY key;
  if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return;
  char name[1024];
  std::string prefix = std::string(rootName) + (path.empty() ? "" : "\\" + path) + "\\";
  for (DWORD i = 0; RegEnumKeyA(key, i, name, sizeof name) == ERROR_SUCCESS; ++i) items->push_back(prefix + name);
  RegCloseKey(key);
}

// The whole tree below root\`path` (RegistryItems), each item after the
// key's own name.
inline void ListKeyTree(HKEY root, const char* rootName, const std::string& path, std::vector<std::string>* items) {
  for (const std::string& item : RegistryItems(root, path))
    items->push_back(std::string(rootName) + "\\" + path + " " + item);
}

// Every key an install touches: the names below the classes root and below
// each SOFTWARE key, and the whole trees of the uninstall list, of
// `classes` below the classes root and of `ownKeys` below the user and the
// machine alike.
inline std::vector<std::string> RegistrySnapshot(const std::vector<std::string>& classes,
                                                 const std::vector<std::string>& ownKeys) {
  std::vector<std::string> items;
  ListSubkeys(HKEY_CLASSES_ROOT, "HKCR", "", &items);
  ListSubkeys(HKEY_CURRENT_USER, "HKCU", "Software", &items);
  ListSubkeys(HKEY_LOCAL_MACHINE, "HKLM", "Software", &items);
  ListKeyTree(HKEY_LOCAL_MACHINE, "HKLM", kUninstallKey, &items);
  for (const std::string& key : classes) ListKeyTree(HKEY_CLASSES_ROOT, "HKCR", key, &items);
  for (const std::string& key : ownKeys) {
    ListKeyTree(HKEY_CURRENT_USER, "HKCU", key, &items);
    ListKeyTree(HKEY_LOCAL_MACHINE, "HKLM", key, &items);
  }
  return items;
}

// What `after` lacks of `before` ("- item") and adds to it ("+ item"),
// one line each; empty when both hold the same.
inline std::string Difference(std::vector<std::string> before, std::vector<std::string> after) {
  std::sort(before.begin(), before.end());
  std::sort(after.begin(), after.end());
  std::vector<std::string> lost, added;
  std::set_difference(before.begin(), before.end(), after.begin(), after.end(), std::back_inserter(lost));
  std::set_difference(after.begin(), after.end(), before.begin(), before.end(), std::back_inserter(added));
  std::string text;
  for (const std::string& item : lost) text += "- " + item + "\n";
  for (const std::string& item : added) text += "+ " + item + "\n";
  return text;
}

}  // namespace driver

#endif  // SFX_TESTS_SNAPSHOT_H
