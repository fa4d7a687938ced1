// setup's path resolution against Wine's real folders and registry: every
// prefix in both modes, programs found through file associations, and
// paths too long to be made.
#include <gtest/gtest.h>

#include <string>

#include "setup.h"
#include "window_driver.h"

namespace {

std::string Resolve(const std::string& path, const std::string& root, bool programMode) {
  char out[MAX_PATH];
  lstrcpynA(out, path.c_str(), sizeof out);
  ResolvePath(out, root.c_str(), out, programMode);  // in place, as the callers do
  return out;
}

// A file type whose open command is `command`, bound to `extension`.
class Association {
 public:
  Association(const std::string& extension, const std::string& command) : extension_(extension) {
    kind_ = "sfxtest" + extension;
    SetValue(extension_, kind_);
    SetValue(kind_ + "\\shell\\open\\command", command);
  }
  ~Association() {
    RegDeleteKeyA(HKEY_CLASSES_ROOT, extension_.c_str());
    for (const char* key : {"\\shell\\open\\command", "\\shell\\open", "\\shell", ""})
      RegDeleteKeyA(HKEY_CLASSES_ROOT, (kind_ + key).c_str());
  }

 private:
  static void SetValue(const std::string& key, const std::string& value) {
    HKEY opened;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CLASSES_ROOT, key.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &opened,
                              nullptr),
              ERROR_SUCCESS);
    RegSetValueExA(opened, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                   static_cast<DWORD>(value.size() + 1));
    RegCloseKey(opened);
  }
  std::string extension_, kind_;
};

class SetupPaths : public ::testing::Test {
 protected:
  void SetUp() override {
    root_ = "C:\\sfx win32\\setup paths";
    driver::RemoveTree(root_);
    ASSERT_TRUE(driver::MakeFolders(root_ + "\\bin"));
    ASSERT_TRUE(driver::WriteFileBytes(root_ + "\\bin\\tool.exe", "MZ"));
    programs_ = driver::ProgramFilesFolder();
  }
  void TearDown() override {
    if (!HasFailure()) driver::RemoveTree(root_);
  }
  std::string root_, programs_;
};

TEST_F(SetupPaths, EveryPrefixInBothModes) {
  struct Case {
    std::string path, root, resolved;
  } cases[] = {
      {"%system%\\x.dll", root_, driver::SystemFolder() + "\\x.dll"},
      {"%SYSTEM%\\X.dll", root_, driver::SystemFolder() + "\\X.dll"},  // the rest keeps its case
      {"%systemx.dll", root_, root_ + "\\%systemx.dll"},     // no macro: eight characters decide
      {"%windows%\\win.ini", root_, driver::WindowsFolder() + "\\win.ini"},
      {"%Programs%\\App", root_, programs_ + "\\App"},
      {"%root%x.txt", root_, root_ + "\\x.txt"},
      {"%root%\\x.txt", root_, root_ + "\\\\x.txt"},  // taken as written: the file system accepts it
      {"%root%x.txt", "C:\\", "C:\\x.txt"},
      {"!D:\\Data\\x", root_, "D:\\Data\\x"},
      {"bin\\a.exe", root_, root_ + "\\bin\\a.exe"},
      {"bin\\a.exe", "C:\\", "C:\\bin\\a.exe"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Resolve(c.path, c.root, false), c.resolved) << c.path << " in " << c.root;
    if (c.path[0] == '%' || c.path[0] == '!') {
      EXPECT_EQ(Resolve(c.path, c.root, true), c.resolved) << c.path;
    }
  }
}

TEST_F(SetupPaths, ProgramModeFindsTheProgramThatOpensADocument) {
  Association quoted(".sfxq", "\"C:\\Quoted Viewer\\view.exe\" /open \"%1\"");
  std::string notepad = driver::WindowsFolder() + "\\notepad.exe";
  ASSERT_TRUE(driver::Exists(notepad));
  Association bare(".sfxu", notepad + " %1");
  Association missing(".sfxm", "C:\\nowhere\\x.exe %1");
  struct Case {
    std::string path, resolved;
  } cases[] = {
      {"bin\\tool.exe", root_ + "\\bin\\tool.exe"},       // a program is its own program
      {"doc.sfxq", "C:\\Quoted Viewer\\view.exe"},        // quotes and arguments gone
      {"doc.sfxu", notepad},                              // shortened to the first prefix that exists
      {"doc.sfxm", root_ + "\\doc.sfxm"},                 // nothing exists: the document's own path
      {"doc.unknownextension", root_ + "\\doc.unknownextension"},
      {"noextension", root_ + "\\noextension"},
  };
  for (const Case& c : cases) EXPECT_EQ(Resolve(c.path, root_, true), c.resolved) << c.path;
}

TEST_F(SetupPaths, JoinPathAddsOneBackslashAndRefusesWhatWouldNotFit) {
  char path[MAX_PATH] = "";
  JoinPath(path, "name");
  EXPECT_STREQ(path, "name");
  lstrcpyA(path, "C:\\");
  JoinPath(path, "a");
  EXPECT_STREQ(path, "C:\\a");
  JoinPath(path, "b");
  EXPECT_STREQ(path, "C:\\a\\b");
  JoinPath(nullptr, "x");  // does nothing
  std::string long259 = "C:\\" + std::string(256, 'x');
  lstrcpyA(path, long259.c_str());
  JoinPath(path, "y");
  EXPECT_STREQ(path, "") << "a cut path would name another file";
}

TEST_F(SetupPaths, OverLongResultsAreEmptyNeverCut) {
  std::string longRoot = "C:\\" + std::string(250, 'r');
  EXPECT_EQ(Resolve("%root%\\" + std::string(20, 'n'), longRoot, false), "");
  EXPECT_EQ(Resolve(std::string(20, 'n'), longRoot, false), "");
  EXPECT_EQ(Resolve("%system%\\" + std::string(250, 's'), root_, false), "");
}

TEST_F(SetupPaths, ShellDeleteSendsToTheRecycleBinWithoutAsking) {
  std::string file = root_ + "\\gone.txt";
  ASSERT_TRUE(driver::WriteFileBytes(file, "x"));
  ShellDelete(file.c_str());
  EXPECT_FALSE(driver::Exists(file));
  ShellDelete((root_ + "\\never there.txt").c_str());  // nothing to do, nothing asked
  ShellDelete("");                                      // never the current folder
  EXPECT_TRUE(driver::Exists(root_ + "\\bin\\tool.exe"));
}

TEST_F(SetupPaths, ShellFoldersComeFromTheUsersRegistry) {
  char folder[MAX_PATH];
  for (const char* name : {"Programs", "Desktop", "Startup", "SendTo"}) {
    ASSERT_TRUE(ReadShellFolder(name, folder)) << name;
    EXPECT_NE(folder[0], '\0') << name;
  }
  EXPECT_FALSE(ReadShellFolder("No Such Folder", folder));
}

}  // namespace
