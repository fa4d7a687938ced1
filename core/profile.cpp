#include "profile.h"

#include <stdint.h>
#include <string.h>

#include "text.h"

namespace profile {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\v' || c == '\f'; }

// [start, end) with the blanks at both ends dropped.
std::string Trimmed(const char* start, const char* end) {
  while (start < end && IsBlank(*start)) ++start;
  while (end > start && IsBlank(end[-1])) --end;
  return std::string(start, end);
}

const Entry* FindEntry(const Section& section, const char* name) {
  for (const Entry& entry : section.entries)
    if (text::EqualNoCase(entry.name.c_str(), name)) return &entry;
  return nullptr;
}

std::string Unquoted(const std::string& written) {
  size_t n = written.size();
  if (n >= 2 && (written[0] == '"' || written[0] == '\'') && written[n - 1] == written[0])
    return written.substr(1, n - 2);
  return written;
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

Profile::Profile(const char* bytes, size_t size) {
  // The mark is passed over, so that the first section is read; the
  // builder warns about it on its own.
  size_t mark = ByteOrderMarkLength(bytes, size);
  bytes += mark, size -= mark;
  LineReader reader(bytes, size);
  Line line;
  while (reader.Next(&line)) {
    const void* nul = memchr(line.text, '\0', line.length);
    const char* start = line.text;
    const char* end = nul ? static_cast<const char*>(nul) : line.text + line.length;
    while (start < end && IsBlank(*start)) ++start;
    while (end > start && IsBlank(end[-1])) --end;
    if (start == end || *start == ';') continue;
    if (*start == '[') {
      const char* close = end;
      while (close > start && close[-1] != ']') --close;
      if (close > start + 1) {
        sections_.push_back(Section{Trimmed(start + 1, close - 1), line.number, {}});
        continue;
      }
    }
    const char* equals = static_cast<const char*>(memchr(start, '=', static_cast<size_t>(end - start)));
    if (sections_.empty()) {
      strays_.push_back(Stray{Stray::kOutsideSection, line.number});
    } else if (*start == '[' && !equals) {
      strays_.push_back(Stray{Stray::kUnclosedHeader, line.number});
    } else if (!equals) {
      strays_.push_back(Stray{Stray::kNoEquals, line.number});
    } else {
      std::string written = Trimmed(equals + 1, end);
      std::string value = Unquoted(written);
      sections_.back().entries.push_back(Entry{Trimmed(start, equals), written, value, line.number});
    }
  }
}

size_t ByteOrderMarkLength(const char* bytes, size_t size) {
  return size >= 3 && memcmp(bytes, "\xEF\xBB\xBF", 3) == 0 ? 3 : 0;
}

const Section* Profile::FindSection(const char* name) const {
  for (const Section& section : sections_)
    if (text::EqualNoCase(section.name.c_str(), name)) return &section;
  return nullptr;
}

const Entry* Profile::Find(const char* section, const char* key) const {
  const Section* found = FindSection(section);
  return found ? FindEntry(*found, key) : nullptr;
}

std::string Profile::String(const char* section, const char* key) const {
  const Entry* entry = Find(section, key);
  return entry ? entry->value : std::string();
}

int Profile::Int(const char* section, const char* key, int fallback) const {
  const Entry* entry = Find(section, key);
  return entry ? ReadProfileInt(entry->value, fallback) : fallback;
}

int ReadProfileInt(const std::string& value, int fallback, bool* digits) {
  if (digits) *digits = false;
  if (value.empty()) return fallback;
  const char* p = value.c_str();
  while (IsBlank(*p)) ++p;
  bool negative = *p == '-';
  if (*p == '-' || *p == '+') ++p;
  uint32_t number = 0;
  for (; *p >= '0' && *p <= '9'; ++p) {
    number = number * 10u + static_cast<uint32_t>(*p - '0');
    if (digits) *digits = true;
  }
  if (negative) number = 0u - number;
  // The two's-complement reading of the 32 bits, without relying on how a
  // conversion of a value above INT_MAX is defined.
  return number <= 0x7FFFFFFFu ? static_cast<int>(number) : -static_cast<int>(~number) - 1;
}

}  // namespace profile
