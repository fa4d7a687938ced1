// The proposed installation folder and the names joined by the browse
// buttons.
#include <gtest/gtest.h>

#include <string>

#include "setup/install_folder.h"

// "表": its trail byte is '\\'.
#define HYO "\x95\x5C"

namespace {

using setup::FolderBase;

TEST(InstallFolder, MacroWords) {
  struct {
    const char* name;
    FolderBase base;
    const char* rest;
  } cases[] = {
      {"%programs%\\Tools\\Viewer", FolderBase::kPrograms, "\\Tools\\Viewer"},
      {"%PROGRAMS%\\App", FolderBase::kPrograms, "\\App"},  {"%System%x", FolderBase::kSystem, "x"},
      {"%windows%", FolderBase::kWindows, ""},              {"%desktop%\\A", FolderBase::kDesktop, "\\A"},
      {"%temp%\\A", FolderBase::kNone, "%temp%\\A"},        {"%programs\\App", FolderBase::kNone, "%programs\\App"},
      {"%programsx%", FolderBase::kNone, "%programsx%"},    {"%program%", FolderBase::kNone, "%program%"},
      {"programs%\\A", FolderBase::kNone, "programs%\\A"},  {"%%\\A", FolderBase::kNone, "%%\\A"},
  };
  for (const auto& c : cases) {
    setup::FolderMacro macro = setup::SplitFolderMacro(c.name);
    EXPECT_EQ(macro.base, c.base) << c.name;
    EXPECT_STREQ(c.name + macro.rest, c.rest) << c.name;
  }
}

TEST(InstallFolder, Composition) {
  const std::string longBase(250, 'b');
  struct {
    const char* breaks;
    bool macro;  // else the system folder's drive root
    std::string base, name, folder;  // an empty folder: refused
  } cases[] = {
      {"base and rest", true, "C:\\Program Files", "\\Tools\\V", "C:\\Program Files\\Tools\\V"},
      {"base ending with a backslash", true, "D:\\", "\\App", "D:\\App"},
      {"base ending with a backslash keeps a letter", true, "D:\\", "App", "D:\\App"},
      {"rest followed directly", true, "C:\\WINDOWS", "App", "C:\\WINDOWSApp"},
      {"trail byte is no backslash", true, "C:\\" HYO, "\\App", "C:\\" HYO "\\App"},
      {"empty base", true, "", "\\App", "\\App"},
      {"259 characters", true, longBase, "\\12345678", longBase + "\\12345678"},
      {"260 characters", true, longBase, "\\123456789", ""},
      {"dropped backslash not counted", true, longBase + "\\", "\\12345678", longBase + "\\12345678"},
      {"system drive root", false, "C:\\WINDOWS\\SYSTEM", "Apps\\Viewer", "C:\\Apps\\Viewer"},
      {"empty name gives the root", false, "C:\\WINDOWS\\SYSTEM", "", "C:\\"},
      {"unknown word kept whole", false, "C:\\WINDOWS\\SYSTEM", "%temp%\\V", "C:\\%temp%\\V"},
      {"trail byte in the system folder", false, "C:" HYO "\\SYSTEM", "A", "C:" HYO "\\A"},
      {"no system folder", false, "", "App", "App"},
      {"root and 256", false, "C:\\W", std::string(256, 'n'), "C:\\" + std::string(256, 'n')},
      {"root and 257", false, "C:\\W", std::string(257, 'n'), ""},
  };
  for (const auto& c : cases) {
    char out[260];
    bool made = c.macro ? setup::ComposeMacroFolder(out, sizeof out, c.base.c_str(), c.name.c_str())
                        : setup::ComposeSystemDriveFolder(out, sizeof out, c.base.c_str(), c.name.c_str());
    EXPECT_EQ(made, !c.folder.empty()) << c.breaks;
    EXPECT_EQ(out, c.folder) << c.breaks;
  }
}

TEST(InstallFolder, RootNameAndBrowseJoins) {
  EXPECT_STREQ(setup::RootNameFromFolder("C:\\Program Files\\Tools\\Viewer"), "Viewer");
  EXPECT_STREQ(setup::RootNameFromFolder("C:\\"), "");
  EXPECT_STREQ(setup::RootNameFromFolder("C:\\A\\" HYO), HYO);
  EXPECT_EQ(setup::RootNameFromFolder("C:" HYO), nullptr);  // no backslash: the name is kept
  const char* const cases[][4] = {  // breaks, chosen path, name, result
      {"join", "D:\\Apps", "Viewer", "D:\\Apps\\Viewer"},
      {"already there", "D:\\Apps\\Viewer", "Viewer", "D:\\Apps\\Viewer"},
      {"menu folder ending in the name", "C:\\Programs\\MyApp", "App", "C:\\Programs\\MyApp"},
      {"first occurrence not at the end", "D:\\Viewer\\Viewer", "Viewer", "D:\\Viewer\\Viewer\\Viewer"},
      {"case matters", "D:\\viewer", "Viewer", "D:\\viewer\\Viewer"},
      {"empty name", "D:\\Apps", "", "D:\\Apps"},
  };
  for (const auto& c : cases) {
    char path[260];
    snprintf(path, sizeof path, "%s", c[1]);
    EXPECT_TRUE(setup::JoinNameUnlessPresent(path, sizeof path, c[2])) << c[0];
    EXPECT_STREQ(path, c[3]) << c[0];
  }
}

}  // namespace
