#include "payload.h"

#include <string.h>

namespace payload {
namespace {

// Adds eight byte lanes at once without carries between lanes: the low
// seven bits of each lane are added, then the top bit is put back by xor.
inline uint64_t AddLanes(uint64_t x, uint64_t y) {
  const uint64_t low = 0x7F7F7F7F7F7F7F7Full;
  const uint64_t high = 0x8080808080808080ull;
  return ((x & low) + (y & low)) ^ ((x ^ y) & high);
}

}  // namespace

void ColumnSums::Clear() { memset(column, 0, sizeof column); }

void ColumnSums::AddRows(const uint8_t* data, size_t size) {
  uint64_t left, right;
  memcpy(&left, column, 8);
  memcpy(&right, column + 8, 8);
  for (size_t rows = size / kRowSize; rows != 0; --rows, data += kRowSize) {
    uint64_t a, b;
    memcpy(&a, data, 8);
    memcpy(&b, data + 8, 8);
    left = AddLanes(left, a);
    right = AddLanes(right, b);
  }
  memcpy(column, &left, 8);
  memcpy(column + 8, &right, 8);
}

bool ColumnSums::Equals(const uint8_t* expected) const {
  return memcmp(column, expected, kRowSize) == 0;
}

bool IsPayloadBlock(const uint8_t* block) {
  return memcmp(block + kMarkerOffset, kMarker, kMarkerLength + 1) == 0;
}

void ReadBlock(const uint8_t* block, BlockFields* fields) {
  fields->selfRemoval = static_cast<int8_t>(block[kFlagOffset]);
  const char* command = reinterpret_cast<const char*>(block + kCommandOffset);
  size_t length = 0;
  while (length < kMaxCommandLength && command[length] != '\0') ++length;
  memcpy(fields->finalCommand, command, length);
  fields->finalCommand[length] = '\0';
  memcpy(fields->expectedSums, block + kSumsOffset, kRowSize);
}

bool WriteBlock(uint8_t* block, bool selfRemoval, const char* finalCommand,
                const uint8_t* sums) {
  size_t length = finalCommand ? strlen(finalCommand) : 0;
  if (length > kMaxCommandLength) return false;
  memset(block, 0, kBlockSize);
  memcpy(block + kMarkerOffset, kMarker, kMarkerLength);
  block[kFlagOffset] = selfRemoval ? 1 : 0;
  if (length) memcpy(block + kCommandOffset, finalCommand, length);
  memcpy(block + kSumsOffset, sums, kRowSize);
  return true;
}

void Splitter::Start() {
  found_ = false;
  offset_ = blockOffset_ = archiveSize_ = 0;
  pendingSize_ = 0;
  sums_.Clear();
  memset(&fields_, 0, sizeof fields_);
}

bool Splitter::Feed(const uint8_t* data, size_t size) {
  if (!found_ && !FeedSearching(data, size)) return true;
  return size == 0 || FeedCopying(data, size);
}

// Consumes whole 256-byte blocks until the payload block turns up. Returns
// true when it did, with `data` and `size` advanced past it.
bool Splitter::FeedSearching(const uint8_t*& data, size_t& size) {
  while (size != 0) {
    const uint8_t* block;
    if (pendingSize_ != 0 || size < kBlockSize) {
      size_t take = kBlockSize - pendingSize_;
      if (take > size) take = size;
      memcpy(pending_ + pendingSize_, data, take);
      pendingSize_ += take;
      data += take;
      size -= take;
      if (pendingSize_ < kBlockSize) return false;
      block = pending_;
      pendingSize_ = 0;
    } else {
      block = data;
      data += kBlockSize;
      size -= kBlockSize;
    }
    if (IsPayloadBlock(block)) {
      ReadBlock(block, &fields_);
      found_ = true;
      blockOffset_ = offset_;
      return true;
    }
    sums_.AddRows(block, kBlockSize);
    offset_ += kBlockSize;
  }
  return false;
}

bool Splitter::FeedCopying(const uint8_t* data, size_t size) {
  if (!archive_.write(archive_.context, data, size)) return false;
  archiveSize_ += size;
  if (pendingSize_ != 0) {
    size_t take = kRowSize - pendingSize_;
    if (take > size) take = size;
    memcpy(pending_ + pendingSize_, data, take);
    pendingSize_ += take;
    data += take;
    size -= take;
    if (pendingSize_ < kRowSize) return true;
    sums_.AddRows(pending_, kRowSize);
    pendingSize_ = 0;
  }
  size_t whole = size - size % kRowSize;
  sums_.AddRows(data, whole);
  memcpy(pending_, data + whole, size - whole);
  pendingSize_ = size - whole;
  return true;
}

Splitter::Verdict Splitter::Finish() {
  if (!found_) {
    // A file that ends inside a block: its whole rows are summed like any
    // other data, but a partial block is never taken for the payload block.
    sums_.AddRows(pending_, pendingSize_);
    pendingSize_ = 0;
    return Verdict::kNoBlock;
  }
  pendingSize_ = 0;  // the archive's uncovered tail
  return sums_.Equals(fields_.expectedSums) ? Verdict::kIntact : Verdict::kMismatch;
}

}  // namespace payload
