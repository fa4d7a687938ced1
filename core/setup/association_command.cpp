#include "setup/association_command.h"

#include <string.h>

namespace setup {

CommandParts SplitCommand(const char* command, text::LeadByteTest isLead) {
  size_t length = strlen(command);
  CommandParts parts = {false, {0, length}, {length, 0}};
  if (command[0] == '"') {
    parts.quoted = true;
    const char* close = text::FindFirst(command + 1, '"', isLead);
    size_t end = close ? static_cast<size_t>(close - command) : length;
    parts.program = Span{1, end - 1};
    if (close) parts.arguments = Span{end + 1, length - end - 1};
    return parts;
  }
  for (const char* p = command; *p; p = text::Next(p, isLead)) {
    if (*p == ' ' || *p == '\t') {
      size_t at = static_cast<size_t>(p - command);
      parts.program.length = at;
      parts.arguments = Span{at + 1, length - at - 1};
      break;
    }
  }
  return parts;
}

bool BuildCommandLine(char* out, size_t size, const char* command, const CommandParts& parts,
                      const char* program) {
  size_t programLength = strlen(program);
  size_t frame = parts.quoted ? 2 : 1;  // two quotes, or the blank
  if (programLength + frame + parts.arguments.length >= size) {
    if (size) out[0] = '\0';
    return false;
  }
  char* p = out;
  if (parts.quoted) *p++ = '"';
  memcpy(p, program, programLength);
  p += programLength;
  *p++ = parts.quoted ? '"' : ' ';
  memcpy(p, command + parts.arguments.offset, parts.arguments.length);
  p[parts.arguments.length] = '\0';
  return true;
}

}  // namespace setup
