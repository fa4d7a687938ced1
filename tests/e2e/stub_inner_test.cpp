// Built files of stub-exe: sfxbuild wraps a folder into innersfx.exe and
// that into stub-exe, which runs it hidden in the workspace and follows
// its windows. Started as a user starts them and followed through their
// texts, with the moment each text appeared.
#include <gtest/gtest.h>

#include <random>

#include "window_driver.h"

namespace {

constexpr int kProgressText = 1001;
constexpr DWORD kRunTimeoutMs = 60000;

const char kExtracting[] = "Extracting...\n\nSelf-extracting program";
// Five files below the token folders; loose.txt and $.exe lie at the top
// of the workspace and are not counted.
const char kTransport[] = "Transport...\n\n5 Files\n41,142 Bytes";
const char kNothingTransport[] = "Transport...\n\n0 File\n0 Byte";

struct RunResult {
  std::vector<std::string> texts;
  std::vector<DWORD> at;  // GetTickCount when each text was seen
  std::string workspace;
  bool archiveLeftAtTransport = true;
  bool looseFileAtTransport = false;
  DWORD code = 99;
  bool ended = false;

  DWORD SecondsBetween(const std::string& from, size_t next) const {
    for (size_t i = 0; i + next < texts.size(); ++i)
      if (texts[i] == from) return at[i + next] - at[i];
    return 0xFFFFFFFF;
  }
};

class InnerProgramRun : public ::testing::Test {
 protected:
  void SetUp() override {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    root_ = std::string("C:\\sfx e2e\\") + info->name();
    driver::RemoveTree(root_);
    // The workspace lies below a folder with a blank in its name.
    ASSERT_TRUE(driver::MakeFolders(root_ + "\\temp dir"));
    ASSERT_TRUE(driver::MakeFolders(root_ + "\\dest"));
    environment_ = {{"TMP", root_ + "\\temp dir"}, {"TEMP", root_ + "\\temp dir"}, {"SFX_E2E_DEST", root_ + "\\dest"}};
  }
  void TearDown() override {
    if (!HasFailure()) driver::RemoveTree(root_);
  }

  void Put(const std::string& relative, const std::string& bytes) {
    std::string path = root_ + "\\app\\" + relative;
    driver::MakeFolders(path.substr(0, path.rfind('\\')));
    ASSERT_TRUE(driver::WriteFileBytes(path, bytes)) << path;
  }

  std::string Sfxbuild(const std::string& arguments) {
    std::string command = "\"" + driver::ProgramFolder() + "\\sfxbuild.exe\" pack " + arguments;
    EXPECT_EQ(driver::RunToEnd(command, root_), 0) << command;
    return command;
  }

  RunResult Start(const std::string& built, const std::string& title) {
    RunResult run;
    driver::Process process = driver::Start("\"" + built + "\"", root_, &environment_);
    EXPECT_TRUE(process.started());
    HWND window = driver::WaitForWindow(process.id(), "#32770", title.c_str(), 10000);
    EXPECT_NE(window, nullptr);
    if (!window) return run;
    run.texts = driver::FollowTexts(process, window, kProgressText, kRunTimeoutMs, [&](const std::string& text) {
      run.at.push_back(GetTickCount());
      if (run.workspace.empty()) run.workspace = driver::WorkspaceOf(text);
      if (text.rfind("Transport...", 0) == 0) {
        run.archiveLeftAtTransport = driver::Exists(run.workspace + "\\$.exe");
        run.looseFileAtTransport = driver::Exists(run.workspace + "\\loose.txt");
      }
    });
    run.ended = process.Wait(10000, &run.code);
    if (!run.texts.empty() && run.texts.front().empty()) {
      run.texts.erase(run.texts.begin());
      run.at.erase(run.at.begin());
    }
    return run;
  }

  static std::vector<std::string> Expected(const RunResult& run, const char* transport) {
    return {
        "Making folder\n\"" + run.workspace + "\"\nas workspace...",
        "Dividing data...\nfrom me.",
        kExtracting,
        transport,
        "Deleting workspace...",
    };
  }

  // A built file of stub-exe whose archive is the late-window program.
  std::string BuildLateWindow() {
    std::string built = root_ + "\\late.exe";
    Sfxbuild("--stub \"" + driver::ProgramFolder() + "\\stub-exe.exe\" --archive \"" + driver::ProgramFolder() +
             "\\late-window.exe\" -o \"" + built + "\"");
    return built;
  }

