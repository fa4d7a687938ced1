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

const KeyName kSetupKeys[] = {{"Name", kText, kValueSize}, {"Auto", kNumber, 0}, {nullptr, kText, 0}};
const KeyName kRootKeys[] = {{"Name", kText, kValueSize}, {"Named", kText, kValueSize}, {nullptr, kText, 0}};
const KeyName kCheckKeys[] = {{"Menu", kOption, 0}, {"Desktop", kOption, 0}, {"Startup", kOption, 0},
                              {"Ext", kOption, 0},  {"Send", kOption, 0},    {"Copy", kOption, 0},
                              {"Del", kOption, 0},  {"IconNo", kNumber, 0},  {nullptr, kText, 0}};
const KeyName kBackKeys[] = {{"Do", kNumber, 0}, {nullptr, kText, 0}};
const KeyName kReadmeKeys[] = {
    {"File", kText, kValueSize}, {"No", kNumber, 0}, {"Done", kNumber, 0}, {nullptr, kText, 0}};
const KeyName kMenuKeys[] = {{"Name", kText, kValueSize},
                             {"Named", kText, kValueSize},
                             {"Change", kText, kValueSize},
                             {"Open", kNumber, 0},
                             {nullptr, kText, 0}};
// [Menu<n>] and [Send<n>]; [Desktop] and [Startup] add a hot key.
const KeyName kLinkKeys[] = {{"Name", kText, kValueSize}, {"Show", kNumber, 0},         {"Arg", kText, kValueSize},
                             {"Path", kText, kValueSize}, {"Icon", kText, kValueSize},  {"IconNo", kNumber, 0},
                             {"Work", kText, kValueSize}, {nullptr, kText, 0}};
const KeyName kFolderLinkKeys[] = {{"Name", kText, kValueSize}, {"Show", kNumber, 0},        {"Arg", kText, kValueSize},
                                   {"Path", kText, kValueSize}, {"Icon", kText, kValueSize}, {"IconNo", kNumber, 0},
                                   {"Work", kText, kValueSize}, {"Short", kText, kValueSize}, {nullptr, kText, 0}};
const KeyName kLastGoKeys[] = {{"Desktop", kText, kValueSize},
                               {"Startup", kText, kValueSize},
                               {"DesktopAndGo", kNumber, 0},
                               {"StartupAndGo", kNumber, 0},
                               {nullptr, kText, 0}};
const KeyName kRegistryKeys[] = {{"Company", kText, kValueSize}, {"Name", kText, kValueSize}, {nullptr, kText, 0}};
const KeyName kExtKeys[] = {{"Ext", kText, kClassNameSize},  {"Kind", kText, kValueSize},
                            {"Icon", kText, kValueSize},     {"IconNo", kText, kValueSize},
                            {"Verb", kText, kClassNameSize}, {"Verb2", kText, kClassNameSize},
                            {"Command", kText, kValueSize},  {"Force", kNumber, 0},
                            {nullptr, kText, 0}};
const KeyName kCopyFileKeys[] = {{"Self", kText, kValueSize}, {"DefaultNo", kNumber, 0}, {nullptr, kText, 0}};
const KeyName kRecordKeys[] = {{"Count", kNumber, 0}, {nullptr, kText, 0}};
const KeyName kDelKeys[] = {{"Force", kNumber, 0},
                            {"ShowError", kNumber, 0},
                            {"Auto", kNumber, 0},
                            {"Checked", kNumber, 0},
                            {nullptr, kText, 0}};

const KeyList kFromZero[] = {{"", 0, nullptr, kValueSize}, {nullptr, 0, nullptr, 0}};
const KeyList kFromOne[] = {{"", 1, nullptr, kValueSize}, {nullptr, 0, nullptr, 0}};
const KeyList kReadmeLines[] = {{"", 0, "No", kValueSize}, {nullptr, 0, nullptr, 0}};
const KeyList kRecords[] = {{"", 0, "Count", kValueSize}, {nullptr, 0, nullptr, 0}};
const KeyList kRegistryLines[] = {
    {"Make", 0, nullptr, kRegistryLineSize}, {"Erase", 0, nullptr, kRegistryLineSize}, {nullptr, 0, nullptr, 0}};

}  // namespace

const SectionName kIniSections[] = {
    {"Setup", nullptr, kSetupKeys, kNoLists},
    {"Root", nullptr, kRootKeys, kNoLists},
    {"Check", nullptr, kCheckKeys, kNoLists},
    {"Back", nullptr, kBackKeys, kFromZero},
    {"Readme", nullptr, kReadmeKeys, kReadmeLines},
    {"Menu", nullptr, kMenuKeys, kNoLists},
    {"Menu", "Name", kLinkKeys, kNoLists},
    {"Send", "Name", kLinkKeys, kNoLists},
    {"Desktop", nullptr, kFolderLinkKeys, kNoLists},
    {"Startup", nullptr, kFolderLinkKeys, kNoLists},
    {"LastGo", nullptr, kLastGoKeys, kFromZero},
    {"Reg", nullptr, kNoKeys, kRegistryLines},
    {"Registry", nullptr, kRegistryKeys, kNoLists},
    {"Ext", "Ext", kExtKeys, kNoLists},
    {"CopyFile", nullptr, kCopyFileKeys, kFromZero},
    {"MakeDirectory", nullptr, kNoKeys, kFromOne},
    {"MakedDirectory", nullptr, kRecordKeys, kRecords},
    {"CopiedFile", nullptr, kRecordKeys, kRecords},
    {"MadeKey", nullptr, kRecordKeys, kRecords},
    {"Del", nullptr, kDelKeys, kFromZero},
    {"DirRemove", nullptr, kNoKeys, kFromOne},
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
