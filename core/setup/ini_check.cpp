#include "setup/ini_check.h"

#include <algorithm>
#include <map>

#include "draw/paint.h"
#include "draw/readme_pages.h"
#include "ini/reader.h"
#include "setup/copy_entry.h"
#include "setup/ini_names.h"
#include "setup/install_folder.h"
#include "setup/option_rows.h"
#include "setup/path_rules.h"
#include "setup/registry_line.h"
#include "setup/resolve_path.h"
#include "setup/shared_places.h"
#include "text.h"

namespace setup {
namespace {

using profile::Entry;
using profile::Section;

std::string Folded(const std::string& name) {
  std::string folded = name;
  for (char& c : folded) c = text::AsciiUpper(c);
  return folded;
}

std::string Number(long long n) { return std::to_string(n); }

// The edit distance of two names, ASCII letters in any case, a swap of
// two neighbours counting as one edit.
size_t Distance(const std::string& a, const std::string& b) {
  std::string x = Folded(a), y = Folded(b);
  std::vector<std::vector<size_t>> d(x.size() + 1, std::vector<size_t>(y.size() + 1));
  for (size_t i = 0; i <= x.size(); ++i) d[i][0] = i;
  for (size_t j = 0; j <= y.size(); ++j) d[0][j] = j;
  for (size_t i = 1; i <= x.size(); ++i) {
    for (size_t j = 1; j <= y.size(); ++j) {
      d[i][j] = std::min({d[i - 1][j] + 1, d[i][j - 1] + 1, d[i - 1][j - 1] + (x[i - 1] == y[j - 1] ? 0 : 1)});
      if (i > 1 && j > 1 && x[i - 1] == y[j - 2] && x[i - 2] == y[j - 1])
        d[i][j] = std::min(d[i][j], d[i - 2][j - 2] + 1);
    }
  }
  return d[x.size()][y.size()];
}

// The known name nearest to `name`, when it is near enough to be what was
// meant: about one edit in three letters. Empty otherwise.
std::string Nearest(const std::string& name, const std::vector<std::string>& known) {
  // Names this long are no typing error of a key; comparing them would
  // only cost time.
  if (name.size() > 64) return std::string();
  std::string best;
  size_t bestDistance = 0;
  for (const std::string& candidate : known) {
    size_t distance = Distance(name, candidate);
    if (distance * 3 <= std::max(name.size(), candidate.size()) && (best.empty() || distance < bestDistance)) {
      best = candidate;
      bestDistance = distance;
    }
  }
  return best;
}

// A name ending in digits as setup would write it: "Menu01" as "Menu1".
// The name itself when its digits are fine or it has none.
std::string WithPlainNumber(const std::string& prefix, const std::string& name) {
  if (!text::StartsWithNoCase(name.c_str(), prefix.c_str())) return name;
  std::string digits = name.substr(prefix.size());
  if (digits.empty() || digits.size() > 9 || digits.find_first_not_of("0123456789") != std::string::npos) return name;
  return prefix + Number(std::stoll(digits));
}

// Whether setup, started from [shell] before any installation folder is
// recorded, looks for `path` there: a relative path with no folder macro.
bool SoughtInShell(const char* path) {
  if (!path[0] || path[0] == '\\' || path[0] == '/' || path[1] == ':') return false;
  return SplitPathMacro(path).rest == 0;
}

struct Indexed {
  const Section* section;
  std::map<std::string, const Entry*> keys;  // the first key of each name, by its folded name
};

class Checker {
 public:
  Checker(const char* bytes, size_t size, const ShellFolder* shell)
      : bytes_(bytes), size_(size), profile_(bytes, size), shell_(shell) {
    for (const Section& section : profile_.sections()) {
      auto added = sections_.emplace(Folded(section.name), Indexed{&section, {}});
      if (!added.second) continue;
      for (const Entry& entry : section.entries) added.first->second.keys.emplace(Folded(entry.name), &entry);
    }
  }

