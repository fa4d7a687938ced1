// The minimal and the typical example as their authors try them: the files
// of their [shell] beside setup.exe and Sample App where their Setup.ini
// expects it; installed through the dialog into a folder of the test's,
// then uninstalled from the system's list, leaving none of their files,
// links and keys. (make demo runs the complete example's whole road.)
#include "machine.h"
#include "setup_run.h"

namespace {

using namespace setuptest;

class Examples : public SetupRun {
 protected:
  void TearDown() override {
    // What a failed uninstall would leave where other programs look.
    driver::RemoveTree(UserFolder("Programs") + "\\Typical Sample");
    DeleteFileA((UserFolder("Desktop") + "\\Typical Sample.lnk").c_str());
    driver::DeleteKeyTree(HKEY_CURRENT_USER, "Software\\Sample Maker");
    SetupRun::TearDown();
  }
  // The example's [shell], which the build keeps in fixtures\examples, and
  // the program, which the example does not hold.
  void Stage(const std::string& example) {
    const std::string shell = driver::FixturePath("examples\\" + example + "\\[shell]");
    for (const std::string& entry : driver::Tree(shell)) {
      if (entry.back() == '\\')
        ASSERT_TRUE(driver::MakeFolders(app_ + "\\" + entry.substr(0, entry.size() - 1)));
      else
        ASSERT_TRUE(CopyFileA((shell + "\\" + entry).c_str(), (app_ + "\\" + entry).c_str(), FALSE)) << entry;
    }
    ASSERT_TRUE(driver::MakeFolders(app_ + "\\bin"));
    ASSERT_TRUE(CopyFileA((driver::ProgramFolder() + "\\Sample App.exe").c_str(),
                          (app_ + "\\bin\\Sample App.exe").c_str(), FALSE));
  }
  // The dialog as it opens: the folder it proposes below the program-files
  // folder, changed to `folder`.
  HWND OpenDialog(driver::Process& process, const char* caption, const std::string& proposed,
                  const std::string& folder) {
    HWND dialog = WaitForDialog(process, caption);
    if (!dialog) return nullptr;
    EXPECT_EQ(FieldText(dialog, IDC_FOLDER), driver::ProgramFilesFolder() + "\\" + proposed);
    SendDlgItemMessageA(dialog, IDC_FOLDER, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(folder.c_str()));
    return dialog;
  }
  // Uninstalls `application` from the system's list, the uninstall box
  // checked as the user leaves it, and waits until the removal copy has
  // taken `folder`.
  void Uninstall(const std::string& application, const char* caption, const std::string& folder) {
    EXPECT_EQ(UninstallCommand(application), folder + "\\Setup.exe");
    driver::Process process = StartFromUninstallList(application);
    HWND dialog = WaitForDialog(process, caption);
    ASSERT_NE(dialog, nullptr);
    ASSERT_TRUE(driver::WaitForText(dialog, IDC_FOLDER_LABEL, "インストール済です．", kDialogTimeoutMs));
    if (!Checked(dialog, IDC_COPY)) SendMessageA(GetDlgItem(dialog, IDC_COPY), BM_CLICK, 0, 0);
    driver::PressButton(dialog, IDC_RUN);
    // [Del] ShowError would hold the run with a report of what stayed.
    ExpectEnd(process);
    ExpectRemovalCopyDone(folder, true);
    EXPECT_EQ(UninstallCommand(application), "");
  }
};

TEST_F(Examples, MinimalFilesComeAndGo) {
  Stage("minimal");
  keys_.push_back("Minimal Sample");
  const std::string folder = root_ + "\\Minimal Sample";
  driver::Process process = Start();
  HWND dialog = OpenDialog(process, "Minimal Sample 1.0", "Minimal Sample", folder);
  ASSERT_NE(dialog, nullptr);
  for (int id : {IDC_MENU, IDC_DESKTOP, IDC_STARTUP, IDC_EXT, IDC_SEND, IDC_COPY, IDC_READ_ME})
    EXPECT_FALSE(driver::IsControlVisible(dialog, id)) << id;
  driver::PressButton(dialog, IDC_RUN);
  ExpectEnd(process);
  for (const char* file : {"bin\\Sample App.exe", "doc\\readme.txt", "Setup.exe", "Setup.ini"})
    EXPECT_TRUE(driver::Exists(folder + "\\" + file)) << file;
  Uninstall("Minimal Sample", "Minimal Sample 1.0", folder);
}

TEST_F(Examples, TypicalLinksReadMeAndSettingsComeAndGo) {
  Stage("typical");
  keys_.push_back("Typical Sample");
  const std::string folder = root_ + "\\Typical Sample", menu = UserFolder("Programs") + "\\Typical Sample",
                    desktop = UserFolder("Desktop") + "\\Typical Sample.lnk";
  driver::Process process = Start();
  HWND dialog = OpenDialog(process, "Typical Sample 1.0", "Typical Sample", folder);
  ASSERT_NE(dialog, nullptr);
  EXPECT_TRUE(Checked(dialog, IDC_MENU));
  EXPECT_TRUE(driver::IsControlVisible(dialog, IDC_DESKTOP));
  EXPECT_FALSE(Checked(dialog, IDC_DESKTOP));
  for (int id : {IDC_STARTUP, IDC_EXT, IDC_SEND}) EXPECT_FALSE(driver::IsControlVisible(dialog, id)) << id;

  driver::PressButton(dialog, IDC_READ_ME);
  // The viewer shares its caption with the dialog, not its end button.
  HWND viewer = nullptr;
  ASSERT_TRUE(WaitFor([&] {
    for (HWND window : driver::TopLevelWindows(process.id()))
      if (IsWindowVisible(window) && GetDlgItem(window, IDC_README_END)) viewer = window;
    return viewer != nullptr;
  }));
  EXPECT_EQ(FieldText(viewer, IDC_README_TEXT), driver::ReadFileBytes(app_ + "\\doc\\readme.txt"));
  driver::PressButton(viewer, IDCANCEL);
  ASSERT_TRUE(WaitFor([&] { return !IsWindow(viewer); }));

  SendMessageA(GetDlgItem(dialog, IDC_DESKTOP), BM_CLICK, 0, 0);
  driver::PressButton(dialog, IDC_RUN);
  ExpectEnd(process);
  for (const std::string& path : {folder + "\\bin\\Sample App.exe", folder + "\\doc\\readme.txt",
                                  menu + "\\Typical Sample.lnk", menu + "\\Read me.lnk", desktop})
    EXPECT_TRUE(driver::Exists(path)) << path;

  // The program in use writes its settings.
  ASSERT_TRUE(driver::SetKeyString(HKEY_CURRENT_USER, "Software\\Sample Maker\\Sample App", "Runs", "1"));
  Uninstall("Typical Sample", "Typical Sample 1.0", folder);
  for (const std::string& path : {menu, desktop}) EXPECT_FALSE(driver::Exists(path)) << path;
  EXPECT_FALSE(driver::KeyExists(HKEY_CURRENT_USER, "Software\\Sample Maker"));
}

}  // namespace
