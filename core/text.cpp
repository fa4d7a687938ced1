#include "text.h"

#include <limits.h>
#include <string.h>

namespace text {

bool IsCp932LeadByte(uint8_t byte) { return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC); }

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
  const char* last = nullptr;
  for (const char* p = text; *p; p = Next(p, isLead)) last = p;
  return last && *last == c && Next(last, isLead) == last + 1;
}

PathParts SplitPath(const char* path, LeadByteTest isLead) {
  PathParts parts = {0, 0, 0, strlen(path)};
  const char* p = path;
  if (path[0] && path[1] == ':') {
    p = path + 2;
  } else if (path[0] == '\\' && path[1] == '\\') {
    // A network path: the server and its share are the drive.
    p = path + 2;
    for (int separators = 0; *p; p = Next(p, isLead))
      if (*p == '\\' && ++separators == 2) break;
  }
  parts.folder = static_cast<size_t>(p - path);
  const char* name = p;
  for (const char* q = p; *q; q = Next(q, isLead))
    if (*q == '\\' || *q == '/') name = q + 1;
  parts.name = static_cast<size_t>(name - path);
  const char* dot = nullptr;
  for (const char* q = name; *q; q = Next(q, isLead))
    if (*q == '.') dot = q;
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

int ReadInt(const char* text, const char** end) {
  const char* p = text;
  while (*p == ' ' || *p == '\t' || *p == '\n' || *p == '\v' || *p == '\f' || *p == '\r') ++p;
  bool negative = *p == '-';
  if (*p == '-' || *p == '+') ++p;
  if (*p < '0' || *p > '9') {
    if (end) *end = text;
    return 0;
  }
  long long value = 0;
  for (; *p >= '0' && *p <= '9'; ++p)
    if (value <= static_cast<long long>(INT_MAX) + 1) value = value * 10 + (*p - '0');
  if (end) *end = p;
  if (negative) return value > static_cast<long long>(INT_MAX) + 1 ? INT_MIN : static_cast<int>(-value);
  return value > INT_MAX ? INT_MAX : static_cast<int>(value);
}

}  // namespace text
