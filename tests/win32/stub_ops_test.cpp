// The stub's operations called directly, against Wine's real file system
// and window manager. This program carries the stub's resources, so that
// its own file stands in for a built file.
#include <gtest/gtest.h>

#include "built_file.h"
#include "payload.h"
#include "stub.h"

namespace {

class Scratch : public driver::ScratchTest {
 protected:
  void Put(const std::string& relative, size_t size) {
    ASSERT_TRUE(driver::PutFile(root_ + "\\" + relative, std::string(size, 'x'))) << relative;
  }
};

using CountTreeTest = Scratch;

TEST_F(CountTreeTest, CountsFilesBelowTheTopAndSkipsDotFolders) {
  Put("$.lzh", 5000);                 // the archive beside the token folders
  Put("[System]\\one.dll", 1);
  Put("[System]\\sub\\two.dll", 2048);
  Put("[Desktop]\\three.txt", 2048);
  Put("[Desktop]\\.git\\hidden", 77);  // dot-folders are skipped whole
  Put(".cache\\four", 99);
  DWORD files = 0, bytes = 0;
  CountTree(root_.c_str(), 0, &files, &bytes);
  EXPECT_EQ(files, 3u);
  EXPECT_EQ(bytes, 1u + 2048u + 2048u);

  // Counters are added to, not reset.
  CountTree((root_ + "\\[System]").c_str(), 1, &files, &bytes);
  EXPECT_EQ(files, 5u);
  EXPECT_EQ(bytes, 4097u + 2049u);
}

TEST_F(CountTreeTest, MissingFolderAddsNothing) {
  DWORD files = 3, bytes = 4;
  CountTree((root_ + "\\absent").c_str(), 0, &files, &bytes);
  EXPECT_EQ(files, 3u);
  EXPECT_EQ(bytes, 4u);
}

using DeleteTreeTest = Scratch;

TEST_F(DeleteTreeTest, RemovesTheWholeTree) {
  Put("top.bin", 10);
  Put("[A]\\b\\c\\deep.txt", 10);
  Put("[A]\\b\\flat.txt", 10);
  DeleteTree(root_.c_str());
  EXPECT_FALSE(driver::Exists(root_));
}

TEST_F(DeleteTreeTest, EmptyPathTouchesNothing) {
  // An empty workspace name must never turn into the root of the drive.
  Put("keep.txt", 1);
  EnterFolder(root_);
  DeleteTree("");
  EXPECT_TRUE(driver::Exists(root_ + "\\keep.txt"));
}

TEST_F(DeleteTreeTest, NamesTooLongForItsBuffersAreSkippedNotOverrun) {
  std::string deep = root_;
  while (deep.size() < 240) deep += "\\abcdefghij";
  ASSERT_TRUE(driver::MakeFolders(deep));
  // Only the wide functions reach a path past 260 characters.
  std::string tooLong = deep + "\\" + std::string(40, 'n') + ".txt";
  std::wstring wide(tooLong.begin(), tooLong.end());
  HANDLE file = CreateFileW(wide.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  CloseHandle(file);
  Put("short.txt", 1);
  DeleteTree(root_.c_str());
  EXPECT_FALSE(driver::Exists(root_ + "\\short.txt"));
  EXPECT_NE(GetFileAttributesW(wide.c_str()), INVALID_FILE_ATTRIBUTES) << "left alone, not cut short";
  DeleteFileW(wide.c_str());
}

using WorkspaceName = driver::ScratchTest;

void ExpectWorkspaceIn(const char* name, const std::string& folder) {
  EXPECT_TRUE(driver::IsWorkspaceName(name, folder)) << name;
  EXPECT_FALSE(driver::Exists(name)) << "the reserving file is deleted, the folder not yet made";
  EXPECT_FALSE(driver::Exists(std::string(name) + ".tmp"));
}

TEST_F(WorkspaceName, LiesInTheTemporaryFolder) {
  std::string folder = root_ + "\\tmp here";
  driver::MakeFolders(folder);
  SetVariable("TMP", folder.c_str());
  char name[MAX_PATH];
  ASSERT_TRUE(MakeWorkspaceName(name, sizeof name));
  ExpectWorkspaceIn(name, folder);
  char second[MAX_PATH];
  ASSERT_TRUE(MakeWorkspaceName(second, sizeof second));
  ExpectWorkspaceIn(second, folder);
}

TEST_F(WorkspaceName, LiesInTheWindowsFolderWithoutTmpAndTemp) {
  SetVariable("TMP", nullptr);
  SetVariable("TEMP", nullptr);
  char name[MAX_PATH];
  ASSERT_TRUE(MakeWorkspaceName(name, sizeof name));
  ExpectWorkspaceIn(name, driver::WindowsFolder());
}

TEST_F(WorkspaceName, IsEmptyWhenNoNameCanBeMade) {
  SetVariable("TMP", (root_ + "\\no such folder").c_str());
  char name[MAX_PATH] = "junk";
  EXPECT_FALSE(MakeWorkspaceName(name, sizeof name));
  EXPECT_STREQ(name, "");
}

using MakeWorkspaceState = Scratch;

TEST_F(MakeWorkspaceState, TakesANewFolderOrStopsTheRun) {
  HWND window = CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_PROGRESS), GetDesktopWindow(),
                                   ProgressDialogProc, 0);
  ASSERT_NE(window, nullptr);
  struct Case {
    std::string name;
    int taken;         // the name and this many suffixes already exist
    std::string made;  // empty: none is new
  } cases[] = {
      {root_ + "\\$JP1", 0, root_ + "\\$JP1"},
      {root_ + "\\$JP2", 1, root_ + "\\$JP2-1"},
      {root_ + "\\$JP3", 3, root_ + "\\$JP3-3"},
      {root_ + "\\$JP4", 10, ""},
      {root_ + "\\missing\\$JP5", 0, ""},
  };
  for (const Case& c : cases) {
    for (int i = 0; i < c.taken; ++i) Put(driver::NameOf(c.name) + (i ? "-" + std::to_string(i) : "") + "\\old.txt", 3);
    lstrcpyA(g_stub.workspace, c.name.c_str());
    g_stub.state = kMakeWorkspace;
    Tick(window);
    EXPECT_EQ(std::string(g_stub.workspace), c.made) << c.name;
    EXPECT_EQ(driver::ControlText(window, IDC_PROGRESS_TEXT),
              "Making folder\n\"" + (c.made.empty() ? c.name : c.made) + "\"\nas workspace...");
    // Without a workspace the next step writes no archive and ends the run.
    if (!c.made.empty()) {
      EXPECT_EQ(driver::Entries(c.made).size(), 0u) << "a new folder";
    }
  }
  for (int i = 0; i < 10; ++i)
    EXPECT_EQ(driver::Entries(root_ + "\\$JP4" + (i ? "-" + std::to_string(i) : "")).size(), 1u) << "untouched";
  DestroyWindow(window);
}

