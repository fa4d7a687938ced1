// Registry lines: the root, keys and value of a Make line; the split and
// the upward walk of an Erase line.
#include <gtest/gtest.h>

#include <string>

#include "setup/registry_line.h"

// "表": its trail byte is '\\'.
#define HYO "\x95\x5C"

namespace {

using setup::Span;

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
  const char* const cases[][3] = {  // breaks, line, walk
      {"case of the root name", "hkey_current_user\\Software\\App", "HKCU +Software +App"},
      {"classes root", "HKEY_CLASSES_ROOT\\a", "HKCR +a"}, {"config", "HKEY_CURRENT_CONFIG\\a", "HKCC +a"},
      {"performance", "HKEY_PERFORMANCE_DATA\\a", "HKPD +a"}, {"dyn data", "HKEY_DYN_DATA\\a", "HKDD +a"},
      {"machine by name", "HKEY_LOCAL_MACHINE\\a", "HKLM +a"}, {"HKLM is no name", "HKLM\\a", "HKLM +a"},
      {"longer root name", "HKEY_USERSX\\a", "HKLM +a"}, {"shorter root name", "HKEY_USER\\a", "HKLM +a"},
      {"no backslash", "HKEY_CURRENT_USER", "skipped"}, {"root alone", "HKEY_USERS\\", "HKU"},
      {"keys only", "HKEY_USERS\\A\\B", "HKU +A +B"}, {"trailing backslash", "HKEY_USERS\\A\\B\\", "HKU +A +B"},
      {"named value", "HKEY_USERS\\A\\B\\\\Name\\Data", "HKU +A +B [Name]=Data"},
      {"default value", "HKEY_USERS\\Key\\\\\\Data", "HKU +Key []=Data"},
      {"backslashes in the data", "HKEY_USERS\\A\\\\P\\!C:\\x\\\\y\\", "HKU +A [P]=!C:\\x\\\\y\\"},
      {"value in the root", "HKEY_USERS\\\\Name\\Data", "HKU [Name]=Data"},
      {"value name without data", "HKEY_USERS\\A\\\\Name", "HKU +A"},
      {"trail byte in a key", "HKEY_USERS\\A" HYO "\\B", "HKU +A" HYO " +B"},
      {"trail byte before a doubled backslash", "HKEY_USERS\\" HYO "\\\\N\\D", "HKU +" HYO " [N]=D"},
      {"trail byte in the value name", "HKEY_USERS\\A\\\\" HYO "\\D", "HKU +A [" HYO "]=D"},
      {"trail byte in the root name", HYO "\\A", "HKLM +A"},
  };
  for (const auto& c : cases) EXPECT_EQ(Make(c[1]), c[2]) << c[0];
  // Another code page's test is honoured: without lead bytes every 0x5C cuts.
  EXPECT_EQ(Make("HKEY_USERS\\A" HYO "B", NoLeadBytes), "HKU +A\x95 +B");
}

// "HKCU A\B : C | A:B :A": root, parent, last segment, then each (key,
// name) of the upward walk.
std::string Erase(const std::string& line) {
  setup::EraseLine erase;
  setup::EraseVerdict verdict = setup::SplitEraseLine(line.c_str(), &erase);
  if (verdict != setup::EraseVerdict::kUsable)
    return verdict == setup::EraseVerdict::kNoBackslash ? "skipped" : "refused";
  std::string out = RootName(erase.root) + " " + Piece(line, erase.parent) + " : " + Piece(line, erase.last) + " |";
  EXPECT_EQ(Piece(line, erase.path), line.substr(line.find('\\') + 1));
  setup::EmptiedAncestors walk(line.c_str(), erase);
  Span below, name;
  while (walk.Next(&below, &name)) out += " " + Piece(line, below) + ":" + Piece(line, name);
  return out;
}

TEST(RegistryEraseLine, SplitAndEmptiedAncestors) {
  const char* const cases[][3] = {  // breaks, line, walk
      {"deep key", "HKEY_CURRENT_USER\\Software\\Maker\\App\\Key",
       "HKCU Software\\Maker\\App : Key | Software\\Maker:App Software:Maker :Software"},
      {"two segments", "hkey_users\\A\\B", "HKU A : B | :A"},
      {"single segment: the root is its parent", "HKEY_USERS\\Maker", "HKU  : Maker |"},
      {"no backslash", "HKEY_USERS", "skipped"}, {"root alone", "HKEY_USERS\\", "refused"},
      {"trailing backslash", "HKEY_USERS\\A\\", "refused"}, {"doubled", "HKEY_USERS\\A\\\\B", "refused"},
      {"leading empty segment", "HKEY_USERS\\\\A", "refused"},
      {"trail byte in the last segment", "HKLM\\A\\" HYO, "HKLM A : " HYO " | :A"},
      {"trail byte in an ancestor", "HKLM\\A\\" HYO "\\C", "HKLM A\\" HYO " : C | A:" HYO " :A"},
      // Read from the end, only the count of lead bytes before a 0x5C tells.
      {"even run of lead bytes", "HKLM\\\x95\x95\\C\\D", "HKLM \x95\x95\\C : D | \x95\x95:C :\x95\x95"},
      {"odd run of lead bytes", "HKLM\\\x95\x95\x95\\C\\D", "HKLM \x95\x95\x95\\C : D | :\x95\x95\x95\\C"},
  };
  for (const auto& c : cases) EXPECT_EQ(Erase(c[1]), c[2]) << c[0];
  char to[4] = "xyz";  // a span too long for its buffer is refused, not cut
  EXPECT_FALSE(setup::CopySpan(to, sizeof to, "HKEY_USERS", Span{0, 4}));
  EXPECT_STREQ(to, "");
}

}  // namespace
