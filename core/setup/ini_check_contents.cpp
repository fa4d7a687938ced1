// The checks of what the values mean: files copied from [shell], registry
// lines, associations, delete patterns, the files the read-me viewer and
// the backdrop open, records of an earlier install, folder names.
#include "draw/paint.h"
#include "draw/readme_pages.h"
#include "ini/grammar.h"
#include "setup/copy_entry.h"
#include "setup/ini_checker.h"
#include "setup/install_folder.h"
#include "setup/path_rules.h"
#include "setup/registry_line.h"
#include "setup/resolve_path.h"
#include "setup/shared_places.h"
#include "text.h"

namespace setup {
namespace {

// Whether setup, started from [shell] before any installation folder is
// recorded, looks for `path` there: a relative path with no folder macro.
bool SoughtInShell(const char* path) {
  if (!path[0] || path[0] == '\\' || path[0] == '/' || path[1] == ':') return false;
  return SplitPathMacro(path).rest == 0;
}

// The start menu's own folders, as Windows names them in English and in
// Japanese.
bool IsSharedMenuFolder(const std::string& name) {
  for (const char* shared : {"Accessories", "StartUp", "Administrative Tools", "Games", "System Tools",
                             "\x83\x41\x83\x4e\x83\x5a\x83\x54\x83\x8a",  // アクセサリ
                             "\x83\x58\x83\x5e\x81\x5b\x83\x67\x83\x41\x83\x62\x83\x76"})  // スタートアップ
    if (text::EqualNoCase(name.c_str(), shared)) return true;
  return false;
}

}  // namespace

// --- what the lists hold ---

void IniChecker::CheckCopyEntries() {
  for (const Entry* entry : ReadList(ini::kCopyFile, "", 0)) {
    std::string where = Where(ini::kCopyFile, *entry);
    CopyMarks marks = ReadCopyMarks(entry->value.c_str());
    std::string path = entry->value.substr(marks.path);
    if (path.empty()) {
      Warn(entry->line, where, "the entry holds marks but no path");
    } else if (path[0] == '&' || path[0] == '?' || path[0] == '*' || path[0] == '+') {
      Warn(entry->line, where,
           std::string("'") + path[0] +
               "' is no mark here (the marks come in the order ! & ? * +, each once): the path is " + path);
    } else if (!ResolvesBelowItsPlace(path.c_str())) {
      Warn(entry->line, where,
           path + (path[0] == '!' ? " is no full path" : " climbs above the installation folder") +
               ": setup refuses the destination, so the copy fails");
    } else if (shell_ && !InShell(path)) {
      Warn(entry->line, where, path + " is not in [shell]: setup copies it from there, so the copy fails");
    }
  }
}

void IniChecker::CheckRegistryLines() {
  for (const char* list : {ini::kMake, ini::kErase}) {
    bool make = list == ini::kMake;
    for (const Entry* entry : ReadList(ini::kReg, list, 0)) {
      std::string where = Where(ini::kReg, *entry);
      const char* line = entry->value.c_str();
      const char* separator = text::FindFirst(line, '\\');
      if (!separator) {
        Warn(entry->line, where, "the line has no backslash; setup skips it");
        continue;
      }
      size_t rootLength = static_cast<size_t>(separator - line);
      if (!IsRootKeyName(line, rootLength))
        Warn(entry->line, where,
             entry->value.substr(0, rootLength) + " is no root key name; setup takes it for HKEY_LOCAL_MACHINE");
      if (make) continue;
      EraseLine erase;
      EraseVerdict verdict = SplitEraseLine(line, &erase);
      if (verdict == EraseVerdict::kEmptySegment)
        Warn(entry->line, where, "the line names a key with an empty name; setup refuses it");
      else if (verdict == EraseVerdict::kUsable && IsSharedSystemKey(erase.root, line + erase.path.offset))
        Warn(entry->line, where,
             "the line names a key that the whole system shares, which setup refuses to delete: " + entry->value, true);
    }
  }
}

void IniChecker::CheckSettingsKey() {
  const Entry* company = Find(ini::kRegistry, ini::kCompany);
  std::string name = Value(ini::kRegistry, ini::kName);
  if (!company || !RemovesSharedSettingsKey(company->value.c_str(), name.c_str())) return;
  std::string key = "SOFTWARE\\" + company->value + (name.empty() ? "" : "\\" + name);
  Warn(company->line, Where(ini::kRegistry, *company),
       key + " of the user and of the machine is a key that the whole system shares, which setup refuses to delete",
       true);
}

// The [Ext<n>] sections setup reads: those it refuses, and names that
// bind nothing.
void IniChecker::CheckAssociations() {
  const std::string refused = "; setup leaves the section alone";
  for (long long n = 0;; ++n) {
    std::string section = ini::kExt + Number(n);
    const Entry* ext = Find(section, ini::kExt);
    if (!ext || ext->value.empty()) return;
    if (IsSharedClass(ext->value.c_str()))
      Warn(ext->line, Where(section.c_str(), *ext), ext->value + " is an extension of the shell's own" + refused, true);
    else if (ext->value[0] != '.')
      Warn(ext->line, Where(section.c_str(), *ext), ext->value + " has no leading dot, so it names no extension");
    // A section without a Kind is refused as well, for a reason plain to see.
    const Entry* kind = Find(section, ini::kKind);
    if (!kind || kind->value.empty()) continue;
    if (IsSharedClass(kind->value.c_str()))
      Warn(kind->line, Where(section.c_str(), *kind), kind->value + " is a class of the shell's own" + refused, true);
    else if (text::FindFirst(kind->value.c_str(), '\\'))
      Warn(kind->line, Where(section.c_str(), *kind),
           "the backslash makes the class a key inside another key, which Windows takes for no file type");
  }
}

void IniChecker::CheckDeletePatterns() {
  for (const Entry* entry : ReadList(ini::kDel, "", 0)) {
    if (!ResolvesBelowItsPlace(entry->value.c_str())) {
      Warn(entry->line, Where(ini::kDel, *entry),
           entry->value + (entry->value[0] == '!' ? " is no full path" : " climbs above the installation folder") +
               ": setup deletes nothing for it");
      continue;
    }
    DeleteReach reach = ReachOfDeletePattern(entry->value.c_str());
    if (reach == DeleteReach::kInstallation) continue;
    Warn(entry->line, Where(ini::kDel, *entry),
         std::string("the uninstall deletes files ") +
             (reach == DeleteReach::kSystemFolders ? "in the Windows or system folder: "
                                                   : "outside the installation folder: ") +
             entry->value,
         true);
  }
}

// --- files the read-me viewer and the backdrop open ---

void IniChecker::CheckNamedFile(const Entry& entry, const std::string& where) {
  const char* file = draw::NamedFile(entry.value.c_str());
  if (shell_ && file && SoughtInShell(file) && !InShell(file))
    Warn(entry.line, where, std::string(file) + " is not in [shell]; this line draws nothing");
}

void IniChecker::CheckReadme() {
  const Indexed* readme = FindSection(ini::kReadme);
  if (!readme) return;
  std::map<int, const Entry*> lines;
  for (const auto& key : readme->keys) {
    int n;
    if (ReadListNumber(key.second->name.c_str(), &n)) lines.emplace(n, key.second);
  }
  const Entry* file = Find(ini::kReadme, ini::kFile);
  bool pages = file && text::EqualNoCase(file->value.c_str(), "ReadMe.Special");
  if (!pages) {
    if (!lines.empty())
      Warn(lines.begin()->second->line, Where(ini::kReadme, *lines.begin()->second),
           std::string(ini::kFile) + " is not ReadMe.Special, so setup never draws these lines");
    if (file && shell_) CheckReadmeFile(*file);
    return;
  }
  int count = Int(ini::kReadme, ini::kNo, 0);
  auto beyond = lines.lower_bound(count < 0 ? 0 : count);
  if (beyond != lines.end())
    Warn(beyond->second->line, Where(ini::kReadme, *beyond->second),
         std::string(ini::kNo) + " is " + Number(count) + ", so the lines from " + Number(count < 0 ? 0 : count) +
             " on are never drawn");
  int last = beyond == lines.begin() ? -1 : std::prev(beyond)->first;
  if (const Entry* no = Find(ini::kReadme, ini::kNo); no && count > last + 1)
    Warn(no->line, Where(ini::kReadme, *no),
         std::string(ini::kNo) + " is " + Number(count) +
             (last < 0 ? ", but there are no lines"
                       : ", but the last line is " + Number(last) + "; the rest read as empty"));
  for (auto it = lines.begin(); it != beyond; ++it) CheckNamedFile(*it->second, Where(ini::kReadme, *it->second));
}

// A text file: setup, with no installation folder recorded, opens the
// name as written, else the name alone, both in [shell].
void IniChecker::CheckReadmeFile(const Entry& file) {
  const char* path = file.value.c_str();
  if (!path[0] || path[0] == '\\' || path[0] == '/' || path[1] == ':') return;
  std::string name = path + text::SplitPath(path).name;
  if (InShell(file.value) || InShell(name)) return;
  Warn(file.line, Where(ini::kReadme, file),
       (name == file.value ? file.value + " is not" : "neither " + file.value + " nor " + name + " is") +
           " in [shell]; the viewer opens empty");
}

void IniChecker::CheckBackdrop() {
  std::vector<const Entry*> lines = ReadList(ini::kBack, "", 0);
  if (lines.empty()) return;
  if (Int(ini::kBack, ini::kDo, 0) == 0) {
    Warn(lines[0]->line, Where(ini::kBack, *lines[0]),
         std::string(ini::kDo) + " is 0, so setup never paints the backdrop");
    return;
  }
  int id;
  for (const Entry* line : lines) {
    if (readme::ReadHeader(line->value.c_str(), &id)) break;  // the painter stops there
    CheckNamedFile(*line, Where(ini::kBack, *line));
  }
}

// A description that holds an installation's records: shipped after a
// test install, it names the author's folder, files and keys.
void IniChecker::CheckInstalledMark() {
  const Entry* count = Find(ini::kCopiedFile, ini::kCount);
  if (count && profile::ReadProfileInt(count->value, 0) != 0)
    Warn(count->line, Where(ini::kCopiedFile, *count),
         count->value + " marks this file as the record of an installation; in another folder than its [" +
             ini::kRoot + "] " + ini::kNamed + ", setup drops the records and installs anew");
  for (const Entry* made : {Find(ini::kMenu, ini::kMade), Find(ini::kMadeKey, ini::kCount)})
    if (made)
      Warn(made->line, Where(made == Find(ini::kMenu, ini::kMade) ? ini::kMenu : ini::kMadeKey, *made),
           "setup writes this record itself; a new install drops it");
}

// Folders setup makes or proposes from the description's names.
void IniChecker::CheckFolderNames() {
  if (const Entry* menu = Find(ini::kMenu, ini::kName); menu && !menu->value.empty()) {
    if (!IsPlainRelativePath(menu->value.c_str()))
      Warn(menu->line, Where(ini::kMenu, *menu),
           menu->value + " is no folder name below Programs (a part of dots, an empty part or a leading "
           "backslash): setup makes no start-menu folder");
    else if (IsSharedMenuFolder(menu->value))
      Warn(menu->line, Where(ini::kMenu, *menu),
           menu->value + " is a folder that Windows and other programs share: setup removes only the links "
           "it names there, never the folder");
  }
  if (const Entry* root = Find(ini::kRoot, ini::kName)) {
    FolderMacro macro = SplitFolderMacro(root->value.c_str());
    if (!StaysBelow(root->value.c_str() + macro.rest))
      Warn(root->line, Where(ini::kRoot, *root),
           root->value + " climbs above its base folder: the dialog refuses the folder it proposes");
  }
}

}  // namespace setup
