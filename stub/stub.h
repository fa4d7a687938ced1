// The stub's process-wide state and the operations its run is made of.
// One source serves the four stub programs; each links one backend from
// backends/ that supplies the unpacking step and its names.
#ifndef SFX_STUB_STUB_H
#define SFX_STUB_STUB_H

#include <windows.h>

#include "paths.h"
#include "stub_resource.h"

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
  StubState state;
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

// --- the payload (split_payload.cpp) ---
// Writes the archive that follows the payload block of `ownPath` into
// `archivePath` and checks the column sums. The settings of the block are
// stored as soon as the block is found.
int SplitPayload(const char* archivePath, const char* ownPath, int* selfRemoval, char* finalCommand);

// --- destinations (destinations.cpp) ---
// Each writes the folder (MAX_PATH bytes) and, when `title` is not null,
// the progress title (kTitleSize bytes); 1 when resolved, 0 when not.
constexpr int kTitleSize = MAX_PATH + 32;
int ResolveDestination(HWND owner, const char* token, char* folder, char* title);
int ResolveEnvironmentFolder(const char* variable, char* folder, char* title);
int ResolveApplicationFolder(const char* name, char* folder, char* title);
void ForgetUserFolder();

// --- distribution (distribute.cpp) and its records (records.cpp) ---
void DistributeWorkspace(HWND window, const char* workspace);
// Moves what `source` holds into `destination`. With `record` (an
// installed application's folder) it refuses "Setup.ini" and "Setup.exe"
// at the top, and records in that folder's Setup.ini each file that the
// move brought to a place that was free before; when that Setup.ini
// cannot be written, or on the Windows 95 family would grow past what the
// profile calls there handle, nothing moves (the latter says so).
void MoveFolderContents(HWND owner, const char* destination, const char* source, const char* title,
                        bool record);
// Appends `entry` to the list unless it is there already, ignoring case;
// true when it was appended.
bool RecordCopiedFile(const char* ini, const char* entry);
void RecordMadeDirectory(const char* ini, const char* entry);

// --- launching (launch.cpp) ---
// Opens every file of the workspace's "[shell]" folder, in that folder,
// and keeps the process handles of the programs; true when one started.
bool RunShellItems(HWND window, const char* workspace);
// The name of a program started by RunShellItems that still runs, or null
// when every one has ended; handles of ended ones are closed here.
const char* RunningShellProgram();
// Closes the handles of those that still run, at the program's end.
void ForgetShellPrograms();
void RunFinalCommand(HWND window, char* command);

// --- self-removal (self_removal.cpp) ---
void RelaunchForRemoval();
void RunSecondInstance(const char* arguments);
void RemoveSelf();

// --- the backend of this program (backends/*.cpp) ---
extern const char kArchiveName[];    // "\\$.lzh" and the like
extern const char kUnpackSuffix[];   // follows "Extracting..."
extern const DWORD kPauseBeforeUnpack;
// Runs in the program entry before the workspace is named; false ends the
// program with exit code 1.
bool BackendStartupCheck();
// Has the archive in the workspace unpacked there. Whatever happened, the
// run goes on: what reached the workspace is counted and distributed.
void UnpackArchive(HWND window, const char* workspace);

#endif  // SFX_STUB_STUB_H
