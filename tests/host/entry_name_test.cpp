// The one rule on archive entry names that every unpacker and the builder
// share: what lands where below the target folder (absolute names too),
// and what is refused.
#include "entry_name.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::string Clean(const std::string& name, char separator = '/') {
  char clean[64];
  size_t length = 99;
  core::Result r = archive::CleanEntryName(name.data(), name.size(), separator, clean, &length);
  if (r != core::Result::kOk) {
    EXPECT_EQ(r, core::Result::kUnsafeName) << name;
    EXPECT_EQ(length, 0u) << name;
    return "<refused>";
  }
  EXPECT_EQ(std::string(clean), std::string(clean, length));
  return clean;
}

TEST(EntryName, HarmlessNamesLandBelowTheFolder) {
  struct Case {
    std::string name, clean;
  } cases[] = {
      {"a/b.txt", "a/b.txt"},
      {"a\\b.txt", "a/b.txt"},
      {"./a//b/", "a/b"},                      // empty and "." parts go
      {"\x95\x5C.txt", "\x95\x5C.txt"},        // "表.txt": its 0x5C is no separator
      {"\x95\x5C\\x", "\x95\x5C/x"},
      {"\x83\x7C.txt", "\x83\x7C.txt"},        // "ポ.txt": its 0x7C is no '|'
      {"COM10", "COM10"},
      {"console.txt", "console.txt"},
      {"..a", "..a"},
      {"a..", "a.."},
      {"LPT0", "LPT0"},
      // Absolute names land below the folder.
      {"/etc/passwd", "etc/passwd"},
      {"\\windows\\win.ini", "windows/win.ini"},
      {"//server/share/x", "server/share/x"},
      {"/Mounted Volume/sub/a.txt", "Mounted Volume/sub/a.txt"},
      {"C:autoexec.bat", "autoexec.bat"},
      {"c:\\Program Files\\x", "Program Files/x"},
  };
  for (const Case& c : cases) EXPECT_EQ(Clean(c.name), c.clean) << c.name;
  EXPECT_EQ(Clean("dir/sub/x", '\\'), "dir\\sub\\x");
}

TEST(EntryName, EveryUnsafeClassIsRefused) {
  struct Case {
    std::string name;
    const char* why;
  } cases[] = {
      {"", "empty"},
      {"/", "nothing left"},
      {"./", "nothing left"},
      {"C:", "a drive and nothing else"},
      {"C:\\..\\x", "climbs out after the drive"},
      {"/../evil.txt", "climbs out after the root"},
      {"x/C:", "drive letter inside"},
      {"1:x", "no letter before the colon"},
      {"\\C:\\x", "a drive after the leading separators is no prefix"},
      {"file.txt:stream", "alternate stream"},
      {"..", "the folder above"},
      {"../evil.txt", "climbs out"},
      {"a/../../evil.txt", "climbs out after going in"},
      {"a\\..", "ends one level up"},
      {"...", "dots only, read as .."},
      {". .", "dots and blanks"},
      {"x\\... \\up.txt", "dots and a blank inside"},
      {"a/b\\..\\c", "a 0x5C split hides .."},
      {"\xE9\\..\\x", "a lead byte cannot hide a separator before .."},
      {"CON", "device"},
      {"nul.txt", "device with an extension"},
      {"sub/Lpt1.log", "device inside a folder"},
      {"aux .txt", "device with a blank before the dot"},
      {"com9", "device"},
      {"CLOCK$", "device"},
      {"CONIN$", "device"},
      {"conout$.x", "device"},
      {"PRN.txt", "device"},
      {"a|b", "forbidden character"},
      {"a*b", "forbidden character"},
      {"a?b", "forbidden character"},
      {"a<b>c", "forbidden character"},
      {"a\"b", "forbidden character"},
      {"x\x01y", "control character"},
      {std::string("nul\0x", 5), "NUL inside"},
      {std::string("\x95\0", 2), "NUL after a lead byte"},
  };
  for (const Case& c : cases) EXPECT_EQ(Clean(c.name), "<refused>") << c.why << ": " << c.name;
}

}  // namespace
