// Reads the file table of a Microsoft cabinet: names, sizes and the folder
// each file lies in, without touching the data blocks. For listing what a
// built file holds; every offset and count is checked against the bytes
// at hand, so a damaged or hostile cabinet gives an error, never a read
// past the buffer.
#ifndef SFX_CORE_CAB_CAB_DIRECTORY_H
#define SFX_CORE_CAB_CAB_DIRECTORY_H

#include <stddef.h>
#include <stdint.h>

#include <string>
#include <vector>

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

enum class DirectoryResult { kOk, kNeedMore, kBad };

// `data` holds the first `size` bytes of a cabinet that is `cabinetSize`
// bytes long in all. kNeedMore sets `needed` to the byte count the table
// reaches into: call again with at least that many. kBad sets `error`.
DirectoryResult ReadDirectory(const uint8_t* data, size_t size, uint64_t cabinetSize, Directory* directory,
                              size_t* needed, std::string* error);

}  // namespace cab

#endif  // SFX_CORE_CAB_CAB_DIRECTORY_H
