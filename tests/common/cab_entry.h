// Cabinet entries for tests on either side: the host writer's round trips
// and the Windows readers' tests.
#ifndef SFX_TESTS_COMMON_CAB_ENTRY_H
#define SFX_TESTS_COMMON_CAB_ENTRY_H

#include <string>

#include "cab/cab_writer.h"

// A file of `data` stored as `name`, stamped with an MS-DOS date and time.
inline cab::FileEntry CabFile(const std::string& name, const std::string& data, uint16_t date, uint16_t time = 0) {
  cab::FileEntry entry;
  entry.name = name;
  entry.size = static_cast<uint32_t>(data.size());
  entry.data = data;
  entry.date = date;
  entry.time = time;
  return entry;
}

#endif  // SFX_TESTS_COMMON_CAB_ENTRY_H
