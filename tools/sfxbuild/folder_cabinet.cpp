#include "folder_cabinet.h"

#include <time.h>

#include <vector>

#include "cab/cab_writer.h"
#include "host_file.h"

namespace {

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

// Opens the files of the cabinet as the writer reaches them, and remembers
// which one it reached, so that a failure names its path.
struct Files {
  std::vector<const TreeEntry*> entries;  // one per file of the cabinet
  const TreeEntry* current = nullptr;

  static bool Open(void* context, size_t index, io::Source* source) {
    Files* files = static_cast<Files*>(context);
    files->current = files->entries[index];
    FILE* file = OpenForReading(files->current->native);
    if (!file) return false;
    *source = ReadFrom(file);
    return true;
  }
  static void Close(void*, io::Source* source) { fclose(static_cast<FILE*>(source->context)); }
};

// The writer's account of a failure, with the path of the file it was
// reading in place of the file's name in the cabinet.
std::string Failure(core::Result result, const std::string& detail, const TreeEntry* file) {
  if (!file) return detail;
  if (result == core::Result::kCannotOpen || result == core::Result::kReadFailed) return "cannot read " + file->path;
  if (result == core::Result::kSizeChanged && detail.compare(0, file->name.size(), file->name) == 0)
    return file->path + detail.substr(file->name.size());
  return detail;
}

}  // namespace

std::string WriteFolderCabinet(const std::vector<TreeEntry>& tree, FILE* out) {
  // A cabinet holds files only: their names carry their folders.
  std::vector<cab::FileEntry> files;
  Files sources;
  for (const TreeEntry& entry : tree) {
    if (entry.isFolder) continue;
    if (entry.size > cab::kMaxFolderBytes) return entry.path + " is too large for a cabinet";
    cab::FileEntry file;
    file.name = entry.name;
    file.size = static_cast<uint32_t>(entry.size);
    Stamp(entry, &file);
    files.push_back(file);
    sources.entries.push_back(&entry);
  }
  cab::Opener opener{&sources, Files::Open, Files::Close};
  std::string detail;
  core::Result result = cab::Write(files, &opener, cab::Options(), WriteTo(out), &detail);
  return result == core::Result::kOk ? std::string() : Failure(result, detail, sources.current);
}
