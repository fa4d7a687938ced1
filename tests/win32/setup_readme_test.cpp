// The read-me viewer's dialog run in this process from setup's own
// template: every way of closing it gives back what it took exactly once,
// an empty viewer shows no buttons, and a template larger than the screen
// is cut to it. (What it shows is checked end to end, on setup.exe.)
#include <gtest/gtest.h>

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "release_tracker.h"
#include "setup.h"
#include "window_driver.h"

namespace {

// What runs once the viewer is shown; it must close the viewer.
std::function<void(HWND)> g_act;
DWORD g_shownAt;
bool g_acted;

BOOL CALLBACK TakeShownDialog(HWND window, LPARAM out) {
  char name[16];
  GetClassNameA(window, name, sizeof name);
  if (!IsWindowVisible(window) || lstrcmpA(name, "#32770") != 0) return TRUE;
  *reinterpret_cast<HWND*>(out) = window;
  return FALSE;
}

HWND ShownDialog() {
  HWND found = nullptr;
  EnumThreadWindows(GetCurrentThreadId(), TakeShownDialog, reinterpret_cast<LPARAM>(&found));
  return found;
}

void CALLBACK OnTimer(HWND, UINT, UINT_PTR, DWORD) {
  HWND dialog = ShownDialog();
  if (!dialog) return;
  if (!g_acted) {
    g_acted = true;
    g_shownAt = GetTickCount();
    g_act(dialog);
  } else if (GetTickCount() - g_shownAt > 5000) {
    ADD_FAILURE() << "the viewer stayed open";
    EndDialog(dialog, 99);
  }
}

class ReadMeViewer : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ = "C:\\sfx win32\\setup readme";
    driver::RemoveTree(folder_);
    ASSERT_TRUE(driver::MakeFolders(folder_));
    GetCurrentDirectoryA(sizeof previous_, previous_);
    SetCurrentDirectoryA(folder_.c_str());
    g_setup.instance = GetModuleHandleA(nullptr);
    lstrcpyA(g_setup.ini, (folder_ + "\\Setup.ini").c_str());
    g_setup.mode = SetupMode::kInstall;
  }
  void TearDown() override {
    SetCurrentDirectoryA(previous_);
    if (!HasFailure()) driver::RemoveTree(folder_);
  }

  void WriteIni(const std::string& text) {
    ASSERT_TRUE(driver::WriteFileBytes(g_setup.ini, text));
    WritePrivateProfileStringA(nullptr, nullptr, nullptr, g_setup.ini);  // forget the cached file
  }

  // Opens the viewer from `dialogTemplate` (setup's own when null) and
  // runs `act` once it shows; returns the dialog's result.
  INT_PTR Run(const std::function<void(HWND)>& act, const DLGTEMPLATE* dialogTemplate = nullptr) {
    g_act = act;
    g_acted = false;
    UINT_PTR timer = SetTimer(nullptr, 0, 50, OnTimer);
    INT_PTR result = dialogTemplate
                         ? DialogBoxIndirectParamA(g_setup.instance, dialogTemplate, nullptr, ReadMeDialogProc, 0)
                         : DialogBoxParamA(g_setup.instance, MAKEINTRESOURCEA(IDD_README), nullptr, ReadMeDialogProc, 0);
    KillTimer(nullptr, timer);
    return result;
  }

  std::string folder_;
  char previous_[MAX_PATH];
};

// Page mode holds a context, a bitmap and the page list, and its pages a
// font; text mode holds nothing once its text is shown.
TEST_F(ReadMeViewer, EveryWayOfClosingGivesBackWhatTheViewerTookOnce) {
  ASSERT_TRUE(driver::WriteFileBytes(folder_ + "\\words.txt", "words\r\n"));
  const std::string pages =
      "[Readme]\r\nFile=ReadMe.Special\r\nNo=7\r\n0=page,install\r\n1=mode,rect\r\n2=rect,0,0,%100,%100\r\n"
      "3=fill,0,0,80\r\n4=font,255,255,255,20\r\n5=text,words.txt\r\n6=button1,install,Again\r\n";
  const std::string text = "[Readme]\r\nFile=words.txt\r\n";
  auto command = [](int id, int code) {
    return [=](HWND dialog) { PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, code), 0); };
  };
  struct Case {
    const char* name;
    const std::string& ini;
    std::function<void(HWND)> close;
    int reads;  // of the text file: once a page shown, once in text mode
  } cases[] = {
      {"end button", pages, command(IDC_README_END, BN_CLICKED), 1},
      {"OK", pages, command(IDOK, 0), 1},
      {"Cancel", pages, command(IDCANCEL, 0), 1},
      {"an edit change", pages, command(IDC_README_TEXT, EN_CHANGE), 1},
      {"the close box", pages, [](HWND dialog) { PostMessageA(dialog, WM_SYSCOMMAND, SC_CLOSE, 0); }, 1},
      {"a page button, then the end button", pages,
       [](HWND dialog) {
         PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDC_PAGE_BUTTON1, BN_CLICKED), 0);
         PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDC_README_END, BN_CLICKED), 0);
       },
       2},
      {"text mode, the close box", text, [](HWND dialog) { PostMessageA(dialog, WM_SYSCOMMAND, SC_CLOSE, 0); }, 1},
      {"text mode, typing", text, [](HWND dialog) { SendDlgItemMessageA(dialog, IDC_README_TEXT, WM_CHAR, 'x', 0); },
       1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    WriteIni(c.ini);
    tracker::Start();
    EXPECT_EQ(Run(c.close), 1);
    EXPECT_EQ(tracker::Stop(), "");
    bool pageMode = &c.ini == &pages;
    EXPECT_EQ(tracker::Taken("window dc"), pageMode ? 1 : 0);
    EXPECT_EQ(tracker::Taken("font") > 0, pageMode);
    EXPECT_EQ(tracker::Taken("file"), c.reads);
  }
}

