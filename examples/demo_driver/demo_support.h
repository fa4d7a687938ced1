// What the demo driver's steps share: its console lines and screenshots,
// waits that end the demo with what the screen showed when what they wait
// for never comes, and what the install makes on the machine.
#ifndef SFX_EXAMPLES_DEMO_SUPPORT_H
#define SFX_EXAMPLES_DEMO_SUPPORT_H

#include <windows.h>

#include <string>
#include <utility>
#include <vector>

#include "setup_run.h"
#include "window_driver.h"

namespace demo {

constexpr DWORD kWindowTimeoutMs = 30000;
constexpr int kSteps = 11;
// What the complete example's Setup.ini names.
inline constexpr char kApplication[] = "Sample App";
inline constexpr char kSetupName[] = "Sample App 1.0";
inline constexpr char kProgramClass[] = "SampleAppWindow";

// A line on the console: setup's texts come in the ANSI code page (932), the
// terminal wants UTF-8, and Wine's console converts only wide text.
void Print(const std::string& ansi);
void Step(int number, const std::string& text);
// The folder the screenshots go to.
void SetShotFolder(const std::string& folder);
// Saves the screen as NN-name.bmp; make demo turns it into the PNG file
// whose name this returns.
std::string Shot(const std::string& name);
// Ends the demo: what was expected, and what the screen showed instead.
[[noreturn]] void Fail(const std::string& expected);

// The text of a control once `match` accepts it.
template <typename Match>
std::string WaitForTextThat(HWND window, int id, Match match, const char* what) {
  std::string text;
  if (!setuptest::WaitFor([&] { return match(text = driver::ControlText(window, id)); }, kWindowTimeoutMs)) Fail(what);
  return text;
}

bool StartsWith(const std::string& text, const char* start);
// `text` on one console line: its line breaks as blanks.
std::string OneLine(std::string text);
// A process that `parent` started, running `program`.
DWORD WaitForChild(DWORD parent, const char* program);
bool WaitForEnd(DWORD processId, DWORD timeoutMs = kWindowTimeoutMs);
// A visible top-level window of the process that holds control `id`:
// setup's dialog and its read-me viewer share their caption, not their
// controls.
HWND WindowWith(DWORD processId, int id, const char* what);
// What the user sees of `window`: brought to the front as a click brings it
// (Wine's unmanaged windows stack in the order they were first shown, not
// as the programs ask), painted through, then the whole screen.
std::string ShotOf(HWND window, const std::string& name);
// Closes a window as its close box does and waits until it has gone, so
// that what lay below it is uncovered.
void Close(HWND window, const char* what);
COLORREF ScreenPixel(int x, int y);

// Everything the install makes on the machine, which the uninstall must
// take away again.
struct Made {
  std::vector<std::string> files;  // and folders
  std::vector<std::pair<HKEY, std::string>> keys;
};

Made WhatTheInstallMakes(const std::string& folder);
// The items of `made` that are (present) or are not there.
std::vector<std::string> Items(const Made& made, bool present);
std::string Joined(const std::vector<std::string>& items);
// An interrupted demo leaves an installation that would turn the next
// install into a version-up: the demo starts from a machine without it.
void RemoveEarlierDemo(const Made& made);

}  // namespace demo

#endif  // SFX_EXAMPLES_DEMO_SUPPORT_H
