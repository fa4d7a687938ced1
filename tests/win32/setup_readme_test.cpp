// The read-me viewer run in this process from setup's own template: every
// way of closing it gives back what it took, exactly once, and a template
// larger than the screen is cut to it. (What it shows is checked end to
// end, on setup.exe.)
#include <gtest/gtest.h>
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "release_tracker.h"
#include "setup.h"
#include "setup_settings.h"
#include "window_driver.h"

namespace {

// Runs once the viewer shows, from a timer of this thread; must close it.
std::function<void(HWND)> g_act;

BOOL CALLBACK ActOnShownDialog(HWND window, LPARAM) {
  char name[16];
  GetClassNameA(window, name, sizeof name);
  if (!g_act || !IsWindowVisible(window) || lstrcmpA(name, "#32770") != 0) return TRUE;
  auto act = g_act;
  g_act = nullptr;
  act(window);
  return FALSE;
}
void CALLBACK OnTimer(HWND, UINT, UINT_PTR, DWORD) { EnumThreadWindows(GetCurrentThreadId(), ActOnShownDialog, 0); }
INT_PTR CALLBACK Quiet(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

// Opens the viewer from `dialog` (setup's own template when null) and
// runs `act` once it shows; returns the dialog's result.
INT_PTR RunViewer(const std::function<void(HWND)>& act, const DLGTEMPLATE* dialog = nullptr) {
  g_act = act;
  UINT_PTR timer = SetTimer(nullptr, 0, 50, OnTimer);
  INT_PTR result = dialog
                       ? DialogBoxIndirectParamA(g_setup.instance, dialog, nullptr, ReadMeDialogProc, 0)
                       : DialogBoxParamA(g_setup.instance, MAKEINTRESOURCEA(IDD_README), nullptr, ReadMeDialogProc, 0);
  KillTimer(nullptr, timer);
  return result;
}

class ReadMeViewer : public ::testing::Test {
 protected:
  void SetUp() override {
    driver::RemoveTree(folder_);
    ASSERT_TRUE(driver::MakeFolders(folder_));
    ASSERT_TRUE(driver::WriteFileBytes(folder_ + "\\words.txt", "words\r\n"));
    GetCurrentDirectoryA(sizeof previous_, previous_);
    SetCurrentDirectoryA(folder_.c_str());  // where page files are found
    g_setup.instance = GetModuleHandleA(nullptr);
    lstrcpyA(g_setup.ini, (folder_ + "\\Setup.ini").c_str());
    g_setup.mode = SetupMode::kInstall;
  }
  void TearDown() override {
    SetCurrentDirectoryA(previous_);
    if (!HasFailure()) driver::RemoveTree(folder_);
  }
  void WriteIni(const std::string& text) {
    ASSERT_TRUE(settings_.Write(text));
  }
  const std::string folder_ = "C:\\sfx win32\\setup readme";
  char previous_[MAX_PATH];
  SetupSettings settings_;
};

// Page mode holds a context, a bitmap, the page list and its page's font;
// text mode holds nothing once its text is shown.
TEST_F(ReadMeViewer, EveryWayOfClosingGivesBackWhatItTookOnce) {
  const char* pages =
      "[Readme]\r\nFile=ReadMe.Special\r\nNo=7\r\n0=page,install\r\n1=mode,rect\r\n2=rect,0,0,%100,%100\r\n"
      "3=fill,0,0,80\r\n4=font,255,255,255,20\r\n5=text,words.txt\r\n6=button1,install,Again\r\n";
  const char* text = "[Readme]\r\nFile=words.txt\r\n";
  auto post = [](UINT message, int id, int code) {
    return [=](HWND dialog) { PostMessageA(dialog, message, MAKEWPARAM(id, code), 0); };
  };
  struct Case {
    const char* name;
    const char* ini;
    std::function<void(HWND)> close;
    int reads;  // of the text file: once for each page shown, once in text mode
  } cases[] = {
      {"end button", pages, post(WM_COMMAND, IDC_README_END, BN_CLICKED), 1},
      {"OK", pages, post(WM_COMMAND, IDOK, 0), 1},
      {"Cancel", pages, post(WM_COMMAND, IDCANCEL, 0), 1},
      {"an edit change", pages, post(WM_COMMAND, IDC_README_TEXT, EN_CHANGE), 1},
      {"the close box", pages, post(WM_SYSCOMMAND, SC_CLOSE, 0), 1},
      {"a page button, then the end button", pages,
       [](HWND dialog) {
         PostMessageA(dialog, WM_COMMAND, IDC_PAGE_BUTTON1, 0);
         PostMessageA(dialog, WM_COMMAND, IDC_README_END, 0);
       },
       2},
      {"no pages", "[Readme]\r\nFile=readme.SPECIAL\r\n", post(WM_SYSCOMMAND, SC_CLOSE, 0), 0},
      {"text mode, the close box", text, post(WM_SYSCOMMAND, SC_CLOSE, 0), 1},
      {"text mode, typing", text, [](HWND d) { SendDlgItemMessageA(d, IDC_README_TEXT, WM_CHAR, 'x', 0); }, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    WriteIni(c.ini);
    tracker::Start();
    EXPECT_EQ(RunViewer(c.close), 1);
    EXPECT_EQ(tracker::Stop(), "");
    EXPECT_EQ(tracker::Taken("window dc"), c.ini == text ? 0 : 1);
    EXPECT_EQ(tracker::Taken("file"), c.reads);
  }
}

TEST_F(ReadMeViewer, ATemplateLargerThanTheScreenIsCutToIt) {
  WriteIni("[Readme]\r\nFile=ReadMe.Special\r\n");
  RECT screen;
  GetWindowRect(GetDesktopWindow(), &screen);
  struct Case {
    short cx, cy;
    bool wide, tall;
  } cases[] = {{3000, 3000, true, true}, {3000, 100, true, false}, {100, 3000, false, true}, {100, 100, false, false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.cx) + " x " + std::to_string(c.cy));
    // A captioned template at (10, 10) without controls; as made, and as the viewer fits it.
    std::vector<WORD> words(16, 0);
    auto* header = reinterpret_cast<DLGTEMPLATE*>(words.data());
    *header = {WS_POPUP | WS_CAPTION | WS_SYSMENU, 0, 0, 10, 10, c.cx, c.cy};
    HWND made = CreateDialogIndirectParamA(g_setup.instance, header, nullptr, Quiet, 0);
    RECT unfitted, fitted = {};
    GetWindowRect(made, &unfitted);
    DestroyWindow(made);
    RunViewer(
        [&](HWND dialog) {
          GetWindowRect(dialog, &fitted);
          PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
        },
        header);
    EXPECT_EQ(fitted.left, c.wide ? screen.left : unfitted.left);
    EXPECT_EQ(fitted.right, c.wide ? screen.right : unfitted.right);
    EXPECT_EQ(fitted.top, c.tall ? screen.top : unfitted.top);
    EXPECT_EQ(fitted.bottom, c.tall ? screen.bottom : unfitted.bottom);
  }
}

}  // namespace
