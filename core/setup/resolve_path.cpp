#include "setup/resolve_path.h"

#include <string.h>

#include "setup/path_rules.h"

namespace setup {
namespace {

bool Empty(char* out, size_t size) {
  if (size) out[0] = '\0';
  return false;
}

// `head` followed directly by `rest`; nothing when the system gave no
// folder, since the rest alone would name the current drive's root.
bool Concatenate(char* out, size_t size, const char* head, const char* rest) {
  size_t headLength = strlen(head), restLength = strlen(rest);
  if (!head[0] || headLength + restLength >= size) return Empty(out, size);
  memcpy(out, head, headLength);
  memcpy(out + headLength, rest, restLength + 1);
  return true;
}

}  // namespace

bool RootJoined(char* out, size_t size, const char* root, const char* path, bool below, text::LeadByteTest isLead) {
  // A ".." part would reach what the description does not name.
  if (!IsFullPath(root, isLead) || (below && !StaysBelow(path, isLead)) || !text::CopyCut(out, size, root, isLead))
    return Empty(out, size);
  return text::JoinPath(out, size, path, isLead);
}

PathMacro SplitPathMacro(const char* path) {
  static const struct {
    const char* word;
    PathBase base;
  } kMacros[] = {
      {"%system%", PathBase::kSystem},
      {"%windows%", PathBase::kWindows},
      {"%programs%", PathBase::kPrograms},
      {"%root%", PathBase::kRoot},
  };
  for (const auto& macro : kMacros)
    if (text::StartsWithNoCase(path, macro.word)) return {macro.base, strlen(macro.word)};
  if (path[0] == '!') return {PathBase::kFull, 1};
  return {PathBase::kRoot, 0};
}

bool ResolvePath(char* out, size_t size, const char* path, const char* root, const MachineFolders& folders,
                 bool programMode, text::LeadByteTest isLead) {
  PathMacro macro = SplitPathMacro(path);
  const char* rest = path + macro.rest;
  switch (macro.base) {
    case PathBase::kSystem: return Concatenate(out, size, folders.system, rest);
    case PathBase::kWindows: return Concatenate(out, size, folders.windows, rest);
    case PathBase::kPrograms: return Concatenate(out, size, folders.programs, rest);
    case PathBase::kFull:
      // In program mode the rest is a registry value's or a command's
      // text, taken as written; a file is named by a full path.
      if (!rest[0] || strlen(rest) >= size || (!programMode && !FullPathRoot(rest, isLead))) return Empty(out, size);
      memcpy(out, rest, strlen(rest) + 1);
      return true;
    case PathBase::kRoot: break;
  }
  // A %root% path may climb in program mode, where it names a program or
  // a value; a document's own path is the program lookup's fallback.
  return RootJoined(out, size, root, rest, !programMode, isLead);
}

bool ResolvesBelowItsPlace(const char* path, text::LeadByteTest isLead) {
  PathMacro macro = SplitPathMacro(path);
  switch (macro.base) {
    case PathBase::kFull: return FullPathRoot(path + macro.rest, isLead) != 0;
    case PathBase::kRoot: return StaysBelow(path + macro.rest, isLead);
    default: return true;
  }
}

}  // namespace setup
