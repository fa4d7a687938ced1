// The whole road of an application, once for each stub program. A built
// file's "[shell]" holds setup.exe beside its Setup.ini and the
// application's files; its token folders hold a library for the system
// folder and files for the installed application. The user starts it,
// presses setup's run button, closes the description the built file opened
// beside setup, and presses OK; the final command runs from the installed
// application. Then the system's list starts the uninstall, and the machine
// is compared with how it was before: only what the kit keeps on purpose
// differs. The same built file, damaged, starts and moves nothing.
#include <gtest/gtest.h>

#include <stdlib.h>

#include <algorithm>

#include "built_file.h"
#include "setup_run.h"
#include "snapshot.h"

namespace {

std::string ParameterName(const testing::TestParamInfo<driver::StubProgram>& info) {
  std::string name = info.param.name;
  std::replace(name.begin(), name.end(), '-', '_');
  return name;
}

class Road : public driver::BuiltFileTest, public testing::WithParamInterface<driver::StubProgram> {
 protected:
  void SetUp() override {
    BuiltFileTest::SetUp();
    // The suite also runs under another code page, where setup's Japanese
    // texts turn into other characters: it must be the one asked for.
    if (const char* codePage = getenv("SFX_E2E_CODE_PAGE")) {
      ASSERT_EQ(GetACP(), strtoul(codePage, nullptr, 10));
    }
    const driver::StubProgram& stub = GetParam();
    if (stub.library) {
      ASSERT_TRUE(driver::CopyFromProgramFolder(stub.library, root_));
    }
    format_ = stub.format;
    name_ = "Sfx Road " + format_;
    folder_ = root_ + "\\" + name_;
    caption_ = "サンプル Road " + format_;
    systemFile_ = driver::SystemFolder() + "\\sfx road " + format_ + ".dll";
    marker_ = root_ + "\\final ran.txt";
    classes_ = {".sfxroad-" + format_, "SfxRoad." + format_};
    ownKeys_ = {"Software\\Sfx Road " + format_, "Software\\Sfx Road Company " + format_};
    // Whatever a failed run leaves outside the root.
    DeleteKeyAtEnd(HKEY_LOCAL_MACHINE, driver::UninstallKey(name_));
    for (const std::string& key : classes_) DeleteKeyAtEnd(HKEY_CLASSES_ROOT, key);
    for (const std::string& key : ownKeys_) {
      DeleteKeyAtEnd(HKEY_CURRENT_USER, key);
      DeleteKeyAtEnd(HKEY_LOCAL_MACHINE, key);
    }
    RemoveAtEnd(driver::ShellFolder(CSIDL_PROGRAMS) + "\\" + caption_);
    RemoveAtEnd(driver::ShellFolder(CSIDL_DESKTOPDIRECTORY) + "\\" + caption_ + ".lnk");
    RemoveAtEnd(systemFile_);
  }

  // A file of the packed folder, counted as the run's transport counts it.
  void PutCounted(const std::string& relative, const std::string& bytes) {
    Put(relative, bytes);
    ++files_;
    bytes_ += bytes.size();
  }

