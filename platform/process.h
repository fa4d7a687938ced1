// Handing work on to a process that must run only after this one: the
// self-removal batch, setup's removal copy.
#ifndef SFX_PLATFORM_PROCESS_H
#define SFX_PLATFORM_PROCESS_H

#include <windows.h>

namespace platform {

// Starts `commandLine` (writable, as CreateProcessA wants it) in `folder`,
// suspended at idle priority; then raises this process to high priority
// and this thread to time-critical before letting the new one run, so
// that it gets the processor only once this one has ended. `hidden` starts
// it with its window hidden. False when it could not be started.
bool StartAfterThisProcess(char* commandLine, const char* folder, bool hidden);

}  // namespace platform

#endif  // SFX_PLATFORM_PROCESS_H
