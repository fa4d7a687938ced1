// The colour bands of a `gradation` line.
//
// Band f of `steps` (0 <= f < steps) over a rectangle of width W and
// height H, with s(f, E) = f*E/steps truncated:
//
//   left    (left + s(f,W), top, left + s(f+1,W), bottom)
//   top     (left, top + s(f,H), right, top + s(f+1,H))
//   right   (right - s(f+1,W), top, right - s(f,W), bottom)
//   bottom  (left, bottom - s(f+1,H), right, bottom - s(f,H))
//   center  (left + s(f,W)/2, top + s(f,H)/2, right - s(f,W)/2, bottom - s(f,H)/2)
//
// filled in band order, each channel c1 + f*(c2 - c1)/steps modulo 256,
// so the first band has the start colour and the last stops one step
// short of the end colour. Point, rect and whole-area modes define no
// band and draw nothing.
//
// The step count and the rectangle come from the file, so a naive loop
// could fill two thousand million bands. Only bands that can change a
// pixel of the area are filled: an empty band, one wholly outside the
// area, and one that a later band covers within the area are left out.
// That leaves at most one band per pixel row or column of the area, and
// the picture is the one the full sequence paints.
#ifndef SFX_CORE_DRAW_GRADATION_H
#define SFX_CORE_DRAW_GRADATION_H

#include "draw/paint.h"

namespace draw {

struct Gradation {
  int32_t from[3];  // red, green, blue as written; only their low 8 bits
  int32_t to[3];    // reach the picture, after the interpolation
  int32_t steps;    // 2 or more
};

void FillGradation(const Canvas& canvas, Mode mode, const Rect& rect, const Rect& area, const Gradation& g);

}  // namespace draw

#endif  // SFX_CORE_DRAW_GRADATION_H
