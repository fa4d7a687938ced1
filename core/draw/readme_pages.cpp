#include "draw/readme_pages.h"

#include <string.h>

#include "text.h"

namespace readme {
namespace {

// The words of the ids -1, -2, -3 and -4.
const char* const kIdWords[] = {"install", "versionup", "uninstall", "none"};

// Whether the text before the first comma of `line` is `word` (any
// case); the text behind that comma goes to `rest`.
bool SplitWord(const char* line, const char* word, const char** rest) {
  if (!line) return false;
  const char* comma = strchr(line, ',');
  size_t length = strlen(word);
  if (!comma || static_cast<size_t>(comma - line) != length || !text::StartsWithNoCase(line, word)) return false;
  *rest = comma + 1;
  return true;
}

}  // namespace

bool ReadHeader(const char* line, int* id) {
  const char* rest;
  if (!SplitWord(line, "page", &rest)) return false;
  *id = text::ReadInt(rest);
  for (int i = 0; i < 4; ++i)
    if (text::EqualNoCase(rest, kIdWords[i])) *id = -1 - i;
  return true;
}

bool ReadButton(const char* line, ButtonLine* out) {
  static const char* const kButtons[kButtonCount] = {"button1", "button2", "button3"};
  const char* rest = nullptr;
  int button = 0;
  while (button < kButtonCount && !SplitWord(line, kButtons[button], &rest)) ++button;
  if (button == kButtonCount) return false;
  out->button = button;
  out->target = text::ReadInt(rest);
  for (int i = 0; i < 4; ++i)
    if (text::StartsWithNoCase(rest, kIdWords[i])) out->target = -1 - i;
  const char* comma = strchr(rest, ',');
  out->caption = comma ? comma + 1 : nullptr;
  return true;
}

size_t FindPageStart(const char* const* lines, size_t count, int id) {
  int found;
  for (size_t i = 0; i < count; ++i)
    if (ReadHeader(lines[i], &found) && found == id) return i + 1;
  return count < 1 ? count : 1;
}

size_t ReadPageButtons(const char* const* lines, size_t count, size_t start, PageButtons* buttons) {
  for (int b = 0; b < kButtonCount; ++b) {
    buttons->target[b] = kNone;
    buttons->caption[b] = nullptr;
  }
  int id;
  ButtonLine line;
  size_t i = start;
  for (; i < count && !ReadHeader(lines[i], &id); ++i) {
    if (!ReadButton(lines[i], &line)) continue;
    buttons->target[line.button] = line.target;
    if (line.caption) buttons->caption[line.button] = line.caption;
  }
  return i < count ? i : count;
}

}  // namespace readme
