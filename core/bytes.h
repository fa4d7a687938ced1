// Little-endian fields of the on-disk formats (LZH headers, cabinets, the
// inner program's trailer), read and written byte by byte so that neither
// the host's byte order nor its alignment matters.
#ifndef SFX_CORE_BYTES_H
#define SFX_CORE_BYTES_H

#include <stdint.h>

namespace bytes {

inline uint16_t GetLe16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }
inline uint32_t GetLe32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 | static_cast<uint32_t>(p[2]) << 16 |
         static_cast<uint32_t>(p[3]) << 24;
}
inline uint64_t GetLe64(const uint8_t* p) { return GetLe32(p) | static_cast<uint64_t>(GetLe32(p + 4)) << 32; }

inline void PutLe16(uint8_t* p, uint32_t v) {
  p[0] = static_cast<uint8_t>(v);
  p[1] = static_cast<uint8_t>(v >> 8);
}
inline void PutLe32(uint8_t* p, uint32_t v) {
  PutLe16(p, v);
  PutLe16(p + 2, v >> 16);
}

}  // namespace bytes

#endif  // SFX_CORE_BYTES_H
