// innersfx.exe: a self-extracting program in its own right, and the archive
// of stub-exe. Its cabinet follows its image (layout in core/inner_archive.h).
//
//   innersfx.exe -n   unpacks into the current folder, hidden when started
//                     hidden; says nothing, the exit code tells
//   innersfx.exe      asks for a folder (its own folder preselected),
//                     unpacks there and says how it went
//
// Either way a small top-level window stays up while it unpacks: stub-exe
// watches this process's windows to learn when the unpacking is over.
// With -n nobody could see or answer a message box (stub-exe starts it
// hidden), so failures are only reported through the exit code:
//   0 unpacked, 1 no folder chosen, 2 own file unreadable, 3 no archive
//   appended, 4 archive damaged, 5 a file could not be written, 6 names
//   refused, 7 out of memory (the values of FdiResult).
#include <windows.h>
#include <shlobj.h>

#include "command_line.h"
#include "fdi_extract.h"
#include "folder_dialog.h"
#include "inner_archive.h"

namespace {

constexpr int kNoFolderChosen = 1;
const char kTitle[] = "Self-extracting program";

// True when one of the words of `arguments` is -n or /n.
bool AsksQuiet(const char* arguments) {
  char word[4];
  for (;;) {
    Argument taken = NextArgument(&arguments, word, sizeof word);
    if (taken == Argument::kNone) return false;
    bool quietSwitch = (word[0] == '-' || word[0] == '/') && (word[1] == 'n' || word[1] == 'N') && !word[2];
    if (taken == Argument::kTaken && quietSwitch) return true;
  }
}

// Finds the appended cabinet through the trailer at the end of `path`.
int LocateArchive(const char* path, inner::Span* span) {
  HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return kFdiCannotOpen;
  DWORD high = 0, size = GetFileSize(file, &high);
  uint8_t trailer[inner::kTrailerSize];
  DWORD got = 0;
  bool read = size != INVALID_FILE_SIZE && high == 0 && size >= inner::kTrailerSize &&
              SetFilePointer(file, -static_cast<LONG>(inner::kTrailerSize), nullptr, FILE_END) !=
                  INVALID_SET_FILE_POINTER &&
              ReadFile(file, trailer, sizeof trailer, &got, nullptr) && got == sizeof trailer;
  CloseHandle(file);
  if (!read) return kFdiCannotOpen;
  return inner::ReadTrailer(trailer, size, span) == core::Result::kOk ? kFdiOk : kFdiNotCabinet;
}

// Asks for the target folder; false when the user cancels.
bool ChooseFolder(const char* ownPath, char* folder) {
  char start[MAX_PATH];
  lstrcpynA(start, ownPath, MAX_PATH);
  char* name = start;
  for (char* p = start; *p; p = CharNextA(p))
    if (*p == '\\') name = p;
  // "C:\" keeps its backslash: "C:" would mean the drive's current folder.
  *(name == start + 2 ? name + 1 : name) = '\0';
  HRESULT com = CoInitialize(nullptr);
  bool ok = platform::BrowseForFolder(nullptr, "Extract the files into this folder:", nullptr, start, folder);
  if (SUCCEEDED(com)) CoUninitialize();
  return ok;
}

HWND ShowBusyWindow(HINSTANCE instance) {
  const int width = 260, height = 80;
  // No system menu: closing the window would not stop the unpacking.
  HWND window = CreateWindowExA(WS_EX_TOPMOST, "STATIC", "Extracting...", WS_POPUP | WS_CAPTION | SS_CENTER,
                                (GetSystemMetrics(SM_CXSCREEN) - width) / 2,
                                (GetSystemMetrics(SM_CYSCREEN) - height) / 2, width, height, nullptr, nullptr,
                                instance, nullptr);
  if (window) {
    // SW_SHOWDEFAULT follows the start-up state: hidden under stub-exe.
    ShowWindow(window, SW_SHOWDEFAULT);
    UpdateWindow(window);
  }
  return window;
}

DWORD WINAPI ExtractThread(void* context) {
  FdiJob* job = static_cast<FdiJob*>(context);
  char own[MAX_PATH];
  if (!GetModuleFileNameA(nullptr, own, sizeof own)) return kFdiCannotOpen;
  return static_cast<DWORD>(FdiExtract(job, own));
}

// Unpacks on a second thread so that the window keeps answering.
int ExtractWithWindow(HINSTANCE instance, FdiJob* job) {
  HWND window = ShowBusyWindow(instance);
  DWORD result;
  HANDLE thread = CreateThread(nullptr, 0, ExtractThread, job, 0, nullptr);
  if (!thread) {
    result = ExtractThread(job);
  } else {
    while (MsgWaitForMultipleObjects(1, &thread, FALSE, INFINITE, QS_ALLINPUT) != WAIT_OBJECT_0) {
      MSG message;
      while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
    }
    if (!GetExitCodeThread(thread, &result)) result = kFdiDamaged;
    CloseHandle(thread);
  }
  if (window) DestroyWindow(window);
  return static_cast<int>(result);
}

void Tell(int result, const FdiJob& job) {
  char text[MAX_PATH + 96];
  UINT icon = MB_ICONERROR;
  switch (result) {
    case kFdiOk:
      wsprintfA(text, "%lu files were extracted into\n%s", job.files, job.folder);
      icon = MB_ICONINFORMATION;
      break;
    case kFdiCannotOpen: lstrcpyA(text, "This program cannot read its own file."); break;
    case kFdiWriteFailed: wsprintfA(text, "Some files could not be written into\n%s", job.folder); break;
    case kFdiRefused:
      wsprintfA(text, "%lu files were extracted; %lu were refused because their names lead outside the folder.",
                job.files, job.refused);
      break;
    case kFdiNoMemory: lstrcpyA(text, "Not enough memory."); break;
    default: lstrcpyA(text, "The archive of this program is missing or damaged."); break;
  }
  MessageBoxA(nullptr, text, kTitle, MB_OK | icon);
}

int Run(HINSTANCE instance, bool quiet) {
  FdiJob job;
  ZeroMemory(&job, sizeof job);
  char own[MAX_PATH];
  DWORD ownLength = GetModuleFileNameA(nullptr, own, sizeof own);
  inner::Span span;
  int result = ownLength && ownLength < sizeof own ? LocateArchive(own, &span) : kFdiCannotOpen;
  if (result != kFdiOk) {
    if (!quiet) Tell(result, job);
    return result;
  }
  job.archiveOffset = span.offset;
  job.archiveLength = span.length;

  char folder[MAX_PATH];
  if (quiet) {
    DWORD length = GetCurrentDirectoryA(sizeof folder, folder);
    if (length == 0 || length >= sizeof folder) return kFdiWriteFailed;
  } else if (!ChooseFolder(own, folder)) {
    return kNoFolderChosen;
  }
  int length = lstrlenA(folder);
  if (length && *CharPrevA(folder, folder + length) != '\\') {
    if (length + 1 >= MAX_PATH) return kFdiWriteFailed;
    lstrcatA(folder, "\\");
  }
  lstrcpyA(job.folder, folder);

  result = ExtractWithWindow(instance, &job);
  if (!quiet) Tell(result, job);
  return result;
}

}  // namespace

// No C runtime start-up: nothing here needs argv or constructors of
// globals, and the program stays a fraction of the size.
extern "C" void WinMainCRTStartup() {
  bool quiet = AsksQuiet(SkipProgramPath(GetCommandLineA()));
  ExitProcess(static_cast<UINT>(Run(GetModuleHandleA(nullptr), quiet)));
}
