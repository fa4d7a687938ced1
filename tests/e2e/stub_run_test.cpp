// Built files of the four stub programs, made by sfxbuild and started as a
// user starts them; the run is followed through its window's texts.
#include <gtest/gtest.h>

#include <random>

#include "window_driver.h"

namespace {

constexpr int kProgressText = 1001;
constexpr DWORD kRunTimeoutMs = 30000;

const char kWarningText[] = "Anyone cooked this file.\nCheck your naughty brother...\n         or virus.";

struct StubProgram {
  const char* name;
  const char* archiveName;
  const char* extracting;
};

const StubProgram kPrograms[] = {
    {"stub-exe", "$.exe", "Extracting...\n\nSelf-extracting program"},
    {"stub-extract", "$.cab", "Extracting...by EXTRAC*.EXE"},
    {"stub-lzh", "$.lzh", "Extracting...\nby LZHDEC32.DLL"},
    {"stub-cab", "$.cab", "Extracting...\nby CAB32.DLL"},
};

// GetTempFileNameA takes the first three characters of the prefix "$JPK"
// and adds up to four hexadecimal digits.
bool IsWorkspaceName(const std::string& path, const std::string& folder) {
  if (path.rfind(folder + "\\$JP", 0) != 0) return false;
  std::string digits = path.substr(folder.size() + 4);
  return !digits.empty() && digits.size() <= 4 &&
         digits.find_first_not_of("0123456789ABCDEFabcdef") == std::string::npos;
}

std::string ShotPath(const std::string& name) {
  std::string folder = driver::ProgramFolder() + "\\screenshots";
  driver::MakeFolders(folder);
  return folder + "\\" + name + ".bmp";
}

class StubRun : public ::testing::Test {
 protected:
  void SetUp() override {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    root_ = std::string("C:\\sfx e2e\\") + info->name();
    driver::RemoveTree(root_);
    ASSERT_TRUE(driver::MakeFolders(root_ + "\\temp dir"));
    environment_ = {{"TMP", root_ + "\\temp dir"}, {"TEMP", root_ + "\\temp dir"}};
    // stub-cab does not start without its library beside the built file.
    ASSERT_TRUE(CopyFileA((driver::ProgramFolder() + "\\cab32.dll").c_str(), (root_ + "\\cab32.dll").c_str(), FALSE));
    // stub-lzh needs lzhdec32.dll beside the built files, as it is shipped.
    ASSERT_TRUE(CopyFileA((driver::ProgramFolder() + "\\lzhdec32.dll").c_str(),
                          (root_ + "\\lzhdec32.dll").c_str(), FALSE));
  }
  void TearDown() override {
    if (!HasFailure()) driver::RemoveTree(root_);
  }

  std::string Stub(const StubProgram& program) const {
    return driver::ProgramFolder() + "\\" + program.name + ".exe";
  }

  // Builds `output` from a stub program and `archive` with sfxbuild.
  void Build(const StubProgram& program, const std::string& archive, const std::string& output) {
    std::string archivePath = root_ + "\\archive.bin";
    ASSERT_TRUE(driver::WriteFileBytes(archivePath, archive));
    std::string command = "\"" + driver::ProgramFolder() + "\\sfxbuild.exe\" pack --stub \"" + Stub(program) +
                          "\" --archive \"" + archivePath + "\" -o \"" + output + "\"";
    ASSERT_EQ(driver::RunToEnd(command, root_), 0) << command;
  }

  driver::Process Run(const std::string& path) {
    return driver::Start("\"" + path + "\"", root_, &environment_);
  }

