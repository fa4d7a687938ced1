// Scanning code page 932 text: separators that are trail bytes, splitting
// and joining paths, and numbers read the way atoi reads them.
#include <gtest/gtest.h>

#include <limits.h>

#include <string>

#include "text.h"

namespace {

// "表" is 0x95 0x5C and "ソ" 0x83 0x5C: their second byte is '\\'.
const std::string kHyo = "\x95\x5C";
const std::string kSo = "\x83\x5C";

bool NoLeadBytes(uint8_t) { return false; }

std::string Offset(const char* text, const char* at) { return at ? std::to_string(at - text) : "none"; }

TEST(Text, SearchesTakeNoTrailByteForTheCharacter) {
  struct Case {
    std::string text;
    char c;
    const char* first;
    const char* last;
    bool endsWith;
  } cases[] = {
      {"C:\\" + kHyo + "\\x", '\\', "2", "5", false},
      {"C:\\" + kHyo, '\\', "2", "2", false},  // ends with the trail byte, not a separator
      {kSo + kHyo + "\\", '\\', "4", "4", true},
      {kHyo + kHyo, '\\', "none", "none", false},
      {"%pro" + kSo + "%rest", '%', "0", "6", false},
      {"a|" + kHyo, '|', "1", "1", false},
      {"\x95", '\\', "none", "none", false},  // a lead byte alone at the end is a character
      {"", '\\', "none", "none", false},
      {"\\", '\\', "0", "0", true},
      {"ab\\\\", '\\', "2", "3", true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    const char* t = c.text.c_str();
    EXPECT_EQ(Offset(t, text::FindFirst(t, c.c)), c.first);
    EXPECT_EQ(Offset(t, text::FindLast(t, c.c)), c.last);
    EXPECT_EQ(text::EndsWith(t, c.c), c.endsWith);
  }
  // Without double-byte characters (another ANSI code page) every 0x5C counts.
  std::string path = "C:\\" + kHyo;
  EXPECT_EQ(Offset(path.c_str(), text::FindLast(path.c_str(), '\\', NoLeadBytes)), "4");
  EXPECT_TRUE(text::EndsWith(path.c_str(), '\\', NoLeadBytes));
}

TEST(Text, SplitPathGivesDriveFolderNameAndExtension) {
  struct Case {
    std::string path, drive, folder, name, extension;
  } cases[] = {
      {"C:\\Program Files\\App\\setup.exe", "C:", "\\Program Files\\App\\", "setup", ".exe"},
      {"C:\\" + kHyo + "\\" + kHyo + ".txt", "C:", "\\" + kHyo + "\\", kHyo, ".txt"},
      {"C:\\dir\\" + kHyo, "C:", "\\dir\\", kHyo, ""},
      {"\\\\server\\share\\a.b.c", "", "\\\\server\\share\\", "a.b", ".c"},  // only a letter makes a drive
      {"readme", "", "", "readme", ""},
      {"dir.d\\name", "", "dir.d\\", "name", ""},
      {"a/b/c.txt", "", "a/b/", "c", ".txt"},
      {"C:", "C:", "", "", ""},
      {"", "", "", "", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.path);
    text::PathParts parts = text::SplitPath(c.path.c_str());
    EXPECT_EQ(c.path.substr(0, parts.folder), c.drive);
    EXPECT_EQ(c.path.substr(parts.folder, parts.name - parts.folder), c.folder);
    EXPECT_EQ(c.path.substr(parts.name, parts.extension - parts.name), c.name);
    EXPECT_EQ(c.path.substr(parts.extension, parts.end - parts.extension), c.extension);
  }
}

TEST(Text, JoinPathPutsOneBackslashBetweenAndRefusesWhatWouldNotFit) {
  struct Case {
    std::string path, name, joined;
  } cases[] = {
      {"C:\\App", "bin\\a.exe", "C:\\App\\bin\\a.exe"},
      {"C:\\", "a.exe", "C:\\a.exe"},
      {"", "a.exe", "a.exe"},
      {"C:\\" + kHyo, "a", "C:\\" + kHyo + "\\a"},  // its 0x5C is no separator
      {"C:\\App", "\\x", "C:\\App\\\\x"},          // the name is taken as written
  };
  for (const Case& c : cases) {
    char buffer[260];
    snprintf(buffer, sizeof buffer, "%s", c.path.c_str());
    EXPECT_TRUE(text::JoinPath(buffer, sizeof buffer, c.name.c_str()));
    EXPECT_EQ(buffer, c.joined);
  }
  // 259 characters fit a 260-byte buffer; one more empties it.
  char buffer[260];
  std::string base(250, 'a');
  snprintf(buffer, sizeof buffer, "%s", base.c_str());
  EXPECT_TRUE(text::JoinPath(buffer, sizeof buffer, "12345678"));
  EXPECT_EQ(strlen(buffer), 259u);
  snprintf(buffer, sizeof buffer, "%s", base.c_str());
  EXPECT_FALSE(text::JoinPath(buffer, sizeof buffer, "123456789"));
  EXPECT_STREQ(buffer, "");
}

TEST(Text, CopyCutNeverSplitsACharacter) {
  char small[4];
  EXPECT_FALSE(text::CopyCut(small, sizeof small, ("ab" + kHyo).c_str()));
  EXPECT_STREQ(small, "ab");
  EXPECT_TRUE(text::CopyCut(small, sizeof small, "abc"));
  EXPECT_STREQ(small, "abc");
  EXPECT_FALSE(text::CopyCut(small, sizeof small, "abcd"));
  EXPECT_STREQ(small, "abc");
}

TEST(Text, ReadIntReadsAsAtoiDoes) {
  struct Case {
    const char* text;
    int value;
    size_t taken;
  } cases[] = {
      {"42", 42, 2},        {"  -17,3", -17, 5},  {"+8x", 8, 2},        {"\t\r\n 5", 5, 5},
      {"", 0, 0},           {"x1", 0, 0},         {"-", 0, 0},          {" %25", 0, 0},
      {"007", 7, 3},        {"2147483647", INT_MAX, 10},                {"2147483648", INT_MAX, 10},
      {"-2147483648", INT_MIN, 11},               {"-99999999999999999999", INT_MIN, 21},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    const char* end = nullptr;
    EXPECT_EQ(text::ReadInt(c.text, &end), c.value);
    EXPECT_EQ(static_cast<size_t>(end - c.text), c.taken);
  }
}

TEST(Text, CaseIsIgnoredForAsciiLettersOnly) {
  EXPECT_TRUE(text::EqualNoCase("[shell]", "[SHELL]"));
  EXPECT_FALSE(text::EqualNoCase("[shell]", "[shel]"));
  EXPECT_FALSE(text::EqualNoCase("\xE0", "\xC0"));  // no letters outside ASCII
  EXPECT_TRUE(text::StartsWithNoCase("%SYSTEM%\\x.dll", "%system%"));
  EXPECT_FALSE(text::StartsWithNoCase("%systemx", "%system%"));
}

// Code page 932 text and UTF-8 text told apart: Japanese in one is almost
// never well-formed in the other.
TEST(Text, CodePage932AndUtf8AreToldApart) {
  struct Case {
    std::string bytes;
    size_t nonCp932;  // where FindNonCp932 stops
    bool utf8;
  } cases[] = {
      {"plain ASCII", 11, true},
      {"\x83\x41\x83\x76\x83\x8A", 6, false},  // "アプリ" in code page 932
      {"\xB2\xDD\xBD\xC4", 4, false},              // half-width "ｲﾝｽﾄ"
      {kHyo + "\\", 3, false},
      {"\xE3\x82\xA2\xE3\x83\x97", 5, true},      // "アプ" in UTF-8: ends in a lead byte
      {"\xE2\x80\x94 dash", 2, true},               // "—" in UTF-8: a blank is no trail byte
      {"x\x80", 1, false},
      {"x\xA0", 1, false},
      {"\xFD", 0, false},
      {"ab\x83", 2, false},  // a lead byte at the end
      {"\x83\x7F", 0, false},  // 0x7F is no trail byte
      {"\xC3", 1, false},   // half-width katakana in code page 932, a cut sequence in UTF-8
      {"\xF0\x9F\x98\x80", 4, true},  // an emoji in UTF-8: two characters of code page 932
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.bytes);
    EXPECT_EQ(text::FindNonCp932(c.bytes.data(), c.bytes.size()), c.nonCp932);
    EXPECT_EQ(text::IsUtf8(c.bytes.data(), c.bytes.size()), c.utf8);
  }
}

}  // namespace
