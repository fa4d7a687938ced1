// Folders on Windows: names come through the wide calls and are turned
// into code page 932 here, whatever the system's ANSI code page is. The
// ANSI calls would give them in that code page, with '?' for what it
// lacks, and open files by names the stubs would then read differently.
#include <windows.h>

#include <algorithm>

#include "folder_read.h"

namespace {

constexpr UINT kStubCodePage = 932;

// `wide` in code page `codePage`; `lossy` set when a character had no form
// there and was replaced.
std::string Narrow(const NativePath& wide, UINT codePage, DWORD flags, bool* lossy) {
  *lossy = false;
  if (wide.empty()) return std::string();
  int length = static_cast<int>(wide.size());
  BOOL replaced = FALSE;
  int size = WideCharToMultiByte(codePage, flags, wide.data(), length, nullptr, 0, nullptr, &replaced);
  std::string narrow(size > 0 ? static_cast<size_t>(size) : 0, '\0');
  if (size <= 0 ||
      WideCharToMultiByte(codePage, flags, wide.data(), length, &narrow[0], size, nullptr, &replaced) != size) {
    *lossy = true;
    return std::string();
  }
  *lossy = replaced != FALSE;
  return narrow;
}

NativePath Widen(const std::string& narrow, UINT codePage) {
  if (narrow.empty()) return NativePath();
  int length = static_cast<int>(narrow.size());
  int size = MultiByteToWideChar(codePage, 0, narrow.data(), length, nullptr, 0);
  NativePath wide(size > 0 ? static_cast<size_t>(size) : 0, L'\0');
  if (size <= 0 || MultiByteToWideChar(codePage, 0, narrow.data(), length, &wide[0], size) != size)
    return NativePath();
  return wide;
}

// The name as the stubs will read it. No best-fit forms (an accented
// letter would quietly lose its accent), and the name must come back
// unchanged from code page 932: one that does not has no form there.
bool ToCodePage932(const NativePath& name, std::string* out) {
  bool lossy;
  *out = Narrow(name, kStubCodePage, WC_NO_BEST_FIT_CHARS, &lossy);
  return !lossy && Widen(*out, kStubCodePage) == name;
}

// For messages: the console shows the ANSI code page.
std::string Shown(const NativePath& name) {
  bool lossy;
  return Narrow(name, CP_ACP, 0, &lossy);
}

time_t UnixTime(const FILETIME& time) {
  const uint64_t kEpoch = 116444736000000000ull;  // 1970-01-01 in 100 ns steps since 1601
  uint64_t ticks = static_cast<uint64_t>(time.dwHighDateTime) << 32 | time.dwLowDateTime;
  return ticks < kEpoch ? 0 : static_cast<time_t>((ticks - kEpoch) / 10000000);
}

FolderChild Child(const NativePath& folder, const std::string& shown, const WIN32_FIND_DATAW& data) {
  FolderChild child;
  NativePath name = data.cFileName;
  child.native = folder + L"/" + name;
  child.shownName = Shown(name);
  child.shown = shown + "/" + child.shownName;
  child.named = ToCodePage932(name, &child.stored);
  child.found = true;
  child.isFolder = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
  child.isFile = !child.isFolder && !(data.dwFileAttributes & FILE_ATTRIBUTE_DEVICE);
  child.size = child.isFile ? static_cast<uint64_t>(data.nFileSizeHigh) << 32 | data.nFileSizeLow : 0;
  child.modified = UnixTime(data.ftLastWriteTime);
  child.readOnly = (data.dwFileAttributes & FILE_ATTRIBUTE_READONLY) != 0;
  return child;
}

}  // namespace

bool ReadFolder(const NativePath& native, const std::string& shown, std::vector<FolderChild>* children) {
  WIN32_FIND_DATAW data;
  HANDLE find = FindFirstFileW((native + L"/*").c_str(), &data);
  // A drive's root lists no "." and "..": when empty, it lists nothing.
  if (find == INVALID_HANDLE_VALUE) return GetLastError() == ERROR_FILE_NOT_FOUND;
  size_t first = children->size();
  do {
    NativePath name = data.cFileName;
    if (name != L"." && name != L"..") children->push_back(Child(native, shown, data));
  } while (FindNextFileW(find, &data));
  bool complete = GetLastError() == ERROR_NO_MORE_FILES;
  FindClose(find);
  // By the names the stubs read: the order the ANSI listing gave on a
  // Japanese system.
  std::stable_sort(children->begin() + static_cast<long>(first), children->end(),
                   [](const FolderChild& a, const FolderChild& b) { return a.stored < b.stored; });
  return complete;
}

bool FindFolder(const char* path, NativePath* native) {
  *native = Widen(path, CP_ACP);
  DWORD attributes = native->empty() ? INVALID_FILE_ATTRIBUTES : GetFileAttributesW(native->c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}
