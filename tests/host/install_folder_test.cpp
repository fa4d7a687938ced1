// The proposed installation folder and the names joined by the browse
// buttons.
#include <gtest/gtest.h>

#include <string>

#include "setup/install_folder.h"

namespace {

using setup::FolderBase;

const std::string kHyo = "\x95\x5C";  // "表": its trail byte is '\\'

TEST(InstallFolder, MacroWords) {
  struct Case {
    const char* breaks;
    const char* name;
    FolderBase base;
    const char* rest;
  } cases[] = {
      {"programs", "%programs%\\Tools\\Viewer", FolderBase::kPrograms, "\\Tools\\Viewer"},
      {"word in capitals", "%PROGRAMS%\\App", FolderBase::kPrograms, "\\App"},
      {"system, mixed case", "%System%x", FolderBase::kSystem, "x"},
      {"windows, nothing after", "%windows%", FolderBase::kWindows, ""},
      {"desktop", "%desktop%\\A", FolderBase::kDesktop, "\\A"},
      {"unknown word", "%temp%\\A", FolderBase::kNone, "%temp%\\A"},
      {"no second percent sign", "%programs\\App", FolderBase::kNone, "%programs\\App"},
      {"word too long", "%programsx%\\A", FolderBase::kNone, "%programsx%\\A"},
      {"word too short", "%program%\\A", FolderBase::kNone, "%program%\\A"},
      {"percent sign not first", "programs%\\A", FolderBase::kNone, "programs%\\A"},
      {"empty word", "%%\\A", FolderBase::kNone, "%%\\A"},
      {"empty name", "", FolderBase::kNone, ""},
  };
  for (const Case& c : cases) {
    setup::FolderMacro macro = setup::SplitFolderMacro(c.name);
    EXPECT_EQ(macro.base, c.base) << c.breaks;
    EXPECT_STREQ(c.name + macro.rest, c.rest) << c.breaks;
  }
}

TEST(InstallFolder, Composition) {
  struct Case {
    const char* breaks;
    bool macro;  // ComposeMacroFolder, else ComposeSystemDriveFolder
    std::string base, name, folder;
  } cases[] = {
      {"base and rest", true, "C:\\Program Files", "\\Tools\\Viewer", "C:\\Program Files\\Tools\\Viewer"},
      {"base ending with a backslash", true, "D:\\", "\\App", "D:\\App"},
      {"base ending with a backslash keeps a letter", true, "D:\\", "App", "D:\\App"},
      {"rest followed directly", true, "C:\\WINDOWS", "App", "C:\\WINDOWSApp"},
      {"trail byte is no backslash", true, "C:\\" + kHyo, "\\App", "C:\\" + kHyo + "\\App"},
      {"empty base", true, "", "\\App", "\\App"},
      {"system drive root", false, "C:\\WINDOWS\\SYSTEM", "Apps\\Viewer", "C:\\Apps\\Viewer"},
      {"empty name gives the root", false, "C:\\WINDOWS\\SYSTEM", "", "C:\\"},
      {"unknown word kept whole", false, "C:\\WINDOWS\\SYSTEM", "%temp%\\V", "C:\\%temp%\\V"},
      {"trail byte in the system folder", false, "C:" + kHyo + "\\SYSTEM", "A", "C:" + kHyo + "\\A"},
      {"system folder without a backslash", false, "", "App", "App"},
  };
  for (const Case& c : cases) {
    char out[260];
    bool made = c.macro ? setup::ComposeMacroFolder(out, sizeof out, c.base.c_str(), c.name.c_str())
                        : setup::ComposeSystemDriveFolder(out, sizeof out, c.base.c_str(), c.name.c_str());
    EXPECT_TRUE(made) << c.breaks;
    EXPECT_EQ(out, c.folder) << c.breaks;
  }
}

TEST(InstallFolder, OverLongFoldersAreRefused) {
  const std::string base(250, 'b');
  struct Case {
    const char* breaks;
    bool macro;
    std::string base, name;
    bool fits;
  } cases[] = {
      {"259 characters", true, base, "\\12345678", true},
      {"260 characters", true, base, "\\123456789", false},
      {"dropped backslash not counted", true, base + "\\", "\\12345678", true},
      {"drive root, 259 characters", false, "C:\\W", std::string(256, 'n'), true},
      {"drive root, 260 characters", false, "C:\\W", std::string(257, 'n'), false},
  };
  for (const Case& c : cases) {
    char out[260];
    bool made = c.macro ? setup::ComposeMacroFolder(out, sizeof out, c.base.c_str(), c.name.c_str())
                        : setup::ComposeSystemDriveFolder(out, sizeof out, c.base.c_str(), c.name.c_str());
    EXPECT_EQ(made, c.fits) << c.breaks;
    EXPECT_EQ(strlen(out), c.fits ? 259u : 0u) << c.breaks;
  }
  // The base's own buffer may take the folder.
  char inPlace[16] = "C:\\Apps";
  EXPECT_TRUE(setup::ComposeMacroFolder(inPlace, sizeof inPlace, inPlace, "\\Viewer"));
  EXPECT_STREQ(inPlace, "C:\\Apps\\Viewer");
}

TEST(InstallFolder, RootNameFromFolder) {
  struct Case {
    std::string folder;
    const char* name;  // null: the name is kept
  } cases[] = {
      {"C:\\Program Files\\Tools\\Viewer", "Viewer"},
      {"C:\\", ""},
      {"Viewer", nullptr},
      {"C:\\A\\" + kHyo, "\x95\x5C"},
      {"C:" + kHyo, nullptr},
  };
  for (const Case& c : cases) {
    const char* name = setup::RootNameFromFolder(c.folder.c_str());
    if (c.name) {
      EXPECT_STREQ(name, c.name) << c.folder;
    } else {
      EXPECT_EQ(name, nullptr) << c.folder;
    }
  }
}

TEST(InstallFolder, BrowseResultJoinsTheNameUnlessItEndsThere) {
  struct Case {
    const char* breaks;
    const char* path;
    const char* name;
    const char* result;
  } cases[] = {
      {"join", "D:\\Apps", "Viewer", "D:\\Apps\\Viewer"},
      {"already there", "D:\\Apps\\Viewer", "Viewer", "D:\\Apps\\Viewer"},
      {"menu folder ending in the name", "C:\\Menu\\Programs\\MyApp", "App", "C:\\Menu\\Programs\\MyApp"},
      {"menu folder without it", "C:\\Menu\\Programs\\Tools", "App", "C:\\Menu\\Programs\\Tools\\App"},
      {"first occurrence not at the end", "D:\\Viewer\\Viewer", "Viewer", "D:\\Viewer\\Viewer\\Viewer"},
      {"case matters", "D:\\apps\\viewer", "Viewer", "D:\\apps\\viewer\\Viewer"},
      {"drive root", "D:\\", "Viewer", "D:\\Viewer"},
      {"empty name", "D:\\Apps", "", "D:\\Apps"},
  };
  for (const Case& c : cases) {
    char path[260];
    snprintf(path, sizeof path, "%s", c.path);
    EXPECT_TRUE(setup::JoinNameUnlessPresent(path, sizeof path, c.name)) << c.breaks;
    EXPECT_STREQ(path, c.result) << c.breaks;
  }
  char path[260];
  snprintf(path, sizeof path, "%s", std::string(255, 'p').c_str());
  EXPECT_FALSE(setup::JoinNameUnlessPresent(path, sizeof path, "Name"));
  EXPECT_STREQ(path, "");
}

}  // namespace
