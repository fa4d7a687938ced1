#include "draw/gradation.h"

namespace draw {
namespace {

// Extents are differences of two int32 values (below 2^32) and steps are
// below 2^31, so every product here stays below 2^63.

// s(f, extent): where band f starts, counted from the edge the bands
// grow from. 0 <= f <= steps.
int64_t Start(int64_t f, int64_t extent, int64_t steps) { return f * extent / steps; }

// The last band that starts at or before `at` (at >= 0, extent > 0):
// s(f) <= at  <=>  f*extent < (at + 1)*steps.
int64_t LastBandStartingBy(int64_t at, int64_t extent, int64_t steps) {
  if (at >= extent) return steps - 1;
  int64_t f = ((at + 1) * steps - 1) / extent;
  return f < steps - 1 ? f : steps - 1;
}

int64_t Max(int64_t a, int64_t b) { return a > b ? a : b; }
int64_t Min(int64_t a, int64_t b) { return a < b ? a : b; }

class Bands {
 public:
  Bands(const Canvas& canvas, Mode mode, const Rect& rect, const Rect& area, const Gradation& g)
      : canvas_(canvas),
        mode_(mode),
        r_(rect),
        area_(area),
        g_(g),
        steps_(g.steps),
        width_(static_cast<int64_t>(rect.right) - rect.left),
        height_(static_cast<int64_t>(rect.bottom) - rect.top) {}

  void Paint() {
    if (width_ <= 0 || height_ <= 0 || area_.right <= area_.left || area_.bottom <= area_.top) return;
    switch (mode_) {
      case Mode::kLeft:
        if (CrossesRows())
          Straight(width_, static_cast<int64_t>(area_.left) - r_.left, static_cast<int64_t>(area_.right) - r_.left);
        break;
      case Mode::kRight:
        if (CrossesRows())
          Straight(width_, static_cast<int64_t>(r_.right) - area_.right, static_cast<int64_t>(r_.right) - area_.left);
        break;
      case Mode::kTop:
        if (CrossesColumns())
          Straight(height_, static_cast<int64_t>(area_.top) - r_.top, static_cast<int64_t>(area_.bottom) - r_.top);
        break;
      case Mode::kBottom:
        if (CrossesColumns())
          Straight(height_, static_cast<int64_t>(r_.bottom) - area_.bottom,
                   static_cast<int64_t>(r_.bottom) - area_.top);
        break;
      case Mode::kCenter:
        Centred();
        break;
      default:
        break;
    }
  }

 private:
  bool CrossesRows() const { return Max(r_.top, area_.top) < Min(r_.bottom, area_.bottom); }
  bool CrossesColumns() const { return Max(r_.left, area_.left) < Min(r_.right, area_.right); }

  // Side by side bands: each pixel offset in [lo, hi) from the starting
  // edge lies in exactly one band; fill that band and go on behind it.
  void Straight(int64_t extent, int64_t lo, int64_t hi) {
    for (int64_t at = Max(lo, 0), end = Min(hi, extent); at < end;) {
      int64_t f = LastBandStartingBy(at, extent, steps_);
      Fill(f);
      at = Start(f + 1, extent, steps_);  // beyond `at`, since f was the last to start by it
    }
  }

  // Nested bands. Within the area, band f looks the same as band f+1
  // while neither inset crosses an area edge, so only the last band of
  // each look is filled. Insets dx beyond kx = max(dx, ax), with ax how
  // far the rectangle reaches past the area on its nearer side, move an
  // edge inside the area, which can happen only area-width times.
  void Centred() {
    int64_t ax = Min(static_cast<int64_t>(area_.left) - r_.left, static_cast<int64_t>(r_.right) - area_.right);
    int64_t ay = Min(static_cast<int64_t>(area_.top) - r_.top, static_cast<int64_t>(r_.bottom) - area_.bottom);
    for (int64_t f = 0; f < steps_;) {
      Rect band = Band(f);
      if (band.left >= area_.right || band.right <= area_.left || band.top >= area_.bottom || band.bottom <= area_.top)
        return;  // every later band lies inside this one
      int64_t kx = Max(Start(f, width_, steps_) / 2, ax), ky = Max(Start(f, height_, steps_) / 2, ay);
      // The first band whose inset exceeds kx starts at 2*(kx+1) or later.
      int64_t next =
          Min(LastBandStartingBy(2 * kx + 1, width_, steps_), LastBandStartingBy(2 * ky + 1, height_, steps_)) + 1;
      Fill(next - 1);
      f = next;
    }
  }

  Rect Band(int64_t f) const {
    int64_t w0 = Start(f, width_, steps_), w1 = Start(f + 1, width_, steps_);
    int64_t h0 = Start(f, height_, steps_), h1 = Start(f + 1, height_, steps_);
    // Every edge lies between the rectangle's own, so it fits in int32.
    auto x = [](int64_t v) { return static_cast<int32_t>(v); };
    switch (mode_) {
      case Mode::kLeft:
        return {x(r_.left + w0), r_.top, x(r_.left + w1), r_.bottom};
      case Mode::kTop:
        return {r_.left, x(r_.top + h0), r_.right, x(r_.top + h1)};
      case Mode::kRight:
        return {x(r_.right - w1), r_.top, x(r_.right - w0), r_.bottom};
      case Mode::kBottom:
        return {r_.left, x(r_.bottom - h1), r_.right, x(r_.bottom - h0)};
      default:
        return {x(r_.left + w0 / 2), x(r_.top + h0 / 2), x(r_.right - w0 / 2), x(r_.bottom - h0 / 2)};
    }
  }

  void Fill(int64_t f) {
    int32_t channel[3];
    for (int i = 0; i < 3; ++i) {
      int64_t c = g_.from[i] + f * (static_cast<int64_t>(g_.to[i]) - g_.from[i]) / steps_;
      channel[i] = static_cast<int32_t>(static_cast<uint64_t>(c) & 0xFF);
    }
    canvas_.fillRect(canvas_.context, Band(f), Rgb(channel[0], channel[1], channel[2]));
  }

  const Canvas& canvas_;
  Mode mode_;
  Rect r_, area_;
  const Gradation& g_;
  int64_t steps_, width_, height_;
};

}  // namespace

void FillGradation(const Canvas& canvas, Mode mode, const Rect& rect, const Rect& area, const Gradation& g) {
  if (g.steps < 2) return;
  Bands(canvas, mode, rect, area, g).Paint();
}

}  // namespace draw
