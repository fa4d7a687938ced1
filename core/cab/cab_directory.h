// Reads the file table of a Microsoft cabinet: names, sizes and the folder
// each file lies in, without touching the data blocks. For listing what a
// built file holds; every offset and count is checked against the
// cabinet's size, so a damaged or hostile cabinet gives an error, never a
// read past its end.
#ifndef SFX_CORE_CAB_CAB_DIRECTORY_H
#define SFX_CORE_CAB_CAB_DIRECTORY_H

#include <stddef.h>
#include <stdint.h>

#include <string>
#include <vector>

#include "io/io.h"
#include "result.h"

namespace cab {

struct DirectoryEntry {
  std::string name;  // the stored bytes, '\\' between folders
  uint32_t size;
  uint16_t folder;
  uint16_t attributes;
};

struct Directory {
  uint16_t folderCount = 0;
  uint16_t compression = 0;  // of the first folder; the low 4 bits name the method
  std::vector<DirectoryEntry> files;
};

// Reads the table of a cabinet of `cabinetSize` bytes from `source`, which
// stands at the cabinet's first byte; reads no further than the table.
// Returns kOk, or
//   kTruncated  the source ended before the table did
//   kBadHeader  the cabinet contradicts itself or its size
//   kReadFailed
// `detail`, when given, receives a sentence for messages.
core::Result ReadDirectory(const io::Source& source, uint64_t cabinetSize, Directory* directory,
                           std::string* detail = nullptr);

}  // namespace cab

#endif  // SFX_CORE_CAB_CAB_DIRECTORY_H
