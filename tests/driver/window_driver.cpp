#include "window_driver.h"

#include <commctrl.h>
#include <shlobj.h>
#include <string.h>
#include <tlhelp32.h>

namespace driver {

Process::~Process() {
  // A program that a failed test left running would hold the test
  // runner's output open.
  if (process_ && WaitForSingleObject(process_, 0) == WAIT_TIMEOUT) Kill();
  Close();
}

void Process::Close() {
  for (HANDLE handle : {thread_, process_, job_})
    if (handle) CloseHandle(handle);
  process_ = thread_ = job_ = nullptr;
  id_ = 0;
}

Process::Process(Process&& other) noexcept { *this = std::move(other); }

Process& Process::operator=(Process&& other) noexcept {
  if (this != &other) {
    Close();
    process_ = other.process_;
    thread_ = other.thread_;
    job_ = other.job_;
    id_ = other.id_;
    other.process_ = other.thread_ = other.job_ = nullptr;
    other.id_ = 0;
  }
  return *this;
}

bool Process::Wait(DWORD timeoutMs, DWORD* code) const {
  if (!process_ || WaitForSingleObject(process_, timeoutMs) != WAIT_OBJECT_0) return false;
  if (code) GetExitCodeProcess(process_, code);
  return true;
}

DWORD Process::ExitCode(DWORD timeoutMs) const {
  DWORD code = kRunsOn;
  return Wait(timeoutMs, &code) ? code : kRunsOn;
}

bool Process::WaitForItsPrograms(DWORD timeoutMs) const {
  if (!job_) return false;
  DWORD start = GetTickCount();
  for (;;) {
    JOBOBJECT_BASIC_ACCOUNTING_INFORMATION job = {};
    if (!QueryInformationJobObject(job_, JobObjectBasicAccountingInformation, &job, sizeof job, nullptr))
      return false;
    if (job.ActiveProcesses == 0) return true;
    if (GetTickCount() - start >= timeoutMs) return false;
    Sleep(20);
  }
}

void Process::Kill() {
  if (!process_) return;
  TerminateProcess(process_, 99);
  WaitForSingleObject(process_, 5000);
}

namespace {

// This process's environment with some variables set or removed, as the
// sorted block that CreateProcessA takes.
std::string EnvironmentBlock(const std::map<std::string, std::string>& set) {
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
              const std::map<std::string, std::string>* environment, DWORD flags, const std::string& application) {
  Process result;
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info = {};
  std::string line = commandLine;
  std::string block = environment ? EnvironmentBlock(*environment) : std::string();
  // Suspended until it is in its job, so that nothing it starts escapes.
  if (!CreateProcessA(application.empty() ? nullptr : application.c_str(), &line[0], nullptr, nullptr, FALSE, CREATE_SUSPENDED | flags,
                      block.empty() ? nullptr : &block[0],
                      folder.empty() ? nullptr : folder.c_str(), &startup, &info))
    return result;
  result.process_ = info.hProcess;
  result.thread_ = info.hThread;
  result.id_ = info.dwProcessId;
  result.job_ = CreateJobObjectA(nullptr, nullptr);
  if (result.job_ && !AssignProcessToJobObject(result.job_, info.hProcess)) {
    CloseHandle(result.job_);
    result.job_ = nullptr;
  }
  ResumeThread(info.hThread);
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

Captured RunCaptured(const std::string& commandLine, const std::string& folder, DWORD timeoutMs) {
  // The command interpreter collects both outputs in a file of the folder.
  char log[MAX_PATH];
  if (!GetTempFileNameA(folder.c_str(), "out", 0, log)) return Captured{-1, {}};
  Captured run{RunToEnd("cmd.exe /s /c \"" + commandLine + " > \"" + log + "\" 2>&1\"", folder, timeoutMs), {}};
  run.out = ReadFileBytes(log);
  DeleteFileA(log);
  return run;
}

namespace {

// The processes that `parent` started; false when they cannot be listed.
bool ListChildren(DWORD parent, std::vector<ChildProcess>* children) {
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  if (snapshot == INVALID_HANDLE_VALUE) return false;
  PROCESSENTRY32 entry;
  entry.dwSize = sizeof entry;
  for (BOOL more = Process32First(snapshot, &entry); more; more = Process32Next(snapshot, &entry))
    if (entry.th32ParentProcessID == parent) children->push_back({entry.th32ProcessID, entry.szExeFile});
  CloseHandle(snapshot);
  return true;
}

// The ids of those this process started.
bool ListChildren(std::set<DWORD>* ids) {
  std::vector<ChildProcess> children;
  if (!ListChildren(GetCurrentProcessId(), &children)) return false;
  for (const ChildProcess& child : children) ids->insert(child.id);
  return true;
}

bool StillRuns(DWORD processId) {
  HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, processId);
  if (!process) return false;
  bool runs = WaitForSingleObject(process, 0) == WAIT_TIMEOUT;
  CloseHandle(process);
  return runs;
}

}  // namespace

std::vector<ChildProcess> ChildrenOf(DWORD parent) {
  std::vector<ChildProcess> children;
  ListChildren(parent, &children);
  return children;
}

LaterPrograms::LaterPrograms() { ListChildren(&earlier_); }

bool LaterPrograms::WaitUntilEnded(DWORD timeoutMs) const {
  DWORD start = GetTickCount();
  for (;;) {
    std::set<DWORD> now;
    bool running = !ListChildren(&now);
    for (DWORD id : now) running = running || (!earlier_.count(id) && StillRuns(id));
    if (!running) return true;
    if (GetTickCount() - start >= timeoutMs) return false;
    Sleep(20);
  }
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
  if (search->processId == 0 || owner == search->processId) search->found.push_back(window);
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

HWND BrowseDialog(DWORD processId) {
  for (HWND window : TopLevelWindows(processId))
    if (IsWindowVisible(window) && ClassName(window) == "#32770" && GetDlgItem(window, 14145)) return window;
  return nullptr;
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

std::string WaitForPreselection(HWND dialog, const std::string& name, DWORD timeoutMs) {
  std::string shown = BrowseSelection(dialog);
  for (DWORD start = GetTickCount(); shown != name && GetTickCount() - start < timeoutMs; shown = BrowseSelection(dialog))
    Sleep(50);
  return shown;
}

bool ChooseBrowseFolder(HWND dialog, const std::string& folder) {
  bool selected = SelectBrowseFolder(dialog, folder);
  // OK even so: the program under test must not be left waiting.
  PostMessageA(dialog, WM_COMMAND, IDOK, 0);
  return selected;
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

std::string ScreenshotPath(const std::string& name) {
  std::string folder = ProgramFolder() + "\\screenshots";
  MakeFolders(folder);
  return folder + "\\" + name + ".bmp";
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

}  // namespace driver
