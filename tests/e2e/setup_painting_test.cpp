// What setup.exe paints, as a user sees it: the full-screen backdrop of a
// Back section, and the read-me viewer with a text file or with painted
// pages and their buttons. setup.exe runs from its own folder beside a
// Setup.ini; the screen's pixels are read back, and screenshots land in
// the screenshots folder.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "setup_resource.h"
#include "window_driver.h"

namespace {

constexpr DWORD kWindowTimeoutMs = 15000;
const char kUninstallKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall";

COLORREF ScreenPixel(int x, int y) {
  HDC screen = GetDC(nullptr);
  COLORREF colour = GetPixel(screen, x, y);
  ReleaseDC(nullptr, screen);
  return colour;
}

// A copy of part of the screen, read pixel by pixel without a trip to
// the display for each.
class ScreenCopy {
 public:
  explicit ScreenCopy(const RECT& area) : area_(area) {
    HDC screen = GetDC(nullptr);
    dc_ = CreateCompatibleDC(screen);
    bitmap_ = CreateCompatibleBitmap(screen, area.right - area.left, area.bottom - area.top);
    replaced_ = SelectObject(dc_, bitmap_);
    BitBlt(dc_, 0, 0, area.right - area.left, area.bottom - area.top, screen, area.left, area.top, SRCCOPY);
    ReleaseDC(nullptr, screen);
  }
  ~ScreenCopy() {
    SelectObject(dc_, replaced_);
    DeleteObject(bitmap_);
    DeleteDC(dc_);
  }
  ScreenCopy(const ScreenCopy&) = delete;
  ScreenCopy& operator=(const ScreenCopy&) = delete;
  // In screen coordinates.
  COLORREF At(int x, int y) const { return GetPixel(dc_, x - area_.left, y - area_.top); }

 private:
  RECT area_;
  HDC dc_;
  HBITMAP bitmap_;
  HGDIOBJ replaced_;
};

bool WaitForPixel(int x, int y, COLORREF colour, DWORD timeoutMs = 5000) {
  DWORD start = GetTickCount();
  while (ScreenPixel(x, y) != colour) {
    if (GetTickCount() - start > timeoutMs) return false;
    Sleep(50);
  }
  return true;
}

// A visible top-level window of the process holding control `id`.
HWND WaitForWindowWith(const driver::Process& process, int id) {
  DWORD start = GetTickCount();
  do {
    for (HWND window : driver::TopLevelWindows(process.id()))
      if (IsWindowVisible(window) && GetDlgItem(window, id)) return window;
    Sleep(20);
  } while (GetTickCount() - start < kWindowTimeoutMs);
  return nullptr;
}
// The viewer and the main dialog share their caption; their controls tell them apart.
HWND WaitForViewer(const driver::Process& process) { return WaitForWindowWith(process, IDC_README_END); }
HWND WaitForMainDialog(const driver::Process& process) { return WaitForWindowWith(process, IDC_FOLDER_LABEL); }

// An edit control keeps its text to itself: it is asked for it.
std::string FieldText(HWND dialog, int id) {
  char text[1024] = "";
  DWORD_PTR length = 0;
  SendMessageTimeoutA(GetDlgItem(dialog, id), WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text), SMTO_BLOCK,
                      5000, &length);
  return std::string(text, length);
}

// A 24-bit BMP file: orange left half, white right half.
std::string Logo(int width, int height) {
  int stride = (width * 3 + 3) / 4 * 4;
  std::string pixels(static_cast<size_t>(stride) * height, '\0');
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      char* p = &pixels[static_cast<size_t>(y) * stride + 3 * x];
      bool left = x < width / 2;
      p[0] = left ? 0 : '\xFF';  // blue, green, red
      p[1] = left ? '\xA0' : '\xFF';
      p[2] = '\xFF';
    }
  std::string file(54, '\0');
  auto put32 = [&](size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) file[at + i] = static_cast<char>(v >> (8 * i));
  };
  file[0] = 'B';
  file[1] = 'M';
  put32(2, static_cast<uint32_t>(54 + pixels.size()));
  put32(10, 54);
  put32(14, 40);
  put32(18, static_cast<uint32_t>(width));
  put32(22, static_cast<uint32_t>(height));
  file[26] = 1;   // planes
  file[28] = 24;  // bits
  return file + pixels;
}

