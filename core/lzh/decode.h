// The decoders, looked up by the five-character method name.
#ifndef SFX_CORE_LZH_DECODE_H
#define SFX_CORE_LZH_DECODE_H

#include "lzh/format.h"
#include "lzh/lzh.h"

namespace lzh {

// One entry's packed data on its way out.
struct DecodeJob {
  Source source;          // positioned at the first packed byte
  uint64_t packedSize;
  Sink sink;
  uint64_t originalSize;
  // Filled in by the decoder:
  uint64_t packedLeft;    // packed bytes not read from `source`
  uint16_t crc;           // of the bytes handed to `sink`
};

// Decodes into `workspace` (the method's workspaceSize bytes, any content).
// Returns kOk once originalSize bytes went to the sink; the CRC is the
// caller's to compare.
typedef Result (*DecodeFn)(void* workspace, DecodeJob* job);

struct Method {
  MethodId name;
  DecodeFn decode;        // null for folder entries, which carry no data
  size_t workspaceSize;
};

// Null for a method this reader does not know.
const Method* FindMethod(const char* name);
// The largest workspace any method needs.
size_t MaxWorkspaceSize();

// The decoders themselves, for the table.
Result DecodeStored(void* workspace, DecodeJob* job);
Result DecodeLh1(void* workspace, DecodeJob* job);
template <int kDictionaryBits> Result DecodeStatic(void* workspace, DecodeJob* job);
Result DecodeLzs(void* workspace, DecodeJob* job);
Result DecodeLz5(void* workspace, DecodeJob* job);

}  // namespace lzh

#endif  // SFX_CORE_LZH_DECODE_H
