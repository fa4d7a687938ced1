// What setup.exe paints, as a user sees it: the full-screen backdrop of a
// Back section, and the read-me viewer with a text file or with painted
// pages and their buttons. setup.exe runs from its own folder beside a
// Setup.ini; the screen is read back, and screenshots land in the
// screenshots folder.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "setup_resource.h"
#include "window_driver.h"

namespace {

constexpr DWORD kWindowTimeoutMs = 15000;
constexpr COLORREF kRed = RGB(255, 0, 0), kGreen = RGB(0, 255, 0), kBlue = RGB(0, 0, 255), kYellow = RGB(255, 255, 0),
                   kCyan = RGB(0, 255, 255);

COLORREF ScreenPixel(int x, int y) {
  HDC screen = GetDC(nullptr);
  COLORREF colour = GetPixel(screen, x, y);
  ReleaseDC(nullptr, screen);
  return colour;
}
bool WaitForPixel(int x, int y, COLORREF colour, DWORD timeoutMs = 5000) {
  for (DWORD start = GetTickCount(); ScreenPixel(x, y) != colour; Sleep(50))
    if (GetTickCount() - start > timeoutMs) return false;
  return true;
}

// A visible top-level window of the process holding control `id`: the
// viewer and the main dialog share their caption, not their controls.
HWND WaitForWindowWith(const driver::Process& process, int id) {
  for (DWORD start = GetTickCount(); GetTickCount() - start < kWindowTimeoutMs; Sleep(20))
    for (HWND window : driver::TopLevelWindows(process.id()))
      if (IsWindowVisible(window) && GetDlgItem(window, id)) return window;
  return nullptr;
}

std::string Bmp24(int width, int height, const char* leftBgr, const char* rightBgr) {
  int stride = (width * 3 + 3) / 4 * 4;
  std::string file(54, '\0'), pixels(static_cast<size_t>(stride) * height, '\0');
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x)
      pixels.replace(static_cast<size_t>(y) * stride + 3 * x, 3, x < width / 2 ? leftBgr : rightBgr, 3);
  uint32_t fields[][2] = {{2, static_cast<uint32_t>(54 + pixels.size())},
                          {10, 54},
                          {14, 40},
                          {18, static_cast<uint32_t>(width)},
                          {22, static_cast<uint32_t>(height)},
                          {26, 1},
                          {28, 24}};
  for (auto& f : fields) memcpy(&file[f[0]], &f[1], f[0] >= 26 ? 2 : 4);
  file[0] = 'B', file[1] = 'M';
  return file + pixels;
}

// A screenshot saved as a BMP file, read back.
struct Shot {
  std::string bytes;
  int width, height;
  COLORREF At(int x, int y) const {
    const char* p = &bytes[54 + static_cast<size_t>(height - 1 - y) * ((width * 3 + 3) / 4 * 4) + 3 * x];
    return RGB(static_cast<BYTE>(p[2]), static_cast<BYTE>(p[1]), static_cast<BYTE>(p[0]));
  }
};

class SetupPainting : public ::testing::Test {
 protected:
  void SetUp() override {
    root_ =
        std::string("C:\\sfx e2e\\setup painting\\") + ::testing::UnitTest::GetInstance()->current_test_info()->name();
    app_ = root_ + "\\app";
    driver::RemoveTree(root_);
    ASSERT_TRUE(driver::MakeFolders(app_));
    ASSERT_TRUE(CopyFileA((driver::ProgramFolder() + "\\setup.exe").c_str(), (app_ + "\\setup.exe").c_str(), FALSE));
  }
  void TearDown() override {
    HKEY uninstall;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall", 0, KEY_ALL_ACCESS,
                      &uninstall) == ERROR_SUCCESS) {
      for (const char* name : {"Pages Up", "Pages Installed"}) RegDeleteKeyA(uninstall, name);
      RegCloseKey(uninstall);
    }
    if (!HasFailure()) driver::RemoveTree(root_);
  }
  driver::Process Start(const std::string& ini) {
    EXPECT_TRUE(driver::WriteFileBytes(app_ + "\\Setup.ini", ini));
    return driver::Start("\"" + app_ + "\\setup.exe\"", app_);
  }
  std::string Shoot(const std::string& name, HWND window) {
    std::string path = driver::ScreenshotPath("setup " + name);
    EXPECT_TRUE(driver::Screenshot(path, window));
    return path;
  }
  // The main dialog shows only once the viewer has ended; cancelling it
  // ends the program.
  void ExpectViewerClosed(driver::Process& process, HWND viewer) {
    HWND dialog = WaitForWindowWith(process, IDC_FOLDER_LABEL);
    ASSERT_NE(dialog, nullptr);
    EXPECT_FALSE(IsWindow(viewer));
    driver::PressButton(dialog, IDC_CANCEL_RUN);
    EXPECT_TRUE(process.Wait(10000));
  }
  std::string root_, app_;
};

