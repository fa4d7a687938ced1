// One LZH entry of stored data, built field by field at header level 0, 1
// or 2, for tests on both sides of the harness that need archives shaped
// as other archivers shape them.
#ifndef SFX_TESTS_COMMON_LZH_ENTRY_H
#define SFX_TESTS_COMMON_LZH_ENTRY_H

#include <stdint.h>

#include <string>
#include <utility>
#include <vector>

#include "lzh/crc16.h"

namespace lzhentry {

struct Entry {
  int level = 0;                 // 0, 1 or 2
  std::string name;              // levels 0 and 1: the name field; level 2: the name header, left out when empty
  std::string folder;            // levels 1 and 2: the folder header, parts ended by 0xFF; left out when empty
  std::string data;              // stored as is, under "-lh0-" unless `method` says otherwise
  std::string method = "-lh0-";
  char os = 'M';                 // levels 1 and 2
  std::vector<std::pair<uint8_t, std::string>> more;  // further extended headers: type and data
  size_t sizeFieldShortBy = 0;   // level 2: bytes the header size field leaves out
};

inline void Put16(std::string* out, uint32_t v) {
  *out += static_cast<char>(v);
  *out += static_cast<char>(v >> 8);
}

inline void Put32(std::string* out, uint32_t v) {
  Put16(out, v & 0xFFFF);
  Put16(out, v >> 16);
}

inline uint16_t DataCrc(const std::string& data) {
  return lzh::Crc16(0, reinterpret_cast<const uint8_t*>(data.data()), data.size());
}

// Extended headers as level 1 and 2 chain them: each is its type and data
// followed by the size of the next, the first's size given by the caller.
inline std::vector<std::string> Extensions(const Entry& e) {
  std::vector<std::string> list;
  if (e.level == 2) list.push_back(std::string(1, '\0') + std::string(2, '\0'));  // header CRC, set at the end
  if (e.level == 2 && !e.name.empty()) list.push_back('\x01' + e.name);
  if (!e.folder.empty()) list.push_back('\x02' + e.folder);
  for (const auto& m : e.more) list.push_back(static_cast<char>(m.first) + m.second);
  return list;
}

inline std::string Chain(const std::vector<std::string>& list) {
  std::string out;
  for (size_t i = 0; i < list.size(); ++i) {
    out += list[i];
    Put16(&out, i + 1 < list.size() ? static_cast<uint32_t>(list[i + 1].size() + 2) : 0);  // next header's size
  }
  return out;
}

inline std::string Build(const Entry& e) {
  std::vector<std::string> extensions = Extensions(e);
  std::string chain = Chain(extensions);
  uint32_t firstSize = extensions.empty() ? 0 : static_cast<uint32_t>(extensions[0].size() + 2);
  std::string h;
  if (e.level == 2) {
    Put16(&h, static_cast<uint32_t>(26 + chain.size() - e.sizeFieldShortBy));  // whole header size
    h += e.method;                                                             // method
    Put32(&h, static_cast<uint32_t>(e.data.size()));                           // packed size
    Put32(&h, static_cast<uint32_t>(e.data.size()));                           // original size
    Put32(&h, 0x5F000000);                                                     // Unix time stamp
    h += '\x20';                                                               // reserved
    h += '\x02';                                                               // header level
    Put16(&h, DataCrc(e.data));                                                // CRC-16 of the data
    h += e.os;                                                                 // creating system
    Put16(&h, firstSize);                                                      // first extended header's size
    h += chain;
    uint16_t crc = lzh::Crc16(0, reinterpret_cast<const uint8_t*>(h.data()), h.size());
    h[27] = static_cast<char>(crc);                                            // header CRC, in the first extension
    h[28] = static_cast<char>(crc >> 8);
    return h + e.data;
  }
  size_t tail = e.level == 1 ? 5 : 2;
  h += static_cast<char>(22 + e.name.size() + tail - 2);                     // header size after these two bytes
  h += '\0';                                                                 // byte sum, set below
  h += e.method;                                                             // method
  Put32(&h, static_cast<uint32_t>(e.data.size() + chain.size()));            // packed size (level 1: with extensions)
  Put32(&h, static_cast<uint32_t>(e.data.size()));                           // original size
  Put32(&h, 0x5A210000);                                                     // MS-DOS time stamp
  h += '\x20';                                                               // attributes
  h += static_cast<char>(e.level);                                           // header level
  h += static_cast<char>(e.name.size());                                     // name length
  h += e.name;                                                               // name
  Put16(&h, DataCrc(e.data));                                                // CRC-16 of the data
  if (e.level == 1) {
    h += e.os;                                                               // creating system
    Put16(&h, firstSize);                                                    // first extended header's size
  }
  uint8_t sum = 0;
  for (size_t i = 2; i < h.size(); ++i) sum = static_cast<uint8_t>(sum + static_cast<uint8_t>(h[i]));
  h[1] = static_cast<char>(sum);
  return h + chain + e.data;
}

// A level 0 entry of stored data: the form most tests need.
inline std::string Stored(const std::string& name, const std::string& data) {
  Entry e;
  e.name = name;
  e.data = data;
  return Build(e);
}

// `folder` (parts split by '/') and `name` as the header level keeps them:
// one name field at level 0 ("folder\\name"), a folder header ended by
// 0xFF at levels 1 and 2.
inline std::string AtLevel(int level, const std::string& folder, const std::string& name, const std::string& data) {
  Entry e;
  e.level = level;
  e.name = name;
  e.data = data;
  if (!folder.empty() && level == 0) {
    e.name = folder + "\\" + name;
  } else if (!folder.empty()) {
    e.folder = folder + '\xFF';
    for (char& c : e.folder)
      if (c == '/') c = '\xFF';
  }
  return Build(e);
}

}  // namespace lzhentry

#endif  // SFX_TESTS_COMMON_LZH_ENTRY_H
