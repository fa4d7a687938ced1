// Reading a program's own command line.
#ifndef SFX_CORE_COMMAND_LINE_H
#define SFX_CORE_COMMAND_LINE_H

// The arguments after the program's own path, which comes first, quoted
// (up to the closing quote) or bare (up to the first blank or tab).
const char* SkipProgramPath(const char* commandLine);

#endif  // SFX_CORE_COMMAND_LINE_H