class SetupPainting : public ::testing::Test {
 protected:
  void SetUp() override {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    root_ = std::string("C:\\sfx e2e\\setup painting\\") + info->name();
    app_ = root_ + "\\app";
    driver::RemoveTree(root_);
    ASSERT_TRUE(driver::MakeFolders(app_));
    ASSERT_TRUE(CopyFileA((driver::ProgramFolder() + "\\setup.exe").c_str(), (app_ + "\\setup.exe").c_str(), FALSE));
  }
  void TearDown() override {
    for (const std::string& name : keys_) {
      HKEY uninstall;
      if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kUninstallKey, 0, KEY_ALL_ACCESS, &uninstall) == ERROR_SUCCESS) {
        RegDeleteKeyA(uninstall, name.c_str());
        RegCloseKey(uninstall);
      }
    }
    if (!HasFailure()) driver::RemoveTree(root_);
  }

  void WriteIni(const std::string& text) { ASSERT_TRUE(driver::WriteFileBytes(app_ + "\\Setup.ini", text)); }
  // An uninstall entry for `name`, removed after the test.
  void Register(const std::string& name, const std::string& uninstallString) {
    keys_.push_back(name);
    HKEY key;
    ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, (std::string(kUninstallKey) + "\\" + name).c_str(), 0, nullptr, 0,
                              KEY_ALL_ACCESS, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    RegSetValueExA(key, "UninstallString", 0, REG_SZ, reinterpret_cast<const BYTE*>(uninstallString.c_str()),
                   static_cast<DWORD>(uninstallString.size() + 1));
    RegCloseKey(key);
  }
  driver::Process Start() { return driver::Start("\"" + app_ + "\\setup.exe\"", app_); }
  void Shoot(const std::string& name, HWND window) {
    std::string folder = driver::ProgramFolder() + "\\screenshots";
    driver::MakeFolders(folder);
    EXPECT_TRUE(driver::Screenshot(folder + "\\setup " + name + ".bmp", window));
  }
  // Once the viewer is closed the main dialog shows; cancelling it ends the program.
  void ExpectViewerClosed(driver::Process& process, HWND viewer) {
    HWND dialog = WaitForMainDialog(process);
    ASSERT_NE(dialog, nullptr) << "the main dialog shows once the viewer has ended";
    EXPECT_FALSE(IsWindow(viewer));
    driver::PressButton(dialog, IDC_CANCEL_RUN);
    DWORD code = 99;
    EXPECT_TRUE(process.Wait(10000, &code));
    EXPECT_EQ(code, 0u);
  }

  std::string root_, app_;
  std::vector<std::string> keys_;
};

