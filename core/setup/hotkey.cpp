#include "setup/hotkey.h"

#include "text.h"

namespace setup {

uint16_t HotkeyWord(const char* shortText) {
  if (shortText[0] == '\0') return kNoHotkey;
  int value = shortText[0] == '\\' ? text::ReadInt(shortText + 1) : static_cast<signed char>(shortText[0]);
  // The word keeps the low 16 bits, as the WORD that SetHotkey takes does.
  return static_cast<uint16_t>(static_cast<unsigned>(value) | kControlAlt);
}

}  // namespace setup
