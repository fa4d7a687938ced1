// The built self-extracting file, shared by the stub and the builder.
//
//   offset 0                 +---------------------------------------+
//                            | stub program, unchanged               |
//                            | (length a multiple of 256)            |
//   256 * k                  +---------------------------------------+
//                            | payload block, 256 bytes              |
//                            |   0   marker "\Joinpak\...\" + NUL    |
//                            |   32  self-removal flag (signed byte) |
//                            |   64  final command, NUL-terminated   |
//                            |   239 expected column sums, 16 bytes  |
//   256 * k + 256            +---------------------------------------+
//                            | archive, to the end of the file       |
//                            +---------------------------------------+
//
// The column checksum adds byte j of every whole 16-byte row to sum j,
// modulo 256. It covers the stub image and the whole rows of the archive,
// counted from the archive's first byte: the block itself and the archive's
// last (length mod 16) bytes are not covered.
//
// The stub reads its own file in logical blocks of 256 bytes from offset 0;
// the first block that holds the marker is the payload block. Everything
// after it is the archive.
#ifndef SFX_CORE_PAYLOAD_H
#define SFX_CORE_PAYLOAD_H

#include <stddef.h>
#include <stdint.h>

#include "io/io.h"

namespace payload {

constexpr size_t kBlockSize = 256;
constexpr size_t kRowSize = 16;

constexpr char kMarker[] = "\\Joinpak\\Payloadstart\\Yorbel\\";
constexpr size_t kMarkerOffset = 0;
constexpr size_t kMarkerLength = sizeof(kMarker) - 1;  // without its NUL
constexpr size_t kFlagOffset = 32;
constexpr size_t kCommandOffset = 64;
constexpr size_t kSumsOffset = 239;
constexpr size_t kCommandFieldLength = kSumsOffset - kCommandOffset;
constexpr size_t kMaxCommandLength = kCommandFieldLength - 1;  // room for the NUL

static_assert(kMarkerLength == 29, "marker text is 29 characters");
static_assert(kMarkerOffset + kMarkerLength + 1 <= kFlagOffset, "marker and its NUL end before the flag");
static_assert(kCommandFieldLength == 175, "final command field is 175 bytes");
static_assert(kSumsOffset + kRowSize == kBlockSize - 1, "sums end one byte before the block's end");
static_assert(kBlockSize % kRowSize == 0, "blocks hold whole rows");

// 16 running byte-wide sums, one per column of a 16-byte row.
struct ColumnSums {
  uint8_t column[kRowSize];

  void Clear();
  // Adds the floor(size / 16) whole rows of `data`; a tail shorter than a
  // row is left out.
  void AddRows(const uint8_t* data, size_t size);
  bool Equals(const uint8_t* expected) const;
};

// The settings a payload block carries.
struct BlockFields {
  int selfRemoval;  // the flag byte widened as a signed value; nonzero asks for removal
  // The final command. Its field always ends inside the block: a command
  // with no NUL in its field is cut at 174 characters rather than read on.
  char finalCommand[kCommandFieldLength];
  uint8_t expectedSums[kRowSize];
};

// True when `block` (kBlockSize bytes) starts with the marker and its NUL.
bool IsPayloadBlock(const uint8_t* block);

void ReadBlock(const uint8_t* block, BlockFields* fields);

// Fills `block` (kBlockSize bytes) as a builder writes it: reserved bytes 0.
// Returns false, leaving `block` untouched, when the command does not fit.
bool WriteBlock(uint8_t* block, bool selfRemoval, const char* finalCommand,
                const uint8_t* sums);

// Streams a built file through the stub's reading rule: finds the payload
// block, hands every byte after it to a sink, and sums what the stub sums.
// Bytes may come in chunks of any size; the result is the same as reading
// the file in 256-byte pieces.
class Splitter {
 public:
  enum class Verdict {
    kNoBlock,   // the file holds no payload block
    kMismatch,  // the block was found, the sums disagree
    kIntact,    // the block was found and the sums agree
  };

  // The archive goes to `archive`, which only appends. Inline, so that a
  // stub fills the sink in place rather than building a copy to pass.
  explicit Splitter(const io::Sink& archive) : archive_(archive) { Start(); }

  // Takes the next `size` bytes of the file. Returns false when the sink
  // failed; the splitter is then unusable.
  bool Feed(const uint8_t* data, size_t size);

  // Ends the file and compares the sums.
  Verdict Finish();

  bool blockFound() const { return found_; }
  // Valid once blockFound() is true.
  const BlockFields& fields() const { return fields_; }
  // File offset of the payload block; valid once blockFound() is true.
  uint64_t blockOffset() const { return blockOffset_; }
  // Bytes handed to the sink so far.
  uint64_t archiveSize() const { return archiveSize_; }

 private:
  void Start();
  bool FeedSearching(const uint8_t*& data, size_t& size);
  bool FeedCopying(const uint8_t* data, size_t size);

  io::Sink archive_;
  ColumnSums sums_;
  BlockFields fields_;
  bool found_;
  uint64_t offset_;        // bytes consumed while searching
  uint64_t blockOffset_;
  uint64_t archiveSize_;
  uint8_t pending_[kBlockSize];  // an unfinished block (searching) or row (copying)
  size_t pendingSize_;
};

}  // namespace payload

#endif  // SFX_CORE_PAYLOAD_H
