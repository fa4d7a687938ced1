// sfxbuild check [--strict] FOLDER | Setup.ini: warns about what setup
// would do otherwise than a description's author meant. A FOLDER is one
// about to be packed: its [shell]\Setup.ini is checked, with the files of
// the folder for the rules that name files. A Setup.ini is checked alone,
// or with the folder it belongs to when it lies in a folder named [shell].
// pack --from runs the same check.
#include <errno.h>
#include <limits.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <set>
#include <string>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#endif

#include "commands.h"
#include "folder_read.h"
#include "folder_tree.h"
#include "setup/ini_check.h"
#include "text.h"
#include "tokens.h"

namespace {

// A description larger than this is no description: Windows reads only a
// small part of it.
constexpr size_t kMaxIniSize = 16u << 20;

// Findings beyond this many are only counted: a binary file checked by
// mistake would otherwise flood the terminal.
constexpr size_t kMaxShown = 200;

// ASCII letters in one case, double-byte characters left as they are: the
// names of an archive match as Windows matches them.
std::string Folded(const std::string& name) {
  std::string folded;
  for (const char* p = name.c_str(); *p;) {
    const char* next = text::Next(p);
    folded.append(p, next);
    if (next == p + 1) folded.back() = text::AsciiUpper(*p);
    p = next;
  }
  return folded;
}

// The files of an archive's tree, looked up from its [shell] folder.
class ShellFiles {
 public:
  explicit ShellFiles(const std::vector<TreeEntry>& tree) {
    for (const TreeEntry& entry : tree)
      if (!entry.isFolder) files_.insert(Folded(entry.name));
  }

  setup::ShellFolder folder() { return setup::ShellFolder{this, Holds}; }

 private:
  static bool Holds(void* context, const char* path) {
    const ShellFiles* self = static_cast<const ShellFiles*>(context);
    std::vector<std::string> parts = {tokens::kShell};
    std::string part;
    for (const char* p = path;; p = text::Next(p)) {
      if (*p && *p != '\\' && *p != '/') {
        part.append(p, static_cast<size_t>(text::Next(p) - p));
        continue;
      }
      if (part == "..") {
        if (parts.empty()) return false;  // above the archive
        parts.pop_back();
      } else if (!part.empty() && part != ".") {
        parts.push_back(part);
      }
      part.clear();
      if (!*p) break;
    }
    std::string name;
    for (const std::string& p : parts) name += (name.empty() ? "" : "\\") + p;
    return self->files_.count(Folded(name)) != 0;
  }

