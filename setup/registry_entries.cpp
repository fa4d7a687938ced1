// The registry lines of Setup.ini, and the key primitives the associations
// and the uninstall use. Every key is flushed after what was written or
// deleted through it and closed before the operation returns. An empty key
// name stands for the key it is looked up in, so no primitive deletes,
// opens or writes through one: an [Ext] section without a class would
// otherwise take every class below HKEY_CLASSES_ROOT with it. An Erase
// line never deletes a key the whole system shares (Run, Software, a
// user's hive), neither as the key it names nor as an ancestor it left
// empty.
#include "setup.h"

#include "paths.h"
#include "registry.h"
#include "setup/registry_line.h"
#include "setup/shared_places.h"

namespace {

constexpr REGSAM kTreeAccess = KEY_ENUMERATE_SUB_KEYS | KEY_CREATE_SUB_KEY | KEY_SET_VALUE;
// A [Reg] line with its NUL.
constexpr size_t kLineSize = setup::kMaxRegistryLine + 1;

HKEY RootKeyOf(setup::RootKey root) {
  switch (root) {
    case setup::RootKey::kClassesRoot: return HKEY_CLASSES_ROOT;
    case setup::RootKey::kCurrentConfig: return HKEY_CURRENT_CONFIG;
    case setup::RootKey::kCurrentUser: return HKEY_CURRENT_USER;
    case setup::RootKey::kUsers: return HKEY_USERS;
    case setup::RootKey::kPerformanceData: return HKEY_PERFORMANCE_DATA;
    case setup::RootKey::kDynData: return HKEY_DYN_DATA;
    default: return HKEY_LOCAL_MACHINE;
  }
}

// `path` below `root`, or the root key itself for an empty path; null
// when it does not open. Give it back with Release.
HKEY OpenBelow(HKEY root, const char* path, REGSAM access) {
  if (!path[0]) return root;
  HKEY key;
  return RegOpenKeyExA(root, path, 0, access, &key) == ERROR_SUCCESS ? key : nullptr;
}

void Release(HKEY root, HKEY key) {
  if (key == root) RegFlushKey(key);
  else platform::FlushAndClose(key);
}

}  // namespace

bool DeleteKeyTree(HKEY parent, const char* name) {
  if (!name[0]) return false;
  HKEY key;
  if (RegOpenKeyExA(parent, name, 0, kTreeAccess, &key) == ERROR_SUCCESS) {
    // Each pass takes the first subkey away. One that stays (a name this
    // code page cannot spell, a key without delete rights) would come
    // back first forever, so the first that stays ends the walk.
    char subkey[MAX_PATH];
    while (RegEnumKeyA(key, 0, subkey, sizeof subkey) == ERROR_SUCCESS && DeleteKeyTree(key, subkey)) {
    }
    platform::FlushAndClose(key);
  }
  bool deleted = RegDeleteKeyA(parent, name) == ERROR_SUCCESS;
  RegFlushKey(parent);
  return deleted;
}

namespace {

// The data of a Make line: a path in program mode below [Root] Named, or
// the data as written when it resolves to nothing (as data too long for a
// path does). Text marked "!" is written as it follows the mark.
const char* ResolveData(const char* data, char* resolved) {
  if (lstrlenA(data) < MAX_PATH) {
    char root[MAX_PATH];
    ReadSetting(ini::kRoot, ini::kNamed, root);
    ResolvePath(data, root, resolved, true);
    if (resolved[0]) return resolved;
  }
  return data[0] == '!' ? data + 1 : data;
}

// A line in a buffer of its own, cut at its pieces' ends in place; false
// for a line longer than a [Reg] value holds, which could only have been
// cut and would name another key.
bool CopyLine(char* copy, const char* line) {
  if (lstrlenA(line) > static_cast<int>(setup::kMaxRegistryLine)) return false;
  lstrcpyA(copy, line);
  return true;
}

// A piece of the copy with its NUL; an empty piece (the default value's
// name, the root key's path) starts where the next one does, so it is
// given as a text of its own.
const char* Piece(char* copy, setup::Span span) {
  if (span.length == 0) return "";
  copy[span.offset + span.length] = '\0';
  return copy + span.offset;
}

void MakeRegistryEntry(const char* line) {
  char copy[kLineSize];
  setup::MakeLine walk(line, platform::IsAnsiLeadByte);
  if (!walk.usable() || !CopyLine(copy, line)) return;
  HKEY root = RootKeyOf(walk.root());
  HKEY key = root;
  setup::Span segment, name, data;
  while (walk.NextKey(&segment)) {
    HKEY child = platform::CreateRegistryKey(key, Piece(copy, segment), KEY_CREATE_SUB_KEY | KEY_SET_VALUE);
    if (key != root) RegCloseKey(key);
    if (!child) return;
    key = child;
  }
  if (walk.Value(&name, &data)) {
    char resolved[MAX_PATH];
    // The data runs to the end of the line; the name ends at its backslash.
    const char* text = ResolveData(copy + data.offset, resolved);
    platform::WriteRegistryString(key, Piece(copy, name), text);
  }
  Release(root, key);
}

void EraseRegistryEntry(const char* line) {
  char copy[kLineSize];
  setup::EraseLine erase;
  if (setup::SplitEraseLine(line, &erase, platform::IsAnsiLeadByte) != setup::EraseVerdict::kUsable ||
      setup::IsSharedSystemKey(erase.root, line + erase.path.offset, platform::IsAnsiLeadByte) ||
      !CopyLine(copy, line))
    return;
  HKEY root = RootKeyOf(erase.root);
  const char* last = copy + erase.last.offset;  // runs to the end of the line
  HKEY key = OpenBelow(root, Piece(copy, erase.path), kTreeAccess);
  const char* parentPath = Piece(copy, erase.parent);
  if (key) {
    Release(root, key);
    if (HKEY parent = OpenBelow(root, parentPath, kTreeAccess)) {
      DeleteKeyTree(parent, last);
      Release(root, parent);
    }
  }
  if (HKEY parent = OpenBelow(root, parentPath, KEY_SET_VALUE)) {
    RegDeleteValueA(parent, last);
    Release(root, parent);
  }
  // Upward, each key the erase has left empty; the walk ends below the
  // root key, which is never deleted, or at the first shared key, since
  // every key above one is shared too.
  setup::EmptiedAncestors walk(line, erase, platform::IsAnsiLeadByte);
  setup::Span below, name;
  while (walk.Next(&below, &name)) {
    const char* emptied = Piece(copy, name);
    // The path now ends with that key's name.
    if (setup::IsSharedSystemKey(erase.root, copy + erase.path.offset, platform::IsAnsiLeadByte)) return;
    if (HKEY holder = OpenBelow(root, Piece(copy, below), kTreeAccess)) {
      DeleteKeyIfEmpty(holder, emptied);
      Release(root, holder);
    }
  }
}

}  // namespace

