#include "setup/install_folder.h"

#include <string.h>

namespace setup {

FolderMacro SplitFolderMacro(const char* name, text::LeadByteTest isLead) {
  FolderMacro macro = {FolderBase::kNone, 0};
  if (name[0] != '%') return macro;
  const char* close = text::FindFirst(name + 1, '%', isLead);
  if (!close) return macro;
  static const struct {
    const char* word;
    FolderBase base;
  } kWords[] = {
      {"%system", FolderBase::kSystem},
      {"%windows", FolderBase::kWindows},
      {"%desktop", FolderBase::kDesktop},
      {"%programs", FolderBase::kPrograms},
  };
  size_t length = static_cast<size_t>(close - name);
  for (const auto& word : kWords) {
    if (text::EqualNoCase(name, length, word.word)) {
      macro.base = word.base;
      macro.rest = length + 1;
      break;
    }
  }
  return macro;
}

namespace {

// The first `headLength` bytes of `head` (which may be `out`) followed by
// `tail` into `out`; false, with `out` empty, when it would not fit.
bool Concatenate(char* out, size_t size, const char* head, size_t headLength, const char* tail) {
  size_t tailLength = strlen(tail);
  if (headLength + tailLength >= size) {
    if (size) out[0] = '\0';
    return false;
  }
  memmove(out, head, headLength);
  memcpy(out + headLength, tail, tailLength + 1);
  return true;
}

}  // namespace

bool ComposeMacroFolder(char* out, size_t size, const char* base, const char* rest, text::LeadByteTest isLead) {
  // Only a separator is dropped: the rest of "%programs%App" on a base of
  // "D:\" keeps its first letter.
  if (rest[0] == '\\' && text::EndsWith(base, '\\', isLead)) ++rest;
  return Concatenate(out, size, base, strlen(base), rest);
}

bool ComposeSystemDriveFolder(char* out, size_t size, const char* systemFolder, const char* name,
                              text::LeadByteTest isLead) {
  const char* separator = text::FindFirst(systemFolder, '\\', isLead);
  size_t rootLength = separator ? static_cast<size_t>(separator + 1 - systemFolder) : 0;
  return Concatenate(out, size, systemFolder, rootLength, name);
}

const char* RootNameFromFolder(const char* folder, text::LeadByteTest isLead) {
  const char* separator = text::FindLast(folder, '\\', isLead);
  return separator ? separator + 1 : nullptr;
}

bool PathEndsWithName(const char* path, const char* name) {
  const char* found = strstr(path, name);
  return found && strlen(found) == strlen(name);
}

bool JoinNameUnlessPresent(char* path, size_t size, const char* name, text::LeadByteTest isLead) {
  if (name[0] == '\0' || PathEndsWithName(path, name)) return true;
  return text::JoinPath(path, size, name, isLead);
}

}  // namespace setup
