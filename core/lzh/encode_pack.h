// The -lh5-/-lh6-/-lh7- compressor behind LzhWriter (internal): hash-chain
// match finding with lazy evaluation, static Huffman blocks.
#ifndef SFX_CORE_LZH_ENCODE_PACK_H
#define SFX_CORE_LZH_ENCODE_PACK_H

#include <vector>

#include "lzh/encode.h"
#include "lzh/format.h"

namespace lzh {

// Shared by the compressor's files: encode_pack.cpp finds matches,
// encode_blocks.cpp writes them as blocks, encode_codes.cpp makes codes.
namespace packing {

constexpr size_t kOutSize = 1 << 16;  // packed bytes gathered before they go to the sink

inline int BitLength(uint32_t v) { return v == 0 ? 0 : 32 - __builtin_clz(v); }

// Canonical codes: by length, then by symbol, as the decoder assigns them.
void MakeCodes(const uint8_t* lengths, int count, uint16_t* codes);

}  // namespace packing

struct PackResult {
  uint64_t packedSize = 0;  // bytes handed to the sink
  uint16_t crc = 0;         // of every byte read
  bool gaveUp = false;      // output passed the limit; nothing more was packed
};

// Code lengths of at most 16 bits forming a complete code over the symbols
// with a nonzero count (`count` at most 510). Returns how many symbols are
// used; with fewer than two, all lengths are 0 and `*only` names the used
// symbol (0 when none is).
int MakeCodeLengths(const uint32_t* freq, int count, uint8_t* lengths, int* only);

class Packer {
 public:
  Packer();

  // Reads `size` bytes from `data` (kSizeChanged when it ends early,
  // kReadFailed when reading fails) and packs them into `out` with a window
  // of 2^dictBits bytes (13, 15 or 16). Once more than `limit` bytes were
  // packed it stops packing but still reads to the end, so the CRC covers
  // the whole input. Surplus input past `size` is the caller's to detect.
  Result Pack(int dictBits, int level, const Source& data, uint64_t size, uint64_t limit, const Sink& out,
              PackResult* result);

  // How many symbols are collected before they go out as one or more
  // blocks, 1 to 65535 (the block header's 16 bits); for tests.
  // Blocks written by the last Pack; for tests.
  uint64_t blocks() const { return blocks_; }
  void set_block_limit(size_t symbols) { blockLimit_ = symbols < 1 ? 1 : symbols > 65535 ? 65535 : symbols; }

 private:
  struct Level {
    int chain;  // candidates tried per position
    int lazy;   // a match this long is taken without looking one byte on
    int nice;   // a match this long ends the search
    int good;   // past a match this long, the lazy look tries a quarter of the chain
  };
  static Level LevelFor(int level);
  struct Scan;

  void Start(int dictBits, int level, const Sink& out);
  Result Fill(const Source& data, Scan* scan);
  void FindMatches(const Level& level, Scan* scan);
  Result ReadRest(const Source& data, Scan* scan);
  void Insert(uint32_t pos);
  void Slide(uint32_t shift);
  uint32_t Longest(uint32_t pos, uint32_t cand, uint32_t maxLength, int chain, uint32_t best, uint32_t* distance);
  void EmitLiteral(uint8_t c);
  void EmitMatch(uint32_t length, uint32_t distance);
  // Everything a block's header says, worked out before a bit is written,
  // so that its cost can be weighed against splitting the block.
  struct Plan {
    uint32_t count;
    uint32_t literalFreq[kLiteralCodes];
    uint32_t positionFreq[kMaxPositionCodes];
    uint8_t literalLengths[kLiteralCodes];
    uint8_t positionLengths[kMaxPositionCodes];
    uint8_t preLengths[kPreCodes];
    int literalUsed, literalOnly, positionUsed, positionOnly, preUsed, preOnly;
    int literalCount;  // the literal code's lengths sent, trailing zeros cut
    // The literal code's lengths as pre-code symbols: 0 one unused symbol,
    // 1 a run of 3..18, 2 a run of 20..530, n + 2 a length n.
    uint8_t tokens[kLiteralCodes];
    uint16_t extras[kLiteralCodes];
    int tokenCount;
    uint64_t bits;  // the whole block's size
  };
  void MakePlan(size_t begin, size_t end, Plan* plan) const;
  template <class PutFn> void PutTables(const Plan& plan, PutFn put) const;
  void EncodeRange(size_t begin, size_t end, const Plan& plan);
  void Split(size_t begin, size_t end, const Plan& whole, int depth);
  void FlushSymbols();

  void Put(uint32_t value, int bits);
  void Drain();
  void FinishBits();

  // Window and lookahead; positions index this buffer.
  std::vector<uint8_t> buffer_;
  std::vector<uint32_t> head_;
  std::vector<uint32_t> prev_;
  uint32_t maxDistance_ = 0;
  uint32_t niceLength_ = kMaxMatch;
  int dictBits_ = kLh7DictBits;

  // The block being collected.
  std::vector<uint16_t> symbols_;
  std::vector<uint16_t> distances_;  // distance - 1, for match symbols
  size_t count_ = 0;
  uint64_t blocks_ = 0;
  size_t blockLimit_;
  std::vector<Plan> plans_;  // the collected symbols', then two per depth of splitting

  // Bits on their way to the sink.
  Sink out_;
  std::vector<uint8_t> bytes_;
  size_t bytesUsed_ = 0;
  uint64_t bits_ = 0;
  int bitCount_ = 0;
  uint64_t drained_ = 0;
  bool writeFailed_ = false;
};

}  // namespace lzh

#endif  // SFX_CORE_LZH_ENCODE_PACK_H
