// The uninstall entry's command as setup writes it, and the program that
// setup and the stubs read back from any entry's command.
#include "setup/uninstall_command.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

#include "command_line.h"

namespace {

std::string Compose(const std::string& folder, bool withArgument, size_t size = 276) {
  std::string out(size, '#');
  bool composed = setup::ComposeUninstallCommand(&out[0], size, folder.c_str(), withArgument);
  std::string command = out.c_str();
  EXPECT_EQ(composed, !command.empty()) << folder;
  return command;
}

TEST(UninstallCommand, Composed) {
  std::string folder249 = "C:\\" + std::string(246, 'f');
  struct Case {
    std::string folder;
    bool withArgument;
    size_t size;
    std::string command;
  } cases[] = {
      {"C:\\Program Files\\App", true, 276, "C:\\Program Files\\App\\Setup.exe uninstall"},
      {"C:\\Program Files\\App", false, 276, "C:\\Program Files\\App\\Setup.exe"},
      {"C:\\", true, 276, "C:\\Setup.exe uninstall"},  // one backslash
      {"", true, 276, ""},                            // no folder: no entry
      {folder249, true, 276, folder249 + "\\Setup.exe uninstall"},  // a program of 259
      {folder249 + "f", true, 276, ""},                // a program of 260 starts nothing
      {"C:\\A", true, 25, "C:\\A\\Setup.exe uninstall"},
      {"C:\\A", true, 24, ""},
      {"C:\\A", false, 15, "C:\\A\\Setup.exe"},
      {"C:\\A", false, 14, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.folder.substr(0, 30) + " size " + std::to_string(c.size));
    EXPECT_EQ(Compose(c.folder, c.withArgument, c.size), c.command);
  }
}

// What setup's uninstall entry starts: Windows hands the unquoted command
// on as it was, and setup finds its own path and the argument in it.
TEST(UninstallCommand, SetupReadsItsOwnCommandBack) {
  for (const char* folder : {"C:\\Program Files\\App", "C:\\App", "D:\\\x95\\\\App"}) {
    SCOPED_TRACE(folder);
    std::string command = Compose(folder, true);
    std::string own = std::string(folder) + "\\Setup.exe";
    const char* tail = SkipOwnPath(command.c_str(), own.c_str());
    while (*tail == ' ') ++tail;
    EXPECT_STREQ(tail, setup::kUninstallArgument);
    // Kept whole, so that setup finds the folder up to the last backslash.
    std::string program = command;
    EXPECT_FALSE(setup::CutToCommandProgram(&program[0], nullptr));
    EXPECT_EQ(program, command);
  }
}

// The stubs read any program's entry; existing paths are this machine's.
bool Exists(const char* path) {
  static const std::set<std::string> kExisting = {"C:\\Program Files\\App\\Setup.exe", "C:\\Tools",
                                                  "C:\\Tools\\x y.exe", "C:\\App"};
  return kExisting.count(path) != 0;
}

TEST(UninstallCommand, TheProgramOfAnyCommand) {
  struct Case {
    const char* command;
    bool quoted;
    const char* program;
    const char* whole;  // without an existence test
  } cases[] = {
      {"C:\\Program Files\\App\\Setup.exe uninstall", false, "C:\\Program Files\\App\\Setup.exe",
       "C:\\Program Files\\App\\Setup.exe uninstall"},
      {"C:\\Program Files\\App\\Setup.exe", false, "C:\\Program Files\\App\\Setup.exe",
       "C:\\Program Files\\App\\Setup.exe"},
      {"C:\\Tools\\x y.exe /u /log C:\\Temp\\u.log", false, "C:\\Tools\\x y.exe",
       "C:\\Tools\\x y.exe /u /log C:\\Temp\\u.log"},
      {"C:\\Tools", false, "C:\\Tools", "C:\\Tools"},
      {"C:\\Gone\\x.exe /u", false, "C:\\Gone\\x.exe", "C:\\Gone\\x.exe /u"},  // nothing exists: one word
      {"C:\\Gone Away\\x.exe", false, "C:\\Gone", "C:\\Gone Away\\x.exe"},
      {"C:\\App  /u", false, "C:\\App", "C:\\App  /u"},  // one blank at a time
      {"\"C:\\Quoted Dir\\x.exe\" /u \"a b\"", true, "C:\\Quoted Dir\\x.exe", "C:\\Quoted Dir\\x.exe"},
      {"\"C:\\Open Quote\\x.exe", true, "C:\\Open Quote\\x.exe", "C:\\Open Quote\\x.exe"},
      {"\"\"", true, "", ""},
      {"", false, "", ""},
      {"\"C:\\\x95\\\" /u", true, "C:\\\x95\\", "C:\\\x95\\"},  // a trail byte 0x5C
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.command);
    std::string tested = c.command, whole = c.command;
    EXPECT_EQ(setup::CutToCommandProgram(&tested[0], Exists), c.quoted);
    EXPECT_STREQ(tested.c_str(), c.program);
    EXPECT_EQ(setup::CutToCommandProgram(&whole[0], nullptr), c.quoted);
    EXPECT_STREQ(whole.c_str(), c.whole);
  }
}

}  // namespace
