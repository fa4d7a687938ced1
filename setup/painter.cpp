// Drawing commands on GDI: the backdrop and the read-me pages. The
// interpreter of core/draw decides what goes where; this file turns its
// canvas calls into GDI calls on the caller's context. Everything a line
// makes is released before the next line, except the current font, which
// lasts until a later line replaces it or the run ends.
#include "setup.h"

#include <string.h>

#include "draw/bmp.h"
#include "draw/paint.h"
#include "ini/lists.h"

namespace {

// One run's GDI state.
struct Gdi {
  HDC dc;
  const char* root;      // file names resolve against it
  HGDIOBJ fontReplaced;  // what the first font made replaced; null before
  HFONT font;            // the font made last
  // The bitmap a `bitmap` line holds, selected into a context of its own.
  HDC bitmapDc;
  HBITMAP bitmap;
  HGDIOBJ bitmapReplaced;
};

Gdi& Of(void* context) { return *static_cast<Gdi*>(context); }

RECT ToRect(const draw::Rect& r) { return {r.left, r.top, r.right, r.bottom}; }

// Extents of rectangles that may span the whole int32 range: the
// difference wraps instead of overflowing, and GDI clips what is left.
int Extent(int32_t from, int32_t to) {
  return static_cast<int>(static_cast<uint32_t>(to) - static_cast<uint32_t>(from));
}

void* Allocate(DWORD size) { return HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, size); }
void Release(void* block) {
  if (block) HeapFree(GetProcessHeap(), 0, block);
}

// A file of a drawing command: resolved against the root folder, or, when
// that does not open, the name as written.
HANDLE OpenCommandFile(const char* root, const char* name) {
  char path[MAX_PATH];
  ResolvePath(name, root, path, false);
  HANDLE file =
      CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE)
    file = CreateFileA(name, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  return file;
}

bool ReadExactly(HANDLE file, void* to, DWORD size) {
  DWORD read = 0;
  return ReadFile(file, to, size, &read, nullptr) && read == size;
}

// The bitmap of a BMP file whose layout core/draw accepts. Only the parts
// the layout names are read and allocated, and all of them lie inside the
// file, so a damaged header can neither make GDI read past a block nor ask
// for more memory than the file holds.
HBITMAP LoadBitmapFile(HDC dc, HANDLE file, bmp::Layout* layout) {
  uint8_t head[bmp::kHeadersSize];
  DWORD high = 0, low = GetFileSize(file, &high);
  if (low == INVALID_FILE_SIZE && GetLastError() != NO_ERROR) return nullptr;
  uint64_t size = static_cast<uint64_t>(high) << 32 | low;
  if (!ReadExactly(file, head, sizeof head) || bmp::ReadLayout(head, sizeof head, size, layout) != core::Result::kOk)
    return nullptr;
  // The BITMAPINFO: the info header and the colour table behind it, which
  // the file holds back to back, as it does the pixels behind the table.
  uint8_t* info = static_cast<uint8_t*>(Allocate(layout->infoSize + layout->colourTableSize));
  uint8_t* pixels = info ? static_cast<uint8_t*>(Allocate(layout->pixelSize)) : nullptr;
  HBITMAP bitmap = nullptr;
  if (pixels && ReadExactly(file, info + layout->infoSize, layout->colourTableSize) &&
      ReadExactly(file, pixels, layout->pixelSize)) {
    BITMAPINFOHEADER header;
    memcpy(&header, head + layout->infoOffset, sizeof header);
    // GDI would take a colour count beyond the table's, or an image size
    // beyond the block, from the file: 0 tells it the full table of the
    // bit depth, which is what was read, and rows of the width.
    header.biClrUsed = 0;
    header.biSizeImage = 0;
    memcpy(info, &header, sizeof header);
    bitmap = CreateDIBitmap(dc, &header, CBM_INIT, pixels, reinterpret_cast<BITMAPINFO*>(info), DIB_RGB_COLORS);
  }
  Release(pixels);
  Release(info);
  return bitmap;
}

