// Drives the kit's programs from a test the way a user does: starts them,
// finds their windows, reads texts, presses buttons, answers message boxes
// and takes screenshots. Runs under Wine next to the programs it drives.
#ifndef SFX_TESTS_WINDOW_DRIVER_H
#define SFX_TESTS_WINDOW_DRIVER_H

#include <windows.h>

#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "machine.h"

namespace driver {

// A started program. Ends it, when it still runs, and closes its handles
// when it goes.
class Process {
 public:
  Process() = default;
  ~Process();
  Process(Process&& other) noexcept;
  Process& operator=(Process&& other) noexcept;
  Process(const Process&) = delete;
  Process& operator=(const Process&) = delete;

  bool started() const { return process_ != nullptr; }
  DWORD id() const { return id_; }
  HANDLE handle() const { return process_; }

  // Waits for the end; false on time-out. The exit code goes to `code`.
  bool Wait(DWORD timeoutMs, DWORD* code = nullptr) const;
  // The exit code once the program has ended, kRunsOn when it did not end
  // within the time.
  static constexpr DWORD kRunsOn = 0xFFFFFFFF;
  DWORD ExitCode(DWORD timeoutMs = 10000) const;
  // Waits until the program and every program it started (and those
  // started) have ended: what must not come of them is settled then.
  // False on time-out.
  bool WaitForItsPrograms(DWORD timeoutMs = 30000) const;
  // Ends the program and waits for it.
  void Kill();

 private:
  friend Process Start(const std::string&, const std::string&, const std::map<std::string, std::string>*, DWORD,
                       const std::string&);
  void Close();
  HANDLE process_ = nullptr;
  HANDLE thread_ = nullptr;
  HANDLE job_ = nullptr;  // holds the program and all it starts
  DWORD id_ = 0;
};

// Starts `commandLine` in `folder`. Without `environment` the program gets
// this process's environment; otherwise this process's environment with the
// given variables set (an empty value removes the variable). `flags` adds
// creation flags (DETACHED_PROCESS: started as a program without a console
// starts it). A non-empty `application` names the program file, and the
// command line reaches it as it stands (Wine otherwise quotes an unquoted
// program path that holds blanks, as Windows never does). Check started()
// on the result.
Process Start(const std::string& commandLine, const std::string& folder,
              const std::map<std::string, std::string>* environment = nullptr, DWORD flags = 0,
              const std::string& application = "");

// Runs a console program to its end; returns its exit code, or -1.
int RunToEnd(const std::string& commandLine, const std::string& folder, DWORD timeoutMs = 60000);

// A console program's exit code (-1 when it did not end) and what it
// printed, standard output and error together.
struct Captured {
  int code;
  std::string out;
};
Captured RunCaptured(const std::string& commandLine, const std::string& folder, DWORD timeoutMs = 60000);

// The programs that this process starts from now on (the kit's calls
// start what they open themselves). A test that must show that a call
// did NOT start something waits until they have all ended: only then is
// the absence final.
class LaterPrograms {
 public:
  LaterPrograms();
  // False when one still runs after `timeoutMs`.
  bool WaitUntilEnded(DWORD timeoutMs = 30000) const;

 private:
  std::set<DWORD> earlier_;
};

// A process that another one started: its id and its program's file name.
struct ChildProcess {
  DWORD id;
  std::string name;
};
// The processes that `parent` started, as the system lists them now.
std::vector<ChildProcess> ChildrenOf(DWORD parent);

// Top-level windows of a process (of every process with 0), visible or not.
std::vector<HWND> TopLevelWindows(DWORD processId);

// Waits until the process (any with 0: one started by a program under
// test) shows a visible top-level window whose class is `className` (any
// when null) and whose title is `title` (any when null).
HWND WaitForWindow(DWORD processId, const char* className, const char* title, DWORD timeoutMs);

std::string WindowText(HWND window);
std::string ClassName(HWND window);
std::string ControlText(HWND dialog, int id);
bool IsControlVisible(HWND dialog, int id);

// Clicks a button of a dialog of another process.
void PressButton(HWND dialog, int id);

// The visible "Browse for Folder" dialog of a process (a dialog with the
// folder tree), or null.
HWND BrowseDialog(DWORD processId);
// Selects `folder` in a "Browse for Folder" dialog of any process and
// waits until the dialog shows it selected. False when it never did.
bool SelectBrowseFolder(HWND dialog, const std::string& folder, DWORD timeoutMs = 10000);
// Selects the item `name` just below the tree's root in a "Browse for
// Folder" dialog that shows a folder as its root (where Wine selects no
// path sent to it). False when there was none within the time.
bool SelectBrowseItem(HWND dialog, const std::string& name, DWORD timeoutMs = 10000);
// The name of the folder selected in a "Browse for Folder" dialog.
std::string BrowseSelection(HWND dialog);
// The dialog preselects a folder some time after it shows (a fresh prefix
// may take seconds): waits until it shows `name` and returns what it shows.
std::string WaitForPreselection(HWND dialog, const std::string& name, DWORD timeoutMs = 20000);
// Selects `folder` and presses OK; false when the selection did not hold.
bool ChooseBrowseFolder(HWND dialog, const std::string& folder);

// Waits for a message box (a "#32770" window titled `caption`) of the
// process, returns its text and presses the button `buttonId`. Returns
// nothing when no box came within the time.
bool AnswerMessageBox(DWORD processId, const char* caption, int buttonId, DWORD timeoutMs,
                      std::string* text);

// Follows the texts that a control shows until the process ends or the
// time runs out: returns each distinct text once, in order. `onChange`
// runs at every new text, while the program goes on.
std::vector<std::string> FollowTexts(const Process& process, HWND dialog, int id, DWORD timeoutMs,
                                     const std::function<void(const std::string&)>& onChange = nullptr);

// Waits until a control shows `text`; false on time-out.
bool WaitForText(HWND dialog, int id, const std::string& text, DWORD timeoutMs);

// Saves what the screen shows (the window's rectangle, or all of it when
// null) as a 24-bit BMP file.
bool Screenshot(const std::string& path, HWND window = nullptr);
// Where the screenshot `name` goes: the screenshots folder beside this
// program, made when missing, so that every program's pictures are found
// in one place.
std::string ScreenshotPath(const std::string& name);

}  // namespace driver

#endif  // SFX_TESTS_WINDOW_DRIVER_H