  std::string root_;
  std::map<std::string, std::string> environment_;
};

TEST_F(InnerProgramRun, FolderPackedAsExeUnpacksThroughInnerProgramAndIsDistributed) {
  Put("[shell]\\read me.txt", "read me\r\n");
  Put("[Environment]\\SFX_E2E_DEST\\a.dll", std::string(1000, 'a'));
  Put("[Environment]\\SFX_E2E_DEST\\sub\\b.dll", driver::RandomBytes(40000, 1));
  Put("[Temporary]\\c.txt", std::string(123, 'c'));
  Put("[Temporary]\\d e.txt", "0123456789");
  Put("loose.txt", std::string(50, 'l'));
  std::string built = root_ + "\\Sample exe.exe";
  Sfxbuild("--format exe --from \"" + root_ + "\\app\" -o \"" + built + "\"");

  RunResult run = Start(built, "Sample exe");
  ASSERT_TRUE(run.ended);
  EXPECT_EQ(run.code, 0u);
  EXPECT_NE(run.workspace.find("\\temp dir\\"), std::string::npos) << run.workspace;
  EXPECT_EQ(run.texts, Expected(run, kTransport));
  // Unpacked into the workspace itself, and the inner program deleted
  // before the files were counted.
  EXPECT_TRUE(run.looseFileAtTransport);
  EXPECT_FALSE(run.archiveLeftAtTransport);
  // The stub went on as soon as the inner program was done, instead of
  // sitting out the ten seconds allowed for a window to appear.
  EXPECT_LT(run.SecondsBetween(kExtracting, 1), 8000u);
  EXPECT_TRUE(driver::ReadFileBytes(root_ + "\\dest\\sub\\b.dll") == driver::RandomBytes(40000, 1));
  EXPECT_EQ(driver::ReadFileBytes(root_ + "\\dest\\a.dll"), std::string(1000, 'a'));
  EXPECT_EQ(driver::ReadFileBytes(root_ + "\\temp dir\\c.txt"), std::string(123, 'c'));
  EXPECT_EQ(driver::ReadFileBytes(root_ + "\\temp dir\\d e.txt"), "0123456789");
  EXPECT_FALSE(driver::Exists(root_ + "\\dest\\read me.txt"));
  EXPECT_FALSE(driver::Exists(run.workspace));
}

TEST_F(InnerProgramRun, StubStopsWaitingForAWindowThatComesTooLate) {
  std::string built = BuildLateWindow();
  RunResult run = Start(built, "late");
  ASSERT_TRUE(run.ended);
  EXPECT_EQ(run.code, 0u);
  EXPECT_EQ(run.texts, Expected(run, kNothingTransport));
  // 2 s pause, about 10.4 s of polls, then the archive is deleted as soon
  // as the late program has ended (at about 13.5 s).
  DWORD waited = run.SecondsBetween(kExtracting, 1);
  EXPECT_GE(waited, 11500u);
  EXPECT_LE(waited, 17000u);
  EXPECT_FALSE(driver::Exists(run.workspace));
}

TEST_F(InnerProgramRun, StubWaitsUntilTheInnerProgramsWindowHasGone) {
  std::string built = BuildLateWindow();
  environment_["SFX_E2E_WINDOW_DELAY_MS"] = "0";
  environment_["SFX_E2E_WINDOW_SHOW_MS"] = "5000";
  // A running program's file cannot be deleted, so the stub's attempts
  // (about 10.4 s) outlast the window only when they start after it:
  // then the archive goes when the program ends, 2 + 15 s after
  // "Extracting...". Attempts started at once would give up at 12.4 s.
  environment_["SFX_E2E_WINDOW_LINGER_MS"] = "10000";
  RunResult run = Start(built, "late");
  ASSERT_TRUE(run.ended);
  EXPECT_EQ(run.code, 0u);
  EXPECT_EQ(run.texts, Expected(run, kNothingTransport));
  DWORD waited = run.SecondsBetween(kExtracting, 1);
  EXPECT_GE(waited, 15000u);
  EXPECT_LE(waited, 22000u);
  EXPECT_FALSE(driver::Exists(run.workspace));
}

}  // namespace
