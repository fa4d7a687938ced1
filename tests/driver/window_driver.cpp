#include "window_driver.h"

#include <commctrl.h>
#include <shlobj.h>
#include <string.h>

#include <random>

namespace driver {

Process::~Process() {
  // A program that a failed test left running would hold the test
  // runner's output open.
  if (process_ && WaitForSingleObject(process_, 0) == WAIT_TIMEOUT) Kill();
  if (thread_) CloseHandle(thread_);
  if (process_) CloseHandle(process_);
}

Process::Process(Process&& other) noexcept { *this = std::move(other); }

Process& Process::operator=(Process&& other) noexcept {
  if (this != &other) {
    if (thread_) CloseHandle(thread_);
    if (process_) CloseHandle(process_);
    process_ = other.process_;
    thread_ = other.thread_;
    id_ = other.id_;
    other.process_ = other.thread_ = nullptr;
    other.id_ = 0;
  }
  return *this;
}

bool Process::Wait(DWORD timeoutMs, DWORD* code) const {
  if (!process_ || WaitForSingleObject(process_, timeoutMs) != WAIT_OBJECT_0) return false;
  if (code) GetExitCodeProcess(process_, code);
  return true;
}

void Process::Kill() {
  if (!process_) return;
  TerminateProcess(process_, 99);
  WaitForSingleObject(process_, 5000);
}

namespace {

// This process's environment with some variables set or removed, as the
// sorted block that CreateProcessA takes.
std::string EnvironmentBlock(const std::map<std::string, std::string>& set,
                             const std::vector<std::string>& remove) {
  std::map<std::string, std::string> variables;  // upper-case name -> "Name=value"
  auto upper = [](std::string text) {
    for (char& c : text) c = static_cast<char>(toupper(static_cast<unsigned char>(c)));
    return text;
  };
  char* strings = GetEnvironmentStringsA();
  for (const char* p = strings; *p; p += strlen(p) + 1) {
    const char* equals = strchr(p + 1, '=');  // names may start with '='
    if (!equals) continue;
    variables[upper(std::string(p, equals))] = p;
  }
  FreeEnvironmentStringsA(strings);
  for (const std::string& name : remove) variables.erase(upper(name));
  for (const auto& [name, value] : set) {
    if (value.empty()) variables.erase(upper(name));
    else variables[upper(name)] = name + "=" + value;
  }
  std::string block;
  for (const auto& entry : variables) block += entry.second + '\0';
  block += '\0';
  return block;
}

}  // namespace

Process Start(const std::string& commandLine, const std::string& folder,
              const std::map<std::string, std::string>* environment,
              const std::vector<std::string>* remove) {
  Process result;
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info = {};
  std::string line = commandLine;
  std::string block;
  if (environment || remove) {
    static const std::map<std::string, std::string> none;
    static const std::vector<std::string> nothing;
    block = EnvironmentBlock(environment ? *environment : none, remove ? *remove : nothing);
  }
  if (!CreateProcessA(nullptr, &line[0], nullptr, nullptr, FALSE, 0, block.empty() ? nullptr : &block[0],
                      folder.empty() ? nullptr : folder.c_str(), &startup, &info))
    return result;
  result.process_ = info.hProcess;
  result.thread_ = info.hThread;
  result.id_ = info.dwProcessId;
  return result;
}

int RunToEnd(const std::string& commandLine, const std::string& folder, DWORD timeoutMs) {
  Process process = Start(commandLine, folder);
  DWORD code = 0;
  if (!process.started()) return -1;
  if (!process.Wait(timeoutMs, &code)) {
    process.Kill();
    return -1;
  }
  return static_cast<int>(code);
}

namespace {

struct WindowSearch {
  DWORD processId;
  std::vector<HWND> found;
};

BOOL CALLBACK CollectWindow(HWND window, LPARAM context) {
  auto* search = reinterpret_cast<WindowSearch*>(context);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  if (owner == search->processId) search->found.push_back(window);
  return TRUE;
}

}  // namespace

std::vector<HWND> TopLevelWindows(DWORD processId) {
  WindowSearch search{processId, {}};
  EnumWindows(CollectWindow, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

std::string WindowText(HWND window) {
  char text[4096];
  int length = GetWindowTextA(window, text, sizeof text);
  return std::string(text, length > 0 ? length : 0);
}

std::string ClassName(HWND window) {
  char name[256];
  int length = GetClassNameA(window, name, sizeof name);
  return std::string(name, length > 0 ? length : 0);
}

HWND WaitForWindow(DWORD processId, const char* className, const char* title, DWORD timeoutMs) {
  DWORD start = GetTickCount();
  do {
    for (HWND window : TopLevelWindows(processId)) {
      if (!IsWindowVisible(window)) continue;
      if (className && ClassName(window) != className) continue;
      if (title && WindowText(window) != title) continue;
      return window;
    }
    Sleep(20);
  } while (GetTickCount() - start < timeoutMs);
  return nullptr;
}

std::string ControlText(HWND dialog, int id) {
  HWND control = GetDlgItem(dialog, id);
  return control ? WindowText(control) : std::string();
}

bool IsControlVisible(HWND dialog, int id) {
  HWND control = GetDlgItem(dialog, id);
  return control && IsWindowVisible(control);
}

void PressButton(HWND dialog, int id) {
  PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
               reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

namespace {

// Memory in another process (or this one) for messages that carry pointers.
class RemoteBuffer {
 public:
  RemoteBuffer(DWORD processId, size_t size)
      : process_(OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, processId)),
        address_(process_ ? VirtualAllocEx(process_, nullptr, size, MEM_COMMIT, PAGE_READWRITE) : nullptr) {}
  ~RemoteBuffer() {
    if (address_) VirtualFreeEx(process_, address_, 0, MEM_RELEASE);
    if (process_) CloseHandle(process_);
  }
  void* address() const { return address_; }
  bool Write(size_t offset, const void* data, size_t size) {
    return WriteProcessMemory(process_, static_cast<char*>(address_) + offset, data, size, nullptr);
  }
  bool Read(size_t offset, void* data, size_t size) {
    return ReadProcessMemory(process_, static_cast<char*>(address_) + offset, data, size, nullptr);
  }

 private:
  HANDLE process_;
  void* address_;
};

// The text of an item of a tree view in any process.
std::string TreeItemText(HWND tree, DWORD processId, HTREEITEM item) {
  if (!item) return std::string();
  RemoteBuffer remote(processId, sizeof(TVITEMA) + MAX_PATH);
  if (!remote.address()) return std::string();
  TVITEMA query = {};
  query.mask = TVIF_TEXT;
  query.hItem = item;
  query.pszText = static_cast<char*>(remote.address()) + sizeof(TVITEMA);
  query.cchTextMax = MAX_PATH;
  char text[MAX_PATH] = "";
  if (!remote.Write(0, &query, sizeof query) ||
      !SendMessageA(tree, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(remote.address())) ||
      !remote.Read(sizeof(TVITEMA), text, sizeof text))
    return std::string();
  text[MAX_PATH - 1] = '\0';
  return text;
}

std::string SelectedTreeItem(HWND tree, DWORD processId) {
  return TreeItemText(tree, processId, reinterpret_cast<HTREEITEM>(SendMessageA(tree, TVM_GETNEXTITEM, TVGN_CARET, 0)));
}

}  // namespace

bool SelectBrowseItem(HWND dialog, const std::string& name, DWORD timeoutMs) {
  DWORD processId = 0;
  GetWindowThreadProcessId(dialog, &processId);
  HWND tree = GetDlgItem(dialog, 14145);
  if (!tree) return false;
  // The root's children appear once the dialog has listed them.
  DWORD start = GetTickCount();
  do {
    HTREEITEM root = reinterpret_cast<HTREEITEM>(SendMessageA(tree, TVM_GETNEXTITEM, TVGN_ROOT, 0));
    HTREEITEM item = reinterpret_cast<HTREEITEM>(SendMessageA(tree, TVM_GETNEXTITEM, TVGN_CHILD,
                                                              reinterpret_cast<LPARAM>(root)));
    for (; item; item = reinterpret_cast<HTREEITEM>(
                     SendMessageA(tree, TVM_GETNEXTITEM, TVGN_NEXT, reinterpret_cast<LPARAM>(item)))) {
      if (lstrcmpiA(TreeItemText(tree, processId, item).c_str(), name.c_str()) != 0) continue;
      SendMessageA(tree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(item));
      return lstrcmpiA(SelectedTreeItem(tree, processId).c_str(), name.c_str()) == 0;
    }
    Sleep(100);
  } while (GetTickCount() - start < timeoutMs);
  return false;
}

std::string BrowseSelection(HWND dialog) {
  DWORD processId = 0;
  GetWindowThreadProcessId(dialog, &processId);
  HWND tree = GetDlgItem(dialog, 14145);
  return tree ? SelectedTreeItem(tree, processId) : std::string();
}

bool SelectBrowseFolder(HWND dialog, const std::string& folder, DWORD timeoutMs) {
  DWORD processId = 0;
  GetWindowThreadProcessId(dialog, &processId);
  HWND tree = GetDlgItem(dialog, 14145);
  std::string name = folder.substr(folder.find_last_of('\\') + 1);
  RemoteBuffer path(processId, folder.size() + 1);
  if (!tree || !path.address() || !path.Write(0, folder.c_str(), folder.size() + 1)) return false;
  // The dialog preselects a folder of its own once it is set up, which
  // may come after a selection sent too early: repeat until it holds.
  DWORD start = GetTickCount();
  do {
    SendMessageA(dialog, BFFM_SETSELECTIONA, TRUE, reinterpret_cast<LPARAM>(path.address()));
    Sleep(100);
    if (lstrcmpiA(SelectedTreeItem(tree, processId).c_str(), name.c_str()) == 0) return true;
  } while (GetTickCount() - start < timeoutMs);
  return false;
}

bool AnswerMessageBox(DWORD processId, const char* caption, int buttonId, DWORD timeoutMs,
                      std::string* text) {
  HWND box = WaitForWindow(processId, "#32770", caption, timeoutMs);
  if (!box) return false;
  // The message text is the static control with id 0xFFFF.
  if (text) *text = ControlText(box, 0xFFFF);
  PressButton(box, buttonId);
  return true;
}

std::vector<std::string> FollowTexts(const Process& process, HWND dialog, int id, DWORD timeoutMs,
                                     const std::function<void(const std::string&)>& onChange) {
  std::vector<std::string> texts;
  DWORD start = GetTickCount();
  while (GetTickCount() - start < timeoutMs) {
    bool ended = WaitForSingleObject(process.handle(), 10) == WAIT_OBJECT_0;
    HWND control = ended ? nullptr : GetDlgItem(dialog, id);
    if (!control) break;
    std::string text = WindowText(control);
    if (!IsWindow(control)) break;  // the text of a window that went is no text
    if (texts.empty() || text != texts.back()) {
      texts.push_back(text);
      if (onChange) onChange(text);
    }
  }
  return texts;
}

bool WaitForText(HWND dialog, int id, const std::string& text, DWORD timeoutMs) {
  DWORD start = GetTickCount();
  do {
    if (ControlText(dialog, id) == text) return true;
    Sleep(20);
  } while (GetTickCount() - start < timeoutMs && IsWindow(dialog));
  return false;
}

bool Screenshot(const std::string& path, HWND window) {
  RECT area = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  if (window) GetWindowRect(window, &area);
  int width = area.right - area.left, height = area.bottom - area.top;
  if (width <= 0 || height <= 0) return false;
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
  HGDIOBJ old = SelectObject(memory, bitmap);
  BitBlt(memory, 0, 0, width, height, screen, area.left, area.top, SRCCOPY);
  SelectObject(memory, old);

  BITMAPINFOHEADER header = {};
  header.biSize = sizeof header;
  header.biWidth = width;
  header.biHeight = height;
  header.biPlanes = 1;
  header.biBitCount = 24;
  header.biCompression = BI_RGB;
  DWORD stride = (width * 3 + 3) & ~3u;
  std::string pixels(stride * height, '\0');
  int rows = GetDIBits(memory, bitmap, 0, height, &pixels[0], reinterpret_cast<BITMAPINFO*>(&header),
                       DIB_RGB_COLORS);
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  if (rows != height) return false;

  BITMAPFILEHEADER file = {};
  file.bfType = 0x4D42;  // "BM"
  file.bfOffBits = sizeof file + sizeof header;
  file.bfSize = file.bfOffBits + static_cast<DWORD>(pixels.size());
  std::string bytes(reinterpret_cast<const char*>(&file), sizeof file);
  bytes.append(reinterpret_cast<const char*>(&header), sizeof header);
  bytes += pixels;
  return WriteFileBytes(path, bytes);
}

std::string RandomBytes(size_t size, unsigned seed) {
  std::mt19937 random(seed);
  std::string bytes(size, '\0');
  for (char& c : bytes) c = static_cast<char>(random());
  return bytes;
}

std::string WorkspaceOf(const std::string& makingText) {
  size_t open = makingText.find('"'), close = makingText.rfind('"');
  if (open == std::string::npos || close <= open) return std::string();
  return makingText.substr(open + 1, close - open - 1);
}

std::string WorkspaceIn(const std::string& folder) {
  WIN32_FIND_DATAA entry;
  HANDLE find = FindFirstFileA((folder + "\\$JP*").c_str(), &entry);
  if (find == INVALID_HANDLE_VALUE) return std::string();
  FindClose(find);
  return folder + "\\" + entry.cFileName;
}

bool WaitForLine(const std::string& path, DWORD timeoutMs) {
  for (DWORD waited = 0; waited < timeoutMs; waited += 50, Sleep(50))
    if (ReadFileBytes(path).find('\n') != std::string::npos) return true;
  return false;
}

std::string ReadFileBytes(const std::string& path) {
  HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                            OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return std::string();
  std::string bytes(GetFileSize(file, nullptr), '\0');
  DWORD got = 0;
  if (!bytes.empty()) ReadFile(file, &bytes[0], static_cast<DWORD>(bytes.size()), &got, nullptr);
  CloseHandle(file);
  bytes.resize(got);
  return bytes;
}

bool WriteFileBytes(const std::string& path, const std::string& bytes) {
  HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  BOOL ok = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  CloseHandle(file);
  return ok && written == bytes.size();
}

bool Exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

bool IsFolder(const std::string& path) {
  DWORD attributes = GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool MakeFolders(const std::string& path) {
  for (size_t at = path.find('\\', 3); at != std::string::npos; at = path.find('\\', at + 1))
    CreateDirectoryA(path.substr(0, at).c_str(), nullptr);
  CreateDirectoryA(path.c_str(), nullptr);
  return IsFolder(path);
}

void RemoveTree(const std::string& path) {
  WIN32_FIND_DATAA entry;
  HANDLE find = FindFirstFileA((path + "\\*").c_str(), &entry);
  if (find != INVALID_HANDLE_VALUE) {
    do {
      std::string name = entry.cFileName;
      if (name == "." || name == "..") continue;
      std::string child = path + "\\" + name;
      SetFileAttributesA(child.c_str(), FILE_ATTRIBUTE_NORMAL);
      if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) RemoveTree(child);
      else DeleteFileA(child.c_str());
    } while (FindNextFileA(find, &entry));
    FindClose(find);
  }
  RemoveDirectoryA(path.c_str());
}

std::string ProgramFolder() {
  char path[MAX_PATH];
  DWORD length = GetModuleFileNameA(nullptr, path, sizeof path);
  std::string folder(path, length);
  return folder.substr(0, folder.rfind('\\'));
}

}  // namespace driver
