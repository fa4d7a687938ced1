// The hot key word of a shortcut from its Short text.
#include <gtest/gtest.h>

#include "setup/hotkey.h"

namespace {

TEST(HotkeyWord, FromShortText) {
  struct {
    const char* breaks;
    const char* text;
    uint16_t word;
  } cases[] = {
      {"letter", "P", 0x0650}, {"lower case is its own key code", "a", 0x0661},
      {"number above 255 adds Shift", "\\256", 0x0700}, {"number beyond a word", "\\70000", 0x1770},
      {"backslash alone reads 0", "\\", 0x0600}, {"byte 0x80 widened with its sign", "\x80", 0xFF80},
      {"lead byte", "\x95\x5C", 0xFF95}, {"empty text: no hot key", "", setup::kNoHotkey},
  };
  for (const auto& c : cases) EXPECT_EQ(setup::HotkeyWord(c.text), c.word) << c.breaks;
}

}  // namespace
