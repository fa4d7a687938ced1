// The process-wide state, and the running Setup.ini that every part of
// setup reads and writes: read once into memory, written back whole.
#include "setup.h"

#include "ini/lists.h"
#include "ini_file.h"
#include "paths.h"

Setup g_setup;

profile::Document& Settings() { return *g_setup.settings; }

void ReadSetting(const char* section, const char* key, char* out, const char* fallback) {
  Settings().Read(section, key, out, MAX_PATH, fallback);
}

int ReadNumber(const char* section, const char* key, int fallback) {
  return Settings().Number(section, key, fallback);
}

void WriteSetting(const char* section, const char* key, const char* value) {
  Settings().Write(section, key, value);
}

void ReadSetting(const char* section, int k, char* out) {
  char key[profile::kNumberSize];
  profile::NumberText(key, k);
  ReadSetting(section, key, out);
}

bool LoadSettings() { return platform::LoadIniFile(g_setup.ini, g_setup.settings); }

bool SaveSettings() {
  if (!platform::SaveIniFile(g_setup.ini, Settings())) return false;
  Settings().MarkUnchanged();
  return true;
}

bool FlushSettings() { return !Settings().changed() || SaveSettings(); }

void ReadIniFile(const char* iniPath, const char* section, const char* key, char* out) {
  profile::Document other(platform::ResizeOnHeap);
  out[0] = '\0';
  if (platform::LoadIniFile(iniPath, &other)) other.Read(section, key, out, MAX_PATH);
}

bool IsInstallationRecord(const char* iniPath, const char* folder) {
  profile::Document record(platform::ResizeOnHeap);
  if (!platform::LoadIniFile(iniPath, &record)) return false;
  return IsInstallationRecord(record, folder);
}

bool IsInstallationRecord(const profile::Document& description, const char* folder) {
  char named[MAX_PATH];
  if (description.Number(ini::kCopiedFile, ini::kCount, 0) == 0) return false;
  description.Read(ini::kRoot, ini::kNamed, named, sizeof named);
  return named[0] && platform::SamePath(named, folder);
}

void OwnFolder(char* folder) { platform::FolderPart(folder, g_setup.ini); }
