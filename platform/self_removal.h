// Deleting the running program's own file once it has ended (the stubs'
// self-removal; setup's removal copy, which takes its folder too). A
// running program cannot delete its own image, so the work is handed on:
// on Windows NT to a hidden batch file in the root of the current drive
// that retries until the program is gone (for as long as a program may
// take to end); on the Windows 95 family to a routine in memory outside
// the image, which unmaps the image first.
#ifndef SFX_PLATFORM_SELF_REMOVAL_H
#define SFX_PLATFORM_SELF_REMOVAL_H

namespace platform {

enum class Removal {
  kFile,           // the program file only
  kFileAndFolder,  // and then its folder, when that is left empty
};

// Clears the program file's read-only attribute, which would fail every
// try, and chooses the method by the platform family. Returns when the
// batch has been started, or when nothing could be done; the in-memory
// method ends the process.
void RemoveSelf(Removal what);

// "\\delus.bat": deletes the program until it is gone (a bounded number
// of tries), removes the folder when asked, then itself. Started hidden,
// after this process.
void RemoveSelfByBatch(Removal what);

// The Windows 95 family's method; never returns when it gets to run.
void RemoveSelfInMemory(Removal what);

}  // namespace platform

#endif  // SFX_PLATFORM_SELF_REMOVAL_H
