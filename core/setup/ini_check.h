// The builder's check of a Setup.ini before it ships: what setup would
// never read, read otherwise than its author meant, fail on, or take away
// beyond the application. Each finding names the line and the key:
//
//   line 12  [Menu3]        the list ends before [Menu2], which is missing;
//                           [Menu3] and later are never read
//   line 20  [Reg] Erase0   (system-wide) the line names a key that the
//                           whole system shares, which setup refuses ...
//
// The file is read as setup reads it (core/ini/reader.h): where a name
// appears twice, only the first counts, and the rules look only at that.
#ifndef SFX_CORE_SETUP_INI_CHECK_H
#define SFX_CORE_SETUP_INI_CHECK_H

#include <stddef.h>

#include <string>
#include <vector>

namespace setup {

struct Finding {
  size_t line;        // from 1; 0 for the file as a whole
  std::string where;  // "[Reg] Make3", "[Menu3]"; empty for a line or the file
  std::string message;
  // Reaches beyond the application: keys or files the whole system shares.
  bool systemWide;
};

// The files that setup finds in its folder, [shell] of the archive, which
// is its current directory during the install. Null when only the file's
// own rules are checked.
struct ShellFolder {
  void* context;
  // Whether `path`, relative to [shell] ('\\' or '/' between names, ".."
  // for the folder above, which is the archive's top), names a file of
  // the archive; ASCII letters match in any case, as Windows matches them.
  bool (*holds)(void* context, const char* path);
};

// The findings in the file's order.
std::vector<Finding> CheckSetupIni(const char* bytes, size_t size, const ShellFolder* shell);

}  // namespace setup

#endif  // SFX_CORE_SETUP_INI_CHECK_H
