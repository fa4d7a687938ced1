// The marks in front of a [CopyFile] entry.
#include <gtest/gtest.h>

#include <string>

#include "setup/copy_entry.h"

namespace {

std::string Flags(const setup::CopyMarks& m) {
  return std::string(m.noRecord ? "!" : "") + (m.keep ? "&" : "") + (m.overwrite ? "?" : "") +
         (m.ignoreFailure ? "*" : "") + (m.takeOver ? "+" : "");
}

TEST(CopyEntryMarks, EveryCombinationInOrder) {
  for (int mask = 0; mask < 32; ++mask) {
    std::string marks;
    for (int bit = 0; bit < 5; ++bit)
      if (mask & (1 << bit)) marks += "!&?*+"[bit];
    for (std::string path : {"bin\\a.dll", ""}) {
      std::string entry = marks + path;
      setup::CopyMarks read = setup::ReadCopyMarks(entry.c_str());
      EXPECT_EQ(Flags(read), marks) << entry;
      EXPECT_EQ(entry.substr(read.path), path) << entry;
    }
  }
}

TEST(CopyEntryMarks, MarksOutOfOrderArePath) {
  // entry, marks, path
  const char* const cases[][3] = {
      {"&!x", "&", "!x"}, {"?&x", "?", "&x"}, {"*?x", "*", "?x"}, {"!!x", "!", "!x"},   {"&&x", "&", "&x"},
      {"**x", "*", "*x"}, {"!*&x", "!*", "&x"}, {"x!&", "", "x!&"}, {"+*x", "+", "*x"}, {"++x", "+", "+x"}, {"\x95\x5C", "", "\x95\x5C"},
  };
  for (const auto& c : cases) {
    setup::CopyMarks read = setup::ReadCopyMarks(c[0]);
    EXPECT_EQ(Flags(read), c[1]) << c[0];
    EXPECT_STREQ(c[0] + read.path, c[2]) << c[0];
  }
}

}  // namespace
