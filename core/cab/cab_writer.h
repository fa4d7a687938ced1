// Writes Microsoft cabinet files: the archive format of stub-cab and
// stub-extract, and of cab32.dll's tests.
//
// Layout of what Write produces (the fields in format.h):
//   header | folder table | file table | data blocks of every folder,
//   folder after folder.
// With MSZIP each block is "CK" and a deflate stream that stands on its
// own, so a reader needs no history from earlier blocks.
#ifndef SFX_CORE_CAB_CAB_WRITER_H
#define SFX_CORE_CAB_CAB_WRITER_H

#include <stddef.h>
#include <stdint.h>

#include <string>
#include <vector>

#include "cab/format.h"
#include "io/io.h"
#include "result.h"

namespace cab {

enum class Compression : uint16_t { kNone = kMethodNone, kMszip = kMethodMszip };

// A folder counts its data blocks in 16 bits.
constexpr uint32_t kMaxFolderBytes = 65535u * kBlockBytes;
constexpr size_t kMaxFiles = 65535;

struct FileEntry {
  std::string name;  // as stored: '\\' between folders, bytes taken as they are
  uint32_t size = 0;
  uint16_t date = 0;  // MS-DOS date and time
  uint16_t time = 0;
  uint16_t attributes = kArchive;
  // The content, when Write is given no Opener.
  std::string data;
};

// Where the files' content comes from when it is not in memory. The writer
// opens each file as it reaches it and closes it before the next, so one
// file is open at a time; a file must still hold exactly its `size` bytes.
struct Opener {
  void* context;
  // Opens file `index` of the list; false when it cannot be read.
  bool (*open)(void* context, size_t index, io::Source* source);
  void (*close)(void* context, io::Source* source);
};

struct Options {
  Compression compression = Compression::kMszip;
  // A new folder starts before a file that would take the current one past
  // this many uncompressed bytes. Lower values only serve tests.
  uint32_t maxFolderBytes = kMaxFolderBytes;
  uint16_t setId = 0;
};

// Writes the cabinet of `files` to `sink`, which must rewrite: the header
// and the folder table go out first with placeholders and again once the
// sizes are known. With `opener` null each file's content is its `data`.
// Returns kOk, or
//   kUnsafeName   a name the format cannot carry (empty, over 255 bytes, a NUL)
//   kTooLarge     over 65535 files or folders, a file above the folder
//                 limit, a cabinet past 4 GiB
//   kSizeChanged  a file whose content is not `size` bytes long
//   kBadCommand   a folder limit of 0 or above kMaxFolderBytes, a sink
//                 without rewrite
//   kCannotOpen, kReadFailed, kWriteFailed, and kNoMemory when zlib
//                 cannot start.
// Refusals of the list come before any byte is written. `detail`, when
// given, receives a sentence for messages; one about a file's content
// starts with "cannot read " or with the file's name, so that a caller
// may name the file its own way.
core::Result Write(const std::vector<FileEntry>& files, const Opener* opener, const Options& options,
                   const io::Sink& sink, std::string* detail = nullptr);

// The checksum of a data block as the format defines it: 32-bit words
// XOR-ed together, a short tail taken with its first byte highest.
uint32_t Checksum(const uint8_t* data, size_t size, uint32_t seed);

// MS-DOS date and time fields from calendar values (year 1980..2107).
uint16_t DosDate(int year, int month, int day);
uint16_t DosTime(int hour, int minute, int second);

}  // namespace cab

#endif  // SFX_CORE_CAB_CAB_WRITER_H
