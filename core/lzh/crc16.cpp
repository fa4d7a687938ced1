#include "lzh/crc16.h"

#include <string.h>

namespace lzh {
namespace {

// Eight tables let the loop fold eight bytes per step; the CRC runs over
// every decoded byte, so it must not be the slow part of extraction.
struct Tables {
  uint16_t t[8][256];
};

constexpr Tables MakeTables() {
  Tables tables{};
  for (int i = 0; i < 256; ++i) {
    uint16_t c = static_cast<uint16_t>(i);
    for (int k = 0; k < 8; ++k) c = static_cast<uint16_t>((c & 1) ? (c >> 1) ^ 0xA001 : c >> 1);
    tables.t[0][i] = c;
  }
  for (int i = 0; i < 256; ++i)
    for (int k = 1; k < 8; ++k) {
      uint16_t prev = tables.t[k - 1][i];
      tables.t[k][i] = static_cast<uint16_t>((prev >> 8) ^ tables.t[0][prev & 0xFF]);
    }
  return tables;
}

constexpr Tables kTables = MakeTables();

}  // namespace

uint16_t Crc16(uint16_t crc, const uint8_t* data, size_t size) {
  const auto& t = kTables.t;
  while (size >= 8) {
    uint32_t lo = static_cast<uint32_t>(data[0] | data[1] << 8 | data[2] << 16) |
                  static_cast<uint32_t>(data[3]) << 24;
    lo ^= crc;
    crc = static_cast<uint16_t>(t[7][lo & 0xFF] ^ t[6][(lo >> 8) & 0xFF] ^ t[5][(lo >> 16) & 0xFF] ^
                                t[4][lo >> 24] ^ t[3][data[4]] ^ t[2][data[5]] ^ t[1][data[6]] ^
                                t[0][data[7]]);
    data += 8;
    size -= 8;
  }
  while (size--) crc = static_cast<uint16_t>((crc >> 8) ^ t[0][(crc ^ *data++) & 0xFF]);
  return crc;
}

}  // namespace lzh
