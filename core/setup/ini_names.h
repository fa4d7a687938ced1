// Every section and key of Setup.ini that setup reads or writes, with how
// it reads each: the one list of names the builder checks a description
// against, made of the constants in `ini` below, by which setup, the stubs
// and the check name every section and key.
//
//   [Reg]          keys Make0, Make1, ... and Erase0, ...   lists of keys
//   [CopyFile]     keys 0, 1, ... and Self, DefaultNo
//   [MakeDirectory] keys 1, 2, ...                          from 1
//   [CopiedFile]   Count and keys 0 .. Count-1              counted
//   [Menu0], [Menu1], ...  up to the first without Name     a list of sections
//
// An open list is read from its first number up to the first key (or
// section) that is missing or empty; what follows a gap is never read.
// Numbers are written as setup writes them ("%d"): "7", never "07".
#ifndef SFX_CORE_SETUP_INI_NAMES_H
#define SFX_CORE_SETUP_INI_NAMES_H

#include <stddef.h>
#include <stdint.h>

namespace setup {

// The names themselves, spelt as setup writes them; setup reads them in
// any case. A name that is both a section and a key ([Menu], and the key
// Menu of [Check]) has one constant. A list of sections or keys takes its
// number after the name: [Menu3], [Ext0], [Reg] Make2.
namespace ini {

// Sections.
inline constexpr char kSetup[] = "Setup";
inline constexpr char kRoot[] = "Root";
inline constexpr char kCheck[] = "Check";
inline constexpr char kBack[] = "Back";
inline constexpr char kReadme[] = "Readme";
inline constexpr char kMenu[] = "Menu";
inline constexpr char kSend[] = "Send";
inline constexpr char kDesktop[] = "Desktop";
inline constexpr char kStartup[] = "Startup";
inline constexpr char kLastGo[] = "LastGo";
inline constexpr char kReg[] = "Reg";
inline constexpr char kRegistry[] = "Registry";
inline constexpr char kExt[] = "Ext";
inline constexpr char kCopyFile[] = "CopyFile";
inline constexpr char kMakeDirectory[] = "MakeDirectory";
inline constexpr char kMakedDirectory[] = "MakedDirectory";
inline constexpr char kCopiedFile[] = "CopiedFile";
inline constexpr char kMadeKey[] = "MadeKey";
inline constexpr char kDel[] = "Del";
inline constexpr char kDirRemove[] = "DirRemove";

// Keys, besides the sections' names above that are keys as well.
inline constexpr char kName[] = "Name";
inline constexpr char kNamed[] = "Named";
inline constexpr char kAuto[] = "Auto";
inline constexpr char kCopy[] = "Copy";
inline constexpr char kIconNo[] = "IconNo";
inline constexpr char kDo[] = "Do";
inline constexpr char kFile[] = "File";
inline constexpr char kNo[] = "No";
inline constexpr char kDone[] = "Done";
inline constexpr char kChange[] = "Change";
inline constexpr char kOpen[] = "Open";
inline constexpr char kMade[] = "Made";
inline constexpr char kShow[] = "Show";
inline constexpr char kArg[] = "Arg";
inline constexpr char kPath[] = "Path";
inline constexpr char kIcon[] = "Icon";
inline constexpr char kWork[] = "Work";
inline constexpr char kShort[] = "Short";
inline constexpr char kDesktopAndGo[] = "DesktopAndGo";
inline constexpr char kStartupAndGo[] = "StartupAndGo";
inline constexpr char kCompany[] = "Company";
inline constexpr char kKind[] = "Kind";
inline constexpr char kVerb[] = "Verb";
inline constexpr char kVerb2[] = "Verb2";
inline constexpr char kCommand[] = "Command";
inline constexpr char kForce[] = "Force";
inline constexpr char kSelf[] = "Self";
inline constexpr char kDefaultNo[] = "DefaultNo";
inline constexpr char kCount[] = "Count";
inline constexpr char kShowError[] = "ShowError";
inline constexpr char kChecked[] = "Checked";

// The lists of [Reg]: Make0, Make1, ... and Erase0, ...
inline constexpr char kMake[] = "Make";
inline constexpr char kErase[] = "Erase";

}  // namespace ini

// The buffer most values are read into (MAX_PATH), their NUL included.
constexpr uint16_t kValueSize = 260;

enum class ValueKind : uint8_t {
  kText,    // read into a buffer of `size` bytes; longer values are cut
  kNumber,  // read as an integer
  kOption,  // an option value of the dialog's rows, 0 to 3
};

struct KeyName {
  const char* name;  // null ends a table
  ValueKind kind;
  uint16_t size;
};

// Keys named by a number, with a prefix or without.
struct KeyList {
  const char* prefix;  // "" for plain numbers; null ends a table
  int first;           // the first number read: 0 or 1
  // The key holding a counted list's length ("Count", "No"); null for an
  // open list.
  const char* count;
  uint16_t size;
};

struct SectionName {
  // For a list of sections, the name before the number ("Menu" of
  // [Menu0]); null ends the table.
  const char* name;
  // A list of sections: the key whose absence or emptiness ends it.
  // Null for a single section.
  const char* listEnd;
  const KeyName* keys;
  const KeyList* lists;
};

extern const SectionName kIniSections[];

// Whether `text` is a number as setup writes one: decimal digits without
// a sign or a leading zero, within the int range.
bool ReadListNumber(const char* text, int* number);

// The section that `name` names (any case). `number` is the number of a
// section of a list ([Menu3]: 3), -1 for a single section. Null for a name
// setup never reads.
const SectionName* FindIniSection(const char* name, int* number);

// The key `key` of `section` (any case); null when it has none such.
const KeyName* FindIniKey(const SectionName& section, const char* key);

// The list of `section` that `key` belongs to, and its number in it; null
// when it belongs to none. A number below the list's first is found too.
const KeyList* FindIniList(const SectionName& section, const char* key, int* number);

}  // namespace setup

#endif  // SFX_CORE_SETUP_INI_NAMES_H