  std::vector<Finding> Run() {
    CheckText();
    CheckStrays();
    CheckRepeats();
    CheckNames();
    CheckLists();
    CheckCopyEntries();
    CheckRegistryLines();
    CheckSettingsKey();
    CheckAssociations();
    CheckDeletePatterns();
    CheckReadme();
    CheckBackdrop();
    CheckInstalledMark();
    CheckFolderNames();
    std::stable_sort(findings_.begin(), findings_.end(),
                     [](const Finding& a, const Finding& b) { return a.line < b.line; });
    return findings_;
  }

 private:
  void Warn(size_t line, const std::string& where, const std::string& message, bool systemWide = false) {
    findings_.push_back(Finding{line, where, message, systemWide});
  }

  const Indexed* FindSection(const std::string& name) const {
    auto found = sections_.find(Folded(name));
    return found == sections_.end() ? nullptr : &found->second;
  }

  // The key as setup finds it; null when it or its section is missing.
  const Entry* Find(const std::string& section, const std::string& key) const {
    const Indexed* indexed = FindSection(section);
    if (!indexed) return nullptr;
    auto found = indexed->keys.find(Folded(key));
    return found == indexed->keys.end() ? nullptr : found->second;
  }

  std::string Value(const char* section, const char* key) const {
    const Entry* entry = Find(section, key);
    return entry ? entry->value : std::string();
  }

  int Int(const char* section, const char* key, int fallback) const {
    const Entry* entry = Find(section, key);
    return entry ? profile::ReadProfileInt(entry->value, fallback) : fallback;
  }

  static std::string Where(const Section& section, const Entry& entry) {
    return "[" + section.name + "] " + entry.name;
  }
  // The section named as the file names it.
  std::string Where(const char* section, const Entry& entry) const {
    return Where(*FindSection(section)->section, entry);
  }

  bool InShell(const std::string& path) const { return shell_->holds(shell_->context, path.c_str()); }

  // The entries of an open list as setup reads them, up to the first
  // missing or empty one.
  std::vector<const Entry*> ReadList(const char* section, const char* prefix, int first) const {
    std::vector<const Entry*> read;
    for (long long n = first;; ++n) {
      const Entry* entry = Find(section, prefix + Number(n));
      if (!entry || entry->value.empty()) return read;
      read.push_back(entry);
    }
  }

  // --- the text ---

  void CheckText() {
    size_t mark = profile::ByteOrderMarkLength(bytes_, size_);
    if (mark)
      Warn(1, "",
           "the file starts with a UTF-8 byte-order mark, which setup reads as text in code page 932; "
           "save the file in code page 932 without it");
    const char* bytes = bytes_ + mark;
    size_t size = size_ - mark;
    size_t utf8Line = 0, utf8Lines = 0, foreignLine = 0, foreignLines = 0;
    profile::LineReader reader(bytes, size);
    profile::Line line;
    while (reader.Next(&line)) {
      bool ascii = std::all_of(line.text, line.text + line.length, [](char c) { return (c & 0x80) == 0; });
      if (ascii) continue;
      if (text::IsUtf8(line.text, line.length)) {
        if (utf8Lines++ == 0) utf8Line = line.number;
      } else if (text::FindNonCp932(line.text, line.length) != line.length) {
        if (foreignLines++ == 0) foreignLine = line.number;
      }
    }
    if (utf8Lines)
      Warn(utf8Line, "",
           "this line is UTF-8 text" + More(utf8Lines) +
               "; setup reads code page 932 and would show other characters: save the file in code page 932");
    if (foreignLines)
      Warn(foreignLine, "",
           "this line holds bytes that code page 932 has no character for" + More(foreignLines) +
               "; save the file in code page 932");
  }

  static std::string More(size_t lines) {
    return lines > 1 ? " (and " + Number(static_cast<long long>(lines - 1)) + " more lines)" : "";
  }

  // --- lines that give no key, names given twice ---

