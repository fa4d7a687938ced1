// Cabinet extraction through the system's cabinet.dll (FDI), shared by
// cab32.dll and innersfx.exe. Names are judged by the kit's one rule
// (core/entry_name.h); a file cut short by a damaged cabinet is removed
// again.
#ifndef SFX_UNPACKERS_COMMON_FDI_EXTRACT_H
#define SFX_UNPACKERS_COMMON_FDI_EXTRACT_H

#include <windows.h>

// The values are those of cab32.dll's results.
enum FdiResult {
  kFdiOk = 0,
  kFdiCannotOpen = 2,
  kFdiNotCabinet = 3,
  kFdiDamaged = 4,
  kFdiWriteFailed = 5,
  kFdiRefused = 6,
  kFdiNoMemory = 7,
};

struct FdiJob {
  // Set by the caller (the rest zeroed):
  bool list;               // list instead of extracting
  char folder[MAX_PATH];   // target folder, ends with '\\'
  char* out;               // report text, may be null
  DWORD outSize;
  // A cabinet inside a larger file (innersfx's own image) starts at
  // `archiveOffset`; its length then bounds reads. 0 and 0: a whole file.
  DWORD archiveOffset, archiveLength;

  // Filled by the extraction:
  DWORD files, refused, failed;
  ULONGLONG bytes;
  bool moreCabinets;
  DWORD outLength;
  char current[MAX_PATH];  // the file being written
  INT_PTR currentHandle;
  bool currentUnfinished;  // opened and not yet written to its end
  DWORD currentSize, currentWritten;
  bool shortFile;          // a file ended with fewer bytes than stored
  INT_PTR archiveHandle;   // the open cabinet when it lies inside a larger file
};

// Extracts (or lists) the cabinet `archive` into job->folder, which must
// exist. Returns an FdiResult: refusals and write failures are reported
// after everything else was taken.
int FdiExtract(FdiJob* job, const char* archive);

// Adds `text` to the job's report, cut to fit.
void FdiReport(FdiJob* job, const char* text);
// Appends `what`, `name` and a line end.
void FdiReportName(FdiJob* job, const char* what, const char* name);

// Makes every folder of `path` up to its last '\\', from byte `from` on.
bool FdiMakeParentFolders(char* path, int from);

#endif  // SFX_UNPACKERS_COMMON_FDI_EXTRACT_H
