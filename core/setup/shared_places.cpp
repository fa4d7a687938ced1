#include "setup/shared_places.h"

#include <string.h>

#include "setup/path_rules.h"
#include "setup/resolve_path.h"

namespace setup {
namespace {

// Keys of the system below HKEY_LOCAL_MACHINE and HKEY_CURRENT_USER alike.
const char* const kCommonKeys[] = {
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders",
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run",
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall",
    "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion",
    "SOFTWARE\\Policies",
};
const char* const kMachineKeys[] = {"SYSTEM\\CurrentControlSet", "HARDWARE", "SAM", "SECURITY"};
const char* const kUserKeys[] = {"Control Panel", "Environment"};
// Below SOFTWARE\Classes, which HKEY_CLASSES_ROOT shows: the classes the
// shell itself runs on. Each is one key below the classes root.
const char* const kClassKeys[] = {
    "CLSID",   "Interface", "TypeLib", "AppID",   "*",       "Directory", "Folder",  "Drive",
    "exefile", ".exe",      "lnkfile", ".lnk",    "batfile", ".bat",      "comfile", ".com",
    "cmdfile", ".cmd",      "piffile", ".pif",    "scrfile", ".scr",      "Unknown", "AllFilesystemObjects",
    "Applications", "SystemFileAssociations"};
const char kClasses[] = "SOFTWARE\\Classes";

// The non-empty segments of up to three texts read as one path.
class Segments {
 public:
  Segments(text::LeadByteTest isLead, const char* first, const char* second = "", const char* third = "")
      : pieces_{first, second, third}, isLead_(isLead), piece_(0), at_(first) {}

  bool Next(const char** start, size_t* length) {
    for (;;) {
      while (*at_ == '\\') ++at_;
      if (*at_ != '\0') break;
      if (piece_ == 2) return false;
      at_ = pieces_[++piece_];
    }
    const char* end = at_;
    while (*end && *end != '\\') end = text::Next(end, isLead_);
    *start = at_;
    *length = static_cast<size_t>(end - at_);
    at_ = end;
    return true;
  }

 private:
  const char* pieces_[3];
  text::LeadByteTest isLead_;
  int piece_;
  const char* at_;
};

// ASCII letters without regard to case; a double-byte character, whose
// trail byte may look like a letter, byte for byte.
bool SameName(const char* a, const char* b, size_t length, text::LeadByteTest isLead) {
  for (size_t i = 0; i < length; ++i) {
    if (isLead(static_cast<uint8_t>(a[i])) && i + 1 < length) {
      if (a[i] != b[i] || a[i + 1] != b[i + 1]) return false;
      ++i;
    } else if (text::AsciiUpper(a[i]) != text::AsciiUpper(b[i])) {
      return false;
    }
  }
  return true;
}

// Whether `path` is `key` or lies above it.
bool AtOrAbove(Segments path, Segments key, text::LeadByteTest isLead) {
  const char *p, *k;
  size_t pLength, kLength;
  while (key.Next(&k, &kLength)) {
    if (!path.Next(&p, &pLength)) return true;
    if (pLength != kLength || !SameName(p, k, kLength, isLead)) return false;
  }
  return !path.Next(&p, &pLength);
}

template <size_t N>
bool AtOrAboveAny(const Segments& path, const char* const (&keys)[N], const char* prefix, text::LeadByteTest isLead) {
  for (const char* key : keys)
    if (AtOrAbove(path, Segments(isLead, prefix, key), isLead)) return true;
  return false;
}

// The machine's or a user's SOFTWARE tree with its classes.
bool InSoftwareTree(const Segments& path, text::LeadByteTest isLead) {
  return AtOrAboveAny(path, kCommonKeys, "", isLead) || AtOrAboveAny(path, kClassKeys, kClasses, isLead);
}

bool IsShared(RootKey root, const Segments& path, text::LeadByteTest isLead) {
  const char* segment;
  size_t length;
  Segments walk = path;
  if (!walk.Next(&segment, &length)) return true;  // the root key itself
  switch (root) {
    case RootKey::kLocalMachine:
      return InSoftwareTree(path, isLead) || AtOrAboveAny(path, kMachineKeys, "", isLead);
    case RootKey::kCurrentUser:
      return InSoftwareTree(path, isLead) || AtOrAboveAny(path, kUserKeys, "", isLead);
    case RootKey::kClassesRoot:
      return AtOrAboveAny(path, kClassKeys, "", isLead);
    case RootKey::kUsers:
      return !walk.Next(&segment, &length);  // a user's whole hive
    default:
      return false;
  }
}

}  // namespace

bool IsSharedSystemKey(RootKey root, const char* path, text::LeadByteTest isLead) {
  return IsShared(root, Segments(isLead, path), isLead);
}

bool ErasesSharedSystemKey(const char* line, text::LeadByteTest isLead) {
  EraseLine erase;
  if (SplitEraseLine(line, &erase, isLead) != EraseVerdict::kUsable) return false;
  // The path runs to the end of the line, so it is read in place.
  return IsSharedSystemKey(erase.root, line + erase.path.offset, isLead);
}

bool IsSharedClass(const char* name, text::LeadByteTest isLead) {
  Segments path(isLead, name);
  const char* first;
  size_t length;
  if (!path.Next(&first, &length)) return true;  // the classes root itself
  for (const char* key : kClassKeys)
    if (strlen(key) == length && SameName(first, key, length, isLead)) return true;
  return false;
}

bool RemovesSharedSettingsKey(const char* company, const char* name, text::LeadByteTest isLead) {
  if (!company[0]) return false;
  Segments path(isLead, "SOFTWARE", company, name);
  return IsShared(RootKey::kCurrentUser, path, isLead) || IsShared(RootKey::kLocalMachine, path, isLead);
}

DeleteReach ReachOfDeletePattern(const char* pattern, text::LeadByteTest isLead) {
  PathMacro macro = SplitPathMacro(pattern);
  switch (macro.base) {
    case PathBase::kSystem:
    case PathBase::kWindows: return DeleteReach::kSystemFolders;
    case PathBase::kPrograms:
    case PathBase::kFull: return DeleteReach::kElsewhere;
    case PathBase::kRoot: break;
  }
  return StaysBelow(pattern + macro.rest, isLead) ? DeleteReach::kInstallation : DeleteReach::kElsewhere;
}

}  // namespace setup
