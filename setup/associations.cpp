// File associations: each [Ext<n>] binds an extension to a file-type
// class below HKEY_CLASSES_ROOT with an icon and one verb, or takes the
// binding away again. An extension that another class owns is taken over
// only when the section forces it (its old class kept as "Old Name" and
// given back at removal); otherwise that class only gains the verb Verb2.
#include "setup.h"

#include <string.h>

#include "paths.h"
#include "registry.h"
#include "setup/association_command.h"

namespace {

const char kOldName[] = "Old Name";

// Room for a class, "\\shell\\", a verb and "\\command\\".
constexpr int kClassPathSize = 3 * MAX_PATH;

struct Binding {
  char section[16];
  char ext[MAX_PATH];
  char kind[MAX_PATH];  // becomes the owning class in a conflict
  char verb[MAX_PATH];  // becomes Verb2 in a conflict
  char root[MAX_PATH];
  bool conflict;
};

void Read(const Binding& binding, const char* key, char* out) { ReadSetting(binding.section, key, out); }

// Whether the extension belongs to another class. A forced section keeps
// that class's name to give it back at removal; an unforced one works on
// that class instead.
void TestConflict(Binding* binding) {
  binding->conflict = false;
  HKEY key;
  if (RegOpenKeyExA(HKEY_CLASSES_ROOT, binding->ext, 0, KEY_QUERY_VALUE | KEY_SET_VALUE, &key) != ERROR_SUCCESS)
    return;
  char owner[MAX_PATH];
  if (platform::ReadRegistryString(key, nullptr, owner, sizeof owner) && strcmp(owner, binding->kind) != 0) {
    if (ReadNumber(binding->section, "Force") != 0) {
      platform::WriteRegistryString(key, kOldName, owner);
    } else {
      binding->conflict = true;
      lstrcpyA(binding->kind, owner);
      Read(*binding, "Verb2", binding->verb);
    }
  }
  RegCloseKey(key);
}

// `first` + `second` into `path` (kClassPathSize).
char* ClassPath(char* path, const char* first, const char* second) {
  wsprintfA(path, "%s%s", first, second);
  return path;
}

void BindExtension(const Binding& binding) {
  char path[kClassPathSize];
  if (ReadNumber("Check", "Ext", 3) == 2) WriteSetting("Check", "Ext", "2");
  SetClassesValue(ClassPath(path, binding.ext, "\\"), binding.kind);
  SetClassesValue(ClassPath(path, binding.kind, "\\"), binding.kind);
}

// The extension goes back to the class it had before a forced takeover,
// or goes altogether.
void UnbindExtension(const Binding& binding) {
  char path[kClassPathSize];
  if (ReadNumber("Check", "Ext") != 0) WriteSetting("Check", "Ext", "1");
  HKEY key;
  bool saved = false;
  if (RegOpenKeyExA(HKEY_CLASSES_ROOT, binding.ext, 0, KEY_QUERY_VALUE | KEY_SET_VALUE, &key) == ERROR_SUCCESS) {
    char old[MAX_PATH];
    saved = platform::ReadRegistryString(key, kOldName, old, sizeof old);
    if (saved) platform::WriteRegistryString(key, "", old);
    RegCloseKey(key);
  }
  if (saved) RemoveClassesValue(ClassPath(path, binding.ext, "\\Old Name"));
  else DeleteClassesValue(ClassPath(path, binding.ext, "\\"));
}

void ApplyIcon(const Binding& binding, bool make) {
  char icon[MAX_PATH], number[MAX_PATH], path[kClassPathSize];
  Read(binding, "Icon", icon);
  if (!icon[0]) return;
  ClassPath(path, binding.kind, "\\DefaultIcon\\");
  if (!make) {
    DeleteClassesValue(path);
    return;
  }
  char location[2 * MAX_PATH];
  ResolvePath(icon, binding.root, location, true);
  Read(binding, "IconNo", number);
  if (number[0]) wsprintfA(location + lstrlenA(location), ",%s", number);
  SetClassesValue(path, location);
}

void ApplyVerb(const Binding& binding, bool make) {
  if (!binding.verb[0]) return;
  char path[kClassPathSize];
  if (!make) {
    if (!binding.conflict) {
      DeleteKeyTree(HKEY_CLASSES_ROOT, binding.kind);
      return;
    }
    HKEY shell;
    if (RegOpenKeyExA(HKEY_CLASSES_ROOT, ClassPath(path, binding.kind, "\\shell"), 0,
                      KEY_ENUMERATE_SUB_KEYS | KEY_CREATE_SUB_KEY | KEY_SET_VALUE, &shell) == ERROR_SUCCESS) {
      DeleteKeyTree(shell, binding.verb);
      RegCloseKey(shell);
    }
    return;
  }
  char command[MAX_PATH], program[MAX_PATH], line[3 * MAX_PATH];
  Read(binding, "Command", command);
  setup::CommandParts parts = setup::SplitCommand(command, platform::IsAnsiLeadByte);
  setup::CopySpan(program, sizeof program, command, parts.program);
  ResolvePath(program, binding.root, program, true);
  wsprintfA(path, "%s\\shell\\%s\\command\\", binding.kind, binding.verb);
  if (setup::BuildCommandLine(line, sizeof line, command, parts, program)) SetClassesValue(path, line);
}

}  // namespace

void ApplyAssociations(HWND, bool make) {
  Binding binding;
  ReadSetting("Root", "Named", binding.root);
  for (int n = 0;; ++n) {
    wsprintfA(binding.section, "Ext%d", n);
    Read(binding, "Ext", binding.ext);
    if (!binding.ext[0]) return;
    Read(binding, "Kind", binding.kind);
    Read(binding, "Verb", binding.verb);
    TestConflict(&binding);
    if (!binding.conflict) {
      if (make) BindExtension(binding);
      else UnbindExtension(binding);
      ApplyIcon(binding, make);
    }
    ApplyVerb(binding, make);
  }
}
