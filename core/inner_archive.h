// The inner self-extracting program: innersfx.exe with a cabinet appended
// and a trailer that says where the cabinet lies.
//
//   offset 0                 +---------------------------------------+
//                            | innersfx.exe, unchanged               |
//   cabinet offset           +---------------------------------------+
//                            | cabinet (MSZIP), `length` bytes       |
//   file size - 16           +---------------------------------------+
//                            | trailer, 16 bytes                     |
//                            |   0   marker "SfxInner" (8 bytes)     |
//                            |   8   cabinet offset, 32-bit LE       |
//                            |   12  cabinet length, 32-bit LE       |
//                            +---------------------------------------+
//
// The trailer sits at the very end, so the program finds it with one read
// whatever its own image size is; offset + length must meet the trailer
// exactly, so a file that was cut or grew is taken as damaged. As the
// archive of stub-exe the whole file is written out as "$.exe" and run.
#ifndef SFX_CORE_INNER_ARCHIVE_H
#define SFX_CORE_INNER_ARCHIVE_H

#include <stddef.h>
#include <stdint.h>

#include "result.h"

namespace inner {

constexpr size_t kTrailerSize = 16;
constexpr char kTrailerMarker[] = "SfxInner";
constexpr size_t kMarkerLength = sizeof(kTrailerMarker) - 1;
// A cabinet header alone takes 36 bytes; anything shorter is no cabinet.
constexpr uint32_t kMinCabinetLength = 36;

static_assert(kMarkerLength == 8, "marker fills the first 8 bytes of the trailer");

struct Span {
  uint32_t offset;
  uint32_t length;
};

// Fills `trailer` (kTrailerSize bytes) for a cabinet at `offset`.
void WriteTrailer(uint8_t* trailer, uint32_t offset, uint32_t length);

// Reads the last kTrailerSize bytes of a file of `fileSize` bytes. kOk;
// kTruncated when the file is shorter than a trailer; kBadHeader when the
// marker is missing, or the span is shorter than a cabinet header or does
// not end where the trailer starts. `span` is set on kOk only.
core::Result ReadTrailer(const uint8_t* trailer, uint64_t fileSize, Span* span);

}  // namespace inner

#endif  // SFX_CORE_INNER_ARCHIVE_H
