#include "folder_tree.h"

#include <dirent.h>
#include <stdio.h>
#include <strings.h>
#include <sys/stat.h>

#include <algorithm>
#include <chrono>

#ifdef _WIN32
#include <io.h>
#include <windows.h>
#define isatty _isatty
#define fileno _fileno
#else
#include <iconv.h>
#include <unistd.h>
#endif

#include "entry_name.h"
#include "text.h"
#include "tokens.h"

namespace {

// A '\\' that is no second byte of a double-byte character.
bool HasSeparator(const std::string& name) { return text::FindFirst(name.c_str(), '\\') != nullptr; }

#ifndef _WIN32
bool IsUtf8(const std::string& text) {
  size_t i = 0;
  while (i < text.size()) {
    unsigned char c = static_cast<unsigned char>(text[i]);
    size_t more = c < 0x80 ? 0 : (c >> 5) == 6 ? 1 : (c >> 4) == 14 ? 2 : (c >> 3) == 30 ? 3 : 9;
    if (more == 9 || i + more >= text.size()) return false;
    for (size_t k = 1; k <= more; ++k)
      if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80) return false;
    i += more + 1;
  }
  return true;
}

#endif

// The name as the stubs will read it. On Windows the ANSI functions already
// give code page 932 on a Japanese system. Elsewhere names are taken as
// UTF-8 when they are valid UTF-8, and as code page 932 bytes otherwise.
bool ToCodePage932(const std::string& name, std::string* out) {
  bool ascii = std::all_of(name.begin(), name.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
#ifdef _WIN32
  (void)ascii;
  *out = name;
  return true;
#else
  if (ascii || !IsUtf8(name)) {
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
#endif
}

std::string Walk(const std::string& path, const std::string& name, std::vector<TreeEntry>* entries) {
  DIR* dir = opendir(path.c_str());
  if (!dir) return "cannot read folder " + path;
  std::vector<std::string> children;
  while (struct dirent* entry = readdir(dir)) {
    std::string child = entry->d_name;
    if (child != "." && child != "..") children.push_back(child);
  }
  closedir(dir);
  std::sort(children.begin(), children.end());
  for (const std::string& child : children) {
    std::string childPath = path + "/" + child;
    std::string stored;
    if (!ToCodePage932(child, &stored)) return "name cannot be written in code page 932: " + childPath;
    // A backslash inside a name would read as a folder boundary on Windows.
    if (HasSeparator(stored)) return "name with a backslash: " + childPath;
    std::vector<char> clean(stored.size() + 1);
    size_t cleanLength = 0;
    if (archive::CleanEntryName(stored.data(), stored.size(), '\\', clean.data(), &cleanLength) != core::Result::kOk)
      return "name that the stubs would refuse to unpack (a device, dots only, or a character Windows forbids): " +
             childPath;
    struct stat info;
    if (stat(childPath.c_str(), &info) != 0) return "cannot read " + childPath;
    TreeEntry entry;
    entry.name = name.empty() ? stored : name + "\\" + stored;
    entry.path = childPath;
    entry.isFolder = S_ISDIR(info.st_mode);
    entry.size = entry.isFolder ? 0 : static_cast<uint64_t>(info.st_size);
    entry.modified = info.st_mtime;
    entry.readOnly = !(info.st_mode & S_IWUSR);
    if (!entry.isFolder && !S_ISREG(info.st_mode)) continue;  // devices, sockets: nothing to ship
    if (name.empty() && !entry.isFolder)
      fprintf(stderr, "sfxbuild: warning: %s lies at the top of the folder: the stub unpacks it but moves it nowhere\n",
              child.c_str());
    if (name.empty() && entry.isFolder && !tokens::IsKnownToken(child.c_str()))
      fprintf(stderr, "sfxbuild: warning: %s is no destination token: the stub leaves it in its workspace\n",
              child.c_str());
    entries->push_back(entry);
    // `entry` is a copy: the walk below grows the vector under its feet.
    if (entry.isFolder) {
      std::string error = Walk(childPath, entry.name, entries);
      if (!error.empty()) return error;
    }
  }
  return std::string();
}

}  // namespace

std::string ListFolder(const char* folder, std::vector<TreeEntry>* entries) {
  struct stat info;
  if (stat(folder, &info) != 0 || !S_ISDIR(info.st_mode)) return std::string("no such folder: ") + folder;
  std::string error = Walk(folder, std::string(), entries);
  if (error.empty() && std::none_of(entries->begin(), entries->end(), [](const TreeEntry& e) { return !e.isFolder; }))
    return std::string("no files below ") + folder;
  return error;
}

void CheckFinalCommand(const char* command) {
  if (!command[0]) return;
  std::string text = command;
  if (text[0] == '[') {
    std::string token = text.substr(0, text.find('\\'));
    if (tokens::IsKnownToken(token.c_str()) && !text::EqualNoCase(token.c_str(), tokens::kShell)) return;
  } else if ((text.size() > 2 && text[1] == ':' && (text[2] == '\\' || text[2] == '/')) || text.rfind("\\\\", 0) == 0) {
    return;
  }
  fprintf(stderr,
          "sfxbuild: warning: final command \"%s\" names no destination token and is no full path: "
          "the stub would open nothing\n",
          command);
}

namespace {

double Now() {
  return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

}  // namespace

Progress::Progress(uint64_t totalBytes)
    : total_(totalBytes), start_(Now()), terminal_(isatty(fileno(stderr)) != 0) {}

Progress::~Progress() {
  if (shown_) fputc('\n', stderr);
}

void Progress::Add(uint64_t bytes) {
  done_ += bytes;
  if (!terminal_ || Now() - start_ < 1.0) return;
  fprintf(stderr, "\rsfxbuild: packed %llu of %llu MB (%d%%)", static_cast<unsigned long long>(done_ >> 20),
          static_cast<unsigned long long>(total_ >> 20), total_ ? static_cast<int>(done_ * 100 / total_) : 100);
  shown_ = true;
}
