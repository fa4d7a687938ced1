// Gradation bands: leaving out the bands that cannot show never changes
// the picture that the plain band sequence paints.
#include "draw/gradation.h"

#include <gtest/gtest.h>
#include <limits.h>

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

TEST(Gradation, ChannelsWrapAfterInterpolatingAndSomeModesHaveNoBands) {
  const Rect area = {0, 0, 64, 48}, r = {0, 0, 2, 1};
  std::vector<Fill> bands = Bands(Mode::kLeft, r, area, {{-256, 0, 0}, {256, 0, -2}, 2});
  ASSERT_EQ(bands.size(), 2u);
  EXPECT_EQ(bands[1].c, draw::Rgb(0, 0, 255));  // red -256 + 512/2 = 0, blue 0 + -2/2 = -1
  for (Mode mode : {Mode::kPoint, Mode::kRect, Mode::kWholeArea})
    EXPECT_TRUE(Bands(mode, r, area, {{0, 0, 0}, {0, 0, 9}, 2}).empty()) << static_cast<int>(mode);
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
  const Rect rects[] = {{0, 0, 13, 11},  {2, 3, 9, 8},    {-40, -30, 50, 41}, {-7, 4, 6, 60}, {5, -20, 9, 5},
                        {-100, 5, 3, 6}, {20, 0, 30, 11}, {0, 0, 1, 1},       {9, 8, 2, 3},   {2, 3, 9, 3}};
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