// The example backdrop on the whole screen: 64 bands from navy at the top
// to near black at the bottom, the logo in the middle, Welcome at 40 % of
// the width and 70 % of the height with Setup below it, in the context's
// black font. A page line ends it: the red fill behind it never shows.
TEST_F(SetupPainting, ExampleBackdropFillsTheScreen) {
  const int logoWidth = 120, logoHeight = 80;
  ASSERT_TRUE(driver::WriteFileBytes(app_ + "\\logo.bmp", Logo(logoWidth, logoHeight)));
  WriteIni("[Setup]\r\nName=Backdrop\r\n[Back]\r\nDo=1\r\n0=mode,top\r\n1=rect,0,0,%100,%100\r\n"
           "2=gradation,0,0,128,0,0,0\r\n3=mode,center\r\n4=bitmap,logo.bmp\r\n5=mode,bottom\r\n6=rect,%40,%70\r\n"
           "7=string,Welcome\r\n8=string,Setup\r\n9=page,2\r\n10=mode,all\r\n11=fill,255,0,0\r\n");
  const int width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
  driver::Process process = Start();
  ASSERT_TRUE(WaitForPixel(5, 5, RGB(0, 0, 128), kWindowTimeoutMs)) << "the backdrop shows";
  Shoot("backdrop", nullptr);

  const int band = height / 64;
  for (int f : {0, 1, 32, 63}) {
    int blue = 128 - f * 128 / 64;
    EXPECT_EQ(ScreenPixel(5, f * band + band / 2), RGB(0, 0, blue)) << "band " << f;
    EXPECT_EQ(ScreenPixel(width - 5, f * band + band / 2), RGB(0, 0, blue)) << "band " << f;
  }
  int logoLeft = (width - logoWidth) / 2, logoTop = (height - logoHeight) / 2;
  EXPECT_EQ(ScreenPixel(logoLeft, logoTop), RGB(255, 160, 0));
  EXPECT_EQ(ScreenPixel(logoLeft + logoWidth - 1, logoTop + logoHeight - 1), RGB(255, 255, 255));
  EXPECT_EQ(ScreenPixel(logoLeft - 1, logoTop + 1), RGB(0, 0, 128 - (logoTop + 1) / band * 2));
  EXPECT_EQ(ScreenPixel(logoLeft + logoWidth, logoTop + logoHeight), RGB(0, 0, 128 - (logoTop + logoHeight) / band * 2));

  // The texts' ink, black (smoothed into the band's colour at its edges):
  // never left of 40 % of the width, in two lines (rows with ink, a gap,
  // rows with ink) starting at 70 % of the height.
  const int textLeft = width * 40 / 100, textTop = height * 70 / 100;
  std::vector<bool> inkRows;
  int inkLeftOfText = 0;
  ScreenCopy around({textLeft - 40, textTop - 10, textLeft + 120, textTop + 80});
  for (int y = textTop - 10; y < textTop + 80; ++y) {
    bool ink = false;
    for (int x = textLeft - 40; x < textLeft + 120; ++x) {
      COLORREF c = around.At(x, y);
      if (GetRValue(c) != 0 || GetGValue(c) != 0 || GetBValue(c) + 10 > 128 - y / band * 2) continue;
      ink = true;
      inkLeftOfText += x < textLeft;
    }
    inkRows.push_back(ink);
  }
  EXPECT_EQ(inkLeftOfText, 0);
  int firstInk = -1, runs = 0;
  for (size_t i = 0; i < inkRows.size(); ++i) {
    if (inkRows[i] && firstInk < 0) firstInk = static_cast<int>(i);
    runs += inkRows[i] && (i == 0 || !inkRows[i - 1]);
  }
  EXPECT_GE(firstInk, 10) << "no ink above 70 % of the height";
  EXPECT_EQ(runs, 2) << "Welcome, and Setup below it";

  HWND dialog = WaitForMainDialog(process);
  ASSERT_NE(dialog, nullptr);
  EXPECT_EQ(ScreenPixel(5, height - 2), RGB(0, 0, 2)) << "the backdrop stays behind the dialog";
  driver::PressButton(dialog, IDC_CANCEL_RUN);
  EXPECT_TRUE(process.Wait(10000));
}

