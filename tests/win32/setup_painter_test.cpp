// setup's drawing commands on GDI, painted into a memory bitmap of the
// screen's format, as the backdrop and the read-me viewer paint, and read
// back pixel by pixel: fills, gradations, bitmap files of every depth in
// every placement, damaged bitmap files, metafiles, texts in fonts and
// colours, file names, the Back section. Every run also checks that what
// its lines took from the system was given back before it ended.
#include <gtest/gtest.h>

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "release_tracker.h"
#include "setup.h"
#include "window_driver.h"

namespace {

constexpr COLORREF kGrey = RGB(128, 128, 128);
constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr COLORREF kMarker = RGB(200, 30, 60);
constexpr COLORREF kPlain = RGB(20, 120, 220);
constexpr COLORREF kStray = RGB(0, 255, 0);  // colour-table entries no pixel should use

using Lines = std::vector<std::string>;

// A memory context holding a bitmap of the screen's format.
class Surface {
 public:
  Surface(int width, int height, COLORREF background = kGrey) : area_{0, 0, width, height} {
    HDC screen = GetDC(nullptr);
    dc_ = CreateCompatibleDC(screen);
    bitmap_ = CreateCompatibleBitmap(screen, width, height);
    ReleaseDC(nullptr, screen);
    replaced_ = SelectObject(dc_, bitmap_);
    Fill(area_, background);
  }
  ~Surface() {
    SelectObject(dc_, replaced_);
    DeleteObject(bitmap_);
    DeleteDC(dc_);
  }
  Surface(const Surface&) = delete;
  Surface& operator=(const Surface&) = delete;

  HDC dc() const { return dc_; }
  const RECT& area() const { return area_; }
  int width() const { return area_.right; }
  int height() const { return area_.bottom; }
  COLORREF At(int x, int y) const { return GetPixel(dc_, x, y); }

  void Fill(const RECT& rect, COLORREF colour) {
    HBRUSH brush = CreateSolidBrush(colour);
    FillRect(dc_, &rect, brush);
    DeleteObject(brush);
  }

  // Runs `lines`; a failure names what the run left held or released twice.
  void Paint(const Lines& lines, const std::string& root = "") {
    std::vector<const char*> pointers;
    for (const std::string& line : lines) pointers.push_back(line.c_str());
    tracker::Start();
    PaintCommands(dc_, area_, root.c_str(), pointers.data(), static_cast<int>(pointers.size()));
    EXPECT_EQ(tracker::Stop(), "") << "what the lines took from the system";
  }

  // The first pixel that differs from `expected(x, y)`, as text; empty when none.
  std::string Compare(const std::function<COLORREF(int, int)>& expected) const {
    for (int y = 0; y < height(); ++y)
      for (int x = 0; x < width(); ++x)
        if (At(x, y) != expected(x, y)) {
          char text[96];
          wsprintfA(text, "(%d, %d) is %06X, not %06X", x, y, At(x, y), expected(x, y));
          return text;
        }
    return "";
  }
  std::string CompareWith(const Surface& other) const {
    return Compare([&](int x, int y) { return other.At(x, y); });
  }

