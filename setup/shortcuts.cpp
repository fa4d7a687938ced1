// Start-menu, desktop, startup and send-to links.
#include "setup.h"

// Not built yet: the menu folder of a Setup.ini.
void GetMenuFolder(const char*, char* menuFolder, char* programs) {
  menuFolder[0] = '\0';
  programs[0] = '\0';
}

// Not built yet: the menu's links.
void MakeMenuShortcuts(HWND, const char*, bool) {}

// Not built yet: the send-to links.
void MakeSendToShortcuts(HWND, const char*, bool) {}

// Not built yet: the desktop and startup links.
void MakeFolderShortcut(HWND, const char*, bool, const char*) {}

// Not built yet: removing the menus of earlier installations.
void RemoveOldMenus(HWND) {}

// Not built yet: deleting a Setup.ini's menu links.
void DeleteMenuLinks(const char*) {}

// Not built yet: removing a Setup.ini's menu folder.
void DeleteMenuFolder(const char*) {}

// Not built yet: emptying and removing a menu folder.
void RemoveFolderTree(const char*) {}

// Not built yet: opening the links named for the end of the install.
void LaunchAfterInstall() {}

// Not built yet: choosing where the menu is made.
void ChooseMenuFolder(HWND) {}
