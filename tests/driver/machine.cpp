#include "machine.h"

#include <shlobj.h>

#include <random>

namespace driver {

std::string ReadFileBytes(const std::string& path) {
  HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                            OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return std::string();
  std::string bytes(GetFileSize(file, nullptr), '\0');
  DWORD got = 0;
  if (!bytes.empty()) ReadFile(file, &bytes[0], static_cast<DWORD>(bytes.size()), &got, nullptr);
  CloseHandle(file);
  bytes.resize(got);
  return bytes;
}

bool WriteFileBytes(const std::string& path, const std::string& bytes) {
  HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  BOOL ok = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  CloseHandle(file);
  return ok && written == bytes.size();
}

bool PutFile(const std::string& path, const std::string& bytes) {
  MakeFolders(ParentOf(path));
  return WriteFileBytes(path, bytes);
}

bool Exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

bool IsFolder(const std::string& path) {
  DWORD attributes = GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool MakeFolders(const std::string& path) {
  for (size_t at = path.find('\\', 3); at != std::string::npos; at = path.find('\\', at + 1))
    CreateDirectoryA(path.substr(0, at).c_str(), nullptr);
  CreateDirectoryA(path.c_str(), nullptr);
  return IsFolder(path);
}

void ListFoldersUpTo(const std::string& folder) {
  for (std::string at = folder; at.size() > 3; at = ParentOf(at)) Entries(at);
}

void RemoveTree(const std::string& path) {
  WIN32_FIND_DATAA entry;
  HANDLE find = FindFirstFileA((path + "\\*").c_str(), &entry);
  if (find != INVALID_HANDLE_VALUE) {
    do {
      std::string name = entry.cFileName;
      if (name == "." || name == "..") continue;
      std::string child = path + "\\" + name;
      SetFileAttributesA(child.c_str(), FILE_ATTRIBUTE_NORMAL);
      if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) RemoveTree(child);
      else DeleteFileA(child.c_str());
    } while (FindNextFileA(find, &entry));
    FindClose(find);
  }
  RemoveDirectoryA(path.c_str());
}

std::string Joined(const std::string& folder, const std::string& name) {
  return folder.empty() || folder.back() == '\\' ? folder + name : folder + "\\" + name;
}

std::string ParentOf(const std::string& path) { return path.substr(0, path.rfind('\\')); }

std::string NameOf(const std::string& path) { return path.substr(path.rfind('\\') + 1); }

namespace {

// Calls `visit` with the name and kind of each entry of `folder`.
template <typename Visit>
void ForEachEntry(const std::string& folder, Visit visit) {
  WIN32_FIND_DATAA entry;
  HANDLE find = FindFirstFileA((folder + "\\*").c_str(), &entry);
  if (find == INVALID_HANDLE_VALUE) return;
  do {
    std::string name = entry.cFileName;
    if (name != "." && name != "..") visit(name, (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0);
  } while (FindNextFileA(find, &entry));
  FindClose(find);
}

void AddTree(const std::string& folder, const std::string& prefix, std::set<std::string>* out) {
  ForEachEntry(folder, [&](const std::string& name, bool isFolder) {
    if (!isFolder) {
      out->insert(prefix + name);
      return;
    }
    out->insert(prefix + name + "\\");
    AddTree(folder + "\\" + name, prefix + name + "\\", out);
  });
}

}  // namespace

std::set<std::string> Entries(const std::string& folder) {
  std::set<std::string> names;
  ForEachEntry(folder, [&](const std::string& name, bool) { names.insert(name); });
  return names;
}

std::set<std::string> Tree(const std::string& folder) {
  std::set<std::string> paths;
  AddTree(folder, "", &paths);
  return paths;
}

bool WaitForLine(const std::string& path, DWORD timeoutMs) {
  for (DWORD waited = 0; waited < timeoutMs; waited += 50, Sleep(50))
    if (ReadFileBytes(path).find('\n') != std::string::npos) return true;
  return false;
}

bool WaitUntilGone(const std::string& path, DWORD timeoutMs) {
  for (DWORD waited = 0; waited < timeoutMs; waited += 100, Sleep(100))
    if (!Exists(path)) return true;
  return false;
}

std::string RandomBytes(size_t size, unsigned seed) {
  std::mt19937 random(seed);
  std::string bytes(size, '\0');
  for (char& c : bytes) c = static_cast<char>(random());
  return bytes;
}

std::string ProgramFolder() {
  char path[MAX_PATH];
  DWORD length = GetModuleFileNameA(nullptr, path, sizeof path);
  return ParentOf(std::string(path, length));
}

std::string FixturePath(const std::string& name) { return ProgramFolder() + "\\fixtures\\" + name; }

bool CopyFromProgramFolder(const std::string& name, const std::string& folder) {
  return CopyFileA((ProgramFolder() + "\\" + name).c_str(), Joined(folder, name).c_str(), FALSE) != FALSE;
}

std::string FolderMarkerBatch(const std::string& marker) { return "@echo off\r\ncd> \"" + marker + "\"\r\n"; }

std::string MarkedFolder(const std::string& marker) {
  std::string text = ReadFileBytes(marker);
  return text.substr(0, text.find_first_of("\r\n"));
}

std::string WindowsFolder() {
  char path[MAX_PATH] = "";
  GetWindowsDirectoryA(path, sizeof path);
  return path;
}

std::string SystemFolder() {
  char path[MAX_PATH] = "";
  GetSystemDirectoryA(path, sizeof path);
  return path;
}

std::string ShellFolder(int csidl) {
  char path[MAX_PATH] = "";
  SHGetSpecialFolderPathA(nullptr, path, csidl, TRUE);
  return path;
}

std::string ProgramFilesFolder() {
  char path[MAX_PATH] = "";
  DWORD size = sizeof path;
  RegGetValueA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion", "ProgramFilesDir", RRF_RT_REG_SZ,
               nullptr, path, &size);
  return path;
}

std::vector<TokenFolder> TokenFolders(const std::string& temporary) {
  return {
      {"[System]", SystemFolder()},
      {"[Windows]", WindowsFolder()},
      {"[Desktop]", ShellFolder(CSIDL_DESKTOPDIRECTORY)},
      {"[Programs]", ProgramFilesFolder()},
      {"[ProgramMenu]", ShellFolder(CSIDL_PROGRAMS)},
      {"[Menu]", ShellFolder(CSIDL_STARTMENU)},
      {"[Startup]", ShellFolder(CSIDL_STARTUP)},
      {"[sendto]", ShellFolder(CSIDL_SENDTO)},  // tokens ignore case
      {"[Recent]", ShellFolder(CSIDL_RECENT)},
      {"[Temporary]", temporary},
  };
}

std::string ProfileString(const std::string& ini, const char* section, const char* key) {
  char value[MAX_PATH];
  GetPrivateProfileStringA(section, key, "", value, sizeof value, ini.c_str());
  return value;
}

std::vector<std::string> ProfileList(const std::string& ini, const char* section) {
  std::vector<std::string> values;
  int count = GetPrivateProfileIntA(section, "Count", 0, ini.c_str());
  for (int i = 0; i < count; ++i) values.push_back(ProfileString(ini, section, std::to_string(i).c_str()));
  return values;
}

std::string MakeInstalledApplication(const std::string& folder) {
  PutFile(folder + "\\Setup.exe", "MZ");
  std::string ini = folder + "\\Setup.ini";
  WritePrivateProfileStringA("Root", "Named", "Demo", ini.c_str());
  WritePrivateProfileStringA("MakedDirectory", "Count", "1", ini.c_str());
  WritePrivateProfileStringA("MakedDirectory", "0", folder.c_str(), ini.c_str());
  return ini;
}

const char kUninstallKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall";

std::string UninstallKey(const std::string& application) { return std::string(kUninstallKey) + "\\" + application; }

bool KeyExists(HKEY root, const std::string& key) {
  HKEY opened;
  if (RegOpenKeyExA(root, key.c_str(), 0, KEY_READ, &opened) != ERROR_SUCCESS) return false;
  RegCloseKey(opened);
  return true;
}

bool SetKeyString(HKEY root, const std::string& key, const char* name, const std::string& value) {
  HKEY opened;
  if (RegCreateKeyExA(root, key.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &opened, nullptr) != ERROR_SUCCESS)
    return false;
  LONG result = RegSetValueExA(opened, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                               static_cast<DWORD>(value.size() + 1));
  RegCloseKey(opened);
  return result == ERROR_SUCCESS;
}

void DeleteKeyTree(HKEY root, const std::string& key) {
  HKEY opened;
  if (RegOpenKeyExA(root, key.c_str(), 0, KEY_ALL_ACCESS, &opened) != ERROR_SUCCESS) return;
  // Deleting while enumerating shifts the indexes: always take the first.
  char name[256];
  DWORD length = sizeof name;
  while (RegEnumKeyExA(opened, 0, name, &length, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS) {
    DeleteKeyTree(opened, name);
    if (KeyExists(opened, name)) break;  // one that cannot go would come first forever
    length = sizeof name;
  }
  RegCloseKey(opened);
  RegDeleteKeyA(root, key.c_str());
}

}  // namespace driver
