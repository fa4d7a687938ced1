#include "lzh/command.h"

#include <string.h>

#include "command_line.h"
#include "entry_name.h"
#include "lzh/archive.h"
#include "text.h"

namespace lzh {
namespace {

class Report {
 public:
  Report(char* buffer, size_t size) : buffer_(buffer), size_(size), used_(0) {
    if (size_) buffer_[0] = '\0';
  }
  void Text(const char* text) { Bytes(text, strlen(text)); }
  void Bytes(const char* data, size_t length) {
    for (size_t i = 0; i < length; ++i) Char(data[i]);
  }
  // Archive names may carry terminal escapes; control bytes become '?'.
  // Bytes from 0x80 up pass unchanged, so code page 932 names stay readable.
  void Name(const char* data, size_t length) {
    for (size_t i = 0; i < length; ++i) {
      unsigned char c = static_cast<unsigned char>(data[i]);
      Char(c < 0x20 || c == 0x7F ? '?' : data[i]);
    }
  }
  // Doubles a decimal number once per bit: 64-bit division would bring
  // libgcc's helpers and their unwind tables into lzhdec32.dll.
  void Number(uint64_t value) {
    char digits[20] = {};  // least significant first
    for (int bit = 63; bit >= 0; --bit) {
      char carry = static_cast<char>(value >> bit & 1);
      for (char& d : digits) {
        d = static_cast<char>(d * 2 + carry);
        carry = d >= 10;
        if (carry) d = static_cast<char>(d - 10);
      }
    }
    size_t n = sizeof digits;
    while (n > 1 && digits[n - 1] == 0) --n;
    while (n) Char(static_cast<char>('0' + digits[--n]));
  }
  void Char(char c) {
    if (used_ + 1 >= size_) return;
    buffer_[used_++] = c;
    buffer_[used_] = '\0';
  }

