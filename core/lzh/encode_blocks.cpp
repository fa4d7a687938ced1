// The compressor's output side: collected symbols weighed as Huffman
// blocks, split where that pays, and written as bits.
#include <string.h>

#include "lzh/encode_pack.h"

namespace lzh {

using namespace packing;

namespace {

// A block is halved only while each half keeps this many symbols.
constexpr size_t kMinBlock = 1024;

}  // namespace

void Packer::Put(uint32_t value, int bits) {
  bits_ = (bits_ << bits) | value;
  bitCount_ += bits;
  if (bitCount_ >= 32) {
    bitCount_ -= 32;
    uint32_t word = static_cast<uint32_t>(bits_ >> bitCount_);
    uint8_t* p = bytes_.data() + bytesUsed_;
    p[0] = static_cast<uint8_t>(word >> 24);
    p[1] = static_cast<uint8_t>(word >> 16);
    p[2] = static_cast<uint8_t>(word >> 8);
    p[3] = static_cast<uint8_t>(word);
    bytesUsed_ += 4;
    if (bytesUsed_ + 4 > kOutSize) Drain();
  }
}

void Packer::Drain() {
  if (bytesUsed_ != 0 && !writeFailed_ && !out_.write(out_.context, bytes_.data(), bytesUsed_)) writeFailed_ = true;
  drained_ += bytesUsed_;
  bytesUsed_ = 0;
}

void Packer::FinishBits() {
  while (bitCount_ > 0) {
    int take = bitCount_ >= 8 ? 8 : bitCount_;
    bitCount_ -= take;
    uint32_t byte = static_cast<uint32_t>(bits_ >> bitCount_) << (8 - take);
    bytes_[bytesUsed_++] = static_cast<uint8_t>(byte);
    if (bytesUsed_ == kOutSize) Drain();
  }
  bitCount_ = 0;
  Drain();
}

void Packer::MakePlan(size_t begin, size_t end, Plan* plan) const {
  const int positionCodes = PositionCodes(dictBits_);
  plan->count = static_cast<uint32_t>(end - begin);
  memset(plan->literalFreq, 0, sizeof plan->literalFreq);
  memset(plan->positionFreq, 0, sizeof plan->positionFreq);
  for (size_t i = begin; i < end; ++i) {
    uint32_t s = symbols_[i];
    ++plan->literalFreq[s];
    if (s >= kFirstMatchSymbol) ++plan->positionFreq[BitLength(distances_[i])];
  }
  plan->literalUsed = MakeCodeLengths(plan->literalFreq, kLiteralCodes, plan->literalLengths, &plan->literalOnly);
  plan->positionUsed =
      MakeCodeLengths(plan->positionFreq, positionCodes, plan->positionLengths, &plan->positionOnly);
  memset(plan->positionLengths + positionCodes, 0, sizeof plan->positionLengths - positionCodes);

  plan->tokenCount = 0;
  plan->preUsed = 0;
  plan->preOnly = 0;
  memset(plan->preLengths, 0, sizeof plan->preLengths);
  int n = kLiteralCodes;
  while (n > 0 && plan->literalLengths[n - 1] == 0) --n;
  plan->literalCount = n;
  if (plan->literalUsed >= 2) {
    uint32_t preFreq[kPreCodes] = {};
    auto token = [plan, &preFreq](int symbol, int extra) {
      plan->tokens[plan->tokenCount] = static_cast<uint8_t>(symbol);
      plan->extras[plan->tokenCount++] = static_cast<uint16_t>(extra);
      ++preFreq[symbol];
    };
    for (int i = 0; i < n;) {
      if (plan->literalLengths[i] != 0) {
        token(plan->literalLengths[i++] + 2, 0);
        continue;
      }
      int run = 0;
      while (i + run < n && plan->literalLengths[i + run] == 0) ++run;
      i += run;
      if (run <= 2) {
        for (; run > 0; --run) token(0, 0);
      } else if (run < kLongRunMin - 1) {
        token(1, run - kShortRunMin);
      } else if (run == kLongRunMin - 1) {
        token(0, 0);
        token(1, run - 1 - kShortRunMin);
      } else {
        token(2, run - kLongRunMin);
      }
    }
    plan->preUsed = MakeCodeLengths(preFreq, kPreCodes, plan->preLengths, &plan->preOnly);
  }

  uint64_t bits = 0;
  PutTables(*plan, [&bits](uint32_t, int n) { bits += static_cast<uint64_t>(n); });
  for (int s = 0; s < kLiteralCodes; ++s) bits += static_cast<uint64_t>(plan->literalFreq[s]) * plan->literalLengths[s];
  for (int p = 0; p < positionCodes; ++p)
    bits += static_cast<uint64_t>(plan->positionFreq[p]) * (plan->positionLengths[p] + (p > 1 ? p - 1 : 0));
  plan->bits = bits;
}

// The block's symbol count and its three code tables, through `put`.
template <class PutFn>
void Packer::PutTables(const Plan& plan, PutFn put) const {
  const int positionCodes = PositionCodes(dictBits_);
  const int positionBits = PositionCountBits(dictBits_);
  put(plan.count, kBlockCountBits);

  // Small codes' lengths: 0..6 in three bits, longer ones as 111 and a
  // unary tail. After index `special`, two bits count the zeros that follow.
  auto putSmall = [&put](const uint8_t* lengths, int count, int countBits, int special) {
    int n = count;
    while (n > 0 && lengths[n - 1] == 0) --n;
    put(static_cast<uint32_t>(n), countBits);
    for (int i = 0; i < n;) {
      int l = lengths[i++];
      if (l <= 6) put(static_cast<uint32_t>(l), kSmallLengthBits);
      else put((1u << (l - kSmallLengthBits)) - 2, l - kSmallLengthBits);
      if (i == special) {
        int zeros = 0;
        while (zeros < 3 && i + zeros < n && lengths[i + zeros] == 0) ++zeros;
        put(static_cast<uint32_t>(zeros), kPreZerosBits);
        i += zeros;
      }
    }
  };

  if (plan.literalUsed < 2) {
    put(0, kPreCountBits);
    put(0, kPreCountBits);
    put(0, kLiteralCountBits);
    put(static_cast<uint32_t>(plan.literalOnly), kLiteralCountBits);
  } else {
    uint16_t preCodes[kPreCodes];
    MakeCodes(plan.preLengths, kPreCodes, preCodes);
    if (plan.preUsed < 2) {
      put(0, kPreCountBits);
      put(static_cast<uint32_t>(plan.preOnly), kPreCountBits);
    } else {
      putSmall(plan.preLengths, kPreCodes, kPreCountBits, kPreZerosAfter);
    }
    put(static_cast<uint32_t>(plan.literalCount), kLiteralCountBits);
    for (int t = 0; t < plan.tokenCount; ++t) {
      int s = plan.tokens[t];
      put(preCodes[s], plan.preLengths[s]);
      if (s == 1) put(plan.extras[t], kShortRunBits);
      else if (s == 2) put(plan.extras[t], kLongRunBits);
    }
  }

  if (plan.positionUsed < 2) {
    put(0, positionBits);
    put(static_cast<uint32_t>(plan.positionOnly), positionBits);
  } else {
    putSmall(plan.positionLengths, positionCodes, positionBits, -1);
  }
}

void Packer::EncodeRange(size_t begin, size_t end, const Plan& plan) {
  ++blocks_;
  PutTables(plan, [this](uint32_t value, int bits) { Put(value, bits); });
  uint16_t literalCodes[kLiteralCodes];
  uint16_t positionCodes[kMaxPositionCodes];
  MakeCodes(plan.literalLengths, kLiteralCodes, literalCodes);
  MakeCodes(plan.positionLengths, kMaxPositionCodes, positionCodes);
  for (size_t i = begin; i < end; ++i) {
    uint32_t s = symbols_[i];
    Put(literalCodes[s], plan.literalLengths[s]);
    if (s < kFirstMatchSymbol) continue;
    uint32_t v = distances_[i];
    int p = BitLength(v);
    Put(positionCodes[p], plan.positionLengths[p]);
    if (p > 1) Put(v - (1u << (p - 1)), p - 1);
  }
}

// Halves a block while the halves, code tables included, cost fewer bits:
// statistics shift inside programs (code, tables, resources, text).
// `whole` is the plan of [begin, end); each depth has its own two slots for
// the halves, so a left half's recursion leaves the right half's plan alone.
void Packer::Split(size_t begin, size_t end, const Plan& whole, int depth) {
  size_t slot = 2 * static_cast<size_t>(depth) + 1;
  if (end - begin >= 2 * kMinBlock && slot + 1 < plans_.size()) {
    size_t middle = begin + (end - begin) / 2;
    Plan& left = plans_[slot];
    Plan& right = plans_[slot + 1];
    MakePlan(begin, middle, &left);
    MakePlan(middle, end, &right);
    if (left.bits + right.bits < whole.bits) {
      Split(begin, middle, left, depth + 1);
      Split(middle, end, right, depth + 1);
      return;
    }
  }
  EncodeRange(begin, end, whole);
}

void Packer::FlushSymbols() {
  if (count_ == 0) return;
  MakePlan(0, count_, &plans_[0]);
  Split(0, count_, plans_[0], 0);
  count_ = 0;
}

}  // namespace lzh
