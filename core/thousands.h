// Numbers as the kit shows them: decimal digits in groups of three,
// "1,234,567". A template, so that the stubs format their 32-bit counters
// without the 64-bit division that sfxbuild's totals need.
#ifndef SFX_CORE_THOUSANDS_H
#define SFX_CORE_THOUSANDS_H

#include <stddef.h>

namespace thousands {

// Room for the longest 64-bit text, "18,446,744,073,709,551,615", with its NUL.
constexpr size_t kMaxSize = 27;

// Writes the digits of `magnitude` in groups of three, most significant
// first, after a '-' when `negative`; returns the end of the text (its NUL).
template <typename Unsigned>
char* Group(char* out, Unsigned magnitude, bool negative) {
  char reversed[kMaxSize];
  size_t count = 0;
  unsigned digits = 0;
  do {
    if (digits != 0 && digits % 3 == 0) reversed[count++] = ',';
    reversed[count++] = static_cast<char>('0' + magnitude % 10);
    magnitude /= 10;
    ++digits;
  } while (magnitude != 0);
  if (negative) *out++ = '-';
  while (count != 0) *out++ = reversed[--count];
  *out = '\0';
  return out;
}

}  // namespace thousands

#endif  // SFX_CORE_THOUSANDS_H
