// The process-wide state, and the running Setup.ini that every part of
// setup reads and writes.
#include "setup.h"

#include "paths.h"
#include "profile.h"

Setup g_setup;

void ReadSetting(const char* section, const char* key, char* out, const char* fallback) {
  GetPrivateProfileStringA(section, key, fallback, out, MAX_PATH, g_setup.ini);
}

int ReadNumber(const char* section, const char* key, int fallback) {
  return static_cast<int>(GetPrivateProfileIntA(section, key, fallback, g_setup.ini));
}

void WriteSetting(const char* section, const char* key, const char* value) {
  WritePrivateProfileStringA(section, key, value, g_setup.ini);
}

void ReadSetting(const char* section, int k, char* out) {
  char key[platform::kNumberSize];
  platform::NumberText(key, k);
  ReadSetting(section, key, out);
}

void WriteSetting(const char* section, int k, const char* value) {
  char key[platform::kNumberSize];
  platform::NumberText(key, k);
  WriteSetting(section, key, value);
}

void FlushSettings() { WritePrivateProfileStringA(nullptr, nullptr, nullptr, g_setup.ini); }

bool IsInstallationRecord(const char* ini, const char* folder) {
  char named[MAX_PATH];
  if (GetPrivateProfileIntA("CopiedFile", "Count", 0, ini) == 0) return false;
  GetPrivateProfileStringA("Root", "Named", "", named, sizeof named, ini);
  return named[0] && platform::SamePath(named, folder);
}

void OwnFolder(char* folder) { platform::FolderPart(folder, g_setup.ini); }
