#include "io/memory.h"

#include <string.h>

namespace io {
namespace {

bool Append(void* context, const uint8_t* data, size_t size) {
  static_cast<MemorySink*>(context)->bytes.append(reinterpret_cast<const char*>(data), size);
  return true;
}

bool Rewrite(void* context, uint64_t offset, const uint8_t* data, size_t size) {
  std::string& bytes = static_cast<MemorySink*>(context)->bytes;
  if (offset > bytes.size() || size > bytes.size() - offset) return false;
  if (size) memcpy(&bytes[static_cast<size_t>(offset)], data, size);
  return true;
}

}  // namespace

Sink MemorySink::sink() { return Sink{this, Append, Rewrite}; }

}  // namespace io
