#include "setup/registry_line.h"

#include <string.h>

namespace setup {
namespace {

// The first backslash from `from` on, or the NUL.
const char* SeparatorOrEnd(const char* from, text::LeadByteTest isLead) {
  const char* p = from;
  while (*p && *p != '\\') p = text::Next(p, isLead);
  return p;
}

// Whether the byte at `q` starts a character of the text that starts at
// `from`. A byte that cannot lead ends a character (it is one of its own
// or a trail byte), so the text is in step right after the nearest such
// byte before `q`; only the lead bytes in between need walking.
bool StartsCharacter(const char* from, const char* q, text::LeadByteTest isLead) {
  const char* p = q;
  while (p > from && isLead(static_cast<uint8_t>(p[-1]))) --p;
  while (p < q) p = text::Next(p, isLead);
  return p == q;
}

// The last backslash in [from, end), `end` being where a character starts;
// null when there is none. Searched from the end, so that the walk up a
// path visits each byte about once.
const char* LastSeparator(const char* from, const char* end, text::LeadByteTest isLead) {
  for (const char* q = end; q > from;) {
    --q;
    if (*q == '\\' && StartsCharacter(from, q, isLead)) return q;
  }
  return nullptr;
}

Span SpanOf(const char* line, const char* from, const char* to) {
  return Span{static_cast<size_t>(from - line), static_cast<size_t>(to - from)};
}

}  // namespace

RootKey SelectRootKey(const char* name, size_t length) {
  static const struct {
    const char* name;
    RootKey key;
  } kRoots[] = {
      {"HKEY_CLASSES_ROOT", RootKey::kClassesRoot},         {"HKEY_CURRENT_CONFIG", RootKey::kCurrentConfig},
      {"HKEY_CURRENT_USER", RootKey::kCurrentUser},         {"HKEY_USERS", RootKey::kUsers},
      {"HKEY_PERFORMANCE_DATA", RootKey::kPerformanceData}, {"HKEY_DYN_DATA", RootKey::kDynData},
  };
  for (const auto& root : kRoots)
    if (text::EqualNoCase(name, length, root.name)) return root.key;
  return RootKey::kLocalMachine;
}

bool IsRootKeyName(const char* name, size_t length) {
  return SelectRootKey(name, length) != RootKey::kLocalMachine || text::EqualNoCase(name, length, "HKEY_LOCAL_MACHINE");
}

MakeLine::MakeLine(const char* line, text::LeadByteTest isLead)
    : line_(line), isLead_(isLead), at_(0), root_(RootKey::kLocalMachine), usable_(false) {
  const char* separator = text::FindFirst(line, '\\', isLead);
  if (!separator) return;
  usable_ = true;
  root_ = SelectRootKey(line, static_cast<size_t>(separator - line));
  at_ = static_cast<size_t>(separator + 1 - line);
}

bool MakeLine::NextKey(Span* key) {
  const char* p = line_ + at_;
  if (!usable_ || *p == '\0' || *p == '\\') return false;
  const char* end = SeparatorOrEnd(p, isLead_);
  *key = SpanOf(line_, p, end);
  at_ = static_cast<size_t>(*end ? end + 1 - line_ : end - line_);
  return true;
}

bool MakeLine::Value(Span* name, Span* data) const {
  const char* p = line_ + at_;
  if (!usable_ || *p != '\\') return false;
  const char* nameEnd = text::FindFirst(p + 1, '\\', isLead_);
  if (!nameEnd) return false;
  *name = SpanOf(line_, p + 1, nameEnd);
  *data = Span{static_cast<size_t>(nameEnd + 1 - line_), strlen(nameEnd + 1)};
  return true;
}

EraseVerdict SplitEraseLine(const char* line, EraseLine* erase, text::LeadByteTest isLead) {
  const char* separator = text::FindFirst(line, '\\', isLead);
  if (!separator) return EraseVerdict::kNoBackslash;
  const char* path = separator + 1;
  const char* last = path;
  const char* end = path;
  for (;;) {
    end = SeparatorOrEnd(last, isLead);
    if (end == last) return EraseVerdict::kEmptySegment;
    if (*end == '\0') break;
    last = end + 1;
  }
  erase->root = SelectRootKey(line, static_cast<size_t>(separator - line));
  erase->path = SpanOf(line, path, end);
  erase->parent = SpanOf(line, path, last == path ? path : last - 1);
  erase->last = SpanOf(line, last, end);
  return EraseVerdict::kUsable;
}

EmptiedAncestors::EmptiedAncestors(const char* line, const EraseLine& erase, text::LeadByteTest isLead)
    : line_(line), isLead_(isLead), start_(erase.parent.offset), end_(erase.parent.offset + erase.parent.length) {}

bool EmptiedAncestors::Next(Span* below, Span* name) {
  if (end_ == start_) return false;
  const char* start = line_ + start_;
  const char* end = line_ + end_;
  const char* separator = LastSeparator(start, end, isLead_);
  if (separator) {
    *below = SpanOf(line_, start, separator);
    *name = SpanOf(line_, separator + 1, end);
    end_ = static_cast<size_t>(separator - line_);
  } else {
    *below = Span{start_, 0};
    *name = SpanOf(line_, start, end);
    end_ = start_;
  }
  return true;
}

}  // namespace setup
