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
