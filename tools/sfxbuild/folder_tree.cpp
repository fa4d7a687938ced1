#include "folder_tree.h"

#include <stdio.h>

#include <algorithm>
#include <chrono>

#ifdef _WIN32
#include <io.h>
#define isatty _isatty
#define fileno _fileno
#else
#include <unistd.h>
#endif

#include "entry_name.h"
#include "folder_read.h"
#include "text.h"
#include "tokens.h"

namespace {

// A '\\' that is no second byte of a double-byte character.
bool HasSeparator(const std::string& name) { return text::FindFirst(name.c_str(), '\\') != nullptr; }

// Why the stubs could not take `child` as it is; empty when they can.
std::string Refusal(const FolderChild& child) {
  if (!child.named) return "name cannot be written in code page 932: " + child.shown;
  // A backslash inside a name would read as a folder boundary on Windows.
  if (HasSeparator(child.stored)) return "name with a backslash: " + child.shown;
  std::vector<char> clean(child.stored.size() + 1);
  size_t cleanLength = 0;
  if (archive::CleanEntryName(child.stored.data(), child.stored.size(), '\\', clean.data(), &cleanLength) !=
      core::Result::kOk)
    return "name that the stubs would refuse to unpack (a device, dots only, or a character Windows forbids): " +
           child.shown;
  if (!child.found) return "cannot read " + child.shown;
  return std::string();
}

// What the stubs would never distribute: files at the top, and top-level
// folders whose name is no destination token.
void WarnAtTop(const FolderChild& child) {
  if (!child.isFolder)
    fprintf(stderr, "sfxbuild: warning: %s lies at the top of the folder: the stub unpacks it but moves it nowhere\n",
            child.shownName.c_str());
  if (child.isFolder && !tokens::IsKnownToken(child.shownName.c_str()))
    fprintf(stderr, "sfxbuild: warning: %s is no destination token: the stub leaves it in its workspace\n",
            child.shownName.c_str());
}

// An "[Application]\<name>\Setup.ini" or "...\Setup.exe", which the
// stubs refuse to move: it would replace the application's own.
void WarnIfRefused(const TreeEntry& entry) {
  const char* name = entry.name.c_str();
  const char* first = text::FindFirst(name, '\\');
  const char* second = first ? text::FindFirst(first + 1, '\\') : nullptr;
  if (!second || text::FindFirst(second + 1, '\\') ||
      !text::EqualNoCase(name, static_cast<size_t>(first - name), tokens::kApplication) ||
      !tokens::IsRefusedInApplication(second + 1))
    return;
  fprintf(stderr,
          "sfxbuild: warning: %s would replace the installed application's own; the stub leaves it in its "
          "workspace\n",
          entry.path.c_str());
}

std::string Walk(const NativePath& native, const std::string& shown, const std::string& name, bool warn,
                 std::vector<TreeEntry>* entries) {
  std::vector<FolderChild> children;
  if (!ReadFolder(native, shown, &children)) return "cannot read folder " + shown;
  for (const FolderChild& child : children) {
    std::string refusal = Refusal(child);
    if (!refusal.empty()) return refusal;
    if (!child.isFolder && !child.isFile) continue;  // devices, sockets: nothing to ship
    if (name.empty() && warn) WarnAtTop(child);
    TreeEntry entry;
    entry.name = name.empty() ? child.stored : name + "\\" + child.stored;
    entry.path = child.shown;
    entry.native = child.native;
    entry.isFolder = child.isFolder;
    entry.size = child.size;
    entry.modified = child.modified;
    entry.readOnly = child.readOnly;
    if (warn) WarnIfRefused(entry);
    entries->push_back(entry);
    // `entry` is a copy: the walk below grows the vector under its feet.
    if (entry.isFolder) {
      std::string error = Walk(child.native, child.shown, entry.name, warn, entries);
      if (!error.empty()) return error;
    }
  }
  return std::string();
}

}  // namespace

std::string ListFolder(const char* folder, std::vector<TreeEntry>* entries, bool warnAtTop) {
  NativePath native;
  if (!FindFolder(folder, &native)) return std::string("no such folder: ") + folder;
  std::string error = Walk(native, folder, std::string(), warnAtTop, entries);
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