// Text mode: the file resolved against [Root] Named, or else its bare name
// in the current folder, shown from its start; typing into it closes the
// viewer.
TEST_F(SetupPainting, TextModeShowsTheFileAndClosesOnTyping) {
  const std::string text = "説明書\tタブ\r\n二行目 \\ 表\r\n";
  ASSERT_TRUE(driver::MakeFolders(root_ + "\\installed\\docs"));
  ASSERT_TRUE(driver::WriteFileBytes(root_ + "\\installed\\docs\\read me.txt", text));
  ASSERT_TRUE(driver::WriteFileBytes(app_ + "\\fallback.txt", "fallback " + text));
  struct Case {
    const char* name;
    std::string file;
    std::string shown;
  } cases[] = {
      {"resolved", "docs\\read me.txt", text},
      {"fallback", "docs\\gone\\fallback.txt", "fallback " + text},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    WriteIni("[Setup]\r\nName=読んでください\r\n[Root]\r\nNamed=" + root_ + "\\installed\r\n[Readme]\r\nDone=2\r\nFile=" +
             c.file + "\r\n");
    driver::Process process = Start();
    HWND viewer = WaitForViewer(process);
    ASSERT_NE(viewer, nullptr);
    EXPECT_EQ(driver::WindowText(viewer), "読んでください");
    EXPECT_EQ(FieldText(viewer, IDC_README_TEXT), c.shown);
    for (int id : {IDC_PAGE_BUTTON1, IDC_PAGE_BUTTON2, IDC_PAGE_BUTTON3, IDC_README_END})
      EXPECT_FALSE(driver::IsControlVisible(viewer, id)) << id;
    RECT client, edit;
    GetClientRect(viewer, &client);
    GetWindowRect(GetDlgItem(viewer, IDC_README_TEXT), &edit);
    EXPECT_EQ(edit.right - edit.left, client.right) << "the text covers the client area";
    EXPECT_EQ(edit.bottom - edit.top, client.bottom);
    DWORD_PTR selection = 99;
    SendMessageTimeoutA(GetDlgItem(viewer, IDC_README_TEXT), EM_GETSEL, 0, 0, SMTO_BLOCK, 5000, &selection);
    EXPECT_EQ(selection, 0u) << "the caret at the start, nothing selected";
    Shoot(std::string("readme text ") + c.name, viewer);
    SendMessageTimeoutA(GetDlgItem(viewer, IDC_README_TEXT), WM_CHAR, 'x', 0, SMTO_BLOCK, 5000, nullptr);
    ExpectViewerClosed(process, viewer);
  }
}

// Page mode. The page list: a red install page with one shown button and
// two hidden ones, a green version-up page, a blue uninstall page, page 1
// painting its left half yellow over what was there, page 2 cyan.
const char kPages[] =
    "[Readme]\r\nDone=2\r\nFile=readme.special\r\nNo=23\r\n"
    "0=page,install\r\n1=mode,all\r\n2=fill,255,0,0\r\n3=button1,1,次へ\r\n4=button2,none,Hidden\r\n"
    "5=button3,-5,Below\r\n"
    "6=page,versionup\r\n7=mode,all\r\n8=fill,0,255,0\r\n9=button1,2,Two\r\n"
    "10=page,uninstall\r\n11=mode,all\r\n12=fill,0,0,255\r\n"
    "13=page,1\r\n14=mode,rect\r\n15=rect,0,0,%50,%100\r\n16=fill,255,255,0\r\n17=button1,2\r\n18=button2,0,Zero\r\n"
    "19=page,2\r\n20=mode,all\r\n21=fill,0,255,255\r\n22=button3,uninstall,Blue\r\n";

// What the viewer shows: the colours of the left and right half, and each
// page button's visibility and caption.
struct Page {
  COLORREF left, right;
  struct Button {
    bool shown;
    const char* caption;
  } buttons[3];
};

void ExpectPage(HWND viewer, const Page& page) {
  RECT client;
  GetClientRect(viewer, &client);
  POINT left = {client.right / 4, client.bottom / 3}, right = {client.right * 3 / 4, client.bottom / 3};
  ClientToScreen(viewer, &left);
  ClientToScreen(viewer, &right);
  EXPECT_TRUE(WaitForPixel(left.x, left.y, page.left)) << std::hex << ScreenPixel(left.x, left.y);
  EXPECT_TRUE(WaitForPixel(right.x, right.y, page.right)) << std::hex << ScreenPixel(right.x, right.y);
  const int ids[3] = {IDC_PAGE_BUTTON1, IDC_PAGE_BUTTON2, IDC_PAGE_BUTTON3};
  for (int b = 0; b < 3; ++b) {
    EXPECT_EQ(driver::IsControlVisible(viewer, ids[b]), page.buttons[b].shown) << "button " << b + 1;
    EXPECT_EQ(driver::ControlText(viewer, ids[b]), page.buttons[b].caption) << "button " << b + 1;
  }
  EXPECT_TRUE(driver::IsControlVisible(viewer, IDC_README_END));
  EXPECT_EQ(driver::ControlText(viewer, IDC_README_END), "説明終了(&E)");
  EXPECT_FALSE(driver::IsControlVisible(viewer, IDC_README_TEXT));
}

