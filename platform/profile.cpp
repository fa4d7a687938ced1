#include "profile.h"

namespace platform {
namespace {

bool SameBytes(const char* a, const char* b) {
  while (*a && *a == *b) ++a, ++b;
  return *a == *b;
}

}  // namespace

void NumberText(char* out, int value) { wsprintfA(out, "%d", value); }

void WriteProfileNumber(const char* ini, const char* section, const char* key, int value) {
  char number[kNumberSize];
  NumberText(number, value);
  WritePrivateProfileStringA(section, key, number, ini);
}

bool IsListed(const char* ini, const char* section, const char* value, bool ignoreCase) {
  int count = static_cast<int>(GetPrivateProfileIntA(section, "Count", 0, ini));
  for (int i = 0; i < count; ++i) {
    char key[kNumberSize], listed[MAX_PATH];
    NumberText(key, i);
    GetPrivateProfileStringA(section, key, "", listed, sizeof listed, ini);
    if (listed[0] && (ignoreCase ? lstrcmpiA(listed, value) == 0 : SameBytes(listed, value))) return true;
  }
  return false;
}

void AppendToList(const char* ini, const char* section, const char* value) {
  int count = static_cast<int>(GetPrivateProfileIntA(section, "Count", 0, ini));
  char key[kNumberSize];
  NumberText(key, count);
  WritePrivateProfileStringA(section, key, value, ini);
  WriteProfileNumber(ini, section, "Count", count + 1);
}

}  // namespace platform
