// The driver of make demo: runs the complete example's built file the way a
// user does, through every window of the road, then the uninstall from the
// system's list; prints one line per step and saves a screenshot of each.
//
//   demo-driver.exe "BUILT FILE" "SCREENSHOT FOLDER"
//
// Every wait is for something the programs show or leave (a window, a
// text, a file, the end of a process), bounded by a time-out that ends the
// demo with what the screen showed. Not shipped: it runs under Wine with
// the harness's window driver.
#include <windows.h>

#include <string>
#include <vector>

#include "built_file.h"
#include "demo_support.h"
#include "machine.h"
#include "stub_resource.h"

namespace {

using namespace demo;
using setuptest::FieldText;
using setuptest::UserFolder;
using setuptest::WaitFor;

// A visible window of another program that the built file started from
// [shell] besides setup (Setup.ini, opened with what opens .ini files), and
// that program's name.
HWND OtherShellWindow(DWORD stubId, DWORD setupId, std::string* program) {
  HWND found = nullptr;
  WaitFor(
      [&] {
        for (const driver::ChildProcess& child : driver::ChildrenOf(stubId)) {
          if (child.id == setupId) continue;
          for (HWND window : driver::TopLevelWindows(child.id))
            if (IsWindowVisible(window) && !driver::WindowText(window).empty()) found = window;
          if (found) *program = child.name;
        }
        return found != nullptr;
      },
      10000);
  return found;
}

struct Road {
  std::string built, workspace, folder;
  driver::Process stub;
  HWND progress = nullptr;
  std::vector<std::string> progressTexts;  // each text of the built file's window, once
  DWORD setupId = 0;
  HWND dialog = nullptr;
};

// Follows the built file's window until its text starts with `start`.
std::string FollowProgress(Road& road, const char* start, const char* what) {
  return WaitForTextThat(
      road.progress, IDC_PROGRESS_TEXT,
      [&](const std::string& t) {
        if (!t.empty() && (road.progressTexts.empty() || road.progressTexts.back() != t))
          road.progressTexts.push_back(t);
        return StartsWith(t, start);
      },
      what);
}

void StartBuiltFile(Road& road) {
  road.stub = driver::Start("\"" + road.built + "\"", "C:\\");
  if (!road.stub.started()) Fail("the built file starts: " + road.built);
  std::string title = driver::NameOf(road.built);
  title = title.substr(0, title.size() - 4);
  road.progress = driver::WaitForWindow(road.stub.id(), "#32770", title.c_str(), kWindowTimeoutMs);
  if (!road.progress) Fail("the built file's window titled " + title);
  std::string extracting = FollowProgress(road, "Extracting", "the built file unpacks");
  std::string shot = ShotOf(road.progress, "progress");
  for (const std::string& text : road.progressTexts)
    if (StartsWith(text, "Making folder")) road.workspace = driver::WorkspaceOf(text);
  if (road.workspace.empty()) Fail("the built file names its workspace");
  Step(1, "the built file runs: its window \"" + title + "\" made the workspace " + road.workspace +
              ", checked its sums and shows \"" + OneLine(extracting) + "\" [" + shot + "]");
}

void BackdropAndShellItems(Road& road) {
  road.setupId = WaitForChild(road.stub.id(), "setup.exe");
  const int width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
  // The backdrop starts black and shows its gradient across the screen.
  if (!WaitFor([&] { return ScreenPixel(width - 1, height / 3) != RGB(0, 0, 0); }, kWindowTimeoutMs))
    Fail("setup's backdrop");
  std::string line = "the built file opened the files of [shell]: setup.exe paints its backdrop";
  std::string program;
  HWND editor = OtherShellWindow(road.stub.id(), road.setupId, &program);
  if (!editor) {
    Step(2, line + " [" + Shot("backdrop") + "]");
    return;
  }
  // The editor shows the file once it has read it.
  HWND text = FindWindowExA(editor, nullptr, "Edit", nullptr);
  WaitFor(
      [&] {
        DWORD_PTR length = 0;
        return text && SendMessageTimeoutA(text, WM_GETTEXTLENGTH, 0, 0, SMTO_BLOCK, 5000, &length) && length > 0;
      },
      kWindowTimeoutMs);
  std::string title = driver::WindowText(editor);
  std::string shot = ShotOf(editor, "backdrop");
  Close(editor, "the editor closes");
  Step(2, line + "; Setup.ini, lying there too, opens in " + program + " (\"" + title + "\"), which the user closes [" +
              shot + "]");
}

void ReadMe(Road& road) {
  road.dialog = WindowWith(road.setupId, IDC_FOLDER_LABEL, "setup's dialog");
  driver::PressButton(road.dialog, IDC_READ_ME);
  HWND viewer = WindowWith(road.setupId, IDC_README_END, "the read-me viewer");
  WaitForTextThat(
      viewer, IDC_PAGE_BUTTON1, [](const std::string& t) { return t == "What you get >"; }, "the read-me's first page");
  std::string first = ShotOf(viewer, "readme-welcome");
  driver::PressButton(viewer, IDC_PAGE_BUTTON1);
  WaitForTextThat(
      viewer, IDC_PAGE_BUTTON1, [](const std::string& t) { return t == "< Welcome"; }, "the read-me's second page");
  std::string second = ShotOf(viewer, "readme-page");
  std::string end = driver::ControlText(viewer, IDC_README_END);
  driver::PressButton(viewer, IDC_README_END);
  if (!WaitFor([&] { return !IsWindow(viewer); }, kWindowTimeoutMs)) Fail("the read-me viewer closes");
  Step(3, "setup's dialog opens; \"" + driver::ControlText(road.dialog, IDC_READ_ME) +
              "\" [Read the explanation] shows the read-me's welcome page [" + first +
              "], its button \"What you get >\" the next page [" + second + "], \"" + end +
              "\" [End the explanation] closes it");
}

void Dialog(Road& road) {
  if (driver::WindowText(road.dialog) != kSetupName) Fail(std::string("setup's dialog titled ") + kSetupName);
  road.folder = FieldText(road.dialog, IDC_FOLDER);
  if (road.folder != driver::ProgramFilesFolder() + "\\" + kApplication)
    Fail("setup proposes " + driver::ProgramFilesFolder() + "\\" + kApplication);
  // The user also wants the startup entry, which the description offers unchecked.
  SendMessageA(GetDlgItem(road.dialog, IDC_STARTUP), BM_CLICK, 0, 0);
  if (!setuptest::Checked(road.dialog, IDC_STARTUP)) Fail("the startup box checked");
  std::string checked;
  for (int id : {IDC_MENU, IDC_DESKTOP, IDC_STARTUP, IDC_EXT, IDC_SEND})
    if (setuptest::Checked(road.dialog, id))
      checked += (checked.empty() ? "\"" : ", \"") + driver::ControlText(road.dialog, id) + "\"";
  std::string shot = ShotOf(road.dialog, "dialog");
  Step(4, "setup's dialog \"" + driver::WindowText(road.dialog) +
              "\": " + driver::ControlText(road.dialog, IDC_FOLDER_LABEL) + " " + road.folder +
              "; the user ticks the startup box, so " + checked + " are checked [" + shot + "]");
}

std::string Texts(const std::vector<std::string>& texts) {
  std::string line;
  for (const std::string& text : texts) line += (line.empty() ? "\"" : " -> \"") + OneLine(text) + "\"";
  return line;
}

struct FolderSearch {
  const char* title;
  HWND found;
};

BOOL CALLBACK FindFolderWindow(HWND window, LPARAM context) {
  auto* search = reinterpret_cast<FolderSearch*>(context);
  if (!IsWindowVisible(window) || driver::WindowText(window) != search->title ||
      driver::ClassName(window) == kProgramClass)
    return TRUE;
  search->found = window;
  return FALSE;
}

// The start-menu folder that [Menu] Open shows once its links are made:
// Wine's explorer titles its window with the folder's name.
HWND WaitForMenuFolderWindow() {
  FolderSearch search = {kApplication, nullptr};
  WaitFor(
      [&] {
        EnumWindows(FindFolderWindow, reinterpret_cast<LPARAM>(&search));
        return search.found != nullptr;
      },
      kWindowTimeoutMs);
  if (!search.found) Fail("the start-menu folder in a window");
  return search.found;
}

void Install(Road& road, const Made& made) {
  const std::string before = driver::ControlText(road.dialog, IDC_FOLDER_LABEL);
  driver::PressButton(road.dialog, IDC_RUN);
  std::vector<std::string> texts;
  std::string working;
  WaitForTextThat(
      road.dialog, IDC_FOLDER_LABEL,
      [&](const std::string& t) {
        if (t == before || (!texts.empty() && texts.back() == t)) return false;
        texts.push_back(t);
        // The run handles no messages until it ends: the screen is taken
        // as it stands, and under Wine it may still show an earlier text
        // (a program busy with its run does not always get what it painted
        // onto the screen at once).
        if (t == "システムの設定をしています．") working = Shot("installing");
        return t == "終了しました．";
      },
      "setup's install to finish");
  // The menu folder's window opens over the dialog while setup works on.
  HWND menu = WaitForMenuFolderWindow();
  if (!WaitForEnd(road.setupId)) Fail("setup ends after its install");
  // Welcome.sdoc and samplegr.dll come with the built file's distribution.
  std::vector<std::string> missing;
  for (const std::string& item : Items(made, false))
    if (item.find("Welcome.sdoc") == std::string::npos && item.find("samplegr.dll") == std::string::npos)
      missing.push_back(item);
  if (!missing.empty()) Fail("the install made everything; missing:" + Joined(missing));
  Step(5, "the user presses \"実行\" [Run]; setup works [" + working + "], its label showing " + Texts(texts) + "; " +
              road.folder +
              " holds the program, its read-me, the backdrop's pictures, Setup.exe and "
              "Setup.ini; links in the start menu, on the desktop, in Startup and Send To; .sdoc files open with "
              "Sample App; App Paths\\Sample App.exe and Software\\Sample Maker\\Sample App are written; the "
              "uninstall entry starts \"" +
              setuptest::UninstallCommand(kApplication) + "\"");

  const std::string folder = UserFolder("Programs") + "\\" + kApplication;
  std::string entries;
  for (const std::string& entry : driver::Tree(folder)) entries += (entries.empty() ? "" : ", ") + entry;
  std::string shot = ShotOf(menu, "menu-folder");
  Close(menu, "the start-menu folder's window closes");
  Step(6, "the new start-menu folder " + folder + " opened in a window ([Menu] Open): " + entries +
              "; the user closes it [" + shot + "]");
}

void PressOk(Road& road) {
  std::string text = FollowProgress(road, "Push \"OK\"", "the built file waits for OK");
  if (!driver::IsControlVisible(road.progress, IDC_OK)) Fail("the built file's OK button");
  std::string shot = ShotOf(road.progress, "ok");
  driver::PressButton(road.progress, IDC_OK);
  Step(7,
       "setup has ended; the built file's window says \"" + OneLine(text) + "\": the user presses OK [" + shot + "]");
}

void Distribution(Road& road) {
  std::string transport = FollowProgress(road, "Transport...", "the built file moves its token folders");
  std::string shot = ShotOf(road.progress, "transport");
  DWORD code = 0;
  if (!road.stub.Wait(kWindowTimeoutMs, &code)) Fail("the built file ends");
  std::string library = driver::SystemFolder() + "\\samplegr.dll", document = road.folder + "\\Welcome.sdoc";
  if (!driver::Exists(library) || !driver::Exists(document)) Fail("the token folders distributed");
  bool recorded = false;
  for (const std::string& file : driver::ProfileList(road.folder + "\\Setup.ini", "CopiedFile"))
    recorded = recorded || lstrcmpiA(file.c_str(), document.c_str()) == 0;
  if (!recorded) Fail("Welcome.sdoc recorded in the installed Setup.ini");
  if (driver::Exists(road.workspace)) Fail("the workspace deleted");
  Step(8, "\"" + OneLine(transport) + "\": [System] put samplegr.dll into " + driver::SystemFolder() +
              ", [Application]\\Sample App put Welcome.sdoc into " + road.folder +
              " and recorded it in its Setup.ini; the workspace is gone [" + shot + "]");
}

void FinalCommand() {
  HWND window = nullptr;
  if (!WaitFor([&] { return (window = FindWindowA(kProgramClass, nullptr)) && IsWindowVisible(window); },
               kWindowTimeoutMs))
    Fail("Sample App opened by the final command");
  std::string shot = ShotOf(window, "final-command");
  std::string title = driver::WindowText(window);
  Close(window, "Sample App closes");
  Step(9, "the final command [Application]\\Sample App\\Welcome.sdoc opens through the new .sdoc association: \"" +
              title +
              "\" shows the document, its library's greeting, the edition setup's registry line wrote and its start "
              "count; the user closes it [" +
              shot + "]");
}

// A message box of the program: a dialog with the static text of id
// 0xFFFF, which setup's dialog has not.
HWND MessageBoxOf(DWORD processId, HWND dialog) {
  for (HWND window : driver::TopLevelWindows(processId))
    if (window != dialog && IsWindowVisible(window) && GetDlgItem(window, 0xFFFF)) return window;
  return nullptr;
}

void UninstallFromTheList(Road& road, const Made& made) {
  const std::string command = setuptest::UninstallCommand(kApplication);
  if (command.empty()) Fail("the uninstall entry");
  driver::Process setup = setuptest::StartFromUninstallList(kApplication);
  if (!setup.started()) Fail("the uninstall entry's command starts: " + command);
  HWND dialog = WindowWith(setup.id(), IDC_FOLDER_LABEL, "the installed setup's dialog");
  std::string label = WaitForTextThat(
      dialog, IDC_FOLDER_LABEL, [](const std::string& t) { return t == "インストール済です．"; },
      "the installed copy's face");
  if (!setuptest::Checked(dialog, IDC_COPY)) Fail("the uninstall box checked by [Del] Checked");
  std::string shot = ShotOf(dialog, "uninstall");
  Step(10, "the uninstall entry HKLM\\" + driver::UninstallKey(kApplication) + " starts \"" + command +
               "\" as the system's list does: \"" + driver::WindowText(dialog) + "\" says \"" + label + "\" with \"" +
               driver::ControlText(dialog, IDC_COPY) + "\" [Uninstall] checked [" + shot + "]");

  driver::PressButton(dialog, IDC_RUN);
  std::vector<std::string> texts;
  shot.clear();
  HWND report = nullptr;
  // [Del] ShowError lists what stayed, in a box that holds the run until answered.
  WaitForTextThat(
      dialog, IDC_FOLDER_LABEL,
      [&](const std::string& t) {
        if (t != label && (texts.empty() || texts.back() != t)) {
          texts.push_back(t);
          if (t == "ファイルを削除しています．") shot = Shot("uninstalling");
        }
        report = MessageBoxOf(setup.id(), dialog);
        return t == "アンインストールは終了しました．" || report;
      },
      "the uninstall to finish");
  if (report)
    Fail("an uninstall that removes everything; its report says \"" + driver::ControlText(report, 0xFFFF) + "\" [" +
         ShotOf(report, "uninstall-report") + "]");
  DWORD code = 0;
  if (!setup.Wait(kWindowTimeoutMs, &code)) Fail("setup ends after its uninstall");
  // The removal copy waits five seconds, then deletes Setup.exe and the folder.
  if (!WaitFor([&] { return !driver::Exists(road.folder); }, kWindowTimeoutMs)) Fail("the installation folder removed");
  if (!WaitFor([] { return setuptest::CountProcesses("setup.exe") == 0; }, kWindowTimeoutMs))
    Fail("setup's removal copy ends");
  std::vector<std::string> left = Items(made, true);
  if (!left.empty()) Fail("the uninstall removes everything the install made; still there:" + Joined(left));
  Step(11, "the user presses \"実行\" [Run]; setup works [" + shot + "], its label showing " + Texts(texts) +
               "; setup's removal copy deleted Setup.exe and " + road.folder +
               "; the links, the .sdoc association, the App Paths and Sample Maker keys, samplegr.dll and the "
               "uninstall entry are gone");
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    Print("usage: demo-driver.exe BUILT-FILE SCREENSHOT-FOLDER");
    return 2;
  }
  SetShotFolder(argv[2]);
  Road road;
  road.built = argv[1];
  // The folder the dialog will propose.
  Made made = WhatTheInstallMakes(driver::ProgramFilesFolder() + "\\" + kApplication);
  RemoveEarlierDemo(made);
  StartBuiltFile(road);
  BackdropAndShellItems(road);
  ReadMe(road);
  Dialog(road);
  Install(road, made);
  PressOk(road);
  Distribution(road);
  FinalCommand();
  UninstallFromTheList(road, made);
  return 0;
}
