#include "lzh/decode.h"

#include <string.h>

#include "lzh/states.h"

namespace lzh {
namespace {

const Method kMethods[] = {
    {"-lh0-", DecodeStored, sizeof(StoredState)},
    {"-lh1-", DecodeLh1, sizeof(Lh1State)},
    {"-lh4-", DecodeStatic<12>, sizeof(StaticState<12>)},
    {"-lh5-", DecodeStatic<13>, sizeof(StaticState<13>)},
    {"-lh6-", DecodeStatic<15>, sizeof(StaticState<15>)},
    {"-lh7-", DecodeStatic<16>, sizeof(StaticState<16>)},
    {"-lhd-", nullptr, 0},
    {"-lzs-", DecodeLzs, sizeof(LarcState)},
    {"-lz4-", DecodeStored, sizeof(StoredState)},
    {"-lz5-", DecodeLz5, sizeof(LarcState)},
};

}  // namespace

const Method* FindMethod(const char* name) {
  for (const Method& m : kMethods)
    if (memcmp(m.name, name, 5) == 0) return &m;
  return nullptr;
}

size_t MaxWorkspaceSize() {
  size_t largest = 0;
  for (const Method& m : kMethods)
    if (m.workspaceSize > largest) largest = m.workspaceSize;
  return largest;
}

}  // namespace lzh
