// Writes Microsoft cabinet files: the archive format of stub-cab and
// stub-extract, and of cab32.dll's tests.
//
// Layout of what Write produces (all numbers little-endian):
//   header (36 bytes) | folder table (8 bytes each) | file table (16 bytes +
//   name + NUL each) | data blocks of every folder, folder after folder.
// A data block holds at most 32 KiB of uncompressed bytes; with MSZIP each
// block is "CK" and a deflate stream that stands on its own, so a reader
// needs no history from earlier blocks.
#ifndef SFX_CORE_CAB_CAB_WRITER_H
#define SFX_CORE_CAB_CAB_WRITER_H

#include <stddef.h>
#include <stdint.h>

#include <string>
#include <vector>

namespace cab {

enum class Compression : uint16_t { kNone = 0, kMszip = 1 };

constexpr uint32_t kBlockBytes = 32768;
// A folder counts its data blocks in 16 bits.
constexpr uint32_t kMaxFolderBytes = 65535u * kBlockBytes;
constexpr size_t kMaxFiles = 65535;
constexpr size_t kMaxNameLength = 255;  // without the NUL

// Attribute bits of a file entry.
constexpr uint16_t kReadOnly = 0x01, kHidden = 0x02, kSystem = 0x04, kArchive = 0x20;

struct FileEntry {
  std::string name;  // as stored: '\\' between folders, bytes taken as they are
  uint32_t size = 0;
  uint16_t date = 0;  // MS-DOS date and time
  uint16_t time = 0;
  uint16_t attributes = kArchive;
  // The content comes from this file when the path is not empty (it must
  // still hold exactly `size` bytes when written), otherwise from `data`.
  std::string sourcePath;
  std::string data;
};

struct Options {
  Compression compression = Compression::kMszip;
  // A new folder starts before a file that would take the current one past
  // this many uncompressed bytes. Lower values only serve tests.
  uint32_t maxFolderBytes = kMaxFolderBytes;
  uint16_t setId = 0;
};

// Where the cabinet goes. The header and the folder table are written once
// with placeholders and then again when the sizes are known.
class Sink {
 public:
  virtual ~Sink() = default;
  virtual bool Write(const uint8_t* data, size_t size) = 0;
  virtual bool Rewrite(uint64_t offset, const uint8_t* data, size_t size) = 0;
};

class MemorySink : public Sink {
 public:
  bool Write(const uint8_t* data, size_t size) override;
  bool Rewrite(uint64_t offset, const uint8_t* data, size_t size) override;
  std::string bytes;
};

// Returns an empty text on success, otherwise what went wrong.
std::string Write(const std::vector<FileEntry>& files, const Options& options, Sink* sink);

// The checksum of a data block as the format defines it: 32-bit words
// XOR-ed together, a short tail taken with its first byte highest.
uint32_t Checksum(const uint8_t* data, size_t size, uint32_t seed);

// MS-DOS date and time fields from calendar values (year 1980..2107).
uint16_t DosDate(int year, int month, int day);
uint16_t DosTime(int hour, int minute, int second);

}  // namespace cab

#endif  // SFX_CORE_CAB_CAB_WRITER_H
