// stub-exe: the archive is itself a self-extracting program, run hidden in
// the workspace.
#include "../stub.h"

const char kArchiveName[] = "\\$.exe";
const char kUnpackSuffix[] = "\n\nSelf-extracting program";
// The inner program is given a moment after its file has been written.
const DWORD kPauseBeforeUnpack = 2000;

bool BackendStartupCheck() { return true; }

// Starting the inner program and waiting for its windows arrives with the
// inner-program backend.
int UnpackArchive(HWND, const char*) { return 1; }
