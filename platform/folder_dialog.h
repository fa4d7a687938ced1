// The shell's folder browser with a folder preselected.
#ifndef SFX_PLATFORM_FOLDER_DIALOG_H
#define SFX_PLATFORM_FOLDER_DIALOG_H

#include <windows.h>
#include <shlobj.h>

namespace platform {

// The browser's callback: once the dialog is up it selects the folder
// whose path `data` points to.
int CALLBACK BrowseCallback(HWND dialog, UINT message, LPARAM lParam, LPARAM data);

// Shows the browser (file-system folders only) below `root` (null: the
// whole namespace) with `start` selected (empty: none). The chosen folder's
// path goes to `folder` (MAX_PATH); false when the user cancels or the
// choice has no path.
bool BrowseForFolder(HWND owner, const char* title, LPCITEMIDLIST root, const char* start, char* folder);

}  // namespace platform

#endif  // SFX_PLATFORM_FOLDER_DIALOG_H