  // A file whose name an author's machine holds in Japanese: the builder
  // takes every name in code page 932, whatever this process's is.
  void PutJapanese(const std::string& relative, const std::string& bytes) {
    std::string path = root_ + "\\app\\" + relative;
    ASSERT_TRUE(driver::MakeFolders(driver::ParentOf(path)));
    WCHAR wide[MAX_PATH];
    ASSERT_NE(MultiByteToWideChar(932, 0, path.c_str(), -1, wide, MAX_PATH), 0);
    HANDLE file = CreateFileW(wide, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    DWORD written = 0;
    WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
    ++files_;
    bytes_ += bytes.size();
  }

  // The application's packed folder, packed by the stub under test.
  std::string BuildRoadApp() {
    std::string f = format_;
    PutCounted("[shell]\\setup.exe", driver::ReadFileBytes(driver::ProgramFolder() + "\\setup.exe"));
    description_ =
        "[Setup]\r\nName=" + caption_ + "\r\n[Root]\r\nName=" + folder_.substr(3) +
        "\r\n[Check]\r\nMenu=2\r\nDesktop=2\r\nExt=2\r\n"
        "[CopyFile]\r\n0=bin\\road.exe\r\n1=doc\\読んでね.txt\r\n[MakeDirectory]\r\n1=bin\r\n2=doc\r\n"
        "[Menu]\r\nName=" + caption_ + "\r\n[Menu0]\r\nName=Road\r\nPath=bin\\road.exe\r\n"
        // 表 ends in the byte of a backslash: one name in code page 932, two folders in 1252.
        "[Menu1]\r\nName=表示\\読んでね\r\nPath=doc\\読んでね.txt\r\n"
        "[Desktop]\r\nName=" + caption_ + "\r\nPath=bin\\road.exe\r\n"
        "[Ext0]\r\nExt=.sfxroad-" + f + "\r\nKind=SfxRoad." + f +
        "\r\nIcon=bin\\road.exe\r\nVerb=open\r\nCommand=\"bin\\road.exe\" \"%1\"\r\n"
        "[Reg]\r\nMake0=HKEY_CURRENT_USER\\Software\\Sfx Road " + f + "\\\\Folder\\%root%\r\n"
        "Make1=HKLM\\SOFTWARE\\Sfx Road " + f + "\\\\Level\\!3\r\n"
        "Erase0=HKEY_CURRENT_USER\\Software\\Sfx Road " + f + "\r\nErase1=HKLM\\SOFTWARE\\Sfx Road " + f +
        "\r\n[Registry]\r\nCompany=Sfx Road Company " + f + "\r\nName=Road\r\n"
        "[Del]\r\nAuto=1\r\nShowError=1\r\n";
    PutCounted("[shell]\\Setup.ini", description_);
    PutCounted("[shell]\\bin\\road.exe", "MZ road");
    PutJapanese("[shell]\\doc\\読んでね.txt", "read me\r\n");
    PutCounted("[System]\\" + driver::NameOf(systemFile_), "MZ library");
    std::string application = "[Application]\\" + name_ + "\\";
    PutCounted(application + "plugin.dll", "MZ plugin");
    PutCounted(application + "plugins\\extra.dat", "extra");
    PutCounted(application + "done.bat", driver::FolderMarkerBatch(marker_));
    return PackFolder(name_ + " Setup.exe", "--format " + f + " --final \"[Application]\\" + name_ + "\\done.bat\"");
  }

  // What the built file's run touches besides the registry: the test's
  // own folder, the user's folders and the system folder's top.
  std::vector<std::string> FileSnapshot() {
    std::vector<std::string> items;
    driver::ListFiles(root_, true, &items);
    driver::ListUserFolders(&items);
    driver::ListFiles(driver::SystemFolder(), false, &items);
    return items;
  }

  // The user's part while the built file waits for OK: setup's run
  // button, then the description the built file opened in the editor
  // closed, then OK.
  void InstallAndPressOk(const driver::ProgressRun& run) {
    HWND dialog = driver::WaitForWindow(0, "#32770", caption_.c_str(), setuptest::kDialogTimeoutMs);
    ASSERT_NE(dialog, nullptr) << "setup did not start from [shell]";
    EXPECT_EQ(setuptest::FieldText(dialog, IDC_FOLDER), folder_);
    DWORD id = 0;
    GetWindowThreadProcessId(dialog, &id);
    HANDLE setup = OpenProcess(SYNCHRONIZE | PROCESS_QUERY_INFORMATION, FALSE, id);
    ASSERT_NE(setup, nullptr);
    driver::PressButton(dialog, IDC_RUN);
    DWORD code = 99;
    EXPECT_EQ(WaitForSingleObject(setup, 30000), WAIT_OBJECT_0);
    GetExitCodeProcess(setup, &code);
    CloseHandle(setup);
    EXPECT_EQ(code, 0u);
    HWND editor = driver::WaitForWindow(0, "Notepad", nullptr, 10000);
    EXPECT_NE(editor, nullptr) << "Setup.ini lies in [shell] too and is opened";
    if (editor) {
      GetWindowThreadProcessId(editor, &id);
      HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, id);
      PostMessageA(editor, WM_CLOSE, 0, 0);
      if (process) {
        EXPECT_EQ(WaitForSingleObject(process, 10000), WAIT_OBJECT_0);
        CloseHandle(process);
      }
    }
    EXPECT_FALSE(driver::Exists(folder_ + "\\plugin.dll")) << "nothing moves before OK";
    // setup keeps its records in the description, which the run counts too.
    bytes_ += driver::ReadFileBytes(run.workspace + "\\[shell]\\Setup.ini").size() - description_.size();
    driver::PressButton(run.window, IDC_OK);
  }

  // The text of a message box of `process` (the uninstall's report of what
  // it left), or nothing.
  static std::string BoxText(const driver::Process& process) {
    for (HWND window : driver::TopLevelWindows(process.id()))
      if (IsWindowVisible(window) && GetDlgItem(window, 0xFFFF)) return setuptest::FieldText(window, 0xFFFF);
    return std::string();
  }

