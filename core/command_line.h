// Command lines: a program's own, and the command texts of lzhdec32.dll and
// cab32.dll, split the same way everywhere.
#ifndef SFX_CORE_COMMAND_LINE_H
#define SFX_CORE_COMMAND_LINE_H

#include <stddef.h>

#include "text.h"

// The arguments after the program's own path, which comes first, quoted
// (up to the closing quote) or bare (up to the first blank or tab).
const char* SkipProgramPath(const char* commandLine);

// The same for a program that knows its own path: a line that starts with
// that path unquoted, ASCII letters in any case, and goes on with a blank,
// a tab or its end, has the whole path skipped. Windows starts a program
// from an unquoted line such as
//   C:\Program Files\App\Setup.exe uninstall
// by trying each blank as the path's end, and hands the line on as it was,
// so the first blank is no end of the path there. Any other line is split
// as SkipProgramPath splits it.
const char* SkipOwnPath(const char* commandLine, const char* ownPath,
                        text::LeadByteTest isLead = text::IsCp932LeadByte);

enum class Argument {
  kNone,       // only blanks were left
  kTaken,
  kTooLong,    // did not fit `out`
  kOpenQuote,  // a quote that never closes
};

// Takes the next argument of `*text`: blanks (space, tab, line breaks)
// are skipped, then a quoted argument runs to its closing quote (a
// backslash before it is part of the argument, as in "folder\") and a bare
// one to the next blank. It goes to `out` (`size` bytes with its
// NUL) and `*text` moves past it, also when it was cut (kTooLong, `out`
// holding its start) or its quote never closed (kOpenQuote, at the end).
Argument NextArgument(const char** text, char* out, size_t size);

#endif  // SFX_CORE_COMMAND_LINE_H
