// Places that an uninstall can be told to take away although they belong
// to the whole system, not to the application: registry keys where
// Windows and every other program keep their settings, and the Windows
// and system folders. setup refuses to delete such keys, and the builder
// asks the same questions to warn a description's author before it ships.
//
//   [Reg] Erase0=HKEY_LOCAL_MACHINE\SOFTWARE\Microsoft   the key, whole
//   [Registry] Company=Microsoft  (Name empty)            SOFTWARE\Microsoft, whole
//   [Del] 0=%windows%\*.*                                  files of the Windows folder
//   [Ext0] Kind=Folder                                     the shell's class of every folder
#ifndef SFX_CORE_SETUP_SHARED_PLACES_H
#define SFX_CORE_SETUP_SHARED_PLACES_H

#include "setup/registry_line.h"
#include "text.h"

namespace setup {

// Whether deleting the key `path` below `root` (backslash-separated; empty
// for the root key itself) takes away one the system shares: a root key,
// one of the system's own keys (SOFTWARE\Microsoft\Windows\CurrentVersion,
// SOFTWARE\Classes\CLSID, SYSTEM\CurrentControlSet, ...) or a key above
// one (SOFTWARE, SOFTWARE\Microsoft, SOFTWARE\Classes). Names are
// compared without regard to case; empty segments are passed over.
// HKEY_CLASSES_ROOT is read as SOFTWARE\Classes of the machine.
bool IsSharedSystemKey(RootKey root, const char* path, text::LeadByteTest isLead = text::IsCp932LeadByte);

// Whether an Erase line of [Reg] deletes such a key. A line that setup
// skips or refuses deletes nothing.
bool ErasesSharedSystemKey(const char* line, text::LeadByteTest isLead = text::IsCp932LeadByte);

// Whether an association's class or extension (a key path below
// HKEY_CLASSES_ROOT, Kind or Ext of an [Ext<n>] section) is one of the
// shell's own classes above, or lies inside one: "*", "Folder",
// "exefile\shell", ".lnk". An empty name (the classes root) is too.
// setup leaves such a section alone.
bool IsSharedClass(const char* name, text::LeadByteTest isLead = text::IsCp932LeadByte);

// Whether the settings key that the uninstall deletes whole for [Registry]
// `company` and `name` (SOFTWARE\company\name, or SOFTWARE\company when
// `name` is empty, of the user and of the machine) is such a key. An empty
// `company` deletes nothing.
bool RemovesSharedSettingsKey(const char* company, const char* name,
                              text::LeadByteTest isLead = text::IsCp932LeadByte);

// Where the files of a [Del] pattern lie.
enum class DeleteReach {
  kInstallation,   // below the installation folder
  kSystemFolders,  // the Windows or the system folder (%windows%, %system%)
  kElsewhere,      // a full path, the program-files folder, or ".." above the installation
};
DeleteReach ReachOfDeletePattern(const char* pattern, text::LeadByteTest isLead = text::IsCp932LeadByte);

}  // namespace setup

#endif  // SFX_CORE_SETUP_SHARED_PLACES_H
