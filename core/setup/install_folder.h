// The installation folder that the main dialog proposes from [Root] Name,
// and the names that its browse buttons join to a chosen folder.
//
//   [Root] Name              proposed folder
//   %programs%\Tools\Viewer  <program files>\Tools\Viewer
//   %SYSTEM%\Viewer          <system folder>\Viewer (words match in any case)
//   Apps\Viewer              C:\Apps\Viewer (the system folder's drive root)
//   %temp%\Viewer            C:\%temp%\Viewer (an unknown word is no macro)
//
// The words are "%system", "%windows", "%desktop" and "%programs": the
// text from the first percent sign up to the second, found character by
// character. A name with a single percent sign is no macro either.
#ifndef SFX_CORE_SETUP_INSTALL_FOLDER_H
#define SFX_CORE_SETUP_INSTALL_FOLDER_H

#include <stddef.h>

#include "text.h"

namespace setup {

enum class FolderBase {
  kNone,  // no macro: the name follows the system drive's root
  kSystem,
  kWindows,
  kDesktop,
  kPrograms,  // ProgramFilesDir, or the Windows folder without it
};

struct FolderMacro {
  FolderBase base;
  // Where the text after the macro starts (after the second percent
  // sign); 0 without a macro, whose name is taken whole, percent signs
  // and all.
  size_t rest;
};

FolderMacro SplitFolderMacro(const char* name, text::LeadByteTest isLead = text::IsCp932LeadByte);

// The folder named by a macro: `base` followed directly by `rest`, less the
// backslash that starts `rest` when `base` already ends with one. An empty
// base (a folder the system could not give) leaves `rest` alone. When the
// folder would not fit `out` (`size` bytes), `out` is emptied and false
// returned. `out` may be `base`, not `rest`.
bool ComposeMacroFolder(char* out, size_t size, const char* base, const char* rest,
                        text::LeadByteTest isLead = text::IsCp932LeadByte);

// The folder named without a macro: the system folder up to and including
// its first backslash (nothing when it holds none) followed by the whole
// `name`. Refuses as ComposeMacroFolder does; `out` must not overlap.
bool ComposeSystemDriveFolder(char* out, size_t size, const char* systemFolder, const char* name,
                              text::LeadByteTest isLead = text::IsCp932LeadByte);

// What [Root] Name becomes once a folder is proposed: the text after the
// folder's last backslash (empty when it ends with one). Null when the
// folder holds no backslash: the name then stays as it was.
const char* RootNameFromFolder(const char* folder, text::LeadByteTest isLead = text::IsCp932LeadByte);

// Whether a chosen folder already ends with the name its button joins
// ([Root] Name, [Menu] Name): when the name's first occurrence in `path`,
// bytes compared exactly, runs to the end of `path`. So D:\MyApp ends
// with App, but D:\App\App does not.
bool PathEndsWithName(const char* path, const char* name);

// Joins `name` to `path` (a buffer of `size` bytes) with one backslash
// unless the name is empty or PathEndsWithName. False, with `path`
// emptied, when the result would not fit.
bool JoinNameUnlessPresent(char* path, size_t size, const char* name,
                           text::LeadByteTest isLead = text::IsCp932LeadByte);

}  // namespace setup

#endif  // SFX_CORE_SETUP_INSTALL_FOLDER_H
