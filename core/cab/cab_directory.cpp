#include "cab/cab_directory.h"

#include <string.h>

#include "bytes.h"

namespace cab {

namespace {

constexpr size_t kHeaderSize = 36;
constexpr size_t kFolderSize = 8;
constexpr size_t kFileSize = 16;
constexpr size_t kMaxStoredName = 256;  // with its NUL
constexpr uint16_t kPrevious = 0x0001, kNext = 0x0002, kReserve = 0x0004;
// Folder indexes at and above this one mean "continued from or into
// another cabinet of the set", not a folder of this cabinet.
constexpr uint16_t kFirstContinuation = 0xFFFD;


// A cursor that never moves past `end`; `needed` records how far a read
// wanted to go, so a short buffer can ask for more rather than fail.
struct Cursor {
  const uint8_t* data;
  size_t size;      // bytes at hand
  uint64_t limit;   // bytes the cabinet has
  uint64_t at;
  uint64_t needed;

  // True when [at, at + count) lies in the buffer; false either when the
  // cabinet ends first (bad) or the buffer does (need more).
  bool Take(uint64_t count, const uint8_t** out) {
    if (count > limit || at > limit - count) {
      needed = limit + 1;  // beyond the cabinet: no buffer will do
      return false;
    }
    if (at + count > size) {
      needed = at + count;
      return false;
    }
    *out = data + at;
    at += count;
    return true;
  }
  // A NUL-terminated string of at most kMaxStoredName bytes with its NUL.
  bool TakeString(std::string* out) {
    uint64_t start = at;
    for (;;) {
      const uint8_t* byte;
      if (at - start >= kMaxStoredName) {
        needed = limit + 1;
        return false;
      }
      if (!Take(1, &byte)) return false;
      if (*byte == 0) break;
    }
    if (out) out->assign(reinterpret_cast<const char*>(data + start), static_cast<size_t>(at - start - 1));
    return true;
  }
};

}  // namespace

DirectoryResult ReadDirectory(const uint8_t* data, size_t size, uint64_t cabinetSize, Directory* directory,
                              size_t* needed, std::string* error) {
  Cursor cursor{data, size, cabinetSize, 0, 0};
  // Turns a failed read into the caller's answer.
  auto stopped = [&](const char* what) {
    if (cursor.needed <= cabinetSize) {
      *needed = static_cast<size_t>(cursor.needed);
      return DirectoryResult::kNeedMore;
    }
    *error = std::string("cabinet cut short in its ") + what;
    return DirectoryResult::kBad;
  };
  auto bad = [&](const std::string& why) {
    *error = why;
    return DirectoryResult::kBad;
  };

  const uint8_t* header;
  if (!cursor.Take(kHeaderSize, &header)) return stopped("header");
  if (memcmp(header, "MSCF", 4) != 0) return bad("no cabinet signature");
  uint32_t declared = bytes::GetLe32(header + 8);
  if (declared != cabinetSize)
    return bad("cabinet says it is " + std::to_string(declared) + " bytes long, but " +
               std::to_string(cabinetSize) + " are present");
  uint32_t filesAt = bytes::GetLe32(header + 16);
  if (header[25] != 1) return bad("cabinet format version " + std::to_string(header[25]) + " is not 1");
  uint16_t folders = bytes::GetLe16(header + 26);
  uint16_t files = bytes::GetLe16(header + 28);
  uint16_t flags = bytes::GetLe16(header + 30);
  size_t folderReserve = 0;
  if (flags & kReserve) {
    const uint8_t* reserve;
    if (!cursor.Take(4, &reserve)) return stopped("header");
    folderReserve = reserve[2];
    const uint8_t* skipped;
    if (!cursor.Take(bytes::GetLe16(reserve), &skipped)) return stopped("header");
  }
  if (flags & kPrevious)
    if (!cursor.TakeString(nullptr) || !cursor.TakeString(nullptr)) return stopped("header");
  if (flags & kNext)
    if (!cursor.TakeString(nullptr) || !cursor.TakeString(nullptr)) return stopped("header");

  directory->folderCount = folders;
  directory->compression = 0;
  directory->files.clear();
  for (uint16_t i = 0; i < folders; ++i) {
    const uint8_t* folder;
    if (!cursor.Take(kFolderSize + folderReserve, &folder)) return stopped("folder table");
    if (bytes::GetLe32(folder) > cabinetSize) return bad("a cabinet folder starts past the end of the cabinet");
    if (i == 0) directory->compression = bytes::GetLe16(folder + 6);
  }
  if (filesAt < cursor.at) return bad("the cabinet's file table overlaps its header");
  cursor.at = filesAt;
  for (uint16_t i = 0; i < files; ++i) {
    const uint8_t* file;
    if (!cursor.Take(kFileSize, &file)) return stopped("file table");
    DirectoryEntry entry;
    entry.size = bytes::GetLe32(file);
    entry.folder = bytes::GetLe16(file + 8);
    entry.attributes = bytes::GetLe16(file + 14);
    if (entry.folder >= folders && entry.folder < kFirstContinuation)
      return bad("a cabinet file names folder " + std::to_string(entry.folder) + " of " + std::to_string(folders));
    if (!cursor.TakeString(&entry.name)) return stopped("file table");
    if (entry.name.empty()) return bad("a cabinet file has no name");
    directory->files.push_back(std::move(entry));
  }
  return DirectoryResult::kOk;
}

}  // namespace cab
