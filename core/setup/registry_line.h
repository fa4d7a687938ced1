// The lines of the [Reg] section of Setup.ini, cut into the pieces that
// the registry calls take. A line holds at most 1039 characters.
//
//   Make:   HKEY_CURRENT_USER\Software\Maker\\Path\!C:\Data\App
//           \_______________/ \______/ \___/  \__/ \__________/
//            root              keys, created   value  data, to the end
//                              one below the   name   of the line,
//                              other                  backslashes and all
//
//   Erase:  HKEY_CURRENT_USER\Software\Maker\App
//                             \____________/ \_/
//                              parent        last: a key deleted whole,
//                                            or a value of the parent
//
// The root is the text before the first backslash, matched without
// regard to case; any name not in the list (HKLM, a typing error, nothing
// at all) means HKEY_LOCAL_MACHINE. Backslashes are found character by
// character, so the trail byte 0x5C of a double-byte character ("表" is
// 0x95 0x5C) never cuts a name.
#ifndef SFX_CORE_SETUP_REGISTRY_LINE_H
#define SFX_CORE_SETUP_REGISTRY_LINE_H

#include <stddef.h>

#include "setup/span.h"
#include "text.h"

namespace setup {

// The longest line: the 1040-byte buffer of a [Reg] value less its NUL.
constexpr size_t kMaxRegistryLine = 1039;

// In the order in which the names are tried.
enum class RootKey {
  kClassesRoot,
  kCurrentConfig,
  kCurrentUser,
  kUsers,
  kPerformanceData,
  kDynData,
  kLocalMachine,  // its own name, and every name not above
};

// The root key named by the `length` bytes at `name`.
RootKey SelectRootKey(const char* name, size_t length);

// Whether those bytes are the name of a root key, HKEY_LOCAL_MACHINE's
// included, rather than a name that only falls back to it.
bool IsRootKeyName(const char* name, size_t length);

// Walks a Make line. Keys come one at a time so that the caller can stop
// at the first one that cannot be created:
//
//   MakeLine walk(line);
//   if (!walk.usable()) return;               // no backslash: skipped
//   HKEY key = <root>;
//   while (walk.NextKey(&segment)) key = <create segment below key>;
//   if (walk.Value(&name, &data)) <set name = data in key>;
//
// root\\Name\Data sets a value in the root key itself, root\Key\\\Data
// the default value of Key (an empty name).
class MakeLine {
 public:
  explicit MakeLine(const char* line, text::LeadByteTest isLead = text::IsCp932LeadByte);

  // False for a line without a backslash, which is skipped whole.
  bool usable() const { return usable_; }
  RootKey root() const { return root_; }

  // The next key to create below the previous one (below the root at
  // first); never empty. False when the keys are done: at the end of the
  // line, or at the second backslash of a doubled one.
  bool NextKey(Span* key);

  // Once NextKey has said false: the value to set, its name (empty for the
  // default value) and its data. False when the line makes keys only: it
  // ends among its keys (a trailing backslash included), or no backslash
  // follows the value name.
  bool Value(Span* name, Span* data) const;

 private:
  const char* line_;
  text::LeadByteTest isLead_;
  size_t at_;  // start of what the walk has not taken yet
  RootKey root_;
  bool usable_;
};

enum class EraseVerdict {
  kUsable,
  kNoBackslash,   // skipped, as a Make line without one is
  // The path has an empty segment: a root and a backslash alone, a
  // doubled or a trailing backslash. Refused: the key below an empty name
  // is its parent, so erasing it would wipe the parent's whole tree (the
  // line for HKEY_CURRENT_USER and a backslash would empty the user's
  // registry).
  kEmptySegment,
};

struct EraseLine {
  RootKey root;
  Span path;    // everything below the root
  // The path up to its last backslash. Length 0 when the path is a single
  // segment: the parent is then the root key itself, so that segment is
  // erased like any last one (the key with everything in it, named values
  // included, and a value of that name in the root key) and no ancestor
  // is visited.
  Span parent;
  Span last;    // never empty
};

// Fills `erase` only when the line is usable.
EraseVerdict SplitEraseLine(const char* line, EraseLine* erase,
                            text::LeadByteTest isLead = text::IsCp932LeadByte);

// The keys that an erase may have left empty, deepest first: for
// root\A\B\C\Last, C in A\B, then B in A, then A in the root key. The
// root key itself is never one of them.
class EmptiedAncestors {
 public:
  EmptiedAncestors(const char* line, const EraseLine& erase,
                   text::LeadByteTest isLead = text::IsCp932LeadByte);

  // The next key `name` to delete when empty, and the key it lies in
  // (`below`, a path under the root; length 0 for the root key itself).
  bool Next(Span* below, Span* name);

 private:
  const char* line_;
  text::LeadByteTest isLead_;
  size_t start_;  // where the path begins
  size_t end_;    // end of what is not walked yet; start_ when done
};

}  // namespace setup

#endif  // SFX_CORE_SETUP_REGISTRY_LINE_H
