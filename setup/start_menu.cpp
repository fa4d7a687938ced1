// The start menu's folder: where the description puts it, the user's
// choice of it in the dialog, the folders it may never be, and removing
// it when this product made it.
#include "setup.h"

#include <shlobj.h>

#include "folder_dialog.h"
#include "folder_walk.h"
#include "paths.h"
#include "registry.h"
#include "setup/install_folder.h"
#include "setup/menu_folder.h"

namespace {

// Folders that no menu of an application may be, removing a menu empties
// its whole folder: a drive's root, the system's folders, the Programs and
// Start Menu folders and any folder above them; and the folders the shell
// runs on, with their subfolders (a menu named StartUp lies in Programs).
// Compared as the file system names them, so that "..", an 8.3 alias or
// another case reaches no folder unseen.
struct GuardedFolder {
  int csidl;  // -1: the registry's Programs folder, the system's folders below
  bool withSubfolders;
};
const GuardedFolder kGuardedFolders[] = {
    {-1, false},
    {CSIDL_PROGRAMS, false},
    {CSIDL_STARTMENU, false},
    {CSIDL_COMMON_PROGRAMS, false},
    {CSIDL_COMMON_STARTMENU, false},
    {CSIDL_STARTUP, true},
    {CSIDL_COMMON_STARTUP, true},
    {CSIDL_DESKTOPDIRECTORY, true},
    {CSIDL_COMMON_DESKTOPDIRECTORY, true},
    {CSIDL_SENDTO, true},
    {CSIDL_RECENT, true},
    {CSIDL_FAVORITES, true},
    {CSIDL_TEMPLATES, true},
    {CSIDL_ADMINTOOLS, true},
    {CSIDL_COMMON_ADMINTOOLS, true},
};

bool IsProtectedFolder(const char* folder) {
  char own[MAX_PATH];
  // A folder that cannot be named is guarded like a drive's root.
  if (!platform::CanonicalPath(folder, own) || lstrlenA(own) <= 3) return true;
  char guarded[MAX_PATH];
  for (const GuardedFolder& g : kGuardedFolders) {
    if (g.csidl >= 0 ? !platform::ShellFolderPath(nullptr, g.csidl, guarded) : !ReadShellFolder("Programs", guarded))
      continue;
    if (platform::IsSameOrBelow(guarded, own) || (g.withSubfolders && platform::IsSameOrBelow(own, guarded)))
      return true;
  }
  for (int which = 0; which < 3; ++which) {
    bool got = which == 0   ? GetWindowsDirectoryA(guarded, MAX_PATH) != 0
               : which == 1 ? GetSystemDirectoryA(guarded, MAX_PATH) != 0
                            : platform::ReadProgramFilesFolder(guarded);
    if (got && platform::IsSameOrBelow(guarded, own)) return true;
  }
  return false;
}

// Whether this product made the menu folder that `ini` names: its [Menu]
// Made, written when the install created the folder. A folder that was
// there before (a shared one such as Accessories, another program's of
// the same name) is not its to remove whole.
bool MadeMenuFolder(const profile::Document& description, const char* folder) {
  char made[MAX_PATH];
  description.Read(ini::kMenu, ini::kMade, made, sizeof made);
  return made[0] && platform::SamePath(made, folder) && !IsProtectedFolder(folder);
}

// Removes `folder` with all it holds, its files to the recycle bin.
void RemoveFolderTree(const char* folder) {
  platform::ForEachEntry(folder, [&](const WIN32_FIND_DATAA& entry, bool isFolder) {
    char path[MAX_PATH];
    if (!platform::JoinChecked(path, folder, entry.cFileName)) return;
    if (!isFolder) {
      ShellDelete(path);
    } else if (entry.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) {
      // A link to a folder elsewhere: the link goes, never what it points to.
      RemoveDirectoryA(path);
    } else if (entry.cFileName[0] != '.') {
      RemoveFolderTree(path);
    }
  });
  RemoveDirectoryA(folder);
}

}  // namespace

void GetMenuFolder(const profile::Document& description, char* menuFolder, char* programs) {
  char named[MAX_PATH], name[MAX_PATH];
  description.Read(ini::kMenu, ini::kNamed, named, sizeof named);
  description.Read(ini::kMenu, ini::kName, name, sizeof name);
  if (!ReadShellFolder("Programs", programs)) programs[0] = '\0';
  setup::ComposeMenuFolder(menuFolder, MAX_PATH, named, name, programs, platform::IsAnsiLeadByte);
}

void RemoveEmptyMenu(profile::Document& description, const char* menu) {
  if (IsProtectedFolder(menu) || !RemoveDirectoryA(menu)) return;
  char made[MAX_PATH];
  description.Read(ini::kMenu, ini::kMade, made, sizeof made);
  if (made[0] && platform::SamePath(made, menu)) description.Write(ini::kMenu, ini::kMade, nullptr);
}

bool RemoveMadeMenuFolder(const profile::Document& description, const char* menu) {
  if (!MadeMenuFolder(description, menu)) return false;
  RemoveFolderTree(menu);
  return true;
}

void ChooseMenuFolder(HWND dialog) {
  char name[MAX_PATH], other[MAX_PATH], start[MAX_PATH];
  ReadSetting(ini::kMenu, ini::kName, name);
  if (!name[0]) return;
  GetDlgItemTextA(dialog, IDC_FOLDER, other, sizeof other);
  JoinPath(other, "Setup.ini");
  start[0] = '\0';
  if (other[0]) ReadIniFile(other, ini::kMenu, ini::kNamed, start);
  if (!start[0]) ReadSetting(ini::kMenu, ini::kNamed, start);
  char title[MAX_PATH + 32];
  wsprintfA(title, "ﾒﾆｭｰ \"%s\" の作成位置", name);
  LPITEMIDLIST programs = nullptr;
  if (FAILED(SHGetSpecialFolderLocation(dialog, CSIDL_PROGRAMS, &programs))) programs = nullptr;
  char chosen[MAX_PATH];
  bool ok = platform::BrowseForFolder(dialog, title, programs, start, chosen);
  if (programs) CoTaskMemFree(programs);
  if (!ok || !setup::JoinNameUnlessPresent(chosen, MAX_PATH, name, platform::IsAnsiLeadByte)) return;
  WriteSetting(ini::kMenu, ini::kChange, chosen);
  FlushSettings();
}
