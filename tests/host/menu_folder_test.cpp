// Which folder an application's start menu lies in, and when it has none.
#include "setup/menu_folder.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using setup::MenuFolder;

const char kPrograms[] = "C:\\Menu\\Programs";

TEST(MenuFolder, NamedNameAndPrograms) {
  struct Case {
    const char* named;
    const char* name;
    const char* programs;
    MenuFolder kind;
    const char* folder;
  } cases[] = {
      {"C:\\Menus\\App", "Tools", kPrograms, MenuFolder::kNamed, "C:\\Menus\\App"},
      {"C:\\Menus\\App", "..\\x", kPrograms, MenuFolder::kNamed, "C:\\Menus\\App"},  // Name unused
      {"C:\\Menus\\App", "Tools", "", MenuFolder::kNamed, "C:\\Menus\\App"},         // no Programs needed
      {"\\\\server\\share\\App", "", kPrograms, MenuFolder::kNamed, "\\\\server\\share\\App"},
      {"", "Tools\\Viewer", kPrograms, MenuFolder::kBelowPrograms, "C:\\Menu\\Programs\\Tools\\Viewer"},
      {"", "Programs", kPrograms, MenuFolder::kBelowPrograms, "C:\\Menu\\Programs\\Programs"},
      {"", "Tools", "C:\\", MenuFolder::kBelowPrograms, "C:\\Tools"},
      {"", "", kPrograms, MenuFolder::kPrograms, kPrograms},
      {"", "Tools", "", MenuFolder::kNone, ""},
      {"", "", "", MenuFolder::kNone, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.named) + " | " + c.name + " | " + c.programs);
    char out[260] = "#";
    EXPECT_EQ(setup::ComposeMenuFolder(out, sizeof out, c.named, c.name, c.programs), c.kind);
    EXPECT_STREQ(out, c.folder);
  }
}

// A Named that depends on the current folder is passed over; a Name that
// would put the menu elsewhere than in a folder of its own below Programs
// gives no menu, so that removing it takes nothing that is not its own.
TEST(MenuFolder, RefusedNamedAndNames) {
  struct Case {
    const char* named;
    const char* name;
    MenuFolder kind;
    const char* folder;
  } cases[] = {
      {"Menus\\App", "Tools", MenuFolder::kBelowPrograms, "C:\\Menu\\Programs\\Tools"},
      {"\\Menus\\App", "", MenuFolder::kPrograms, kPrograms},
      {"C:\\Menus\\..\\..", "Tools", MenuFolder::kBelowPrograms, "C:\\Menu\\Programs\\Tools"},
      {"", "..", MenuFolder::kNone, ""},
      {"", "..\\Startup", MenuFolder::kNone, ""},
      {"", "Tools\\..\\..", MenuFolder::kNone, ""},
      {"", "\\Tools", MenuFolder::kNone, ""},
      {"", "Tools\\", MenuFolder::kNone, ""},
      {"", "Tools\\\\Viewer", MenuFolder::kNone, ""},
      {"", "C:\\Tools", MenuFolder::kNone, ""},
      {"", "a:b", MenuFolder::kNone, ""},
      {"", ". .", MenuFolder::kNone, ""},
      {"", "\x95\\", MenuFolder::kBelowPrograms, "C:\\Menu\\Programs\\\x95\\"},  // a trail byte 0x5C
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.named) + " | " + c.name);
    char out[260] = "#";
    EXPECT_EQ(setup::ComposeMenuFolder(out, sizeof out, c.named, c.name, kPrograms), c.kind);
    EXPECT_STREQ(out, c.folder);
  }
}

TEST(MenuFolder, WhatWouldNotFitIsNone) {
  std::string programs = "C:\\" + std::string(250, 'p');
  std::string named259 = "C:\\" + std::string(256, 'n');
  struct Case {
    std::string named, name;
    size_t size;
    MenuFolder kind;
  } cases[] = {
      {"", std::string(5, 'a'), 260, MenuFolder::kBelowPrograms},  // 253 + 1 + 5 = 259
      {"", std::string(6, 'a'), 260, MenuFolder::kNone},
      {"", "", 253, MenuFolder::kNone},  // Programs itself does not fit
      {named259, "", 260, MenuFolder::kNamed},
      {named259, "", 259, MenuFolder::kNone},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name.size());
    std::string out(c.size, '#');
    EXPECT_EQ(setup::ComposeMenuFolder(&out[0], c.size, c.named.c_str(), c.name.c_str(), programs.c_str()), c.kind);
    if (c.kind == MenuFolder::kNone) {
      EXPECT_STREQ(out.c_str(), "");
    }
  }
}

}  // namespace
