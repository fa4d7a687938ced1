// Writing LZH archives: the packing half, used by the builder on the host.
//
// Entries are written with level-2 headers (names of any length, a CRC over
// the header) that LHa for Windows and the Unix tools (lha, lhasa, 7-Zip)
// all read back alike. Unlike the reader, this side may use std
// containers: it runs in the builder, never in a shipped stub. Memory stays
// bounded: about 2 MiB of compressor state per writer, made on the first
// packed file, plus per file about twice `memoryLimit` at most.
//
// Nothing here throws. A failure once an entry's bytes have started to go
// out breaks the writer: every later call returns that failure, and what
// the sink received is not a valid archive. Refusals before that point
// leave it usable (see AddFile).
#ifndef SFX_CORE_LZH_ENCODE_H
#define SFX_CORE_LZH_ENCODE_H

#include <memory>
#include <vector>

#include "lzh/format.h"
#include "lzh/lzh.h"

namespace lzh {

class Packer;

enum class PackMethod : int {
  kStored,  // -lh0-
  kLh5,     // 8 KiB window
  kLh6,     // 32 KiB window
  kLh7,     // 64 KiB window
};

// 0 stores every file; 1 is fastest, 9 packs tightest (higher counts as 9):
// longer match searches and a one-byte look ahead before taking a match.
constexpr int kDefaultLevel = 5;

struct EntryInfo {
  // Raw bytes, not NUL-terminated; code page 932 names pass unchanged.
  // Folders are separated by '/' or '\' (a '\' that is the second byte of
  // a double-byte character is not a separator). Refused (kUnsafeName):
  // empty names, absolute paths, "." and ".." components, characters
  // Windows forbids in names (: * ? " < > | and controls), the byte 0xFF,
  // device names (CON, NUL, ...) and paths longer than kMaxPath: whatever
  // the reader would refuse to extract.
  const char* name;
  size_t nameLength;
  // Seconds since 1970, UTC; clamped to what the header's 32 bits hold.
  // UnixTimeFromDos converts an MS-DOS date and time.
  int64_t unixTime;
  // MS-DOS attribute bits (read-only 0x01, hidden 0x02, system 0x04,
  // archive 0x20); the folder bit is set or cleared by the call.
  uint8_t attributes;
};

// An MS-DOS date << 16 | time, taken as UTC, in seconds since 1970.
int64_t UnixTimeFromDos(uint32_t dosTime);

struct WriterOptions {
  // Files up to this size are read into memory once; larger ones need a
  // rewindable source and are read twice.
  size_t memoryLimit = size_t(32) << 20;
  // The creating system: 'W' (Windows), as lhasa lower-cases upper-case
  // names in archives marked 'M' (MS-DOS).
  uint8_t os = 'W';
};

class LzhWriter {
 public:
  explicit LzhWriter(const Sink& sink, const WriterOptions& options = WriterOptions());
  ~LzhWriter();
  LzhWriter(const LzhWriter&) = delete;
  LzhWriter& operator=(const LzhWriter&) = delete;

  // Adds a file of exactly `size` bytes read from `data` (kTooLarge above
  // 4 GiB - 1; kSizeChanged when the source gives fewer or more bytes, or
  // different bytes on its second pass). A file above memoryLimit is read
  // twice, since its header precedes the data and holds its packed size
  // and CRC: without a rewind in `data` it is refused (kCannotRewind).
  // The file is stored (-lh0-) when packing would not make it smaller,
  // when it is empty, or at level 0. Refusals that come before any byte is
  // written (kUnsafeName, kTooLarge, kCannotRewind, kBadCommand for an
  // unknown method, and kSizeChanged or kReadFailed for a file held in
  // memory) leave the writer usable.
  Result AddFile(const EntryInfo& info, const Source& data, uint64_t size,
                 PackMethod method = PackMethod::kLh7, int level = kDefaultLevel);
  // Adds a folder entry (-lhd-); needed for empty folders only, since
  // files carry their folders with them. A trailing separator is allowed.
  Result AddDirectory(const EntryInfo& info);
  // Writes the end marker. The archive is complete only once this
  // returned kOk; later Add calls return kBadCommand.
  Result Finish();

  uint64_t bytesWritten() const { return written_; }
  // What the last added file was stored as ("-lh7-", "-lh0-", ...).
  const char* lastMethod() const { return lastMethod_; }

 private:
  Result Write(const uint8_t* data, size_t size);
  Result Fail(Result r);
  Result WriteHeader(const char* method, const std::vector<uint8_t>& folder, const std::vector<uint8_t>& name,
                     uint64_t packed, uint64_t original, uint16_t crc, const EntryInfo& info, uint8_t attributes);
  Result AddLarge(const EntryInfo& info, const Source& data, uint64_t size, PackMethod method, int level,
                  const std::vector<uint8_t>& folder, const std::vector<uint8_t>& name);
  Packer* GetPacker();

  Sink sink_;
  WriterOptions options_;
  Result broken_ = Result::kOk;
  bool finished_ = false;
  uint64_t written_ = 0;
  char lastMethod_[kMethodLength + 1] = "";
  std::unique_ptr<Packer> packer_;  // made on first need: most of the writer's memory
};

}  // namespace lzh

#endif  // SFX_CORE_LZH_ENCODE_H
