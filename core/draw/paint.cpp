#include "draw/paint.h"

#include <limits.h>
#include <string.h>

#include "draw/gradation.h"
#include "text.h"

namespace draw {
namespace {

int32_t Clamp32(int64_t v) { return v < INT32_MIN ? INT32_MIN : v > INT32_MAX ? INT32_MAX : static_cast<int32_t>(v); }

// A decimal number as atof reads it: blanks, a sign, digits, a fraction,
// an exponent. The digits are gathered into an integer and scaled once, so
// the host and Windows builds agree (for up to 19 digits and exponents
// within 22 the result is the correctly rounded one). Spellings such as
// "inf" or "0x1p3" are not numbers here.
double ReadDecimal(const char* p) {
  while (*p == ' ' || *p == '\t' || *p == '\n' || *p == '\v' || *p == '\f' || *p == '\r') ++p;
  bool negative = *p == '-';
  if (*p == '-' || *p == '+') ++p;
  uint64_t digits = 0;
  int scale = 0;  // value = digits * 10^scale
  bool any = false;
  for (; *p >= '0' && *p <= '9'; ++p, any = true) {
    if (digits < 1000000000000000000ULL)
      digits = digits * 10 + static_cast<uint64_t>(*p - '0');
    else
      ++scale;
  }
  if (*p == '.') {
    for (++p; *p >= '0' && *p <= '9'; ++p, any = true) {
      if (digits < 1000000000000000000ULL) {
        digits = digits * 10 + static_cast<uint64_t>(*p - '0');
        --scale;
      }
    }
  }
  if (!any || digits == 0) return 0.0;
  if ((*p == 'e' || *p == 'E') &&
      ((p[1] >= '0' && p[1] <= '9') || ((p[1] == '-' || p[1] == '+') && p[2] >= '0' && p[2] <= '9'))) {
    ++p;
    bool down = *p == '-';
    if (*p == '-' || *p == '+') ++p;
    int exponent = 0;
    for (; *p >= '0' && *p <= '9'; ++p)
      if (exponent < 1000) exponent = exponent * 10 + (*p - '0');
    scale += down ? -exponent : exponent;
  }
  // Beyond 10^+-400 every double is infinite or zero anyway.
  if (scale > 400) scale = 400;
  if (scale < -400) scale = -400;
  double value = static_cast<double>(digits);
  while (scale != 0) {
    int step = scale > 22 ? 22 : scale < -22 ? -22 : scale;
    double power = 1.0;
    for (int i = 0; i < (step < 0 ? -step : step); ++i) power *= 10.0;  // exact up to 10^22
    value = step > 0 ? value * power : value / power;
    scale -= step;
  }
  return negative ? -value : value;
}

const char* const kModeWords[] = {"point", "left", "top", "right", "bottom", "center", "rect"};

// The field behind the next comma, or null when none follows.
const char* NextField(const char* field) {
  const char* comma = strchr(field, ',');
  return comma ? comma + 1 : nullptr;
}

class Painter {
 public:
  Painter(const Canvas& canvas, const Rect& area) : c_(canvas), area_(area) {
    memset(&font_, 0, sizeof font_);
    font_.charSet = 1;  // DEFAULT_CHARSET
  }

  // False at a `page` line.
  bool Run(const char* source) {
    char line[kMaxLineLength + 1];
    text::CopyCut(line, sizeof line, source ? source : "");
    if (line[0] == '|') {
      DrawString(line + 1, true);
      return true;
    }
    char* comma = strchr(line, ',');
    if (!comma) return true;
    *comma = '\0';
    const char* value = comma + 1;
    static const struct {
      const char* name;
      void (Painter::*run)(const char* value);
    } kCommands[] = {
        {"mode", &Painter::SetMode},      {"rect", &Painter::SetRect},     {"gradation", &Painter::Gradate},
        {"fill", &Painter::FillColour},   {"height", &Painter::SetHeight}, {"font", &Painter::SetFont},
        {"meta", &Painter::PlayMetafile}, {"bitmap", &Painter::PutBitmap}, {"text", &Painter::DrawFile},
        {"string", &Painter::DrawLine},
    };
    if (text::EqualNoCase(line, "page")) return false;
    for (const auto& command : kCommands)
      if (text::EqualNoCase(line, command.name)) (this->*command.run)(value);
    return true;
  }

