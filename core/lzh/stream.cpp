#include "lzh/stream.h"

namespace lzh {

void BitInput::Top() {
  size_t keep = static_cast<size_t>(cur.end - cur.p);
  base_ += static_cast<uint64_t>(cur.p - buffer_);
  memmove(buffer_, cur.p, keep);
  cur.p = buffer_;
  uint8_t* end = buffer_ + keep;
  if (left_ != 0) {
    size_t want = left_ < kBufferSize - keep ? static_cast<size_t>(left_) : kBufferSize - keep;
    size_t got = job_->source.read(job_->source.context, buffer_ + keep, want);
    if (got == Source::kError || got < want) {
      if (error_ == Result::kOk) error_ = got == Source::kError ? Result::kReadFailed : Result::kTruncated;
      left_ = 0;
      if (got == Source::kError) got = 0;
    } else {
      left_ -= got;
    }
    end += got;
  }
  if (end - cur.p < 8) {
    // Past the packed data. A decoder that needs more than the lookahead
    // holds has run off the end; stopping it here bounds the work that
    // a lying original size can cause.
    if (base_ > job_->packedSize + 8 && error_ == Result::kOk) error_ = Result::kBadData;
    memset(end, 0, 8);
    end += 8;
  }
  cur.end = end;
}

}  // namespace lzh
