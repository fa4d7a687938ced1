// The table of Setup.ini's names and its lookups. setup, the stubs and the
// builder's check name sections and keys by the constants the table is
// made of: a name spelt otherwise no longer compiles.
#include "setup/ini_names.h"

#include <gtest/gtest.h>

#include <string>

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

}  // namespace
