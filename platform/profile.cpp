#include "profile.h"

namespace platform {
namespace {

bool SameBytes(const char* a, const char* b) {
  while (*a && *a == *b) ++a, ++b;
  return *a == *b;
}

int ListCount(const char* ini, const char* section) {
  return static_cast<int>(GetPrivateProfileIntA(section, "Count", 0, ini));
}

// Reads key `i` of the list into `listed` (MAX_PATH); whether it holds `value`.
bool Holds(const char* ini, const char* section, int i, const char* value, bool ignoreCase, char* listed) {
  char key[kNumberSize];
  NumberText(key, i);
  GetPrivateProfileStringA(section, key, "", listed, MAX_PATH, ini);
  return listed[0] && (ignoreCase ? lstrcmpiA(listed, value) == 0 : SameBytes(listed, value));
}

void WriteEntry(const char* ini, const char* section, int i, const char* value) {
  char key[kNumberSize];
  NumberText(key, i);
  WritePrivateProfileStringA(section, key, value, ini);
}

}  // namespace

void NumberText(char* out, int value) { wsprintfA(out, "%d", value); }

void WriteProfileNumber(const char* ini, const char* section, const char* key, int value) {
  char number[kNumberSize];
  NumberText(number, value);
  WritePrivateProfileStringA(section, key, number, ini);
}

bool IsListed(const char* ini, const char* section, const char* value, bool ignoreCase) {
  char listed[MAX_PATH];
  for (int i = 0, count = ListCount(ini, section); i < count; ++i)
    if (Holds(ini, section, i, value, ignoreCase, listed)) return true;
  return false;
}

void AppendToList(const char* ini, const char* section, const char* value) {
  int count = ListCount(ini, section);
  WriteEntry(ini, section, count, value);
  WriteProfileNumber(ini, section, "Count", count + 1);
}

void RemoveFromList(const char* ini, const char* section, const char* value, bool ignoreCase) {
  char listed[MAX_PATH];
  int count = ListCount(ini, section), kept = 0;
  for (int i = 0; i < count; ++i) {
    if (Holds(ini, section, i, value, ignoreCase, listed)) continue;
    if (kept != i) WriteEntry(ini, section, kept, listed);
    ++kept;
  }
  if (kept == count) return;
  if (kept == 0) {
    WritePrivateProfileStringA(section, nullptr, nullptr, ini);
    return;
  }
  for (int i = kept; i < count; ++i) WriteEntry(ini, section, i, nullptr);
  WriteProfileNumber(ini, section, "Count", kept);
}

}  // namespace platform
