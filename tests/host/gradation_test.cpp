// Gradation bands: their rectangles and colours per mode, and that leaving
// out the bands that cannot show never changes the picture.
#include "draw/gradation.h"

#include <gtest/gtest.h>
#include <limits.h>

#include <string>
#include <vector>

namespace {

using draw::Mode;
using draw::Rect;

struct Fill {
  Rect r;
  draw::Colour c;
};

std::vector<Fill> Bands(Mode mode, Rect rect, Rect area, draw::Gradation g) {
  std::vector<Fill> fills;
  draw::Canvas canvas = {};
  canvas.context = &fills;
  canvas.fillRect = [](void* c, const Rect& r, draw::Colour k) {
    static_cast<std::vector<Fill>*>(c)->push_back({r, k});
  };
  draw::FillGradation(canvas, mode, rect, area, g);
  return fills;
}

std::string Text(const std::vector<Fill>& fills) {
  std::string text;
  for (const Fill& f : fills)
    text += std::to_string(f.r.left) + "," + std::to_string(f.r.top) + "," + std::to_string(f.r.right) + "," +
            std::to_string(f.r.bottom) + ":" + std::to_string(f.c >> 16) + " ";
  return text;
}

TEST(Gradation, BandsRunFromTheModesEdge) {
  const draw::Gradation g = {{0, 0, 0}, {0, 0, 200}, 4};  // blues 0, 50, 100, 150
  struct Case {
    Mode mode;
    Rect rect;
    const char* bands;
  } cases[] = {
      {Mode::kLeft, {0, 0, 10, 2}, "0,0,2,2:0 2,0,5,2:50 5,0,7,2:100 7,0,10,2:150 "},
      {Mode::kTop, {0, 0, 2, 10}, "0,0,2,2:0 0,2,2,5:50 0,5,2,7:100 0,7,2,10:150 "},
      {Mode::kRight, {0, 0, 10, 2}, "8,0,10,2:0 5,0,8,2:50 3,0,5,2:100 0,0,3,2:150 "},
      {Mode::kBottom, {0, 0, 2, 10}, "0,8,2,10:0 0,5,2,8:50 0,3,2,5:100 0,0,2,3:150 "},
      {Mode::kCenter, {0, 0, 16, 8}, "0,0,16,8:0 2,1,14,7:50 4,2,12,6:100 6,3,10,5:150 "},
      {Mode::kPoint, {0, 0, 16, 8}, ""},
      {Mode::kRect, {0, 0, 16, 8}, ""},
      {Mode::kWholeArea, {0, 0, 16, 8}, ""},
      {Mode::kLeft, {10, 0, 0, 8}, ""},  // inverted: every band empty
  };
  for (const Case& c : cases)
    EXPECT_EQ(Text(Bands(c.mode, c.rect, {0, 0, 64, 48}, g)), c.bands) << static_cast<int>(c.mode);
  // Channels wrap modulo 256 after the interpolation, not before.
  EXPECT_EQ(Text(Bands(Mode::kLeft, {0, 0, 2, 1}, {0, 0, 64, 48}, {{0, 0, -256}, {0, 0, 256}, 2})),
            "0,0,1,1:0 1,0,2,1:0 ");
  EXPECT_EQ(Bands(Mode::kLeft, {0, 0, 2, 1}, {0, 0, 64, 48}, {{0, 0, 0}, {0, 0, -2}, 2})[1].c >> 16, 255u);
}

// What every band of the sequence, filled in order, leaves in the area.
std::vector<draw::Colour> Picture(const std::vector<Fill>& fills, Rect area) {
  std::vector<draw::Colour> pixels((area.right - area.left) * (area.bottom - area.top), 0xFFFFFFFF);
  for (const Fill& f : fills)
    for (int y = std::max(f.r.top, area.top); y < std::min(f.r.bottom, area.bottom); ++y)
      for (int x = std::max(f.r.left, area.left); x < std::min(f.r.right, area.right); ++x)
        pixels[(y - area.top) * (area.right - area.left) + x - area.left] = f.c;
  return pixels;
}

// Every band of the sequence, as the plain definition gives them, in the
// colours of Counting(): red counts the bands, blue their quarter.
std::vector<Fill> AllBands(Mode mode, Rect r, int32_t steps) {
  std::vector<Fill> fills;
  long long w = r.right - r.left, h = r.bottom - r.top;
  for (long long f = 0; f < steps; ++f) {
    long long x0 = f * w / steps, x1 = (f + 1) * w / steps, y0 = f * h / steps, y1 = (f + 1) * h / steps;
    Rect b = mode == Mode::kLeft    ? Rect{int(r.left + x0), r.top, int(r.left + x1), r.bottom}
             : mode == Mode::kTop   ? Rect{r.left, int(r.top + y0), r.right, int(r.top + y1)}
             : mode == Mode::kRight ? Rect{int(r.right - x1), r.top, int(r.right - x0), r.bottom}
             : mode == Mode::kBottom
                 ? Rect{r.left, int(r.bottom - y1), r.right, int(r.bottom - y0)}
                 : Rect{int(r.left + x0 / 2), int(r.top + y0 / 2), int(r.right - x0 / 2), int(r.bottom - y0 / 2)};
    fills.push_back({b, draw::Rgb(int(f), 0, int(4 * f / steps))});
  }
  return fills;
}
draw::Gradation Counting(int32_t steps) { return {{0, 0, 0}, {steps, 0, 4}, steps}; }

TEST(Gradation, LeavingOutHiddenBandsKeepsThePicture) {
  const Rect area = {0, 0, 13, 11};
  const Rect rects[] = {{0, 0, 13, 11}, {2, 3, 9, 8},    {-40, -30, 50, 41}, {-7, 4, 6, 60},
                        {5, -20, 9, 5}, {-100, 5, 3, 6}, {20, 0, 30, 11},    {0, 0, 1, 1}};
  for (Mode mode : {Mode::kLeft, Mode::kTop, Mode::kRight, Mode::kBottom, Mode::kCenter})
    for (const Rect& r : rects)
      for (int32_t steps : {2, 3, 7, 13, 64, 250, 1000})
        EXPECT_EQ(Picture(Bands(mode, r, area, Counting(steps)), area), Picture(AllBands(mode, r, steps), area))
            << static_cast<int>(mode) << " " << r.left << "," << r.top << "," << r.right << "," << r.bottom << " / "
            << steps;
}

TEST(Gradation, HugeStepCountsAndRectanglesStayWithinTheArea) {
  const Rect area = {0, 0, 64, 48};
  const Rect huge = {INT_MIN, INT_MIN, INT_MAX, INT_MAX};
  for (Mode mode : {Mode::kLeft, Mode::kTop, Mode::kRight, Mode::kBottom, Mode::kCenter}) {
    std::vector<Fill> fills = Bands(mode, huge, area, {{0, 0, 0}, {INT_MAX, INT_MIN, 255}, INT_MAX});
    EXPECT_GT(fills.size(), 0u);
    EXPECT_LE(fills.size(), 64u + 48u + 1u) << static_cast<int>(mode);
  }
}

}  // namespace
