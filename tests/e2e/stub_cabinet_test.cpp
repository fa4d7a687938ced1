// Built files of stub-extract and stub-cab, made by sfxbuild from a folder
// of token folders, unpack into their workspace with the extractor they
// name. Started as a user starts them and followed through their texts.
#include <gtest/gtest.h>

#include <random>

#include "window_driver.h"

namespace {

constexpr int kProgressText = 1001;
constexpr DWORD kRunTimeoutMs = 40000;

// Five files below the token folders; the loose file at the top is left
// out of every count. All of them are moved, so nothing is left over.
const char kTransport[] = "Transport...\n\n5 Files\n41,142 Bytes";
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
  static std::string Path() {
    char system[MAX_PATH];
    GetSystemDirectoryA(system, sizeof system);
    return std::string(system) + "\\extrac32.exe";
  }
  static std::string Hidden() { return Path() + ".sfx-hidden"; }
  bool hidden_;
};

struct RunResult {
  std::vector<std::string> texts;
  std::string workspace;
  std::string unpackedSample;  // sub\b.dll as distributed
  DWORD code = 99;
};

class CabinetRun : public ::testing::Test {
 protected:
  void SetUp() override {
    HiddenExtrac32::Restore();
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    root_ = std::string("C:\\sfx e2e\\") + info->name();
    driver::RemoveTree(root_);
    ASSERT_TRUE(driver::MakeFolders(root_ + "\\temp dir"));
    // Token folders that point into this test's own folders.
    ASSERT_TRUE(driver::MakeFolders(root_ + "\\dest"));
    environment_ = {{"TMP", root_ + "\\temp dir"}, {"TEMP", root_ + "\\temp dir"}, {"SFX_E2E_DEST", root_ + "\\dest"}};
    Put("[shell]\\read me.txt", "read me\r\n");
    Put("[Environment]\\SFX_E2E_DEST\\a.dll", std::string(1000, 'a'));
    Put("[Environment]\\SFX_E2E_DEST\\sub\\b.dll", driver::RandomBytes(40000, 1));
    Put("[Temporary]\\c.txt", std::string(123, 'c'));
    Put("[Temporary]\\d e.txt", "0123456789");
    Put("loose.txt", std::string(50, 'l'));
  }
  void TearDown() override {
    if (!HasFailure()) driver::RemoveTree(root_);
  }

  void Put(const std::string& relative, const std::string& bytes) {
    std::string path = root_ + "\\app\\" + relative;
    driver::MakeFolders(path.substr(0, path.rfind('\\')));
    ASSERT_TRUE(driver::WriteFileBytes(path, bytes)) << path;
  }

  // Makes root\<name>.exe from root\app with sfxbuild.exe.
  std::string Build(const char* format, const std::string& name) {
    std::string built = root_ + "\\" + name + ".exe";
    std::string command = "\"" + driver::ProgramFolder() + "\\sfxbuild.exe\" pack --format " + format +
                          " --from \"" + root_ + "\\app\" -o \"" + built + "\"";
    EXPECT_EQ(driver::RunToEnd(command, root_), 0) << command;
    return built;
  }

  RunResult Start(const std::string& built, const std::string& title) {
    RunResult run;
    driver::Process process = driver::Start("\"" + built + "\"", root_, &environment_);
    EXPECT_TRUE(process.started());
    HWND window = driver::WaitForWindow(process.id(), "#32770", title.c_str(), 10000);
    EXPECT_NE(window, nullptr);
    if (!window) return run;
    run.texts = driver::FollowTexts(process, window, kProgressText, kRunTimeoutMs, [&](const std::string& text) {
      if (run.workspace.empty()) run.workspace = driver::WorkspaceOf(text);
    });
    EXPECT_TRUE(process.Wait(10000, &run.code));
    // What was unpacked has been moved where its token points.
    run.unpackedSample = driver::ReadFileBytes(root_ + "\\dest\\sub\\b.dll");
    if (!run.texts.empty() && run.texts.front().empty()) run.texts.erase(run.texts.begin());
    return run;
  }

  static std::vector<std::string> Expected(const RunResult& run, const std::string& extracting, bool unpacked) {
    return {
        "Making folder\n\"" + run.workspace + "\"\nas workspace...",
        "Dividing data...\nfrom me.",
        extracting,
        unpacked ? kTransport : kNothingTransport,
        "Deleting workspace...",
    };
  }

