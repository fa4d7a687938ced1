// stub-lzh: the archive is LZH, unpacked by lzhdec32.dll.
#include "../stub.h"

const char kArchiveName[] = "\\$.lzh";
const char kUnpackSuffix[] = "\nby LZHDEC32.DLL";
const DWORD kPauseBeforeUnpack = 0;

// Loading lzhdec32.dll at start-up arrives with the LZH library.
bool BackendStartupCheck() { return true; }

// Handing the archive to LzhDec arrives with the LZH library.
int UnpackArchive(HWND, const char*) { return 1; }
