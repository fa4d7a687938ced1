// -lh1-: LHarc's adaptive Huffman code (4 KiB dictionary).
//
// Literals and match lengths share one code whose tree is rebuilt after
// every symbol so that frequent symbols get shorter codes; positions use a
// fixed code for their top 6 bits followed by 6 plain bits.
#include <string.h>

#include "lzh/decode.h"
#include "lzh/states.h"

namespace lzh {
namespace {

typedef Lh1State S;
constexpr uint16_t kMaxFreq = 0x8000;

void StartTree(S* s) {
  for (int i = 0; i < S::kChars; ++i) {
    s->freq[i] = 1;
    s->child[i] = static_cast<uint16_t>(i + S::kNodes);
    s->parent[i + S::kNodes] = static_cast<uint16_t>(i);
  }
  for (int i = 0, j = S::kChars; j <= S::kRoot; i += 2, ++j) {
    s->freq[j] = static_cast<uint16_t>(s->freq[i] + s->freq[i + 1]);
    s->child[j] = static_cast<uint16_t>(i);
    s->parent[i] = s->parent[i + 1] = static_cast<uint16_t>(j);
  }
  s->freq[S::kNodes] = 0xFFFF;  // stops the upward search in Update
  s->parent[S::kRoot] = 0;
}

// Halves all counts once the root reaches the limit, rebuilding the tree
// the same way the encoder does.
void Rebuild(S* s) {
  int j = 0;
  for (int i = 0; i < S::kNodes; ++i)
    if (s->child[i] >= S::kNodes) {
      s->freq[j] = static_cast<uint16_t>((s->freq[i] + 1) / 2);
      s->child[j] = s->child[i];
      ++j;
    }
  for (int i = 0, j = S::kChars; j < S::kNodes; i += 2, ++j) {
    uint16_t f = static_cast<uint16_t>(s->freq[i] + s->freq[i + 1]);
    s->freq[j] = f;
    int k = j - 1;
    while (f < s->freq[k]) --k;
    ++k;
    size_t moved = static_cast<size_t>(j - k);
    memmove(&s->freq[k + 1], &s->freq[k], moved * sizeof s->freq[0]);
    s->freq[k] = f;
    memmove(&s->child[k + 1], &s->child[k], moved * sizeof s->child[0]);
    s->child[k] = static_cast<uint16_t>(i);
  }
  for (int i = 0; i < S::kNodes; ++i) {
    int k = s->child[i];
    s->parent[k] = static_cast<uint16_t>(i);
    if (k < S::kNodes) s->parent[k + 1] = static_cast<uint16_t>(i);
  }
}

void Update(S* s, int symbol) {
  if (s->freq[S::kRoot] == kMaxFreq) Rebuild(s);
  int c = s->parent[symbol + S::kNodes];
  do {
    uint16_t k = ++s->freq[c];
    int l = c + 1;
    if (k > s->freq[l]) {
      while (k > s->freq[++l]) {}
      --l;
      s->freq[c] = s->freq[l];
      s->freq[l] = k;
      int i = s->child[c];
      s->parent[i] = static_cast<uint16_t>(l);
      if (i < S::kNodes) s->parent[i + 1] = static_cast<uint16_t>(l);
      int j = s->child[l];
      s->child[l] = static_cast<uint16_t>(i);
      s->parent[j] = static_cast<uint16_t>(c);
      if (j < S::kNodes) s->parent[j + 1] = static_cast<uint16_t>(c);
      s->child[c] = static_cast<uint16_t>(j);
      c = l;
    }
    c = s->parent[c];
  } while (c != 0);
}

int DecodeChar(S* s) {
  int c = s->child[S::kRoot];
  while (c < S::kNodes) c = s->child[c + static_cast<int>(s->in.Bit())];
  c -= S::kNodes;
  Update(s, c);
  return c;
}

// The top 6 bits of a position: 1 code of 3 bits, 3 of 4, 8 of 5, 12 of 6,
// 24 of 7 and 16 of 8, assigned in order.
void BuildPositionCode(S* s) {
  static constexpr uint8_t kCounts[] = {1, 3, 8, 12, 24, 16};
  uint8_t lengths[64];
  int at = 0;
  for (int l = 0; l < 6; ++l)
    for (int i = 0; i < kCounts[l]; ++i) lengths[at++] = static_cast<uint8_t>(l + 3);
  BuildTable(s->positions.View(), lengths, 64);
}

}  // namespace

Result DecodeLh1(void* workspace, DecodeJob* job) {
  S* s = static_cast<S*>(workspace);
  s->in.Start(job);
  s->out.Start(job, s->window, S::kHistory, ' ');
  StartTree(s);
  BuildPositionCode(s);

  Result r = Result::kOk;
  uint64_t left = job->originalSize;
  while (left != 0) {
    if (s->out.Full()) {
      if (s->in.error() != Result::kOk) break;
      if (!s->out.Flush()) { r = Result::kWriteFailed; break; }
    }
    int c = DecodeChar(s);
    if (c < 256) {
      s->out.Put(static_cast<uint8_t>(c));
      --left;
      continue;
    }
    s->in.Refill();
    uint32_t top = s->positions.Decode(s->in);
    size_t distance = (top << 6 | s->in.Take(6)) + 1;
    size_t length = static_cast<size_t>(c - 253);
    if (length > left) length = static_cast<size_t>(left);
    s->out.Copy(distance, length);
    left -= length;
  }
  Result input = s->in.Finish();
  if (r == Result::kOk) r = input;
  if (r != Result::kOk) return r;
  return s->out.Finish(r);
}

}  // namespace lzh
