#include "folder_dialog.h"

namespace platform {

int CALLBACK BrowseCallback(HWND dialog, UINT message, LPARAM, LPARAM data) {
  if (message != BFFM_INITIALIZED) return 0;
  SendMessageA(dialog, BFFM_SETSELECTIONA, TRUE, data);
  return 1;
}

bool BrowseForFolder(HWND owner, const char* title, LPCITEMIDLIST root, const char* start, char* folder) {
  BROWSEINFOA browse = {};
  browse.hwndOwner = owner;
  browse.pidlRoot = root;
  browse.pszDisplayName = folder;  // the display name; the path replaces it
  browse.lpszTitle = title;
  browse.ulFlags = BIF_RETURNONLYFSDIRS;
  browse.lpfn = BrowseCallback;
  browse.lParam = reinterpret_cast<LPARAM>(start);
  LPITEMIDLIST chosen = SHBrowseForFolderA(&browse);
  if (!chosen) return false;
  bool ok = SHGetPathFromIDListA(chosen, folder) != FALSE && folder[0] != '\0';
  CoTaskMemFree(chosen);
  return ok;
}

}  // namespace platform
