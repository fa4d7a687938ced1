// The commands of sfxbuild, one file each, and what they share.
#ifndef SFX_TOOLS_SFXBUILD_COMMANDS_H
#define SFX_TOOLS_SFXBUILD_COMMANDS_H

#include <stddef.h>
#include <stdint.h>

#include <string>
#include <vector>

#include "payload.h"

// Exit codes: 0 success, 1 failure (message on stderr), 2 bad usage.
int PackCommand(int argc, char** argv);  // pack.cpp
int Verify(const char* path);            // verify.cpp
int List(const char* path);              // list.cpp
int CheckCommand(int argc, char** argv); // check.cpp

struct TreeEntry;
// Checks [shell]\Setup.ini of a folder listed for packing, when there is
// one, and prints its warnings; 0, or 1 when it cannot be read or
// `strict` turns its warnings into a failure.
int CheckPackedSetup(const std::vector<TreeEntry>& tree, bool strict);
// "no warnings", "1 warning", "3 warnings"
std::string Warnings(size_t count);

// Prints "sfxbuild: error: " and the message made of `format`, `a` and
// `b`; returns 1.
int Fail(const char* format, const char* a = "", const char* b = "");
// Prints how to call sfxbuild; returns 2.
int Usage();

// Files are read and copied in pieces of this size.
constexpr size_t kChunk = 1 << 16;

class File;
// Reads the whole built file `in`, opened for reading bytes, through
// `splitter`, as the stub does; 0, or the exit code of a failure to open
// or read it. The caller keeps the file open to read the archive after.
int ReadBuiltFile(File& in, payload::Splitter* splitter, payload::Splitter::Verdict* verdict);

// "1,234,567"
std::string Grouped(uint64_t value);

#endif  // SFX_TOOLS_SFXBUILD_COMMANDS_H
