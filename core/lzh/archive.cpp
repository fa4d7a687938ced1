#include "lzh/archive.h"

#include <string.h>

#include "bytes.h"
#include "lzh/format.h"

namespace lzh {

ArchiveReader::ArchiveReader()
    : outer_(), source_(), ahead_(nullptr), aheadAt_(0), aheadEnd_(0), aheadFailed_(false), allocator_(), scratch_(nullptr), workspace_(nullptr), broken_(Result::kOk),
      hasEntry_(false), seenEntry_(false), method_(), packedSize_(0), originalSize_(0), crc_(0), dataLeft_(0) {}

Result ArchiveReader::Open(const Source& source, const Allocator& allocator) {
  Close();
  outer_ = source;
  source_ = Source{this, ReadThrough, SkipThrough};
  allocator_ = allocator;
  scratch_ = static_cast<uint8_t*>(allocator.allocate(allocator.context, kMaxHeader));
  ahead_ = static_cast<uint8_t*>(allocator.allocate(allocator.context, kScanSize));
  broken_ = scratch_ && ahead_ ? Result::kOk : Result::kNoMemory;
  seenEntry_ = false;
  if (broken_ == Result::kOk) FindFirstHeader();
  return broken_;
}

namespace {

// Whether the header at `p` names a method this reader knows.
bool KnownMethod(const uint8_t* p) {
  char name[kMethodLength + 1] = {};
  memcpy(name, p + kMethodAt, kMethodLength);
  return FindMethod(name) != nullptr;
}

// Whether a header plausibly starts at `p` (with `size` bytes available).
bool LooksLikeHeader(const uint8_t* p, size_t size) {
  const uint8_t* method = p + kMethodAt;
  if (size < kLevel01MinSize || method[0] != '-' || method[1] != 'l' || method[kMethodLength - 1] != '-')
    return false;
  switch (p[kLevelAt]) {
    case 0:
    case 1: {
      size_t total = static_cast<size_t>(p[kSizeAt]) + 2;
      if (p[kSizeAt] == 0 || total < kLevel01MinSize || total > size) return false;
      return Level01Sum(p, total) == p[kSumAt];
    }
    case 2:
      return bytes::GetLe16(p + kSizeAt) >= kLevel2FixedSize && KnownMethod(p);
    case 3:
      return bytes::GetLe16(p + kSizeAt) == kLevel3WordSize && KnownMethod(p);
    default:
      return false;
  }
}

}  // namespace

// Reads ahead and starts at the first place a header could begin; an
// archive that starts at once is found at offset 0.
void ArchiveReader::FindFirstHeader() {
  size_t got = 0;
  while (got < kScanSize) {
    size_t n = outer_.read(outer_.context, ahead_ + got, kScanSize - got);
    if (n == Source::kError) {
      aheadFailed_ = true;
      break;
    }
    if (n == 0) break;
    got += n;
  }
  aheadAt_ = 0;
  aheadEnd_ = got;
  if (got == 0 || LooksLikeHeader(ahead_, got) || ahead_[0] == 0) return;
  for (size_t i = 1; i + kLevel01MinSize <= got; ++i)
    if (LooksLikeHeader(ahead_ + i, got - i)) {
      aheadAt_ = i;
      return;
    }
}

size_t ArchiveReader::ReadThrough(void* context, uint8_t* buffer, size_t size) {
  ArchiveReader* self = static_cast<ArchiveReader*>(context);
  size_t done = 0;
  if (self->aheadAt_ < self->aheadEnd_) {
    done = self->aheadEnd_ - self->aheadAt_;
    if (done > size) done = size;
    memcpy(buffer, self->ahead_ + self->aheadAt_, done);
    self->aheadAt_ += done;
  }
  if (done == size) return done;
  if (self->aheadFailed_) return done ? done : Source::kError;
  size_t more = self->outer_.read(self->outer_.context, buffer + done, size - done);
  if (more == Source::kError) return done ? done : Source::kError;
  return done + more;
}

bool ArchiveReader::SkipThrough(void* context, uint64_t size) {
  ArchiveReader* self = static_cast<ArchiveReader*>(context);
  size_t buffered = self->aheadEnd_ - self->aheadAt_;
  if (size <= buffered) {
    self->aheadAt_ += static_cast<size_t>(size);
    return true;
  }
  self->aheadAt_ = self->aheadEnd_;
  return io::SkipBytes(self->outer_, size - buffered) == Result::kOk;
}

void ArchiveReader::Close() {
  if (scratch_) allocator_.release(allocator_.context, scratch_);
  if (workspace_) allocator_.release(allocator_.context, workspace_);
  if (ahead_) allocator_.release(allocator_.context, ahead_);
  ahead_ = nullptr;
  aheadAt_ = aheadEnd_ = 0;
  scratch_ = nullptr;
  workspace_ = nullptr;
  hasEntry_ = false;
  dataLeft_ = 0;
}

Result ArchiveReader::SkipRest() {
  if (dataLeft_ == 0) return Result::kOk;
  Result r = io::SkipBytes(source_, dataLeft_);
  dataLeft_ = 0;
  return r;
}

Result ArchiveReader::Next(EntryHeader* header) {
  if (broken_ != Result::kOk) return broken_;
  hasEntry_ = false;
  Result r = SkipRest();
  if (r == Result::kOk) r = ReadHeader(source_, scratch_, header);
  // An empty input is not an empty archive: that still has its end mark.
  if (r == Result::kEndOfArchive && !seenEntry_ && aheadEnd_ == 0) r = Result::kTruncated;
  if (r == Result::kEndOfArchive) return r;
  if (r != Result::kOk) {
    broken_ = r;
    return r;
  }
  hasEntry_ = true;
  seenEntry_ = true;
  memcpy(method_, header->method, sizeof method_);
  packedSize_ = header->packedSize;
  originalSize_ = header->originalSize;
  crc_ = header->crc;
  dataLeft_ = header->packedSize;
  return Result::kOk;
}

Result ArchiveReader::Extract(const Sink& sink) {
  if (broken_ != Result::kOk) return broken_;
  if (!hasEntry_ || dataLeft_ != packedSize_) return Result::kBadCommand;
  const Method* method = FindMethod(method_);
  if (!method) return Result::kUnsupportedMethod;
  if (!method->decode) return Result::kOk;
  if (!workspace_) {
    workspace_ = allocator_.allocate(allocator_.context, MaxWorkspaceSize());
    if (!workspace_) return Result::kNoMemory;
  }
  DecodeJob job;
  job.source = source_;
  job.packedSize = packedSize_;
  job.sink = sink;
  job.originalSize = originalSize_;
  job.packedLeft = packedSize_;
  job.crc = 0;
  Result r = method->decode(workspace_, &job);
  dataLeft_ = job.packedLeft;
  if (r == Result::kTruncated || r == Result::kReadFailed) {
    broken_ = r;  // the next header's position is lost with the data
    return r;
  }
  if (r == Result::kOk && job.crc != crc_) r = Result::kCrcMismatch;
  return r;
}

}  // namespace lzh