  void CheckStrays() {
    size_t outside = 0;
    for (const profile::Stray& stray : profile_.strays()) {
      switch (stray.kind) {
        case profile::Stray::kOutsideSection:
          if (outside++ == 0)
            Warn(stray.line, "", "this line lies before the first section, where setup reads nothing");
          break;
        case profile::Stray::kNoEquals:
          Warn(stray.line, "", "this line has no '=' and gives no key");
          break;
        case profile::Stray::kUnclosedHeader:
          Warn(stray.line, "",
               "this line has no closing ']' and starts no section; the keys below it stay in [" +
                   SectionBefore(stray.line) + "]");
          break;
      }
    }
  }

  // The section whose keys a line joins: the last one headed above it.
  std::string SectionBefore(size_t line) const {
    const std::vector<Section>& sections = profile_.sections();
    auto after = std::upper_bound(sections.begin(), sections.end(), line,
                                  [](size_t l, const Section& section) { return l < section.line; });
    return after == sections.begin() ? std::string() : std::prev(after)->name;
  }

  void CheckRepeats() {
    for (const Section& section : profile_.sections()) {
      const Indexed* first = FindSection(section.name);
      if (first->section != &section) {
        Warn(section.line, "[" + section.name + "]",
             "the section appears before, on line " + Number(static_cast<long long>(first->section->line)) +
                 "; setup reads only the first, so nothing in this one is read");
        continue;
      }
      for (const Entry& entry : section.entries) {
        const Entry* firstEntry = first->keys.at(Folded(entry.name));
        if (firstEntry != &entry)
          Warn(entry.line, Where(section, entry),
               "the key appears before in this section, on line " + Number(static_cast<long long>(firstEntry->line)) +
                   "; setup reads only the first");
      }
    }
  }

  // --- names setup never reads, values it reads otherwise ---

  static std::vector<std::string> SectionCandidates(const std::string& name) {
    std::vector<std::string> known;
    for (const SectionName* s = kIniSections; s->name; ++s) {
      std::string plain = WithPlainNumber(s->name, name);
      known.push_back(!s->listEnd ? s->name : plain != name ? plain : s->name + std::string("0"));
    }
    return known;
  }

  static std::vector<std::string> KeyCandidates(const SectionName& section, const std::string& key) {
    std::vector<std::string> known;
    for (const KeyName* k = section.keys; k->name; ++k) known.push_back(k->name);
    for (const KeyList* list = section.lists; list->prefix; ++list) {
      std::string plain = WithPlainNumber(list->prefix, key);
      known.push_back(plain != key ? plain : list->prefix + Number(list->first));
    }
    return known;
  }

  void CheckNames() {
    for (const auto& named : sections_) {
      const Section& section = *named.second.section;
      int number;
      const SectionName* known = FindIniSection(section.name.c_str(), &number);
      if (!known) {
        std::string nearest = Nearest(section.name, SectionCandidates(section.name));
        Warn(section.line, "[" + section.name + "]",
             "setup reads no section of this name" + (nearest.empty() ? "" : "; did you mean [" + nearest + "]?"));
        continue;
      }
      for (const auto& key : named.second.keys) CheckKey(section, *known, *key.second);
    }
  }

  void CheckKey(const Section& section, const SectionName& known, const Entry& entry) {
    if (const KeyName* key = FindIniKey(known, entry.name.c_str())) {
      CheckValue(section, entry, key->kind, key->size);
      return;
    }
    int number;
    if (const KeyList* list = FindIniList(known, entry.name.c_str(), &number)) {
      if (number < list->first)
        Warn(entry.line, Where(section, entry),
             "this list starts at " + std::string(list->prefix) + Number(list->first) + "; setup never reads " +
                 entry.name);
      else
        CheckValue(section, entry, ValueKind::kText, list->size);
      return;
    }
    std::string nearest = Nearest(entry.name, KeyCandidates(known, entry.name));
    Warn(entry.line, Where(section, entry),
         "setup reads no key of this name in [" + section.name + "]" +
             (nearest.empty() ? "" : "; did you mean " + nearest + "?"));
  }

