// Shell links in the user's start menu, send-to, desktop and startup
// folders: made by an install, removed by an uninstall (or by an install
// with the box cleared), old menus cleared first, and the links named for
// the end of an install opened.
#include "setup.h"

#include <shellapi.h>
#include <shlobj.h>

#include "paths.h"
#include "ini/document.h"
#include "setup/hotkey.h"
#include "setup/menu_folder.h"

namespace {

// A link's section of Setup.ini: [Menu<n>], [Send<n>], [Desktop], [Startup].
struct LinkSection {
  const profile::Document* description;
  char name[16];
};

void ReadLink(const LinkSection& section, const char* key, char* out) {
  section.description->Read(section.name, key, out, MAX_PATH);
}

int ReadLinkNumber(const LinkSection& section, const char* key) {
  return section.description->Number(section.name, key, 0);
}

// The section of the n-th entry of a list ("Menu" 3 gives [Menu3]); false
// at the first entry without a name.
bool ListEntry(const profile::Document& description, const char* list, int n, LinkSection* section, char* name) {
  section->description = &description;
  wsprintfA(section->name, "%s%d", list, n);
  ReadLink(*section, ini::kName, name);
  return name[0] != '\0';
}

int ShowCommand(int show) {
  switch (show) {
    case 1: return SW_SHOWMAXIMIZED;
    case 2: return SW_SHOWMINNOACTIVE;
    default: return SW_SHOWNORMAL;  // 0, and values that name no state
  }
}

// "1" in [Check] `key` once what the box stands for has been removed, so
// that the box shows cleared next time.
void ClearCheck(profile::Document& description, const char* key) {
  if (description.Number(ini::kCheck, key, 0) != 0) description.Write(ini::kCheck, key, "1");
}

// Writes one link file with every field of its section. One shell-link
// object per link, between CoInitialize and CoUninitialize.
bool SaveLink(const LinkSection& section, const char* path, bool withHotkey) {
  if (FAILED(CoInitialize(nullptr))) return false;
  IShellLinkA* link = nullptr;
  bool saved = false;
  if (SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                 reinterpret_cast<void**>(&link)))) {
    char root[MAX_PATH], value[MAX_PATH], resolved[MAX_PATH];
    section.description->Read(ini::kRoot, ini::kNamed, root, sizeof root);
    link->SetShowCmd(ShowCommand(ReadLinkNumber(section, ini::kShow)));
    ReadLink(section, ini::kArg, value);
    link->SetArguments(value);
    ReadLink(section, ini::kShort, value);
    if (withHotkey && value[0]) link->SetHotkey(setup::HotkeyWord(value));
    ReadLink(section, ini::kPath, value);
    ResolvePath(value, root, resolved, true);
    link->SetPath(resolved);
    // Without an icon of its own a link shows its target's.
    ReadLink(section, ini::kIcon, value);
    if (value[0]) {
      ResolvePath(value, root, resolved, true);
      link->SetIconLocation(resolved, ReadLinkNumber(section, ini::kIconNo));
    }
    ReadLink(section, ini::kWork, value);
    if (value[0] == '!') {
      lstrcpyA(resolved, value + 1);
    } else {
      lstrcpyA(resolved, root);
      if (value[0]) JoinPath(resolved, value);
    }
    link->SetWorkingDirectory(resolved);
    WCHAR wide[MAX_PATH];
    IPersistFile* file = nullptr;
    if (MultiByteToWideChar(CP_ACP, 0, path, -1, wide, MAX_PATH) &&
        SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
      saved = SUCCEEDED(file->Save(wide, TRUE));
      file->Release();
    }
    link->Release();
  }
  CoUninitialize();
  return saved;
}

// `folder` + "\\" + `name` + ".lnk" into `path` (MAX_PATH); false when it
// would not fit.
bool LinkPath(char* path, const char* folder, const char* name) {
  if (path != folder) lstrcpyA(path, folder);
  JoinPath(path, name);
  if (!path[0] || lstrlenA(path) + 4 >= MAX_PATH) return false;
  lstrcatA(path, ".lnk");
  return true;
}

