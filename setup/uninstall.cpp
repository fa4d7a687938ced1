// The uninstall entry, and the uninstall's removal of what was installed:
// the entry and the application's settings keys, the [Del] patterns, the
// recorded files (the last recorded first), the folders (children before
// their parents), and the list of what is still there afterwards.
#include "setup.h"

#include "folder_walk.h"
#include "paths.h"
#include "registry.h"
#include "setup/shared_places.h"
#include "setup/uninstall_command.h"

namespace {

constexpr REGSAM kTreeAccess = KEY_ENUMERATE_SUB_KEYS | KEY_CREATE_SUB_KEY | KEY_SET_VALUE;

// Opens `path` below `root` and hands it to `work`.
template <typename Work>
void WithKey(HKEY root, const char* path, REGSAM access, Work work) {
  HKEY key;
  if (RegOpenKeyExA(root, path, 0, access, &key) != ERROR_SUCCESS) return;
  work(key);
  platform::FlushAndClose(key);
}

// The application's settings key in one root: the key named by [Registry]
// Name in the company's key, and the company's key when left empty; or,
// without a Name, the company's key whole. A key the whole system shares
// (SOFTWARE\Microsoft, SOFTWARE\Classes, ...) stays, emptied or not.
void RemoveSettingsKeys(HKEY root, const char* company, const char* name) {
  char parent[MAX_PATH] = "SOFTWARE";
  if (name[0]) JoinPath(parent, company);
  if (!parent[0] || setup::RemovesSharedSettingsKey(company, name, platform::IsAnsiLeadByte)) return;
  WithKey(root, parent, kTreeAccess, [&](HKEY key) { DeleteKeyTree(key, name[0] ? name : company); });
  if (!setup::RemovesSharedSettingsKey(company, "", platform::IsAnsiLeadByte))
    WithKey(root, "SOFTWARE", kTreeAccess, [&](HKEY key) { DeleteKeyIfEmpty(key, company); });
}

// The next key of an open list ("0", "1", ... or from "1"), resolved below
// [Root] Named; false at the first missing or empty one.
bool ListedPath(const char* section, int k, const char* root, char* path) {
  ReadSetting(section, k, path);
  if (!path[0]) return false;
  ResolvePath(path, root, path, false);
  return true;
}

enum class Item {
  kMatchedFile,   // found by a [Del] pattern just now
  kRecordedFile,
  kFolder,        // a [DirRemove] folder, a recorded folder but the first
};
using ItemVisitor = void (*)(void* context, const char* path, Item item);

// What the uninstall removes, in the order it removes it: the files of the
// [Del] patterns (never a folder), the recorded files from the last
// recorded, the [DirRemove] folders, the recorded folders from the last
// (children before their parents) down to entry 1. Entry 0 holds this
// program; the removal copy takes it.
void WalkRemovable(ItemVisitor visit, void* context) {
  char root[MAX_PATH], path[MAX_PATH], folder[MAX_PATH], file[MAX_PATH];
  ReadSetting(ini::kRoot, ini::kNamed, root);
  for (int k = 0; ListedPath(ini::kDel, k, root, path); ++k) {
    platform::FolderPart(folder, path);
    WIN32_FIND_DATAA entry;
    HANDLE find = FindFirstFileA(path, &entry);
    if (find == INVALID_HANDLE_VALUE) continue;
    do {
      if (!(entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && platform::JoinChecked(file, folder, entry.cFileName))
        visit(context, file, Item::kMatchedFile);
    } while (FindNextFileA(find, &entry));
    FindClose(find);
  }
  for (int k = ReadNumber(ini::kCopiedFile, ini::kCount) - 1; k >= 0; --k) {
    ReadSetting(ini::kCopiedFile, k, path);
    if (path[0]) visit(context, path, Item::kRecordedFile);
  }
  for (int k = 1; ListedPath(ini::kDirRemove, k, root, path); ++k)
    if (path[0]) visit(context, path, Item::kFolder);
  for (int k = ReadNumber(ini::kMakedDirectory, ini::kCount) - 1; k >= 1; --k) {
    ReadSetting(ini::kMakedDirectory, k, path);
    if (path[0]) visit(context, path, Item::kFolder);
  }
}

// The remaining items, appended to a list that is bounded by its room:
// files may appear between the count and the listing.
struct Remaining {
  char* list;
  size_t room;  // bytes left after the list's NUL
  size_t total;

  void Add(const char* item) {
    size_t length = static_cast<size_t>(lstrlenA(item)) + 1;
    total += length;
    if (!list || length > room) return;
    lstrcatA(list, item);
    lstrcatA(list, "\n");
    room -= length;
  }
};

// Whether the installation folder holds anything but setup's own two files.
bool HoldsOtherFiles(const char* folder) {
  bool other = false;
  platform::ForEachEntry(folder, [&](const WIN32_FIND_DATAA& entry, bool) {
    const char* name = entry.cFileName;
    if (name[0] != '.' && !text::EqualNoCase(name, "setup.exe") && !text::EqualNoCase(name, "setup.ini"))
      other = true;
  });
  return other;
}

}  // namespace

namespace {

// Whether the uninstall entry `name` is this installation's to write or
// to delete: it has no command yet (a lookup may have made it empty), or
// its command starts the Setup.exe of `folder`, or of a folder that holds
// the record of an installation (an earlier one of this product, moved
// elsewhere by the version-up). Another program's entry of the same name
// is left as it is.
bool EntryIsOurs(const char* name, const char* folder, bool earlierToo) {
  char command[MAX_PATH], iniPath[MAX_PATH];
  if (!platform::ReadUninstallString(name, command) || !command[0]) return true;
  // Setup writes its program unquoted; a quoted one is another program's.
  if (setup::CutToCommandProgram(command, nullptr, platform::IsAnsiLeadByte)) return false;
  char* slash = const_cast<char*>(text::FindLast(command, '\\', platform::IsAnsiLeadByte));
  if (!slash) return false;
  slash[1] = '\0';
  if (platform::SamePath(command, folder)) return true;
  return earlierToo && platform::JoinChecked(iniPath, command, "Setup.ini") && IsInstallationRecord(iniPath, command);
}

}  // namespace

void RegisterUninstall() {
  HKEY currentVersion =
      platform::CreateRegistryKey(HKEY_LOCAL_MACHINE, platform::kCurrentVersionKey, KEY_CREATE_SUB_KEY);
  if (!currentVersion) return;
  char name[MAX_PATH], text[MAX_PATH], folder[MAX_PATH], command[MAX_PATH + 16];
  if (HKEY uninstall = platform::CreateRegistryKey(currentVersion, "Uninstall", KEY_CREATE_SUB_KEY)) {
    ReadSetting(ini::kRoot, ini::kName, name);
    ReadSetting(ini::kRoot, ini::kNamed, folder);
    HKEY application = name[0] && EntryIsOurs(name, folder, true)
                           ? platform::CreateRegistryKey(uninstall, name, KEY_SET_VALUE)
                           : nullptr;
    if (application) {
      ReadSetting(ini::kSetup, ini::kName, text);
      if (text[0]) platform::WriteRegistryString(application, "DisplayName", text);
      if (setup::ComposeUninstallCommand(command, sizeof command, folder, ReadNumber(ini::kDel, ini::kAuto) != 0,
                                         platform::IsAnsiLeadByte))
        platform::WriteRegistryString(application, "UninstallString", command);
      platform::FlushAndClose(application);
    }
    platform::FlushAndClose(uninstall);
  }
  platform::FlushAndClose(currentVersion);
}

void RemoveUninstallEntry() {
  char name[MAX_PATH], own[MAX_PATH];
  ReadSetting(ini::kRoot, ini::kName, name);
  OwnFolder(own);
  // Only the entry that starts this very copy: one that a later install
  // elsewhere, or another program, has made under the name stays.
  if (!name[0] || !EntryIsOurs(name, own, false)) return;
  WithKey(HKEY_LOCAL_MACHINE, platform::kUninstallKey, KEY_CREATE_SUB_KEY, [&](HKEY key) { DeleteKeyTree(key, name); });
}

void RemoveRegistration() {
  char name[MAX_PATH], company[MAX_PATH];
  ReadSetting(ini::kRoot, ini::kName, name);
  if (!name[0]) return;
  ReadSetting(ini::kRegistry, ini::kCompany, company);
  if (!company[0]) return;
  ReadSetting(ini::kRegistry, ini::kName, name);
  RemoveSettingsKeys(HKEY_CURRENT_USER, company, name);
  RemoveSettingsKeys(HKEY_LOCAL_MACHINE, company, name);
}

void RemoveInstalledFiles() {
  bool force = ReadNumber(ini::kDel, ini::kForce) != 0;
  WalkRemovable(
      [](void* force, const char* path, Item item) {
        // A recorded folder (an earlier stub recorded the folders it
        // moved) goes only when empty: the shell would delete it with
        // whatever the user has put into it. A recorded name with
        // wildcards names no file of the installation.
        DWORD attributes = GetFileAttributesA(path);
        bool folder = attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
        if (item == Item::kFolder || folder) {
          RemoveDirectoryA(path);
          return;
        }
        if (text::FindFirst(path, '*', platform::IsAnsiLeadByte) || text::FindFirst(path, '?', platform::IsAnsiLeadByte))
          return;
        if (*static_cast<bool*>(force)) SetFileAttributesA(path, FILE_ATTRIBUTE_NORMAL);
        ShellDelete(path);
      },
      &force);
}

size_t ListRemainingItems(char* list, size_t size) {
  Remaining remaining = {list, 0, 0};
  if (list) {
    size_t used = static_cast<size_t>(lstrlenA(list)) + 1;
    remaining.room = size > used ? size - used : 0;
  }
  // An item remains when it can still be found.
  WalkRemovable(
      [](void* remaining, const char* path, Item item) {
        if (item == Item::kMatchedFile || GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES)
          static_cast<Remaining*>(remaining)->Add(path);
      },
      &remaining);
  char installed[MAX_PATH];
  if (ReadNumber(ini::kMakedDirectory, ini::kCount) > 0) {
    ReadSetting(ini::kMakedDirectory, 0, installed);
    if (installed[0] && HoldsOtherFiles(installed)) remaining.Add(installed);
  }
  return remaining.total;
}
