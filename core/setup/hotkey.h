// The hot key of a desktop or startup shortcut, from its [Desktop] or
// [Startup] Short text, as the word that the shell link's SetHotkey takes:
// a virtual-key code in the low byte, modifier flags in the high byte.
//
//   Short      word
//   P          0x0650  Ctrl+Alt+P
//   a          0x0661  the byte is the key code as it stands: numeric-keypad 1
//   \256       0x0700  a backslash and a decimal number, read as atoi reads;
//                      values above 255 bring modifiers of their own (Shift)
//   byte 0x82  0xFF82  the first byte is widened with its sign, so bytes of
//                      0x80 and above fill the high byte
#ifndef SFX_CORE_SETUP_HOTKEY_H
#define SFX_CORE_SETUP_HOTKEY_H

#include <stdint.h>

namespace setup {

// HOTKEYF_CONTROL | HOTKEYF_ALT, in the high byte: every hot key made here
// carries both.
constexpr uint16_t kControlAlt = 0x0600;

// Never a word that HotkeyWord returns, since it always holds kControlAlt.
constexpr uint16_t kNoHotkey = 0;

// kNoHotkey for an empty text: the link then gets no hot key at all.
uint16_t HotkeyWord(const char* shortText);

}  // namespace setup

#endif  // SFX_CORE_SETUP_HOTKEY_H
