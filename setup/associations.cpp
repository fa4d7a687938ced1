// File associations: each [Ext<n>] binds an extension to a file-type
// class below HKEY_CLASSES_ROOT with an icon and one verb, or takes the
// binding away again. An extension that another class owns is taken over
// only when the section forces it (its old class kept as "Old Name" and
// given back at removal); otherwise that class only gains the verb Verb2.
//
// Other programs' keys stay theirs. Each key this installation creates
// (an extension, a class, a verb added to a class it found) is recorded
// in the running Setup.ini's [MadeKey]; only a recorded key is ever
// deleted or rewritten whole, and its record goes with it:
//
//   [MadeKey]
//   Count=3
//   0=.sdoc
//   1=SampleDoc
//   2=txtfile\shell\sampleopen
//
// A class found in place keeps its name, icon and verbs and gains only a
// verb it lacks. The shell's own classes and extensions ("*", "Folder",
// ".exe", ...) are left alone altogether.
#include "setup.h"

#include <string.h>

#include "paths.h"
#include "ini/lists.h"
#include "registry.h"
#include "setup/association_command.h"
#include "setup/shared_places.h"

namespace {

const char kOldName[] = "Old Name";

// Room for a class, "\\shell\\", a verb and "\\command\\".
constexpr int kClassPathSize = 3 * MAX_PATH;

struct Binding {
  char section[16];
  char ext[MAX_PATH];
  char kind[MAX_PATH];
  char owner[MAX_PATH];  // the extension's class in a conflict
  char verb[MAX_PATH];   // becomes Verb2 in a conflict
  char root[MAX_PATH];
  bool conflict;
  bool named;  // the extension's default value names `kind`

