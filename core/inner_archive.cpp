#include "inner_archive.h"

#include "bytes.h"

namespace inner {

void WriteTrailer(uint8_t* trailer, uint32_t offset, uint32_t length) {
  for (size_t i = 0; i < kMarkerLength; ++i) trailer[i] = static_cast<uint8_t>(kTrailerMarker[i]);
  bytes::PutLe32(trailer + 8, offset);
  bytes::PutLe32(trailer + 12, length);
}

core::Result ReadTrailer(const uint8_t* trailer, uint64_t fileSize, Span* span) {
  if (fileSize < kTrailerSize) return core::Result::kTruncated;
  for (size_t i = 0; i < kMarkerLength; ++i)
    if (trailer[i] != static_cast<uint8_t>(kTrailerMarker[i])) return core::Result::kBadHeader;
  uint32_t offset = bytes::GetLe32(trailer + 8), length = bytes::GetLe32(trailer + 12);
  // Sums in 64 bits: two large 32-bit fields must not wrap into a match.
  if (length < kMinCabinetLength || static_cast<uint64_t>(offset) + length + kTrailerSize != fileSize)
    return core::Result::kBadHeader;
  span->offset = offset;
  span->length = length;
  return core::Result::kOk;
}

}  // namespace inner
