#include "inner_archive.h"

namespace inner {

namespace {

void Put32(uint8_t* at, uint32_t value) {
  for (int i = 0; i < 4; ++i) at[i] = static_cast<uint8_t>(value >> (8 * i));
}

uint32_t Get32(const uint8_t* at) {
  return static_cast<uint32_t>(at[0]) | static_cast<uint32_t>(at[1]) << 8 | static_cast<uint32_t>(at[2]) << 16 |
         static_cast<uint32_t>(at[3]) << 24;
}

}  // namespace

void WriteTrailer(uint8_t* trailer, uint32_t offset, uint32_t length) {
  for (size_t i = 0; i < kMarkerLength; ++i) trailer[i] = static_cast<uint8_t>(kTrailerMarker[i]);
  Put32(trailer + 8, offset);
  Put32(trailer + 12, length);
}

bool ReadTrailer(const uint8_t* trailer, uint64_t fileSize, Span* span) {
  if (fileSize < kTrailerSize) return false;
  for (size_t i = 0; i < kMarkerLength; ++i)
    if (trailer[i] != static_cast<uint8_t>(kTrailerMarker[i])) return false;
  uint32_t offset = Get32(trailer + 8), length = Get32(trailer + 12);
  // Sums in 64 bits: two large 32-bit fields must not wrap into a match.
  if (length < kMinCabinetLength || static_cast<uint64_t>(offset) + length + kTrailerSize != fileSize) return false;
  span->offset = offset;
  span->length = length;
  return true;
}

}  // namespace inner