// The example backdrop: 64 bands from navy at the top to near black at the
// bottom, the logo in the middle, Welcome at 40 % of the width and 70 % of
// the height with Setup below it, in the context's black font. The page
// line ends it: the red fill behind it never shows.
TEST_F(SetupPainting, ExampleBackdropFillsTheScreen) {
  const int logoWidth = 120, logoHeight = 80;
  ASSERT_TRUE(driver::WriteFileBytes(app_ + "\\logo.bmp", Bmp24(logoWidth, logoHeight, "\0\xA0\xFF", "\xFF\xFF\xFF")));
  driver::Process process = Start(
      "[Setup]\r\nName=Backdrop\r\n[Back]\r\nDo=1\r\n0=mode,top\r\n1=rect,0,0,%100,%100\r\n"
      "2=gradation,0,0,128,0,0,0\r\n3=mode,center\r\n4=bitmap,logo.bmp\r\n5=mode,bottom\r\n6=rect,%40,%70\r\n"
      "7=string,Welcome\r\n8=string,Setup\r\n9=page,2\r\n10=mode,all\r\n11=fill,255,0,0\r\n");
  ASSERT_TRUE(WaitForPixel(5, 5, RGB(0, 0, 128), kWindowTimeoutMs)) << "the backdrop shows";
  Shot shot = {driver::ReadFileBytes(Shoot("backdrop", nullptr)), GetSystemMetrics(SM_CXSCREEN),
               GetSystemMetrics(SM_CYSCREEN)};
  ASSERT_EQ(shot.bytes.size(), 54 + static_cast<size_t>(shot.width * 3 + 3) / 4 * 4 * shot.height);
  const int band = shot.height / 64;
  auto background = [&](int y) { return RGB(0, 0, 128 - y / band * 2); };  // band f: 128 - f·128/64
  for (int y : {0, band - 1, band, shot.height / 2, shot.height - 1}) {
    EXPECT_EQ(shot.At(0, y), background(y)) << y;
    EXPECT_EQ(shot.At(shot.width - 1, y), background(y)) << y;
  }
  EXPECT_EQ(shot.At(0, shot.height - 1), RGB(0, 0, 2));
  const int logoLeft = (shot.width - logoWidth) / 2, logoTop = (shot.height - logoHeight) / 2;
  EXPECT_EQ(shot.At(logoLeft, logoTop), RGB(255, 160, 0));
  EXPECT_EQ(shot.At(logoLeft + logoWidth - 1, logoTop + logoHeight - 1), RGB(255, 255, 255));
  EXPECT_EQ(shot.At(logoLeft - 1, logoTop), background(logoTop));
  EXPECT_EQ(shot.At(logoLeft + logoWidth, logoTop + logoHeight), background(logoTop + logoHeight));

  // Ink (black, smoothed into the band at its edges): none left of 40 % or
  // above 70 %, in two lines: rows with ink, a gap, rows with ink.
  const int textLeft = shot.width * 40 / 100, textTop = shot.height * 70 / 100;
  int inkOutside = 0, runs = 0;
  bool above = false;
  for (int y = textTop - 10; y < textTop + 80; ++y) {
    bool ink = false;
    for (int x = textLeft - 40; x < textLeft + 120; ++x) {
      COLORREF c = shot.At(x, y);
      if (GetRValue(c) || GetGValue(c) || GetBValue(c) + 10 > GetBValue(background(y))) continue;
      ink = true;
      inkOutside += x < textLeft || y < textTop;
    }
    runs += ink && !above;
    above = ink;
  }
  EXPECT_EQ(inkOutside, 0);
  EXPECT_EQ(runs, 2) << "Welcome, and Setup below it";

  HWND dialog = WaitForWindowWith(process, IDC_FOLDER_LABEL);
  ASSERT_NE(dialog, nullptr);
  driver::PressButton(dialog, IDC_CANCEL_RUN);
  EXPECT_TRUE(process.Wait(10000));
}