 private:
  RECT area_;
  HDC dc_;
  HBITMAP bitmap_;
  HGDIOBJ replaced_;
};

// --- files the lines name, made here ---

void Put32(std::string& bytes, size_t offset, uint32_t value) {
  for (int i = 0; i < 4; ++i) bytes[offset + i] = static_cast<char>(value >> (8 * i));
}
void Put16(std::string& bytes, size_t offset, uint16_t value) {
  bytes[offset] = static_cast<char>(value);
  bytes[offset + 1] = static_cast<char>(value >> 8);
}

// An asymmetric pattern: a picture flipped, shifted or read with the
// wrong row length shows other pixels.
bool Marked(int x, int y) { return (x + 2 * y) % 3 == 0; }

// A BMP file of width × height at `bits` per pixel whose pixel (x, y),
// counted from the top-left, is kMarker where Marked(x, y) holds and
// kPlain elsewhere. The colour table keeps its two colours at indices
// that differ for each depth; the other entries are kStray.
std::string MakeBmp(int bits, int width, int height) {
  int plain = bits == 1 ? 0 : bits == 4 ? 9 : 17, marker = bits == 1 ? 1 : bits == 4 ? 5 : 200;
  std::string table;
  if (bits != 24) {
    for (int i = 0; i < 1 << bits; ++i) {
      COLORREF c = i == marker ? kMarker : i == plain ? kPlain : kStray;
      table += {static_cast<char>(GetBValue(c)), static_cast<char>(GetGValue(c)), static_cast<char>(GetRValue(c)), 0};
    }
  }
  int stride = (width * bits + 31) / 32 * 4;
  std::string pixels(static_cast<size_t>(stride) * height, '\0');
  for (int row = 0; row < height; ++row) {
    int y = height - 1 - row;  // rows are stored bottom-up
    for (int x = 0; x < width; ++x) {
      size_t at = static_cast<size_t>(row) * stride;
      if (bits == 24) {
        COLORREF c = Marked(x, y) ? kMarker : kPlain;
        pixels[at + 3 * x] = static_cast<char>(GetBValue(c));
        pixels[at + 3 * x + 1] = static_cast<char>(GetGValue(c));
        pixels[at + 3 * x + 2] = static_cast<char>(GetRValue(c));
      } else {
        int index = Marked(x, y) ? marker : plain;
        int bit = x * bits;
        pixels[at + bit / 8] = static_cast<char>(pixels[at + bit / 8] | index << (8 - bits - bit % 8));
      }
    }
  }
  std::string file(54, '\0');
  file[0] = 'B';
  file[1] = 'M';
  Put32(file, 2, static_cast<uint32_t>(54 + table.size() + pixels.size()));  // bfSize
  Put32(file, 10, static_cast<uint32_t>(54 + table.size()));                 // bfOffBits
  Put32(file, 14, 40);                                                       // biSize
  Put32(file, 18, static_cast<uint32_t>(width));
  Put32(file, 22, static_cast<uint32_t>(height));
  Put16(file, 26, 1);  // biPlanes
  Put16(file, 28, static_cast<uint16_t>(bits));
  Put32(file, 34, static_cast<uint32_t>(pixels.size()));  // biSizeImage
  return file + table + pixels;
}

// An enhanced metafile that fills its whole picture with `colour`.
void MakeMetafile(const std::string& path, COLORREF colour) {
  HDC dc = CreateEnhMetaFileA(nullptr, path.c_str(), nullptr, nullptr);
  ASSERT_NE(dc, nullptr);
  HBRUSH brush = CreateSolidBrush(colour);
  RECT picture = {0, 0, 100, 100};
  FillRect(dc, &picture, brush);
  DeleteObject(brush);
  DeleteEnhMetaFile(CloseEnhMetaFile(dc));
}

// A font of the size and quality the text tests use, not smoothed, so that
// every pixel of a glyph has the text colour.
LOGFONTA TestFont() {
  LOGFONTA font = {};
  font.lfHeight = -14;
  font.lfWeight = FW_NORMAL;
  font.lfCharSet = DEFAULT_CHARSET;
  font.lfQuality = NONANTIALIASED_QUALITY;
  return font;
}
const char kTestFontLine[] = "font,255,255,255,-14,0,0,0,400,0,0,0,1,0,0,3,0,";

class Painter : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ = "C:\\sfx win32\\setup painter";
    root_ = folder_ + "\\root";
    driver::RemoveTree(folder_);
    ASSERT_TRUE(driver::MakeFolders(root_));
    ASSERT_TRUE(driver::MakeFolders(folder_ + "\\current"));
  }
  void TearDown() override {
    if (!HasFailure()) driver::RemoveTree(folder_);
  }
  void Write(const std::string& name, const std::string& bytes) {
    ASSERT_TRUE(driver::WriteFileBytes(root_ + "\\" + name, bytes));
  }
  std::string folder_, root_;
};