using SplitPayloadTest = Scratch;

// stub bytes + block + archive, sums as a builder computes them.
std::string BuiltFile(const std::string& stub, const std::string& archive, bool flag, const char* command) {
  payload::ColumnSums sums;
  sums.Clear();
  sums.AddRows(reinterpret_cast<const uint8_t*>(stub.data()), stub.size());
  sums.AddRows(reinterpret_cast<const uint8_t*>(archive.data()), archive.size());
  uint8_t block[payload::kBlockSize];
  payload::WriteBlock(block, flag, command, sums.column);
  return stub + std::string(reinterpret_cast<char*>(block), sizeof block) + archive;
}

TEST_F(SplitPayloadTest, WritesTheArchiveAndTakesTheSettings) {
  std::string archive;
  for (int i = 0; i < 200000; ++i) archive += static_cast<char>(i * 7 + i / 256);
  std::string own = root_ + "\\built file.exe";
  ASSERT_TRUE(driver::WriteFileBytes(own, BuiltFile(std::string(1024, 'M'), archive, true, "[Desktop]\\a.txt")));
  int flag = 0;
  char command[MAX_PATH] = "";
  std::string out = root_ + "\\$.lzh";
  EXPECT_EQ(SplitPayload(out.c_str(), own.c_str(), &flag, command), 1);
  EXPECT_EQ(flag, 1);
  EXPECT_STREQ(command, "[Desktop]\\a.txt");
  EXPECT_TRUE(driver::ReadFileBytes(out) == archive);
}

