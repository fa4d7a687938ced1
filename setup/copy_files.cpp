// Copying the application's files with the date check, and the records
// an installation leaves for its uninstall.
#include "setup.h"

// Not built yet: the copy step, its questions and its records.
void CopyInstallFiles(HWND) {}

// Not built yet: folders made and recorded.
int MakeFolderTree(char*, int next) { return next; }

// Not built yet: the date check; 2 says "copy".
int CompareWriteTimes(const char*, const char*) { return 2; }

// Not built yet: Setup.exe and the merged Setup.ini in the installation folder.
void InstallSetupFiles() {}

// Not built yet: merging an earlier installation's records.
void MergeRecordList(const char*, const char*, const char*) {}
