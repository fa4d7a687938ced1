#include "document.h"

#include <string.h>

#include "grammar.h"
#include "text.h"

namespace profile {
namespace {

// Far beyond any Setup.ini, and small enough that the 32-bit marks and
// every sum of sizes below stay exact.
constexpr size_t kLargestFile = 0x10000000;

bool IsLineEnd(char c) { return c == '\n' || c == '\r'; }

size_t CountLineEnds(const char* bytes, size_t size) {
  size_t n = 0;
  for (size_t i = 0; i < size; ++i) n += IsLineEnd(bytes[i]);
  return n;
}

}  // namespace

bool Document::Load(const char* bytes, size_t size) {
  char* block = size <= kLargestFile ? static_cast<char*>(resize_(nullptr, size + 1)) : nullptr;
  if (!block) {
    Clear();
    return false;
  }
  memcpy(block, bytes, size);
  return Adopt(block, size);
}

bool Document::Adopt(char* block, size_t size) {
  Clear();
  if (size > kLargestFile) {
    resize_(block, 0);
    return false;
  }
  bytes_ = block;
  capacity_ = size + 1;
  size_ = size;
  bytes_[size_] = '\0';
  if (!Reserve(capacity_, CountLineEnds(bytes_, size_) + 1)) {
    Clear();
    return false;
  }
  Index();
  return true;
}

void Document::Clear() {
  if (bytes_) resize_(bytes_, 0);
  if (marks_) resize_(marks_, 0);
  bytes_ = nullptr;
  marks_ = nullptr;
  size_ = capacity_ = markCount_ = markCapacity_ = 0;
  changed_ = false;
}

bool Document::Reserve(size_t bytes, size_t marks) {
  if (bytes > capacity_) {
    size_t grown = capacity_ + capacity_ / 2;
    if (grown < bytes) grown = bytes;
    void* block = resize_(bytes_, grown);
    if (!block) return false;
    bytes_ = static_cast<char*>(block);
    capacity_ = grown;
  }
  if (marks > markCapacity_) {
    size_t grown = markCapacity_ + markCapacity_ / 2;
    if (grown < marks) grown = marks;
    void* block = resize_(marks_, grown * sizeof(Mark));
    if (!block) return false;
    marks_ = static_cast<Mark*>(block);
    markCapacity_ = grown;
  }
  return true;
}

// Marks every header and every key under one; a key before the first
// header belongs to no section, as the calls read it.
void Document::Index() {
  markCount_ = 0;
  size_t mark = ByteOrderMarkLength(bytes_, size_);
  LineReader reader(bytes_ + mark, size_ - mark);
  Line line;
  size_t header = 0;
  bool inSection = false;
  lineEnd_ = "\r\n";
  bool endSeen = false;
  while (reader.Next(&line)) {
    size_t start = static_cast<size_t>(line.text - bytes_);
    size_t end = start + line.length;
    if (!endSeen && end < size_) {
      endSeen = true;
      lineEnd_ = bytes_[end] == '\n' ? "\n" : end + 1 < size_ && bytes_[end + 1] == '\n' ? "\r\n" : "\r";
    }
    LineParts parts = ParseLine(line);
    if (parts.kind == LineParts::kHeader) {
      if (inSection) marks_[header].next = static_cast<uint32_t>(markCount_);
      header = markCount_;
      inSection = true;
    } else if (parts.kind != LineParts::kKey || !inSection) {
      continue;
    }
    Mark& m = marks_[markCount_++];
    m.start = static_cast<uint32_t>(start);
    m.name = static_cast<uint32_t>(parts.name - bytes_);
    m.nameLength = static_cast<uint32_t>(parts.nameLength);
    m.next = 0;
  }
  if (inSection) marks_[header].next = static_cast<uint32_t>(markCount_);
}

size_t Document::FindHeader(const char* section) const {
  size_t length = strlen(section);
  for (size_t h = 0; h < markCount_; h = marks_[h].next) {
    const Mark& m = marks_[h];
    if (m.nameLength == length && text::EqualNoCase(bytes_ + m.name, length, section)) return h;
  }
  return markCount_;
}

size_t Document::FindKey(size_t header, const char* key) const {
  size_t length = strlen(key);
  for (size_t k = header + 1; k < marks_[header].next; ++k) {
    const Mark& m = marks_[k];
    if (m.nameLength == length && text::EqualNoCase(bytes_ + m.name, length, key)) return k;
  }
  return markCount_;
}

size_t Document::NextLine(size_t start) const {
  size_t at = start;
  while (at < size_ && !IsLineEnd(bytes_[at])) ++at;
  if (at < size_ && bytes_[at++] == '\r' && at < size_ && bytes_[at] == '\n') ++at;
  return at;
}

bool Document::HasSection(const char* section) const { return FindHeader(section) != markCount_; }

bool Document::Find(const char* section, const char* key, const char** value, size_t* length) const {
  size_t h = FindHeader(section);
  size_t k = h == markCount_ ? h : FindKey(h, key);
  if (k == markCount_) return false;
  size_t start = marks_[k].start;
  Line line = {bytes_ + start, NextLine(start) - start, 0};
  while (line.length && IsLineEnd(line.text[line.length - 1])) --line.length;
  LineParts parts = ParseLine(line);
  *value = parts.value;
  *length = parts.valueLength;
  return true;
}

size_t Document::Read(const char* section, const char* key, char* out, size_t size, const char* fallback) const {
  const char* value;
  size_t length;
  if (!Find(section, key, &value, &length)) value = fallback, length = strlen(fallback);
  if (size == 0) return 0;
  if (length >= size) length = size - 1;
  memcpy(out, value, length);
  out[length] = '\0';
  return length;
}

int Document::Number(const char* section, const char* key, int fallback) const {
  const char* value;
  size_t length;
  return Find(section, key, &value, &length) ? ReadProfileInt(value, length, fallback) : fallback;
}

bool Document::Splice(size_t at, size_t removed, const char* const* parts, int count) {
  size_t added = 0, ends = 0;
  for (int i = 0; i < count; ++i) {
    size_t length = strlen(parts[i]);
    added += length;
    ends += CountLineEnds(parts[i], length);
  }
  if (added > kLargestFile || size_ - removed + added > kLargestFile) return false;
  // Every mark is a line: the lines there were and the ones added.
  size_t lines = CountLineEnds(bytes_, size_) + ends + 1;
  if (!Reserve(size_ - removed + added + 1, lines)) return false;
  memmove(bytes_ + at + added, bytes_ + at + removed, size_ - at - removed);
  char* to = bytes_ + at;
  for (int i = 0; i < count; ++i) {
    size_t length = strlen(parts[i]);
    memcpy(to, parts[i], length);
    to += length;
  }
  size_ = size_ - removed + added;
  bytes_[size_] = '\0';
  changed_ = true;
  Index();
  return true;
}

bool Document::Write(const char* section, const char* key, const char* value) {
  if (!key) {
    for (size_t h; (h = FindHeader(section)) != markCount_;) {
      size_t start = marks_[h].start;
      size_t end = marks_[h].next < markCount_ ? marks_[marks_[h].next].start : size_;
      Splice(start, end - start, nullptr, 0);
    }
    return true;
  }
  // A line that the file leaves without an end gets one before anything
  // is added after it.
  const char* end = size_ && !IsLineEnd(bytes_[size_ - 1]) ? lineEnd_ : "";
  size_t h = FindHeader(section);
  if (h == markCount_) {
    const char* parts[] = {end, "[", section, "]", lineEnd_, key, "=", value, lineEnd_};
    return !value || Splice(size_, 0, parts, 9);
  }
  size_t k = FindKey(h, key);
  if (k != markCount_) {
    // The name stays as the file writes it; what follows '=' is replaced.
    size_t line = marks_[k].start, next = NextLine(line);
    if (!value) return Splice(line, next - line, nullptr, 0);
    size_t equals = marks_[k].name + marks_[k].nameLength;
    while (bytes_[equals] != '=') ++equals;
    size_t textEnd = next;
    while (textEnd > equals && IsLineEnd(bytes_[textEnd - 1])) --textEnd;
    const char* parts[] = {value};
    return Splice(equals + 1, textEnd - equals - 1, parts, 1);
  }
  if (!value) return true;
  size_t at = NextLine(marks_[marks_[h].next - 1].start);
  if (at != size_) end = "";
  const char* parts[] = {end, key, "=", value, lineEnd_};
  return Splice(at, 0, parts, 5);
}

bool Document::ReplaceSection(const char* section, const char* lines) {
  const char* end = size_ && !IsLineEnd(bytes_[size_ - 1]) ? lineEnd_ : "";
  size_t h = FindHeader(section);
  if (h == markCount_) {
    const char* parts[] = {end, "[", section, "]", lineEnd_, lines};
    return Splice(size_, 0, parts, 6);
  }
  // The body runs to the end of its last key: the blank lines and the
  // comments after it stay with the section that follows.
  size_t body = NextLine(marks_[h].start);
  size_t last = marks_[h].next - 1;
  size_t bodyEnd = last > h ? NextLine(marks_[last].start) : body;
  if (body != size_) end = "";
  const char* parts[] = {end, lines};
  return Splice(body, bodyEnd - body, parts, 2);
}

}  // namespace profile
