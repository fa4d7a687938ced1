// The folder of an application's start menu:
//
//   [Menu] Named        [Menu] Name   folder
//   C:\Menus\App        (any)         C:\Menus\App (a folder chosen earlier)
//   (empty or not full) Tools\Viewer  <Programs>\Tools\Viewer
//   (empty or not full) (empty)       <Programs> itself
//   (empty or not full) ..\x, \x, a:b none: not a folder of its own below
//                                     Programs
//
// A Named that is no full path stands for a place that depends on the
// current folder, so it is passed over; without the Programs folder only
// a Named folder is known.
#ifndef SFX_CORE_SETUP_MENU_FOLDER_H
#define SFX_CORE_SETUP_MENU_FOLDER_H

#include <stddef.h>

#include "text.h"

namespace setup {

enum class MenuFolder {
  kNone,
  kNamed,           // [Menu] Named
  kPrograms,        // the Programs folder itself: no Name
  kBelowPrograms,   // Programs joined with Name
};

// The menu folder into `out` (`size` bytes, empty for kNone, which a
// result that would not fit also gives). `out` must not overlap the
// inputs.
MenuFolder ComposeMenuFolder(char* out, size_t size, const char* named, const char* name, const char* programs,
                             text::LeadByteTest isLead = text::IsCp932LeadByte);

}  // namespace setup

#endif  // SFX_CORE_SETUP_MENU_FOLDER_H
