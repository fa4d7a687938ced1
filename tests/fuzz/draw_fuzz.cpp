// libFuzzer target: drawing-command lines onto a canvas that draws
// nothing, and the same bytes as a bitmap file and as a read-me page list.
#include <string.h>

#include <vector>

#include "draw/bmp.h"
#include "draw/paint.h"
#include "draw/readme_pages.h"

namespace {

// Bitmaps get a size from the first bytes of their name, 0 and negative
// ones included; a name starting with '!' does not open.
bool OpenBitmap(void*, const char* name, draw::Bitmap* b) {
  if (name[0] == '!') return false;
  int8_t w = static_cast<int8_t>(name[0]), h = static_cast<int8_t>(name[0] ? name[1] : 0);
  *b = {nullptr, w % 40, h % 40};
  return true;
}

// The text of a "file" is its name.
const char* LoadText(void*, const char* name) { return name[0] == '!' ? nullptr : name; }

void Measure(void*, const char* text, draw::TextFormat, draw::Rect* r) {
  int64_t right = static_cast<int64_t>(r->left) + 8 * static_cast<int64_t>(strlen(text));
  r->right = right > INT32_MAX ? INT32_MAX : static_cast<int32_t>(right);
  r->bottom = r->top > INT32_MAX - 16 ? INT32_MAX : r->top + 16;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::vector<char> text(data, data + size);
  text.push_back('\0');
  std::vector<const char*> lines;
  char* start = text.data();
  for (size_t i = 0; i < size; ++i)
    if (text[i] == '\n') {
      text[i] = '\0';
      lines.push_back(start);
      start = text.data() + i + 1;
    }
  lines.push_back(start);

  draw::Canvas canvas = {
      nullptr,
      [](void*, const draw::Rect&, draw::Colour) {},
      [](void*, const char*, const draw::Rect&) {},
      OpenBitmap,
      [](void*, const draw::Bitmap&, int32_t, int32_t) {},
      [](void*, const draw::Bitmap&, const draw::Rect&) {},
      [](void*, const draw::Bitmap&) {},
      LoadText,
      [](void*, const char*) {},
      Measure,
      [](void*, const char*, const draw::Rect&, draw::TextFormat) {},
      [](void*, draw::Colour) {},
      [](void*, const draw::FontDescription&) {},
      [](void*) {},
  };
  // Every page, as the read-me viewer would show it.
  for (int id = -4; id <= 2; ++id) {
    size_t first = readme::FindPageStart(lines.data(), lines.size(), id);
    readme::PageButtons buttons;
    readme::ReadPageButtons(lines.data(), lines.size(), first, &buttons);
    draw::PaintCommands(canvas, {0, 0, 64, 48}, lines.data() + first, lines.size() - first);
  }

  bmp::Layout layout;
  bmp::ReadLayout(data, size, size, &layout);
  return 0;
}
