// The grammar of a Windows private-profile file (an .ini file): its lines
// read the way the private-profile calls read them. The builder's reader
// (reader.h) and the document the programs on Windows edit (document.h)
// both read by it.
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
#ifndef SFX_CORE_INI_GRAMMAR_H
#define SFX_CORE_INI_GRAMMAR_H

#include <stddef.h>

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

// One line read by the calls' grammar, its parts pointing into the line.
struct LineParts {
  enum Kind {
    kNothing,         // blank, or a comment
    kHeader,          // `name` is the section's
    kKey,             // `name`, `written` and `value` are the key's
    kNoEquals,        // a line without '='
    kUnclosedHeader,  // '[' without ']' or '='
  } kind;
  const char* name;
  size_t nameLength;
  const char* written;  // the text after '=', blanks around it dropped
  size_t writtenLength;
  const char* value;  // `written` less a pair of enclosing quotes
  size_t valueLength;
};
LineParts ParseLine(const Line& line);

// 3 when `bytes` start with a UTF-8 byte-order mark, else 0.
size_t ByteOrderMarkLength(const char* bytes, size_t size);

// A value read as GetPrivateProfileInt reads it: blanks skipped, an
// optional sign and the decimal digits up to the first other character,
// taken modulo 2^32 as the 32-bit call returns them; 0 without digits,
// `fallback` for an empty value. `digits`, when given, is set to whether
// any digit was found.
int ReadProfileInt(const char* value, size_t length, int fallback, bool* digits = nullptr);

}  // namespace profile

#endif  // SFX_CORE_INI_GRAMMAR_H
