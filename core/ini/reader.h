// A Windows private-profile file (an .ini file) read whole, every line
// kept, for the builder's checks of a Setup.ini before it ships. The
// programs that run on Windows read and write through a Document
// (document.h); both read by the grammar of grammar.h.
#ifndef SFX_CORE_INI_READER_H
#define SFX_CORE_INI_READER_H

#include <stddef.h>

#include <string>
#include <vector>

#include "grammar.h"

namespace profile {

struct Entry {
  std::string name;
  std::string written;  // the text after '=', blanks around it dropped
  std::string value;    // what the calls return: `written` less a pair of enclosing quotes
  size_t line;
};

struct Section {
  std::string name;
  size_t line;  // of its header
  std::vector<Entry> entries;  // in the file's order, repeated names included
};

// Lines that give no key although they are not blank, comments or headers.
struct Stray {
  enum Kind {
    kOutsideSection,  // a line before the first header
    kNoEquals,        // a line without '='
    kUnclosedHeader,  // '[' without a ']': no header, so its keys join the section before
  } kind;
  size_t line;
};

class Profile {
 public:
  Profile(const char* bytes, size_t size);

  // Every section in the file's order, repeated names included.
  const std::vector<Section>& sections() const { return sections_; }
  const std::vector<Stray>& strays() const { return strays_; }

  // The first section of that name; null when there is none.
  const Section* FindSection(const char* name) const;
  // The first key of that name in the first section of that name, as the
  // calls find it; null when either is missing.
  const Entry* Find(const char* section, const char* key) const;
  // As GetPrivateProfileString reads it: empty when missing.
  std::string String(const char* section, const char* key) const;
  // As GetPrivateProfileInt reads it: `fallback` when missing or empty.
  int Int(const char* section, const char* key, int fallback) const;

 private:
  std::vector<Section> sections_;
  std::vector<Stray> strays_;
};

inline int ReadProfileInt(const std::string& value, int fallback, bool* digits = nullptr) {
  return ReadProfileInt(value.data(), value.size(), fallback, digits);
}

}  // namespace profile

#endif  // SFX_CORE_INI_READER_H
