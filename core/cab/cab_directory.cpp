#include "cab/cab_directory.h"

#include <string.h>

#include "bytes.h"
#include "cab/format.h"

namespace cab {

using core::Result;

namespace {

constexpr size_t kMaxStoredName = kMaxNameLength + 1;  // with its NUL
constexpr size_t kMaxFolderReserve = 255;

// Reads the cabinet in order and never past `limit`, its size: a read
// that would pass it means the table contradicts the size (kBadHeader),
// while a source that ends sooner is short input (kTruncated).
class Cursor {
 public:
  Cursor(const io::Source& source, uint64_t limit, std::string* detail)
      : source_(source), limit_(limit), detail_(detail) {}

  uint64_t at() const { return at_; }

  // Reads `count` bytes into `out`; `part` names the part of the cabinet
  // for the message when the cabinet ends inside it.
  Result Take(size_t count, uint8_t* out, const char* part) {
    Result r = Within(count, part);
    if (r == Result::kOk) r = Said(io::ReadExactly(source_, out, count), part);
    if (r == Result::kOk) at_ += count;
    return r;
  }
  Result Skip(uint64_t count, const char* part) {
    Result r = Within(count, part);
    if (r == Result::kOk) r = Said(io::SkipBytes(source_, count), part);
    if (r == Result::kOk) at_ += count;
    return r;
  }
  // A NUL-terminated string of at most kMaxStoredName bytes with its NUL;
  // `out` may be null.
  Result TakeString(std::string* out, const char* part) {
    char text[kMaxStoredName];
    for (size_t length = 0; length < kMaxStoredName; ++length) {
      uint8_t byte;
      Result r = Take(1, &byte, part);
      if (r != Result::kOk) return r;
      if (byte == 0) {
        if (out) out->assign(text, length);
        return Result::kOk;
      }
      text[length] = static_cast<char>(byte);
    }
    return Bad(std::string("cabinet cut short in its ") + part);
  }

  Result Bad(const std::string& why) {
    if (detail_) *detail_ = why;
    return Result::kBadHeader;
  }

 private:
  Result Within(uint64_t count, const char* part) {
    if (count > limit_ || at_ > limit_ - count) return Bad(std::string("cabinet cut short in its ") + part);
    return Result::kOk;
  }
  Result Said(Result r, const char* part) {
    if (r != Result::kOk && detail_)
      *detail_ =
          std::string(r == Result::kTruncated ? "cabinet ends early in its " : "cannot read the cabinet's ") + part;
    return r;
  }

  const io::Source& source_;
  uint64_t limit_;
  uint64_t at_ = 0;
  std::string* detail_;
};

// The header and what follows it up to the folder table; sets the folder
// and file counts and the size of each folder entry's reserved area.
Result ReadHeader(Cursor& cursor, uint64_t cabinetSize, uint16_t* folders, uint16_t* files, uint32_t* filesAt,
                  size_t* folderReserve) {
  uint8_t header[kHeaderSize];
  Result r = cursor.Take(kHeaderSize, header, "header");
  if (r != Result::kOk) return r;
  if (memcmp(header, kSignature, kSignatureLength) != 0) return cursor.Bad("no cabinet signature");
  uint32_t declared = bytes::GetLe32(header + kCabinetSizeAt);
  if (declared != cabinetSize)
    return cursor.Bad("cabinet says it is " + std::to_string(declared) + " bytes long, but " +
                      std::to_string(cabinetSize) + " are present");
  *filesAt = bytes::GetLe32(header + kFirstFileAt);
  uint8_t major = header[kVersionMajorAt];
  if (major != kVersionMajor)
    return cursor.Bad("cabinet format version " + std::to_string(major) + " is not " + std::to_string(kVersionMajor));
  *folders = bytes::GetLe16(header + kFolderCountAt);
  *files = bytes::GetLe16(header + kFileCountAt);
  uint16_t flags = bytes::GetLe16(header + kFlagsAt);
  *folderReserve = 0;
  if (flags & kFlagReserve) {
    uint8_t reserve[kReserveSizesSize];
    r = cursor.Take(sizeof reserve, reserve, "header");
    if (r != Result::kOk) return r;
    *folderReserve = reserve[kFolderReserveAt];
    r = cursor.Skip(bytes::GetLe16(reserve), "header");
  }
  // The names of the previous and the next cabinet of a set, each a file
  // name and a disk name.
  int names = (flags & kFlagPrevious ? 2 : 0) + (flags & kFlagNext ? 2 : 0);
  for (int i = 0; i < names && r == Result::kOk; ++i) r = cursor.TakeString(nullptr, "header");
  return r;
}

}  // namespace

Result ReadDirectory(const io::Source& source, uint64_t cabinetSize, Directory* directory, std::string* detail) {
  Cursor cursor(source, cabinetSize, detail);
  uint16_t folders = 0, files = 0;
  uint32_t filesAt = 0;
  size_t folderReserve = 0;
  Result r = ReadHeader(cursor, cabinetSize, &folders, &files, &filesAt, &folderReserve);
  if (r != Result::kOk) return r;

  directory->folderCount = folders;
  directory->compression = 0;
  directory->files.clear();
  for (uint16_t i = 0; i < folders; ++i) {
    uint8_t folder[kFolderEntrySize + kMaxFolderReserve];
    r = cursor.Take(kFolderEntrySize + folderReserve, folder, "folder table");
    if (r != Result::kOk) return r;
    if (bytes::GetLe32(folder + kFolderDataAt) > cabinetSize)
      return cursor.Bad("a cabinet folder starts past the end of the cabinet");
    if (i == 0) directory->compression = bytes::GetLe16(folder + kFolderCompressionAt);
  }
  if (filesAt < cursor.at()) return cursor.Bad("the cabinet's file table overlaps its header");
  if (files != 0) r = cursor.Skip(filesAt - cursor.at(), "file table");
  for (uint16_t i = 0; i < files && r == Result::kOk; ++i) {
    uint8_t file[kFileEntrySize];
    r = cursor.Take(kFileEntrySize, file, "file table");
    if (r != Result::kOk) break;
    DirectoryEntry entry;
    entry.size = bytes::GetLe32(file + kFileSizeAt);
    entry.folder = bytes::GetLe16(file + kFileFolderAt);
    entry.attributes = bytes::GetLe16(file + kFileAttributesAt);
    if (entry.folder >= folders && entry.folder < kFirstContinuation)
      return cursor.Bad("a cabinet file names folder " + std::to_string(entry.folder) + " of " +
                        std::to_string(folders));
    r = cursor.TakeString(&entry.name, "file table");
    if (r == Result::kOk && entry.name.empty()) return cursor.Bad("a cabinet file has no name");
    if (r == Result::kOk) directory->files.push_back(std::move(entry));
  }
  return r;
}

}  // namespace cab
