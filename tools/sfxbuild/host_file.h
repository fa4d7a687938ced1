// Files of the machine sfxbuild runs on, and core's sources and sinks over
// them: core/ opens nothing itself.
#ifndef SFX_TOOLS_SFXBUILD_HOST_FILE_H
#define SFX_TOOLS_SFXBUILD_HOST_FILE_H

#include <stdint.h>
#include <stdio.h>

#include <string>

#include "io/io.h"

// A path as the system opens it: wide on Windows, so that names outside
// the ANSI code page open too; the bytes themselves elsewhere.
#ifdef _WIN32
// Traits of our own: std::wstring itself is made once in the C++ library,
// which links all of it (35 KiB) for the few members used here.
struct WideTraits : std::char_traits<wchar_t> {};
using NativePath = std::basic_string<wchar_t, WideTraits>;
#else
using NativePath = std::string;
#endif

// Opens `path` for reading bytes; null when it cannot.
FILE* OpenForReading(const NativePath& path);

// A file named on the command line. Closes on scope exit; an output file
// is removed unless kept, so a failed pack leaves nothing half-written.
class File {
 public:
  File(const char* path, const char* mode);
  ~File();
  File(const File&) = delete;
  File& operator=(const File&) = delete;

  FILE* get() const { return file_; }
  const char* path() const { return path_.c_str(); }
  void RemoveUnlessKept() { removeOnClose_ = true; }
  // Closes the file and keeps it; false when the close failed, and the
  // file is then removed.
  bool Keep();

 private:
  std::string path_;
  FILE* file_;
  bool removeOnClose_ = false;
};

// 64-bit positions: a built file may pass 2 GiB, and long is 32 bits on
// Windows.
bool SeekTo(FILE* file, uint64_t offset);
bool TellOf(FILE* file, uint64_t* offset);

// Reads `file` from where it stands; rewinds to its first byte.
io::Source ReadFrom(FILE* file);
// Appends to `file`, which starts empty: rewrites count offsets from its
// first byte.
io::Sink WriteTo(FILE* file);

// At most `left` bytes of `file` from where it stands: an archive inside a
// built file. Skips by reading.
struct FileSpan {
  FILE* file;
  uint64_t left;
  io::Source source();
};

#endif  // SFX_TOOLS_SFXBUILD_HOST_FILE_H
