#include "lzh/path.h"

#include <string.h>

namespace lzh {
namespace {

char Upper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c; }

bool SameWord(const char* a, size_t length, const char* word) {
  size_t n = strlen(word);
  if (length != n) return false;
  for (size_t i = 0; i < n; ++i)
    if (Upper(a[i]) != word[i]) return false;
  return true;
}

// Windows opens the device whatever the extension, and ignores trailing
// dots and spaces, so "con .txt" is still the console.
bool IsDeviceName(const char* part, size_t length) {
  size_t base = 0;
  while (base < length && part[base] != '.') ++base;
  while (base > 0 && part[base - 1] == ' ') --base;
  static const char* const kDevices[] = {"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$"};
  for (const char* device : kDevices)
    if (SameWord(part, base, device)) return true;
  if (base == 4 && (SameWord(part, 3, "COM") || SameWord(part, 3, "LPT")) && part[3] >= '1' && part[3] <= '9')
    return true;
  return false;
}

// A piece between separators. Only dots and spaces is a way up or a name
// Windows would trim to one.
bool IsUnsafePiece(const char* piece, size_t length) {
  if (length == 0 || (length == 1 && piece[0] == '.')) return false;
  bool dotsAndSpaces = true;
  for (size_t i = 0; i < length; ++i)
    if (piece[i] != '.' && piece[i] != ' ') dotsAndSpaces = false;
  return dotsAndSpaces || IsDeviceName(piece, length);
}

bool IsUnsafeComponent(const char* part, size_t length) {
  if (memchr(part, ':', length)) return true;  // drive letters, alternate streams
  size_t start = 0;
  for (size_t i = 0; i <= length; ++i)
    if (i == length || part[i] == '\\') {
      if (IsUnsafePiece(part + start, i - start)) return true;
      start = i + 1;
    }
  return false;
}

}  // namespace

Result CleanPath(const char* path, size_t length, char* clean, size_t* cleanLength) {
  *cleanLength = 0;
  clean[0] = '\0';
  if (length == 0 || path[0] == '/' || path[0] == '\\') return Result::kUnsafeName;
  if (memchr(path, '\0', length)) return Result::kUnsafeName;
  size_t out = 0;
  size_t start = 0;
  for (size_t i = 0; i <= length; ++i) {
    if (i != length && path[i] != '/') continue;
    const char* part = path + start;
    size_t partLength = i - start;
    start = i + 1;
    if (partLength == 0 || (partLength == 1 && part[0] == '.')) continue;
    if (IsUnsafeComponent(part, partLength)) return Result::kUnsafeName;
    if (out != 0) clean[out++] = '/';
    memcpy(clean + out, part, partLength);
    out += partLength;
  }
  if (out == 0) return Result::kUnsafeName;
  clean[out] = '\0';
  *cleanLength = out;
  return Result::kOk;
}

}  // namespace lzh
