// libFuzzer target: setup's pure rules over arbitrary lines. Each line of
// the input, in a buffer of its own exact size, goes through the registry
// walks (under code page 932 and a code page whose lead bytes are every
// byte from 0x80), the association command, the copy marks, the hot key,
// the folder rules, path resolution, the menu folder, the uninstall
// command and the questions about system places; what they
// report must stay inside the line and agree with itself.
#include <stdlib.h>
#include <string.h>

#include "setup/association_command.h"
#include "setup/copy_entry.h"
#include "setup/hotkey.h"
#include "setup/install_folder.h"
#include "setup/menu_folder.h"
#include "setup/option_rows.h"
#include "setup/path_rules.h"
#include "setup/registry_line.h"
#include "setup/resolve_path.h"
#include "setup/shared_places.h"
#include "setup/uninstall_command.h"

namespace {

using setup::Span;

void Check(bool holds) {
  if (!holds) abort();
}

bool WideLeadBytes(uint8_t byte) { return byte >= 0x80; }

bool Inside(Span span, size_t length) { return span.offset <= length && span.length <= length - span.offset; }

// A key or value name holds no separator of its own.
void CheckName(const char* line, Span span, text::LeadByteTest isLead) {
  char name[setup::kMaxRegistryLine + 1];
  if (setup::CopySpan(name, sizeof name, line, span)) Check(text::FindFirst(name, '\\', isLead) == nullptr);
}

void Registry(const char* line, size_t length, text::LeadByteTest isLead) {
  setup::MakeLine make(line, isLead);
  Span key, name, data;
  size_t at = 0;
  while (make.NextKey(&key)) {
    Check(make.usable() && key.length > 0 && key.offset >= at && Inside(key, length));
    CheckName(line, key, isLead);
    at = key.offset + key.length;
  }
  if (make.Value(&name, &data)) {
    Check(name.offset > at && Inside(name, length) && data.offset == name.offset + name.length + 1);
    Check(data.offset + data.length == length);
    CheckName(line, name, isLead);
  }

  setup::EraseLine erase;
  if (setup::SplitEraseLine(line, &erase, isLead) != setup::EraseVerdict::kUsable) return;
  size_t pathEnd = erase.path.offset + erase.path.length;
  Check(Inside(erase.path, length) && pathEnd == length && erase.last.length > 0);
  Check(erase.last.offset + erase.last.length == pathEnd && erase.parent.offset == erase.path.offset);
  Check(erase.parent.length < erase.path.length);
  CheckName(line, erase.last, isLead);
  setup::EmptiedAncestors walk(line, erase, isLead);
  size_t end = erase.parent.offset + erase.parent.length;
  Span below;
  while (walk.Next(&below, &name)) {
    Check(below.offset == erase.path.offset && name.length > 0 && name.offset + name.length == end);
    Check(below.length == 0 ? name.offset == below.offset : name.offset == below.offset + below.length + 1);
    CheckName(line, name, isLead);
    end = below.offset + below.length;
  }
  Check(end == erase.path.offset);
}

void Association(const char* line, size_t length) {
  setup::CommandParts parts = setup::SplitCommand(line);
  Check(Inside(parts.program, length) && Inside(parts.arguments, length));
  char program[260];
  setup::CopySpan(program, sizeof program, line, parts.program);
  // Exactly 260 bytes, so that a write past the end is caught.
  char* out = static_cast<char*>(malloc(260));
  if (setup::BuildCommandLine(out, 260, line, parts, program)) {
    // The program given back unchanged, a quoted command with its closing
    // quote and a command cut at a blank come back as they were.
    size_t closing = parts.quoted ? 1 + parts.program.length : parts.program.length;
    bool same = closing < length && line[closing] == (parts.quoted ? '"' : ' ');
    if (same && strlen(program) == parts.program.length) Check(strcmp(out, line) == 0);
    Check(strlen(out) < 260);
  } else {
    Check(out[0] == '\0');
  }
  free(out);
}

void Folders(const char* line, size_t length, const char* previous) {
  setup::FolderMacro macro = setup::SplitFolderMacro(line);
  Check(macro.rest <= length);
  Check(macro.base == setup::FolderBase::kNone ? macro.rest == 0 : line[macro.rest - 1] == '%');
  char* out = static_cast<char*>(malloc(260));
  if (!setup::ComposeMacroFolder(out, 260, previous, line + macro.rest)) Check(out[0] == '\0');
  Check(strlen(out) < 260);
  if (!setup::ComposeSystemDriveFolder(out, 260, previous, line)) Check(out[0] == '\0');
  Check(strlen(out) < 260);
  const char* name = setup::RootNameFromFolder(line);
  Check(!name || (name > line && name <= line + length && name[-1] == '\\'));
  text::CopyCut(out, 260, line);
  if (!setup::JoinNameUnlessPresent(out, 260, previous)) Check(out[0] == '\0');
  Check(strlen(out) < 260);
  free(out);
}

// The line resolved against the previous one as its root and the machine's
// folders, as a menu name and folder, and as an uninstall command: results
// stay bounded, and a result outside program mode never leaves its root.
void Paths(const char* line, size_t length, const char* previous, text::LeadByteTest isLead) {
  const setup::MachineFolders folders = {previous, "C:\\WINDOWS", ""};
  char* out = static_cast<char*>(malloc(260));
  for (int mode = 0; mode < 2; ++mode) {
    bool programMode = mode == 1;
    bool resolved = setup::ResolvePath(out, 260, line, previous, folders, programMode, isLead);
    Check(resolved == (out[0] != '\0') && strlen(out) < 260);
    setup::PathMacro macro = setup::SplitPathMacro(line);
    if (resolved && !programMode && macro.base == setup::PathBase::kRoot)
      Check(strncmp(out, previous, strlen(previous)) == 0 && setup::ResolvesBelowItsPlace(line, isLead));
  }
  setup::MenuFolder menu = setup::ComposeMenuFolder(out, 260, previous, line, "C:\\Programs", isLead);
  Check((menu == setup::MenuFolder::kNone) == (out[0] == '\0') && strlen(out) < 260);
  if (!setup::ComposeUninstallCommand(out, 260, line, length & 1, isLead)) Check(out[0] == '\0');
  Check(strlen(out) < 260);
  memcpy(out, line, length + 1 < 260 ? length + 1 : 260);
  out[259] = '\0';
  size_t before = strlen(out);
  setup::CutToCommandProgram(out, [](const char* path) { return strlen(path) % 3 == 0; }, isLead);
  Check(strlen(out) <= before);
  free(out);
}

// The builder's questions about system places: whatever the line, only
// memory safety and agreement with the erase split are asked of them.
void SharedPlaces(const char* line, const char* previous, text::LeadByteTest isLead) {
  setup::EraseLine erase;
  bool usable = setup::SplitEraseLine(line, &erase, isLead) == setup::EraseVerdict::kUsable;
  Check(!setup::ErasesSharedSystemKey(line, isLead) || usable);
  setup::RemovesSharedSettingsKey(line, previous, isLead);
  Check(line[0] || setup::IsSharedClass(line, isLead));
  // A full path has a root; a plain name is relative and climbs nowhere.
  Check(!setup::IsFullPath(line, isLead) || setup::FullPathRoot(line, isLead) > 0);
  Check(!setup::IsPlainRelativePath(line, isLead) || (setup::FullPathRoot(line, isLead) == 0 && setup::StaysBelow(line, isLead)));
  setup::DeleteReach reach = setup::ReachOfDeletePattern(line, isLead);
  Check(reach == setup::DeleteReach::kInstallation || reach == setup::DeleteReach::kSystemFolders ||
        reach == setup::DeleteReach::kElsewhere);
}

void Marks(const char* line, size_t length) {
  setup::CopyMarks marks = setup::ReadCopyMarks(line);
  Check(marks.path <= 5 && marks.path <= length);
  Check(marks.path == size_t(marks.noRecord) + marks.keep + marks.overwrite + marks.ignoreFailure + marks.takeOver);
  uint16_t word = setup::HotkeyWord(line);
  Check(length == 0 ? word == setup::kNoHotkey : (word & setup::kControlAlt) == setup::kControlAlt);
}

void Layout(const char* line, size_t length) {
  setup::LayoutInput input = {};
  int* values[] = {&input.left[0], &input.left[1], &input.left[2], &input.left[3], &input.left[4], &input.copy,
                   &input.del};
  for (size_t i = 0; i < 7 && i < length; ++i) *values[i] = static_cast<signed char>(line[i]) % 5;
  input.installedCopy = length > 7 && (line[7] & 1);
  input.automatic = length > 7 && (line[7] & 2);
  setup::Layout layout = setup::PlanLayout(input);
  int rise = layout.leftHidden < layout.rightFree ? layout.leftHidden : layout.rightFree;
  Check(layout.leftHidden <= 5 && layout.rightFree >= 2 && layout.rightFree <= 5);
  Check(layout.dialogShrink == rise + (layout.automatic ? 1 : 0) && layout.buttonRise <= rise);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // Each line is also the folder or name that the next line's folder
  // rules take; the first takes a system folder.
  const char* previous = "C:\\WINDOWS\\SYSTEM";
  char* kept = nullptr;
  for (size_t start = 0;;) {
    const void* newline = memchr(data + start, '\n', size - start);
    size_t taken = newline ? static_cast<size_t>(static_cast<const uint8_t*>(newline) - data) - start : size - start;
    char* line = static_cast<char*>(malloc(taken + 1));
    memcpy(line, data + start, taken);
    line[taken] = '\0';
    size_t length = strlen(line);  // a NUL inside ends the line, as in a profile value
    Registry(line, length, text::IsCp932LeadByte);
    Registry(line, length, WideLeadBytes);
    SharedPlaces(line, previous, text::IsCp932LeadByte);
    SharedPlaces(line, previous, WideLeadBytes);
    Association(line, length);
    Paths(line, length, previous, text::IsCp932LeadByte);
    Folders(line, length, previous);
    Marks(line, length);
    Layout(line, length);
    free(kept);
    kept = line;
    previous = line;
    if (!newline) break;
    start += taken + 1;
  }
  free(kept);
  return 0;
}
