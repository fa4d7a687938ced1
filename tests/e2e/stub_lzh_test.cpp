// stub-lzh with a real LZH archive: lzhdec32.dll unpacks it into the
// workspace, and without the library the program stops before it starts.
#include <gtest/gtest.h>

#include <set>

#include "window_driver.h"

namespace {

constexpr int kProgressText = 1001;
constexpr DWORD kRunTimeoutMs = 30000;

std::string Fixture(const std::string& name) { return driver::ProgramFolder() + "\\fixtures\\" + name; }

// The files of the fixture that lie in folders: those the stub counts.
const char* const kCountedFiles[] = {"[shell]\\config\\setup.ini", "[Environment]\\SFX_E2E_DEST\\sample.dll",
                                     "[Temporary]\\readme.txt", "[Temporary]\\docs\\guide.txt"};
// Where the distribution puts the token folders' files, below the test's root.
const struct {
  const char* fixture;
  const char* destination;
} kDistributed[] = {
    {"[Environment]\\SFX_E2E_DEST\\sample.dll", "dest\\sample.dll"},
    {"[Temporary]\\readme.txt", "temp dir\\readme.txt"},
    {"[Temporary]\\docs\\guide.txt", "temp dir\\docs\\guide.txt"},
};

std::string Grouped(size_t value) {
  std::string digits = std::to_string(value);
  for (size_t i = digits.size(); i > 3; i -= 3) digits.insert(i - 3, ",");
  return digits;
}

std::string Counts(size_t files, size_t bytes) {
  return std::to_string(files) + (files == 1 ? " File\n" : " Files\n") + Grouped(bytes) +
         (bytes == 1 ? " Byte" : " Bytes");
}

class StubLzh : public ::testing::Test {
 protected:
  void SetUp() override {
    root_ = std::string("C:\\sfx e2e lzh\\") + ::testing::UnitTest::GetInstance()->current_test_info()->name();
    driver::RemoveTree(root_);
    ASSERT_TRUE(driver::MakeFolders(root_ + "\\temp dir"));
    ASSERT_TRUE(driver::MakeFolders(root_ + "\\dest"));
    environment_ = {{"TMP", root_ + "\\temp dir"}, {"TEMP", root_ + "\\temp dir"}, {"SFX_E2E_DEST", root_ + "\\dest"}};
    built_ = root_ + "\\App Setup.exe";
    std::string command = "\"" + driver::ProgramFolder() + "\\sfxbuild.exe\" pack --stub \"" +
                          driver::ProgramFolder() + "\\stub-lzh.exe\" --archive \"" + Fixture("app.lzh") +
                          "\" -o \"" + built_ + "\"";
    ASSERT_EQ(driver::RunToEnd(command, root_), 0) << command;
  }
  void TearDown() override {
    if (!HasFailure()) driver::RemoveTree(root_);
  }

  // A folder holding only the built file, and an environment whose PATH
  // leads to no copy of the library.
  std::string Alone() {
    std::string folder = root_ + "\\alone";
    EXPECT_TRUE(driver::MakeFolders(folder));
    EXPECT_TRUE(CopyFileA(built_.c_str(), (folder + "\\App Setup.exe").c_str(), FALSE));
    char system[MAX_PATH];
    GetSystemDirectoryA(system, sizeof system);
    EXPECT_FALSE(driver::Exists(std::string(system) + "\\lzhdec32.dll"));
    environment_["PATH"] = system;
    return folder;
  }

  std::string root_, built_;
  std::map<std::string, std::string> environment_;
};

TEST_F(StubLzh, UnpacksTheArchiveIntoTheWorkspaceAndCountsTheFilesInFolders) {
  // The library beside the built file, as it is shipped.
  ASSERT_TRUE(CopyFileA((driver::ProgramFolder() + "\\lzhdec32.dll").c_str(), (root_ + "\\lzhdec32.dll").c_str(),
                        FALSE));
  driver::Process process = driver::Start("\"" + built_ + "\"", root_, &environment_);
  ASSERT_TRUE(process.started());
  HWND window = driver::WaitForWindow(process.id(), "#32770", "App Setup", 10000);
  ASSERT_NE(window, nullptr);

  std::string workspace;
  std::vector<std::string> texts =
      driver::FollowTexts(process, window, kProgressText, kRunTimeoutMs, [&](const std::string& text) {
        if (workspace.empty()) workspace = driver::WorkspaceOf(text);
      });
  DWORD code = 99;
  ASSERT_TRUE(process.Wait(10000, &code));
  EXPECT_EQ(code, 0u);

  size_t bytes = 0;
  for (const char* name : kCountedFiles) bytes += driver::ReadFileBytes(Fixture(std::string("app\\") + name)).size();
  if (!texts.empty() && texts.front().empty()) texts.erase(texts.begin());
  const std::vector<std::string> expected = {
      "Making folder\n\"" + workspace + "\"\nas workspace...",
      "Dividing data...\nfrom me.",
      "Extracting...\nby LZHDEC32.DLL",
      "Transport...\n\n" + Counts(4, bytes),
      "Deleting workspace...",
  };
  EXPECT_EQ(texts, expected);
  // Unpacked whole and moved where the tokens point.
  for (const auto& file : kDistributed)
    EXPECT_TRUE(driver::ReadFileBytes(root_ + "\\" + file.destination) ==
                driver::ReadFileBytes(Fixture(std::string("app\\") + file.fixture)))
        << file.destination;
  EXPECT_FALSE(driver::Exists(workspace));
}

TEST_F(StubLzh, WithoutTheLibraryABoxTellsAndTheProgramEndsWithOne) {
  std::string folder = Alone();
  driver::Process process = driver::Start("\"" + folder + "\\App Setup.exe\"", folder, &environment_);
  ASSERT_TRUE(process.started());
  HWND box = driver::WaitForWindow(process.id(), "#32770", nullptr, 10000);
  ASSERT_NE(box, nullptr);
  for (HWND window : driver::TopLevelWindows(process.id()))
    EXPECT_TRUE(window == box || !IsWindowVisible(window)) << "no progress window beside the box";
  EXPECT_EQ(driver::ControlText(box, 0xFFFF), "You need \"LZHDEC32.DLL\" to do.");
  driver::PressButton(box, IDOK);
  DWORD code = 99;
  ASSERT_TRUE(process.Wait(10000, &code));
  EXPECT_EQ(code, 1u);
  std::set<std::string> temp;
  WIN32_FIND_DATAA entry;
  HANDLE find = FindFirstFileA((root_ + "\\temp dir\\*").c_str(), &entry);
  ASSERT_NE(find, INVALID_HANDLE_VALUE);
  do temp.insert(entry.cFileName); while (FindNextFileA(find, &entry));
  FindClose(find);
  EXPECT_EQ(temp, (std::set<std::string>{".", ".."})) << "no workspace was made";
}

TEST_F(StubLzh, SecondInstanceNeedsNoLibrary) {
  std::string folder = Alone();
  driver::Process process = driver::Start("\"" + folder + "\\App Setup.exe\" +0", folder, &environment_);
  ASSERT_TRUE(process.started());
  DWORD code = 99;
  ASSERT_TRUE(process.Wait(10000, &code)) << "held by a box?";
  EXPECT_EQ(code, 0u);
}

}  // namespace