  void Finish() {
    if (fontMade_) c_.releaseFont(c_.context);
  }

 private:
  void SetMode(const char* word) {
    mode_ = Mode::kWholeArea;
    for (size_t i = 0; i < sizeof kModeWords / sizeof kModeWords[0]; ++i)
      if (text::EqualNoCase(word, kModeWords[i])) mode_ = static_cast<Mode>(i);
  }

  void SetRect(const char* field) {
    int32_t* edges[] = {&rect_.left, &rect_.top, &rect_.right, &rect_.bottom};
    for (int i = 0; i < 4 && field; ++i, field = NextField(field))
      *edges[i] = ReadMeasure(field, i % 2 == 0 ? area_.right : area_.bottom);
  }

  void Gradate(const char* field) {
    int32_t n[7] = {0, 0, 0, 0, 0, 0, 64};
    for (int i = 0; i < 7 && field; ++i, field = NextField(field)) n[i] = text::ReadInt(field);
    Gradation g = {{n[0], n[1], n[2]}, {n[3], n[4], n[5]}, n[6] < 2 ? 2 : n[6]};
    colour_ = Rgb(n[3], n[4], n[5]);
    FillGradation(c_, mode_, rect_, area_, g);
  }

  void FillColour(const char* field) {
    int32_t rgb[3] = {0, Green(colour_), Blue(colour_)};
    for (int i = 0; i < 3 && field; ++i, field = NextField(field)) rgb[i] = text::ReadInt(field);
    colour_ = Rgb(rgb[0], rgb[1], rgb[2]);
    if (mode_ == Mode::kRect) c_.fillRect(c_.context, rect_, colour_);
    if (mode_ == Mode::kWholeArea) c_.fillRect(c_.context, area_, colour_);
  }

  void SetHeight(const char* field) {
    font_.height = ReadMeasure(field, area_.bottom);
    font_.width = 0;
    MakeFont();
  }

  // Colour, then the LOGFONT fields in order while commas follow.
  void SetFont(const char* field) {
    int32_t rgb[3] = {text::ReadInt(field), Green(colour_), Blue(colour_)};
    for (int i = 1; i < 3 && (field = NextField(field)) != nullptr; ++i) rgb[i] = text::ReadInt(field);
    int32_t* numbers[] = {&font_.height, &font_.width, &font_.escapement, &font_.orientation, &font_.weight};
    uint8_t* bytes[] = {&font_.italic,       &font_.underline,     &font_.strikeOut, &font_.charSet,
                        &font_.outPrecision, &font_.clipPrecision, &font_.quality,   &font_.pitchAndFamily};
    for (int i = 0; i < 5 && field && (field = NextField(field)) != nullptr; ++i) *numbers[i] = text::ReadInt(field);
    for (int i = 0; i < 8 && field && (field = NextField(field)) != nullptr; ++i)
      *bytes[i] = static_cast<uint8_t>(static_cast<uint32_t>(text::ReadInt(field)) & 0xFF);
    if (field && (field = NextField(field)) != nullptr) text::CopyCut(font_.faceName, sizeof font_.faceName, field);
    colour_ = Rgb(rgb[0], rgb[1], rgb[2]);
    c_.setTextColour(c_.context, colour_);
    MakeFont();
  }

  void MakeFont() {
    c_.setFont(c_.context, font_);
    fontMade_ = true;
  }

  // Opening a metafile elsewhere would only be thrown away.
  void PlayMetafile(const char* name) {
    if (mode_ == Mode::kRect) c_.playMetafile(c_.context, name, rect_);
    if (mode_ == Mode::kWholeArea) c_.playMetafile(c_.context, name, area_);
  }

  void PutBitmap(const char* name);

  void DrawFile(const char* name) {
    if (mode_ != Mode::kRight && mode_ != Mode::kBottom && mode_ != Mode::kRect) return;
    const char* bytes = c_.loadText(c_.context, name);
    if (!bytes) return;
    DrawString(bytes, false);
    c_.freeText(c_.context, bytes);
  }

  void DrawLine(const char* words) { DrawString(words, true); }

