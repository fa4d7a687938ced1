// sfxbuild: makes and checks built self-extracting files.
//
//   sfxbuild pack --stub STUB.exe --archive FILE [--self-delete] [--final CMD] -o OUT.exe
//   sfxbuild pack --format lzh|cab|extract|exe --from FOLDER [--stub STUB.exe] [--method lh5|lh6|lh7|lh0]
//                 [--level 0..9] [--inner INNER.exe] [--self-delete] [--final CMD] -o OUT.exe
//   sfxbuild verify FILE
//   sfxbuild list FILE
//
// Exit codes: 0 success, 1 failure (message on stderr), 2 bad usage.
#include <errno.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <chrono>
#include <memory>
#include <string>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#else
#include <unistd.h>
#endif

#include "cab/cab_directory.h"
#include "folder_cabinet.h"
#include "folder_lzh.h"
#include "inner_archive.h"
#include "lzh/archive.h"
#include "payload.h"
#include "thousands.h"

namespace {

constexpr size_t kChunk = 1 << 16;

int Fail(const char* format, const char* a = "", const char* b = "") {
  fputs("sfxbuild: error: ", stderr);
  fprintf(stderr, format, a, b);
  fputc('\n', stderr);
  return 1;
}

int Usage() {
  fputs(
      "usage: sfxbuild pack --stub STUB.exe --archive FILE [--self-delete] [--final CMD] -o OUT.exe\n"
      "       sfxbuild pack --format lzh|cab|extract|exe --from FOLDER [--stub STUB.exe]\n"
      "                     [--method lh5|lh6|lh7|lh0] [--level 0..9] [--inner INNER.exe]\n"
      "                     [--self-delete] [--final CMD] -o OUT.exe\n"
      "       sfxbuild verify FILE\n"
      "       sfxbuild list FILE\n",
      stderr);
  return 2;
}

// Closes on scope exit; the output file is removed unless kept, so a failed
// pack leaves nothing half-written behind.
class File {
 public:
  File(const char* path, const char* mode) : path_(path), file_(fopen(path, mode)) {}
  ~File() {
    if (file_) fclose(file_);
    if (removeOnClose_) remove(path_.c_str());
  }
  File(const File&) = delete;
  File& operator=(const File&) = delete;

  FILE* get() const { return file_; }
  const char* path() const { return path_.c_str(); }
  void RemoveUnlessKept() { removeOnClose_ = true; }
  bool Keep() {
    bool ok = fclose(file_) == 0;
    file_ = nullptr;
    removeOnClose_ = !ok;
    return ok;
  }

