// sfxbuild pack: a stub program, the payload block and an archive, one
// after the other. The archive is either given (--archive) or made here
// from a folder of token folders (--from) in the format's kind.
#include <errno.h>
#include <stdio.h>
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

#include "commands.h"
#include "folder_cabinet.h"
#include "folder_lzh.h"
#include "host_file.h"
#include "inner_archive.h"

namespace {

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

struct PackOptions {
  const char* stub = nullptr;
  const char* innerProgram = nullptr;
  const char* archive = nullptr;
  const char* format = nullptr;
  const char* from = nullptr;
  const char* out = nullptr;
  const char* finalCommand = "";
  bool selfDelete = false;
  bool strict = false;  // warnings about [shell]\Setup.ini fail the pack
  LzhSettings lzh;
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

int Pack(const char* stubPath, FILE* archive, const char* archivePath, bool selfDelete, const char* finalCommand,
         const char* outPath) {
  if (strlen(finalCommand) > payload::kMaxCommandLength) {
    char length[32], limit[32];
    snprintf(length, sizeof length, "%zu", strlen(finalCommand));
    snprintf(limit, sizeof limit, "%zu", payload::kMaxCommandLength);
    return Fail("final command is %s bytes long; at most %s fit in the payload block", length, limit);
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
  if (CopySummed(archive, out.get(), &sums) < 0) return Fail("cannot copy archive %s into %s", archivePath, outPath);
  payload::WriteBlock(block, selfDelete, finalCommand, sums.column);
  if (!SeekTo(out.get(), static_cast<uint64_t>(stubSize)) ||
      fwrite(block, 1, sizeof block, out.get()) != sizeof block || !out.Keep())
    return Fail("cannot write %s", outPath);
  return 0;
}

int PackFile(const PackOptions& o) {
  File archive(o.archive, "rb");
  if (!archive.get()) return Fail("cannot read archive %s: %s", o.archive, strerror(errno));
  return Pack(o.stub, archive.get(), o.archive, o.selfDelete, o.finalCommand, o.out);
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

// Writes the format's archive of `tree` into `archive`, a scratch file
// beside the output.
int MakeArchive(const std::vector<TreeEntry>& tree, const FolderFormat& format, const PackOptions& o, File& archive) {
  std::string error;
  if (format.archive == FolderFormat::kLzh) {
    error = WriteFolderLzh(tree, archive.get(), o.lzh.method, o.lzh.level);
  } else if (format.archive == FolderFormat::kCabinet) {
    error = WriteFolderCabinet(tree, archive.get());
  } else {
    std::unique_ptr<File> cabinet;
    if (int failed = Scratch(o.out, ".cab-tmp", &cabinet)) return failed;
    error = WriteFolderCabinet(tree, cabinet->get());
    if (error.empty()) {
      if (int failed = Rewind(*cabinet)) return failed;
      if (int failed = MakeInnerProgram(o.innerProgram, *cabinet, archive)) return failed;
    }
  }
  return error.empty() ? 0 : Fail("%s", error.c_str());
}

// Packs the folder in the format's archive, then writes the built file
// and a summary line.
int PackFolder(const FolderFormat& format, const PackOptions& o) {
  auto start = std::chrono::steady_clock::now();
  std::vector<TreeEntry> tree;
  std::string error = ListFolder(o.from, &tree);
  if (!error.empty()) return Fail("%s", error.c_str());
  if (int failed = CheckPackedSetup(tree, o.strict)) return failed;
  std::unique_ptr<File> archive;
  if (int failed = Scratch(o.out, ".archive-tmp", &archive)) return failed;
  if (int failed = MakeArchive(tree, format, o, *archive)) return failed;
  uint64_t archiveSize = 0;
  if (!TellOf(archive->get(), &archiveSize)) return Fail("cannot write %s", archive->path());
  if (int failed = Rewind(*archive)) return failed;
  if (int failed = Pack(o.stub, archive->get(), archive->path(), o.selfDelete, o.finalCommand, o.out)) return failed;

  unsigned long long files = 0, bytes = 0;
  for (const TreeEntry& entry : tree)
    if (!entry.isFolder) ++files, bytes += entry.size;
  double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  printf("%s: %llu file%s, %s bytes in, %s bytes out (%.1f%%), %.2f s\n", o.out, files, files == 1 ? "" : "s",
         Grouped(bytes).c_str(), Grouped(archiveSize).c_str(),
         bytes ? 100.0 * static_cast<double>(archiveSize) / static_cast<double>(bytes) : 100.0, seconds);
  return 0;
}

// --method and --level; 0, or the usage exit code.
int ParseMethod(const char* method, LzhSettings* lzh) {
  if (strcmp(method, "lh5") == 0) lzh->method = lzh::PackMethod::kLh5;
  else if (strcmp(method, "lh6") == 0) lzh->method = lzh::PackMethod::kLh6;
  else if (strcmp(method, "lh7") == 0) lzh->method = lzh::PackMethod::kLh7;
  else if (strcmp(method, "lh0") == 0) lzh->method = lzh::PackMethod::kStored;
  else {
    fprintf(stderr, "sfxbuild: unknown method '%s' (lh5, lh6, lh7 or lh0)\n", method);
    return Usage();
  }
  return 0;
}
int ParseLevel(const char* level, LzhSettings* lzh) {
  if (level[0] < '0' || level[0] > '9' || level[1] != '\0') {
    fprintf(stderr, "sfxbuild: level '%s' is not 0 to 9\n", level);
    return Usage();
  }
  lzh->level = level[0] - '0';
  return 0;
}

// Reads the options; 0, or the usage exit code.
int ParseOptions(int argc, char** argv, PackOptions* o) {
  struct Named {
    const char* name;
    const char** value;
  } const named[] = {{"--stub", &o->stub},     {"--inner", &o->innerProgram}, {"--archive", &o->archive},
                     {"--format", &o->format}, {"--from", &o->from},          {"--final", &o->finalCommand},
                     {"-o", &o->out}};
  for (int i = 0; i < argc; ++i) {
    const char* arg = argv[i];
    bool hasValue = i + 1 < argc;
    const Named* option = nullptr;
    for (const Named& n : named)
      if (strcmp(arg, n.name) == 0 && hasValue) option = &n;
    int failed = 0;
    if (strcmp(arg, "--self-delete") == 0) o->selfDelete = true;
    else if (strcmp(arg, "--strict") == 0) o->strict = true;
    else if (option) *option->value = argv[++i];
    else if (strcmp(arg, "--method") == 0 && hasValue) failed = ParseMethod(argv[++i], &o->lzh);
    else if (strcmp(arg, "--level") == 0 && hasValue) failed = ParseLevel(argv[++i], &o->lzh);
    else {
      fprintf(stderr, "sfxbuild: unknown or incomplete option '%s'\n", arg);
      return Usage();
    }
    if (failed) return failed;
  }
  return 0;
}

}  // namespace

int PackCommand(int argc, char** argv) {
  PackOptions o;
  if (int failed = ParseOptions(argc, argv, &o)) return failed;
  if (!o.out) return Usage();
  CheckFinalCommand(o.finalCommand);
  if (o.archive) {
    if (!o.stub || o.format || o.from || o.innerProgram || o.strict) return Usage();
    return PackFile(o);
  }
  if (!o.format || !o.from) return Usage();
  const FolderFormat* chosen = nullptr;
  for (const FolderFormat& known : kFormats)
    if (strcmp(o.format, known.name) == 0) chosen = &known;
  if (!chosen) {
    fprintf(stderr, "sfxbuild: unknown format '%s' (lzh, cab, extract or exe)\n", o.format);
    return Usage();
  }
  if (o.innerProgram && chosen->archive != FolderFormat::kInnerProgram) return Usage();
  std::string foundStub, foundInner, looked;
  if (!o.stub) {
    foundStub = FindKitFile(chosen->stub, &looked);
    if (foundStub.empty())
      return Fail("stub program %s not found in %s (--stub names one)", chosen->stub, looked.c_str());
    o.stub = foundStub.c_str();
  }
  if (!o.innerProgram && chosen->archive == FolderFormat::kInnerProgram) {
    foundInner = FindKitFile("innersfx.exe", &looked);
    if (foundInner.empty()) return Fail("inner program innersfx.exe not found in %s (--inner names one)", looked.c_str());
    o.innerProgram = foundInner.c_str();
  }
  // A stub found in the kit has just been opened; one named by --stub is
  // tried before the folder is read, so a wrong name fails at once.
  if (foundStub.empty() && !File(o.stub, "rb").get())
    return Fail("stub program %s not found: %s", o.stub, strerror(errno));
  return PackFolder(*chosen, o);
}
