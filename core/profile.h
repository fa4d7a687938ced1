// A Windows private-profile file (an .ini file), read from bytes in memory
// the way the private-profile calls read it, for the builder's checks of a
// Setup.ini before it ships. setup.exe itself reads through those calls.
//
//   ; a comment                   lines that start with ';'
//   [ Setup ]                     a section: the name up to the line's last
//   Name = "My App"               ']', blanks around it dropped; a key: the
//   Command="a.exe" "%1"          name up to the first '=', the value after
//                                 it, blanks around both dropped
//
// Section and key names match without regard to the case of ASCII letters.
// Of two sections or two keys of one name the first wins: the calls never
// see the second. A value that starts and ends with the same quote (' or ")
// loses both, so the last line above reads as a.exe" "%1. Lines end at LF,
// CR LF or a CR alone, and may be of any length; a NUL ends a line's text.
// A UTF-8 byte-order mark at the start is passed over.
#ifndef SFX_CORE_PROFILE_H
#define SFX_CORE_PROFILE_H

#include <stddef.h>

#include <string>
#include <vector>

namespace profile {

// One line of the file, without its line end; numbers count from 1.
struct Line {
  const char* text;
  size_t length;
  size_t number;
};

class LineReader {
 public:
  LineReader(const char* bytes, size_t size) : bytes_(bytes), size_(size) {}
  bool Next(Line* line);

 private:
  const char* bytes_;
  size_t size_;
  size_t at_ = 0;
  size_t number_ = 0;
};

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

// 3 when `bytes` start with a UTF-8 byte-order mark, else 0.
size_t ByteOrderMarkLength(const char* bytes, size_t size);

// A value read as GetPrivateProfileInt reads it: blanks skipped, an
// optional sign and the decimal digits up to the first other character,
// taken modulo 2^32 as the 32-bit call returns them; 0 without digits,
// `fallback` for an empty value. `digits`, when given, is set to whether
// any digit was found.
int ReadProfileInt(const std::string& value, int fallback, bool* digits = nullptr);

}  // namespace profile

#endif  // SFX_CORE_PROFILE_H