 private:
  char* buffer_;
  size_t size_;
  size_t used_;
};

// Splits the command text. Returns the number of arguments found (at most
// `max`), or -1 when a quote is left open, an argument does not fit or
// there are more than `max`.
int SplitArguments(const char* text, char (*args)[kMaxPath + 1], int max) {
  for (int count = 0;; ++count) {
    char extra[2];
    Argument taken = count < max ? NextArgument(&text, args[count], kMaxPath + 1) : NextArgument(&text, extra, sizeof extra);
    if (taken == Argument::kNone) return count;
    if (taken != Argument::kTaken || count == max) return -1;
  }
}

bool Discard(void*, const uint8_t*, size_t) { return true; }

// One command's state, allocated as one block: the paths are too large for
// the small stacks of the programs that call the DLL. The small fields
// come first, where the DLL's code reaches them with one-byte offsets.
struct Job {
  uint64_t files, folders, failed;
  size_t folderLength;
  int argc;
  char verb;  // 'x', 'l' or 't'
  char args[3][kMaxPath + 1];
  EntryHeader header;
  char clean[kMaxPath + 1];
  char target[2 * kMaxPath + 2];
};

void* Allocate(const Allocator& a, size_t size) { return a.allocate(a.context, size); }

// The folder's length without its trailing separators. The last byte of a
// code page 932 character may be 0x5C ('\\'); cutting it would name another
// folder, so the text is scanned from the front. A folder that is only a
// separator keeps it, and entries then join it without a second one: "\\"
// followed by "\\name" would be a network path.
size_t FolderLength(const char* folder) {
  size_t keep = 0;
  for (size_t i = 0; folder[i] != '\0'; ++i) {
    char c = folder[i];
    bool lead = text::IsCp932LeadByte(static_cast<uint8_t>(c)) && folder[i + 1] != '\0';
    if (lead) ++i;
    if (lead || (c != '/' && c != '\\')) keep = i + 1;
  }
  return keep == 0 && folder[0] != '\0' ? 1 : keep;
}

// Splits the command into the job's verb and arguments; false when it is
// no command of this layer.
bool ParseCommand(const char* command, Job* job) {
  int argc = command ? SplitArguments(command, job->args, 3) : -1;
  char verb = argc >= 1 && job->args[0][1] == '\0' ? job->args[0][0] : '\0';
  if (verb >= 'A' && verb <= 'Z') verb = static_cast<char>(verb + 32);
  job->argc = argc;
  job->verb = verb;
  return (verb == 'x' && (argc == 2 || argc == 3)) || ((verb == 'l' || verb == 't') && argc == 2);
}

// Makes the target folder: the third argument, or the current folder,
// without trailing separators but never emptied.
bool MakeTarget(const FileSystem& fs, Job* job) {
  const char* folder = job->argc == 3 ? job->args[2] : ".";
  size_t n = FolderLength(folder);
  memcpy(job->target, folder, n);
  job->target[n] = '\0';
  job->folderLength = n;
  return fs.makeFolder(fs.context, job->target);
}

void ListEntry(const EntryHeader& h, Report& report) {
  report.Text(h.method);
  report.Char(' ');
  report.Number(h.originalSize);
  report.Char(' ');
  report.Name(h.path, h.isLink ? h.linkAt : h.pathLength);
  if (h.isLink) {
    report.Text(" -> ");
    report.Name(h.path + h.linkAt + 1, h.pathLength - h.linkAt - 1);
  }
  report.Char('\n');
}

// Whether the current entry may be tested or extracted; its cleaned name
// goes to job->clean.
Result CheckEntry(Job* job, size_t* cleanLength) {
  const EntryHeader& h = job->header;
  *cleanLength = 0;
  Result r = h.nameTooLong ? Result::kUnsafeName
                           : archive::CleanEntryName(h.path, h.isLink ? h.linkAt : h.pathLength, '/', job->clean,
                                                     cleanLength);
  if (r == Result::kOk && h.isLink) r = Result::kLinkSkipped;
  if (r == Result::kOk && !h.IsDirectory() && !FindMethod(h.method)) r = Result::kUnsupportedMethod;
  return r;
}

// Decodes the current entry, whose header is `h`, into a new file at `path`.
Result ExtractFile(ArchiveReader& reader, const FileSystem& fs, const char* path, const EntryHeader& h) {
  Sink sink;
  if (!fs.createFile(fs.context, path, &sink)) return Result::kWriteFailed;
  Result r = reader.Extract(sink);
  EntryTime time{h.hasUnixTime, h.unixTime, h.dosTime};
  // A file that did not decode whole is not left behind.
  if (!fs.closeFile(fs.context, &sink, r == Result::kOk, time) && r == Result::kOk) r = Result::kWriteFailed;
  return r;
}

// Extracts the current entry below the target folder: the folders along
// the way, then the entry itself.
Result ExtractEntry(ArchiveReader& reader, const FileSystem& fs, Job* job, size_t cleanLength) {
  char* target = job->target;
  size_t base = job->folderLength;
  if (base == 1 && (target[0] == '/' || target[0] == '\\')) base = 0;  // the root: no second separator
  target[base] = fs.separator;
  Result r = Result::kOk;
  for (size_t i = 0; i < cleanLength; ++i) {
    if (job->clean[i] != '/') {
      target[base + 1 + i] = job->clean[i];
      continue;
    }
    target[base + 1 + i] = '\0';
    if (!fs.makeFolder(fs.context, target)) r = Result::kWriteFailed;
    target[base + 1 + i] = fs.separator;
  }
  target[base + 1 + cleanLength] = '\0';
  if (r == Result::kOk && job->header.IsDirectory()) {
    if (!fs.makeFolder(fs.context, target)) r = Result::kWriteFailed;
  } else if (r == Result::kOk) {
    r = ExtractFile(reader, fs, target, job->header);
  }
  target[job->folderLength] = '\0';
  return r;
}

void ReportFailure(const EntryHeader& h, Result r, Report& report) {
  report.Name(h.path, h.isLink ? h.linkAt : h.pathLength);
  report.Text(": ");
  report.Text(ResultText(r));
  if (r == Result::kUnsupportedMethod) {
    report.Char(' ');
    report.Name(h.method, 5);
  }
  report.Char('\n');
}

// Tests or extracts the current entry and counts it.
Result ProcessEntry(ArchiveReader& reader, const FileSystem& fs, Job* job, Report& report) {
  size_t cleanLength;
  Result r = CheckEntry(job, &cleanLength);
  if (r == Result::kOk && job->verb == 't') r = reader.Extract(Sink{nullptr, Discard});
  else if (r == Result::kOk) r = ExtractEntry(reader, fs, job, cleanLength);
  if (r == Result::kOk && job->header.IsDirectory()) ++job->folders;
  else if (r == Result::kOk) ++job->files;
  if (r != Result::kOk) {
    ++job->failed;
    ReportFailure(job->header, r, report);
  }
  return r;
}

// Goes through the entries of the open archive; the first failure.
Result WalkArchive(ArchiveReader& reader, const FileSystem& fs, Job* job, Report& report, Result first) {
  while (first != Result::kNoMemory) {
    Result r = reader.Next(&job->header);
    if (r == Result::kEndOfArchive) break;
    if (r != Result::kOk) {
      report.Text("archive: ");
      report.Text(ResultText(r));
      report.Char('\n');
      if (first == Result::kOk) first = r;
      break;
    }
    if (job->verb == 'l') {
      ListEntry(job->header, report);
      ++job->files;
      continue;
    }
    r = ProcessEntry(reader, fs, job, report);
    if (first == Result::kOk) first = r;
  }
  if (first == Result::kNoMemory) report.Text("out of memory\n");
  return first;
}

void ReportSummary(const Job& job, Report& report) {
  report.Number(job.files);
  if (job.verb == 'l') {
    report.Text(" entries\n");
    return;
  }
  report.Text(job.verb == 'x' ? " files, " : " files tested, ");
  report.Number(job.folders);
  report.Text(" folders");
  if (job.failed) {
    report.Text(", ");
    report.Number(job.failed);
    report.Text(" failed");
  }
  report.Char('\n');
}

// Runs the parsed command of `job`.
Result Run(const FileSystem& fs, const Allocator& allocator, Job* job, Report& report) {
  if (job->verb == 'x' && !MakeTarget(fs, job)) {
    report.Text("cannot make folder ");
    report.Name(job->target, job->folderLength);
    report.Char('\n');
    return Result::kWriteFailed;
  }
  Source source;
  if (!fs.openArchive(fs.context, job->args[1], &source)) {
    report.Text("cannot open ");
    report.Name(job->args[1], strlen(job->args[1]));
    report.Char('\n');
    return Result::kCannotOpen;
  }
  ArchiveReader reader;
  Result first = WalkArchive(reader, fs, job, report, reader.Open(source, allocator));
  reader.Close();
  fs.closeArchive(fs.context, &source);
  ReportSummary(*job, report);
  return first;
}

}  // namespace

int RunCommand(const char* command, const FileSystem& fs, const Allocator& allocator, char* reportBuffer,
               size_t reportSize) {
  Report report(reportBuffer, reportSize);
  Job* job = static_cast<Job*>(Allocate(allocator, sizeof(Job)));
  if (!job) {
    report.Text("out of memory\n");
    return static_cast<int>(Result::kNoMemory);
  }
  Result r = Result::kBadCommand;
  if (ParseCommand(command, job)) {
    job->files = job->folders = job->failed = 0;
    r = Run(fs, allocator, job, report);
  } else {
    report.Text("usage: x \"archive\" \"folder\" | l \"archive\" | t \"archive\"\n");
  }
  allocator.release(allocator.context, job);
  return static_cast<int>(r);
}

}  // namespace lzh
