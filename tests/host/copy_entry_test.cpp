// The marks in front of a [CopyFile] entry.
#include <gtest/gtest.h>

#include <string>

#include "setup/copy_entry.h"

namespace {

// The marks read, in their order, as the letters that they are.
std::string Flags(const setup::CopyMarks& m) {
  return std::string(m.noRecord ? "!" : "") + (m.keep ? "&" : "") + (m.overwrite ? "?" : "") +
         (m.ignoreFailure ? "*" : "");
}

TEST(CopyEntryMarks, EveryCombinationInOrder) {
  static const char kMarks[] = "!&?*";
  for (int mask = 0; mask < 16; ++mask) {
    std::string prefix;
    for (int bit = 0; bit < 4; ++bit)
      if (mask & (1 << bit)) prefix += kMarks[bit];
    for (const char* path : {"bin\\a.dll", ""}) {
      std::string entry = prefix + path;
      setup::CopyMarks marks = setup::ReadCopyMarks(entry.c_str());
      EXPECT_EQ(Flags(marks), prefix) << entry;
      EXPECT_EQ(entry.substr(marks.path), path) << entry;
    }
  }
}

TEST(CopyEntryMarks, MarksOutOfOrderArePath) {
  struct Case {
    const char* entry;
    const char* flags;
    const char* path;
  } cases[] = {
      {"&!x", "&", "!x"},     {"?&x", "?", "&x"},    {"*?x", "*", "?x"},   {"*&x", "*", "&x"},
      {"!!x", "!", "!x"},     {"&&x", "&", "&x"},    {"**x", "*", "*x"},   {"!*&x", "!*", "&x"},
      {"x!&", "", "x!&"},     {"%system%\\a", "", "%system%\\a"},          {"\x95\x5C", "", "\x95\x5C"},
  };
  for (const Case& c : cases) {
    setup::CopyMarks marks = setup::ReadCopyMarks(c.entry);
    EXPECT_EQ(Flags(marks), c.flags) << c.entry;
    EXPECT_STREQ(c.entry + marks.path, c.path) << c.entry;
  }
}

}  // namespace
