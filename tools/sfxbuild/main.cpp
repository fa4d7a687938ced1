// sfxbuild: makes and checks built self-extracting files.
//
//   sfxbuild pack --stub STUB.exe --archive FILE [--self-delete] [--final CMD] -o OUT.exe
//   sfxbuild pack --format cab|extract --from FOLDER [--stub STUB.exe] [--self-delete] [--final CMD] -o OUT.exe
//   sfxbuild pack --format exe --from FOLDER [--stub STUB.exe] [--inner INNER.exe] [--self-delete] [--final CMD]
//                 -o OUT.exe
//   sfxbuild verify FILE
//
// Exit codes: 0 success, 1 failure (message on stderr), 2 bad usage.
#include <errno.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <string>

#ifdef _WIN32
#include <windows.h>
#else
#include <unistd.h>
#endif

#include "folder_cabinet.h"
#include "inner_archive.h"
#include "payload.h"

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
      "       sfxbuild pack --format cab|extract|exe --from FOLDER [--stub STUB.exe] [--self-delete]\n"
      "                     [--final CMD] [--inner INNER.exe] -o OUT.exe\n"
      "       sfxbuild verify FILE\n",
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
    if (removeOnClose_) remove(path_);
  }
  File(const File&) = delete;
  File& operator=(const File&) = delete;

  FILE* get() const { return file_; }
  const char* path() const { return path_; }
  void RemoveUnlessKept() { removeOnClose_ = true; }
  bool Keep() {
    bool ok = fclose(file_) == 0;
    file_ = nullptr;
    removeOnClose_ = !ok;
    return ok;
  }

 private:
  const char* path_;
  FILE* file_;
  bool removeOnClose_ = false;
};

// Copies `in` to `out` (when given), adding the whole rows to `sums`.
// Rows run on across chunks. Returns the byte count, or -1 on a read or
// write error.
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
    sums->AddRows(buffer, whole);
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

// Makes the cabinet of the files below `folder` in `cabinet`, rewound.
int MakeFolderCabinet(const char* folder, File& cabinet) {
  if (!cabinet.get()) return Fail("cannot write %s: %s", cabinet.path(), strerror(errno));
  cabinet.RemoveUnlessKept();
  std::string error = WriteFolderCabinet(folder, cabinet.get());
  if (!error.empty()) return Fail("%s", error.c_str());
  if (fflush(cabinet.get()) != 0 || fseek(cabinet.get(), 0, SEEK_SET) != 0)
    return Fail("cannot write %s", cabinet.path());
  return 0;
}

// Packs the files below `folder` as a cabinet. The cabinet is made in a
// file beside the output and removed again.
int PackFolder(const char* stubPath, const char* folder, bool selfDelete, const char* finalCommand,
               const char* outPath) {
  std::string cabinetPath = std::string(outPath) + ".cab-tmp";
  File cabinet(cabinetPath.c_str(), "w+b");
  if (int failed = MakeFolderCabinet(folder, cabinet)) return failed;
  return Pack(stubPath, cabinet.get(), cabinetPath.c_str(), selfDelete, finalCommand, outPath);
}

// Copies all of `in` to `out`; the byte count, or -1.
long long CopyAll(FILE* in, FILE* out) {
  static unsigned char buffer[kChunk];
  long long total = 0;
  size_t got;
  while ((got = fread(buffer, 1, sizeof buffer, in)) != 0) {
    if (fwrite(buffer, 1, got, out) != got) return -1;
    total += static_cast<long long>(got);
  }
  return ferror(in) ? -1 : total;
}

