// stub-extract: the archive is a cabinet, unpacked by the system's
// extrac32.exe or extract.exe.
#include "../stub.h"

const char kArchiveName[] = "\\$.cab";
const char kUnpackSuffix[] = "by EXTRAC*.EXE";
const DWORD kPauseBeforeUnpack = 0;

bool BackendStartupCheck() { return true; }

// Running the system's extractor arrives with the CAB backends.
int UnpackArchive(HWND, const char*) { return 1; }