  // Puts the stand-in extract.exe on PATH and has it log its process id.
  void OfferExtract() {
    std::string tools = root_ + "\\tools";
    ASSERT_TRUE(driver::MakeFolders(tools));
    ASSERT_TRUE(CopyFileA((driver::ProgramFolder() + "\\extract.exe").c_str(), (tools + "\\extract.exe").c_str(),
                          FALSE));
    char path[4096];
    DWORD length = GetEnvironmentVariableA("PATH", path, sizeof path);
    environment_["PATH"] = tools + ";" + std::string(path, length < sizeof path ? length : 0);
    environment_["SFX_EXTRACT_LOG"] = ExtractLog();
  }
  std::string ExtractLog() const { return root_ + "\\extract.log"; }

  std::string root_;
  std::map<std::string, std::string> environment_;
};

TEST_F(CabinetRun, StubExtractUnpacksWithExtrac32AndLeavesExtractAlone) {
  OfferExtract();
  std::string built = Build("extract", "Sample extract");
  RunResult run = Start(built, "Sample extract");
  EXPECT_EQ(run.code, 0u);
  EXPECT_EQ(run.texts, Expected(run, kExtractFinished, true));
  EXPECT_TRUE(run.unpackedSample == driver::RandomBytes(40000, 1));
  EXPECT_FALSE(driver::Exists(ExtractLog())) << "extract.exe ran although extrac32.exe was there";
  EXPECT_FALSE(driver::Exists(run.workspace));
  // Distributed where the tokens point; "[shell]" is never copied.
  EXPECT_TRUE(driver::ReadFileBytes(root_ + "\\dest\\sub\\b.dll") == driver::RandomBytes(40000, 1));
  EXPECT_EQ(driver::ReadFileBytes(root_ + "\\dest\\a.dll"), std::string(1000, 'a'));
  EXPECT_EQ(driver::ReadFileBytes(root_ + "\\temp dir\\d e.txt"), "0123456789");
  EXPECT_FALSE(driver::Exists(root_ + "\\dest\\read me.txt"));
}

TEST_F(CabinetRun, StubExtractFallsBackToExtractAndEndsIt) {
  OfferExtract();
  std::string built = Build("extract", "fallback");
  HiddenExtrac32 hide;
  ASSERT_TRUE(hide.hidden());
  RunResult run = Start(built, "fallback");
  EXPECT_EQ(run.code, 0u);
  EXPECT_EQ(run.texts, Expected(run, kExtractFinished, true));
  EXPECT_TRUE(run.unpackedSample == driver::RandomBytes(40000, 1));
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
  std::string built = Build("extract", "none");
  HiddenExtrac32 hide;
  ASSERT_TRUE(hide.hidden());
  RunResult run = Start(built, "none");
  EXPECT_EQ(run.code, 0u);
  EXPECT_EQ(run.texts, Expected(run, kExtractFinished, false));
}

TEST_F(CabinetRun, StubCabUnpacksWithCab32) {
  std::string built = Build("cab", "Sample cab");
  environment_["PATH"] = driver::ProgramFolder() + ";C:\\windows\\system32;C:\\windows";
  RunResult run = Start(built, "Sample cab");
  EXPECT_EQ(run.code, 0u);
  EXPECT_EQ(run.texts, Expected(run, kCabFinished, true));
  EXPECT_TRUE(run.unpackedSample == driver::RandomBytes(40000, 1));
  EXPECT_FALSE(driver::Exists(run.workspace));
}

TEST_F(CabinetRun, StubCabWithoutCab32SaysSoAndEndsWithOne) {
  std::string built = Build("cab", "no library");
  environment_["PATH"] = "C:\\windows\\system32;C:\\windows";
  driver::Process process = driver::Start("\"" + built + "\"", root_, &environment_);
  ASSERT_TRUE(process.started());
  std::string text;
  ASSERT_TRUE(driver::AnswerMessageBox(process.id(), nullptr, IDOK, 10000, &text));
  EXPECT_EQ(text, kNoCab32Text);
  DWORD code = 99;
  ASSERT_TRUE(process.Wait(10000, &code));
  EXPECT_EQ(code, 1u);
  WIN32_FIND_DATAA entry;
  HANDLE find = FindFirstFileA((root_ + "\\temp dir\\*").c_str(), &entry);
  int entries = 0;
  if (find != INVALID_HANDLE_VALUE) {
    do ++entries;
    while (FindNextFileA(find, &entry));
    FindClose(find);
  }
  EXPECT_EQ(entries, 2) << "no workspace is made before the check";
}

}  // namespace
