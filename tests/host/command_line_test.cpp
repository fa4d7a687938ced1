// Splitting command lines: the program's own path, then the arguments of
// the unpacking libraries' command texts.
#include "command_line.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

TEST(SkipProgramPath, QuotedOrBarePathGivesTheRest) {
  EXPECT_STREQ(SkipProgramPath("\"C:\\a b\\x+y.exe\" +84"), " +84");
  EXPECT_STREQ(SkipProgramPath("C:\\x+y.exe -n"), " -n");
  EXPECT_STREQ(SkipProgramPath("C:\\x.exe\t+1"), "\t+1");
  EXPECT_STREQ(SkipProgramPath("\"C:\\never closed"), "");
  EXPECT_STREQ(SkipProgramPath("alone.exe"), "");
  EXPECT_STREQ(SkipProgramPath(""), "");
}

// Windows hands an unquoted line on unchanged, blanks in the path and all.
TEST(SkipOwnPath, AnUnquotedLineThatStartsWithTheOwnPathSkipsItWhole) {
  const char* own = "C:\\Program Files\\App\\Setup.exe";
  struct Case {
    const char* line;
    const char* tail;
  } cases[] = {
      {"C:\\Program Files\\App\\Setup.exe uninstall", " uninstall"},
      {"c:\\PROGRAM FILES\\app\\setup.EXE uninstall", " uninstall"},  // letters in any case
      {"C:\\Program Files\\App\\Setup.exe", ""},
      {"C:\\Program Files\\App\\Setup.exe\tremove", "\tremove"},
      {"\"C:\\Program Files\\App\\Setup.exe\" uninstall", " uninstall"},  // quoted: the old rule
      {"C:\\Program Files\\App\\Setup.exe2 x", " Files\\App\\Setup.exe2 x"},  // another program
      {"C:\\Program", ""},  // shorter than the path
      {"", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.line);
    EXPECT_STREQ(SkipOwnPath(c.line, own), c.tail);
  }
  // A trail byte matches exactly, though it looks like a letter: 0x82 0x61
  // and 0x82 0x41 are two characters.
  const char* japanese = "C:\\\x82\x61 b\\s.exe";
  EXPECT_STREQ(SkipOwnPath("C:\\\x82\x61 b\\s.exe u", japanese), " u");
  EXPECT_STREQ(SkipOwnPath("C:\\\x82\x41 b\\s.exe u", japanese), " b\\s.exe u");
  EXPECT_STREQ(SkipOwnPath("C:\\A B", "C:\\a B"), "");
  EXPECT_STREQ(SkipOwnPath("a b", ""), " b");  // no path of its own: the old rule
}

// Each line split to its end: the arguments taken, then how it stopped.
TEST(NextArgument, QuotedBareAndBroken) {
  struct Case {
    const char* text;
    std::vector<std::string> arguments;
    Argument end;
  } cases[] = {
      {"x \"C:\\a b\\app.lzh\" \"C:\\out\\\"", {"x", "C:\\a b\\app.lzh", "C:\\out\\"}, Argument::kNone},
      {"  -x\ta.cab\r\n", {"-x", "a.cab"}, Argument::kNone},
      {"\"\" b", {"", "b"}, Argument::kNone},
      {"a\"b c", {"a\"b", "c"}, Argument::kNone},  // a quote inside a bare word is kept
      {"x \"never closed", {"x"}, Argument::kOpenQuote},
      {"x 0123456789abcdef", {"x"}, Argument::kTooLong},  // 16 bytes do not hold 16 characters
      {"", {}, Argument::kNone},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    const char* p = c.text;
    char out[16];
    std::vector<std::string> taken;
    Argument last;
    while ((last = NextArgument(&p, out, sizeof out)) == Argument::kTaken) taken.push_back(out);
    EXPECT_EQ(taken, c.arguments);
    EXPECT_EQ(last, c.end);
  }
}

}  // namespace