TEST_F(SplitPayloadTest, FailsQuietlyWhenFilesCannotBeOpened) {
  std::string own = root_ + "\\built.exe";
  ASSERT_TRUE(driver::WriteFileBytes(own, BuiltFile(std::string(256, 'M'), "abc", true, "x")));
  int flag = 0;
  char command[MAX_PATH] = "";
  // The workspace is missing: the archive cannot be created.
  EXPECT_EQ(SplitPayload((root_ + "\\missing\\$.cab").c_str(), own.c_str(), &flag, command), 0);
  EXPECT_EQ(flag, 0);
  EXPECT_EQ(SplitPayload((root_ + "\\$.cab").c_str(), (root_ + "\\absent.exe").c_str(), &flag, command), 0);
  EXPECT_FALSE(driver::Exists(root_ + "\\$.cab"));
}

TEST(ProgressWindow, SetUpGivesTitleIconAndCentre) {
  // Creating the window runs its set-up; the run itself waits for the
  // first timer message, which never comes here.
  HWND window = CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_PROGRESS),
                                   GetDesktopWindow(), ProgressDialogProc, 0);
  ASSERT_NE(window, nullptr);
  EXPECT_EQ(driver::WindowText(window), "win32_stub_ops");
  EXPECT_TRUE(IsWindowVisible(window));
  EXPECT_FALSE(driver::IsControlVisible(window, IDC_OK));
  EXPECT_FALSE(driver::IsControlVisible(window, IDC_CANCEL));

  RECT own, desktop;
  GetWindowRect(window, &own);
  GetWindowRect(GetDesktopWindow(), &desktop);
  EXPECT_EQ(own.left, (desktop.right - (own.right - own.left)) / 2);
  EXPECT_EQ(own.top, (desktop.bottom - (own.bottom - own.top)) / 2);

  // The class icon shows the same image as the first icon of the file.
  HICON classIcon = reinterpret_cast<HICON>(GetClassLongPtrA(window, GCLP_HICON));
  ASSERT_NE(classIcon, nullptr);
  char path[MAX_PATH];
  GetModuleFileNameA(nullptr, path, sizeof path);
  HICON fileIcon = nullptr;
  ASSERT_EQ(ExtractIconExA(path, 0, &fileIcon, nullptr, 1), 1u);
  auto pixels = [](HICON icon) {
    ICONINFO info = {};
    GetIconInfo(icon, &info);
    BITMAPINFO format = {};
    format.bmiHeader.biSize = sizeof format.bmiHeader;
    format.bmiHeader.biWidth = 32;
    format.bmiHeader.biHeight = 32;
    format.bmiHeader.biPlanes = 1;
    format.bmiHeader.biBitCount = 32;
    std::string bits(32 * 32 * 4, '\0');
    HDC dc = GetDC(nullptr);
    GetDIBits(dc, info.hbmColor, 0, 32, &bits[0], &format, DIB_RGB_COLORS);
    ReleaseDC(nullptr, dc);
    DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
    return bits;
  };
  std::string expected = pixels(fileIcon);
  EXPECT_TRUE(pixels(classIcon) == expected);
  EXPECT_NE(expected, std::string(expected.size(), '\0'));
  DestroyIcon(fileIcon);
  DestroyWindow(window);
}

}  // namespace