void ApplyRegistryList(const profile::Document& description, Apply apply) {
  bool make = apply == Apply::kMake;
  for (int n = 0;; ++n) {
    char key[16], line[kLineSize + 1];  // one byte more tells an over-long line
    wsprintfA(key, "%s%d", make ? ini::kMake : ini::kErase, n);
    description.Read(ini::kReg, key, line, sizeof line);
    if (!line[0]) return;
    if (make) MakeRegistryEntry(line);
    else EraseRegistryEntry(line);
  }
}

void DeleteKeyIfEmpty(HKEY parent, const char* name) {
  if (!name[0]) return;
  HKEY key;
  // A key that does not open may hold anything: it stays.
  bool empty = false;
  if (RegOpenKeyExA(parent, name, 0, KEY_QUERY_VALUE | kTreeAccess, &key) == ERROR_SUCCESS) {
    // Empty only when both lists say there is nothing: a name too long
    // for the buffer is something.
    char found[MAX_PATH];
    DWORD size = sizeof found;
    empty = RegEnumKeyA(key, 0, found, sizeof found) == ERROR_NO_MORE_ITEMS &&
            RegEnumValueA(key, 0, found, &size, nullptr, nullptr, nullptr, nullptr) == ERROR_NO_MORE_ITEMS;
    platform::FlushAndClose(key);
  }
  if (empty) {
    RegDeleteKeyA(parent, name);
    RegFlushKey(parent);
  }
}

namespace {

// The key path of a classes path: no empty segment, since that would
// name the key above it.
bool NamesKeys(const char* path) {
  if (!path[0]) return false;
  for (const char* p = path; *p; p = text::Next(p, platform::IsAnsiLeadByte))
    if (*p == '\\' && (p == path || p[1] == '\\' || p[1] == '\0')) return false;
  return true;
}

}  // namespace

bool SetClassesValue(const char* path, const char* data) {
  HKEY key = HKEY_CLASSES_ROOT;
  char segment[MAX_PATH];
  const char* rest = path;
  bool set = false;
  for (;;) {
    const char* slash = text::FindFirst(rest, '\\', platform::IsAnsiLeadByte);
    if (!slash) {
      set = platform::WriteRegistryString(key, rest, data);
      break;
    }
    int length = static_cast<int>(slash - rest);
    HKEY child = nullptr;
    if (length > 0 && length < MAX_PATH) {
      lstrcpynA(segment, rest, length + 1);
      child = platform::CreateRegistryKey(key, segment, KEY_CREATE_SUB_KEY | KEY_SET_VALUE);
    }
    if (key != HKEY_CLASSES_ROOT) RegCloseKey(key);
    if (!child) return false;
    key = child;
    rest = slash + 1;
  }
  if (key != HKEY_CLASSES_ROOT) RegCloseKey(key);
  return set;
}

bool RemoveClassesValue(char* path) {
  char* slash = const_cast<char*>(text::FindLast(path, '\\', platform::IsAnsiLeadByte));
  const char* name = path;
  if (slash) {
    *slash = '\0';
    name = slash + 1;
    if (!NamesKeys(path)) return false;
  }
  HKEY key = OpenBelow(HKEY_CLASSES_ROOT, slash ? path : "", KEY_SET_VALUE | KEY_CREATE_SUB_KEY);
  if (!key) return false;
  bool removed = RegDeleteValueA(key, name) == ERROR_SUCCESS;
  Release(HKEY_CLASSES_ROOT, key);
  if (!slash) path[0] = '\0';
  return removed;
}
