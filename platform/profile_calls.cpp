#include "profile_calls.h"

#include "ini/lists.h"
#include "setup/ini_names.h"

namespace platform {
namespace {

int ListCount(const char* ini, const char* section) {
  return static_cast<int>(GetPrivateProfileIntA(section, setup::ini::kCount, 0, ini));
}

}  // namespace

bool IsListed(const char* ini, const char* section, const char* value) {
  char key[profile::kNumberSize], listed[MAX_PATH];
  for (int i = 0, count = ListCount(ini, section); i < count; ++i) {
    profile::NumberText(key, i);
    GetPrivateProfileStringA(section, key, "", listed, MAX_PATH, ini);
    if (listed[0] && lstrcmpiA(listed, value) == 0) return true;
  }
  return false;
}

void AppendToList(const char* ini, const char* section, const char* value) {
  char key[profile::kNumberSize];
  int count = ListCount(ini, section);
  profile::NumberText(key, count);
  WritePrivateProfileStringA(section, key, value, ini);
  profile::NumberText(key, count + 1);
  WritePrivateProfileStringA(section, setup::ini::kCount, key, ini);
}

}  // namespace platform