  std::string root_;
  std::map<std::string, std::string> environment_;
};

TEST_F(StubRun, EveryStubProgramRunsTheWholeSequence) {
  for (const StubProgram& program : kPrograms) {
    SCOPED_TRACE(program.name);
    // 100,007 bytes: the archive's last 7 bytes lie outside the sums.
    std::string archive = driver::RandomBytes(100007, 7);
    std::string built = root_ + "\\Sample " + program.name + ".exe";
    Build(program, archive, built);

    driver::Process process = Run(built);
    ASSERT_TRUE(process.started());
    // The title is the built file's base name.
    std::string title = std::string("Sample ") + program.name;
    HWND window = driver::WaitForWindow(process.id(), "#32770", title.c_str(), 10000);
    ASSERT_NE(window, nullptr);

    std::string workspace, archiveSeen;
    bool workspaceExisted = false;
    std::vector<std::string> texts =
        driver::FollowTexts(process, window, kProgressText, kRunTimeoutMs, [&](const std::string& text) {
          if (workspace.empty()) workspace = driver::WorkspaceOf(text);
          if (text.rfind("Transport...", 0) == 0) {
            workspaceExisted = driver::IsFolder(workspace);
            archiveSeen = driver::ReadFileBytes(workspace + "\\" + program.archiveName);
            driver::Screenshot(ShotPath(program.name), window);
          }
        });
    DWORD code = 99;
    ASSERT_TRUE(process.Wait(5000, &code));
    EXPECT_EQ(code, 0u);

    // The first tick may find the text still empty.
    if (!texts.empty() && texts.front().empty()) texts.erase(texts.begin());
    std::vector<std::string> expected = {
        "Making folder\n\"" + workspace + "\"\nas workspace...",
        "Dividing data...\nfrom me.",
        program.extracting,
        "Transport...\n\n0 File\n0 Byte",
        "Deleting workspace...",
    };
    EXPECT_EQ(texts, expected);
    EXPECT_TRUE(IsWorkspaceName(workspace, root_ + "\\temp dir")) << workspace;
    EXPECT_TRUE(workspaceExisted);
    EXPECT_TRUE(archiveSeen == archive) << "archive of " << archiveSeen.size() << " bytes";
    EXPECT_FALSE(driver::Exists(workspace)) << "the workspace is deleted at the end";
  }
}

TEST_F(StubRun, DamagedFileWarnsAndKeepsTheWorkspaceWithTheArchive) {
  const StubProgram& program = kPrograms[2];
  std::string archive = driver::RandomBytes(5000, 11);
  std::string built = root_ + "\\damaged.exe";
  Build(program, archive, built);
  std::string bytes = driver::ReadFileBytes(built);
  bytes[bytes.size() - archive.size() + 100] ^= 0x01;  // a counted row of the archive
  ASSERT_TRUE(driver::WriteFileBytes(built, bytes));

  driver::Process process = Run(built);
  HWND window = driver::WaitForWindow(process.id(), "#32770", "damaged", 10000);
  ASSERT_NE(window, nullptr);
  std::string text;
  ASSERT_TRUE(driver::AnswerMessageBox(process.id(), "WARNING !", IDOK, 10000, &text));
  EXPECT_EQ(text, kWarningText);
  std::string workspace = driver::WorkspaceIn(root_ + "\\temp dir");
  DWORD code = 99;
  ASSERT_TRUE(process.Wait(10000, &code));
  EXPECT_EQ(code, 0u);
  std::string kept = driver::ReadFileBytes(workspace + "\\$.lzh");
  EXPECT_EQ(kept.size(), archive.size());
  EXPECT_TRUE(kept == archive.substr(0, 100) + static_cast<char>(archive[100] ^ 1) + archive.substr(101));
}

TEST_F(StubRun, StubWithoutPayloadWarnsAndLeavesAnEmptyArchive) {
  std::string plain = root_ + "\\plain.exe";
  ASSERT_TRUE(CopyFileA(Stub(kPrograms[1]).c_str(), plain.c_str(), FALSE));
  driver::Process process = Run(plain);
  HWND window = driver::WaitForWindow(process.id(), "#32770", "plain", 10000);
  ASSERT_NE(window, nullptr);
  std::string text;
  ASSERT_TRUE(driver::AnswerMessageBox(process.id(), "WARNING !", IDOK, 10000, &text));
  EXPECT_EQ(text, kWarningText);
  std::string workspace = driver::WorkspaceIn(root_ + "\\temp dir");
  ASSERT_TRUE(process.Wait(10000));
  EXPECT_TRUE(driver::IsFolder(workspace));
  EXPECT_TRUE(driver::Exists(workspace + "\\$.cab"));
  EXPECT_EQ(driver::ReadFileBytes(workspace + "\\$.cab").size(), 0u);
}

TEST_F(StubRun, PlusInTheProgramPathIsNoSecondInstance) {
  ASSERT_TRUE(driver::MakeFolders(root_ + "\\a+b"));
  std::string built = root_ + "\\a+b\\one+two.exe";
  Build(kPrograms[2], driver::RandomBytes(300, 3), built);
  driver::Process process = Run(built);
  HWND window = driver::WaitForWindow(process.id(), "#32770", "one+two", 10000);
  ASSERT_NE(window, nullptr) << "a second instance shows no window";
  std::vector<std::string> texts = driver::FollowTexts(process, window, kProgressText, kRunTimeoutMs);
  ASSERT_FALSE(texts.empty());
  EXPECT_EQ(texts.back(), "Deleting workspace...");
  EXPECT_TRUE(process.Wait(5000));
}

TEST_F(StubRun, WithoutTmpAndTempTheWorkspaceIsMadeInTheWindowsFolder) {
  std::string built = root_ + "\\notemp.exe";
  Build(kPrograms[3], driver::RandomBytes(64, 5), built);
  environment_.clear();
  std::vector<std::string> remove = {"TMP", "TEMP"};
  driver::Process process = driver::Start("\"" + built + "\"", root_, nullptr, &remove);
  HWND window = driver::WaitForWindow(process.id(), "#32770", "notemp", 10000);
  ASSERT_NE(window, nullptr);
  std::string workspace;
  bool existed = false;
  driver::FollowTexts(process, window, kProgressText, kRunTimeoutMs, [&](const std::string& text) {
    if (workspace.empty()) workspace = driver::WorkspaceOf(text);
    if (text.rfind("Extracting", 0) == 0) existed = driver::IsFolder(workspace);
  });
  char windows[MAX_PATH];
  GetWindowsDirectoryA(windows, sizeof windows);
  EXPECT_TRUE(IsWorkspaceName(workspace, windows)) << workspace;
  EXPECT_TRUE(existed);
  EXPECT_TRUE(process.Wait(5000));
  EXPECT_FALSE(driver::Exists(workspace));
}

TEST_F(StubRun, UnusableTemporaryFolderEndsQuietly) {
  std::string built = root_ + "\\nowhere.exe";
  Build(kPrograms[2], driver::RandomBytes(64, 6), built);
  environment_ = {{"TMP", root_ + "\\no such folder"}, {"TEMP", root_ + "\\no such folder"}};
  driver::Process process = Run(built);
  HWND window = driver::WaitForWindow(process.id(), "#32770", "nowhere", 10000);
  ASSERT_NE(window, nullptr);
  std::vector<std::string> texts = driver::FollowTexts(process, window, kProgressText, kRunTimeoutMs);
  DWORD code = 99;
  ASSERT_TRUE(process.Wait(5000, &code)) << "no message box holds the program";
  EXPECT_EQ(code, 0u);
  ASSERT_FALSE(texts.empty());
  EXPECT_EQ(texts.back(), "Dividing data...\nfrom me.");
  EXPECT_FALSE(driver::Exists(root_ + "\\no such folder"));
}

}  // namespace
