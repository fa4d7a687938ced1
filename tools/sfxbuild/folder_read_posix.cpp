// Folders on Linux and the like: names are bytes, taken as UTF-8 when they
// are valid UTF-8 and as code page 932 bytes otherwise.
#include <dirent.h>
#include <iconv.h>
#include <sys/stat.h>

#include <algorithm>

#include "folder_read.h"
#include "text.h"

namespace {

// The name as the stubs will read it.
bool ToCodePage932(const std::string& name, std::string* out) {
  bool ascii = std::all_of(name.begin(), name.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
  if (ascii || !text::IsUtf8(name.data(), name.size())) {
    *out = name;
    return true;
  }
  iconv_t convert = iconv_open("CP932", "UTF-8");
  if (convert == reinterpret_cast<iconv_t>(-1)) return false;
  std::string result(name.size() * 2 + 4, '\0');
  char* in = const_cast<char*>(name.data());
  size_t inLeft = name.size();
  char* to = &result[0];
  size_t outLeft = result.size();
  size_t done = iconv(convert, &in, &inLeft, &to, &outLeft);
  iconv_close(convert);
  if (done == static_cast<size_t>(-1) || inLeft != 0) return false;
  result.resize(result.size() - outLeft);
  *out = result;
  return true;
}

}  // namespace

bool ReadFolder(const NativePath& native, const std::string& shown, std::vector<FolderChild>* children) {
  DIR* dir = opendir(native.c_str());
  if (!dir) return false;
  std::vector<std::string> names;
  while (struct dirent* entry = readdir(dir)) {
    std::string name = entry->d_name;
    if (name != "." && name != "..") names.push_back(name);
  }
  closedir(dir);
  std::sort(names.begin(), names.end());
  for (const std::string& name : names) {
    FolderChild child;
    child.native = native + "/" + name;
    child.shown = shown + "/" + name;
    child.shownName = name;
    child.named = ToCodePage932(name, &child.stored);
    struct stat info;
    child.found = stat(child.native.c_str(), &info) == 0;
    child.isFolder = child.found && S_ISDIR(info.st_mode);
    child.isFile = child.found && S_ISREG(info.st_mode);
    child.size = child.isFile ? static_cast<uint64_t>(info.st_size) : 0;
    child.modified = child.found ? info.st_mtime : 0;
    child.readOnly = child.found && !(info.st_mode & S_IWUSR);
    children->push_back(child);
  }
  return true;
}

bool FindFolder(const char* path, NativePath* native) {
  struct stat info;
  if (stat(path, &info) != 0 || !S_ISDIR(info.st_mode)) return false;
  *native = path;
  return true;
}