  void CheckValue(const Section& section, const Entry& entry, ValueKind kind, uint16_t size) {
    std::string where = Where(section, entry);
    const std::string& value = entry.value;
    // A quoted program with quoted arguments ("app.exe" "%1") loses the
    // quote before the program, and the one after the last argument: the
    // quotes left inside lose their pair. One more pair around the whole
    // ("..."), which reads starting with its quote, is the cure. Single
    // quotes inside are more often apostrophes, which the reading leaves as
    // meant.
    if (entry.written != value && entry.written[0] == '"' && value.find('"') != std::string::npos && value[0] != '"')
      Warn(entry.line, where,
           "reads as " + value + ": setup drops the quotes at both ends and keeps the ones inside; put one more pair "
           "around the value");
    if (kind == ValueKind::kText) {
      if (value.size() >= size)
        Warn(entry.line, where,
             "the value is " + Number(static_cast<long long>(value.size())) +
                 " bytes long; setup reads only the first " + Number(size - 1));
      return;
    }
    bool digits;
    int number = profile::ReadProfileInt(value, 0, &digits);
    if (!value.empty() && !digits) {
      Warn(entry.line, where, value + " is no number; setup reads it as 0");
    } else if (kind == ValueKind::kOption && !value.empty() && !IsOptionValue(number)) {
      Warn(entry.line, where, Number(number) + " is no option value (0 to 3); the row is shown unchecked");
    }
  }

  // A key of an open list beyond its first missing or empty key, which
  // setup never reaches; told once, at the nearest such key. The same for
  // the lists of sections ([Menu0], [Menu1], ...).
  void CheckLists() {
    for (const auto& named : sections_) {
      const Section& section = *named.second.section;
      int number;
      const SectionName* known = FindIniSection(section.name.c_str(), &number);
      if (!known) continue;
      for (const KeyList* list = known->lists; list->prefix; ++list) {
        if (list->count) continue;
        size_t read = ReadList(section.name.c_str(), list->prefix, list->first).size();
        long long gap = list->first + static_cast<long long>(read);
        const Entry* beyond = nullptr;
        int beyondNumber = 0;
        for (const auto& key : named.second.keys) {
          int n;
          if (FindIniList(*known, key.second->name.c_str(), &n) == list && n > gap && (!beyond || n < beyondNumber))
            beyond = key.second, beyondNumber = n;
        }
        if (!beyond) continue;
        std::string missing = list->prefix + Number(gap);
        Warn(beyond->line, Where(section, *beyond),
             "the list ends before " + missing + ", which is " + (Find(section.name, missing) ? "empty" : "missing") +
                 "; " + beyond->name + " and later are never read");
      }
    }
    for (const SectionName* s = kIniSections; s->name; ++s) {
      if (!s->listEnd) continue;
      long long gap = 0;
      while (!Value((s->name + Number(gap)).c_str(), s->listEnd).empty()) ++gap;
      const Section* beyond = nullptr;
      int beyondNumber = 0;
      for (const auto& named : sections_) {
        int n;
        if (FindIniSection(named.second.section->name.c_str(), &n) == s && n > gap && (!beyond || n < beyondNumber))
          beyond = named.second.section, beyondNumber = n;
      }
      if (!beyond) continue;
      std::string missing = s->name + Number(gap);
      Warn(beyond->line, "[" + beyond->name + "]",
           "the list ends before [" + missing + "], which " +
               (FindSection(missing) ? "has no " + std::string(s->listEnd) : std::string("is missing")) + "; [" +
               beyond->name + "] and later are never read");
    }
  }

  // --- what the lists hold ---

