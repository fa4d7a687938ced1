#include "setup/ini_names.h"

#include <limits.h>
#include <string.h>

#include "text.h"

namespace setup {
namespace {

constexpr ValueKind kText = ValueKind::kText;
constexpr ValueKind kNumber = ValueKind::kNumber;
constexpr ValueKind kOption = ValueKind::kOption;

// The [Reg] lines' buffer, and the one of an association's extension and
// verbs.
constexpr uint16_t kRegistryLineSize = 1040;
constexpr uint16_t kClassNameSize = 256;

const KeyName kNoKeys[] = {{nullptr, kText, 0}};
const KeyList kNoLists[] = {{nullptr, 0, nullptr, 0}};

const KeyName kSetupKeys[] = {{ini::kName, kText, kValueSize}, {ini::kAuto, kNumber, 0}, {nullptr, kText, 0}};
const KeyName kRootKeys[] = {{ini::kName, kText, kValueSize}, {ini::kNamed, kText, kValueSize}, {nullptr, kText, 0}};
const KeyName kCheckKeys[] = {{ini::kMenu, kOption, 0}, {ini::kDesktop, kOption, 0}, {ini::kStartup, kOption, 0},
                              {ini::kExt, kOption, 0},  {ini::kSend, kOption, 0},    {ini::kCopy, kOption, 0},
                              {ini::kDel, kOption, 0},  {ini::kIconNo, kNumber, 0},  {nullptr, kText, 0}};
const KeyName kBackKeys[] = {{ini::kDo, kNumber, 0}, {nullptr, kText, 0}};
const KeyName kReadmeKeys[] = {
    {ini::kFile, kText, kValueSize}, {ini::kNo, kNumber, 0}, {ini::kDone, kNumber, 0}, {nullptr, kText, 0}};
const KeyName kMenuKeys[] = {{ini::kName, kText, kValueSize},   {ini::kNamed, kText, kValueSize},
                             {ini::kChange, kText, kValueSize}, {ini::kOpen, kNumber, 0},
                             {ini::kMade, kText, kValueSize},   {nullptr, kText, 0}};
// [Menu<n>] and [Send<n>]; [Desktop] and [Startup] add a hot key.
const KeyName kLinkKeys[] = {{ini::kName, kText, kValueSize}, {ini::kShow, kNumber, 0},
                             {ini::kArg, kText, kValueSize},  {ini::kPath, kText, kValueSize},
                             {ini::kIcon, kText, kValueSize}, {ini::kIconNo, kNumber, 0},
                             {ini::kWork, kText, kValueSize}, {nullptr, kText, 0}};
const KeyName kFolderLinkKeys[] = {
    {ini::kName, kText, kValueSize}, {ini::kShow, kNumber, 0},         {ini::kArg, kText, kValueSize},
    {ini::kPath, kText, kValueSize}, {ini::kIcon, kText, kValueSize},  {ini::kIconNo, kNumber, 0},
    {ini::kWork, kText, kValueSize}, {ini::kShort, kText, kValueSize}, {nullptr, kText, 0}};
const KeyName kLastGoKeys[] = {{ini::kDesktop, kText, kValueSize},
                               {ini::kStartup, kText, kValueSize},
                               {ini::kDesktopAndGo, kNumber, 0},
                               {ini::kStartupAndGo, kNumber, 0},
                               {nullptr, kText, 0}};
const KeyName kRegistryKeys[] = {
    {ini::kCompany, kText, kValueSize}, {ini::kName, kText, kValueSize}, {nullptr, kText, 0}};
const KeyName kExtKeys[] = {
    {ini::kExt, kText, kClassNameSize}, {ini::kKind, kText, kValueSize},     {ini::kIcon, kText, kValueSize},
    {ini::kIconNo, kText, kValueSize},  {ini::kVerb, kText, kClassNameSize}, {ini::kVerb2, kText, kClassNameSize},
    {ini::kCommand, kText, kValueSize}, {ini::kForce, kNumber, 0},           {nullptr, kText, 0}};
const KeyName kCopyFileKeys[] = {{ini::kSelf, kText, kValueSize}, {ini::kDefaultNo, kNumber, 0}, {nullptr, kText, 0}};
const KeyName kRecordKeys[] = {{ini::kCount, kNumber, 0}, {nullptr, kText, 0}};
const KeyName kDelKeys[] = {{ini::kForce, kNumber, 0},
                            {ini::kShowError, kNumber, 0},
                            {ini::kAuto, kNumber, 0},
                            {ini::kChecked, kNumber, 0},
                            {nullptr, kText, 0}};

const KeyList kFromZero[] = {{"", 0, nullptr, kValueSize}, {nullptr, 0, nullptr, 0}};
const KeyList kFromOne[] = {{"", 1, nullptr, kValueSize}, {nullptr, 0, nullptr, 0}};
const KeyList kReadmeLines[] = {{"", 0, ini::kNo, kValueSize}, {nullptr, 0, nullptr, 0}};
const KeyList kRecords[] = {{"", 0, ini::kCount, kValueSize}, {nullptr, 0, nullptr, 0}};
const KeyList kRegistryLines[] = {{ini::kMake, 0, nullptr, kRegistryLineSize},
                                  {ini::kErase, 0, nullptr, kRegistryLineSize},
                                  {nullptr, 0, nullptr, 0}};

}  // namespace

const SectionName kIniSections[] = {
    {ini::kSetup, nullptr, kSetupKeys, kNoLists},
    {ini::kRoot, nullptr, kRootKeys, kNoLists},
    {ini::kCheck, nullptr, kCheckKeys, kNoLists},
    {ini::kBack, nullptr, kBackKeys, kFromZero},
    {ini::kReadme, nullptr, kReadmeKeys, kReadmeLines},
    {ini::kMenu, nullptr, kMenuKeys, kNoLists},
    {ini::kMenu, ini::kName, kLinkKeys, kNoLists},
    {ini::kSend, ini::kName, kLinkKeys, kNoLists},
    {ini::kDesktop, nullptr, kFolderLinkKeys, kNoLists},
    {ini::kStartup, nullptr, kFolderLinkKeys, kNoLists},
    {ini::kLastGo, nullptr, kLastGoKeys, kFromZero},
    {ini::kReg, nullptr, kNoKeys, kRegistryLines},
    {ini::kRegistry, nullptr, kRegistryKeys, kNoLists},
    {ini::kExt, ini::kExt, kExtKeys, kNoLists},
    {ini::kCopyFile, nullptr, kCopyFileKeys, kFromZero},
    {ini::kMakeDirectory, nullptr, kNoKeys, kFromOne},
    {ini::kMakedDirectory, nullptr, kRecordKeys, kRecords},
    {ini::kCopiedFile, nullptr, kRecordKeys, kRecords},
    {ini::kMadeKey, nullptr, kRecordKeys, kRecords},
    {ini::kDel, nullptr, kDelKeys, kFromZero},
    {ini::kDirRemove, nullptr, kNoKeys, kFromOne},
    {nullptr, nullptr, kNoKeys, kNoLists},
};

bool ReadListNumber(const char* text, int* number) {
  if (text[0] < '0' || text[0] > '9' || (text[0] == '0' && text[1] != '\0')) return false;
  long long value = 0;
  for (const char* p = text; *p; ++p) {
    if (*p < '0' || *p > '9') return false;
    value = value * 10 + (*p - '0');
    if (value > INT_MAX) return false;
  }
  *number = static_cast<int>(value);
  return true;
}

const SectionName* FindIniSection(const char* name, int* number) {
  for (const SectionName* s = kIniSections; s->name; ++s) {
    size_t length = strlen(s->name);
    if (!s->listEnd && text::EqualNoCase(name, s->name)) {
      *number = -1;
      return s;
    }
    if (s->listEnd && strlen(name) > length && text::StartsWithNoCase(name, s->name) &&
        ReadListNumber(name + length, number))
      return s;
  }
  return nullptr;
}

const KeyName* FindIniKey(const SectionName& section, const char* key) {
  for (const KeyName* k = section.keys; k->name; ++k)
    if (text::EqualNoCase(key, k->name)) return k;
  return nullptr;
}

const KeyList* FindIniList(const SectionName& section, const char* key, int* number) {
  for (const KeyList* list = section.lists; list->prefix; ++list)
    if (text::StartsWithNoCase(key, list->prefix) && ReadListNumber(key + strlen(list->prefix), number)) return list;
  return nullptr;
}

}  // namespace setup