void FillArea(void* context, const draw::Rect& rect, draw::Colour colour) {
  HBRUSH brush = CreateSolidBrush(colour);
  if (!brush) return;
  RECT r = ToRect(rect);
  FillRect(Of(context).dc, &r, brush);
  DeleteObject(brush);
}

void PlayMetafile(void* context, const char* name, const draw::Rect& into) {
  Gdi& g = Of(context);
  char path[MAX_PATH];
  ResolvePath(name, g.root, path, false);
  HENHMETAFILE metafile = GetEnhMetaFileA(path);
  if (!metafile) metafile = GetEnhMetaFileA(name);
  if (!metafile) return;
  RECT r = ToRect(into);
  PlayEnhMetaFile(g.dc, metafile, &r);
  DeleteEnhMetaFile(metafile);
}

bool OpenBitmap(void* context, const char* name, draw::Bitmap* out) {
  Gdi& g = Of(context);
  HANDLE file = OpenCommandFile(g.root, name);
  if (file == INVALID_HANDLE_VALUE) return false;
  bmp::Layout layout;
  HBITMAP bitmap = LoadBitmapFile(g.dc, file, &layout);
  CloseHandle(file);
  if (!bitmap) return false;
  g.bitmapDc = CreateCompatibleDC(g.dc);
  if (!g.bitmapDc) {
    DeleteObject(bitmap);
    return false;
  }
  g.bitmap = bitmap;
  g.bitmapReplaced = SelectObject(g.bitmapDc, bitmap);
  *out = {g.bitmapDc, layout.width, layout.height};
  return true;
}

void CopyBitmap(void* context, const draw::Bitmap& b, int32_t x, int32_t y) {
  BitBlt(Of(context).dc, x, y, b.width, b.height, static_cast<HDC>(b.handle), 0, 0, SRCCOPY);
}

void StretchBitmap(void* context, const draw::Bitmap& b, const draw::Rect& into) {
  StretchBlt(Of(context).dc, into.left, into.top, Extent(into.left, into.right), Extent(into.top, into.bottom),
             static_cast<HDC>(b.handle), 0, 0, b.width, b.height, SRCCOPY);
}

void CloseBitmap(void* context, const draw::Bitmap&) {
  Gdi& g = Of(context);
  SelectObject(g.bitmapDc, g.bitmapReplaced);
  DeleteObject(g.bitmap);
  DeleteDC(g.bitmapDc);
  g.bitmapDc = nullptr;
  g.bitmap = nullptr;
}

const char* LoadText(void* context, const char* name) {
  HANDLE file = OpenCommandFile(Of(context).root, name);
  if (file == INVALID_HANDLE_VALUE) return nullptr;
  DWORD size = GetFileSize(file, nullptr);
  // INVALID_FILE_SIZE is also the one size whose NUL would not fit.
  char* text = size != INVALID_FILE_SIZE ? static_cast<char*>(Allocate(size + 1)) : nullptr;
  DWORD read = 0;
  if (text && !ReadFile(file, text, size, &read, nullptr)) read = 0;
  CloseHandle(file);
  if (text) text[read] = '\0';  // a file that shrank ends where its bytes end
  return text;
}

void FreeText(void*, const char* text) { Release(const_cast<char*>(text)); }

UINT TextFlags(draw::TextFormat format) {
  switch (format) {
    case draw::TextFormat::kFlow:
      return DT_NOCLIP;
    case draw::TextFormat::kFlowSingleLine:
      return DT_NOCLIP | DT_SINGLELINE;
    case draw::TextFormat::kClipped:
      return 0;
    case draw::TextFormat::kClippedSingleLine:
      break;
  }
  return DT_SINGLELINE;
}

