// Setup.ini's counted lists: the key "Count" and the keys 0 to Count-1,
// each a path or a registry key. The records an installation leaves for
// its uninstall are such lists; setup builds each in memory and writes it
// in one go.
#ifndef SFX_CORE_INI_LISTS_H
#define SFX_CORE_INI_LISTS_H

#include <stddef.h>

#include "document.h"

namespace profile {

// How list entries are told apart: paths compare byte for byte where the
// kit always writes them the same way; registry keys and the stub's
// paths without regard to the case of ASCII letters (never of the second
// byte of a double-byte character).
enum class Compare { kExact, kNoCase };

// Room for the decimal text of any int, with its NUL.
constexpr int kNumberSize = 12;
// The decimal text of `value`, as a list's keys are named.
void NumberText(char* out, int value);

// [section] Count; a negative one counts as 0.
int CountOf(const Document& document, const char* section);
// Key `k` of the list; false when it is missing or empty.
bool ListValue(const Document& document, const char* section, int k, const char** value, size_t* length);
bool IsListed(const Document& document, const char* section, const char* value, Compare compare);

// A list's lines being built: "0=...", "1=..." and at the end "Count=n".
class ListText {
 public:
  ListText(Resize resize, const char* lineEnd) : resize_(resize), lineEnd_(lineEnd) {}
  ~ListText();
  ListText(const ListText&) = delete;
  ListText& operator=(const ListText&) = delete;

  // Adds the entry `count()`; false when the memory cannot be had, after
  // which every later call fails too.
  bool Add(const char* value, size_t length);
  int count() const { return count_; }
  // The lines with "Count" last, NUL-terminated; null when an Add failed.
  const char* Finish();

 private:
  bool Append(const char* text, size_t length);

  Resize resize_;
  const char* lineEnd_;
  char* text_ = nullptr;
  size_t length_ = 0;
  size_t capacity_ = 0;
  int count_ = 0;
  bool failed_ = false;
};

// Adds `value` as the key numbered Count, then raises Count.
bool Append(Document* document, const char* section, const char* value);
// Takes every entry that holds `value` out of the list; the entries after
// it move down, so that the list keeps its order and no gap. A list left
// empty goes with its section.
bool RemoveFromList(Document* document, const char* section, const char* value, Compare compare);
// Appends to the list of `into` every entry of the list of `from` that it
// lacks, compared byte for byte, in one pass over each (a set of the names
// seen); the entries already there keep their order.
bool MergeList(const Document& from, Document* into, const char* section);

}  // namespace profile

#endif  // SFX_CORE_INI_LISTS_H
