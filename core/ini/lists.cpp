#include "lists.h"

#include <stdint.h>
#include <string.h>

#include "setup/ini_names.h"
#include "text.h"

namespace profile {

void NumberText(char* out, int value) {
  char digits[kNumberSize];
  int n = 0;
  unsigned magnitude = value < 0 ? 0u - static_cast<unsigned>(value) : static_cast<unsigned>(value);
  do digits[n++] = static_cast<char>('0' + magnitude % 10); while (magnitude /= 10);
  if (value < 0) *out++ = '-';
  while (n) *out++ = digits[--n];
  *out = '\0';
}

namespace {

bool Same(const char* a, size_t aLength, const char* b, size_t bLength, Compare compare) {
  if (aLength != bLength) return false;
  if (compare == Compare::kExact) return memcmp(a, b, aLength) == 0;
  for (size_t i = 0; i < aLength; ++i) {
    if (text::AsciiUpper(a[i]) != text::AsciiUpper(b[i])) return false;
    // The trail byte of a double-byte character is no letter.
    if (text::IsCp932LeadByte(static_cast<uint8_t>(a[i])) && ++i < aLength && a[i] != b[i]) return false;
  }
  return true;
}

// Entries seen, by their bytes: an open-addressing table of pointers into
// the documents, which stay unchanged while it is in use.
class NameSet {
 public:
  NameSet(Resize resize, size_t entries) : resize_(resize) {
    while (slots_ < 2 * entries + 1) slots_ *= 2;
    table_ = static_cast<Slot*>(resize_(nullptr, slots_ * sizeof(Slot)));
    if (table_) memset(table_, 0, slots_ * sizeof(Slot));
  }
  ~NameSet() {
    if (table_) resize_(table_, 0);
  }
  bool ok() const { return table_ != nullptr; }

  // Whether `name` was new; it is in the set afterwards.
  bool Insert(const char* name, size_t length) {
    uint32_t hash = 2166136261u;
    for (size_t i = 0; i < length; ++i) hash = (hash ^ static_cast<uint8_t>(name[i])) * 16777619u;
    for (size_t at = hash & (slots_ - 1);; at = (at + 1) & (slots_ - 1)) {
      Slot& slot = table_[at];
      if (!slot.name) {
        slot = Slot{name, length};
        return true;
      }
      if (Same(slot.name, slot.length, name, length, Compare::kExact)) return false;
    }
  }

 private:
  struct Slot {
    const char* name;
    size_t length;
  };
  Resize resize_;
  Slot* table_ = nullptr;
  size_t slots_ = 16;
};

}  // namespace

int CountOf(const Document& document, const char* section) {
  int count = document.Number(section, setup::ini::kCount, 0);
  return count > 0 ? count : 0;
}

bool ListValue(const Document& document, const char* section, int k, const char** value, size_t* length) {
  char key[kNumberSize];
  NumberText(key, k);
  return document.Find(section, key, value, length) && *length;
}

bool IsListed(const Document& document, const char* section, const char* value, Compare compare) {
  const char* listed;
  size_t length;
  for (int k = 0, count = CountOf(document, section); k < count; ++k)
    if (ListValue(document, section, k, &listed, &length) && Same(listed, length, value, strlen(value), compare))
      return true;
  return false;
}

ListText::~ListText() {
  if (text_) resize_(text_, 0);
}

bool ListText::Append(const char* text, size_t length) {
  if (failed_) return false;
  if (length_ + length + 1 > capacity_) {
    size_t grown = capacity_ ? capacity_ * 2 : 4096;
    while (grown < length_ + length + 1) grown *= 2;
    void* block = resize_(text_, grown);
    if (!block) return !(failed_ = true);
    text_ = static_cast<char*>(block);
    capacity_ = grown;
  }
  memcpy(text_ + length_, text, length);
  length_ += length;
  text_[length_] = '\0';
  return true;
}

bool ListText::Add(const char* value, size_t length) {
  char key[kNumberSize + 1];
  NumberText(key, count_);
  size_t keyLength = strlen(key);
  key[keyLength++] = '=';
  if (!Append(key, keyLength) || !Append(value, length) || !Append(lineEnd_, strlen(lineEnd_))) return false;
  ++count_;
  return true;
}

const char* ListText::Finish() {
  char count[kNumberSize];
  NumberText(count, count_);
  if (!Append(setup::ini::kCount, sizeof setup::ini::kCount - 1) || !Append("=", 1) || !Append(count, strlen(count)) ||
      !Append(lineEnd_, strlen(lineEnd_)))
    return nullptr;
  return text_;
}

bool Append(Document* document, const char* section, const char* value) {
  char key[kNumberSize], count[kNumberSize];
  int n = CountOf(*document, section);
  NumberText(key, n);
  NumberText(count, n + 1);
  return document->Write(section, key, value) && document->Write(section, setup::ini::kCount, count);
}

bool RemoveFromList(Document* document, const char* section, const char* value, Compare compare) {
  ListText kept(document->resizer(), document->LineEnd());
  size_t valueLength = strlen(value);
  bool found = false;
  const char* listed;
  size_t length;
  for (int k = 0, count = CountOf(*document, section); k < count; ++k) {
    if (!ListValue(*document, section, k, &listed, &length)) continue;
    if (Same(listed, length, value, valueLength, compare)) {
      found = true;
    } else {
      kept.Add(listed, length);
    }
  }
  if (!found) return true;
  if (kept.count() == 0) return document->Write(section, nullptr, nullptr);
  const char* lines = kept.Finish();
  return lines && document->ReplaceSection(section, lines);
}

bool MergeList(const Document& from, Document* into, const char* section) {
  Resize resize = into->resizer();
  int had = CountOf(*into, section), more = CountOf(from, section);
  ListText list(resize, into->LineEnd());
  NameSet seen(resize, static_cast<size_t>(had) + static_cast<size_t>(more));
  if (!seen.ok()) return false;
  const char* value;
  size_t length;
  for (int k = 0; k < had; ++k)
    if (ListValue(*into, section, k, &value, &length) && seen.Insert(value, length)) list.Add(value, length);
  int kept = list.count();
  for (int k = 0; k < more; ++k)
    if (ListValue(from, section, k, &value, &length) && seen.Insert(value, length)) list.Add(value, length);
  if (list.count() == kept) return true;
  const char* lines = list.Finish();
  return lines && into->ReplaceSection(section, lines);
}

}  // namespace profile
