// The command of the uninstall entry, which setup writes and which setup
// and the stubs read back:
//
//   C:\Program Files\App\Setup.exe uninstall   [Del] Auto set: the uninstall starts at once
//   C:\Program Files\App\Setup.exe             the user chooses in setup
//
// The program stays unquoted: a reader finds its folder up to the last
// backslash, and Windows starts it by trying each blank as the path's end
// (see SkipOwnPath). Entries of other programs may quote theirs and add
// arguments of their own.
#ifndef SFX_CORE_SETUP_UNINSTALL_COMMAND_H
#define SFX_CORE_SETUP_UNINSTALL_COMMAND_H

#include <stddef.h>

#include "text.h"

namespace setup {

// The whole tail of the command line that starts setup's uninstall.
extern const char kUninstallArgument[];

// A program path longer than the system's paths (MAX_PATH) starts nothing.
constexpr size_t kProgramPathSize = 260;

// `folder`\Setup.exe, with " uninstall" after it when `withArgument`,
// into `out` (`size` bytes). False, with `out` empty, when the program's
// path would not fit kProgramPathSize or the command `out`.
bool ComposeUninstallCommand(char* out, size_t size, const char* folder, bool withArgument,
                             text::LeadByteTest isLead = text::IsCp932LeadByte);

// Cuts `command` in place to the program it starts. A quoted program runs
// to its closing quote (or the end); for an unquoted one, trailing words
// are dropped one at a time, at the last blank, until `exists` accepts the
// rest or a single word is left. Without `exists` the whole unquoted
// command is the program. True when the program was quoted.
bool CutToCommandProgram(char* command, bool (*exists)(const char* path),
                         text::LeadByteTest isLead = text::IsCp932LeadByte);

}  // namespace setup

#endif  // SFX_CORE_SETUP_UNINSTALL_COMMAND_H