TEST_F(Painter, FillsTheCurrentRectangleOrTheAreaOrNothing) {
  struct Case {
    const char* mode;
    RECT filled;  // empty: nothing drawn
  } cases[] = {
      {"rect", {2, 3, 10, 8}},
      {"", {0, 0, 16, 12}},  // any other word, the empty one too, is the whole area
      {"point", {}},
      {"left", {}},
      {"center", {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.mode);
    Surface s(16, 12);
    s.Paint({std::string("mode,") + c.mode, "rect,2,3,10,8", "fill,10,20,30"});
    POINT p;
    EXPECT_EQ(s.Compare([&](int x, int y) {
                p = {x, y};
                return PtInRect(&c.filled, p) ? RGB(10, 20, 30) : kGrey;
              }),
              "");
  }
}

// 0 to 255 blue in 4 steps over a 40 × 40 rectangle: bands of 10 pixels
// in blues 0, 63, 127 and 191, the last short of the end colour.
TEST_F(Painter, GradationBandsInEachMode) {
  const int kBlues[4] = {0, 63, 127, 191};
  struct Case {
    const char* mode;
    std::function<int(int x, int y)> band;  // -1: untouched
  } cases[] = {
      {"left", [](int x, int) { return x / 10; }},
      {"top", [](int, int y) { return y / 10; }},
      {"right", [](int x, int) { return 3 - x / 10; }},
      {"bottom", [](int, int y) { return 3 - y / 10; }},
      {"center",
       [](int x, int y) {
         int edge = std::min(std::min(x, 39 - x), std::min(y, 39 - y));
         return std::min(edge / 5, 3);
       }},
      {"point", [](int, int) { return -1; }},
      {"rect", [](int, int) { return -1; }},
      {"all", [](int, int) { return -1; }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.mode);
    Surface s(40, 40);
    s.Paint({std::string("mode,") + c.mode, "rect,0,0,40,40", "gradation,0,0,0,0,0,255,4"});
    EXPECT_EQ(s.Compare([&](int x, int y) {
                int band = c.band(x, y);
                return band < 0 ? kGrey : RGB(0, 0, kBlues[band]);
              }),
              "");
  }
  // Before any rect the current rectangle is empty: nothing is painted.
  Surface s(40, 40);
  s.Paint({"mode,top", "gradation,255,255,255,0,0,0"});
  EXPECT_EQ(s.Compare([](int, int) { return kGrey; }), "");
}

// A 5 × 3 bitmap on a 16 × 11 area: copies where each mode puts them,
// tiles cut at the area's edges, a 2× stretch in rect mode.
TEST_F(Painter, BitmapsOfEachDepthInEachPlacement) {
  struct Case {
    const char* mode;
    std::vector<POINT> copies;
    RECT stretched;
  } cases[] = {
      {"point", {{1, 1}}, {}},  // at the current rectangle's top-left
      {"left", {{0, 0}, {0, 3}, {0, 6}, {0, 9}}, {}},
      {"top", {{0, 0}, {5, 0}, {10, 0}, {15, 0}}, {}},
      {"right", {{11, 0}, {11, 3}, {11, 6}, {11, 9}}, {}},
      {"bottom", {{0, 8}, {5, 8}, {10, 8}, {15, 8}}, {}},
      {"center", {{5, 4}}, {}},
      {"rect", {}, {1, 1, 11, 7}},
      {"tile", {}, {}},  // the whole area, filled below
  };
  for (int x = 0; x < 16; x += 5)
    for (int y = 0; y < 11; y += 3) cases[7].copies.push_back({x, y});

  for (int bits : {1, 4, 8, 24}) {
    Write("pic.bmp", MakeBmp(bits, 5, 3));
    for (const Case& c : cases) {
      SCOPED_TRACE(std::to_string(bits) + " bits, " + c.mode);
      Surface s(16, 11);
      s.Paint({"rect,7,2,11,7", "rect,1,1", std::string("mode,") + c.mode, "bitmap,pic.bmp"}, root_);  // (1, 1, 11, 7)
      EXPECT_EQ(s.Compare([&](int x, int y) {
                  POINT p = {x, y};
                  if (PtInRect(&c.stretched, p)) return Marked((x - 1) / 2, (y - 1) / 2) ? kMarker : kPlain;
                  for (POINT o : c.copies)
                    if (x >= o.x && x < o.x + 5 && y >= o.y && y < o.y + 3)
                      return Marked(x - o.x, y - o.y) ? kMarker : kPlain;
                  return kGrey;
                }),
                "");
    }
  }
}

// Damaged files draw nothing and hold nothing; headers whose counts GDI
// would otherwise read past the blocks draw the picture the file holds.
TEST_F(Painter, DamagedBitmapFilesAreRefusedOrReadOnlyWhereTheyAreSound) {
  struct Case {
    const char* name;
    int bits;
    std::function<void(std::string&)> damage;
    bool drawn;
  } cases[] = {
      {"sound", 8, [](std::string&) {}, true},
      {"last pixel byte missing", 8, [](std::string& f) { f.pop_back(); }, false},
      {"headers only", 24, [](std::string& f) { f.resize(54); }, false},
      {"20 bytes", 24, [](std::string& f) { f.resize(20); }, false},
      {"empty", 24, [](std::string& f) { f.clear(); }, false},
      {"colour table cut", 8, [](std::string& f) { f.resize(54 + 512); }, false},
      {"top-down", 24, [](std::string& f) { Put32(f, 22, static_cast<uint32_t>(-3)); }, false},
      {"width 0", 24, [](std::string& f) { Put32(f, 18, 0); }, false},
      {"run-length encoded", 8, [](std::string& f) { Put32(f, 30, BI_RLE8); }, false},
      {"16 bits", 24, [](std::string& f) { Put16(f, 28, 16); }, false},
      {"longer info header", 24, [](std::string& f) { Put32(f, 14, 124); }, false},
      {"pixel offset beyond the size", 24, [](std::string& f) { Put32(f, 10, static_cast<uint32_t>(f.size() + 1)); },
       false},
      {"size beyond the file", 24, [](std::string& f) { Put32(f, 2, 0xFFFFFFF0); }, false},
      {"rows beyond the pixels", 24, [](std::string& f) { Put32(f, 22, 1000); }, false},
      {"colour count beyond the table", 1, [](std::string& f) { Put32(f, 46, 0x10000); }, true},
      {"colour count at 24 bits", 24, [](std::string& f) { Put32(f, 46, 200); }, true},
      {"image size beyond the file", 8, [](std::string& f) { Put32(f, 34, 0x7FFFFFFF); }, true},
      {"more pixel bytes than rows need", 4, [](std::string& f) {
         f += std::string(64, '\x55');
         Put32(f, 2, static_cast<uint32_t>(f.size()));
       }, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::string file = MakeBmp(c.bits, 5, 3);
    c.damage(file);
    Write("pic.bmp", file);
    Surface s(8, 5);
    s.Paint({"mode,point", "bitmap,pic.bmp"}, root_);
    EXPECT_EQ(s.Compare([&](int x, int y) {
                if (!c.drawn || x >= 5 || y >= 3) return kGrey;
                return Marked(x, y) ? kMarker : kPlain;
              }),
              "");
  }
}

TEST_F(Painter, MetafilesPlayIntoTheCurrentRectangleOrTheArea) {
  MakeMetafile(root_ + "\\pic.emf", kMarker);
  struct Case {
    const char* mode;
    POINT inside, outside;  // outside: left untouched
  } cases[] = {
      {"rect", {6, 6}, {2, 2}},
      {"rect", {25, 25}, {31, 31}},
      {"all", {2, 2}, {-1, -1}},
      {"all", {31, 31}, {-1, -1}},
      {"point", {-1, -1}, {16, 16}},
      {"center", {-1, -1}, {16, 16}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.mode);
    Surface s(34, 34);
    s.Paint({"rect,4,4,28,28", std::string("mode,") + c.mode, "meta,pic.emf"}, root_);
    if (c.inside.x >= 0) {
      EXPECT_EQ(s.At(c.inside.x, c.inside.y), kMarker);
    }
    if (c.outside.x >= 0) {
      EXPECT_EQ(s.At(c.outside.x, c.outside.y), kGrey);
    }
  }
}

// Each text goes where the last one ended: beside it in right mode, below
// it in bottom mode, inside the rectangle (and cut by it) in rect mode.
// The expected picture is drawn with the text calls at the positions the
// font's metrics give.
TEST_F(Painter, TextsFlowFromWhereTheLastEndedInTheirFontAndColour) {
  ASSERT_TRUE(driver::WriteFileBytes(root_ + "\\two.txt", "one\r\ntwo"));
  struct Piece {
    const char* text;
    int x, y;
  };
  // Where the pieces go, given the width of "AB" and the height of a line.
  using Layout = std::vector<Piece> (*)(int ab, int line);
  struct Case {
    const char* name;
    Lines lines;
    Layout pieces;
    RECT clip;  // empty: not cut
  } cases[] = {
      {"right", {"mode,right", "rect,10,5", "string,AB", "string,CD"},
       [](int ab, int) { return std::vector<Piece>{{"AB", 10, 5}, {"CD", 10 + ab, 5}}; }, {}},
      {"bottom", {"mode,bottom", "rect,10,5", "text,two.txt", "|Hi, there"},
       [](int, int h) { return std::vector<Piece>{{"one", 10, 5}, {"two", 10, 5 + h}, {"Hi, there", 10, 5 + 2 * h}}; },
       {}},
      {"right after bottom", {"mode,bottom", "rect,10,5", "string,AB", "mode,right", "string,CD"},
       [](int, int h) { return std::vector<Piece>{{"AB", 10, 5}, {"CD", 10, 5 + h}}; }, {}},
      {"rect", {"mode,rect", "rect,10,5,40,12", "|Hi, there"},
       [](int, int) { return std::vector<Piece>{{"Hi, there", 10, 5}}; }, {10, 5, 40, 12}},
      {"point", {"mode,point", "rect,10,5,40,20", "string,AB", "text,two.txt"},
       [](int, int) { return std::vector<Piece>{}; }, {}},
      {"top", {"mode,top", "rect,10,5,40,20", "string,AB"}, [](int, int) { return std::vector<Piece>{}; }, {}},
      {"all", {"mode,all", "rect,10,5,40,20", "|AB"}, [](int, int) { return std::vector<Piece>{}; }, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Surface s(120, 60, kBlack), expected(120, 60, kBlack);
    Lines lines = {kTestFontLine};
    lines.insert(lines.end(), c.lines.begin(), c.lines.end());
    HGDIOBJ before = GetCurrentObject(s.dc(), OBJ_FONT);
    s.Paint(lines, root_);
    EXPECT_EQ(GetCurrentObject(s.dc(), OBJ_FONT), before) << "the context's own font is back";

    LOGFONTA logFont = TestFont();
    HFONT font = CreateFontIndirectA(&logFont);
    HGDIOBJ replaced = SelectObject(expected.dc(), font);
    SetBkMode(expected.dc(), TRANSPARENT);
    SetTextColor(expected.dc(), RGB(255, 255, 255));
    TEXTMETRICA metrics;
    GetTextMetricsA(expected.dc(), &metrics);
    SIZE ab;
    GetTextExtentPoint32A(expected.dc(), "AB", 2, &ab);
    for (const Piece& p : c.pieces(ab.cx, metrics.tmHeight))
      ExtTextOutA(expected.dc(), p.x, p.y, IsRectEmpty(&c.clip) ? 0 : ETO_CLIPPED, &c.clip, p.text,
                  lstrlenA(p.text), nullptr);
    SelectObject(expected.dc(), replaced);
    DeleteObject(font);
    EXPECT_EQ(s.CompareWith(expected), "");
  }
}

// A fill in point mode draws nothing but sets the colour a later font
// line keeps for the channels it does not give; without any font line the
// text is the context's black in its own font.
TEST_F(Painter, TextColoursAndFontsComeFromTheLastFontLine) {
  Surface coloured(80, 30, kBlack);
  coloured.Paint({kTestFontLine, "mode,point", "fill,0,0,128", "font,255", "mode,right", "string,AB"});
  int ink = 0;
  EXPECT_EQ(coloured.Compare([&](int x, int y) {
              COLORREF c = coloured.At(x, y);
              ink += c == RGB(255, 0, 128);
              return c == RGB(255, 0, 128) ? c : kBlack;
            }),
            "");
  EXPECT_GT(ink, 10);

  Surface plain(80, 30, RGB(255, 255, 255));
  SetTextColor(plain.dc(), RGB(255, 255, 255));  // a context colour no line set is kept
  HGDIOBJ before = GetCurrentObject(plain.dc(), OBJ_FONT);
  plain.Paint({"mode,right", "string,AB"});
  EXPECT_EQ(GetCurrentObject(plain.dc(), OBJ_FONT), before);
  EXPECT_EQ(GetTextColor(plain.dc()), RGB(255, 255, 255));

  // Two fonts and a height: three made, each deleted, the context's own back.
  Surface s(80, 30, kBlack);
  tracker::Start();
  const char* lines[] = {kTestFontLine, "height,20", "font,0,0,255", "mode,right", "string,AB"};
  PaintCommands(s.dc(), s.area(), "", lines, 5);
  EXPECT_EQ(tracker::Stop(), "");
  EXPECT_EQ(tracker::Taken("font"), 3);
  EXPECT_EQ(GetCurrentObject(s.dc(), OBJ_FONT), before);
  EXPECT_EQ(GetTextColor(s.dc()), RGB(0, 0, 255)) << "the text colour stays as the last font line set it";
}

// A file name resolves against the root folder; when nothing opens there,
// the name as written (relative to the current folder) is tried.
TEST_F(Painter, FileNamesResolveAgainstTheRootThenAsWritten) {
  std::string current = folder_ + "\\current";
  char previous[MAX_PATH];
  GetCurrentDirectoryA(sizeof previous, previous);
  struct Kind {
    const char* name;
    const char* line;
    std::function<void(const std::string& path)> make;
    POINT probe;
  } kinds[] = {
      {"bitmap", "bitmap,%s", [](const std::string& p) { driver::WriteFileBytes(p, MakeBmp(24, 5, 3)); }, {0, 0}},
      {"metafile", "meta,%s", [](const std::string& p) { MakeMetafile(p, kMarker); }, {10, 10}},
  };
  enum Where { kRoot, kCurrent, kNowhere, kRootMacro };
  for (const Kind& k : kinds) {
    for (Where where : {kRoot, kCurrent, kNowhere, kRootMacro}) {
      SCOPED_TRACE(std::string(k.name) + " " + std::to_string(where));
      std::string name = std::string("file ") + std::to_string(where) + (k.name[0] == 'b' ? ".bmp" : ".emf");
      if (where == kRoot || where == kRootMacro) k.make(root_ + "\\" + name);
      if (where == kCurrent) k.make(current + "\\" + name);
      char line[MAX_PATH];
      wsprintfA(line, k.line, ((where == kRootMacro ? "%root%" : "") + name).c_str());
      ASSERT_TRUE(SetCurrentDirectoryA(current.c_str()));
      Surface s(20, 20);
      s.Paint({"rect,0,0,20,20", k.name[0] == 'b' ? "mode,point" : "mode,rect", line}, root_);
      SetCurrentDirectoryA(previous);
      EXPECT_EQ(s.At(k.probe.x, k.probe.y), where == kNowhere ? kGrey : kMarker);
    }
  }
  // A text file, the same way: found in the current folder, absent elsewhere.
  ASSERT_TRUE(driver::WriteFileBytes(current + "\\words.txt", "Words"));
  ASSERT_TRUE(SetCurrentDirectoryA(current.c_str()));
  Surface found(60, 20, kBlack), missing(60, 20, kBlack);
  found.Paint({kTestFontLine, "mode,rect", "rect,0,0,60,20", "text,words.txt"}, root_);
  missing.Paint({kTestFontLine, "mode,rect", "rect,0,0,60,20", "text,nowhere.txt"}, root_);
  SetCurrentDirectoryA(previous);
  EXPECT_NE(found.Compare([](int, int) { return kBlack; }), "") << "the text was drawn";
  EXPECT_EQ(missing.Compare([](int, int) { return kBlack; }), "");
}

// Rectangles at the ends of the int32 range and step counts in the
// thousands of millions: every command ends, and so does the run.
TEST_F(Painter, ExtremeRectanglesAndStepCountsEnd) {
  Write("pic.bmp", MakeBmp(8, 5, 3));
  MakeMetafile(root_ + "\\pic.emf", kMarker);
  Surface s(32, 24);
  Lines lines = {"mode,rect", "rect,-2147483648,-2147483648,2147483647,2147483647", "bitmap,pic.bmp",
                 "meta,pic.emf", "|text", "fill,1,2,3"};
  for (const char* mode : {"left", "top", "right", "bottom", "center"}) {
    lines.push_back(std::string("mode,") + mode);
    lines.push_back("gradation,0,0,0,255,255,255,2147483647");
    lines.push_back("bitmap,pic.bmp");
  }
  lines.push_back("mode,all");
  lines.push_back("fill,1,2,3");
  DWORD start = GetTickCount();
  s.Paint(lines, root_);
  EXPECT_LT(GetTickCount() - start, 10000u);
  EXPECT_EQ(s.Compare([](int, int) { return RGB(1, 2, 3); }), "");
}

// The Back section's keys 0, 1, 2 ... up to the first absent or empty
// one, and up to the first page line.
TEST_F(Painter, BackSectionRunsItsKeysUpToAGapOrAPageLine) {
  struct Case {
    const char* name;
    const char* section;
    COLORREF colour;
  } cases[] = {
      {"gap at 2", "0=mode,all\r\n1=fill,255,0,0\r\n3=fill,0,255,0\r\n", RGB(255, 0, 0)},
      {"empty 2", "0=mode,all\r\n1=fill,255,0,0\r\n2=\r\n3=fill,0,255,0\r\n", RGB(255, 0, 0)},
      {"page line", "0=mode,all\r\n1=fill,255,0,0\r\n2=page,1\r\n3=fill,0,255,0\r\n", RGB(255, 0, 0)},
      {"bare page word", "0=mode,all\r\n1=fill,255,0,0\r\n2=page\r\n3=fill,0,255,0\r\n", RGB(0, 255, 0)},
      {"a file from the root", "0=mode,point\r\n1=bitmap,%root%pic.bmp\r\n", kMarker},
      {"no section", "", kGrey},
  };
  Write("pic.bmp", MakeBmp(24, 5, 3));
  std::string ini = folder_ + "\\Setup.ini";
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ASSERT_TRUE(driver::WriteFileBytes(ini, std::string("[Back]\r\nDo=1\r\n") + c.section + "[Other]\r\n0=x\r\n"));
    WritePrivateProfileStringA(nullptr, nullptr, nullptr, ini.c_str());  // forget the cached file
    Surface s(8, 6);
    tracker::Start();
    PaintBackSection(s.dc(), s.area(), root_.c_str(), ini.c_str());
    EXPECT_EQ(tracker::Stop(), "");
    EXPECT_EQ(s.At(0, 0), c.colour);
  }
}

}  // namespace
