// setup's drawing commands on GDI, painted into a memory bitmap of the
// screen's format, as the backdrop and the read-me pages are, and read
// back pixel by pixel. Every run also checks that what its lines took from
// the system was given back before it ended.
#include <gtest/gtest.h>
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "ini_file.h"
#include "release_tracker.h"
#include "setup.h"
#include "window_driver.h"

namespace {

constexpr COLORREF kGrey = RGB(128, 128, 128), kBlack = RGB(0, 0, 0), kMarker = RGB(200, 30, 60),
                   kPlain = RGB(20, 120, 220);
using Lines = std::vector<std::string>;

class Surface {
 public:
  Surface(int width, int height, COLORREF background = kGrey) : area_{0, 0, width, height} {
    HDC screen = GetDC(nullptr);
    dc_ = CreateCompatibleDC(screen);
    bitmap_ = CreateCompatibleBitmap(screen, width, height);
    ReleaseDC(nullptr, screen);
    replaced_ = SelectObject(dc_, bitmap_);
    HBRUSH brush = CreateSolidBrush(background);
    FillRect(dc_, &area_, brush);
    DeleteObject(brush);
  }
  ~Surface() {
    SelectObject(dc_, replaced_);
    DeleteObject(bitmap_);
    DeleteDC(dc_);
  }
  HDC dc() const { return dc_; }
  COLORREF At(int x, int y) const { return GetPixel(dc_, x, y); }

  void Paint(const Lines& lines, const std::string& root = "") {
    std::vector<const char*> pointers;
    for (const std::string& line : lines) pointers.push_back(line.c_str());
    HGDIOBJ font = GetCurrentObject(dc_, OBJ_FONT);
    tracker::Start();
    PaintCommands(dc_, area_, root.c_str(), pointers.data(), static_cast<int>(pointers.size()));
    EXPECT_EQ(tracker::Stop(), "") << "what the lines took from the system";
    EXPECT_EQ(GetCurrentObject(dc_, OBJ_FONT), font) << "the context's own font is selected again";
  }
  // The first pixel that differs from `expected`; empty when none does.
  std::string Mismatch(const std::function<COLORREF(int, int)>& expected) const {
    for (int y = 0; y < area_.bottom; ++y)
      for (int x = 0; x < area_.right; ++x)
        if (At(x, y) != expected(x, y)) {
          char text[64];
          wsprintfA(text, "(%d, %d) is %06X, not %06X", x, y, At(x, y), expected(x, y));
          return text;
        }
    return "";
  }

 private:
  RECT area_;
  HDC dc_;
  HBITMAP bitmap_;
  HGDIOBJ replaced_;
};

void Put(std::string& bytes, size_t offset, uint32_t value, int size = 4) {
  for (int i = 0; i < size; ++i) bytes[offset + i] = static_cast<char>(value >> (8 * i));
}

// An asymmetric pattern: a picture flipped, shifted or read with the wrong
// row length shows other pixels.
bool Marked(int x, int y) { return (x + 2 * y) % 3 == 0; }

// A BMP file whose pixel (x, y) from the top-left is kMarker where
// Marked(x, y), else kPlain. The two colours sit at other indices for each
// depth; the other table entries are green.
std::string MakeBmp(int bits, int width, int height) {
  int plain = bits == 1 ? 0 : bits == 4 ? 9 : 17, marker = bits == 1 ? 1 : bits == 4 ? 5 : 200;
  const char *const kMarkerBgr = "\x3C\x1E\xC8\0", *const kPlainBgr = "\xDC\x78\x14\0";
  std::string table;
  for (int i = 0; bits != 24 && i < 1 << bits; ++i)
    table.append(i == marker ? kMarkerBgr : i == plain ? kPlainBgr : "\0\xFF\0\0", 4);
  int stride = (width * bits + 31) / 32 * 4;
  std::string pixels(static_cast<size_t>(stride) * height, '\0');
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      char* row = &pixels[static_cast<size_t>(height - 1 - y) * stride];  // bottom-up
      if (bits == 24)
        memcpy(row + 3 * x, Marked(x, y) ? kMarkerBgr : kPlainBgr, 3);
      else
        row[x * bits / 8] |= (Marked(x, y) ? marker : plain) << (8 - bits - x * bits % 8);
    }
  std::string file(54, '\0');
  file[0] = 'B', file[1] = 'M';
  Put(file, 2, static_cast<uint32_t>(54 + table.size() + pixels.size()));  // bfSize
  Put(file, 10, static_cast<uint32_t>(54 + table.size()));                 // bfOffBits
  Put(file, 14, 40);                                                       // biSize
  Put(file, 18, width), Put(file, 22, height), Put(file, 26, 1, 2), Put(file, 28, bits, 2);
  return file + table + pixels;
}

