#include "tokens.h"

#include "text.h"

namespace tokens {

const char kShell[] = "[shell]";
const char kApplication[] = "[Application]";
const char kEnvironment[] = "[Environment]";

const Destination kDestinations[] = {
    {"[User]", Place::kUser, "Copy to selected by user..."},
    {"[Windows]", Place::kWindows, "Copy to windows..."},
    {"[System]", Place::kSystem, "Copy to system..."},
    {"[Desktop]", Place::kDesktop, "Copy to desktop..."},
    {"[Programs]", Place::kProgramFiles, "Copy to program files..."},
    {"[ProgramMenu]", Place::kProgramMenu, "Copy to program menu files..."},
    {"[Menu]", Place::kMenu, "Copy to menu..."},
    {"[Startup]", Place::kStartup, "Copy to startup..."},
    {"[SendTo]", Place::kSendTo, "Copy to send to..."},
    {"[Recent]", Place::kRecent, "Copy to recent..."},
    {"[Temporary]", Place::kTemporary, "Copy to temporary..."},
};
const int kDestinationCount = sizeof kDestinations / sizeof kDestinations[0];

const Destination* FindDestination(const char* name) {
  for (const Destination& destination : kDestinations)
    if (text::EqualNoCase(name, destination.token)) return &destination;
  return nullptr;
}

bool IsKnownToken(const char* name) {
  return FindDestination(name) || text::EqualNoCase(name, kShell) || text::EqualNoCase(name, kApplication) ||
         text::EqualNoCase(name, kEnvironment);
}

bool IsRefusedInApplication(const char* name) {
  size_t length = 0;
  for (size_t i = 0; name[i]; ++i)
    if (name[i] != '.' && name[i] != ' ') length = i + 1;
  return text::EqualNoCase(name, length, "Setup.ini") || text::EqualNoCase(name, length, "Setup.exe");
}

bool IsShellProgram(const char* name) {
  // No double-byte character of a Windows code page has '.' as a byte of
  // its own, so the last '.' found byte by byte starts the extension.
  const char* extension = nullptr;
  for (const char* p = name; *p; ++p)
    if (*p == '.') extension = p;
  if (!extension) return false;
  static const char* const kPrograms[] = {".exe", ".com", ".bat", ".cmd", ".pif"};
  for (const char* program : kPrograms)
    if (text::EqualNoCase(extension, program)) return true;
  return false;
}

}  // namespace tokens
