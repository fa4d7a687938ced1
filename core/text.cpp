#include "text.h"

#include <limits.h>
#include <string.h>

namespace text {

const char* Next(const char* p, LeadByteTest isLead) {
  if (*p == '\0') return p;
  if (isLead(static_cast<uint8_t>(*p)) && p[1] != '\0') return p + 2;
  return p + 1;
}

const char* FindFirst(const char* text, char c, LeadByteTest isLead) {
  for (const char* p = text; *p; p = Next(p, isLead))
    if (*p == c) return p;
  return nullptr;
}

const char* FindLast(const char* text, char c, LeadByteTest isLead) {
  const char* found = nullptr;
  for (const char* p = text; *p; p = Next(p, isLead))
    if (*p == c) found = p;
  return found;
}

bool EndsWith(const char* text, char c, LeadByteTest isLead) {
  // The last `c` that is a character ends the text only when it is the
  // last character: a final double-byte character whose trail byte is `c`
  // is passed over by the search.
  const char* last = FindLast(text, c, isLead);
  return last && last[1] == '\0';
}

PathParts SplitPath(const char* path, LeadByteTest isLead) {
  PathParts parts = {0, 0, 0, strlen(path)};
  parts.folder = path[0] && path[1] == ':' ? 2 : 0;
  const char* name = path + parts.folder;
  for (const char* q = name; *q; q = Next(q, isLead))
    if (*q == '\\' || *q == '/') name = q + 1;
  parts.name = static_cast<size_t>(name - path);
  const char* dot = FindLast(name, '.', isLead);
  parts.extension = dot ? static_cast<size_t>(dot - path) : parts.end;
  return parts;
}

bool JoinPath(char* path, size_t size, const char* name, LeadByteTest isLead) {
  size_t length = strlen(path), nameLength = strlen(name);
  size_t slash = length != 0 && !EndsWith(path, '\\', isLead) ? 1 : 0;
  if (length + slash + nameLength >= size) {
    if (size) path[0] = '\0';
    return false;
  }
  if (slash) path[length] = '\\';
  memcpy(path + length + slash, name, nameLength + 1);
  return true;
}

bool CopyCut(char* to, size_t size, const char* from, LeadByteTest isLead) {
  if (size == 0) return from[0] == '\0';
  size_t used = 0;
  const char* p = from;
  while (*p) {
    const char* next = Next(p, isLead);
    size_t length = static_cast<size_t>(next - p);
    if (used + length >= size) break;
    memcpy(to + used, p, length);
    used += length;
    p = next;
  }
  to[used] = '\0';
  return *p == '\0';
}

size_t FindNonCp932(const char* bytes, size_t length) {
  for (size_t i = 0; i < length; ++i) {
    uint8_t byte = static_cast<uint8_t>(bytes[i]);
    if (IsCp932LeadByte(byte)) {
      uint8_t trail = i + 1 < length ? static_cast<uint8_t>(bytes[i + 1]) : 0;
      if (trail < 0x40 || trail == 0x7F || trail > 0xFC) return i;
      ++i;
    } else if (byte == 0x80 || byte == 0xA0 || byte >= 0xFD) {
      return i;
    }
  }
  return length;
}

bool IsUtf8(const char* bytes, size_t length) {
  for (size_t i = 0; i < length;) {
    uint8_t byte = static_cast<uint8_t>(bytes[i]);
    size_t more = byte < 0x80 ? 0 : (byte >> 5) == 6 ? 1 : (byte >> 4) == 14 ? 2 : (byte >> 3) == 30 ? 3 : 4;
    if (more == 4 || more >= length - i) return false;
    for (size_t k = 1; k <= more; ++k)
      if ((static_cast<uint8_t>(bytes[i + k]) & 0xC0) != 0x80) return false;
    i += more + 1;
  }
  return true;
}

char AsciiUpper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

bool EqualNoCase(const char* a, const char* b) {
  for (; *a && AsciiUpper(*a) == AsciiUpper(*b); ++a, ++b) {
  }
  return AsciiUpper(*a) == AsciiUpper(*b);
}

bool StartsWithNoCase(const char* text, const char* prefix) {
  for (; *prefix; ++text, ++prefix)
    if (AsciiUpper(*text) != AsciiUpper(*prefix)) return false;
  return true;
}

bool EqualNoCase(const char* text, size_t length, const char* word) {
  // StartsWithNoCase stops at the first difference, so it reads no further
  // into `text` than `length` bytes once the lengths agree.
  return strlen(word) == length && StartsWithNoCase(text, word);
}

int ReadInt(const char* text, const char** end) {
  const char* p = text;
  while (*p == ' ' || *p == '\t' || *p == '\n' || *p == '\v' || *p == '\f' || *p == '\r') ++p;
  bool negative = *p == '-';
  if (*p == '-' || *p == '+') ++p;
  const char* digits = p;
  // Counted in 32 bits up to one past INT_MAX, the magnitude of INT_MIN.
  const unsigned limit = static_cast<unsigned>(INT_MAX) + 1;
  unsigned value = 0;
  for (; *p >= '0' && *p <= '9'; ++p) {
    unsigned digit = static_cast<unsigned>(*p - '0');
    value = value > (limit - digit) / 10 ? limit : value * 10 + digit;
  }
  if (end) *end = p == digits ? text : p;
  if (negative) return value == limit ? INT_MIN : -static_cast<int>(value);
  return value >= limit ? INT_MAX : static_cast<int>(value);
}

}  // namespace text
