// stub-lzh with a real LZH archive: lzhdec32.dll unpacks it into the
// workspace, and without the library the program stops before it starts.
#include <gtest/gtest.h>

#include <set>

#include "built_file.h"
#include "lzh_entry.h"

namespace {

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

class StubLzh : public driver::BuiltFileTest {
 protected:
  void SetUp() override {
    BuiltFileTest::SetUp();
    built_ = PackArchive("App Setup.exe", "stub-lzh", driver::FixturePath("app.lzh"));
  }

  // A folder holding only the built file, and an environment whose PATH
  // leads to no copy of the library.
  std::string Alone() {
    std::string folder = root_ + "\\alone";
    EXPECT_TRUE(driver::MakeFolders(folder));
    EXPECT_TRUE(CopyFileA(built_.c_str(), (folder + "\\App Setup.exe").c_str(), FALSE));
    EXPECT_FALSE(driver::Exists(driver::SystemFolder() + "\\lzhdec32.dll"));
    environment_["PATH"] = driver::SystemFolder();
    return folder;
  }

  std::string built_;
};

TEST_F(StubLzh, UnpacksTheArchiveIntoTheWorkspaceAndCountsTheFilesInFolders) {
  // The library beside the built file, as it is shipped.
  ASSERT_TRUE(driver::CopyFromProgramFolder("lzhdec32.dll", root_));
  driver::ProgressRun run = Run(built_);
  ASSERT_TRUE(run.ended);
  EXPECT_EQ(run.code, 0u);

  size_t bytes = 0;
  for (const char* name : kCountedFiles) bytes += driver::ReadFileBytes(driver::FixturePath(std::string("app\\") + name)).size();
  EXPECT_EQ(run.texts, driver::WholeRunTexts(run.workspace, "Extracting...\nby LZHDEC32.DLL",
                                             "Transport...\n\n" + driver::CountText(4, bytes)));
  // Unpacked whole and moved where the tokens point.
  for (const auto& file : kDistributed)
    EXPECT_TRUE(driver::ReadFileBytes(root_ + "\\" + file.destination) ==
                driver::ReadFileBytes(driver::FixturePath(std::string("app\\") + file.fixture)))
        << file.destination;
  EXPECT_FALSE(driver::Exists(run.workspace));
}

// Archivers that store every folder with a leading separator, at each
// header level: the entries land in the workspace and are distributed.
TEST_F(StubLzh, FoldersStoredWithALeadingSeparatorAreDistributed) {
  std::string archive = root_ + "\\rooted.lzh";
  ASSERT_TRUE(driver::WriteFileBytes(
      archive, lzhentry::AtLevel(0, "/[Environment]/SFX_E2E_DEST", "a.txt", "level 0") +
                   lzhentry::AtLevel(1, "/[Temporary]", "b.txt", "level 1") +
                   lzhentry::AtLevel(2, "/[Temporary]/docs", "c.txt", "level 2") + '\0'));
  std::string built = PackArchive("Rooted Setup.exe", "stub-lzh", archive);
  ASSERT_TRUE(driver::CopyFromProgramFolder("lzhdec32.dll", root_));
  driver::ProgressRun run = Run(built);
  ASSERT_TRUE(run.ended);
  EXPECT_EQ(run.code, 0u);
  EXPECT_EQ(run.texts, driver::WholeRunTexts(run.workspace, "Extracting...\nby LZHDEC32.DLL",
                                             "Transport...\n\n" + driver::CountText(3, 21)));
  EXPECT_EQ(driver::ReadFileBytes(root_ + "\\dest\\a.txt"), "level 0");
  EXPECT_EQ(driver::ReadFileBytes(root_ + "\\temp dir\\b.txt"), "level 1");
  EXPECT_EQ(driver::ReadFileBytes(root_ + "\\temp dir\\docs\\c.txt"), "level 2");
  EXPECT_FALSE(driver::Exists(run.workspace));
}

TEST_F(StubLzh, WithoutTheLibraryABoxTellsAndTheProgramEndsWithOne) {
  std::string folder = Alone();
  driver::Process process = Start(folder + "\\App Setup.exe", "", folder);
  ASSERT_TRUE(process.started());
  HWND box = driver::WaitForWindow(process.id(), "#32770", nullptr, 10000);
  ASSERT_NE(box, nullptr);
  for (HWND window : driver::TopLevelWindows(process.id()))
    EXPECT_TRUE(window == box || !IsWindowVisible(window)) << "no progress window beside the box";
  EXPECT_EQ(driver::ControlText(box, 0xFFFF), "You need \"LZHDEC32.DLL\" to do.");
  driver::PressButton(box, IDOK);
  ASSERT_EQ(process.ExitCode(), 1u);
  EXPECT_EQ(driver::Entries(temp_), std::set<std::string>()) << "no workspace was made";
}

TEST_F(StubLzh, SecondInstanceNeedsNoLibrary) {
  std::string folder = Alone();
  driver::Process process = Start(folder + "\\App Setup.exe", " +0", folder);
  ASSERT_TRUE(process.started());
  ASSERT_EQ(process.ExitCode(), 0u) << "held by a box?";
}

}  // namespace