constexpr COLORREF kRed = RGB(255, 0, 0), kGreen = RGB(0, 255, 0), kBlue = RGB(0, 0, 255),
                   kYellow = RGB(255, 255, 0), kCyan = RGB(0, 255, 255);

// Installing: the install page; its buttons lead through the pages, a
// target without a page shows the page that starts at line 1, captions
// stay until a page gives another.
TEST_F(SetupPainting, PageModeStartsAtTheInstallPageAndFollowsItsButtons) {
  WriteIni(std::string("[Setup]\r\nName=Pages\r\n") + kPages);
  driver::Process process = Start();
  HWND viewer = WaitForViewer(process);
  ASSERT_NE(viewer, nullptr);
  EXPECT_EQ(driver::WindowText(viewer), "Pages");
  struct Step {
    int press;  // 0: none, the start page
    const char* name;
    Page page;
  } steps[] = {
      {0, "install page", {kRed, kRed, {{true, "次へ"}, {false, "Hidden"}, {false, "Below"}}}},
      {IDC_PAGE_BUTTON1, "page 1", {kYellow, kRed, {{true, "次へ"}, {true, "Zero"}, {false, "Below"}}}},
      {IDC_PAGE_BUTTON2, "page 0, none: line 1", {kRed, kRed, {{true, "次へ"}, {false, "Hidden"}, {false, "Below"}}}},
      {IDC_PAGE_BUTTON1, "page 1 again", {kYellow, kRed, {{true, "次へ"}, {true, "Zero"}, {false, "Below"}}}},
      {IDC_PAGE_BUTTON1, "page 2", {kCyan, kCyan, {{false, "次へ"}, {false, "Zero"}, {true, "Blue"}}}},
      {IDC_PAGE_BUTTON3, "uninstall page", {kBlue, kBlue, {{false, "次へ"}, {false, "Zero"}, {false, "Blue"}}}},
  };
  for (const Step& step : steps) {
    SCOPED_TRACE(step.name);
    if (step.press) driver::PressButton(viewer, step.press);
    ExpectPage(viewer, step.page);
    Shoot(std::string("readme ") + step.name, viewer);
  }
  driver::PressButton(viewer, IDC_README_END);
  ExpectViewerClosed(process, viewer);
}

// The start page follows what the main dialog presents: a version-up of
// a registered installation, or the installed copy that offers the
// uninstall. The close box and Esc close the viewer too.
TEST_F(SetupPainting, PageModeStartsAtTheVersionUpAndUninstallPages) {
  std::string earlier = root_ + "\\earlier";
  ASSERT_TRUE(driver::MakeFolders(earlier));
  Register("Pages Up", earlier + "\\Setup.exe");
  keys_.push_back("Pages Installed");  // the lookup leaves an empty entry behind
  struct Case {
    const char* name;
    std::string ini;
    Page page;
    UINT close;
  } cases[] = {
      {"version-up", "[Root]\r\nName=Pages Up\r\n", {kGreen, kGreen, {{true, "Two"}, {false, ""}, {false, ""}}},
       WM_CLOSE},
      {"uninstall", "[Root]\r\nName=Pages Installed\r\n[CopiedFile]\r\nCount=1\r\n",
       {kBlue, kBlue, {{false, ""}, {false, ""}, {false, ""}}}, WM_COMMAND},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    WriteIni("[Setup]\r\nName=Pages\r\n" + c.ini + kPages);
    driver::Process process = Start();
    HWND viewer = WaitForViewer(process);
    ASSERT_NE(viewer, nullptr);
    ExpectPage(viewer, c.page);
    Shoot(std::string("readme ") + c.name + " page", viewer);
    if (c.close == WM_CLOSE) PostMessageA(viewer, WM_CLOSE, 0, 0);
    else driver::PressButton(viewer, IDCANCEL);
    ExpectViewerClosed(process, viewer);
  }
}

}  // namespace
