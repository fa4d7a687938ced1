#include "folder_cabinet.h"

#include <time.h>

#include <algorithm>
#include <vector>

#include "cab/cab_writer.h"

namespace {

class FileSink : public cab::Sink {
 public:
  explicit FileSink(FILE* file) : file_(file) {}
  bool Write(const uint8_t* data, size_t size) override { return fwrite(data, 1, size, file_) == size; }
  bool Rewrite(uint64_t offset, const uint8_t* data, size_t size) override {
    long end = ftell(file_);
    bool ok = fseek(file_, static_cast<long>(offset), SEEK_SET) == 0 && fwrite(data, 1, size, file_) == size;
    return fseek(file_, end, SEEK_SET) == 0 && ok;
  }

 private:
  FILE* file_;
};

void Stamp(const TreeEntry& source, cab::FileEntry* entry) {
  time_t when = source.modified;
  struct tm* local = localtime(&when);
  if (!local || local->tm_year < 80 || local->tm_year > 207) {
    entry->date = cab::DosDate(1980, 1, 1);
    entry->time = 0;
  } else {
    entry->date = cab::DosDate(local->tm_year + 1900, local->tm_mon + 1, local->tm_mday);
    entry->time = cab::DosTime(local->tm_hour, local->tm_min, local->tm_sec);
  }
  entry->attributes = cab::kArchive;
  if (source.readOnly) entry->attributes |= cab::kReadOnly;
}

}  // namespace

std::string WriteFolderCabinet(const std::vector<TreeEntry>& tree, FILE* out) {
  // A cabinet holds files only: their names carry their folders.
  std::vector<cab::FileEntry> files;
  for (const TreeEntry& entry : tree) {
    if (entry.isFolder) continue;
    if (entry.size > cab::kMaxFolderBytes) return entry.path + " is too large for a cabinet";
    cab::FileEntry file;
    file.name = entry.name;
    file.size = static_cast<uint32_t>(entry.size);
    file.sourcePath = entry.path;
    Stamp(entry, &file);
    files.push_back(file);
  }
  FileSink sink(out);
  return cab::Write(files, cab::Options(), &sink);
}