// The link of an entry whose name may hold folders: `base` joined with
// each segment, the folders made on the way when `makeFolders`.
bool NestedLinkPath(char* path, const char* base, const char* name, bool makeFolders) {
  lstrcpyA(path, base);
  char segment[MAX_PATH];
  for (const char* p = name;;) {
    const char* slash = text::FindFirst(p, '\\', platform::IsAnsiLeadByte);
    if (!slash) return LinkPath(path, path, p);
    lstrcpynA(segment, p, static_cast<int>(slash - p) + 1);
    if (segment[0]) {
      JoinPath(path, segment);
      if (!path[0]) return false;
      if (makeFolders) CreateDirectoryA(path, nullptr);
    }
    p = slash + 1;
  }
}

// Removes the folders of an entry's name below `base`, deepest first;
// only empty ones go.
void RemoveNameFolders(const char* base, const char* name) {
  char folders[MAX_PATH], path[MAX_PATH];
  lstrcpyA(folders, name);
  while (char* slash = const_cast<char*>(text::FindLast(folders, '\\', platform::IsAnsiLeadByte))) {
    *slash = '\0';
    if (!folders[0]) break;
    lstrcpyA(path, base);
    JoinPath(path, folders);
    if (path[0]) RemoveDirectoryA(path);
  }
}

void DeleteLink(const char* path) {
  SetFileAttributesA(path, FILE_ATTRIBUTE_NORMAL);
  DeleteFileA(path);
}

// The link of a menu entry: a name that starts with a backslash lies
// below the Programs folder itself.
bool MenuLinkPath(char* path, const char* menu, const char* programs, const char* name, bool makeFolders) {
  if (name[0] == '\\') {
    if (lstrlenA(programs) + lstrlenA(name) + 4 >= MAX_PATH) return false;
    wsprintfA(path, "%s%s.lnk", programs, name);
    return true;
  }
  return NestedLinkPath(path, menu, name, makeFolders);
}

void RemoveMenuLinks(const profile::Document& description, const char* menu, const char* programs) {
  LinkSection section;
  char name[MAX_PATH], path[MAX_PATH];
  for (int i = 0; ListEntry(description, ini::kMenu, i, &section, name); ++i) {
    if (!MenuLinkPath(path, menu, programs, name, false)) continue;
    DeleteLink(path);
    if (name[0] != '\\') RemoveNameFolders(menu, name);
  }
}

// "2" in [Check] `key` once what the box stands for has been made, so
// that a version-up and a run of the installed copy offer the box checked
// again (an absent key counts as 3, always done, and stays).
void RecordChosen(profile::Document& description, const char* key) {
  if (description.Number(ini::kCheck, key, 3) != 3) description.Write(ini::kCheck, key, "2");
}

void DeleteMenuLinks(const profile::Document& description) {
  char menu[MAX_PATH], programs[MAX_PATH];
  GetMenuFolder(description, menu, programs);
  if (!menu[0]) return;
  LinkSection section;
  char name[MAX_PATH], path[MAX_PATH];
  for (int i = 0; ListEntry(description, ini::kMenu, i, &section, name); ++i)
    if (MenuLinkPath(path, menu, programs, name, false)) DeleteLink(path);
}

}  // namespace

void ApplyMenuShortcuts(profile::Document& description, Apply apply) {
  char menu[MAX_PATH], programs[MAX_PATH];
  GetMenuFolder(description, menu, programs);
  if (!menu[0]) return;
  if (apply == Apply::kRemove) {
    RemoveMenuLinks(description, menu, programs);
    RemoveEmptyMenu(description, menu);
    ClearCheck(description, ini::kMenu);
    return;
  }
  if (CreateDirectoryA(menu, nullptr)) description.Write(ini::kMenu, ini::kMade, menu);
  else if (!PathExists(menu)) return;
  RecordChosen(description, ini::kMenu);
  LinkSection section;
  char name[MAX_PATH], path[MAX_PATH];
  for (int i = 0; ListEntry(description, ini::kMenu, i, &section, name); ++i)
    if (MenuLinkPath(path, menu, programs, name, true)) SaveLink(section, path, false);
  // A menu that got no link is not left behind empty.
  RemoveEmptyMenu(description, menu);
  if (PathExists(menu) && description.Number(ini::kMenu, ini::kOpen, 0) != 0)
    ShellExecuteA(nullptr, "open", menu, nullptr, menu, SW_SHOWNORMAL);
}