// No File: an empty text and no buttons. Page mode with no lines: black,
// and only the end button.
TEST_F(ReadMeViewer, EmptyViewers) {
  struct Case {
    const char* name;
    const char* ini;
    bool textShown, endShown;
  } cases[] = {
      {"no File", "[Readme]\r\nDone=1\r\n", true, false},
      {"no pages", "[Readme]\r\nFile=readme.SPECIAL\r\nNo=0\r\n", false, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    WriteIni(c.ini);
    Run([&](HWND dialog) {
      EXPECT_EQ(IsWindowVisible(GetDlgItem(dialog, IDC_README_TEXT)) != FALSE, c.textShown);
      EXPECT_EQ(GetWindowTextLengthA(GetDlgItem(dialog, IDC_README_TEXT)), 0);
      for (int id : {IDC_PAGE_BUTTON1, IDC_PAGE_BUTTON2, IDC_PAGE_BUTTON3})
        EXPECT_FALSE(IsWindowVisible(GetDlgItem(dialog, id))) << id;
      EXPECT_EQ(IsWindowVisible(GetDlgItem(dialog, IDC_README_END)) != FALSE, c.endShown);
      if (c.endShown) {
        UpdateWindow(dialog);
        HDC dc = GetDC(dialog);
        EXPECT_EQ(GetPixel(dc, 20, 20), RGB(0, 0, 0));
        ReleaseDC(dialog, dc);
      }
      PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
    });
  }
}

// A dialog template of `cx` × `cy` dialog units at (10, 10), captioned,
// without controls.
std::vector<WORD> Template(short cx, short cy) {
  std::vector<WORD> words(16, 0);  // the header, then no menu, the default class, no title
  auto* header = reinterpret_cast<DLGTEMPLATE*>(words.data());
  header->style = WS_POPUP | WS_CAPTION | WS_SYSMENU;
  header->x = 10;
  header->y = 10;
  header->cx = cx;
  header->cy = cy;
  return words;
}

INT_PTR CALLBACK Quiet(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

// The window rectangle a template gives without the viewer's fitting.
RECT Unfitted(const std::vector<WORD>& words) {
  RECT rect = {};
  HWND dialog = CreateDialogIndirectParamA(GetModuleHandleA(nullptr),
                                           reinterpret_cast<const DLGTEMPLATE*>(words.data()), nullptr, Quiet, 0);
  GetWindowRect(dialog, &rect);
  DestroyWindow(dialog);
  return rect;
}

TEST_F(ReadMeViewer, ATemplateLargerThanTheScreenIsCutToIt) {
  WriteIni("[Readme]\r\nFile=ReadMe.Special\r\nNo=0\r\n");
  RECT screen;
  GetWindowRect(GetDesktopWindow(), &screen);
  struct Case {
    const char* name;
    short cx, cy;
    bool wide, tall;
  } cases[] = {
      {"wider and taller", 3000, 3000, true, true},
      {"wider", 3000, 100, true, false},
      {"taller", 100, 3000, false, true},
      {"smaller", 100, 100, false, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::vector<WORD> words = Template(c.cx, c.cy);
    RECT unfitted = Unfitted(words), fitted = {};
    Run(
        [&](HWND dialog) {
          GetWindowRect(dialog, &fitted);
          PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
        },
        reinterpret_cast<const DLGTEMPLATE*>(words.data()));
    EXPECT_EQ(fitted.left, c.wide ? screen.left : unfitted.left);
    EXPECT_EQ(fitted.right, c.wide ? screen.right : unfitted.right);
    EXPECT_EQ(fitted.top, c.tall ? screen.top : unfitted.top);
    EXPECT_EQ(fitted.bottom, c.tall ? screen.bottom : unfitted.bottom);
  }
}

}  // namespace
