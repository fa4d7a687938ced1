#include "grammar.h"

#include <stdint.h>
#include <string.h>

namespace profile {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\v' || c == '\f'; }

// [*start, *end) with the blanks at both ends dropped.
void Trim(const char** start, const char** end) {
  while (*start < *end && IsBlank(**start)) ++*start;
  while (*end > *start && IsBlank((*end)[-1])) --*end;
}

void SetSpan(const char* start, const char* end, const char** text, size_t* length) {
  Trim(&start, &end);
  *text = start;
  *length = static_cast<size_t>(end - start);
}

}  // namespace

bool LineReader::Next(Line* line) {
  if (at_ >= size_) return false;
  size_t start = at_;
  while (at_ < size_ && bytes_[at_] != '\n' && bytes_[at_] != '\r') ++at_;
  line->text = bytes_ + start;
  line->length = at_ - start;
  line->number = ++number_;
  if (at_ < size_) {
    bool cr = bytes_[at_++] == '\r';
    if (cr && at_ < size_ && bytes_[at_] == '\n') ++at_;
  }
  return true;
}

LineParts ParseLine(const Line& line) {
  LineParts parts = {};
  const void* nul = memchr(line.text, '\0', line.length);
  const char* start = line.text;
  const char* end = nul ? static_cast<const char*>(nul) : line.text + line.length;
  Trim(&start, &end);
  if (start == end || *start == ';') return parts;
  if (*start == '[') {
    const char* close = end;
    while (close > start && close[-1] != ']') --close;
    if (close > start + 1) {
      parts.kind = LineParts::kHeader;
      SetSpan(start + 1, close - 1, &parts.name, &parts.nameLength);
      return parts;
    }
  }
  const char* equals = static_cast<const char*>(memchr(start, '=', static_cast<size_t>(end - start)));
  if (!equals) {
    parts.kind = *start == '[' ? LineParts::kUnclosedHeader : LineParts::kNoEquals;
    return parts;
  }
  parts.kind = LineParts::kKey;
  SetSpan(start, equals, &parts.name, &parts.nameLength);
  SetSpan(equals + 1, end, &parts.written, &parts.writtenLength);
  parts.value = parts.written;
  parts.valueLength = parts.writtenLength;
  size_t n = parts.writtenLength;
  if (n >= 2 && (parts.written[0] == '"' || parts.written[0] == '\'') && parts.written[n - 1] == parts.written[0]) {
    ++parts.value;
    parts.valueLength -= 2;
  }
  return parts;
}

size_t ByteOrderMarkLength(const char* bytes, size_t size) {
  return size >= 3 && memcmp(bytes, "\xEF\xBB\xBF", 3) == 0 ? 3 : 0;
}

int ReadProfileInt(const char* value, size_t length, int fallback, bool* digits) {
  if (digits) *digits = false;
  if (length == 0) return fallback;
  const char* p = value;
  const char* end = value + length;
  while (p < end && IsBlank(*p)) ++p;
  bool negative = p < end && *p == '-';
  if (p < end && (*p == '-' || *p == '+')) ++p;
  uint32_t number = 0;
  for (; p < end && *p >= '0' && *p <= '9'; ++p) {
    number = number * 10u + static_cast<uint32_t>(*p - '0');
    if (digits) *digits = true;
  }
  if (negative) number = 0u - number;
  // The two's-complement reading of the 32 bits, without relying on how a
  // conversion of a value above INT_MAX is defined.
  return number <= 0x7FFFFFFFu ? static_cast<int>(number) : -static_cast<int>(~number) - 1;
}

}  // namespace profile