  std::set<std::string> files_;
};

// The whole of a file, or an error message.
std::string ReadAll(FILE* file, const std::string& shown, std::string* bytes) {
  if (!file) return "cannot read " + shown + ": " + strerror(errno);
  char buffer[kChunk];
  size_t got;
  while ((got = fread(buffer, 1, sizeof buffer, file)) != 0) {
    bytes->append(buffer, got);
    if (bytes->size() > kMaxIniSize) return shown + " is larger than 16 MiB: no Setup.ini";
  }
  return ferror(file) ? "cannot read " + shown : std::string();
}

// Prints the findings on stderr; returns how many there are.
size_t Report(const std::string& shown, const std::vector<setup::Finding>& findings) {
  size_t shownCount = 0;
  for (const setup::Finding& f : findings) {
    if (shownCount++ == kMaxShown) break;
    std::string place = f.line ? shown + ":" + std::to_string(f.line) : shown;
    fprintf(stderr, "%s: %s: %s%s%s\n", place.c_str(), f.systemWide ? "warning (system-wide)" : "warning",
            f.where.c_str(), f.where.empty() ? "" : ": ", f.message.c_str());
  }
  if (findings.size() > kMaxShown)
    fprintf(stderr, "%s: %zu more warnings not shown\n", shown.c_str(), findings.size() - kMaxShown);
  return findings.size();
}

// Checks and reports; 0, or 1 when the file cannot be read or --strict
// fails it.
int CheckAndReport(FILE* file, const std::string& shown, const std::vector<TreeEntry>* tree, bool strict,
                   size_t* count) {
  std::string bytes;
  std::string error = ReadAll(file, shown, &bytes);
  if (!error.empty()) return Fail("%s", error.c_str());
  std::vector<setup::Finding> findings;
  if (tree) {
    ShellFiles files(*tree);
    setup::ShellFolder folder = files.folder();
    findings = setup::CheckSetupIni(bytes.data(), bytes.size(), &folder);
  } else {
    findings = setup::CheckSetupIni(bytes.data(), bytes.size(), nullptr);
  }
  *count = Report(shown, findings);
  if (strict && *count) return Fail("%s: %s (--strict)", shown.c_str(), Warnings(*count).c_str());
  return 0;
}

// CheckAndReport on the Setup.ini found in `tree`, with the tree's files
// for the rules that name files.
int CheckTreeIni(const TreeEntry& ini, const std::vector<TreeEntry>& tree, bool strict, size_t* count) {
  FILE* file = OpenForReading(ini.native);
  int failed = CheckAndReport(file, ini.path, &tree, strict, count);
  if (file) fclose(file);
  return failed;
}

// [shell]\Setup.ini of an archive's tree; null when there is none.
const TreeEntry* FindSetupIni(const std::vector<TreeEntry>& tree) {
  std::string wanted = Folded(std::string(tokens::kShell) + "\\Setup.ini");
  for (const TreeEntry& entry : tree)
    if (!entry.isFolder && Folded(entry.name) == wanted) return &entry;
  return nullptr;
}

// The folder above `path` and that folder's own name, both from the full
// path; false when the path cannot be made full.
bool FolderOf(const char* path, std::string* folder, std::string* name) {
#ifdef _WIN32
  char full[MAX_PATH * 4];
  if (!_fullpath(full, path, sizeof full)) return false;
  auto isSeparator = [](const char* p) { return *p == '\\' || *p == '/'; };
  auto next = [](const char* p) { return IsDBCSLeadByte(static_cast<BYTE>(*p)) && p[1] ? p + 2 : p + 1; };
#else
  char full[PATH_MAX];
  if (!realpath(path, full)) return false;
  auto isSeparator = [](const char* p) { return *p == '/'; };
  auto next = [](const char* p) { return p + 1; };
#endif
  const char* last = nullptr;
  const char* beforeLast = nullptr;
  for (const char* p = full; *p; p = next(p))
    if (isSeparator(p)) beforeLast = last, last = p;
  if (!last) return false;
  *folder = std::string(full, static_cast<size_t>(last - full));
  *name = beforeLast ? std::string(beforeLast + 1, last) : std::string();
  return true;
}

int CheckFolder(const char* path, bool strict) {
  std::vector<TreeEntry> tree;
  std::string error = ListFolder(path, &tree);
  if (!error.empty()) return Fail("%s", error.c_str());
  const TreeEntry* ini = FindSetupIni(tree);
  if (!ini) {
    printf("%s: no %s\\Setup.ini, nothing to check\n", path, tokens::kShell);
    return 0;
  }
  size_t count = 0;
  int failed = CheckTreeIni(*ini, tree, strict, &count);
  if (!failed) printf("%s: %s\n", ini->path.c_str(), Warnings(count).c_str());
  return failed;
}

int CheckFile(const char* path, bool strict) {
  File file(path, "rb");
  std::string folder, name;
  std::vector<TreeEntry> tree;
  bool inShell = file.get() && FolderOf(path, &folder, &name) && text::EqualNoCase(name.c_str(), tokens::kShell);
  if (inShell) {
    // The archive's top: the folder above [shell], a drive's or the
    // system's root with its separator.
    std::string top = folder.substr(0, folder.size() - name.size());
    if (top.size() > 1 && top[top.size() - 2] != ':') top.pop_back();
    std::string error = ListFolder(top.c_str(), &tree, false);
    if (!error.empty()) return Fail("%s", error.c_str());
  }
  size_t count = 0;
  int failed = CheckAndReport(file.get(), path, inShell ? &tree : nullptr, strict, &count);
  if (!failed) printf("%s: %s\n", path, Warnings(count).c_str());
  return failed;
}

}  // namespace

std::string Warnings(size_t count) {
  if (count == 0) return "no warnings";
  return std::to_string(count) + (count == 1 ? " warning" : " warnings");
}

int CheckPackedSetup(const std::vector<TreeEntry>& tree, bool strict) {
  const TreeEntry* ini = FindSetupIni(tree);
  if (!ini) return 0;
  size_t count = 0;
  return CheckTreeIni(*ini, tree, strict, &count);
}

int CheckCommand(int argc, char** argv) {
  bool strict = argc >= 1 && strcmp(argv[0], "--strict") == 0;
  if (strict) --argc, ++argv;
  if (argc != 1 || argv[0][0] == '-') return Usage();
  NativePath native;
  return FindFolder(argv[0], &native) ? CheckFolder(argv[0], strict) : CheckFile(argv[0], strict);
}
