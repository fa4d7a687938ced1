// innersfx.exe on its own: quiet in its current folder as stub-exe starts
// it, and interactive with a folder chosen by the user; damaged archives
// and hostile names.
#include <gtest/gtest.h>

#include <set>

#include "cab_entry.h"
#include "inner_archive.h"
#include "io/memory.h"
#include "scratch.h"
#include "window_driver.h"

namespace {

const char kTitle[] = "Self-extracting program";

cab::FileEntry Entry(const std::string& name, const std::string& data) {
  return CabFile(name, data, cab::DosDate(2001, 4, 1));
}

// innersfx.exe + cabinet + trailer, as sfxbuild lays them out.
std::string InnerProgram(const std::vector<cab::FileEntry>& files) {
  std::string program = driver::ReadFileBytes(driver::ProgramFolder() + "\\innersfx.exe");
  io::MemorySink sink;
  EXPECT_EQ(cab::Write(files, nullptr, cab::Options(), sink.sink()), core::Result::kOk);
  uint8_t trailer[inner::kTrailerSize];
  inner::WriteTrailer(trailer, static_cast<uint32_t>(program.size()), static_cast<uint32_t>(sink.bytes.size()));
  return program + sink.bytes + std::string(reinterpret_cast<char*>(trailer), sizeof trailer);
}

using driver::Tree;

class InnerSfx : public driver::ScratchTest {
 protected:
  void SetUp() override {
    ScratchTest::SetUp();
    work_ = root_ + "\\work dir";
    ASSERT_TRUE(driver::MakeFolders(work_)) << work_;
    ASSERT_EQ(Tree(root_), std::set<std::string>{"work dir\\"}) << "a fresh root holds only the work folder";
  }

  // Writes the program as work\$.exe and runs it there with -n.
  DWORD RunQuiet(const std::string& program, bool* windowSeen = nullptr) {
    EXPECT_TRUE(driver::WriteFileBytes(work_ + "\\$.exe", program));
    driver::Process process = driver::Start("\"" + work_ + "\\$.exe\" -n", work_);
    EXPECT_TRUE(process.started());
    DWORD code = 99;
    if (!process.started()) return code;
    bool seen = false;
    while (!process.Wait(0, &code)) {
      // Wine gives every GUI thread a hidden "Default IME" window too.
      for (HWND window : driver::TopLevelWindows(process.id()))
        if (driver::WindowText(window) == "Extracting...") seen = true;
      Sleep(1);
    }
    if (windowSeen) *windowSeen = seen;
    return code;
  }

