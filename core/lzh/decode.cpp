#include "lzh/decode.h"

#include <string.h>

#include "lzh/format.h"
#include "lzh/states.h"

namespace lzh {
namespace {

const Method kMethods[] = {
    {kMethodStored, DecodeStored, sizeof(StoredState)},
    {kMethodLh1, DecodeLh1, sizeof(Lh1State)},
    {kMethodLh4, DecodeStatic<kLh4DictBits>, sizeof(StaticState<kLh4DictBits>)},
    {kMethodLh5, DecodeStatic<kLh5DictBits>, sizeof(StaticState<kLh5DictBits>)},
    {kMethodLh6, DecodeStatic<kLh6DictBits>, sizeof(StaticState<kLh6DictBits>)},
    {kMethodLh7, DecodeStatic<kLh7DictBits>, sizeof(StaticState<kLh7DictBits>)},
    {kMethodFolder, nullptr, 0},
    {kMethodLzs, DecodeLzs, sizeof(LarcState)},
    {kMethodLz4, DecodeStored, sizeof(StoredState)},
    {kMethodLz5, DecodeLz5, sizeof(LarcState)},
};

}  // namespace

const Method* FindMethod(const char* name) {
  for (const Method& m : kMethods)
    if (memcmp(m.name, name, kMethodLength) == 0) return &m;
  return nullptr;
}

size_t MaxWorkspaceSize() {
  size_t largest = 0;
  for (const Method& m : kMethods)
    if (m.workspaceSize > largest) largest = m.workspaceSize;
  return largest;
}

}  // namespace lzh
