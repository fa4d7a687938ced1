// -lh4-, -lh5-, -lh6- and -lh7-: one decoder, instantiated per dictionary size.
//
// Data comes in blocks. Each starts with its symbol count and three code
// length sets: a small code for the lengths, the literal/length code, and
// the position code.
#include <string.h>

#include "lzh/decode.h"
#include "lzh/states.h"

namespace lzh {
namespace {

// The small code's lengths; `special` is the index after which a 2-bit
// count of zero lengths follows (the length code's habit).
Result ReadSmallLengths(uint8_t* lengths, HuffmanTable<kPreCodes, 8>& table, BitInput& in,
                        int symbols, int countBits, int special) {
  in.Refill();
  int n = static_cast<int>(in.Take(countBits));
  if (n == 0) {
    int only = static_cast<int>(in.Take(countBits));
    if (only >= symbols) return Result::kBadData;
    FillTable(table.View(), only);
    return Result::kOk;
  }
  if (n > symbols) return Result::kBadData;
  int i = 0;
  while (i < n) {
    in.Refill();
    uint32_t peek = in.Peek16();
    int length = static_cast<int>(peek >> (16 - kSmallLengthBits));
    if (length == 7) {
      // Longer lengths continue in unary: one 1 bit per step, then a 0.
      for (uint32_t mask = 1u << (15 - kSmallLengthBits); peek & mask; mask >>= 1)
        if (++length > kMaxCodeLength) return Result::kBadData;
      in.Drop(static_cast<unsigned>(length - kSmallLengthBits));
    } else {
      in.Drop(kSmallLengthBits);
    }
    lengths[i++] = static_cast<uint8_t>(length);
    if (i == special) {
      // Encoders count these zeros up to index 5 even past n, so they may
      // overrun n; the array is sized for all symbols either way.
      for (int zeros = static_cast<int>(in.Take(kPreZerosBits)); zeros > 0 && i < symbols; --zeros) lengths[i++] = 0;
    }
  }
  for (; i < symbols; ++i) lengths[i] = 0;
  TableView view = table.View();
  view.symbols = symbols;
  return BuildTable(view, lengths, symbols) ? Result::kOk : Result::kBadData;
}

template <class State>
Result ReadLiteralLengths(State* s) {
  BitInput& in = s->in;
  in.Refill();
  int n = static_cast<int>(in.Take(kLiteralCountBits));
  if (n == 0) {
    int only = static_cast<int>(in.Take(kLiteralCountBits));
    if (only >= kLiteralCodes) return Result::kBadData;
    FillTable(s->literals.View(), only);
    return Result::kOk;
  }
  if (n > kLiteralCodes) return Result::kBadData;
  int i = 0;
  while (i < n) {
    in.Refill();
    uint32_t c = s->small.Decode(in);
    if (c >= static_cast<uint32_t>(kPreCodes)) return Result::kBadData;
    if (c > 2) {
      s->literalLengths[i++] = static_cast<uint8_t>(c - 2);
      continue;
    }
    // 0, 1 and 2 are runs of unused symbols.
    int run = c == 0   ? 1
              : c == 1 ? static_cast<int>(in.Take(kShortRunBits)) + kShortRunMin
                       : static_cast<int>(in.Take(kLongRunBits)) + kLongRunMin;
    if (run > n - i) run = n - i;
    for (; run > 0; --run) s->literalLengths[i++] = 0;
  }
  for (; i < kLiteralCodes; ++i) s->literalLengths[i] = 0;
  return BuildTable(s->literals.View(), s->literalLengths, kLiteralCodes) ? Result::kOk : Result::kBadData;
}

template <class State>
Result ReadBlockCodes(State* s) {
  Result r = ReadSmallLengths(s->smallLengths, s->small, s->in, kPreCodes, kPreCountBits, kPreZerosAfter);
  if (r == Result::kOk) r = ReadLiteralLengths(s);
  if (r == Result::kOk)
    r = ReadSmallLengths(s->smallLengths, s->small, s->in, State::kPositionCodes, State::kPositionCountBits, -1);
  return r;
}

// The fast run: registers in locals, no end checks beyond one bound, as
// long as the input buffer, the window and the entry (`left` bytes) have
// room. Returns how many bytes it produced; a symbol out of range sets
// `*r` to kBadData. Forced inline, so that the loop's state stays in
// registers: left to itself, the compiler merges the identical -lh4- and
// -lh5- runs and then calls them.
template <class State>
__attribute__((always_inline)) inline size_t DecodeRun(State* s, uint32_t* blockLeft, uint64_t left, Result* r) {
  BitCursor b = s->in.cur;
  uint8_t* op = s->out.cursor();
  uint8_t* const start = op;
  size_t room = static_cast<size_t>(s->out.limit() - op);
  if (room > left) room = static_cast<size_t>(left);
  uint8_t* const stop = room > 256 ? op + (room - 256) : op;
  uint32_t symbols = *blockLeft;
  while (symbols != 0 && op < stop && b.CanRefill()) {
    b.RefillFast();
    --symbols;
    // One refill covers a whole symbol: at most 16 + 16 + 15 bits.
    uint32_t c = s->literals.Decode(b);
    if (c < static_cast<uint32_t>(kFirstMatchSymbol)) {
      *op++ = static_cast<uint8_t>(c);
      continue;
    }
    uint32_t p = s->small.Decode(b);
    if (c >= static_cast<uint32_t>(kLiteralCodes) || p >= static_cast<uint32_t>(State::kPositionCodes)) {
      *r = Result::kBadData;
      break;
    }
    // Most matches reach 8 bytes back or more. Said so, the compiler keeps
    // them on the straight path; otherwise it may lay out the one-byte
    // distance first and cost every other match a jump.
    size_t distance = __builtin_expect(p == 0, 0) ? 1 : (size_t(1) << (p - 1)) + b.Take(p - 1) + 1;
    size_t length = c - kFirstMatchSymbol + kMinMatch;
    const uint8_t* from = op - distance;
    if (__builtin_expect(distance >= 8, 1)) {
      for (size_t i = 0; i < length; i += 8) memcpy(op + i, from + i, 8);
    } else {
      for (size_t i = 0; i < length; ++i) op[i] = from[i];
    }
    op += length;
  }
  *blockLeft = symbols;
  s->in.cur = b;
  s->out.set_cursor(op);
  return static_cast<size_t>(op - start);
}

}  // namespace

template <int kDictionaryBits>
Result DecodeStatic(void* workspace, DecodeJob* job) {
  typedef StaticState<kDictionaryBits> State;
  State* s = static_cast<State*>(workspace);
  BitInput& in = s->in;
  Window& out = s->out;
  in.Start(job);
  out.Start(job, s->window, State::kHistory, ' ');

  Result r = Result::kOk;
  uint32_t blockLeft = 0;
  uint64_t left = job->originalSize;
  while (left != 0) {
    if (out.Full()) {
      if (in.error() != Result::kOk) break;
      if (!out.Flush()) { r = Result::kWriteFailed; break; }
    }
    in.Refill();
    if (blockLeft == 0) {
      blockLeft = in.Take(kBlockCountBits);
      if (blockLeft == 0) { r = Result::kBadData; break; }
      r = ReadBlockCodes(s);
      if (r != Result::kOk) break;
      in.Refill();
    }
    size_t made = DecodeRun(s, &blockLeft, left, &r);
    left -= made;
    if (r != Result::kOk) break;
    if (made != 0 || left == 0) continue;
    // Near an edge: one symbol with every check.
    if (blockLeft == 0) continue;
    in.Refill();
    --blockLeft;
    uint32_t c = s->literals.Decode(in);
    if (c < static_cast<uint32_t>(kFirstMatchSymbol)) {
      out.Put(static_cast<uint8_t>(c));
      --left;
      continue;
    }
    if (c >= static_cast<uint32_t>(kLiteralCodes)) { r = Result::kBadData; break; }
    uint32_t p = s->small.Decode(in);
    if (p >= static_cast<uint32_t>(State::kPositionCodes)) { r = Result::kBadData; break; }
    size_t distance = p == 0 ? 1 : (size_t(1) << (p - 1)) + in.Take(p - 1) + 1;
    size_t length = c - kFirstMatchSymbol + kMinMatch;
    if (length > left) length = static_cast<size_t>(left);  // a match may not run past the entry
    out.Copy(distance, length);
    left -= length;
  }
  Result input = in.Finish();
  if (r == Result::kOk) r = input;
  if (r != Result::kOk) return r;
  return out.Finish(r);
}

template Result DecodeStatic<kLh4DictBits>(void*, DecodeJob*);
template Result DecodeStatic<kLh5DictBits>(void*, DecodeJob*);
template Result DecodeStatic<kLh6DictBits>(void*, DecodeJob*);
template Result DecodeStatic<kLh7DictBits>(void*, DecodeJob*);

}  // namespace lzh