// The inner program (innersfx + the cabinet of `folder` + its trailer) is
// made beside the output and becomes the archive of stub-exe.
int PackInnerProgram(const char* stubPath, const char* innerPath, const char* folder, bool selfDelete,
                     const char* finalCommand, const char* outPath) {
  File program(innerPath, "rb");
  if (!program.get()) return Fail("cannot read inner program %s: %s", innerPath, strerror(errno));
  std::string cabinetPath = std::string(outPath) + ".cab-tmp";
  File cabinet(cabinetPath.c_str(), "w+b");
  if (int failed = MakeFolderCabinet(folder, cabinet)) return failed;
  std::string innerOut = std::string(outPath) + ".inner-tmp";
  File inner(innerOut.c_str(), "w+b");
  if (!inner.get()) return Fail("cannot write %s: %s", innerOut.c_str(), strerror(errno));
  inner.RemoveUnlessKept();

  long long programSize = CopyAll(program.get(), inner.get());
  if (programSize <= 0) return Fail("cannot copy inner program %s", innerPath);
  long long cabinetSize = CopyAll(cabinet.get(), inner.get());
  if (cabinetSize < 0) return Fail("cannot copy %s", cabinetPath.c_str());
  // The trailer's fields and the inner program's own reading are 32-bit.
  if (programSize + cabinetSize + static_cast<long long>(inner::kTrailerSize) > 0xFFFFFFFFll)
    return Fail("the inner program would be larger than 4 GiB");
  uint8_t trailer[inner::kTrailerSize];
  inner::WriteTrailer(trailer, static_cast<uint32_t>(programSize), static_cast<uint32_t>(cabinetSize));
  if (fwrite(trailer, 1, sizeof trailer, inner.get()) != sizeof trailer || fflush(inner.get()) != 0 ||
      fseek(inner.get(), 0, SEEK_SET) != 0)
    return Fail("cannot write %s", innerOut.c_str());
  return Pack(stubPath, inner.get(), innerOut.c_str(), selfDelete, finalCommand, outPath);
}

bool CountOnly(void*, const uint8_t*, size_t) { return true; }

int Verify(const char* path) {
  File in(path, "rb");
  if (!in.get()) return Fail("cannot read %s: %s", path, strerror(errno));
  payload::Splitter splitter(CountOnly, nullptr);
  static unsigned char buffer[kChunk];
  size_t got;
  while ((got = fread(buffer, 1, sizeof buffer, in.get())) != 0) splitter.Feed(buffer, got);
  if (ferror(in.get())) return Fail("cannot read %s: %s", path, strerror(errno));
  payload::Splitter::Verdict verdict = splitter.Finish();
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

int PackCommand(int argc, char** argv) {
  const char* stub = nullptr;
  const char* innerProgram = nullptr;
  const char* archive = nullptr;
  const char* format = nullptr;
  const char* from = nullptr;
  const char* out = nullptr;
  const char* finalCommand = "";
  bool selfDelete = false;
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
    } else {
      fprintf(stderr, "sfxbuild: unknown or incomplete option '%s'\n", arg);
      return Usage();
    }
  }
  if (!out) return Usage();
  if (archive) {
    if (!stub || format || from || innerProgram) return Usage();
    return PackFile(stub, archive, selfDelete, finalCommand, out);
  }
  if (!format || !from) return Usage();
  const char* stubName;
  if (strcmp(format, "cab") == 0) {
    stubName = "stub-cab.exe";
  } else if (strcmp(format, "extract") == 0) {
    stubName = "stub-extract.exe";
  } else if (strcmp(format, "exe") == 0) {
    stubName = "stub-exe.exe";
  } else {
    fprintf(stderr, "sfxbuild: unknown format '%s' (cab, extract or exe)\n", format);
    return Usage();
  }
  bool exe = strcmp(format, "exe") == 0;
  if (innerProgram && !exe) return Usage();
  std::string besideMe;
  if (!stub) {
    besideMe = OwnFolder() + stubName;
    stub = besideMe.c_str();
  }
  if (exe) {
    std::string innerBesideMe = OwnFolder() + "innersfx.exe";
    return PackInnerProgram(stub, innerProgram ? innerProgram : innerBesideMe.c_str(), from, selfDelete,
                            finalCommand, out);
  }
  return PackFolder(stub, from, selfDelete, finalCommand, out);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc >= 2 && strcmp(argv[1], "pack") == 0) return PackCommand(argc - 2, argv + 2);
  if (argc == 3 && strcmp(argv[1], "verify") == 0) return Verify(argv[2]);
  return Usage();
}