 private:
  std::string path_;
  FILE* file_;
  bool removeOnClose_ = false;
};

// Copies `in` to `out` (when given), adding the whole rows to `sums` (when
// given). Rows run on across chunks. Returns the byte count, or -1 on a
// read or write error.
long long CopySummed(FILE* in, FILE* out, payload::ColumnSums* sums) {
  static unsigned char buffer[kChunk];
  long long total = 0;
  size_t carry = 0;
  for (;;) {
    size_t got = fread(buffer + carry, 1, kChunk - carry, in);
    if (got == 0) break;
    if (out && fwrite(buffer + carry, 1, got, out) != got) return -1;
    total += static_cast<long long>(got);
    size_t filled = carry + got;
    size_t whole = filled - filled % payload::kRowSize;
    if (sums) sums->AddRows(buffer, whole);
    carry = filled - whole;
    memmove(buffer, buffer + whole, carry);
  }
  return ferror(in) ? -1 : total;
}

int Pack(const char* stubPath, FILE* archive, const char* archivePath, bool selfDelete,
         const char* finalCommand, const char* outPath) {
  if (strlen(finalCommand) > payload::kMaxCommandLength) {
    char length[32];
    snprintf(length, sizeof length, "%zu", strlen(finalCommand));
    return Fail("final command is %s bytes long; at most 174 fit in the payload block", length);
  }
  File stub(stubPath, "rb");
  if (!stub.get()) return Fail("cannot read stub %s: %s", stubPath, strerror(errno));
  File out(outPath, "wb");
  if (!out.get()) return Fail("cannot write %s: %s", outPath, strerror(errno));
  out.RemoveUnlessKept();

  payload::ColumnSums sums;
  sums.Clear();
  long long stubSize = CopySummed(stub.get(), out.get(), &sums);
  if (stubSize < 0) return Fail("cannot copy stub %s into %s", stubPath, outPath);
  if (stubSize == 0 || stubSize % payload::kBlockSize != 0) {
    char length[32];
    snprintf(length, sizeof length, "%lld", stubSize);
    return Fail("stub %s is %s bytes long, not a multiple of 256: not a stub program", stubPath, length);
  }
  // The block's sums cover the archive, so it is written after the archive
  // has been read once.
  uint8_t block[payload::kBlockSize] = {};
  if (fwrite(block, 1, sizeof block, out.get()) != sizeof block) return Fail("cannot write %s", outPath);
  if (CopySummed(archive, out.get(), &sums) < 0)
    return Fail("cannot copy archive %s into %s", archivePath, outPath);
  payload::WriteBlock(block, selfDelete, finalCommand, sums.column);
  if (fseek(out.get(), static_cast<long>(stubSize), SEEK_SET) != 0 ||
      fwrite(block, 1, sizeof block, out.get()) != sizeof block || !out.Keep())
    return Fail("cannot write %s", outPath);
  return 0;
}

int PackFile(const char* stubPath, const char* archivePath, bool selfDelete, const char* finalCommand,
             const char* outPath) {
  File archive(archivePath, "rb");
  if (!archive.get()) return Fail("cannot read archive %s: %s", archivePath, strerror(errno));
  return Pack(stubPath, archive.get(), archivePath, selfDelete, finalCommand, outPath);
}

// The folder this program lies in, with its separator; empty when unknown.
std::string OwnFolder() {
  char path[4096];
#ifdef _WIN32
  DWORD length = GetModuleFileNameA(nullptr, path, sizeof path);
  if (length == 0 || length >= sizeof path) return std::string();
  std::string own(path, length);
  size_t slash = own.find_last_of("\\/");
#else
  ssize_t length = readlink("/proc/self/exe", path, sizeof path);
  if (length <= 0 || static_cast<size_t>(length) >= sizeof path) return std::string();
  std::string own(path, static_cast<size_t>(length));
  size_t slash = own.rfind('/');
#endif
  return slash == std::string::npos ? std::string() : own.substr(0, slash + 1);
}

// A part of the kit (a stub program, innersfx.exe): beside sfxbuild, as in
// the Windows kit and a build folder, or in the kit folder of an installed
// kit (PREFIX/share/sfxkit beside PREFIX/bin). Empty when neither holds
// it; `looked` then names the places tried.
std::string FindKitFile(const char* name, std::string* looked) {
  std::string own = OwnFolder();
  const std::string places[] = {own, own + "../share/sfxkit/"};
  looked->clear();
  for (const std::string& place : places) {
    std::string path = place + name;
    if (FILE* file = fopen(path.c_str(), "rb")) {
      fclose(file);
      return path;
    }
    *looked += (looked->empty() ? "" : " and ") + place;
  }
  return std::string();
}

struct FolderFormat {
  const char* name;
  const char* stub;  // found beside sfxbuild unless --stub names one
  enum Archive { kLzh, kCabinet, kInnerProgram } archive;
};

const FolderFormat kFormats[] = {
    {"lzh", "stub-lzh.exe", FolderFormat::kLzh},
    {"cab", "stub-cab.exe", FolderFormat::kCabinet},
    {"extract", "stub-extract.exe", FolderFormat::kCabinet},
    {"exe", "stub-exe.exe", FolderFormat::kInnerProgram},
};

struct LzhSettings {
  lzh::PackMethod method = lzh::PackMethod::kLh7;
  int level = lzh::kDefaultLevel;
};

// "1,234,567"
std::string Grouped(uint64_t value) {
  char text[thousands::kMaxSize];
  thousands::Group(text, value, false);
  return text;
}

// Opens a scratch file beside the output, removed again when it goes.
int Scratch(const char* outPath, const char* suffix, std::unique_ptr<File>* file) {
  std::string path = std::string(outPath) + suffix;
  file->reset(new File(path.c_str(), "w+b"));
  if (!(*file)->get()) return Fail("cannot write %s: %s", path.c_str(), strerror(errno));
  (*file)->RemoveUnlessKept();
  return 0;
}

int Rewind(File& file) {
  return fflush(file.get()) == 0 && fseek(file.get(), 0, SEEK_SET) == 0 ? 0 : Fail("cannot write %s", file.path());
}

// The inner program: innersfx, then the cabinet, then the trailer that
// points back at the cabinet.
int MakeInnerProgram(const char* innerPath, File& cabinet, File& inner) {
  File program(innerPath, "rb");
  if (!program.get()) return Fail("cannot read inner program %s: %s", innerPath, strerror(errno));
  long long programSize = CopySummed(program.get(), inner.get(), nullptr);
  if (programSize <= 0) return Fail("cannot copy inner program %s", innerPath);
  long long cabinetSize = CopySummed(cabinet.get(), inner.get(), nullptr);
  if (cabinetSize < 0) return Fail("cannot copy %s", cabinet.path());
  // The trailer's fields and the inner program's own reading are 32-bit.
  if (programSize + cabinetSize + static_cast<long long>(inner::kTrailerSize) > 0xFFFFFFFFll)
    return Fail("the inner program would be larger than 4 GiB");
  uint8_t trailer[inner::kTrailerSize];
  inner::WriteTrailer(trailer, static_cast<uint32_t>(programSize), static_cast<uint32_t>(cabinetSize));
  if (fwrite(trailer, 1, sizeof trailer, inner.get()) != sizeof trailer) return Fail("cannot write %s", inner.path());
  return 0;
}

// Packs the folder in the format's archive, made in scratch files beside
// the output, then writes the built file.
int PackFolder(const char* stubPath, const FolderFormat& format, const LzhSettings& lzh, const char* innerPath,
               const char* folder, bool selfDelete, const char* finalCommand, const char* outPath) {
  auto start = std::chrono::steady_clock::now();
  if (!File(stubPath, "rb").get()) return Fail("stub program %s not found: %s", stubPath, strerror(errno));
  std::vector<TreeEntry> tree;
  std::string error = ListFolder(folder, &tree);
  if (!error.empty()) return Fail("%s", error.c_str());
  std::unique_ptr<File> archive, cabinet;
  if (int failed = Scratch(outPath, ".archive-tmp", &archive)) return failed;
  if (format.archive == FolderFormat::kLzh) {
    error = WriteFolderLzh(tree, archive->get(), lzh.method, lzh.level);
  } else if (format.archive == FolderFormat::kCabinet) {
    error = WriteFolderCabinet(tree, archive->get());
  } else {
    if (int failed = Scratch(outPath, ".cab-tmp", &cabinet)) return failed;
    error = WriteFolderCabinet(tree, cabinet->get());
    if (error.empty()) {
      if (int failed = Rewind(*cabinet)) return failed;
      if (int failed = MakeInnerProgram(innerPath, *cabinet, *archive)) return failed;
    }
  }
  if (!error.empty()) return Fail("%s", error.c_str());
  long archiveSize = ftell(archive->get());
  if (int failed = Rewind(*archive)) return failed;
  int code = Pack(stubPath, archive->get(), archive->path(), selfDelete, finalCommand, outPath);
  if (code != 0) return code;

  unsigned long long files = 0, bytes = 0;
  for (const TreeEntry& entry : tree)
    if (!entry.isFolder) ++files, bytes += entry.size;
  double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  printf("%s: %llu file%s, %s bytes in, %s bytes out (%.1f%%), %.2f s\n", outPath, files, files == 1 ? "" : "s",
         Grouped(bytes).c_str(), Grouped(static_cast<unsigned long long>(archiveSize)).c_str(),
         bytes ? 100.0 * static_cast<double>(archiveSize) / static_cast<double>(bytes) : 100.0, seconds);
  return 0;
}

bool CountOnly(void*, const uint8_t*, size_t) { return true; }

// Reads the whole file through the splitter, as the stub does.
int Split(const char* path, payload::Splitter* splitter, payload::Splitter::Verdict* verdict) {
  File in(path, "rb");
  if (!in.get()) return Fail("cannot read %s: %s", path, strerror(errno));
  static unsigned char buffer[kChunk];
  size_t got;
  while ((got = fread(buffer, 1, sizeof buffer, in.get())) != 0) splitter->Feed(buffer, got);
  if (ferror(in.get())) return Fail("cannot read %s: %s", path, strerror(errno));
  *verdict = splitter->Finish();
  return 0;
}

int Verify(const char* path) {
  payload::Splitter splitter(io::Sink{nullptr, CountOnly});
  payload::Splitter::Verdict verdict;
  if (int failed = Split(path, &splitter, &verdict)) return failed;
  if (verdict == payload::Splitter::Verdict::kNoBlock) {
    printf("%s: no payload block\n", path);
    return 1;
  }
  const payload::BlockFields& fields = splitter.fields();
  printf("self-removal: %s\n", fields.selfRemoval ? "yes" : "no");
  printf("final command: \"%s\"\n", fields.finalCommand);
  printf("payload block: offset %llu\n", static_cast<unsigned long long>(splitter.blockOffset()));
  printf("archive: offset %llu, %llu bytes\n",
         static_cast<unsigned long long>(splitter.blockOffset() + payload::kBlockSize),
         static_cast<unsigned long long>(splitter.archiveSize()));
  bool intact = verdict == payload::Splitter::Verdict::kIntact;
  printf("sums: %s\n", intact ? "agree" : "DIFFER (the stub refuses this file)");
  return intact ? 0 : 1;
}

// 64-bit offsets: a built file may pass 2 GiB, and long is 32 bits on Windows.
bool SeekTo(FILE* file, uint64_t offset) {
#ifdef _WIN32
  return _fseeki64(file, static_cast<__int64>(offset), SEEK_SET) == 0;
#else
  return fseeko(file, static_cast<off_t>(offset), SEEK_SET) == 0;
#endif
}

// The archive's span of the built file, read as an LZH source.
struct Span {
  FILE* file;
  uint64_t left;
};

size_t ReadSpan(void* context, uint8_t* buffer, size_t size) {
  Span* span = static_cast<Span*>(context);
  if (size > span->left) size = static_cast<size_t>(span->left);
  size_t got = fread(buffer, 1, size, span->file);
  if (got < size && ferror(span->file)) return lzh::Source::kError;
  span->left -= got;
  return got;
}

void* Allocate(void*, size_t size) { return malloc(size); }
void Release(void*, void* block) { free(block); }

// Names as the stubs see them: Windows separators.
std::string WindowsName(const char* name) {
  std::string windows(name);
  for (char& c : windows)
    if (c == '/') c = '\\';
  return windows;
}

void PrintSummary(unsigned long long files, unsigned long long bytes, const char* where) {
  printf("%llu file%s, %s bytes in %s\n", files, files == 1 ? "" : "s", Grouped(bytes).c_str(), where);
}

int ListLzh(FILE* file, uint64_t size) {
  Span span{file, size};
  lzh::Source source{&span, ReadSpan, nullptr};
  lzh::ArchiveReader reader;
  lzh::Allocator allocator{nullptr, Allocate, Release};
  if (reader.Open(source, allocator) != lzh::Result::kOk) return Fail("out of memory");
  lzh::EntryHeader* header = new lzh::EntryHeader;
  std::unique_ptr<lzh::EntryHeader> owner(header);
  unsigned long long files = 0, bytes = 0;
  lzh::Result result;
  while ((result = reader.Next(header)) == lzh::Result::kOk) {
    bool folder = header->IsDirectory();
    std::string name = WindowsName(header->path);
    if (folder && (name.empty() || name.back() != '\\')) name += '\\';
    printf("%-5s %12llu  %s\n", header->method, static_cast<unsigned long long>(header->originalSize),
           name.c_str());
    if (!folder) ++files, bytes += header->originalSize;
  }
  if (result != lzh::Result::kEndOfArchive) {
    char code[16];
    snprintf(code, sizeof code, "%d", static_cast<int>(result));
    return Fail("the LZH archive is damaged after the entries listed (failure %s)", code);
  }
  PrintSummary(files, bytes, "an LZH archive");
  return 0;
}

int ListCabinet(FILE* file, uint64_t offset, uint64_t size, const char* where) {
  // The file table comes before the data blocks; most cabinets need only
  // the first read.
  std::vector<uint8_t> table(static_cast<size_t>(size < kChunk ? size : kChunk));
  cab::Directory directory;
  std::string error;
  for (;;) {
    if (!SeekTo(file, offset) || fread(table.data(), 1, table.size(), file) != table.size())
      return Fail("cannot read the cabinet");
    size_t needed = 0;
    cab::DirectoryResult result = cab::ReadDirectory(table.data(), table.size(), size, &directory, &needed, &error);
    if (result == cab::DirectoryResult::kOk) break;
    if (result == cab::DirectoryResult::kBad || needed <= table.size()) return Fail("%s", error.c_str());
    table.resize(needed);
  }
  unsigned long long bytes = 0;
  for (const cab::DirectoryEntry& entry : directory.files) {
    printf("%12lu  %s\n", static_cast<unsigned long>(entry.size), entry.name.c_str());
    bytes += entry.size;
  }
  PrintSummary(directory.files.size(), bytes, where);
  return 0;
}

bool LooksLikeLzh(const uint8_t* head, size_t size) {
  // Every header level keeps the method at 2..6 and the level at 20.
  return size >= 21 && head[2] == '-' && head[3] == 'l' && (head[4] == 'h' || head[4] == 'z') && head[6] == '-' &&
         head[20] <= 3;
}

int List(const char* path) {
  payload::Splitter splitter(io::Sink{nullptr, CountOnly});
  payload::Splitter::Verdict verdict;
  if (int failed = Split(path, &splitter, &verdict)) return failed;
  if (verdict == payload::Splitter::Verdict::kNoBlock) return Fail("%s has no payload block: not a built file", path);
  if (verdict != payload::Splitter::Verdict::kIntact)
    return Fail("%s is damaged: its sums differ from the payload block (the stub refuses it)", path);

  File in(path, "rb");
  if (!in.get()) return Fail("cannot read %s: %s", path, strerror(errno));
  uint64_t offset = splitter.blockOffset() + payload::kBlockSize;
  uint64_t size = splitter.archiveSize();
  uint8_t head[32] = {};
  size_t headSize = size < sizeof head ? static_cast<size_t>(size) : sizeof head;
  if (!SeekTo(in.get(), offset) || fread(head, 1, headSize, in.get()) != headSize)
    return Fail("cannot read %s: %s", path, strerror(errno));
  if (headSize >= 4 && memcmp(head, "MSCF", 4) == 0) return ListCabinet(in.get(), offset, size, "a cabinet");
  if (LooksLikeLzh(head, headSize)) {
    if (!SeekTo(in.get(), offset)) return Fail("cannot read %s: %s", path, strerror(errno));
    return ListLzh(in.get(), size);
  }
  uint8_t trailer[inner::kTrailerSize];
  inner::Span inside;
  if (size >= sizeof trailer && SeekTo(in.get(), offset + size - sizeof trailer) &&
      fread(trailer, 1, sizeof trailer, in.get()) == sizeof trailer &&
      memcmp(trailer, inner::kTrailerMarker, inner::kMarkerLength) == 0) {
    if (!inner::ReadTrailer(trailer, size, &inside) || inside.length < inner::kMinCabinetLength)
      return Fail("%s: the inner program's trailer does not fit it", path);
    return ListCabinet(in.get(), offset + inside.offset, inside.length, "a cabinet inside the inner program");
  }
  return Fail("%s: the archive is neither LZH, a cabinet nor an inner program", path);
}

int PackCommand(int argc, char** argv) {
  const char* stub = nullptr;
  const char* innerProgram = nullptr;
  const char* archive = nullptr;
  const char* format = nullptr;
  const char* from = nullptr;
  const char* out = nullptr;
  const char* finalCommand = "";
  bool selfDelete = false;
  LzhSettings lzh;
  for (int i = 0; i < argc; ++i) {
    const char* arg = argv[i];
    bool hasValue = i + 1 < argc;
    if (strcmp(arg, "--self-delete") == 0) {
      selfDelete = true;
    } else if (strcmp(arg, "--stub") == 0 && hasValue) {
      stub = argv[++i];
    } else if (strcmp(arg, "--inner") == 0 && hasValue) {
      innerProgram = argv[++i];
    } else if (strcmp(arg, "--archive") == 0 && hasValue) {
      archive = argv[++i];
    } else if (strcmp(arg, "--format") == 0 && hasValue) {
      format = argv[++i];
    } else if (strcmp(arg, "--from") == 0 && hasValue) {
      from = argv[++i];
    } else if (strcmp(arg, "--final") == 0 && hasValue) {
      finalCommand = argv[++i];
    } else if (strcmp(arg, "-o") == 0 && hasValue) {
      out = argv[++i];
    } else if (strcmp(arg, "--method") == 0 && hasValue) {
      const char* method = argv[++i];
      if (strcmp(method, "lh5") == 0) lzh.method = lzh::PackMethod::kLh5;
      else if (strcmp(method, "lh6") == 0) lzh.method = lzh::PackMethod::kLh6;
      else if (strcmp(method, "lh7") == 0) lzh.method = lzh::PackMethod::kLh7;
      else if (strcmp(method, "lh0") == 0) lzh.method = lzh::PackMethod::kStored;
      else {
        fprintf(stderr, "sfxbuild: unknown method '%s' (lh5, lh6, lh7 or lh0)\n", method);
        return Usage();
      }
    } else if (strcmp(arg, "--level") == 0 && hasValue) {
      const char* level = argv[++i];
      if (level[0] < '0' || level[0] > '9' || level[1] != '\0') {
        fprintf(stderr, "sfxbuild: level '%s' is not 0 to 9\n", level);
        return Usage();
      }
      lzh.level = level[0] - '0';
    } else {
      fprintf(stderr, "sfxbuild: unknown or incomplete option '%s'\n", arg);
      return Usage();
    }
  }
  if (!out) return Usage();
  CheckFinalCommand(finalCommand);
  if (archive) {
    if (!stub || format || from || innerProgram) return Usage();
    return PackFile(stub, archive, selfDelete, finalCommand, out);
  }
  if (!format || !from) return Usage();
  const FolderFormat* chosen = nullptr;
  for (const FolderFormat& known : kFormats)
    if (strcmp(format, known.name) == 0) chosen = &known;
  if (!chosen) {
    fprintf(stderr, "sfxbuild: unknown format '%s' (lzh, cab, extract or exe)\n", format);
    return Usage();
  }
  if (innerProgram && chosen->archive != FolderFormat::kInnerProgram) return Usage();
  std::string foundStub, foundInner, looked;
  if (!stub) {
    foundStub = FindKitFile(chosen->stub, &looked);
    if (foundStub.empty())
      return Fail("stub program %s not found in %s (--stub names one)", chosen->stub, looked.c_str());
    stub = foundStub.c_str();
  }
  if (!innerProgram && chosen->archive == FolderFormat::kInnerProgram) {
    foundInner = FindKitFile("innersfx.exe", &looked);
    if (foundInner.empty()) return Fail("inner program innersfx.exe not found in %s (--inner names one)", looked.c_str());
    innerProgram = foundInner.c_str();
  }
  return PackFolder(stub, *chosen, lzh, innerProgram, from, selfDelete, finalCommand, out);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc >= 2 && strcmp(argv[1], "pack") == 0) return PackCommand(argc - 2, argv + 2);
  if (argc == 3 && strcmp(argv[1], "verify") == 0) return Verify(argv[2]);
  if (argc == 3 && strcmp(argv[1], "list") == 0) return List(argv[2]);
  return Usage();
}
