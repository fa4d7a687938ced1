// lzhdec: extracts, lists and tests LZH archives on the host.
//
//   lzhdec x ARCHIVE [FOLDER]   extract below FOLDER (default: here)
//   lzhdec l ARCHIVE            list
//   lzhdec t ARCHIVE            test
//
// Names are written as the archive's bytes, unconverted. The exit code is
// 0 on success, otherwise the number of the first failure (see lzh.h).
#include <errno.h>
#include <fcntl.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include <string>

#include "lzh/command.h"

namespace {

void* Allocate(void*, size_t size) { return malloc(size); }
void Release(void*, void* block) { free(block); }

size_t ReadFile(void* context, uint8_t* buffer, size_t size) {
  FILE* file = static_cast<FILE*>(context);
  size_t got = fread(buffer, 1, size, file);
  return got < size && ferror(file) ? io::Source::kError : got;
}

bool SkipFile(void* context, uint64_t size) {
  FILE* file = static_cast<FILE*>(context);
  off_t here = ftello(file);
  struct stat st;
  if (here < 0 || fstat(fileno(file), &st) != 0 || !S_ISREG(st.st_mode)) return false;
  if (size > static_cast<uint64_t>(st.st_size - here)) return false;
  return fseeko(file, static_cast<off_t>(size), SEEK_CUR) == 0;
}

bool OpenArchive(void*, const char* path, io::Source* source) {
  FILE* file = fopen(path, "rb");
  if (!file) return false;
  setvbuf(file, nullptr, _IOFBF, 1 << 16);
  *source = io::Source{file, ReadFile, SkipFile};
  return true;
}

void CloseArchive(void*, io::Source* source) { fclose(static_cast<FILE*>(source->context)); }

bool MakeFolder(void*, const char* path) {
  if (mkdir(path, 0777) == 0) return true;
  struct stat st;
  return errno == EEXIST && stat(path, &st) == 0 && S_ISDIR(st.st_mode);
}

struct OutFile {
  int fd;
  std::string path;
};

bool WriteOut(void* context, const uint8_t* data, size_t size) {
  OutFile* out = static_cast<OutFile*>(context);
  while (size != 0) {
    ssize_t n = write(out->fd, data, size);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    data += n;
    size -= static_cast<size_t>(n);
  }
  return true;
}

bool CreateFile(void*, const char* path, io::Sink* sink) {
  // O_NOFOLLOW: a link planted where the file goes is not written through.
  int fd = open(path, O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_CLOEXEC, 0666);
  if (fd < 0) return false;
  *sink = io::Sink{new OutFile{fd, path}, WriteOut};
  return true;
}

// The time as seconds since 1970; an MS-DOS stamp is local time.
time_t SecondsOf(const lzh::EntryTime& time) {
  if (time.isUnix) return static_cast<time_t>(time.unixTime);
  struct tm local = {};
  local.tm_sec = static_cast<int>(time.dosTime & 0x1F) * 2;
  local.tm_min = static_cast<int>(time.dosTime >> 5 & 0x3F);
  local.tm_hour = static_cast<int>(time.dosTime >> 11 & 0x1F);
  local.tm_mday = static_cast<int>(time.dosTime >> 16 & 0x1F);
  local.tm_mon = static_cast<int>(time.dosTime >> 21 & 0x0F) - 1;
  local.tm_year = static_cast<int>(time.dosTime >> 25) + 80;
  local.tm_isdst = -1;
  return mktime(&local);
}

bool CloseFile(void*, io::Sink* sink, bool keep, const lzh::EntryTime& time) {
  OutFile* out = static_cast<OutFile*>(sink->context);
  if (keep && (time.isUnix || time.dosTime != 0)) {
    time_t seconds = SecondsOf(time);
    struct timespec stamps[2] = {{seconds, 0}, {seconds, 0}};
    futimens(out->fd, stamps);
  }
  bool ok = close(out->fd) == 0;
  if (!keep || !ok) unlink(out->path.c_str());
  delete out;
  return ok;
}

int Usage() {
  fputs("usage: lzhdec x ARCHIVE [FOLDER] | l ARCHIVE | t ARCHIVE\n", stderr);
  return static_cast<int>(lzh::Result::kBadCommand);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3 || argc > 4 || strlen(argv[1]) != 1) return Usage();
  std::string command = argv[1];
  for (int i = 2; i < argc; ++i) {
    if (strchr(argv[i], '"')) return Usage();  // cannot be quoted
    command += " \"";
    command += argv[i];
    command += '"';
  }
  lzh::FileSystem fs{nullptr, '/', OpenArchive, CloseArchive, MakeFolder, CreateFile, CloseFile};
  lzh::Allocator allocator{nullptr, Allocate, Release};
  const size_t kReportSize = 1 << 20;
  char* report = static_cast<char*>(malloc(kReportSize));
  if (!report) return static_cast<int>(lzh::Result::kNoMemory);
  int code = lzh::RunCommand(command.c_str(), fs, allocator, report, kReportSize);
  fputs(report, stdout);
  free(report);
  return code;
}
