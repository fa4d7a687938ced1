// Built files of stub-extract and stub-cab, made by sfxbuild from a folder
// of token folders, unpack into their workspace with the extractor they
// name. Started as a user starts them and followed through their texts.
#include <gtest/gtest.h>

#include <optional>

#include "built_file.h"

namespace {

const char kNothingTransport[] = "Transport...\n\n0 File\n0 Byte";
const char kExtractFinished[] = "Extracting...by EXTRAC*.EXE";
const char kCabFinished[] = "Extracting...\nby CAB32.DLL";
// "このプログラムを実行するには\nCab32.dllが必要です．" in code page 932.
const char kNoCab32Text[] =
    "\x82\xb1\x82\xcc\x83\x76\x83\x8d\x83\x4f\x83\x89\x83\x80\x82\xf0\x8e\xc0\x8d\x73\x82\xb7\x82\xe9\x82\xc9\x82\xcd"
    "\nCab32.dll"
    "\x82\xaa\x95\x4b\x97\x76\x82\xc5\x82\xb7\x81\x44";

// Takes the system's extrac32.exe out of the search path of this test's
// private Wine prefix, and puts it back even after a crashed run.
class HiddenExtrac32 {
 public:
  HiddenExtrac32() { hidden_ = MoveFileA(Path().c_str(), Hidden().c_str()) != 0; }
  ~HiddenExtrac32() { Restore(); }
  bool hidden() const { return hidden_; }
  static void Restore() {
    if (driver::Exists(Hidden())) MoveFileExA(Hidden().c_str(), Path().c_str(), MOVEFILE_REPLACE_EXISTING);
  }

 private:
  static std::string Path() { return driver::SystemFolder() + "\\extrac32.exe"; }
  static std::string Hidden() { return Path() + ".sfx-hidden"; }
  bool hidden_;
};

class CabinetRun : public driver::BuiltFileTest {
 protected:
  void SetUp() override {
    HiddenExtrac32::Restore();
    BuiltFileTest::SetUp();
    PutSampleApp();
  }

  // Runs root\<name>.exe, the sample packed in `format`, to its end; with
  // the system's extrac32.exe out of reach when asked.
  driver::ProgressRun BuildAndRun(const char* format, const std::string& name, bool withoutExtrac32 = false) {
    std::string built = PackFolder(name + ".exe", std::string("--format ") + format);
    std::optional<HiddenExtrac32> hide;
    if (withoutExtrac32) {
      EXPECT_TRUE(hide.emplace().hidden());
    }
    driver::ProgressRun run = Run(built);
    EXPECT_EQ(run.code, 0u);
    return run;
  }

  // The run went through with `extracting`, and the sample was unpacked
  // and distributed, or nothing was.
  void ExpectRun(const driver::ProgressRun& run, const char* extracting, bool unpacked) {
    EXPECT_EQ(run.texts,
              driver::WholeRunTexts(run.workspace, extracting, unpacked ? kSampleAppTransport : kNothingTransport));
    if (unpacked) {
      ExpectSampleAppDistributed();
    } else {
      EXPECT_FALSE(driver::Exists(dest_ + "\\sub\\b.dll"));
    }
  }

  // Puts the stand-in extract.exe on PATH and has it log its process id.
  void OfferExtract() {
    std::string tools = root_ + "\\tools";
    ASSERT_TRUE(driver::MakeFolders(tools));
    ASSERT_TRUE(driver::CopyFromProgramFolder("extract.exe", tools));
    char path[4096];
    DWORD length = GetEnvironmentVariableA("PATH", path, sizeof path);
    environment_["PATH"] = tools + ";" + std::string(path, length < sizeof path ? length : 0);
    environment_["SFX_EXTRACT_LOG"] = ExtractLog();
  }
  std::string ExtractLog() const { return root_ + "\\extract.log"; }
};

TEST_F(CabinetRun, StubExtractUnpacksWithExtrac32AndLeavesExtractAlone) {
  OfferExtract();
  driver::ProgressRun run = BuildAndRun("extract", "Sample extract");
  ExpectRun(run, kExtractFinished, true);
  EXPECT_FALSE(driver::Exists(ExtractLog())) << "extract.exe ran although extrac32.exe was there";
  EXPECT_FALSE(driver::Exists(run.workspace));
}

TEST_F(CabinetRun, StubExtractFallsBackToExtractAndEndsIt) {
  OfferExtract();
  ExpectRun(BuildAndRun("extract", "fallback", true), kExtractFinished, true);
  // The stand-in never ends by itself: gone means ended by the stub.
  std::string log = driver::ReadFileBytes(ExtractLog());
  ASSERT_FALSE(log.empty()) << "extract.exe did not run";
  DWORD pid = strtoul(log.c_str(), nullptr, 10);
  HANDLE process = OpenProcess(SYNCHRONIZE | PROCESS_QUERY_INFORMATION, FALSE, pid);
  if (process) {
    EXPECT_EQ(WaitForSingleObject(process, 5000), WAIT_OBJECT_0) << "extract.exe still runs";
    DWORD code = 99;
    GetExitCodeProcess(process, &code);
    EXPECT_EQ(code, 0u);
    CloseHandle(process);
  }
}

TEST_F(CabinetRun, StubExtractWithoutAnyExtractorUnpacksNothing) {
  ExpectRun(BuildAndRun("extract", "none", true), kExtractFinished, false);
}

TEST_F(CabinetRun, StubCabUnpacksWithCab32) {
  environment_["PATH"] = driver::ProgramFolder() + ";C:\\windows\\system32;C:\\windows";
  driver::ProgressRun run = BuildAndRun("cab", "Sample cab");
  ExpectRun(run, kCabFinished, true);
  EXPECT_FALSE(driver::Exists(run.workspace));
}

TEST_F(CabinetRun, StubCabWithoutCab32SaysSoAndEndsWithOne) {
  std::string built = PackFolder("no library.exe", "--format cab");
  environment_["PATH"] = "C:\\windows\\system32;C:\\windows";
  driver::Process process = Start(built);
  ASSERT_TRUE(process.started());
  std::string text;
  ASSERT_TRUE(driver::AnswerMessageBox(process.id(), nullptr, IDOK, 10000, &text));
  EXPECT_EQ(text, kNoCab32Text);
  ASSERT_EQ(process.ExitCode(), 1u);
  EXPECT_EQ(driver::Entries(temp_), std::set<std::string>()) << "no workspace is made before the check";
}

}  // namespace