// An enhanced metafile whose whole picture is kMarker.
void MakeMetafile(const std::string& path) {
  HDC dc = CreateEnhMetaFileA(nullptr, path.c_str(), nullptr, nullptr);
  HBRUSH brush = CreateSolidBrush(kMarker);
  RECT picture = {0, 0, 100, 100};
  FillRect(dc, &picture, brush);
  DeleteObject(brush);
  DeleteEnhMetaFile(CloseEnhMetaFile(dc));
}

class Painter : public ::testing::Test {
 protected:
  void SetUp() override {
    driver::RemoveTree(folder_);
    ASSERT_TRUE(driver::MakeFolders(root_));
    ASSERT_TRUE(driver::MakeFolders(folder_ + "\\current"));
    ASSERT_TRUE(driver::WriteFileBytes(root_ + "\\pic.bmp", MakeBmp(24, 5, 3)));
    MakeMetafile(root_ + "\\pic.emf");
    GetCurrentDirectoryA(sizeof previous_, previous_);
    SetCurrentDirectoryA((folder_ + "\\current").c_str());
  }
  void TearDown() override {
    SetCurrentDirectoryA(previous_);
    if (!HasFailure()) driver::RemoveTree(folder_);
  }
  char previous_[MAX_PATH];
  const std::string folder_ = "C:\\sfx win32\\setup painter", root_ = folder_ + "\\root";
};

