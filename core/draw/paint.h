// The drawing commands of setup's backdrop and read-me pages: one line a
// command, run in order onto a Canvas.
//
//   mode,WORD        placement: point left top right bottom center rect,
//                    any other word the whole area
//   rect,L[,T[,R[,B]]]                  edges of the current rectangle
//   gradation,R1,G1,B1,R2,G2,B2[,STEPS] colour bands over the current rectangle
//   fill,R[,G[,B]]   font,R[,G[,B[,HEIGHT,...,FACE]]]   height,H
//   meta,FILE   bitmap,FILE   text,FILE   string,TEXT   |TEXT   page,ANY
//
// The command is the text before the first comma, in any case; a line
// without a comma, or with another command, is skipped. Numbers read as
// atoi reads them; in `rect` and `height` a field that starts with '%'
// is a percentage of the area's right (horizontal) or bottom (vertical).
#ifndef SFX_CORE_DRAW_PAINT_H
#define SFX_CORE_DRAW_PAINT_H

#include <stddef.h>
#include <stdint.h>

#include "draw/canvas.h"

namespace draw {

// Where bitmaps, bands and texts go. Any word but these selects kWholeArea.
enum class Mode : uint8_t { kPoint, kLeft, kTop, kRight, kBottom, kCenter, kRect, kWholeArea };

// Lines longer than this many bytes are cut, never inside a double-byte
// character.
constexpr size_t kMaxLineLength = 259;

// Runs `lines` (null entries count as empty lines) onto `canvas` until
// the end or the first `page` line. `area` is the drawing area; both
// callers pass a bitmap's rectangle, left and top 0, so tiling starts at
// 0 and percentages are of its width and height. Before the run the
// platform sets a transparent background for text.
//
// The font description starts zeroed, except its character set,
// DEFAULT_CHARSET (1), so that `height` alone picks a font of the
// system's own script. A `font` line's face name is cut to 31 bytes.
void PaintCommands(const Canvas& canvas, const Rect& area, const char* const* lines, size_t count);

// One number field of `rect` or `height`: "%p" (p read as atof reads it,
// the '%' first, with no blank before it) is p percent of `base`,
// truncated toward zero and held within the int32 range; anything else
// reads as atoi reads it.
int32_t ReadMeasure(const char* field, int32_t base);

// The file that a `meta`, `bitmap` or `text` line opens: the text after
// its first comma, as written. Null for every other line.
const char* NamedFile(const char* line);

}  // namespace draw

#endif  // SFX_CORE_DRAW_PAINT_H