void MeasureText(void* context, const char* text, draw::TextFormat format, draw::Rect* rect) {
  RECT r = ToRect(*rect);
  DrawTextA(Of(context).dc, text, -1, &r, DT_CALCRECT | (TextFlags(format) & DT_SINGLELINE));
  rect->right = r.right;
  rect->bottom = r.bottom;
}

void DrawTextLine(void* context, const char* text, const draw::Rect& rect, draw::TextFormat format) {
  RECT r = ToRect(rect);
  DrawTextA(Of(context).dc, text, -1, &r, TextFlags(format));
}

void SetTextColour(void* context, draw::Colour colour) { SetTextColor(Of(context).dc, colour); }

// Drops the font made last, giving the context back the font it had.
void ReleaseFont(void* context) {
  Gdi& g = Of(context);
  if (!g.font) return;
  SelectObject(g.dc, g.fontReplaced);
  DeleteObject(g.font);
  g.font = nullptr;
}

void SetFont(void* context, const draw::FontDescription& d) {
  Gdi& g = Of(context);
  ReleaseFont(context);
  LOGFONTA font = {d.height,    d.width,   d.escapement,   d.orientation,   d.weight,  d.italic,         d.underline,
                   d.strikeOut, d.charSet, d.outPrecision, d.clipPrecision, d.quality, d.pitchAndFamily, {}};
  memcpy(font.lfFaceName, d.faceName, sizeof font.lfFaceName);
  font.lfFaceName[sizeof font.lfFaceName - 1] = '\0';
  g.font = CreateFontIndirectA(&font);
  if (!g.font) return;
  HGDIOBJ replaced = SelectObject(g.dc, g.font);
  if (!g.fontReplaced) g.fontReplaced = replaced;
}

}  // namespace

char** ReadLineList(const profile::Document& description, const char* section, int count) {
  if (count <= 0 || static_cast<DWORD>(count) > MAXDWORD / sizeof(char*)) return nullptr;
  char** lines = static_cast<char**>(Allocate(static_cast<DWORD>(count) * sizeof(char*)));
  if (!lines) return nullptr;
  for (int i = 0; i < count; ++i) {
    char key[profile::kNumberSize], line[MAX_PATH];
    profile::NumberText(key, i);
    description.Read(section, key, line, sizeof line);
    lines[i] = static_cast<char*>(Allocate(lstrlenA(line) + 1));
    if (lines[i]) lstrcpyA(lines[i], line);
  }
  return lines;
}

void FreeLineList(char** lines, int count) {
  if (!lines) return;
  for (int i = 0; i < count; ++i) Release(lines[i]);
  Release(lines);
}

void PaintBackSection(HDC dc, const RECT& area, const char* root, const profile::Document& description) {
  int count = 0;
  for (;; ++count) {
    char key[profile::kNumberSize], line[MAX_PATH];
    profile::NumberText(key, count);
    if (description.Read(ini::kBack, key, line, sizeof line) == 0) break;
  }
  char** lines = ReadLineList(description, ini::kBack, count);
  if (!lines) return;
  PaintCommands(dc, area, root, lines, count);
  FreeLineList(lines, count);
}

void PaintCommands(HDC dc, const RECT& area, const char* root, const char* const* lines, int count) {
  SetBkMode(dc, TRANSPARENT);
  Gdi gdi = {dc, root ? root : "", nullptr, nullptr, nullptr, nullptr, nullptr};
  const draw::Canvas canvas = {&gdi,          FillArea,      PlayMetafile, OpenBitmap, CopyBitmap,
                               StretchBitmap, CloseBitmap,   LoadText,     FreeText,   MeasureText,
                               DrawTextLine,  SetTextColour, SetFont,      ReleaseFont};
  draw::Rect drawingArea = {area.left, area.top, area.right, area.bottom};
  draw::PaintCommands(canvas, drawingArea, lines, count > 0 ? static_cast<size_t>(count) : 0);
}
