// The checks of what setup reads at all: the text, lines that give no key,
// names given twice, names setup never reads, values it reads otherwise,
// and lists read only up to a gap.
#include <algorithm>

#include "ini/grammar.h"
#include "setup/ini_checker.h"
#include "setup/option_rows.h"
#include "text.h"

namespace setup {
namespace {

// The edit distance of two names, ASCII letters in any case, a swap of
// two neighbours counting as one edit.
size_t Distance(const std::string& a, const std::string& b) {
  std::string x = IniChecker::Folded(a), y = IniChecker::Folded(b);
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
  return prefix + IniChecker::Number(std::stoll(digits));
}

// For a finding told once for all the lines it holds for.
std::string More(size_t lines) {
  return lines > 1 ? " (and " + IniChecker::Number(static_cast<long long>(lines - 1)) + " more lines)" : "";
}

std::vector<std::string> SectionCandidates(const std::string& name) {
  std::vector<std::string> known;
  for (const SectionName* s = kIniSections; s->name; ++s) {
    std::string plain = WithPlainNumber(s->name, name);
    known.push_back(!s->listEnd ? s->name : plain != name ? plain : s->name + std::string("0"));
  }
  return known;
}

std::vector<std::string> KeyCandidates(const SectionName& section, const std::string& key) {
  std::vector<std::string> known;
  for (const KeyName* k = section.keys; k->name; ++k) known.push_back(k->name);
  for (const KeyList* list = section.lists; list->prefix; ++list) {
    std::string plain = WithPlainNumber(list->prefix, key);
    known.push_back(plain != key ? plain : list->prefix + IniChecker::Number(list->first));
  }
  return known;
}

}  // namespace

// --- the text ---

void IniChecker::CheckText() {
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

// --- lines that give no key, names given twice ---

void IniChecker::CheckStrays() {
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
std::string IniChecker::SectionBefore(size_t line) const {
  const std::vector<Section>& sections = profile_.sections();
  auto after = std::upper_bound(sections.begin(), sections.end(), line,
                                [](size_t l, const Section& section) { return l < section.line; });
  return after == sections.begin() ? std::string() : std::prev(after)->name;
}

void IniChecker::CheckRepeats() {
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

void IniChecker::CheckNames() {
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

void IniChecker::CheckKey(const Section& section, const SectionName& known, const Entry& entry) {
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

void IniChecker::CheckValue(const Section& section, const Entry& entry, ValueKind kind, uint16_t size) {
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
void IniChecker::CheckLists() {
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

}  // namespace setup
