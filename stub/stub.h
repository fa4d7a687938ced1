// The stub's process-wide state and the operations its run is made of.
// One source serves the four stub programs; each links one backend from
// backends/ that supplies the unpacking step and its names.
#ifndef SFX_STUB_STUB_H
#define SFX_STUB_STUB_H

#include <windows.h>

// Dialog resource of the progress window and its controls.
enum {
  IDD_PROGRESS = 101,
  IDI_STUB = 128,
  IDC_PROGRESS_TEXT = 1001,
  IDC_OK = 1002,
  IDC_CANCEL = 1003,
};

// The states of one run, one per timer tick.
enum StubState {
  kMakeWorkspace = 0,
  kSplitArchive = 1,
  kUnpack = 2,
  kRunShell = 3,
  kDistribute = 4,
  kDeleteWorkspace = 5,
  kFinish = 6,
};

struct Stub {
  char workspace[MAX_PATH];
  char ownPath[MAX_PATH];
  int state;
  int selfRemoval;
  char finalCommand[MAX_PATH];
};
extern Stub g_stub;

// --- the run (sequence.cpp) ---
INT_PTR CALLBACK ProgressDialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
void Tick(HWND window);

// --- the workspace (workspace.cpp) ---
// Fills `buffer` with a fresh unique folder name below the temporary folder
// (the Windows folder when neither TMP nor TEMP is set). Returns false, with
// `buffer` empty, when no name could be made.
bool MakeWorkspaceName(char* buffer, DWORD size);
// Adds the files below `folder` (not those directly in it when depth is 0)
// and the low 32 bits of their sizes; folders whose name starts with '.'
// are skipped whole.
void CountTree(const char* folder, int depth, DWORD* fileCount, DWORD* byteCount);
void DeleteTree(const char* folder);
// folder + "\\" + name into `out` (MAX_PATH). False when it would not fit.
bool JoinChecked(char* out, const char* folder, const char* name);

// --- the payload (split_payload.cpp) ---
// Writes the archive that follows the payload block of `ownPath` into
// `archivePath` and checks the column sums. The settings of the block are
// stored as soon as the block is found.
int SplitPayload(const char* archivePath, const char* ownPath, int* selfRemoval, char* finalCommand);

// --- operations that later parts of the stub supply ---
void DistributeWorkspace(HWND window, const char* workspace);  // distribute.cpp
void ForgetUserFolder();                                        // distribute.cpp
int RunShellItems(HWND window, const char* workspace);          // launch.cpp
void RunFinalCommand(HWND window, const char* command);         // launch.cpp
void RelaunchForRemoval();                                      // self_removal.cpp
void RunSecondInstance(const char* arguments);                  // self_removal.cpp

// --- the backend of this program (backends/*.cpp) ---
extern const char kArchiveName[];    // "\\$.lzh" and the like
extern const char kUnpackSuffix[];   // follows "Extracting..."
extern const DWORD kPauseBeforeUnpack;
// Runs in the program entry before the workspace is named; false ends the
// program with exit code 1.
bool BackendStartupCheck();
int UnpackArchive(HWND window, const char* workspace);

#endif  // SFX_STUB_STUB_H
