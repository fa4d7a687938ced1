// Which paths setup may act on: full ones that climb nowhere, and plain
// relative names.
#include "setup/path_rules.h"

#include <gtest/gtest.h>

namespace {

TEST(PathRules, FullPaths) {
  struct Case {
    const char* path;
    size_t root;  // FullPathRoot
    bool full;    // IsFullPath
  } cases[] = {
      {"C:\\Program Files\\App", 3, true},
      {"c:/App/", 3, true},
      {"C:\\", 3, true},
      {"C:\\App\\\\x.txt", 3, true},  // %root%\x.txt: an empty part is one separator
      {"\\\\server\\share\\App", 15, true},
      {"\\\\server\\share", 14, true},
      {"C:\\App\\..\\Windows", 3, false},
      {"C:\\App\\...", 3, false},  // Windows drops the trailing dots: the folder itself
      {"C:\\App\\. .\\x", 3, false},
      {"C:\\App\\.hidden", 3, true},
      {"", 0, false},
      {"App", 0, false},
      {"\\App", 0, false},  // the current drive's root
      {"C:App", 0, false},  // the current folder of drive C
      {"C:", 0, false},
      {"1:\\x", 0, false},
      {"\\\\server", 0, false},
      {"\\\\server\\", 0, false},
      {"\\\\\\share\\x", 0, false},
      {"\\\\..\\share", 0, false},
      {"C:\\\x95\\\\x", 3, true},  // a trail byte 0x5C ends no part
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.path);
    EXPECT_EQ(setup::FullPathRoot(c.path), c.root);
    EXPECT_EQ(setup::IsFullPath(c.path), c.full);
  }
}

TEST(PathRules, RelativePathsThatStayBelowTheirFolder) {
  struct Case {
    const char* path;
    bool stays;
  } cases[] = {
      {"a.txt", true},        {"sub\\..\\a.txt", true}, {".\\a.txt", true},  {"\\x.txt", true},  // %root%\x.txt
      {"", true},             {"..\\*.*", false},        {"sub\\..\\..\\x", false}, {"...\\x", false},
      {". .\\x", false},      {"sub/../../x", false},     {"\x95\\..\\x", true},      {" .", true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.path);
    EXPECT_EQ(setup::StaysBelow(c.path), c.stays);
  }
}

TEST(PathRules, PlainRelativeNames) {
  struct Case {
    const char* name;
    bool plain;
  } cases[] = {
      {"Sample App", true},       {"Tools\\Editor", true},  {"My.App", true},    {"\x95\\", true},
      {"", false},                {".", false},             {"..", false},       {"Tools\\..", false},
      {"...", false},             {" . ", false},           {"\\", false},       {"\\Accessories", false},
      {"Tools\\\\Editor", false}, {"Tools\\", false},       {"C:Tools", false},  {"C:\\Tools", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(setup::IsPlainRelativePath(c.name), c.plain);
  }
}

}  // namespace
