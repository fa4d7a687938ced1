#include "host_file.h"

FILE* OpenForReading(const NativePath& path) {
#ifdef _WIN32
  return _wfopen(path.c_str(), L"rb");
#else
  return fopen(path.c_str(), "rb");
#endif
}

File::File(const char* path, const char* mode) : path_(path), file_(fopen(path, mode)) {}

File::~File() {
  if (file_) fclose(file_);
  if (removeOnClose_) remove(path_.c_str());
}

bool File::Keep() {
  bool ok = fclose(file_) == 0;
  file_ = nullptr;
  removeOnClose_ = !ok;
  return ok;
}

bool SeekTo(FILE* file, uint64_t offset) {
#ifdef _WIN32
  return _fseeki64(file, static_cast<__int64>(offset), SEEK_SET) == 0;
#else
  return fseeko(file, static_cast<off_t>(offset), SEEK_SET) == 0;
#endif
}

bool TellOf(FILE* file, uint64_t* offset) {
#ifdef _WIN32
  __int64 at = _ftelli64(file);
#else
  off_t at = ftello(file);
#endif
  if (at < 0) return false;
  *offset = static_cast<uint64_t>(at);
  return true;
}

namespace {

size_t Read(void* context, uint8_t* buffer, size_t size) {
  FILE* file = static_cast<FILE*>(context);
  size_t got = fread(buffer, 1, size, file);
  return got == 0 && ferror(file) ? io::Source::kError : got;
}

bool Rewind(void* context) { return fseek(static_cast<FILE*>(context), 0, SEEK_SET) == 0; }

bool Write(void* context, const uint8_t* data, size_t size) {
  return fwrite(data, 1, size, static_cast<FILE*>(context)) == size;
}

// Writes over earlier bytes and comes back to the end.
bool Rewrite(void* context, uint64_t offset, const uint8_t* data, size_t size) {
  FILE* file = static_cast<FILE*>(context);
  uint64_t end;
  if (!TellOf(file, &end)) return false;
  bool ok = SeekTo(file, offset) && fwrite(data, 1, size, file) == size;
  return SeekTo(file, end) && ok;
}

size_t ReadSpan(void* context, uint8_t* buffer, size_t size) {
  FileSpan* span = static_cast<FileSpan*>(context);
  if (size > span->left) size = static_cast<size_t>(span->left);
  size_t got = fread(buffer, 1, size, span->file);
  if (got < size && ferror(span->file)) return io::Source::kError;
  span->left -= got;
  return got;
}

}  // namespace

io::Source ReadFrom(FILE* file) { return io::Source{file, Read, nullptr, Rewind}; }

io::Sink WriteTo(FILE* file) { return io::Sink{file, Write, Rewrite}; }

io::Source FileSpan::source() { return io::Source{this, ReadSpan}; }