  // The class the verb goes to.
  const char* target() const { return conflict ? owner : kind; }
};

void Read(const Binding& binding, const char* key, char* out) { ReadSetting(binding.section, key, out); }

bool Shared(const char* name) { return setup::IsSharedClass(name, platform::IsAnsiLeadByte); }

// A key below HKEY_CLASSES_ROOT.
bool Exists(const char* path) {
  HKEY key;
  if (RegOpenKeyExA(HKEY_CLASSES_ROOT, path, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) return false;
  RegCloseKey(key);
  return true;
}

bool IsOurs(const char* path) { return profile::IsListed(Settings(), ini::kMadeKey, path, profile::Compare::kNoCase); }

// Whether this installation may write the key: it made the key, or the
// key is not there and the record can hold its path.
bool MayWrite(const char* path) { return IsOurs(path) || (lstrlenA(path) < MAX_PATH && !Exists(path)); }

void Record(const char* path) {
  if (!IsOurs(path)) profile::Append(&Settings(), ini::kMadeKey, path);
}

// Deletes a key this installation made, with its tree or only when it is
// empty, and forgets it once it is gone.
void Unmake(const char* path, bool whole) {
  if (!IsOurs(path)) return;
  if (whole) DeleteKeyTree(HKEY_CLASSES_ROOT, path);
  else DeleteKeyIfEmpty(HKEY_CLASSES_ROOT, path);
  if (!Exists(path)) profile::RemoveFromList(&Settings(), ini::kMadeKey, path, profile::Compare::kNoCase);
}

// Whether the extension belongs to another class. A forced section keeps
// that class's name to give it back at removal; an unforced one works on
// that class instead.
void TestConflict(Binding* binding) {
  binding->conflict = binding->named = false;
  HKEY key;
  if (RegOpenKeyExA(HKEY_CLASSES_ROOT, binding->ext, 0, KEY_QUERY_VALUE | KEY_SET_VALUE, &key) != ERROR_SUCCESS)
    return;
  char* owner = binding->owner;
  bool read = platform::ReadRegistryString(key, nullptr, owner, MAX_PATH);
  binding->named = read && strcmp(owner, binding->kind) == 0;
  if (read && !binding->named) {
    if (ReadNumber(binding->section, ini::kForce) != 0) {
      platform::WriteRegistryString(key, kOldName, owner);
    } else {
      binding->conflict = true;
      Read(*binding, ini::kVerb2, binding->verb);
    }
  }
  RegCloseKey(key);
}

// `first` + `second` into `path` (kClassPathSize).
char* ClassPath(char* path, const char* first, const char* second) {
  wsprintfA(path, "%s%s", first, second);
  return path;
}

// Sets the default value of `key` to `data`; records the key when this
// made it.
void SetDefault(const char* key, const char* data) {
  char path[kClassPathSize];
  bool made = !Exists(key);
  if (SetClassesValue(ClassPath(path, key, "\\"), data) && made) Record(key);
}

// The extension goes back to the class it had before a forced takeover;
// or, when this made it, it goes when nothing else is left in it; or it
// loses only the default value that names a class this made.
void UnbindExtension(const Binding& binding) {
  char path[kClassPathSize];
  HKEY key;
  bool saved = false;
  if (RegOpenKeyExA(HKEY_CLASSES_ROOT, binding.ext, 0, KEY_QUERY_VALUE | KEY_SET_VALUE, &key) == ERROR_SUCCESS) {
    char old[MAX_PATH];
    saved = platform::ReadRegistryString(key, kOldName, old, sizeof old);
    if (saved) platform::WriteRegistryString(key, "", old);
    RegCloseKey(key);
  }
  if (saved) {
    RemoveClassesValue(ClassPath(path, binding.ext, "\\Old Name"));
    return;
  }
  if (binding.named && (IsOurs(binding.ext) || IsOurs(binding.kind)))
    RemoveClassesValue(ClassPath(path, binding.ext, "\\"));
  Unmake(binding.ext, false);
}

void MakeIcon(const Binding& binding) {
  char icon[MAX_PATH], number[MAX_PATH], path[kClassPathSize];
  Read(binding, ini::kIcon, icon);
  if (!icon[0]) return;
  char location[2 * MAX_PATH];
  ResolvePath(icon, binding.root, location, true);
  Read(binding, ini::kIconNo, number);
  if (number[0]) wsprintfA(location + lstrlenA(location), ",%s", number);
  SetClassesValue(ClassPath(path, binding.kind, "\\DefaultIcon\\"), location);
}

// The verb's key below the class it goes to, into `path` (kClassPathSize).
char* VerbPath(char* path, const Binding& binding) {
  wsprintfA(path, "%s\\shell\\%s", binding.target(), binding.verb);
  return path;
}

bool MakeVerb(const Binding& binding) {
  char command[MAX_PATH], program[MAX_PATH], line[3 * MAX_PATH], path[kClassPathSize];
  Read(binding, ini::kCommand, command);
  setup::CommandParts parts = setup::SplitCommand(command, platform::IsAnsiLeadByte);
  setup::CopySpan(program, sizeof program, command, parts.program);
  ResolvePath(program, binding.root, program, true);
  lstrcatA(VerbPath(path, binding), "\\command\\");
  return setup::BuildCommandLine(line, sizeof line, command, parts, program) && SetClassesValue(path, line);
}

void Make(const Binding& binding) {
  char path[kClassPathSize];
  if (!binding.conflict) {
    SetDefault(binding.ext, binding.kind);
    if (MayWrite(binding.kind)) {
      SetDefault(binding.kind, binding.kind);
      MakeIcon(binding);
      if (binding.verb[0]) MakeVerb(binding);
      return;
    }
  }
  // Another's class: only a verb it lacks.
  if (binding.verb[0] && MayWrite(VerbPath(path, binding)) && MakeVerb(binding)) Record(path);
}

void Remove(const Binding& binding) {
  char path[kClassPathSize];
  if (!binding.conflict) UnbindExtension(binding);
  if (binding.verb[0]) Unmake(VerbPath(path, binding), true);
  Unmake(binding.kind, true);  // with its icon and its verbs
}

}  // namespace

void ApplyAssociations(Apply apply) {
  bool make = apply == Apply::kMake;
  Binding binding;
  ReadSetting(ini::kRoot, ini::kNamed, binding.root);
  for (int n = 0;; ++n) {
    wsprintfA(binding.section, "Ext%d", n);
    Read(binding, ini::kExt, binding.ext);
    if (!binding.ext[0]) break;
    Read(binding, ini::kKind, binding.kind);
    Read(binding, ini::kVerb, binding.verb);
    if (Shared(binding.ext) || Shared(binding.kind)) continue;
    TestConflict(&binding);
    if (binding.conflict && Shared(binding.owner)) continue;
    if (make) Make(binding);
    else Remove(binding);
  }
  // The box as this run leaves it, for a version-up or a run of the
  // installed copy: made (unless always made), or cleared.
  int unchanged = make ? 3 : 0;
  if (ReadNumber(ini::kCheck, ini::kExt, unchanged) != unchanged) WriteSetting(ini::kCheck, ini::kExt, make ? "2" : "1");
}
