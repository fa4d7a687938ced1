// Scanning ANSI text and paths that may hold double-byte characters, and
// reading numbers out of text. Every program of the kit scans with these.
//
// Code page 932 (Shift-JIS) writes a character either as one byte or as a
// lead byte (0x81-0x9F, 0xE0-0xFC) and a trail byte that may be any of
// 0x40-0xFC, 0x5C ('\\') and 0x7C ('|') included: "表" is 0x95 0x5C. So a
// search for a separator must walk the text character by character from
// its start. Archive names and Setup.ini texts are code page 932; a Windows
// program that scans paths of its own system passes the lead-byte test of
// the system's ANSI code page instead (platform/ansi.h).
#ifndef SFX_CORE_TEXT_H
#define SFX_CORE_TEXT_H

#include <stddef.h>
#include <stdint.h>

namespace text {

// Whether a byte starts a double-byte character.
using LeadByteTest = bool (*)(uint8_t byte);

inline bool IsCp932LeadByte(uint8_t byte) {
  return static_cast<uint8_t>(byte - 0x81) < 0x1F || static_cast<uint8_t>(byte - 0xE0) < 0x1D;
}

// The character after the one at `p`; `p` itself at the NUL. A lead byte
// right before the NUL counts as a character of its own.
const char* Next(const char* p, LeadByteTest isLead = IsCp932LeadByte);

// The first or last `c` (an ASCII character) that is a character of its
// own, never a trail byte; null when there is none.
const char* FindFirst(const char* text, char c, LeadByteTest isLead = IsCp932LeadByte);
const char* FindLast(const char* text, char c, LeadByteTest isLead = IsCp932LeadByte);

// Whether the last character of `text` is `c`.
bool EndsWith(const char* text, char c, LeadByteTest isLead = IsCp932LeadByte);

// A path cut into drive ("C:"), folder (up to and with its last '\\' or
// '/'), name, and extension (from the last '.' of the name, with it). Each
// part runs from its offset to the next part's.
struct PathParts {
  size_t folder;     // the drive is [0, folder)
  size_t name;       // the folder is [folder, name)
  size_t extension;  // the name is [name, extension)
  size_t end;        // the extension is [extension, end)
};
PathParts SplitPath(const char* path, LeadByteTest isLead = IsCp932LeadByte);

// Appends `name` to the NUL-terminated `path` in a buffer of `size` bytes,
// with one '\\' between them unless `path` is empty or already ends with
// one. When the result would not fit, `path` is emptied and false
// returned: a cut path would name another file, and callers treat an
// empty one as nothing to act on.
bool JoinPath(char* path, size_t size, const char* name, LeadByteTest isLead = IsCp932LeadByte);

// Copies `from` into `to` (a buffer of `size` bytes), cut so that it fits
// with its NUL and never in the middle of a double-byte character. True
// when nothing was cut.
bool CopyCut(char* to, size_t size, const char* from, LeadByteTest isLead = IsCp932LeadByte);

// Where the first byte lies that code page 932 has no character for: a
// byte no character starts with (0x80, 0xA0, 0xFD-0xFF), or a lead byte
// without a trail byte (0x40-0x7E, 0x80-0xFC) after it. `length` when
// every byte belongs to a character.
size_t FindNonCp932(const char* bytes, size_t length);

// Whether `bytes` are well-formed UTF-8 (ASCII included).
bool IsUtf8(const char* bytes, size_t length);

// Compares ASCII letters without regard to case; other bytes exactly.
char AsciiUpper(char c);
bool EqualNoCase(const char* a, const char* b);
// Whether `text` starts with `prefix`, ASCII letters compared without case.
bool StartsWithNoCase(const char* text, const char* prefix);
// Whether the `length` bytes at `text` (which need no NUL) are `word`,
// ASCII letters compared without case.
bool EqualNoCase(const char* text, size_t length, const char* word);

// Reads an integer as the C library's atoi does: blanks (space, tab, line
// breaks) skipped, an optional sign, decimal digits up to the first other
// character; no digits give 0. Values beyond the int range are held at
// its ends instead of wrapping. `end`, when given, receives the position
// after the last character taken (the start when there were no digits).
int ReadInt(const char* text, const char** end = nullptr);

}  // namespace text

#endif  // SFX_CORE_TEXT_H
