// Built files of stub-exe: sfxbuild wraps a folder into innersfx.exe and
// that into stub-exe, which runs it hidden in the workspace and follows
// its windows. Started as a user starts them and followed through their
// texts, with the moment each text appeared.
#include <gtest/gtest.h>

#include "built_file.h"

namespace {

const char kExtracting[] = "Extracting...\n\nSelf-extracting program";
const char kNothingTransport[] = "Transport...\n\n0 File\n0 Byte";

class InnerProgramRun : public driver::BuiltFileTest {
 protected:
  // Runs a stub-exe file whose archive is the late-window program, with
  // the test's settings of its window, and checks the run's texts and
  // that the stub waited between "Extracting..." and what came next for
  // `from` to `to` milliseconds.
  void ExpectLateRun(DWORD from, DWORD to) {
    std::string built = PackArchive("late.exe", "stub-exe", driver::ProgramFolder() + "\\late-window.exe");
    driver::ProgressRun run = Run(built);
    ASSERT_TRUE(run.ended);
    EXPECT_EQ(run.code, 0u);
    EXPECT_EQ(run.texts, driver::WholeRunTexts(run.workspace, kExtracting, kNothingTransport));
    DWORD waited = run.MillisecondsBetween(kExtracting, 1);
    EXPECT_GE(waited, from);
    EXPECT_LE(waited, to);
    EXPECT_FALSE(driver::Exists(run.workspace));
  }
};

TEST_F(InnerProgramRun, FolderPackedAsExeUnpacksThroughInnerProgramAndIsDistributed) {
  // $.exe lies at the top of the workspace beside loose.txt: neither counts.
  PutSampleApp();
  std::string built = PackFolder("Sample exe.exe", "--format exe");

  bool archiveLeftAtTransport = true, looseFileAtTransport = false;
  driver::ProgressRun run = Run(built, [&](const driver::ProgressRun& soFar) {
    if (soFar.texts.back().rfind("Transport...", 0) == 0) {
      archiveLeftAtTransport = driver::Exists(soFar.workspace + "\\$.exe");
      looseFileAtTransport = driver::Exists(soFar.workspace + "\\loose.txt");
    }
  });
  ASSERT_TRUE(run.ended);
  EXPECT_EQ(run.code, 0u);
  EXPECT_NE(run.workspace.find("\\temp dir\\"), std::string::npos) << run.workspace;
  EXPECT_EQ(run.texts, driver::WholeRunTexts(run.workspace, kExtracting, kSampleAppTransport));
  // Unpacked into the workspace itself, and the inner program deleted
  // before the files were counted.
  EXPECT_TRUE(looseFileAtTransport);
  EXPECT_FALSE(archiveLeftAtTransport);
  // The stub went on as soon as the inner program was done, instead of
  // sitting out the ten seconds allowed for a window to appear.
  EXPECT_LT(run.MillisecondsBetween(kExtracting, 1), 8000u);
  ExpectSampleAppDistributed();
  EXPECT_FALSE(driver::Exists(run.workspace));
}

TEST_F(InnerProgramRun, StubStopsWaitingForAWindowThatComesTooLate) {
  // 2 s pause, about 10.4 s of polls, then the archive is deleted as soon
  // as the late program has ended (at about 13.5 s).
  ExpectLateRun(11500, 17000);
}

TEST_F(InnerProgramRun, StubWaitsUntilTheInnerProgramsWindowHasGone) {
  environment_["SFX_E2E_WINDOW_DELAY_MS"] = "0";
  environment_["SFX_E2E_WINDOW_SHOW_MS"] = "5000";
  // A running program's file cannot be deleted, so the stub's attempts
  // (about 10.4 s) outlast the window only when they start after it:
  // then the archive goes when the program ends, 2 + 15 s after
  // "Extracting...". Attempts started at once would give up at 12.4 s.
  environment_["SFX_E2E_WINDOW_LINGER_MS"] = "10000";
  ExpectLateRun(15000, 22000);
}

}  // namespace
