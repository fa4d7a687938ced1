// What the stub moved into an installed application's folder, appended to
// that application's Setup.ini so that its uninstaller removes it too.
#include "stub.h"

#include "profile_calls.h"
#include "setup/ini_names.h"

bool RecordCopiedFile(const char* ini, const char* entry) {
  if (platform::IsListed(ini, setup::ini::kCopiedFile, entry)) return false;
  platform::AppendToList(ini, setup::ini::kCopiedFile, entry);
  return true;
}

void RecordMadeDirectory(const char* ini, const char* entry) {
  char parent[MAX_PATH];
  platform::FolderPart(parent, entry);
  platform::DropTrailingSlash(parent);
  // The walk ends at the top of the path: a bare drive ("C:"), the root
  // ("\\") or nothing is no folder of the application's.
  int length = lstrlenA(parent);
  bool top = length == 0 || (length == 1 && parent[0] == '\\') || (length == 2 && parent[1] == ':');
  if (top || length >= lstrlenA(entry)) return;
  if (platform::IsListed(ini, setup::ini::kMakedDirectory, parent)) return;
  RecordMadeDirectory(ini, parent);  // outermost folders first
  platform::AppendToList(ini, setup::ini::kMakedDirectory, parent);
}