void ApplySendToShortcuts(profile::Document& description, Apply apply) {
  bool make = apply == Apply::kMake;
  char sendTo[MAX_PATH];
  if (!ReadShellFolder("SendTo", sendTo) || !sendTo[0]) return;
  LinkSection section;
  char name[MAX_PATH], path[MAX_PATH];
  if (make) RecordChosen(description, ini::kSend);
  for (int i = 0; ListEntry(description, ini::kSend, i, &section, name); ++i) {
    if (!NestedLinkPath(path, sendTo, name, make)) continue;
    if (make) {
      SaveLink(section, path, false);
    } else {
      DeleteLink(path);
      RemoveNameFolders(sendTo, name);
    }
  }
  if (!make) ClearCheck(description, ini::kSend);
}

void ApplyFolderShortcut(profile::Document& description, Apply apply, const char* kind) {
  char folder[MAX_PATH], name[MAX_PATH], path[MAX_PATH];
  LinkSection section;
  section.description = &description;
  lstrcpyA(section.name, kind);
  if (!ReadShellFolder(kind, folder)) return;
  ReadLink(section, ini::kName, name);
  if (!name[0] || !LinkPath(path, folder, name)) return;
  if (apply == Apply::kRemove) {
    description.Write(ini::kLastGo, kind, "");
    ClearCheck(description, kind);
    DeleteLink(path);
    return;
  }
  if (SaveLink(section, path, true)) description.Write(ini::kLastGo, kind, path);
  RecordChosen(description, kind);
}

void RemoveOldMenus() {
  // The menus of this product's earlier installation, and what the running
  // description names; never those of whatever Setup.ini lies in the folder
  // the dialog shows, which may be another program's.
  if (g_setup.earlier) {
    DeleteMenuLinks(*g_setup.earlier);
    DeleteMenuFolder(*g_setup.earlier);
  }
  if (g_setup.earlier != g_setup.settings) DeleteMenuFolder(Settings());
}

// The whole menu folder when this product made it, links the user added
// included, as a new install of the menu starts afresh; otherwise only the
// links the description names, then the folders left empty.
void DeleteMenuFolder(profile::Document& description) {
  char menu[MAX_PATH], programs[MAX_PATH];
  GetMenuFolder(description, menu, programs);
  if (!menu[0]) return;
  if (RemoveMadeMenuFolder(description, menu)) return;
  RemoveMenuLinks(description, menu, programs);
  RemoveEmptyMenu(description, menu);
}

namespace {

void Open(const char* link) { ShellExecuteA(GetDesktopWindow(), nullptr, link, nullptr, nullptr, SW_SHOW); }

// A desktop or startup link asked to be opened; one whose name starts
// with '$' is opened once and then goes.
void OpenFolderLink(const char* kind, const char* andGo) {
  char link[MAX_PATH];
  ReadSetting(ini::kLastGo, kind, link);
  if (!ReadNumber(ini::kLastGo, andGo) || !link[0]) return;
  Open(link);
  if (link[text::SplitPath(link, platform::IsAnsiLeadByte).name] == '$') ShellDelete(link);
}

}  // namespace

void LaunchAfterInstall() {
  char programs[MAX_PATH], named[MAX_PATH], name[MAX_PATH], menu[MAX_PATH];
  if (!ReadShellFolder("Programs", programs)) return;
  ReadSetting(ini::kMenu, ini::kNamed, named);
  ReadSetting(ini::kMenu, ini::kName, name);
  // Without a Name or a chosen folder the menu has no folder of its own
  // whose links the install opens.
  setup::MenuFolder kind = setup::ComposeMenuFolder(menu, sizeof menu, named, name, programs, platform::IsAnsiLeadByte);
  if (kind == setup::MenuFolder::kNone || kind == setup::MenuFolder::kPrograms) return;
  for (int i = 0;; ++i) {
    char entry[MAX_PATH], link[MAX_PATH];
    ReadSetting(ini::kLastGo, i, entry);
    if (!entry[0]) break;
    if (!LinkPath(link, menu, entry)) continue;
    Open(link);
    if (entry[0] == '$') ShellDelete(link);
  }
  // A menu that only held links opened once is not left behind empty.
  RemoveEmptyMenu(Settings(), menu);
  OpenFolderLink(ini::kStartup, ini::kStartupAndGo);
  OpenFolderLink(ini::kDesktop, ini::kDesktopAndGo);
}