// Fills, metafiles and stretched bitmaps go into the current rectangle in
// rect mode, over the area in whole-area mode (any other word), nowhere
// else. Their files resolve against the root folder, then as written
// (relative to the current folder).
TEST_F(Painter, RectangleCommandsAndTheirFiles) {
  MakeMetafile(folder_ + "\\current\\here.emf");
  ASSERT_TRUE(driver::WriteFileBytes(folder_ + "\\current\\here.bmp", MakeBmp(24, 5, 3)));
  const COLORREF kFill = RGB(10, 20, 30);
  struct Case {
    Lines lines;
    std::vector<std::pair<POINT, COLORREF>> probes;
  } cases[] = {
      {{"mode,rect", "fill,10,20,30"}, {{{4, 4}, kFill}, {{27, 27}, kFill}, {{28, 28}, kGrey}, {{3, 4}, kGrey}}},
      {{"mode,", "fill,10,20,30"}, {{{0, 0}, kFill}, {{31, 31}, kFill}}},
      {{"mode,point", "fill,10,20,30"}, {{{10, 10}, kGrey}}},
      {{"mode,rect", "meta,pic.emf"}, {{{6, 6}, kMarker}, {{25, 25}, kMarker}, {{2, 2}, kGrey}, {{30, 30}, kGrey}}},
      {{"mode,ALL", "meta,here.emf"}, {{{1, 1}, kMarker}, {{30, 30}, kMarker}}},
      {{"mode,center", "meta,pic.emf"}, {{{16, 16}, kGrey}}},
      {{"mode,rect", "meta,pic.bmp"}, {{{16, 16}, kGrey}}},
      {{"mode,rect", "bitmap,%root%pic.bmp"}, {{{4, 4}, kMarker}, {{27, 27}, kPlain}, {{28, 28}, kGrey}}},
      {{"mode,rect", "bitmap,here.bmp"}, {{{4, 4}, kMarker}}},
      {{"mode,rect", "bitmap,nowhere.bmp"}, {{{4, 4}, kGrey}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.lines[0] + " " + c.lines[1]);
    Surface s(32, 32);
    s.Paint({"rect,4,4,28,28", c.lines[0], c.lines[1]}, root_);
    for (const auto& probe : c.probes) EXPECT_EQ(s.At(probe.first.x, probe.first.y), probe.second);
  }
}

// 0 to 255 blue in 4 steps over 40 × 40 pixels: bands of 10 pixels in
// blues 0, 63, 127 and 191.
TEST_F(Painter, GradationBandsInEachMode) {
  const int kBlues[4] = {0, 63, 127, 191};
  struct Case {
    const char* mode;
    int (*band)(int x, int y);  // -1: nothing painted
  } cases[] = {
      {"left", [](int x, int) { return x / 10; }},
      {"top", [](int, int y) { return y / 10; }},
      {"right", [](int x, int) { return 3 - x / 10; }},
      {"bottom", [](int, int y) { return 3 - y / 10; }},
      {"center", [](int x, int y) { return std::min(std::min(std::min(x, 39 - x), std::min(y, 39 - y)) / 5, 3); }},
      {"point", [](int, int) { return -1; }},
      {"rect", [](int, int) { return -1; }},
      {"all", [](int, int) { return -1; }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.mode);
    Surface s(40, 40);
    s.Paint({std::string("mode,") + c.mode, "rect,0,0,40,40", "gradation,0,0,0,0,0,255,4"});
    EXPECT_EQ(s.Mismatch([&](int x, int y) { return c.band(x, y) < 0 ? kGrey : RGB(0, 0, kBlues[c.band(x, y)]); }), "");
  }
}

// A 5 × 3 bitmap on a 16 × 11 area: copies where each mode puts them,
// tiles cut at the area's edges, a 2× stretch in rect mode.
TEST_F(Painter, BitmapsOfEachDepthInEachPlacement) {
  struct Case {
    const char* mode;
    std::vector<POINT> copies;
    bool stretched;  // onto (1, 1, 11, 7)
  } cases[] = {
      {"point", {{1, 1}}, false},  // the current rectangle's top-left
      {"left", {{0, 0}, {0, 3}, {0, 6}, {0, 9}}, false},
      {"top", {{0, 0}, {5, 0}, {10, 0}, {15, 0}}, false},
      {"right", {{11, 0}, {11, 3}, {11, 6}, {11, 9}}, false},
      {"bottom", {{0, 8}, {5, 8}, {10, 8}, {15, 8}}, false},
      {"center", {{5, 4}}, false},
      {"rect", {}, true},
      {"tile", {}, false},  // the whole area
  };
  for (int x = 0; x < 16; x += 5)
    for (int y = 0; y < 11; y += 3) cases[7].copies.push_back({x, y});
  for (int bits : {1, 4, 8, 24}) {
    ASSERT_TRUE(driver::WriteFileBytes(root_ + "\\pic.bmp", MakeBmp(bits, 5, 3)));
    for (const Case& c : cases) {
      SCOPED_TRACE(std::to_string(bits) + " bits, " + c.mode);
      Surface s(16, 11);
      s.Paint({"rect,1,1,11,7", std::string("mode,") + c.mode, "bitmap,pic.bmp"}, root_);
      EXPECT_EQ(s.Mismatch([&](int x, int y) {
        if (c.stretched && x >= 1 && x < 11 && y >= 1 && y < 7)
          return Marked((x - 1) / 2, (y - 1) / 2) ? kMarker : kPlain;
        for (POINT o : c.copies)
          if (x >= o.x && x < o.x + 5 && y >= o.y && y < o.y + 3) return Marked(x - o.x, y - o.y) ? kMarker : kPlain;
        return kGrey;
      }),
                "");
    }
  }
}

// Damaged files draw nothing and hold nothing. Colour counts and image
// sizes that GDI would take from the file to read past the blocks are not
// passed on: those files draw what they hold.
TEST_F(Painter, DamagedBitmapFilesAreRefusedOrReadOnlyAsFarAsTheyAreSound) {
  struct Case {
    const char* name;
    int bits;
    void (*damage)(std::string& file);
    bool drawn;
  } cases[] = {
      {"last pixel byte missing", 8, [](std::string& f) { f.pop_back(); }, false},
      {"colour table cut", 8, [](std::string& f) { f.resize(54 + 512); }, false},
      {"top-down", 24, [](std::string& f) { Put(f, 22, static_cast<uint32_t>(-3)); }, false},
      {"run-length encoded", 8, [](std::string& f) { Put(f, 30, BI_RLE8); }, false},
      {"16 bits", 24, [](std::string& f) { Put(f, 28, 16, 2); }, false},
      {"longer info header", 24, [](std::string& f) { Put(f, 14, 124); }, false},
      {"more rows than pixels", 24, [](std::string& f) { Put(f, 22, 1000); }, false},
      {"colour count beyond the table", 1, [](std::string& f) { Put(f, 46, 0x10000); }, true},
      {"image size beyond the file", 8, [](std::string& f) { Put(f, 34, 0x7FFFFFFF); }, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::string file = MakeBmp(c.bits, 5, 3);
    c.damage(file);
    ASSERT_TRUE(driver::WriteFileBytes(root_ + "\\pic.bmp", file));
    Surface s(8, 5);
    s.Paint({"mode,point", "bitmap,pic.bmp"}, root_);
    EXPECT_EQ(s.Mismatch([&](int x, int y) {
      return !c.drawn || x >= 5 || y >= 3 ? kGrey : Marked(x, y) ? kMarker : kPlain;
    }),
              "");
  }
}

// Each text goes on where the last one ended: beside it in right mode,
// below it in bottom mode, cut by the rectangle in rect mode; in the font
// and colour of the font line. The expected picture is drawn at the
// positions the font's metrics give.
TEST_F(Painter, TextsFlowFromWhereTheLastEnded) {
  ASSERT_TRUE(driver::WriteFileBytes(root_ + "\\two.txt", "one\r\ntwo"));
  struct Piece {
    const char* text;
    int x, lines;  // x: 10 plus that many widths of "AB"; y: 5 plus that many lines
  };
  struct Case {
    Lines lines;
    std::vector<Piece> pieces;
    RECT clip;
  } cases[] = {
      {{"mode,right", "string,AB", "string,CD"}, {{"AB", 0, 0}, {"CD", 1, 0}}, {}},
      {{"mode,bottom", "text,two.txt", "|Hi, there"}, {{"one", 0, 0}, {"two", 0, 1}, {"Hi, there", 0, 2}}, {}},
      {{"mode,bottom", "string,AB", "mode,right", "string,CD"}, {{"AB", 0, 0}, {"CD", 0, 1}}, {}},
      {{"mode,rect", "rect,10,5,40,12", "|Hi, there"}, {{"Hi, there", 0, 0}}, {10, 5, 40, 12}},
      {{"mode,point", "string,AB", "text,two.txt"}, {}, {}},
      {{"mode,top", "|AB"}, {}, {}},
  };
  LOGFONTA logFont = {-14, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, NONANTIALIASED_QUALITY, 0, ""};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.lines[0] + " " + c.lines[1]);
    Surface s(120, 60, kBlack), expected(120, 60, kBlack);
    Lines lines = {"font,255,255,255,-14,0,0,0,400,0,0,0,1,0,0,3,0,", "rect,10,5"};
    lines.insert(lines.end(), c.lines.begin(), c.lines.end());
    s.Paint(lines, root_);
    HFONT font = CreateFontIndirectA(&logFont);
    HGDIOBJ replaced = SelectObject(expected.dc(), font);
    SetBkMode(expected.dc(), TRANSPARENT);
    SetTextColor(expected.dc(), RGB(255, 255, 255));
    TEXTMETRICA metrics;
    GetTextMetricsA(expected.dc(), &metrics);
    SIZE ab;
    GetTextExtentPoint32A(expected.dc(), "AB", 2, &ab);
    for (const Piece& p : c.pieces)
      ExtTextOutA(expected.dc(), 10 + p.x * ab.cx, 5 + p.lines * metrics.tmHeight,
                  IsRectEmpty(&c.clip) ? 0 : ETO_CLIPPED, &c.clip, p.text, lstrlenA(p.text), nullptr);
    SelectObject(expected.dc(), replaced);
    DeleteObject(font);
    EXPECT_EQ(s.Mismatch([&](int x, int y) { return expected.At(x, y); }), "");
  }
}

