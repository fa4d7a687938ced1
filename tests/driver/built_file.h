// Built files made by sfxbuild.exe and run as a user runs them, followed
// through the texts of their progress window.
#ifndef SFX_TESTS_BUILT_FILE_H
#define SFX_TESTS_BUILT_FILE_H

#include <functional>
#include <map>
#include <ostream>
#include <string>
#include <vector>

#include "scratch.h"
#include "stub_resource.h"
#include "window_driver.h"

namespace driver {

// The four stub programs, as sfxbuild packs them and as their runs show them.
struct StubProgram {
  const char* name;         // "stub-lzh"
  const char* format;       // sfxbuild's --format
  const char* archiveName;  // the archive's name in the workspace
  const char* library;      // what ships beside a built file, or null
  const char* extracting;   // the text of the unpacking step
};
extern const StubProgram kStubPrograms[4];
// Names a stub program in a test's name and in its failures.
inline void PrintTo(const StubProgram& stub, std::ostream* out) { *out << stub.name; }

// sfxbuild.exe from beside this program, with `arguments`.
std::string SfxbuildCommand(const std::string& arguments);

// The workspace path out of the first progress text, "Making folder\n\"...\"".
std::string WorkspaceOf(const std::string& makingText);
// The one workspace ("$JP...") that a run made in `folder`; empty when none.
std::string WorkspaceIn(const std::string& folder);
// "$JP" (GetTempFileNameA keeps three characters of the prefix) and one to
// four hexadecimal digits, perhaps with a suffix "-1" to "-9", right in
// `folder`.
bool IsWorkspaceName(const std::string& path, const std::string& folder);
// The warning of a built file that finds itself damaged.
inline const char kWarningText[] = "Anyone cooked this file.\nCheck your naughty brother...\n         or virus.";
// What a run shows while it waits for OK or Cancel.
inline const char kWaitingText[] = "Push \"OK\".\nIf you are all set...\n\nor \"Cancel\" to run away.";
// The lines that count files and bytes: "2 Files\n1,234 Bytes".
std::string CountText(size_t files, size_t bytes);
// The texts of a whole run, from the making of `workspace` to its deletion.
std::vector<std::string> WholeRunTexts(const std::string& workspace, const std::string& extracting,
                                       const std::string& transport);

// A run of a built file as its progress window showed it.
struct ProgressRun {
  Process process;  // ended; kept for the programs it started
  HWND window = nullptr;           // the progress window
  std::vector<std::string> texts;  // in order, without the first tick's empty text
  std::vector<DWORD> at;           // GetTickCount when each text was seen
  std::string workspace;           // as the first text names it
  DWORD code = 99;
  bool ended = false;

  // From the text `from` to the text `next` places after it; ~0u when
  // there is no such pair.
  DWORD MillisecondsBetween(const std::string& from, size_t next) const;
};

// Waits for the progress window titled `title` of a started built file and
// follows its texts to the program's end. `onChange` sees each new text,
// the last of `run.texts`, while the program goes on.
ProgressRun FollowProgress(Process process, const std::string& title, DWORD timeoutMs,
                           const std::function<void(const ProgressRun& run)>& onChange = nullptr);

// A root with a temporary folder ("temp dir", the built files' TMP and
// TEMP) and a destination ("dest", SFX_E2E_DEST), and the folder "app"
// that sfxbuild packs.
class BuiltFileTest : public ScratchTest {
 protected:
  static constexpr DWORD kRunTimeoutMs = 60000;

  void SetUp() override;

  // A file below "app".
  void Put(const std::string& relative, const std::string& bytes = "x");
  // Five files below token folders that point into the root, one below
  // "[shell]" and one at the top, which no count includes.
  void PutSampleApp();
  static constexpr char kSampleAppTransport[] = "Transport...\n\n5 Files\n41,142 Bytes";
  // Each of the five where its token points; "[shell]" never copied.
  void ExpectSampleAppDistributed();
  // Packs what Put left in "app" as root\`output` and empties "app" for the
  // next build; `options` name the format and the rest.
  std::string PackFolder(const std::string& output, const std::string& options);
  // Packs the archive file `archive` behind the stub program `stub`
  // ("stub-lzh", ...) as root\`output`.
  std::string PackArchive(const std::string& output, const std::string& stub, const std::string& archive,
                          const std::string& options = "");
  // Starts a built file with the test's environment, in the root unless
  // `folder` says otherwise.
  Process Start(const std::string& built, const std::string& arguments = "", const std::string& folder = "");
  // Starts a built file and follows its progress window (titled with the
  // file's base name) to its end.
  ProgressRun Run(const std::string& built, const std::function<void(const ProgressRun& run)>& onChange = nullptr);

  std::string temp_, dest_;
  std::map<std::string, std::string> environment_;

 private:
  std::string Pack(const std::string& output, const std::string& arguments);
};

}  // namespace driver

#endif  // SFX_TESTS_BUILT_FILE_H
