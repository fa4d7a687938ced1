#include "folder_lzh.h"

#include "host_file.h"
#include "lzh/format.h"

namespace {

lzh::EntryInfo Info(const TreeEntry& entry) {
  lzh::EntryInfo info;
  info.name = entry.name.data();
  info.nameLength = entry.name.size();
  info.unixTime = static_cast<int64_t>(entry.modified);
  info.attributes = entry.readOnly ? lzh::kAttributeReadOnly : lzh::kAttributeArchive;
  return info;
}

lzh::Result AddFile(lzh::LzhWriter* writer, const TreeEntry& entry, lzh::PackMethod method, int level) {
  FILE* file = OpenForReading(entry.native);
  if (!file) return lzh::Result::kCannotOpen;
  lzh::Result result = writer->AddFile(Info(entry), ReadFrom(file), entry.size, method, level);
  fclose(file);
  return result;
}

}  // namespace

std::string WriteFolderLzh(const std::vector<TreeEntry>& tree, FILE* out, lzh::PackMethod method, int level) {
  lzh::LzhWriter writer(WriteTo(out));
  uint64_t total = 0;
  for (const TreeEntry& entry : tree) total += entry.size;
  Progress progress(total);
  for (const TreeEntry& entry : tree) {
    lzh::Result result = entry.isFolder ? writer.AddDirectory(Info(entry)) : AddFile(&writer, entry, method, level);
    if (result == lzh::Result::kCannotOpen) return "cannot read " + entry.path;
    if (result != lzh::Result::kOk) return entry.path + ": " + lzh::ResultText(result);
    progress.Add(entry.size);
  }
  lzh::Result result = writer.Finish();
  return result == lzh::Result::kOk ? std::string() : std::string("cannot write the archive: ") + lzh::ResultText(result);
}
