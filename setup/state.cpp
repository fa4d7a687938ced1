// The process-wide state, and the running Setup.ini that every part of
// setup reads and writes.
#include "setup.h"

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

void FlushSettings() { WritePrivateProfileStringA(nullptr, nullptr, nullptr, g_setup.ini); }
