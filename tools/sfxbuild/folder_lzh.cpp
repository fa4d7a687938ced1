#include "folder_lzh.h"

namespace {

bool WriteToFile(void* context, const uint8_t* data, size_t size) {
  return fwrite(data, 1, size, static_cast<FILE*>(context)) == size;
}

size_t ReadFromFile(void* context, uint8_t* buffer, size_t size) {
  FILE* file = static_cast<FILE*>(context);
  size_t got = fread(buffer, 1, size, file);
  return got == 0 && ferror(file) ? io::Source::kError : got;
}

bool RewindFile(void* context) { return fseek(static_cast<FILE*>(context), 0, SEEK_SET) == 0; }

lzh::EntryInfo Info(const TreeEntry& entry) {
  lzh::EntryInfo info;
  info.name = entry.name.data();
  info.nameLength = entry.name.size();
  info.unixTime = static_cast<int64_t>(entry.modified);
  info.attributes = entry.readOnly ? 0x01 : 0x20;  // read-only, or archive
  return info;
}

}  // namespace

std::string WriteFolderLzh(const std::vector<TreeEntry>& tree, FILE* out, lzh::PackMethod method, int level) {
  lzh::LzhWriter writer(io::Sink{out, WriteToFile});
  uint64_t total = 0;
  for (const TreeEntry& entry : tree) total += entry.size;
  Progress progress(total);
  for (const TreeEntry& entry : tree) {
    lzh::Result result;
    if (entry.isFolder) {
      result = writer.AddDirectory(Info(entry));
    } else {
      FILE* file = fopen(entry.path.c_str(), "rb");
      if (!file) return "cannot read " + entry.path;
      result = writer.AddFile(Info(entry), io::Source{file, ReadFromFile, nullptr, RewindFile}, entry.size, method, level);
      fclose(file);
    }
    if (result != lzh::Result::kOk) return entry.path + ": " + lzh::ResultText(result);
    progress.Add(entry.size);
  }
  lzh::Result result = writer.Finish();
  return result == lzh::Result::kOk ? std::string() : std::string("cannot write the archive: ") + lzh::ResultText(result);
}