  std::string work_;
};

TEST_F(InnerSfx, QuietRunUnpacksIntoItsFolderWhileItsWindowIsUp) {
  // Enough files that the window is up long enough to be seen.
  std::vector<cab::FileEntry> files = {Entry("[shell]\\read me.txt", "hello"),
                                       Entry("[System]\\deep\\er\\big.bin", std::string(300000, 'b'))};
  for (int i = 0; i < 200; ++i) files.push_back(Entry("[Desktop]\\many\\f" + std::to_string(i) + ".txt", "x"));
  bool seen = false;
  EXPECT_EQ(RunQuiet(InnerProgram(files), &seen), 0u);
  EXPECT_TRUE(seen) << "no \"Extracting...\" window while unpacking";
  EXPECT_EQ(driver::ReadFileBytes(work_ + "\\[shell]\\read me.txt"), "hello");
  EXPECT_TRUE(driver::ReadFileBytes(work_ + "\\[System]\\deep\\er\\big.bin") == std::string(300000, 'b'));
  EXPECT_EQ(driver::ReadFileBytes(work_ + "\\[Desktop]\\many\\f199.txt"), "x");
  EXPECT_EQ(Tree(work_).size(), 1u + 6u + 202u);  // $.exe, folders, files
}

TEST_F(InnerSfx, DamagedArchivesEndWithNonZeroCodesAndNoBox) {
  std::string whole = InnerProgram({Entry("[System]\\a.txt", std::string(100000, 'a'))});
  std::string bare = driver::ReadFileBytes(driver::ProgramFolder() + "\\innersfx.exe");
  size_t cabinetAt = bare.size();
  std::string spoilt = whole;
  // The compressed data of the first block starts 83 bytes into this
  // cabinet (header, folder, one file entry, block header).
  for (size_t i = cabinetAt + 90; i < cabinetAt + 150; ++i) spoilt[i] = static_cast<char>(spoilt[i] ^ 0x5A);
  std::string notCabinet = whole;
  notCabinet[cabinetAt] = 'X';
  struct Case {
    const char* what;
    std::string program;
    DWORD code;
  } cases[] = {
      {"nothing appended", bare, 3},
      {"trailer cut off", whole.substr(0, whole.size() - 5), 3},
      {"cabinet cut short", std::string(whole).erase(whole.size() - inner::kTrailerSize - 10, 10), 3},
      {"no cabinet where the trailer points", notCabinet, 3},
      {"data damaged", spoilt, 4},
  };
  for (const Case& c : cases) {
    driver::RemoveTree(work_);
    ASSERT_TRUE(driver::MakeFolders(work_));
    // A message box would keep the program from ending.
    EXPECT_EQ(RunQuiet(c.program), c.code) << c.what;
    // No piece of the damaged file is left; nothing lands beside the folder.
    std::set<std::string> left = Tree(work_);
    EXPECT_TRUE(left == std::set<std::string>{"$.exe"} || left == (std::set<std::string>{"$.exe", "[System]\\"}))
        << c.what << ": " << ::testing::PrintToString(left);
    for (const std::string& path : Tree(root_)) EXPECT_EQ(path.rfind("work dir\\", 0), 0u) << path;
  }
}

TEST_F(InnerSfx, HostileNamesAreRefusedAndTheRestIsUnpackedInside) {
  std::string program = InnerProgram({
      Entry("..\\escaped.txt", "x"),
      Entry("C:\\sfx e2e\\absolute.txt", "x"),
      Entry("\\rooted.txt", "x"),
      Entry("ok\\.. \\dots.txt", "x"),
      Entry("ok\\NUL.txt", "x"),
      Entry("ok\\com1", "x"),
      Entry("ok\\stream.txt:hidden", "x"),
      Entry("ok\\good.txt", "good"),
  });
  // Absolute names land inside, as below the root.
  EXPECT_EQ(RunQuiet(program), 6u);  // refused
  EXPECT_EQ(Tree(root_), (std::set<std::string>{"work dir\\", "work dir\\$.exe", "work dir\\ok\\",
                                                "work dir\\ok\\good.txt", "work dir\\rooted.txt",
                                                "work dir\\sfx e2e\\", "work dir\\sfx e2e\\absolute.txt"}));
  EXPECT_FALSE(driver::Exists("C:\\sfx e2e\\absolute.txt"));
  EXPECT_FALSE(driver::Exists("C:\\rooted.txt"));
}

TEST_F(InnerSfx, WithoutQuietItAsksForAFolderStartingAtItsOwn) {
  std::string program = root_ + "\\Setup files.exe";
  ASSERT_TRUE(driver::WriteFileBytes(program, InnerProgram({Entry("[System]\\a.txt", "aa"),
                                                            Entry("[Desktop]\\b.txt", "bbb")})));
  std::string target = root_ + "\\chosen";
  ASSERT_TRUE(driver::MakeFolders(target));
  driver::ListFoldersUpTo(root_);
  driver::Process process = driver::Start("\"" + program + "\"", work_);
  ASSERT_TRUE(process.started());
  HWND dialog = driver::WaitForWindow(process.id(), "#32770", nullptr, 10000);
  ASSERT_NE(dialog, nullptr);
  const std::string own = driver::NameOf(root_);
  std::string preselected = driver::WaitForPreselection(dialog, own);
  EXPECT_EQ(preselected, own);
  ASSERT_TRUE(driver::ChooseBrowseFolder(dialog, target));
  std::string text;
  ASSERT_TRUE(driver::AnswerMessageBox(process.id(), kTitle, IDOK, 10000, &text));
  EXPECT_EQ(text, "2 files were extracted into\n" + target + "\\");
  ASSERT_EQ(process.ExitCode(), 0u);
  EXPECT_EQ(driver::ReadFileBytes(target + "\\[System]\\a.txt"), "aa");
  EXPECT_EQ(driver::ReadFileBytes(target + "\\[Desktop]\\b.txt"), "bbb");
  EXPECT_EQ(Tree(work_), std::set<std::string>{});
}

TEST_F(InnerSfx, WithoutQuietADamagedArchiveIsSaidAndNothingAsked) {
  std::string program = root_ + "\\broken.exe";
  ASSERT_TRUE(driver::WriteFileBytes(program, driver::ReadFileBytes(driver::ProgramFolder() + "\\innersfx.exe")));
  driver::Process process = driver::Start("\"" + program + "\"", work_);
  ASSERT_TRUE(process.started());
  std::string text;
  ASSERT_TRUE(driver::AnswerMessageBox(process.id(), kTitle, IDOK, 10000, &text));
  EXPECT_EQ(text, "The archive of this program is missing or damaged.");
  ASSERT_EQ(process.ExitCode(), 3u);
}

}  // namespace
