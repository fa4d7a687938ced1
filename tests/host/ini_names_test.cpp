// The table of Setup.ini's names: the lookups, and the table held against
// the names that setup's sources read and write, so that neither can
// change without the other.
#include "setup/ini_names.h"

#include <gtest/gtest.h>

#include <ctype.h>

#include <algorithm>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "tool_run.h"

namespace {

// "[Menu3] 3", "[Reg] list Make 2", "[Check] key Copy", "-"
std::string Look(const char* section, const char* key) {
  int number;
  const setup::SectionName* s = setup::FindIniSection(section, &number);
  if (!s) return "-";
  std::string found = "[" + std::string(s->name) + (s->listEnd ? "<n>] " + std::to_string(number) : "]");
  if (!key) return found;
  if (const setup::KeyName* k = setup::FindIniKey(*s, key)) return found + " key " + k->name;
  if (const setup::KeyList* l = setup::FindIniList(*s, key, &number))
    return found + " list " + l->prefix + " " + std::to_string(number);
  return found + " no key";
}

TEST(IniNames, SectionsKeysAndListsAreFound) {
  struct Case {
    const char* section;
    const char* key;
    const char* found;
  } cases[] = {
      {"SETUP", "name", "[Setup] key Name"},
      {"Menu", "Named", "[Menu] key Named"},       // the single section, not the list
      {"menu12", "Show", "[Menu<n>] 12 key Show"},
      {"Menu03", nullptr, "-"},  // setup asks for [Menu3]
      {"Menu99999999999", nullptr, "-"},
      {"Ext", nullptr, "-"},
      {"Menu0", "Short", "[Menu<n>] 0 no key"},  // only desktop and startup links have hot keys
      {"Reg", "erase12", "[Reg] list Erase 12"},
      {"Reg", "Make+1", "[Reg] no key"},
      {"MakeDirectory", "0", "[MakeDirectory] list  0"},  // found; the caller sees it lies below 1
      {"Readme", "07", "[Readme] no key"},
  };
  for (const Case& c : cases) EXPECT_EQ(Look(c.section, c.key), c.found) << c.section << " " << (c.key ? c.key : "");
}

// What setup's sources name, gathered from the calls that read and write
// Setup.ini. A call written in a new way escapes this reading, so the
// count of what was found is held too.
struct SourceNames {
  std::set<std::pair<std::string, std::string>> pairs;  // section and key both literal
  std::set<std::string> sections;                        // a literal section, its key from a variable
  std::set<std::string> keys;                            // a literal key of a section in a variable
  std::set<std::string> lists;                           // "Menu" of [Menu<n>]
  std::set<std::string> rowKeys;                         // keys of [Check], or of [LastGo], named by row
  std::string all;                                       // every source, for the way back
};

// The string literals in `text`, without their quotes.
std::vector<std::string> Literals(const std::string& text) {
  std::vector<std::string> found;
  for (size_t at = text.find('"'); at != std::string::npos; at = text.find('"', at + 1)) {
    size_t end = text.find('"', at + 1);
    if (end == std::string::npos) break;
    found.push_back(text.substr(at + 1, end - at - 1));
    at = end;
  }
  return found;
}

// The arguments of every call of `name` in `source`, as written; commas
// inside parentheses, braces and literals do not split.
std::vector<std::vector<std::string>> Calls(const std::string& source, const std::string& name) {
  std::vector<std::vector<std::string>> calls;
  for (size_t at = source.find(name + "("); at != std::string::npos; at = source.find(name + "(", at + 1)) {
    char before = at ? source[at - 1] : ' ';
    if (isalnum(static_cast<unsigned char>(before)) || before == '_') continue;
    std::vector<std::string> arguments(1);
    int depth = 0;
    bool quoted = false;
    for (size_t i = at + name.size() + 1; i < source.size(); ++i) {
      char c = source[i];
      if (quoted) {
        quoted = c != '"' || source[i - 1] == '\\';
      } else if (c == '"') {
        quoted = true;
      } else if (c == '(' || c == '{') {
        ++depth;
      } else if ((c == ')' || c == '}') && depth-- == 0) {
        break;
      } else if (c == ',' && depth == 0) {
        arguments.emplace_back();
        continue;
      }
      arguments.back() += c;
    }
    for (std::string& a : arguments) a.erase(0, std::min(a.size(), a.find_first_not_of(" \n")));
    calls.push_back(arguments);
  }
  return calls;
}

// The literal an argument is, or empty when it is none.
std::string Literal(const std::string& argument) {
  return argument.size() >= 2 && argument[0] == '"' && argument.find('"', 1) == argument.size() - 1
             ? argument.substr(1, argument.size() - 2)
             : std::string();
}

SourceNames ReadSetupSources() {
  SourceNames names;
  const char* const readers[] = {"ReadSetting", "ReadNumber",     "WriteSetting", "GetPrivateProfileStringA",
                                 "GetPrivateProfileIntA", "WritePrivateProfileStringA", "ReadLink",
                                 "ReadLinkNumber", "Read"};
  for (const auto& file : std::filesystem::directory_iterator(std::string(SFX_SOURCE_DIR) + "/setup")) {
    if (file.path().extension() != ".cpp") continue;
    std::string source = ReadText(file.path().string());
    names.all += source;
    for (const char* reader : readers) {
      for (const auto& a : Calls(source, reader)) {
        if (a.size() < 2) continue;
        std::string section = Literal(a[0]), key = Literal(a[1]);
        if (!section.empty() && !key.empty()) names.pairs.insert({section, key});
        else if (!section.empty()) names.sections.insert(section);
        else if (!key.empty()) names.keys.insert(key);
      }
    }
    for (const auto& a : Calls(source, "WriteProfileNumber"))
      if (a.size() >= 3 && !Literal(a[1]).empty()) names.pairs.insert({Literal(a[1]), Literal(a[2])});
    // Helpers that take a section and make the keys themselves.
    const struct {
      const char* name;
      size_t section;  // which argument names it
    } helpers[] = {{"AppendToList", 1}, {"IsListed", 1},   {"MergeRecordList", 2},
                   {"ListedPath", 0},   {"ReadLineList", 1}};
    for (const auto& helper : helpers)
      for (const auto& a : Calls(source, helper.name))
        if (a.size() > helper.section && !Literal(a[helper.section]).empty())
          names.sections.insert(Literal(a[helper.section]));
    for (const auto& a : Calls(source, "ListEntry"))
      if (a.size() >= 2 && !Literal(a[1]).empty()) names.lists.insert(Literal(a[1]));
    for (const auto& a : Calls(source, "wsprintfA")) {
      std::string format = a.size() >= 3 ? Literal(a[1]) : std::string();
      if (format.size() > 2 && format.compare(format.size() - 2, 2, "%d") == 0 && format != "%s%d")
        names.lists.insert(format.substr(0, format.size() - 2));
      if (format == "%s%d" && a[2].find('?') != std::string::npos)  // "Make" or "Erase" and a number
        for (const std::string& prefix : Literals(a[2])) names.pairs.insert({"Reg", prefix + "0"});
    }
    for (const char* rows : {"MakeFolderShortcut", "ClearCheck", "OpenFolderLink"})
      for (const auto& a : Calls(source, rows))
        for (const std::string& argument : a)
          if (!Literal(argument).empty()) names.rowKeys.insert(Literal(argument));
    size_t table = source.find("kLeftRowKeys[");
    if (table != std::string::npos) {
      size_t open = source.find('{', table), close = source.find('}', table);
      for (const std::string& key : Literals(source.substr(open, close - open))) names.rowKeys.insert(key);
    }
  }
  return names;
}

bool AnySectionHasKey(const std::string& key) {
  for (const setup::SectionName* s = setup::kIniSections; s->name; ++s)
    if (setup::FindIniKey(*s, key.c_str())) return true;
  return false;
}

TEST(IniNames, EveryNameSetupReadsIsInTheTable) {
  SourceNames names = ReadSetupSources();
  EXPECT_GE(names.pairs.size(), 25u) << "the calls of setup's sources are no longer found";
  EXPECT_GE(names.sections.size(), 10u);
  EXPECT_GE(names.keys.size(), 10u);
  EXPECT_GE(names.lists.size(), 3u);
  for (const auto& pair : names.pairs) {
    std::string found = Look(pair.first.c_str(), pair.second.c_str());
    EXPECT_TRUE(found.find(" key ") != std::string::npos || found.find(" list ") != std::string::npos)
        << pair.first << " " << pair.second << ": " << found;
  }
  for (const std::string& section : names.sections) EXPECT_NE(Look(section.c_str(), nullptr), "-") << section;
  for (const std::string& key : names.keys) EXPECT_TRUE(AnySectionHasKey(key)) << key;
  for (const std::string& list : names.lists)
    EXPECT_NE(Look((list + "0").c_str(), nullptr).find("<n>"), std::string::npos) << list;
  // A row's name is its [Check] key, and for desktop and startup also a
  // section and a [LastGo] key.
  for (const std::string& key : names.rowKeys)
    EXPECT_TRUE(Look("Check", key.c_str()) == "[Check] key " + key ||
                Look("LastGo", key.c_str()) == "[LastGo] key " + key)
        << key;
}

TEST(IniNames, EveryNameInTheTableIsOneSetupReads) {
  SourceNames names = ReadSetupSources();
  auto named = [&](const std::string& name) { return names.all.find('"' + name + '"') != std::string::npos; };
  for (const setup::SectionName* s = setup::kIniSections; s->name; ++s) {
    EXPECT_TRUE(named(s->name) || named(std::string(s->name) + "%d")) << s->name;
    for (const setup::KeyName* k = s->keys; k->name; ++k) EXPECT_TRUE(named(k->name)) << s->name << " " << k->name;
    for (const setup::KeyList* l = s->lists; l->prefix; ++l)
      EXPECT_TRUE(!l->prefix[0] || named(l->prefix)) << s->name << " " << l->prefix;
  }
}

}  // namespace
