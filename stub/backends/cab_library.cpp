// stub-cab: the archive is a cabinet, unpacked by cab32.dll.
#include "../stub.h"

const char kArchiveName[] = "\\$.cab";
const char kUnpackSuffix[] = "\nby CAB32.DLL";
const DWORD kPauseBeforeUnpack = 0;

// Loading cab32.dll at start-up arrives with the CAB library.
bool BackendStartupCheck() { return true; }

// Handing the archive to Cab arrives with the CAB library.
int UnpackArchive(HWND, const char*) { return 1; }
