// Built files of the four stub programs, made by sfxbuild and started as a
// user starts them; the run is followed through its window's texts.
#include <gtest/gtest.h>

#include "built_file.h"

namespace {

class StubRun : public driver::BuiltFileTest {
 protected:
  void SetUp() override {
    BuiltFileTest::SetUp();
    // stub-cab does not start without its library beside the built file,
    // and stub-lzh needs lzhdec32.dll there, as they are shipped.
    ASSERT_TRUE(driver::CopyFromProgramFolder("cab32.dll", root_));
    ASSERT_TRUE(driver::CopyFromProgramFolder("lzhdec32.dll", root_));
  }

  // Builds root\`output` from a stub program and `archive` with sfxbuild.
  std::string Build(const driver::StubProgram& program, const std::string& archive, const std::string& output) {
    std::string archivePath = root_ + "\\archive.bin";
    EXPECT_TRUE(driver::WriteFileBytes(archivePath, archive));
    return PackArchive(output, program.name, archivePath);
  }

  // Runs a built file that finds itself damaged: returns the warning's
  // text, once answered, and the workspace the run made.
  std::string AnswerWarning(const driver::Process& process, const char* title, std::string* workspace) {
    EXPECT_NE(driver::WaitForWindow(process.id(), "#32770", title, 10000), nullptr);
    std::string text;
    EXPECT_TRUE(driver::AnswerMessageBox(process.id(), "WARNING !", IDOK, 10000, &text));
    *workspace = driver::WorkspaceIn(temp_);
    return text;
  }
};

TEST_F(StubRun, EveryStubProgramRunsTheWholeSequence) {
  for (const driver::StubProgram& program : driver::kStubPrograms) {
    SCOPED_TRACE(program.name);
    // 100,007 bytes: the archive's last 7 bytes lie outside the sums.
    std::string archive = driver::RandomBytes(100007, 7);
    // The title is the built file's base name.
    std::string built = Build(program, archive, std::string("Sample ") + program.name + ".exe");

    std::string archiveSeen;
    bool workspaceExisted = false;
    driver::ProgressRun run = Run(built, [&](const driver::ProgressRun& soFar) {
      if (soFar.texts.back().rfind("Transport...", 0) == 0) {
        workspaceExisted = driver::IsFolder(soFar.workspace);
        archiveSeen = driver::ReadFileBytes(soFar.workspace + "\\" + program.archiveName);
        driver::Screenshot(driver::ScreenshotPath(program.name), soFar.window);
      }
    });
    ASSERT_TRUE(run.ended);
    EXPECT_EQ(run.code, 0u);
    EXPECT_EQ(run.texts, driver::WholeRunTexts(run.workspace, program.extracting, "Transport...\n\n0 File\n0 Byte"));
    EXPECT_TRUE(driver::IsWorkspaceName(run.workspace, temp_)) << run.workspace;
    EXPECT_TRUE(workspaceExisted);
    EXPECT_TRUE(archiveSeen == archive) << "archive of " << archiveSeen.size() << " bytes";
    EXPECT_FALSE(driver::Exists(run.workspace)) << "the workspace is deleted at the end";
  }
}

TEST_F(StubRun, DamagedFileWarnsAndKeepsTheWorkspaceWithTheArchive) {
  std::string archive = driver::RandomBytes(5000, 11);
  std::string built = Build(driver::kStubPrograms[2], archive, "damaged.exe");
  std::string bytes = driver::ReadFileBytes(built);
  bytes[bytes.size() - archive.size() + 100] ^= 0x01;  // a counted row of the archive
  ASSERT_TRUE(driver::WriteFileBytes(built, bytes));

  driver::Process process = Start(built);
  std::string workspace;
  ASSERT_EQ(AnswerWarning(process, "damaged", &workspace), driver::kWarningText);
  ASSERT_EQ(process.ExitCode(), 0u);
  std::string kept = driver::ReadFileBytes(workspace + "\\$.lzh");
  EXPECT_EQ(kept.size(), archive.size());
  EXPECT_TRUE(kept == archive.substr(0, 100) + static_cast<char>(archive[100] ^ 1) + archive.substr(101));
}

TEST_F(StubRun, StubWithoutPayloadWarnsAndLeavesAnEmptyArchive) {
  std::string plain = root_ + "\\plain.exe";
  ASSERT_TRUE(CopyFileA((driver::ProgramFolder() + "\\stub-extract.exe").c_str(), plain.c_str(), FALSE));
  driver::Process process = Start(plain);
  std::string workspace;
  ASSERT_EQ(AnswerWarning(process, "plain", &workspace), driver::kWarningText);
  ASSERT_TRUE(process.Wait(10000));
  EXPECT_TRUE(driver::IsFolder(workspace));
  EXPECT_TRUE(driver::Exists(workspace + "\\$.cab"));
  EXPECT_EQ(driver::ReadFileBytes(workspace + "\\$.cab").size(), 0u);
}

TEST_F(StubRun, PlusInTheProgramPathIsNoSecondInstance) {
  ASSERT_TRUE(driver::MakeFolders(root_ + "\\a+b"));
  // A second instance would show no window.
  driver::ProgressRun run = Run(Build(driver::kStubPrograms[2], driver::RandomBytes(300, 3), "a+b\\one+two.exe"));
  ASSERT_FALSE(run.texts.empty());
  EXPECT_EQ(run.texts.back(), "Deleting workspace...");
}

TEST_F(StubRun, WithoutTmpAndTempTheWorkspaceIsMadeInTheWindowsFolder) {
  std::string built = Build(driver::kStubPrograms[3], driver::RandomBytes(64, 5), "notemp.exe");
  environment_ = {{"TMP", ""}, {"TEMP", ""}};  // left out of the built file's environment
  bool existed = false;
  driver::ProgressRun run = Run(built, [&](const driver::ProgressRun& soFar) {
    if (soFar.texts.back().rfind("Extracting", 0) == 0) existed = driver::IsFolder(soFar.workspace);
  });
  EXPECT_TRUE(driver::IsWorkspaceName(run.workspace, driver::WindowsFolder())) << run.workspace;
  EXPECT_TRUE(existed);
  EXPECT_FALSE(driver::Exists(run.workspace));
}

TEST_F(StubRun, UnusableTemporaryFolderEndsQuietly) {
  std::string built = Build(driver::kStubPrograms[2], driver::RandomBytes(64, 6), "nowhere.exe");
  environment_ = {{"TMP", root_ + "\\no such folder"}, {"TEMP", root_ + "\\no such folder"}};
  driver::ProgressRun run = Run(built);
  ASSERT_TRUE(run.ended) << "no message box holds the program";
  EXPECT_EQ(run.code, 0u);
  ASSERT_FALSE(run.texts.empty());
  EXPECT_EQ(run.texts.back(), "Dividing data...\nfrom me.");
  EXPECT_FALSE(driver::Exists(root_ + "\\no such folder"));
}

}  // namespace
