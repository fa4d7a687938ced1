// CRC-16 as LZH archives store it: polynomial 0x8005, reflected (0xA001),
// initial value 0, no final xor.
#ifndef SFX_CORE_LZH_CRC16_H
#define SFX_CORE_LZH_CRC16_H

#include <stddef.h>
#include <stdint.h>

namespace lzh {

uint16_t Crc16(uint16_t crc, const uint8_t* data, size_t size);

}  // namespace lzh

#endif  // SFX_CORE_LZH_CRC16_H
