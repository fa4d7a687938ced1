#include "command_line.h"

const char* SkipProgramPath(const char* p) {
  if (*p == '"') {
    ++p;
    while (*p && *p != '"') ++p;
    if (*p == '"') ++p;
  } else {
    while (*p && *p != ' ' && *p != '\t') ++p;
  }
  return p;
}

const char* SkipOwnPath(const char* commandLine, const char* ownPath, text::LeadByteTest isLead) {
  const char* p = commandLine;
  for (const char* own = ownPath; *own;) {
    const char* next = text::Next(own, isLead);
    size_t length = static_cast<size_t>(next - own);
    // A double-byte character matches byte for byte: its trail byte may
    // look like a letter.
    bool same = length == 1 ? text::AsciiUpper(*p) == text::AsciiUpper(*own)
                            : p[0] == own[0] && p[1] == own[1];
    if (!same) return SkipProgramPath(commandLine);
    p += length;
    own = next;
  }
  if (!ownPath[0] || (*p != '\0' && *p != ' ' && *p != '\t')) return SkipProgramPath(commandLine);
  return p;
}

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

}  // namespace

Argument NextArgument(const char** text, char* out, size_t size) {
  const char* p = *text;
  while (IsBlank(*p)) ++p;
  Argument result = *p ? Argument::kTaken : Argument::kNone;
  bool quoted = *p == '"';
  if (quoted) ++p;
  size_t n = 0;
  for (; *p && (quoted ? *p != '"' : !IsBlank(*p)); ++p) {
    if (n + 1 < size) out[n++] = *p;
    else result = Argument::kTooLong;
  }
  if (quoted) {
    if (*p) ++p;
    else result = Argument::kOpenQuote;
  }
  if (size) out[n] = '\0';
  *text = p;
  return result;
}