  void DrawString(const char* words, bool singleLine) {
    if (mode_ == Mode::kRect) {
      c_.drawText(c_.context, words, rect_, singleLine ? TextFormat::kClippedSingleLine : TextFormat::kClipped);
      return;
    }
    if (mode_ != Mode::kRight && mode_ != Mode::kBottom) return;
    TextFormat format = singleLine ? TextFormat::kFlowSingleLine : TextFormat::kFlow;
    Rect t = {rect_.left, rect_.top, rect_.left, rect_.bottom};
    c_.measureText(c_.context, words, format, &t);
    c_.drawText(c_.context, words, t, format);
    // The next text goes on beside or below this one.
    if (mode_ == Mode::kRight)
      rect_ = {t.right, t.top, t.right, t.bottom};
    else
      rect_ = {t.left, t.bottom, t.right, t.bottom};
  }

  const Canvas& c_;
  const Rect area_;
  Mode mode_ = Mode::kPoint;
  Rect rect_ = {0, 0, 0, 0};
  Colour colour_ = 0;
  FontDescription font_;
  bool fontMade_ = false;
};

void Painter::PutBitmap(const char* name) {
  Bitmap b = {nullptr, 0, 0};
  if (!c_.openBitmap(c_.context, name, &b)) return;
  // Tiling steps by the bitmap's size: one of 0 or less would never end.
  if (b.width <= 0 || b.height <= 0) {
    c_.closeBitmap(c_.context, b);
    return;
  }
  const int64_t w = b.width, h = b.height, right = area_.right, bottom = area_.bottom;
  auto copy = [&](int64_t x, int64_t y) { c_.copyBitmap(c_.context, b, Clamp32(x), Clamp32(y)); };
  auto set = [&](int64_t l, int64_t t, int64_t r, int64_t bm) {
    rect_ = {Clamp32(l), Clamp32(t), Clamp32(r), Clamp32(bm)};
  };
  switch (mode_) {
    case Mode::kPoint:
      copy(rect_.left, rect_.top);
      set(0, 0, w, h);
      break;
    case Mode::kLeft:
      for (int64_t y = 0; y < bottom; y += h) copy(0, y);
      set(0, 0, w, bottom);
      break;
    case Mode::kTop:
      for (int64_t x = 0; x < right; x += w) copy(x, 0);
      set(0, 0, right, h);
      break;
    case Mode::kRight:
      for (int64_t y = 0; y < bottom; y += h) copy(right - w, y);
      set(right - w, 0, right, bottom);
      break;
    case Mode::kBottom:
      for (int64_t x = 0; x < right; x += w) copy(x, bottom - h);
      set(0, bottom - h, right, bottom);
      break;
    case Mode::kCenter: {
      int64_t x = (right - w) / 2, y = (bottom - h) / 2;
      copy(x, y);
      set(x, y, x + w, y + h);
      break;
    }
    case Mode::kRect:
      c_.stretchBitmap(c_.context, b, rect_);
      break;
    case Mode::kWholeArea:
      for (int64_t x = 0; x < right; x += w)
        for (int64_t y = 0; y < bottom; y += h) copy(x, y);
      rect_ = area_;
      break;
  }
  c_.closeBitmap(c_.context, b);
}

}  // namespace

int32_t ReadMeasure(const char* field, int32_t base) {
  if (field[0] != '%') return text::ReadInt(field);
  double value = ReadDecimal(field + 1) * base * 0.01;
  if (!(value == value)) return 0;  // NaN: an infinite percentage of 0
  if (value <= INT32_MIN) return INT32_MIN;
  if (value >= INT32_MAX) return INT32_MAX;
  return static_cast<int32_t>(value);
}

const char* NamedFile(const char* line) {
  static const char* const kFileCommands[] = {"meta", "bitmap", "text"};
  const char* comma = strchr(line, ',');
  if (!comma) return nullptr;
  for (const char* command : kFileCommands)
    if (text::EqualNoCase(line, static_cast<size_t>(comma - line), command)) return comma + 1;
  return nullptr;
}

void PaintCommands(const Canvas& canvas, const Rect& area, const char* const* lines, size_t count) {
  Painter painter(canvas, area);
  if (!lines) count = 0;
  for (size_t i = 0; i < count && painter.Run(lines[i]); ++i) {
  }
  painter.Finish();
}

}  // namespace draw