  std::string format_, name_, folder_, caption_, systemFile_, marker_, description_;
  std::vector<std::string> classes_, ownKeys_;
  size_t files_ = 0, bytes_ = 0;
};

TEST_P(Road, InstallsThroughSetupAndTheUninstallLeavesOnlyWhatTheKitKeeps) {
  std::string built = BuildRoadApp();
  std::vector<std::string> registryBefore = driver::RegistrySnapshot(classes_, ownKeys_), filesBefore = FileSnapshot();

  driver::ProgressRun run = Run(built, [&](const driver::ProgressRun& soFar) {
    if (soFar.texts.back() == driver::kWaitingText) InstallAndPressOk(soFar);
  });
  ASSERT_TRUE(run.ended);
  EXPECT_EQ(run.code, 0u);
  std::vector<std::string> texts = driver::WholeRunTexts(run.workspace, GetParam().extracting,
                                                         "Transport...\n\n" + driver::CountText(files_, bytes_));
  texts.insert(texts.begin() + 3, driver::kWaitingText);
  EXPECT_EQ(run.texts, texts) << "everything moved";
  ASSERT_TRUE(driver::WaitForLine(marker_)) << "the final command did not run";
  EXPECT_EQ(driver::MarkedFolder(marker_), folder_);
  DeleteFileA(marker_.c_str());

  // The stub recorded what it moved into the installed application after
  // setup's own records; its folder was recorded already.
  std::string installed = folder_ + "\\Setup.ini", f = folder_ + "\\";
  std::vector<std::string> copied = driver::ProfileList(installed, "CopiedFile");
  ASSERT_EQ(copied.size(), 5u);
  EXPECT_EQ(std::vector<std::string>(copied.begin(), copied.begin() + 2),
            (std::vector<std::string>{f + "bin\\road.exe", f + "doc\\読んでね.txt"}));
  std::vector<std::string> moved(copied.begin() + 2, copied.end());
  std::sort(moved.begin(), moved.end());
  // A moved folder is recorded by its files and, as a folder made, after setup's.
  EXPECT_EQ(moved, (std::vector<std::string>{f + "done.bat", f + "plugin.dll", f + "plugins\\extra.dat"}));
  EXPECT_EQ(driver::ProfileList(installed, "MakedDirectory"),
            (std::vector<std::string>{folder_, f + "bin", f + "doc", f + "plugins"}));
  EXPECT_EQ(driver::ReadFileBytes(f + "plugins\\extra.dat"), "extra");
  EXPECT_EQ(driver::ReadFileBytes(systemFile_), "MZ library");
  // The application in use keeps its settings where [Registry] names them.
  for (HKEY root : {HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE})
    ASSERT_TRUE(driver::SetKeyString(root, ownKeys_[1] + "\\Road\\Window", "Left", "10"));

  driver::Process uninstall = setuptest::StartFromUninstallList(name_);
  EXPECT_NE(driver::WaitForWindow(uninstall.id(), "#32770", caption_.c_str(), setuptest::kDialogTimeoutMs), nullptr);
  // [Del] ShowError would hold the program with a report of what is left.
  DWORD code = 99;
  bool ended = uninstall.Wait(30000, &code);
  EXPECT_TRUE(ended) << BoxText(uninstall);
  EXPECT_EQ(code, 0u);
  setuptest::ExpectRemovalCopyDone(folder_, true);
  for (const std::string& path : moved) EXPECT_FALSE(driver::Exists(path)) << path;
  EXPECT_EQ(driver::Difference(registryBefore, driver::RegistrySnapshot(classes_, ownKeys_)), "");
  // A file moved into a machine folder is no part of the application's
  // records: the kit leaves it where it went.
  EXPECT_EQ(driver::Difference(filesBefore, FileSnapshot()), "+ " + systemFile_ + " 10\n");
}

TEST_P(Road, ADamagedBuiltFileStartsAndMovesNothing) {
  std::string built = BuildRoadApp();
  std::string bytes = driver::ReadFileBytes(built);
  size_t block = bytes.find("\\Joinpak\\Payloadstart\\Yorbel\\");
  ASSERT_NE(block, std::string::npos);
  bytes[block + 256 + 20] ^= 0x01;  // a counted row of the archive
  ASSERT_TRUE(driver::WriteFileBytes(built, bytes));

  driver::Process process = Start(built);
  std::string text;
  ASSERT_TRUE(driver::AnswerMessageBox(process.id(), "WARNING !", IDOK, 15000, &text));
  EXPECT_EQ(text, driver::kWarningText);
  EXPECT_EQ(process.ExitCode(), 0u);
  // setup would wait for its user and the editor for its: every program
  // the built file started has ended.
  ASSERT_TRUE(process.WaitForItsPrograms());
  EXPECT_EQ(driver::Entries(driver::WorkspaceIn(temp_)), std::set<std::string>{GetParam().archiveName})
      << "nothing is unpacked";
  EXPECT_FALSE(driver::Exists(systemFile_));
  EXPECT_FALSE(driver::Exists(folder_));
  EXPECT_FALSE(driver::Exists(marker_));
}

INSTANTIATE_TEST_SUITE_P(EveryStub, Road, testing::ValuesIn(driver::kStubPrograms), ParameterName);

}  // namespace