// Text mode: the file resolved against [Root] Named, or else its bare name
// in the current folder, from its start; typing into it closes the viewer.
TEST_F(SetupPainting, TextModeShowsTheFileAndClosesOnTyping) {
  const std::string text = "説明書\tタブ\r\n二行目 \\ 表\r\n";
  ASSERT_TRUE(driver::MakeFolders(root_ + "\\installed\\docs"));
  ASSERT_TRUE(driver::WriteFileBytes(root_ + "\\installed\\docs\\read me.txt", text));
  ASSERT_TRUE(driver::WriteFileBytes(app_ + "\\fallback.txt", "fallback " + text));
  struct Case {
    const char* name;
    std::string file, shown;
  } cases[] = {
      {"resolved", "docs\\read me.txt", text},
      {"fallback", "docs\\gone\\fallback.txt", "fallback " + text},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    driver::Process process = Start("[Setup]\r\nName=読んでください\r\n[Root]\r\nNamed=" + root_ +
                                    "\\installed\r\n[Readme]\r\nDone=2\r\nFile=" + c.file + "\r\n");
    HWND viewer = WaitForWindowWith(process, IDC_README_END);
    ASSERT_NE(viewer, nullptr);
    HWND edit = GetDlgItem(viewer, IDC_README_TEXT);
    char shown[1024] = "";
    DWORD_PTR length = 0, selection = 99;
    SendMessageTimeoutA(edit, WM_GETTEXT, sizeof shown, reinterpret_cast<LPARAM>(shown), SMTO_BLOCK, 5000, &length);
    EXPECT_EQ(std::string(shown, length), c.shown);
    SendMessageTimeoutA(edit, EM_GETSEL, 0, 0, SMTO_BLOCK, 5000, &selection);
    EXPECT_EQ(selection, 0u) << "the caret at the start, nothing selected";
    EXPECT_EQ(driver::WindowText(viewer), "読んでください");
    for (int id : {IDC_PAGE_BUTTON1, IDC_PAGE_BUTTON2, IDC_PAGE_BUTTON3, IDC_README_END})
      EXPECT_FALSE(driver::IsControlVisible(viewer, id)) << id;
    RECT client, field;
    GetClientRect(viewer, &client);
    GetWindowRect(edit, &field);
    EXPECT_EQ(field.right - field.left, client.right) << "the text covers the client area";
    EXPECT_EQ(field.bottom - field.top, client.bottom);
    Shoot(std::string("readme text ") + c.name, viewer);
    SendMessageTimeoutA(edit, WM_CHAR, 'x', 0, SMTO_BLOCK, 5000, nullptr);
    ExpectViewerClosed(process, viewer);
  }
}

// The page list: a red install page with one shown button and two hidden
// ones, a green version-up page, a blue uninstall page, page 1 painting
// its left half yellow over what was there, page 2 cyan.
const char kPages[] =
    "[Readme]\r\nDone=2\r\nFile=readme.special\r\nNo=23\r\n"
    "0=page,install\r\n1=mode,all\r\n2=fill,255,0,0\r\n3=button1,1,次へ\r\n4=button2,none,Hidden\r\n"
    "5=button3,-5,Below\r\n"
    "6=page,versionup\r\n7=mode,all\r\n8=fill,0,255,0\r\n9=button1,2,Two\r\n"
    "10=page,uninstall\r\n11=mode,all\r\n12=fill,0,0,255\r\n"
    "13=page,1\r\n14=mode,rect\r\n15=rect,0,0,%50,%100\r\n16=fill,255,255,0\r\n17=button1,2\r\n18=button2,0,Zero\r\n"
    "19=page,2\r\n20=mode,all\r\n21=fill,0,255,255\r\n22=button3,uninstall,Blue\r\n";

// What a page shows: its left and right halves, and each page button.
struct Step {
  int press;  // 0: the start page
  const char* name;
  COLORREF left, right;
  struct {
    bool shown;
    const char* caption;
  } buttons[3];
};

