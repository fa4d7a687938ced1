// Registry lines: the root, the keys and value of a Make line, and the
// split and upward walk of an Erase line.
#include <gtest/gtest.h>

#include <string>

#include "setup/registry_line.h"

namespace {

using setup::Span;

const std::string kHyo = "\x95\x5C";  // "表": its trail byte is '\\'

bool NoLeadBytes(uint8_t) { return false; }

std::string Piece(const std::string& line, Span span) { return line.substr(span.offset, span.length); }

std::string RootName(setup::RootKey root) {
  static const char* const kNames[] = {"HKCR", "HKCC", "HKCU", "HKU", "HKPD", "HKDD", "HKLM"};
  return kNames[static_cast<int>(root)];
}

// "HKCU +A +B [Name]=Data": the root, each key created, the value set.
std::string Make(const std::string& line, text::LeadByteTest isLead = text::IsCp932LeadByte) {
  setup::MakeLine walk(line.c_str(), isLead);
  if (!walk.usable()) return "skipped";
  std::string out = RootName(walk.root());
  Span key, name, data;
  while (walk.NextKey(&key)) out += " +" + Piece(line, key);
  if (walk.Value(&name, &data)) out += " [" + Piece(line, name) + "]=" + Piece(line, data);
  return out;
}

TEST(RegistryMakeLine, RootKeysValuesAndData) {
  struct Case {
    const char* breaks;
    std::string line, walk;
  } cases[] = {
      {"case of the root name", "hkey_current_user\\Software\\App", "HKCU +Software +App"},
      {"classes root", "HKEY_CLASSES_ROOT\\.txt", "HKCR +.txt"},
      {"current config", "HKEY_CURRENT_CONFIG\\a", "HKCC +a"},
      {"users", "HKEY_USERS\\a", "HKU +a"},
      {"performance data", "HKEY_PERFORMANCE_DATA\\a", "HKPD +a"},
      {"dyn data", "HKEY_DYN_DATA\\a", "HKDD +a"},
      {"machine by its own name", "HKEY_LOCAL_MACHINE\\a", "HKLM +a"},
      {"abbreviation falls back to the machine", "HKLM\\Software", "HKLM +Software"},
      {"a root name that only starts like one", "HKEY_USERSX\\a", "HKLM +a"},
      {"a root name cut short", "HKEY_USER\\a", "HKLM +a"},
      {"no backslash", "HKEY_CURRENT_USER", "skipped"},
      {"empty line", "", "skipped"},
      {"keys only", "HKEY_USERS\\A\\B", "HKU +A +B"},
      {"trailing backslash", "HKEY_USERS\\A\\B\\", "HKU +A +B"},
      {"root alone", "HKEY_USERS\\", "HKU"},
      {"named value", "HKEY_USERS\\A\\B\\\\Name\\Data", "HKU +A +B [Name]=Data"},
      {"default value", "HKEY_USERS\\Key\\\\\\Data", "HKU +Key []=Data"},
      {"backslashes in the data", "HKEY_USERS\\A\\\\Path\\!C:\\x\\\\y\\", "HKU +A [Path]=!C:\\x\\\\y\\"},
      {"value in the root", "HKEY_USERS\\\\Name\\Data", "HKU [Name]=Data"},
      {"value name without data", "HKEY_USERS\\A\\\\Name", "HKU +A"},
      {"empty data", "HKEY_USERS\\A\\\\Name\\", "HKU +A [Name]="},
      {"trail byte in a key", "HKEY_USERS\\A" + kHyo + "\\B", "HKU +A" + kHyo + " +B"},
      {"trail byte before a doubled backslash", "HKEY_USERS\\" + kHyo + "\\\\N\\D", "HKU +" + kHyo + " [N]=D"},
      {"trail byte in the value name", "HKEY_USERS\\A\\\\" + kHyo + "\\D", "HKU +A [" + kHyo + "]=D"},
      {"trail byte in the root name", kHyo + "\\A", "HKLM +A"},
      {"lead byte at the end", "HKEY_USERS\\A\x95", "HKU +A\x95"},
  };
  for (const Case& c : cases) EXPECT_EQ(Make(c.line), c.walk) << c.breaks;
  // Another code page's test is honoured: without lead bytes every 0x5C cuts.
  EXPECT_EQ(Make("HKEY_USERS\\A" + kHyo + "B", NoLeadBytes), "HKU +A\x95 +B");
}

// "HKCU A\B : A | A:B :A": the root, the parent and last segment, then
// each (key, name) of the upward walk.
std::string Erase(const std::string& line) {
  setup::EraseLine erase;
  switch (setup::SplitEraseLine(line.c_str(), &erase)) {
    case setup::EraseVerdict::kNoBackslash: return "skipped";
    case setup::EraseVerdict::kEmptySegment: return "refused";
    case setup::EraseVerdict::kUsable: break;
  }
  std::string out = RootName(erase.root) + " " + Piece(line, erase.parent) + " : " + Piece(line, erase.last) + " |";
  EXPECT_EQ(Piece(line, erase.path), line.substr(line.find('\\') + 1));
  setup::EmptiedAncestors walk(line.c_str(), erase);
  Span below, name;
  while (walk.Next(&below, &name)) out += " " + Piece(line, below) + ":" + Piece(line, name);
  return out;
}

TEST(RegistryEraseLine, SplitAndEmptiedAncestors) {
  struct Case {
    const char* breaks;
    std::string line, walk;
  } cases[] = {
      {"deep key", "HKEY_CURRENT_USER\\Software\\Maker\\App\\Key",
       "HKCU Software\\Maker\\App : Key | Software\\Maker:App Software:Maker :Software"},
      {"two segments", "hkey_users\\A\\B", "HKU A : B | :A"},
      {"single segment: the root is its parent", "HKEY_USERS\\Maker", "HKU  : Maker |"},
      {"no backslash", "HKEY_USERS", "skipped"},
      {"root alone", "HKEY_USERS\\", "refused"},
      {"trailing backslash", "HKEY_USERS\\A\\", "refused"},
      {"doubled backslash", "HKEY_USERS\\A\\\\B", "refused"},
      {"leading empty segment", "HKEY_USERS\\\\A", "refused"},
      {"trail byte in the last segment", "HKLM\\A\\" + kHyo, "HKLM A : " + kHyo + " | :A"},
      {"trail byte in an ancestor", "HKLM\\A\\" + kHyo + "\\C", "HKLM A\\" + kHyo + " : C | A:" + kHyo + " :A"},
      // Read from the end, only the count of lead bytes before a 0x5C tells.
      {"even run of lead bytes", "HKLM\\\x95\x95\\C\\D", "HKLM \x95\x95\\C : D | \x95\x95:C :\x95\x95"},
      {"odd run of lead bytes", "HKLM\\\x95\x95\x95\\C\\D", "HKLM \x95\x95\x95\\C : D | :\x95\x95\x95\\C"},
  };
  for (const Case& c : cases) EXPECT_EQ(Erase(c.line), c.walk) << c.breaks;
}

TEST(RegistrySpan, CopyRefusesWhatWouldNotFit) {
  const char* line = "HKEY_USERS\\Key";
  char to[4] = "xyz";
  EXPECT_TRUE(setup::CopySpan(to, sizeof to, line, Span{11, 3}));
  EXPECT_STREQ(to, "Key");
  EXPECT_FALSE(setup::CopySpan(to, sizeof to, line, Span{0, 4}));
  EXPECT_STREQ(to, "");
}

}  // namespace
