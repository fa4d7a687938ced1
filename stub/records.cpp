// What the stub moved into an installed application's folder, appended to
// that application's Setup.ini so that its uninstaller removes it too.
#include "stub.h"

namespace {

// True when one of keys 0 .. Count-1 of `section` holds `value`, ignoring case.
bool IsListed(const char* ini, const char* section, const char* value) {
  int count = static_cast<int>(GetPrivateProfileIntA(section, "Count", 0, ini));
  for (int i = 0; i < count; ++i) {
    char key[16], listed[MAX_PATH];
    wsprintfA(key, "%d", i);
    GetPrivateProfileStringA(section, key, "", listed, sizeof listed, ini);
    if (listed[0] && lstrcmpiA(listed, value) == 0) return true;
  }
  return false;
}

void Append(const char* ini, const char* section, const char* value) {
  int count = static_cast<int>(GetPrivateProfileIntA(section, "Count", 0, ini));
  char key[16], number[16];
  wsprintfA(key, "%d", count);
  WritePrivateProfileStringA(section, key, value, ini);
  wsprintfA(number, "%d", count + 1);
  WritePrivateProfileStringA(section, "Count", number, ini);
}

}  // namespace

int RecordCopiedFile(const char* ini, const char* entry) {
  if (IsListed(ini, "CopiedFile", entry)) return 0;
  Append(ini, "CopiedFile", entry);
  return 1;
}

void RecordMadeDirectory(const char* ini, const char* entry) {
  char parent[MAX_PATH];
  FolderPart(parent, entry);
  DropTrailingSlash(parent);
  // The walk ends at the top of the path: a bare drive ("C:"), the root
  // ("\\") or nothing is no folder of the application's.
  int length = lstrlenA(parent);
  bool top = length == 0 || (length == 1 && parent[0] == '\\') || (length == 2 && parent[1] == ':');
  if (top || length >= lstrlenA(entry)) return;
  if (IsListed(ini, "MakedDirectory", parent)) return;
  RecordMadeDirectory(ini, parent);  // outermost folders first
  Append(ini, "MakedDirectory", parent);
}