// The start page follows what the main dialog presents; the buttons lead
// through the pages, a target without a page shows the page that starts
// at line 1, and captions stay until a page gives another.
TEST_F(SetupPainting, PageModeStartsAtTheSetupModesPageAndFollowsItsButtons) {
  std::string earlier = root_ + "\\earlier";
  HKEY key;
  ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Pages Up", 0,
                            nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
            ERROR_SUCCESS);
  std::string uninstall = earlier + "\\Setup.exe";
  RegSetValueExA(key, "UninstallString", 0, REG_SZ, reinterpret_cast<const BYTE*>(uninstall.c_str()),
                 static_cast<DWORD>(uninstall.size() + 1));
  RegCloseKey(key);
  // The earlier installation's record, which makes the entry this product's.
  ASSERT_TRUE(driver::PutFile(earlier + "\\Setup.ini", "[Root]\r\nNamed=" + earlier + "\r\n[CopiedFile]\r\nCount=1\r\n"));
  struct Case {
    const char* ini;
    std::vector<Step> steps;
    UINT close;  // the message that closes the viewer: the end button, the close box, Esc
    int id;
  } cases[] = {
      {"",
       {{0, "install page", kRed, kRed, {{true, "次へ"}, {false, "Hidden"}, {false, "Below"}}},
        {IDC_PAGE_BUTTON1, "page 1", kYellow, kRed, {{true, "次へ"}, {true, "Zero"}, {false, "Below"}}},
        {IDC_PAGE_BUTTON2, "page 0, none: line 1", kRed, kRed, {{true, "次へ"}, {false, "Hidden"}, {false, "Below"}}},
        {IDC_PAGE_BUTTON1, "page 1 again", kYellow, kRed, {{true, "次へ"}, {true, "Zero"}, {false, "Below"}}},
        {IDC_PAGE_BUTTON1, "page 2", kCyan, kCyan, {{false, "次へ"}, {false, "Zero"}, {true, "Blue"}}},
        {IDC_PAGE_BUTTON3, "uninstall page", kBlue, kBlue, {{false, "次へ"}, {false, "Zero"}, {false, "Blue"}}}},
       WM_COMMAND,
       IDC_README_END},
      {"[Root]\r\nName=Pages Up\r\n",
       {{0, "version-up page", kGreen, kGreen, {{true, "Two"}, {false, ""}, {false, ""}}}},
       WM_CLOSE,
       0},
      {"[Root]\r\nName=Pages Installed\r\nNamed=<app>\r\n[CopiedFile]\r\nCount=1\r\n",
       {{0, "installed copy's page", kBlue, kBlue, {{false, ""}, {false, ""}, {false, ""}}}},
       WM_COMMAND,
       IDCANCEL},
  };
  const int ids[3] = {IDC_PAGE_BUTTON1, IDC_PAGE_BUTTON2, IDC_PAGE_BUTTON3};
  for (const Case& c : cases) {
    std::string ini = c.ini;
    if (ini.find("<app>") != std::string::npos) ini.replace(ini.find("<app>"), 5, app_);
    driver::Process process = Start("[Setup]\r\nName=Pages\r\n" + ini + kPages);
    HWND viewer = WaitForWindowWith(process, IDC_README_END);
    ASSERT_NE(viewer, nullptr);
    EXPECT_EQ(driver::WindowText(viewer), "Pages");
    RECT client;
    GetClientRect(viewer, &client);
    POINT left = {client.right / 4, client.bottom / 3}, right = {client.right * 3 / 4, client.bottom / 3};
    ClientToScreen(viewer, &left);
    ClientToScreen(viewer, &right);
    for (const Step& step : c.steps) {
      SCOPED_TRACE(step.name);
      if (step.press) driver::PressButton(viewer, step.press);
      EXPECT_TRUE(WaitForPixel(left.x, left.y, step.left)) << std::hex << ScreenPixel(left.x, left.y);
      EXPECT_TRUE(WaitForPixel(right.x, right.y, step.right)) << std::hex << ScreenPixel(right.x, right.y);
      for (int b = 0; b < 3; ++b) {
        EXPECT_EQ(driver::IsControlVisible(viewer, ids[b]), step.buttons[b].shown) << "button " << b + 1;
        EXPECT_EQ(driver::ControlText(viewer, ids[b]), step.buttons[b].caption) << "button " << b + 1;
      }
      EXPECT_TRUE(driver::IsControlVisible(viewer, IDC_README_END));
      EXPECT_EQ(driver::ControlText(viewer, IDC_README_END), "説明終了(&E)");
      EXPECT_FALSE(driver::IsControlVisible(viewer, IDC_README_TEXT));
      Shoot(std::string("readme ") + step.name, viewer);
    }
    PostMessageA(viewer, c.close, c.id, 0);
    ExpectViewerClosed(process, viewer);
  }
}

}  // namespace
