// The verb command of a file type: split into program and arguments, and
// built again around the resolved program.
#include <gtest/gtest.h>

#include <string>

#include "setup/association_command.h"

namespace {

const char kResolved[] = "C:\\Tools\\v.exe";

TEST(AssociationCommand, SplitAndRebuilt) {
  struct Case {
    const char* breaks;
    const char* command;
    bool quoted;
    const char* program;
    const char* arguments;
    const char* rebuilt;
  } cases[] = {
      {"quoted, arguments keep their blank", "\"C:\\My Tools\\v.exe\" /p \"%1\"", true, "C:\\My Tools\\v.exe",
       " /p \"%1\"", "\"C:\\Tools\\v.exe\" /p \"%1\""},
      {"quoted, arguments without a blank", "\"v.exe\"/p", true, "v.exe", "/p", "\"C:\\Tools\\v.exe\"/p"},
      {"quoted, no arguments", "\"v.exe\"", true, "v.exe", "", "\"C:\\Tools\\v.exe\""},
      {"no closing quote", "\"C:\\My Tools\\v.exe /p", true, "C:\\My Tools\\v.exe /p", "",
       "\"C:\\Tools\\v.exe\""},
      {"blank separator", "v.exe /p %1", false, "v.exe", "/p %1", "C:\\Tools\\v.exe /p %1"},
      {"tab separator becomes a blank", "v.exe\t/p", false, "v.exe", "/p", "C:\\Tools\\v.exe /p"},
      {"only the first separator goes", "v.exe  /p", false, "v.exe", " /p", "C:\\Tools\\v.exe  /p"},
      {"no arguments, blank still written", "v.exe", false, "v.exe", "", "C:\\Tools\\v.exe "},
      {"empty command", "", false, "", "", "C:\\Tools\\v.exe "},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.breaks);
    std::string command = c.command;
    setup::CommandParts parts = setup::SplitCommand(c.command);
    EXPECT_EQ(parts.quoted, c.quoted);
    EXPECT_EQ(command.substr(parts.program.offset, parts.program.length), c.program);
    EXPECT_EQ(command.substr(parts.arguments.offset, parts.arguments.length), c.arguments);
    char line[260];
    EXPECT_TRUE(setup::BuildCommandLine(line, sizeof line, c.command, parts, kResolved));
    EXPECT_STREQ(line, c.rebuilt);
  }
}

TEST(AssociationCommand, OverLongLinesAreRefusedNotCut) {
  struct Case {
    const char* breaks;
    std::string command;
    size_t programLength;
    bool fits;
  } cases[] = {
      {"bare, 259 characters", "v /1234567", 250, true},  // 250, blank, 8
      {"bare, 260 characters", "v /12345678", 250, false},
      {"quoted, 259 characters", "\"v\" /12345", 250, true},  // quote, 250, quote, 7
      {"quoted, 260 characters", "\"v\" /123456", 250, false},
      {"program alone too long", "v", 259, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.breaks);
    std::string program(c.programLength, 'p');
    char line[260];
    memset(line, 'x', sizeof line);
    setup::CommandParts parts = setup::SplitCommand(c.command.c_str());
    EXPECT_EQ(setup::BuildCommandLine(line, sizeof line, c.command.c_str(), parts, program.c_str()), c.fits);
    EXPECT_EQ(strlen(line), c.fits ? 259u : 0u);
  }
}

}  // namespace
