// setup.exe: the installer and uninstaller driven by the Setup.ini beside
// it. Its process-wide state and the operations its windows and run
// sequences are made of, one file per concern.
//
//   main.cpp             entry: the three modes, the message loop, clean-up
//   state.cpp            the process-wide state and the running Setup.ini
//   backdrop_window.cpp  the full-screen backdrop and the window owning the dialog
//   main_dialog.cpp      the main dialog: presentation, layout, icon
//   dialog_commands.cpp  its buttons and boxes
//   controls.cpp         small helpers on the dialogs' controls
//   run_sequences.cpp    the install and uninstall sequences
//   paths.cpp            path macros, program lookup, shell folders
//   copy_files.cpp       copying with the date check, the installation's records
//   shortcuts.cpp        start-menu, desktop, startup and send-to links
//   start_menu.cpp       the start menu's folder: its place, its choice, its removal
//   registry_entries.cpp the Make and Erase registry lines
//   associations.cpp     file associations
//   uninstall.cpp        the uninstall entry and the removal of what was installed
//   painter.cpp          drawing commands on GDI
//   readme_viewer.cpp    the read-me dialog
#ifndef SFX_SETUP_SETUP_H
#define SFX_SETUP_SETUP_H

#include <windows.h>

#include "ini/document.h"
#include "setup/ini_names.h"
#include "setup_resource.h"

namespace setup {
struct MachineFolders;
}

// Setup.ini's sections and keys, by the names of the builder's table.
namespace ini = setup::ini;

// How the running Setup.ini presents itself; also the page the read-me
// viewer starts with.
enum class SetupMode : int {
  kInstall = -1,
  kVersionUp = -2,  // an earlier installation is registered
  kInstalledCopy = -3,
};

enum class RunState : int {
  kFresh = 0,
  kInstalledCopy = 1,  // the running Setup.ini records an installation
  kUninstalled = 2,    // the removal copy is started at the end
};

// What a step does with what its box stands for: an install makes what
// is checked and removes what is cleared; an uninstall removes it all.
// Held in a bool, as the box's state is: the choice costs no code.
enum class Apply : bool { kRemove, kMake };

struct Setup {
  HINSTANCE instance;
  char ini[MAX_PATH];  // the running Setup.ini, beside the program
  RECT desktop;
  // The painted backdrop; null without one.
  HDC backdrop;
  HBITMAP backdropBitmap;
  HGDIOBJ previousBitmap;
  bool uninstallArgument;  // the command-line tail is exactly "uninstall"
  RunState runState;
  SetupMode mode;
  // The main dialog's icons from [Desktop] Icon; null without one.
  HICON largeIcon;
  HICON smallIcon;
  // The running Setup.ini, read into memory at the start.
  profile::Document* settings;
  // The record this product's earlier installation left: the running
  // Setup.ini in an installed copy, the one of the installation found
  // through its uninstall entry in a version-up; null for a new install.
  // Only what it names was made by this product.
  profile::Document* earlier;
  profile::Document* earlierRecord;  // what a version-up reads it into
  bool ran;  // the run button's sequence has started: it runs once
};
extern Setup g_setup;

// --- Setup.ini: the running description (a missing key reads its default) ---
profile::Document& Settings();
// Reads [section] key into `out` (MAX_PATH bytes).
void ReadSetting(const char* section, const char* key, char* out, const char* fallback = "");
int ReadNumber(const char* section, const char* key, int fallback = 0);
void WriteSetting(const char* section, const char* key, const char* value);
// The same for key `k` of a numbered list ("0", "1", ...).
void ReadSetting(const char* section, int k, char* out);
// Reads the running Setup.ini from the disk into Settings().
bool LoadSettings();
// Writes Settings() to the disk, or only when they changed; false when
// the file cannot be written.
bool SaveSettings();
bool FlushSettings();
// Reads [section] key of another Setup.ini into `out` (MAX_PATH bytes);
// empty when it is missing.
void ReadIniFile(const char* iniPath, const char* section, const char* key, char* out);
// Whether `ini` is the record of an installation in `folder`: it carries
// the installed mark (a nonzero [CopiedFile] Count) and its [Root] Named
// is that folder. A description that an author shipped after a test
// install carries the mark too, but names the author's folder.
bool IsInstallationRecord(const char* iniPath, const char* folder);
bool IsInstallationRecord(const profile::Document& description, const char* folder);
// The folder of this program, with its trailing backslash.
void OwnFolder(char* folder);

// --- the backdrop window (backdrop_window.cpp) ---
void PaintBackdrop();
void ReleaseBackdrop();
INT_PTR CALLBACK BackdropWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// Answers WM_PAINT by copying the parts to paint from a painted memory
// bitmap (the backdrop, a read-me page).
void PaintFromBitmap(HWND window, HDC bitmap);

