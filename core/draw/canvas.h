// What the drawing-command interpreter draws on. setup fills a Canvas with
// GDI calls on a memory bitmap; the tests fill it with a recorder. Every
// callback must be set. The canvas is a bitmap of the drawing area's size:
// whatever falls outside the area is clipped away, and the interpreter
// relies on that to leave out work that could never show.
#ifndef SFX_CORE_DRAW_CANVAS_H
#define SFX_CORE_DRAW_CANVAS_H

#include <stddef.h>
#include <stdint.h>

namespace draw {

// Device pixels; right and bottom are outside. A rectangle whose right is
// not beyond its left (or bottom beyond its top) covers nothing.
struct Rect {
  int32_t left, top, right, bottom;
};

// COLORREF layout: red in the low byte, then green, then blue.
using Colour = uint32_t;

// Each channel takes the low 8 bits of its number, as RGB() does.
constexpr Colour Rgb(int32_t red, int32_t green, int32_t blue) {
  return (static_cast<uint32_t>(red) & 0xFF) | (static_cast<uint32_t>(green) & 0xFF) << 8 |
         (static_cast<uint32_t>(blue) & 0xFF) << 16;
}
constexpr int32_t Red(Colour c) { return static_cast<int32_t>(c & 0xFF); }
constexpr int32_t Green(Colour c) { return static_cast<int32_t>(c >> 8 & 0xFF); }
constexpr int32_t Blue(Colour c) { return static_cast<int32_t>(c >> 16 & 0xFF); }

// The fields of a LOGFONTA, in its order, under its names less the "lf".
struct FontDescription {
  int32_t height, width, escapement, orientation, weight;
  uint8_t italic, underline, strikeOut, charSet, outPrecision, clipPrecision, quality, pitchAndFamily;
  char faceName[32];  // NUL-terminated
};

// How a text is laid out; the platform turns these into DrawTextA flags.
enum class TextFormat : uint8_t {
  kFlow,               // DT_NOCLIP: top-left at the rectangle's, not clipped, broken at its own line breaks
  kFlowSingleLine,     // DT_NOCLIP | DT_SINGLELINE
  kClipped,            // 0: inside the rectangle, clipped, top-left aligned, no word wrap
  kClippedSingleLine,  // DT_SINGLELINE
};

// A bitmap file the platform has loaded, in its own handle.
struct Bitmap {
  void* handle;
  int32_t width, height;
};

struct Canvas {
  void* context;
  // A solid brush of `colour` over `rect`, made and deleted in the call.
  void (*fillRect)(void* context, const Rect& rect, Colour colour);
  // Plays the enhanced metafile named `name` into `into`; nothing when it
  // does not open.
  void (*playMetafile)(void* context, const char* name, const Rect& into);
  // Loads the bitmap file named `name`; false when it does not open or
  // is not a bitmap the platform takes.
  bool (*openBitmap)(void* context, const char* name, Bitmap* bitmap);
  // The whole bitmap with its top-left at (x, y), unscaled.
  void (*copyBitmap)(void* context, const Bitmap& bitmap, int32_t x, int32_t y);
  // The whole bitmap scaled onto `into`.
  void (*stretchBitmap)(void* context, const Bitmap& bitmap, const Rect& into);
  void (*closeBitmap)(void* context, const Bitmap& bitmap);
  // The bytes of the text file named `name`, NUL-terminated; null when it
  // does not open or its memory cannot be had.
  const char* (*loadText)(void* context, const char* name);
  void (*freeText)(void* context, const char* text);
  // Sets `rect`'s right and bottom to the extent of `text` drawn from its
  // left and top (DT_CALCRECT); `format` is kFlow or kFlowSingleLine.
  void (*measureText)(void* context, const char* text, TextFormat format, Rect* rect);
  void (*drawText)(void* context, const char* text, const Rect& rect, TextFormat format);
  void (*setTextColour)(void* context, Colour colour);
  // Makes a font of `font` and selects it for text, deleting the one
  // made by the previous call.
  void (*setFont)(void* context, const FontDescription& font);
  // Selects back the font the first setFont replaced and deletes the
  // last one made. Called only after a setFont.
  void (*releaseFont)(void* context);
};

}  // namespace draw

#endif  // SFX_CORE_DRAW_CANVAS_H
