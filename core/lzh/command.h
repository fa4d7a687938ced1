// The command text shared by the host tool and the extraction DLL:
//
//   x "archive" "folder\"   extract every entry below the folder, overwriting
//   l "archive"             list
//   t "archive"             test: decode and check every entry
//
// Arguments may be quoted (a quoted argument runs to the next quote; a
// backslash before it is part of the name) or bare.
#ifndef SFX_CORE_LZH_COMMAND_H
#define SFX_CORE_LZH_COMMAND_H

#include "lzh/lzh.h"

namespace lzh {

// When an entry was last changed, as its header keeps it: seconds since
// 1970 in UTC, or an MS-DOS stamp (date << 16 | time) in local time.
struct EntryTime {
  bool isUnix;
  int64_t unixTime;
  uint32_t dosTime;  // 0 when the header holds neither
};

// What extraction needs from the file system; the DLL supplies Win32
// calls, the host tool POSIX ones. Paths are NUL-terminated bytes joined
// with `separator`.
struct FileSystem {
  void* context;
  char separator;
  bool (*openArchive)(void* context, const char* path, Source* source);
  void (*closeArchive)(void* context, Source* source);
  // True when the folder exists afterwards (already there or made).
  bool (*makeFolder)(void* context, const char* path);
  // Creates or replaces a file; its bytes go to `sink`.
  bool (*createFile)(void* context, const char* path, Sink* sink);
  // Closes the file, stamped with `time` when kept; with keep false it is
  // removed. False when the bytes could not all be stored. The stamp
  // matters: an installer compares it with the file it would replace.
  bool (*closeFile)(void* context, Sink* sink, bool keep, const EntryTime& time);
};

// Runs `command`; returns 0 on success, otherwise the (non-zero) Result of
// the first failure. An English report, one line per problem or listed
// entry and a summary, goes to `report`, cut to `reportSize` bytes
// including its NUL.
int RunCommand(const char* command, const FileSystem& fs, const Allocator& allocator, char* report,
               size_t reportSize);

}  // namespace lzh

#endif  // SFX_CORE_LZH_COMMAND_H