  void CheckCopyEntries() {
    for (const Entry* entry : ReadList("CopyFile", "", 0)) {
      std::string where = Where("CopyFile", *entry);
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

  void CheckRegistryLines() {
    for (const char* list : {"Make", "Erase"}) {
      bool make = list[0] == 'M';
      for (const Entry* entry : ReadList("Reg", list, 0)) {
        std::string where = Where("Reg", *entry);
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
          Warn(entry->line, where, "the line names a key that the whole system shares, which setup refuses to delete: " + entry->value,
               true);
      }
    }
  }

  void CheckSettingsKey() {
    const Entry* company = Find("Registry", "Company");
    std::string name = Value("Registry", "Name");
    if (!company || !RemovesSharedSettingsKey(company->value.c_str(), name.c_str())) return;
    std::string key = "SOFTWARE\\" + company->value + (name.empty() ? "" : "\\" + name);
    Warn(company->line, Where("Registry", *company),
         key + " of the user and of the machine is a key that the whole system shares, which setup refuses to delete",
         true);
  }

  // The [Ext<n>] sections setup reads: those it refuses, and names that
  // bind nothing.
  void CheckAssociations() {
    const std::string refused = "; setup leaves the section alone";
    for (long long n = 0;; ++n) {
      std::string section = "Ext" + Number(n);
      const Entry* ext = Find(section, "Ext");
      if (!ext || ext->value.empty()) return;
      if (IsSharedClass(ext->value.c_str()))
        Warn(ext->line, Where(section.c_str(), *ext), ext->value + " is an extension of the shell's own" + refused, true);
      else if (ext->value[0] != '.')
        Warn(ext->line, Where(section.c_str(), *ext), ext->value + " has no leading dot, so it names no extension");
      // A section without a Kind is refused as well, for a reason plain to see.
      const Entry* kind = Find(section, "Kind");
      if (!kind || kind->value.empty()) continue;
      if (IsSharedClass(kind->value.c_str()))
        Warn(kind->line, Where(section.c_str(), *kind), kind->value + " is a class of the shell's own" + refused, true);
      else if (text::FindFirst(kind->value.c_str(), '\\'))
        Warn(kind->line, Where(section.c_str(), *kind),
             "the backslash makes the class a key inside another key, which Windows takes for no file type");
    }
  }

  void CheckDeletePatterns() {
    for (const Entry* entry : ReadList("Del", "", 0)) {
      if (!ResolvesBelowItsPlace(entry->value.c_str())) {
        Warn(entry->line, Where("Del", *entry),
             entry->value + (entry->value[0] == '!' ? " is no full path" : " climbs above the installation folder") +
                 ": setup deletes nothing for it");
        continue;
      }
      DeleteReach reach = ReachOfDeletePattern(entry->value.c_str());
      if (reach == DeleteReach::kInstallation) continue;
      Warn(entry->line, Where("Del", *entry),
           std::string("the uninstall deletes files ") +
               (reach == DeleteReach::kSystemFolders ? "in the Windows or system folder: "
                                                     : "outside the installation folder: ") +
               entry->value,
           true);
    }
  }

  // --- files the read-me viewer and the backdrop open ---

  void CheckNamedFile(const Entry& entry, const std::string& where) {
    const char* file = draw::NamedFile(entry.value.c_str());
    if (shell_ && file && SoughtInShell(file) && !InShell(file))
      Warn(entry.line, where, std::string(file) + " is not in [shell]; this line draws nothing");
  }

  void CheckReadme() {
    const Indexed* readme = FindSection("Readme");
    if (!readme) return;
    std::map<int, const Entry*> lines;
    for (const auto& key : readme->keys) {
      int n;
      if (ReadListNumber(key.second->name.c_str(), &n)) lines.emplace(n, key.second);
    }
    const Entry* file = Find("Readme", "File");
    bool pages = file && text::EqualNoCase(file->value.c_str(), "ReadMe.Special");
    if (!pages) {
      if (!lines.empty())
        Warn(lines.begin()->second->line, Where("Readme", *lines.begin()->second),
             "File is not ReadMe.Special, so setup never draws these lines");
      if (file && shell_) CheckReadmeFile(*file);
      return;
    }
    int count = Int("Readme", "No", 0);
    auto beyond = lines.lower_bound(count < 0 ? 0 : count);
    if (beyond != lines.end())
      Warn(beyond->second->line, Where("Readme", *beyond->second),
           "No is " + Number(count) + ", so the lines from " + Number(count < 0 ? 0 : count) + " on are never drawn");
    int last = beyond == lines.begin() ? -1 : std::prev(beyond)->first;
    if (const Entry* no = Find("Readme", "No"); no && count > last + 1)
      Warn(no->line, Where("Readme", *no),
           "No is " + Number(count) +
               (last < 0 ? ", but there are no lines"
                         : ", but the last line is " + Number(last) + "; the rest read as empty"));
    for (auto it = lines.begin(); it != beyond; ++it) CheckNamedFile(*it->second, Where("Readme", *it->second));
  }

  // A text file: setup, with no installation folder recorded, opens the
  // name as written, else the name alone, both in [shell].
  void CheckReadmeFile(const Entry& file) {
    const char* path = file.value.c_str();
    if (!path[0] || path[0] == '\\' || path[0] == '/' || path[1] == ':') return;
    std::string name = path + text::SplitPath(path).name;
    if (InShell(file.value) || InShell(name)) return;
    Warn(file.line, Where("Readme", file),
         (name == file.value ? file.value + " is not" : "neither " + file.value + " nor " + name + " is") +
             " in [shell]; the viewer opens empty");
  }

  void CheckBackdrop() {
    std::vector<const Entry*> lines = ReadList("Back", "", 0);
    if (lines.empty()) return;
    if (Int("Back", "Do", 0) == 0) {
      Warn(lines[0]->line, Where("Back", *lines[0]), "Do is 0, so setup never paints the backdrop");
      return;
    }
    int id;
    for (const Entry* line : lines) {
      if (readme::ReadHeader(line->value.c_str(), &id)) break;  // the painter stops there
      CheckNamedFile(*line, Where("Back", *line));
    }
  }

  // A description that holds an installation's records: shipped after a
  // test install, it names the author's folder, files and keys.
  void CheckInstalledMark() {
    const Entry* count = Find("CopiedFile", "Count");
    if (count && profile::ReadProfileInt(count->value, 0) != 0)
      Warn(count->line, Where("CopiedFile", *count),
           count->value + " marks this file as the record of an installation; in another folder than its [Root] "
           "Named, setup drops the records and installs anew");
    for (const Entry* made : {Find("Menu", "Made"), Find("MadeKey", "Count")})
      if (made)
        Warn(made->line, Where(made == Find("Menu", "Made") ? "Menu" : "MadeKey", *made),
             "setup writes this record itself; a new install drops it");
  }

  // Folders setup makes or proposes from the description's names.
  void CheckFolderNames() {
    if (const Entry* menu = Find("Menu", "Name"); menu && !menu->value.empty()) {
      if (!IsPlainRelativePath(menu->value.c_str()))
        Warn(menu->line, Where("Menu", *menu),
             menu->value + " is no folder name below Programs (a part of dots, an empty part or a leading "
             "backslash): setup makes no start-menu folder");
      else if (IsSharedMenuFolder(menu->value))
        Warn(menu->line, Where("Menu", *menu),
             menu->value + " is a folder that Windows and other programs share: setup removes only the links "
             "it names there, never the folder");
    }
    if (const Entry* root = Find("Root", "Name")) {
      FolderMacro macro = SplitFolderMacro(root->value.c_str());
      if (!StaysBelow(root->value.c_str() + macro.rest))
        Warn(root->line, Where("Root", *root),
             root->value + " climbs above its base folder: the dialog refuses the folder it proposes");
    }
  }

  // The start menu's own folders, as Windows names them in English and in
  // Japanese.
  static bool IsSharedMenuFolder(const std::string& name) {
    for (const char* shared : {"Accessories", "StartUp", "Administrative Tools", "Games", "System Tools",
                               "\x83\x41\x83\x4e\x83\x5a\x83\x54\x83\x8a",  // アクセサリ
                               "\x83\x58\x83\x5e\x81\x5b\x83\x67\x83\x41\x83\x62\x83\x76"})  // スタートアップ
      if (text::EqualNoCase(name.c_str(), shared)) return true;
    return false;
  }

  const char* bytes_;
  size_t size_;
  profile::Profile profile_;
  const ShellFolder* shell_;
  std::map<std::string, Indexed> sections_;  // the first section of each name, by its folded name
  std::vector<Finding> findings_;
};

}  // namespace

std::vector<Finding> CheckSetupIni(const char* bytes, size_t size, const ShellFolder* shell) {
  return Checker(bytes, size, shell).Run();
}

}  // namespace setup
