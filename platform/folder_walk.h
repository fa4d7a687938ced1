// Walking the entries of one folder.
#ifndef SFX_PLATFORM_FOLDER_WALK_H
#define SFX_PLATFORM_FOLDER_WALK_H

#include <windows.h>

namespace platform {

using EntryVisitor = void (*)(void* context, const WIN32_FIND_DATAA& entry, bool isFolder);

// Calls `visit` for every entry of `folder` but "." and "..". A folder
// whose pattern would not fit a path buffer has no entries.
void ForEachEntry(const char* folder, EntryVisitor visit, void* context);

// The same with any callable `visit(entry, isFolder)`. The walk itself is
// compiled once; each caller adds only a small thunk.
template <typename Visit>
void ForEachEntry(const char* folder, Visit visit) {
  ForEachEntry(
      folder,
      [](void* context, const WIN32_FIND_DATAA& entry, bool isFolder) { (*static_cast<Visit*>(context))(entry, isFolder); },
      &visit);
}

}  // namespace platform

#endif  // SFX_PLATFORM_FOLDER_WALK_H
