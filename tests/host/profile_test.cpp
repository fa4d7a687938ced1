// The private-profile reader: what the calls return for a key, and the
// lines that give none. The expected values are those GetPrivateProfile-
// StringA and GetPrivateProfileIntA return under Wine for the same bytes
// (tests/win32/profile_api_test.cpp asks the calls themselves).
#include "ini/reader.h"

#include <gtest/gtest.h>
#include <limits.h>

#include <string>

#include "heap_resize.h"
#include "ini/document.h"

namespace {

// What the calls would return: the value, or "-" when the key is missing.
// The document that setup reads with answers the same.
std::string Read(const std::string& file, const char* section, const char* key) {
  profile::Profile p(file.data(), file.size());
  const profile::Entry* entry = p.Find(section, key);
  std::string value = entry ? entry->value : "-";
  profile::Document document(HeapResize);
  EXPECT_TRUE(document.Load(file.data(), file.size()));
  const char* found;
  size_t length;
  EXPECT_EQ(document.Find(section, key, &found, &length) ? std::string(found, length) : "-", value) << file;
  return value;
}

TEST(Profile, ReadsKeysAsThePrivateProfileCallsDo) {
  struct Case {
    const char* what;
    std::string file;
    const char* section;
    const char* key;
    const char* value;
  } cases[] = {
      {"blanks around names and values", "[ Sec ]\r\n \ta b  =  v \t\r\n", "Sec", "a b", "v"},
      {"names in any case", "[s]\r\nNAME=1\r\n", "S", "name", "1"},
      {"the name runs to the last bracket", "[Sec]x]\r\nk=v\r\n", "Sec]x", "k", "v"},
      {"the first section of a name wins", "[S]\r\na=1\r\n[s]\r\nb=2\r\n", "S", "b", "-"},
      {"the first key of a name wins", "[S]\r\na=1\r\nA=2\r\n", "S", "a", "1"},
      {"only the outer pair of quotes goes", "[S]\r\na=\"app.exe\" \"%1\"\r\n", "S", "a", "app.exe\" \"%1"},
      {"quotes that differ stay", "[S]\r\na=\"w'\r\n", "S", "a", "\"w'"},
      {"a comment line gives no key", "[S]\r\n;k=v\r\n", "S", "k", "-"},
      {"'=' in a value", "[S]\r\na=b=c\r\n", "S", "a", "b=c"},
      {"an empty name", "[S]\r\n=v\r\n", "S", "", "v"},
      {"carriage returns alone", "[S]\ra=1\rb=2\r", "S", "b", "2"},
      {"a NUL ends the line's text", std::string("[S]\r\na=x\0y\r\nb=2\r\n", 16), "S", "a", "x"},
      {"... and the next line is read", std::string("[S]\r\na=x\0y\r\nb=2\r\n", 16), "S", "b", "2"},
      {"a UTF-8 byte-order mark is passed over", "\xEF\xBB\xBF[S]\r\na=1\r\n", "S", "a", "1"},
      {"an empty file", "", "S", "a", "-"},
  };
  for (const Case& c : cases) EXPECT_EQ(Read(c.file, c.section, c.key), c.value) << c.what;
}

TEST(Profile, LinesThatGiveNoKeyAreNamed) {
  const std::string file =
      "k=v\r\n"         // 1: before the first section
      "[S]\r\n"         // 2
      "; comment\r\n"   // 3
      "\r\n"            // 4
      "   \t\r\n"       // 5
      "no equals\r\n"   // 6
      "[T\r\n"          // 7: joins [S]
      "a=1\r\n"         // 8
      "[T=x\r\n";       // 9: a key named "[T"
  profile::Profile p(file.data(), file.size());
  ASSERT_EQ(p.strays().size(), 3u);
  EXPECT_EQ(p.strays()[0].kind, profile::Stray::kOutsideSection);
  EXPECT_EQ(p.strays()[0].line, 1u);
  EXPECT_EQ(p.strays()[1].kind, profile::Stray::kNoEquals);
  EXPECT_EQ(p.strays()[1].line, 6u);
  EXPECT_EQ(p.strays()[2].kind, profile::Stray::kUnclosedHeader);
  EXPECT_EQ(p.strays()[2].line, 7u);
  ASSERT_EQ(p.sections().size(), 1u);
  EXPECT_EQ(p.String("S", "a"), "1");
  EXPECT_EQ(p.Find("S", "a")->line, 8u);
  EXPECT_EQ(p.String("S", "[T"), "x");
}

TEST(Profile, NumbersReadAsGetPrivateProfileIntReadsThem) {
  struct Case {
    const char* value;
    int number;
    bool digits;
  } cases[] = {
      {"  -5x", -5, true}, {"+3", 3, true},   {"", 77, false},         {"abc", 0, false},
      {"12 ", 12, true},   {"4294967297", 1, true}, {"4294967295", -1, true},
      {"2147483648", INT_MIN, true},          {"-2147483649", INT_MAX, true},
  };
  for (const Case& c : cases) {
    bool digits;
    EXPECT_EQ(profile::ReadProfileInt(c.value, 77, &digits), c.number) << c.value;
    EXPECT_EQ(digits, c.digits) << c.value;
  }
  const std::string file = "[S]\r\nq=\"7\"\r\ne=\r\n";
  profile::Profile p(file.data(), file.size());
  EXPECT_EQ(p.Int("S", "q", 9), 7);  // the quotes go first
  profile::Document document(HeapResize);
  ASSERT_TRUE(document.Load(file.data(), file.size()));
  EXPECT_EQ(document.Number("S", "q", 9), 7);
  EXPECT_EQ(document.Number("S", "e", 9), 9);
  EXPECT_EQ(document.Number("S", "none", 9), 9);
  EXPECT_EQ(p.Int("S", "e", 9), 9);
  EXPECT_EQ(p.Int("S", "missing", 9), 9);
}

TEST(Profile, LineNumbersFollowEveryKindOfLineEnd) {
  const std::string file = "a\r\nb\nc\rd\r\r\ne";
  profile::LineReader reader(file.data(), file.size());
  profile::Line line;
  std::string seen;
  while (reader.Next(&line)) seen += std::to_string(line.number) + ":" + std::string(line.text, line.length) + " ";
  EXPECT_EQ(seen, "1:a 2:b 3:c 4:d 5: 6:e ");
}

}  // namespace
