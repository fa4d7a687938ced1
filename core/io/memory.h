// A Sink that collects what it is given in memory, for tests and host
// tools that write an archive to memory. Not for what ships: it grows a
// std::string.
#ifndef SFX_CORE_IO_MEMORY_H
#define SFX_CORE_IO_MEMORY_H

#include <string>

#include "io/io.h"

namespace io {

struct MemorySink {
  std::string bytes;
  // A sink that appends to `bytes` and rewrites what it already holds; this
  // object must outlive its use.
  Sink sink();
};

}  // namespace io

#endif  // SFX_CORE_IO_MEMORY_H
