// The command of a file type's verb ([Ext<n>] Command): a program, quoted
// or bare, and its arguments. The program is resolved to a full path on
// the Windows side and the command line built again around it:
//
//   "C:\My Tools\view.exe" /p "%1"     program up to the closing quote;
//                                       arguments: all after it, verbatim,
//                                       the leading blank included
//   view.exe<tab>/p "%1"                program up to the first blank or
//                                       tab; arguments: after that one
//                                       separator, which becomes a blank
#ifndef SFX_CORE_SETUP_ASSOCIATION_COMMAND_H
#define SFX_CORE_SETUP_ASSOCIATION_COMMAND_H

#include <stddef.h>

#include "setup/span.h"
#include "text.h"

namespace setup {

struct CommandParts {
  bool quoted;      // the command starts with a double quote
  Span program;     // without its quotes
  Span arguments;   // length 0 when there are none
};

// Without a closing quote, the program is everything after the opening
// one; without a blank or tab, the whole text. Either way there are no
// arguments.
CommandParts SplitCommand(const char* command, text::LeadByteTest isLead = text::IsCp932LeadByte);

// Writes the command line into `out` (`size` bytes): a quoted command as
// quote, `program`, quote and its arguments verbatim; a bare one as
// `program`, one blank (written even without arguments) and the
// arguments. `parts` comes from SplitCommand(`command`). When the line
// would not fit, `out` is emptied and false returned, since a cut command
// would start something else. `out` must not overlap `command` or
// `program`.
bool BuildCommandLine(char* out, size_t size, const char* command, const CommandParts& parts,
                      const char* program);

}  // namespace setup

#endif  // SFX_CORE_SETUP_ASSOCIATION_COMMAND_H
