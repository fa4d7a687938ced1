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
  void Number(uint64_t value) {
    char digits[24];
    size_t n = 0;
    do digits[n++] = static_cast<char>('0' + value % 10); while ((value /= 10) != 0);
    while (n) Char(digits[--n]);
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

struct Job {
  char args[3][kMaxPath + 1];
  EntryHeader header;
  char clean[kMaxPath + 1];
  char target[2 * kMaxPath + 2];
  size_t folderLength;
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

}  // namespace

int RunCommand(const char* command, const FileSystem& fs, const Allocator& allocator, char* reportBuffer,
               size_t reportSize) {
  Report report(reportBuffer, reportSize);
  Job* job = static_cast<Job*>(Allocate(allocator, sizeof(Job)));
  if (!job) {
    report.Text("out of memory\n");
    return static_cast<int>(Result::kNoMemory);
  }
  struct Release {
    const Allocator& allocator;
    void* block;
    ~Release() { allocator.release(allocator.context, block); }
  } release{allocator, job};

  int argc = command ? SplitArguments(command, job->args, 3) : -1;
  char verb = argc >= 1 && job->args[0][1] == '\0' ? job->args[0][0] : '\0';
  if (verb >= 'A' && verb <= 'Z') verb = static_cast<char>(verb + 32);
  bool valid = (verb == 'x' && (argc == 2 || argc == 3)) || ((verb == 'l' || verb == 't') && argc == 2);
  if (!valid) {
    report.Text("usage: x \"archive\" \"folder\" | l \"archive\" | t \"archive\"\n");
    return static_cast<int>(Result::kBadCommand);
  }

  // The target folder, without trailing separators but never emptied.
  if (verb == 'x') {
    const char* folder = argc == 3 ? job->args[2] : ".";
    size_t n = FolderLength(folder);
    memcpy(job->target, folder, n);
    job->target[n] = '\0';
    job->folderLength = n;
    if (!fs.makeFolder(fs.context, job->target)) {
      report.Text("cannot make folder ");
      report.Name(job->target, n);
      report.Char('\n');
      return static_cast<int>(Result::kWriteFailed);
    }
  }

  Source source;
  if (!fs.openArchive(fs.context, job->args[1], &source)) {
    report.Text("cannot open ");
    report.Name(job->args[1], strlen(job->args[1]));
    report.Char('\n');
    return static_cast<int>(Result::kCannotOpen);
  }
  ArchiveReader reader;
  Result first = reader.Open(source, allocator);
  uint64_t files = 0, folders = 0, failed = 0;
  EntryHeader& h = job->header;

  while (first != Result::kNoMemory) {
    Result r = reader.Next(&h);
    if (r == Result::kEndOfArchive) break;
    if (r != Result::kOk) {
      report.Text("archive: ");
      report.Text(ResultText(r));
      report.Char('\n');
      if (first == Result::kOk) first = r;
      break;
    }
    if (verb == 'l') {
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
      ++files;
      continue;
    }

    size_t cleanLength = 0;
    r = h.nameTooLong ? Result::kUnsafeName
                      : archive::CleanEntryName(h.path, h.isLink ? h.linkAt : h.pathLength, '/', job->clean,
                                                &cleanLength);
    if (r == Result::kOk && h.isLink) r = Result::kLinkSkipped;
    if (r == Result::kOk && !h.IsDirectory() && !FindMethod(h.method)) r = Result::kUnsupportedMethod;

    if (r == Result::kOk && verb == 't') {
      r = reader.Extract(Sink{nullptr, Discard});
      if (r == Result::kOk && h.IsDirectory()) ++folders;
      else if (r == Result::kOk) ++files;
    } else if (r == Result::kOk) {
      // Folders along the way, then the entry itself.
      char* target = job->target;
      size_t base = job->folderLength;
      if (base == 1 && (target[0] == '/' || target[0] == '\\')) base = 0;  // the root: no second separator
      target[base] = fs.separator;
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
      if (r == Result::kOk && h.IsDirectory()) {
        if (fs.makeFolder(fs.context, target)) ++folders;
        else r = Result::kWriteFailed;
      } else if (r == Result::kOk) {
        Sink sink;
        if (!fs.createFile(fs.context, target, &sink)) {
          r = Result::kWriteFailed;
        } else {
          r = reader.Extract(sink);
          // A file that did not decode whole is not left behind.
          if (!fs.closeFile(fs.context, &sink, r == Result::kOk) && r == Result::kOk) r = Result::kWriteFailed;
          if (r == Result::kOk) ++files;
        }
      }
      target[job->folderLength] = '\0';
    }

    if (r != Result::kOk) {
      ++failed;
      report.Name(h.path, h.isLink ? h.linkAt : h.pathLength);
      report.Text(": ");
      report.Text(ResultText(r));
      if (r == Result::kUnsupportedMethod) {
        report.Char(' ');
        report.Name(h.method, 5);
      }
      report.Char('\n');
      if (first == Result::kOk) first = r;
    }
  }

  if (first == Result::kNoMemory) report.Text("out of memory\n");
  reader.Close();
  fs.closeArchive(fs.context, &source);

  if (verb == 'l') {
    report.Number(files);
    report.Text(" entries\n");
  } else {
    report.Number(files);
    report.Text(verb == 'x' ? " files, " : " files tested, ");
    report.Number(folders);
    report.Text(" folders");
    if (failed) {
      report.Text(", ");
      report.Number(failed);
      report.Text(" failed");
    }
    report.Char('\n');
  }
  return static_cast<int>(first);
}

}  // namespace lzh
