#include "lzh/stream.h"

namespace lzh {

void BitInput::Top() {
  size_t keep = static_cast<size_t>(end_ - p_);
  base_ += static_cast<uint64_t>(p_ - buffer_);
  memmove(buffer_, p_, keep);
  p_ = buffer_;
  end_ = buffer_ + keep;
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
    end_ += got;
  }
  if (end_ - p_ < 8) {
    // Past the packed data. A decoder that needs more than the lookahead
    // holds has run off the end; stopping it here bounds the work that
    // a lying original size can cause.
    if (base_ > job_->packedSize + 8 && error_ == Result::kOk) error_ = Result::kBadData;
    memset(const_cast<uint8_t*>(end_), 0, 8);
    end_ += 8;
  }
}

}  // namespace lzh
