// Setup.ini edited in memory: each edit changes only its own lines, as the
// private-profile calls do, and the counted lists setup records its
// installation in. (tests/win32/profile_api_test.cpp reads the results
// back through the calls.)
#include "ini/document.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <string>
#include <vector>

#include "heap_resize.h"
#include "ini/lists.h"
#include "setup/profile_limits.h"

namespace {

// Fails every request for memory after the first `g_allowed`.
int g_allowed;
void* Scarce(void* block, size_t bytes) {
  if (bytes && g_allowed-- <= 0) return nullptr;
  return HeapResize(block, bytes);
}

std::string Text(const profile::Document& d) { return std::string(d.bytes(), d.size()); }

TEST(ProfileDocument, EditsChangeOnlyTheirOwnLines) {
  struct Case {
    const char* what;
    std::string file;
    const char* section;
    const char* key;
    const char* value;
    std::string after;
  } cases[] = {
      {"a value replaced, the name kept as written", "; c\r\n[S]\r\n  Key =old\r\nb=2\r\n", "s", "key", "new",
       "; c\r\n[S]\r\n  Key =new\r\nb=2\r\n"},
      {"a key added after the section's last key", "[S]\r\na=1\r\n\r\n[T]\r\n", "S", "b", "2",
       "[S]\r\na=1\r\nb=2\r\n\r\n[T]\r\n"},
      {"a key added to an empty section", "[S]\r\n[T]\r\n", "S", "b", "2", "[S]\r\nb=2\r\n[T]\r\n"},
      {"a section added at the end, after a last line without an end", "[S]\r\na=1", "N", "k", "v",
       "[S]\r\na=1\r\n[N]\r\nk=v\r\n"},
      {"new lines end as the file's do", "[S]\na=1\n", "S", "b", "2", "[S]\na=1\nb=2\n"},
      {"a key written into an empty file", "", "S", "k", "v", "[S]\r\nk=v\r\n"},
      {"the first of two keys is the one changed", "[S]\r\na=1\r\nA=2\r\n", "S", "A", "3", "[S]\r\na=3\r\nA=2\r\n"},
      {"a key removed with its line end", "[S]\r\na=1\r\nb=2\r\n", "S", "a", nullptr, "[S]\r\nb=2\r\n"},
      {"removing what is missing changes nothing", "[S]\r\na=1\r\n", "T", "a", nullptr, "[S]\r\na=1\r\n"},
      {"every section of the name goes", "[S]\r\na=1\r\n[T]\r\nb=2\r\n[s]\r\nc=3\r\n", "S", nullptr, nullptr,
       "[T]\r\nb=2\r\n"},
      {"a value after a byte-order mark", "\xEF\xBB\xBF[S]\r\na=1\r\n", "S", "a", "2", "\xEF\xBB\xBF[S]\r\na=2\r\n"},
      {"double-byte names are kept byte for byte", "[S]\r\n\x95\x5C=1\r\n", "S", "\x95\x5C", "\x83\x5C",
       "[S]\r\n\x95\x5C=\x83\x5C\r\n"},
  };
  for (const Case& c : cases) {
    profile::Document d(HeapResize);
    ASSERT_TRUE(d.Load(c.file.data(), c.file.size()));
    EXPECT_TRUE(d.Write(c.section, c.key, c.value)) << c.what;
    EXPECT_EQ(Text(d), c.after) << c.what;
    if (c.key && c.value) {
      EXPECT_EQ(d.Number(c.section, c.key, -1), atoi(c.value)) << c.what;
    }
  }
}

TEST(ProfileDocument, ASectionIsReplacedUpToItsLastKey) {
  profile::Document d(HeapResize);
  std::string file = "[A]\r\nx=1\r\n[L]\r\n0=old\r\nCount=1\r\n\r\n; next\r\n[B]\r\ny=2";
  ASSERT_TRUE(d.Load(file.data(), file.size()));
  ASSERT_TRUE(d.ReplaceSection("L", "0=a\r\n1=b\r\nCount=2\r\n"));
  EXPECT_EQ(Text(d), "[A]\r\nx=1\r\n[L]\r\n0=a\r\n1=b\r\nCount=2\r\n\r\n; next\r\n[B]\r\ny=2");
  ASSERT_TRUE(d.ReplaceSection("M", "Count=0\r\n"));
  EXPECT_EQ(d.Number("M", "Count", -1), 0);
  EXPECT_EQ(d.Number("B", "y", -1), 2);
}

TEST(ProfileDocument, WithoutMemoryNothingChanges) {
  std::string file = "[S]\r\na=1\r\n";
  for (int allowed = 0; allowed < 4; ++allowed) {
    profile::Document d(Scarce);
    g_allowed = 2;
    ASSERT_TRUE(d.Load(file.data(), file.size()));
    g_allowed = allowed;
    bool written = d.Write("S", "b", std::string(5000, 'x').c_str());
    EXPECT_EQ(Text(d), written ? "[S]\r\na=1\r\nb=" + std::string(5000, 'x') + "\r\n" : file) << allowed;
    EXPECT_EQ(d.Number("S", "a", -1), 1);
  }
}

TEST(ProfileLists, AppendRemoveAndMergeKeepOrderAndCount) {
  profile::Document d(HeapResize);
  std::string file = "[Root]\r\nNamed=C:\\App\r\n";
  ASSERT_TRUE(d.Load(file.data(), file.size()));
  for (const char* path : {"C:\\a", "C:\\b", "c:\\A", "C:\\c"}) ASSERT_TRUE(profile::Append(&d, "L", path));
  EXPECT_EQ(profile::CountOf(d, "L"), 4);
  EXPECT_TRUE(profile::IsListed(d, "L", "C:\\C", profile::Compare::kNoCase));
  EXPECT_FALSE(profile::IsListed(d, "L", "C:\\C", profile::Compare::kExact));
  // The second byte of a double-byte character is no letter to fold.
  ASSERT_TRUE(profile::Append(&d, "L", "\x82\x61"));
  EXPECT_FALSE(profile::IsListed(d, "L", "\x82\x41", profile::Compare::kNoCase));

  ASSERT_TRUE(profile::RemoveFromList(&d, "L", "C:\\A", profile::Compare::kNoCase));
  EXPECT_EQ(Text(d), "[Root]\r\nNamed=C:\\App\r\n[L]\r\n0=C:\\b\r\n1=C:\\c\r\n2=\x82\x61\r\nCount=3\r\n");

  profile::Document earlier(HeapResize);
  std::string old = "[L]\r\n0=C:\\old\r\n1=C:\\b\r\n2=\r\n3=C:\\old\r\nCount=4\r\n";
  ASSERT_TRUE(earlier.Load(old.data(), old.size()));
  ASSERT_TRUE(profile::MergeList(earlier, &d, "L"));
  EXPECT_EQ(Text(d), "[Root]\r\nNamed=C:\\App\r\n[L]\r\n0=C:\\b\r\n1=C:\\c\r\n2=\x82\x61\r\n3=C:\\old\r\nCount=4\r\n");

  for (const char* path : {"C:\\b", "C:\\c", "\x82\x61", "C:\\old"})
    ASSERT_TRUE(profile::RemoveFromList(&d, "L", path, profile::Compare::kExact));
  EXPECT_EQ(Text(d), "[Root]\r\nNamed=C:\\App\r\n");
}

// The section text setup writes a list as: entries from 0, the count last.
TEST(ProfileLists, ListTextEndsWithItsCount) {
  struct Case {
    const char* what;
    std::vector<std::string> values;
    const char* lineEnd;
    const char* text;
  } cases[] = {
      {"an empty list still counts", {}, "\r\n", "Count=0\r\n"},
      {"entries as given", {"a", "C:\\b c"}, "\r\n", "0=a\r\n1=C:\\b c\r\nCount=2\r\n"},
      {"the file's own line end", {"a"}, "\n", "0=a\nCount=1\n"},
      {"a count of two digits", std::vector<std::string>(10, "x"), "\n",
       "0=x\n1=x\n2=x\n3=x\n4=x\n5=x\n6=x\n7=x\n8=x\n9=x\nCount=10\n"},
  };
  for (const Case& c : cases) {
    profile::ListText list(HeapResize, c.lineEnd);
    for (const std::string& v : c.values) ASSERT_TRUE(list.Add(v.data(), v.size())) << c.what;
    const char* text = list.Finish();
    ASSERT_NE(text, nullptr) << c.what;
    EXPECT_STREQ(text, c.text) << c.what;
  }
  // The count line is the one that needs more memory than there is.
  g_allowed = 1;
  profile::ListText list(Scarce, "\n");
  std::string value(4090, 'x');
  ASSERT_TRUE(list.Add(value.data(), value.size()));
  EXPECT_EQ(list.Finish(), nullptr);
}

TEST(ProfileLists, ThreeThousandRecordsRoundTrip) {
  auto path = [](int k) { return "C:\\Program Files\\App\\data\\file" + std::to_string(k) + ".dat"; };
  profile::Document fresh(HeapResize), earlier(HeapResize);
  ASSERT_TRUE(fresh.Load("", 0));
  ASSERT_TRUE(earlier.Load("", 0));
  profile::ListText list(HeapResize, "\r\n"), old(HeapResize, "\r\n");
  for (int k = 0; k < 3000; ++k) {
    std::string p = path(k);
    list.Add(p.data(), p.size());
    if (k % 2) old.Add(p.data(), p.size());
  }
  std::string gone = path(-1);
  old.Add(gone.data(), gone.size());
  ASSERT_TRUE(fresh.ReplaceSection("CopiedFile", list.Finish()));
  ASSERT_TRUE(earlier.ReplaceSection("CopiedFile", old.Finish()));
  ASSERT_TRUE(profile::MergeList(earlier, &fresh, "CopiedFile"));
  ASSERT_EQ(profile::CountOf(fresh, "CopiedFile"), 3001);
  char value[300];
  for (int k = 0; k < 3000; ++k) {
    fresh.Read("CopiedFile", std::to_string(k).c_str(), value, sizeof value);
    ASSERT_EQ(value, path(k));
  }
  fresh.Read("CopiedFile", "3000", value, sizeof value);
  EXPECT_EQ(value, gone);
}

TEST(ProfileLimits, TheNinetyFiveFamilysCallsKeepAFileWithinOneSection) {
  struct Case {
    uint32_t size, adding;
    bool within;
  } cases[] = {
      {0, 0, true},          {32768, 0, true},   {32767, 1, true},           {32768, 1, false},
      {40000, 0, false},     {100, 32668, true}, {100, 0xFFFFFFFFu, false},  {0xFFFFFFFFu, 1, false},
  };
  for (const Case& c : cases)
    EXPECT_EQ(setup::WithinProfileCalls95(c.size, c.adding), c.within) << c.size << " + " << c.adding;
  // Ten files of 20 bytes below a 30-byte folder: their lines and as many
  // folders' lines.
  EXPECT_EQ(setup::RecordBytesBound(10, 200, 30), 2u * (200 + 10 * 46));
}

}  // namespace
