// How much of a private-profile file the system's calls handle on the
// Windows 95 family: no more than 32 KB of a section and about 64 KB of a
// file; beyond that they read it cut, and a write rewrites it as they read
// it, losing the rest. setup reads and writes its Setup.ini whole, without
// them. The built files append their few records of what they move into
// an installed application through them, and so, on that family, refuse a
// record whose file may pass a section's limit once they have added to it.
#ifndef SFX_CORE_SETUP_PROFILE_LIMITS_H
#define SFX_CORE_SETUP_PROFILE_LIMITS_H

#include <stdint.h>

namespace setup {

constexpr uint32_t kProfileSectionLimit95 = 32 * 1024;

// Whether a file of `size` bytes, `adding` more, stays within the calls'
// reach on the Windows 95 family: the whole file within one section's
// limit, which no section of it can then pass.
constexpr bool WithinProfileCalls95(uint32_t size, uint32_t adding) {
  return size <= kProfileSectionLimit95 && adding <= kProfileSectionLimit95 - size;
}

// A bound for what records of `files` entries whose paths below `folder`
// (of `folderLength` bytes) take `pathBytes` in all add to a Setup.ini:
// each entry's line, and at most as many lines of folders made for them.
constexpr uint32_t RecordBytesBound(uint32_t files, uint32_t pathBytes, uint32_t folderLength) {
  return 2 * (pathBytes + files * (folderLength + 16));
}

}  // namespace setup

#endif  // SFX_CORE_SETUP_PROFILE_LIMITS_H
