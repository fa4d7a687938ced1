// The page list of the read-me viewer: drawing-command lines cut into
// pages by header lines, with up to three page buttons per page.
//
//   page,ID                  ID: install -1, versionup -2, uninstall -3,
//                            none -4 (the whole rest of the line, any
//                            case), otherwise a number read as atoi
//   buttonN,TARGET[,CAPTION] N 1..3; TARGET starting with install,
//                            versionup, uninstall or none (any case) is
//                            -1..-4, otherwise a number read as atoi
//
// A header or button line is one whose text before its first comma is
// the word, in any case. A line of the bare word, without a comma, is an
// ordinary line: it neither starts nor ends a page nor sets a button,
// just as the painter skips it and paints on.
#ifndef SFX_CORE_DRAW_README_PAGES_H
#define SFX_CORE_DRAW_README_PAGES_H

#include <stddef.h>

namespace readme {

constexpr int kInstall = -1;
constexpr int kVersionUp = -2;
constexpr int kUninstall = -3;
constexpr int kNone = -4;
constexpr int kButtonCount = 3;

// A button whose target is below kUninstall stays hidden.
constexpr bool IsShown(int target) { return target >= kUninstall; }

// Whether `line` is a page header; its id goes to `id`.
bool ReadHeader(const char* line, int* id);

struct ButtonLine {
  int button;  // 0, 1 or 2 for button1..button3
  int target;
  const char* caption;  // the text behind the comma after the target; null when no comma follows
};
// Whether `line` is a button line; its parts go to `out`.
bool ReadButton(const char* line, ButtonLine* out);

// The index of the line behind the first header for `id`. When none
// matches, 1, as though the first line were the header (0 for an empty
// list), so the result never exceeds `count`. Null lines are empty.
size_t FindPageStart(const char* const* lines, size_t count, int id);

struct PageButtons {
  int target[kButtonCount];           // kNone unless the page sets it
  const char* caption[kButtonCount];  // null: keep what an earlier page set
};
// The buttons the lines from `start` up to the next header set, the last
// line for a button winning (a caption only where one is given). Returns
// where the page ends: the next header's index, or `count`.
size_t ReadPageButtons(const char* const* lines, size_t count, size_t start, PageButtons* buttons);

}  // namespace readme

#endif  // SFX_CORE_DRAW_README_PAGES_H
