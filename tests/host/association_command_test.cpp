// The verb command of a file type: split into program and arguments, and
// built again around the resolved program.
#include <gtest/gtest.h>

#include <string>

#include "setup/association_command.h"

namespace {

TEST(AssociationCommand, SplitAndRebuilt) {
  const char* const cases[][5] = {  // breaks, command, program, arguments, rebuilt around the program R
      {"quoted, arguments keep their blank", "\"C:\\My Tools\\v.exe\" /p \"%1\"", "C:\\My Tools\\v.exe",
       " /p \"%1\"", "\"R\" /p \"%1\""},
      {"quoted, no blank", "\"v.exe\"/p", "v.exe", "/p", "\"R\"/p"},
      {"quoted, no arguments", "\"v.exe\"", "v.exe", "", "\"R\""},
      {"no closing quote", "\"C:\\My Tools\\v.exe /p", "C:\\My Tools\\v.exe /p", "", "\"R\""},
      {"blank", "v.exe /p %1", "v.exe", "/p %1", "R /p %1"},
      {"tab becomes a blank", "v.exe\t/p", "v.exe", "/p", "R /p"},
      {"only the first separator goes", "v.exe  /p", "v.exe", " /p", "R  /p"},
      {"no arguments, blank still written", "v.exe", "v.exe", "", "R "},
  };
  for (const auto& c : cases) {
    std::string command = c[1];
    setup::CommandParts parts = setup::SplitCommand(c[1]);
    EXPECT_EQ(parts.quoted, c[1][0] == '"') << c[0];
    EXPECT_EQ(command.substr(parts.program.offset, parts.program.length), c[2]) << c[0];
    EXPECT_EQ(command.substr(parts.arguments.offset, parts.arguments.length), c[3]) << c[0];
    char line[260];
    EXPECT_TRUE(setup::BuildCommandLine(line, sizeof line, c[1], parts, "R")) << c[0];
    EXPECT_STREQ(line, c[4]) << c[0];
  }
  // Around a program of 250 characters: 259 fit the buffer, 260 are refused.
  const std::string program(250, 'p');
  const std::pair<const char*, bool> bounds[] = {
      {"v /1234567", true}, {"v /12345678", false}, {"\"v\" /12345", true}, {"\"v\" /123456", false}};
  for (const auto& [command, fits] : bounds) {
    char line[260];
    setup::CommandParts parts = setup::SplitCommand(command);
    EXPECT_EQ(setup::BuildCommandLine(line, sizeof line, command, parts, program.c_str()), fits) << command;
    EXPECT_EQ(strlen(line), fits ? 259u : 0u) << command;
  }
}

}  // namespace
