#include "setup/uninstall_command.h"

#include <string.h>

namespace setup {

const char kUninstallArgument[] = "uninstall";

bool ComposeUninstallCommand(char* out, size_t size, const char* folder, bool withArgument,
                             text::LeadByteTest isLead) {
  size_t program = size < kProgramPathSize ? size : kProgramPathSize;
  if (!folder[0] || !text::CopyCut(out, program, folder, isLead) || !text::JoinPath(out, program, "Setup.exe", isLead)) {
    if (size) out[0] = '\0';
    return false;
  }
  if (!withArgument) return true;
  size_t length = strlen(out);
  if (length + 1 + sizeof kUninstallArgument > size) {
    out[0] = '\0';
    return false;
  }
  out[length] = ' ';
  memcpy(out + length + 1, kUninstallArgument, sizeof kUninstallArgument);
  return true;
}

bool CutToCommandProgram(char* command, bool (*exists)(const char* path), text::LeadByteTest isLead) {
  if (command[0] == '"') {
    // Dropping words first would cut a quoted path that holds blanks.
    if (char* end = const_cast<char*>(text::FindFirst(command + 1, '"', isLead))) *end = '\0';
    memmove(command, command + 1, strlen(command));
    return true;
  }
  if (!exists) return false;
  while (!exists(command)) {
    char* blank = const_cast<char*>(text::FindLast(command, ' ', isLead));
    if (!blank) break;
    *blank = '\0';
  }
  return false;
}

}  // namespace setup
