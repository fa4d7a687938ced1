// The read-me page list: headers, button lines, where a page starts and
// which buttons it sets.
#include "draw/readme_pages.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Lines = std::vector<const char*>;

TEST(ReadmePages, HeaderAndButtonLinesAreRead) {
  struct Case {
    const char* line;
    const char* read;  // "page ID", "buttonN TARGET [CAPTION]" or "-"
  } cases[] = {
      {"page,install", "page -1"},      {"PAGE,VersionUp", "page -2"},  {"page,UNINSTALL", "page -3"},
      {"page,none", "page -4"},         {"page, install", "page 0"},    {"page,installer", "page 0"},
      {"page,12 x", "page 12"},         {"page,-3", "page -3"},         {"page", "-"},
      {"pages,1", "-"},                 {" page,1", "-"},               {"button1", "-"},
      {"button4,1", "-"},               {"button1,", "button0 0"},      {nullptr, "-"},
      {"button1,install", "button0 -1"},                                {"Button2,VersionUpNow,Next", "button1 -2 [Next]"},
      {"button3,uninstall,Remove", "button2 -3 [Remove]"},              {"button1,NoneSuch,x", "button0 -4 [x]"},
      {"button1,-9,Hidden", "button0 -9 [Hidden]"},                     {"button2,5,Go, on", "button1 5 [Go, on]"},
      {"button3,1,", "button2 1 []"}};
  for (const Case& c : cases) {
    std::string read = "-";
    int id;
    readme::ButtonLine b;
    if (readme::ReadHeader(c.line, &id)) read = "page " + std::to_string(id);
    if (readme::ReadButton(c.line, &b))
      read = "button" + std::to_string(b.button) + " " + std::to_string(b.target) +
             (b.caption ? " [" + std::string(b.caption) + "]" : "");
    EXPECT_EQ(read, c.read) << (c.line ? c.line : "(null)");
  }
}

TEST(ReadmePages, APageStartsBehindItsHeaderOrAtLineOne) {
  const Lines book = {"page,1", "fill,1", "page,install", "fill,2", "page, install", "page", "page,-4", "page,1"};
  struct Case {
    const char* what;
    Lines lines;
    int id;
    size_t start;
  } cases[] = {
      {"first header of the id", book, 1, 1},
      {"install", book, readme::kInstall, 3},
      {"blank before the word reads 0", book, 0, 5},
      {"none", book, readme::kNone, 7},
      {"no header matches", book, 2, 1},
      {"only headers for 1 and 2, install wanted", {"page,1", "a,1", "page,2"}, readme::kInstall, 1},
      {"one line, nothing matches", {"fill,1"}, readme::kInstall, 1},
      {"empty list", {}, readme::kInstall, 0},
      {"missing lines are empty", {nullptr, nullptr, "page,3"}, 3, 3},
  };
  for (const Case& c : cases) EXPECT_EQ(readme::FindPageStart(c.lines.data(), c.lines.size(), c.id), c.start) << c.what;
}

TEST(ReadmePages, APageSetsItsButtonsUpToTheNextHeader) {
  const Lines lines = {"page,-1", "button1,2,Next", "button3,none,Not shown", "page", "button2,-3", "button1,0",
                       nullptr,   "page,2",         "button2,1,Other page"};
  readme::PageButtons b;
  EXPECT_EQ(readme::ReadPageButtons(lines.data(), lines.size(), 1, &b), 7u);
  EXPECT_EQ(b.target[0], 0);  // the later line wins; its missing caption keeps "Next"
  EXPECT_STREQ(b.caption[0], "Next");
  EXPECT_EQ(b.target[1], readme::kUninstall);
  EXPECT_EQ(b.caption[1], nullptr);
  EXPECT_EQ(b.target[2], readme::kNone);  // hidden, but its caption is still set
  EXPECT_STREQ(b.caption[2], "Not shown");
  EXPECT_TRUE(readme::IsShown(b.target[0]) && readme::IsShown(b.target[1]) && !readme::IsShown(b.target[2]));
  EXPECT_FALSE(readme::IsShown(-5));
  // The last page runs to the end; a start beyond the end sets nothing.
  EXPECT_EQ(readme::ReadPageButtons(lines.data(), lines.size(), 8, &b), lines.size());
  EXPECT_EQ(b.target[1], 1);
  EXPECT_EQ(readme::ReadPageButtons(lines.data(), lines.size(), 99, &b), lines.size());
  EXPECT_EQ(b.target[1], readme::kNone);
}

}  // namespace
