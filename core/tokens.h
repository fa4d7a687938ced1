// The token folders at the top of a built file's archive: which machine
// folder each names, and the progress title of its move. The stubs resolve
// them; sfxbuild warns about folders that are none of them.
#ifndef SFX_CORE_TOKENS_H
#define SFX_CORE_TOKENS_H

namespace tokens {

// Where a destination token points on the user's machine.
enum class Place : unsigned char {
  kUser,          // a folder the user picks, once per run
  kWindows,
  kSystem,
  kDesktop,
  kProgramFiles,  // ProgramFilesDir of the machine
  kProgramMenu,   // the start menu's programs folder
  kMenu,          // the start menu
  kStartup,
  kSendTo,
  kRecent,
  kTemporary,     // only when TMP or TEMP is set
};

struct Destination {
  const char* token;  // "[User]" and the like
  Place place;
  const char* title;  // shown while its files move
};

// The destinations in the order they are tested, and their number.
extern const Destination kDestinations[];
extern const int kDestinationCount;

// The destination `name` names, ignoring case; null for any other name.
const Destination* FindDestination(const char* name);

// Tokens that are no destination of their own: "[shell]" is opened and
// never moved, "[Application]" and "[Environment]" hold one folder per
// application or variable.
extern const char kShell[];        // "[shell]"
extern const char kApplication[];  // "[Application]"
extern const char kEnvironment[];  // "[Environment]"

// A destination or one of the three above, ignoring case.
bool IsKnownToken(const char* name);

// Whether the stubs refuse an entry of this name at the top of an
// "[Application]\<name>" folder: "Setup.ini" and "Setup.exe" (ASCII
// letters in any case, trailing dots and blanks dropped as Windows drops
// them) would replace the application's own record and installer.
bool IsRefusedInApplication(const char* name);

// Whether a "[shell]" item is a program whose end the stub waits for
// (.exe, .com, .bat, .cmd, .pif in any case) rather than a document shown
// by some viewer.
bool IsShellProgram(const char* name);

}  // namespace tokens

#endif  // SFX_CORE_TOKENS_H
