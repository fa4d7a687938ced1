#include "entry_name.h"

#include <stdint.h>
#include <string.h>

#include "text.h"

namespace archive {
namespace {

// Device names, upper case; '#' stands for a digit 1 to 9.
const char kDevices[] = "CON\0PRN\0AUX\0NUL\0COM#\0LPT#\0CLOCK$\0CONIN$\0CONOUT$\0";

// Windows opens the device whatever the extension, and ignores blanks
// before it, so "con .txt" is still the console.
bool IsDeviceName(const char* part, size_t length) {
  size_t base = 0;
  while (base < length && part[base] != '.') ++base;
  while (base > 0 && part[base - 1] == ' ') --base;
  if (base < 3 || base > 7) return false;
  char word[8];
  for (size_t i = 0; i < base; ++i) word[i] = text::AsciiUpper(part[i]);
  word[base] = '\0';
  if (base == 4 && word[3] >= '1' && word[3] <= '9') word[3] = '#';
  for (const char* device = kDevices; *device; device += strlen(device) + 1)
    if (memcmp(word, device, base + 1) == 0) return true;
  return false;
}

// A piece between separators: only dots and blanks is a way up, or a name
// that Windows would trim to one.
bool IsUnsafePiece(const char* piece, size_t length) {
  if (length == 0 || (length == 1 && piece[0] == '.')) return false;
  size_t i = 0;
  while (i < length && (piece[i] == '.' || piece[i] == ' ')) ++i;
  return i == length || IsDeviceName(piece, length);
}

// Control characters and " * : < > ? | (one bit each from 0x20 to 0x3F).
bool IsForbiddenByte(unsigned char c) {
  const uint32_t kForbidden = 1u << ('"' - 0x20) | 1u << ('*' - 0x20) | 1u << (':' - 0x20) | 1u << ('<' - 0x20) |
                              1u << ('>' - 0x20) | 1u << ('?' - 0x20);
  return c < 0x20 || c == 0x7F || c == '|' || (c < 0x40 && (kForbidden >> (c - 0x20) & 1));
}

}  // namespace

core::Result CleanEntryName(const char* name, size_t length, char separator, char* clean, size_t* cleanLength) {
  *cleanLength = 0;
  clean[0] = '\0';
  // An absolute path lands below the target as it would below the root:
  // a drive's letter goes here, the leading separators with the empty parts.
  if (length >= 2 && name[1] == ':' && static_cast<unsigned char>((name[0] | 0x20) - 'a') < 26) {
    name += 2;
    length -= 2;
  }
  size_t out = 0, partStart = 0, pieceStart = 0;
  bool trail = false;  // the byte at hand is the second of a double-byte character
  for (size_t i = 0; i <= length; ++i) {
    unsigned char c = i < length ? static_cast<unsigned char>(name[i]) : '/';
    if (c != '/' && c != '\\') {
      // Any byte may follow a lead byte but a control character ('|' is
      // the second byte of some characters).
      if (trail ? c < 0x20 : IsForbiddenByte(c)) return core::Result::kUnsafeName;
      trail = !trail && text::IsCp932LeadByte(c);
      continue;
    }
    // Pieces end at every 0x5C, parts only at true separators.
    if (IsUnsafePiece(name + pieceStart, i - pieceStart)) return core::Result::kUnsafeName;
    pieceStart = i + 1;
    if (trail && c == '\\') {
      trail = false;
      continue;
    }
    trail = false;
    const char* part = name + partStart;
    size_t partLength = i - partStart;
    partStart = i + 1;
    if (partLength == 0 || (partLength == 1 && part[0] == '.')) continue;
    if (out != 0) clean[out++] = separator;
    memcpy(clean + out, part, partLength);
    out += partLength;
  }
  if (out == 0) return core::Result::kUnsafeName;
  clean[out] = '\0';
  *cleanLength = out;
  return core::Result::kOk;
}

}  // namespace archive