// --- the main dialog (main_dialog.cpp) and its commands (dialog_commands.cpp) ---
INT_PTR CALLBACK MainDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
void HandleCommand(HWND dialog, int id);

// --- the dialogs' controls (controls.cpp) ---
// Whether box `id` of the dialog is checked.
bool IsChecked(HWND dialog, int id);
void ShowControl(HWND dialog, int id, bool show);
// Repaints the backdrop after a message box covered it.
void RepaintOwner(HWND dialog);

// --- the run sequences (run_sequences.cpp) ---
void RunInstall(HWND dialog);
void RunUninstall(HWND dialog);

// --- paths (paths.cpp) ---
// `path` resolved against `root` into `out` (MAX_PATH; may be `path`):
// %system%, %windows%, %programs%, %root%, "!" and relative paths; in
// program mode a relative path names the program that opens it. A result
// that would not fit is empty.
void ResolvePath(const char* path, const char* root, char* out, bool programMode);
// Appends `name` to `path` (MAX_PATH) with one backslash between; empties
// `path` when the result would not fit.
void JoinPath(char* path, const char* name);
// Deletes a file, a folder or what a pattern names, to the recycle bin,
// without questions. An empty path is left alone.
void ShellDelete(const char* path);
// The user's shell folder `name` ("Programs", "Desktop", "Startup",
// "SendTo"); false when it cannot be read.
bool ReadShellFolder(const char* name, char* folder);
// The system, Windows and program-files folders ("Program Files", or the
// Windows folder when the system names none). They stay as they are while
// setup runs: asked once, not for every path of a long list (the
// registry's answer costs three calls into the system).
const setup::MachineFolders& MachineFolders();
// Whether a file or folder of that name exists.
bool PathExists(const char* path);

// --- file copying and the installation's records (copy_files.cpp) ---
void CopyInstallFiles(HWND dialog);
void InstallSetupFiles();

// --- shortcuts (shortcuts.cpp) ---
void ApplyMenuShortcuts(profile::Document& description, Apply apply);
void ApplySendToShortcuts(profile::Document& description, Apply apply);
// The [Desktop] or [Startup] link (`kind`).
void ApplyFolderShortcut(profile::Document& description, Apply apply, const char* kind);
void RemoveOldMenus();
void DeleteMenuFolder(profile::Document& description);
void LaunchAfterInstall();

// --- the start menu's folder (start_menu.cpp) ---
void GetMenuFolder(const profile::Document& description, char* menuFolder, char* programs);
// Removes a menu folder that holds no more links, unless it is one of the
// guarded folders, and forgets it as made once it is gone.
void RemoveEmptyMenu(profile::Document& description, const char* menu);
// Removes the menu folder whole, links the user added included, when this
// product made it; false, touching nothing, when it did not.
bool RemoveMadeMenuFolder(const profile::Document& description, const char* menu);
void ChooseMenuFolder(HWND dialog);

// --- registry lines (registry_entries.cpp) ---
void ApplyRegistryList(const profile::Document& description, Apply apply);
// Deletes key `name` below `parent` with its subkeys; false when the key
// itself stays.
bool DeleteKeyTree(HKEY parent, const char* name);
void DeleteKeyIfEmpty(HKEY parent, const char* name);
bool SetClassesValue(const char* path, const char* data);
bool RemoveClassesValue(char* path);

// --- file associations (associations.cpp) ---
void ApplyAssociations(Apply apply);

// --- the uninstall entry and the uninstall (uninstall.cpp) ---
void RegisterUninstall();
void RemoveRegistration();
// Deletes the uninstall entry when it starts this copy; the uninstall's
// last step before its description goes, so that an uninstall cut short
// can be run again from the system's list.
void RemoveUninstallEntry();
void RemoveInstalledFiles();
// Appends what the uninstall left behind to `list` (null: only counts), as
// far as its `size` bytes hold; returns the total length, each item
// counted with its line break.
size_t ListRemainingItems(char* list, size_t size = 0);

// --- the backdrop painter (painter.cpp) ---
void PaintBackSection(HDC dc, const RECT& area, const char* root, const profile::Document& description);
void PaintCommands(HDC dc, const RECT& area, const char* root, const char* const* lines, int count);
// The keys "0" .. count-1 of `section` in copies of their own, an absent
// key as an empty line; a line whose copy cannot be had is null, which the
// painter and the page list take as empty. Null when the list cannot be had.
char** ReadLineList(const profile::Document& description, const char* section, int count);
void FreeLineList(char** lines, int count);

// --- the read-me viewer (readme_viewer.cpp) ---
INT_PTR CALLBACK ReadMeDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

#endif  // SFX_SETUP_SETUP_H