// The Back section's keys 0, 1, 2 ... up to the first absent or empty one,
// and up to the first page line.
TEST_F(Painter, BackSectionRunsItsKeysUpToAGapOrAPageLine) {
  struct Case {
    const char* keys;
    COLORREF colour;
  } cases[] = {
      {"0=mode,all\r\n1=fill,255,0,0\r\n3=fill,0,255,0\r\n", RGB(255, 0, 0)},
      {"0=mode,all\r\n1=fill,255,0,0\r\n2=page,1\r\n3=fill,0,255,0\r\n", RGB(255, 0, 0)},
      {"0=mode,all\r\n1=fill,255,0,0\r\n2=page\r\n3=fill,0,255,0\r\n", RGB(0, 255, 0)},
      {"", kGrey},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.keys);
    std::string text = std::string("[Back]\r\nDo=1\r\n") + c.keys + "[Other]\r\n4=x\r\n";
    profile::Document description(platform::ResizeOnHeap);
    ASSERT_TRUE(description.Load(text.data(), text.size()));
    Surface s(8, 6);
    tracker::Start();
    PaintBackSection(s.dc(), {0, 0, 8, 6}, root_.c_str(), description);
    EXPECT_EQ(tracker::Stop(), "");
    EXPECT_EQ(s.At(0, 0), c.colour);
  }
}

}  // namespace
