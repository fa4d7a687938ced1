#include "folder_cabinet.h"

#include <dirent.h>
#include <sys/stat.h>
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

void Stamp(const struct stat& info, cab::FileEntry* entry) {
  time_t when = info.st_mtime;
  struct tm* local = localtime(&when);
  if (!local || local->tm_year < 80 || local->tm_year > 207) {
    entry->date = cab::DosDate(1980, 1, 1);
    entry->time = 0;
  } else {
    entry->date = cab::DosDate(local->tm_year + 1900, local->tm_mon + 1, local->tm_mday);
    entry->time = cab::DosTime(local->tm_hour, local->tm_min, local->tm_sec);
  }
  entry->attributes = cab::kArchive;
  if (!(info.st_mode & S_IWUSR)) entry->attributes |= cab::kReadOnly;
}

// Adds the files below `path` in name order; `name` is their stored prefix.
std::string Walk(const std::string& path, const std::string& name, std::vector<cab::FileEntry>* files) {
  DIR* dir = opendir(path.c_str());
  if (!dir) return "cannot read folder " + path;
  std::vector<std::string> children;
  while (struct dirent* entry = readdir(dir)) {
    std::string child = entry->d_name;
    if (child != "." && child != "..") children.push_back(child);
  }
  closedir(dir);
  std::sort(children.begin(), children.end());
  for (const std::string& child : children) {
    // A backslash inside a name would read as a folder boundary on Windows.
    if (child.find('\\') != std::string::npos) return "name with a backslash: " + path + "/" + child;
    std::string childPath = path + "/" + child;
    std::string childName = name.empty() ? child : name + "\\" + child;
    struct stat info;
    if (stat(childPath.c_str(), &info) != 0) return "cannot read " + childPath;
    if (S_ISDIR(info.st_mode)) {
      std::string error = Walk(childPath, childName, files);
      if (!error.empty()) return error;
      continue;
    }
    if (!S_ISREG(info.st_mode)) continue;
    if (static_cast<unsigned long long>(info.st_size) > cab::kMaxFolderBytes)
      return childPath + " is too large for a cabinet";
    if (name.empty())
      fprintf(stderr, "sfxbuild: warning: %s lies at the top of the folder: the stub unpacks it but moves it nowhere\n",
              child.c_str());
    cab::FileEntry file;
    file.name = childName;
    file.size = static_cast<uint32_t>(info.st_size);
    file.sourcePath = childPath;
    Stamp(info, &file);
    files->push_back(file);
  }
  return std::string();
}

}  // namespace

std::string WriteFolderCabinet(const char* folder, FILE* out) {
  std::vector<cab::FileEntry> files;
  std::string error = Walk(folder, std::string(), &files);
  if (!error.empty()) return error;
  if (files.empty()) return std::string("no files below ") + folder;
  FileSink sink(out);
  return cab::Write(files, cab::Options(), &sink);
}
