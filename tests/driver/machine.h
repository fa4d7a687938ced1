// What a test sets up and reads back on the machine under Wine: files and
// folders, this machine's own folders, Setup.ini lists and registry keys,
// through the same Win32 calls the kit makes.
#ifndef SFX_TESTS_MACHINE_H
#define SFX_TESTS_MACHINE_H

#include <windows.h>

#include <set>
#include <string>
#include <vector>

namespace driver {

// --- files and folders ---
std::string ReadFileBytes(const std::string& path);
bool WriteFileBytes(const std::string& path, const std::string& bytes);
// Writes `bytes` to `path` and makes the folders it lies in first.
bool PutFile(const std::string& path, const std::string& bytes);
bool Exists(const std::string& path);
bool IsFolder(const std::string& path);
// Makes every missing folder of `path`.
bool MakeFolders(const std::string& path);
// Lists `folder` and every folder above it, for a "Browse for Folder"
// dialog that is to find it. Wine's folder items carry a last access time,
// and on a relatime mount the first listing after a change moves it: the
// dialog's own listing of a folder changed since it was last listed can
// leave its item unequal to the one it parsed from the path, and it then
// selects nothing.
void ListFoldersUpTo(const std::string& folder);
// Deletes a folder with everything below it.
void RemoveTree(const std::string& path);
// `name` below `folder`, with one backslash between them.
std::string Joined(const std::string& folder, const std::string& name);
// The folder that `path` lies in.
std::string ParentOf(const std::string& path);
// The last part of `path`.
std::string NameOf(const std::string& path);
// The names in `folder`, without "." and "..".
std::set<std::string> Entries(const std::string& folder);
// Every path below `folder`, relative to it; folders end in '\\'.
std::set<std::string> Tree(const std::string& folder);
// Waits until `path` exists and holds a complete line; false on time-out.
bool WaitForLine(const std::string& path, DWORD timeoutMs = 20000);
// Waits until `path` is gone; false on time-out.
bool WaitUntilGone(const std::string& path, DWORD timeoutMs);
// `size` bytes from a fixed seed.
std::string RandomBytes(size_t size, unsigned seed);

// --- what the build put beside the test programs ---
// Folder of this test program, where the kit's programs are built too.
std::string ProgramFolder();
// A file of the fixtures the build made in bin\fixtures.
std::string FixturePath(const std::string& name);
// Copies the file `name` from beside this program into `folder`.
bool CopyFromProgramFolder(const std::string& name, const std::string& folder);

// --- batch files that tell where they ran ---
// The text of a batch file that writes the folder it runs in to `marker`.
std::string FolderMarkerBatch(const std::string& marker);
// The folder that such a marker holds; empty while there is none.
std::string MarkedFolder(const std::string& marker);

// --- this machine's folders ---
std::string WindowsFolder();
std::string SystemFolder();
std::string ShellFolder(int csidl);
std::string ProgramFilesFolder();
// A destination token and the folder of this machine it names.
struct TokenFolder {
  const char* token;
  std::string folder;
};
// Every token that names a fixed folder, `temporary` being what TMP names.
std::vector<TokenFolder> TokenFolders(const std::string& temporary);

// --- Setup.ini ---
std::string ProfileString(const std::string& ini, const char* section, const char* key);
// A counted list: "Count" and the values "0", "1", ...
std::vector<std::string> ProfileList(const std::string& ini, const char* section);

// An application's folder as setup leaves it: its Setup.exe, and a
// Setup.ini that names it and records the folder as made. Returns the
// Setup.ini's path.
std::string MakeInstalledApplication(const std::string& folder);

// --- registry ---
// The key below HKEY_LOCAL_MACHINE that holds one key per installed application.
extern const char kUninstallKey[];
std::string UninstallKey(const std::string& application);
bool KeyExists(HKEY root, const std::string& key);
// Writes a string value, making the key when it is missing.
bool SetKeyString(HKEY root, const std::string& key, const char* name, const std::string& value);
// Deletes a key with all its subkeys.
void DeleteKeyTree(HKEY root, const std::string& key);

}  // namespace driver

#endif  // SFX_TESTS_MACHINE_H
