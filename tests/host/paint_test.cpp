// The drawing-command interpreter, run onto a canvas that writes down
// every call as a line of text.
#include "draw/paint.h"

#include <gtest/gtest.h>
#include <limits.h>
#include <stdarg.h>
#include <stdio.h>
#include <stdlib.h>

#include <map>
#include <string>
#include <vector>

namespace {

using draw::Rect;
using Lines = std::vector<const char*>;

// Writes every call down as a line; texts measure 8 pixels a byte and
// 16 a line; bitmaps and text files exist when the test names them.
struct Recorder {
  std::vector<std::string> calls;
  std::map<std::string, std::pair<int, int>> bitmaps;
  std::map<std::string, std::string> texts;
  int open = 0;  // bitmaps and texts not yet given back

  static Recorder& Of(void* c) { return *static_cast<Recorder*>(c); }
  static void Log(void* c, const char* format, ...) __attribute__((format(printf, 2, 3))) {
    char line[400];
    va_list args;
    va_start(args, format);
    vsnprintf(line, sizeof line, format, args);
    va_end(args);
    Of(c).calls.push_back(line);
  }
  static const char* Name(const draw::Bitmap& b) { return static_cast<const std::string*>(b.handle)->c_str(); }

  draw::Canvas Canvas() {
#define BOX(r) r.left, r.top, r.right, r.bottom
    return {this,
            [](void* c, const Rect& r, draw::Colour k) {
              Log(c, "fill %d,%d,%d,%d %u,%u,%u", BOX(r), k & 255, k >> 8 & 255, k >> 16);
            },
            [](void* c, const char* name, const Rect& r) { Log(c, "meta %s %d,%d,%d,%d", name, BOX(r)); },
            [](void* c, const char* name, draw::Bitmap* b) {
              auto found = Of(c).bitmaps.find(name);
              if (found == Of(c).bitmaps.end()) return false;
              *b = {const_cast<std::string*>(&found->first), found->second.first, found->second.second};
              return ++Of(c).open > 0;
            },
            [](void* c, const draw::Bitmap& b, int32_t x, int32_t y) { Log(c, "copy %s %d,%d", Name(b), x, y); },
            [](void* c, const draw::Bitmap& b, const Rect& r) { Log(c, "stretch %s %d,%d,%d,%d", Name(b), BOX(r)); },
            [](void* c, const draw::Bitmap&) { --Of(c).open; },
            [](void* c, const char* name) -> const char* {
              auto found = Of(c).texts.find(name);
              return found == Of(c).texts.end() ? nullptr : (++Of(c).open, found->second.c_str());
            },
            [](void* c, const char*) { --Of(c).open; },
            [](void*, const char* text, draw::TextFormat f, Rect* r) {
              int widest = 0, lines = 1, run = 0;
              for (const char* p = text; *p; ++p, widest = std::max(widest, run))
                run = *p == '\n' && f == draw::TextFormat::kFlow ? (++lines, 0) : run + 1;
              *r = {r->left, r->top, r->left + 8 * widest, r->top + 16 * lines};
            },
            [](void* c, const char* text, const Rect& r, draw::TextFormat f) {
              const char* formats[] = {"flow", "flow1", "clip", "clip1"};
              Log(c, "text %s '%s' %d,%d,%d,%d", formats[static_cast<int>(f)], text, BOX(r));
            },
            [](void* c, draw::Colour k) { Log(c, "colour %u,%u,%u", k & 255, k >> 8 & 255, k >> 16); },
            [](void* c, const draw::FontDescription& f) {
              Log(c, "font %d,%d,%d,%d,%d %u,%u,%u,%u,%u,%u,%u,%u '%s'", f.height, f.width, f.escapement, f.orientation,
                  f.weight, f.italic, f.underline, f.strikeOut, f.charSet, f.outPrecision, f.clipPrecision, f.quality,
                  f.pitchAndFamily, f.faceName);
            },
            [](void* c) { Log(c, "release font"); }};
#undef BOX
  }

  std::string Run(const Lines& lines, Rect area = {0, 0, 1024, 768}) {
    draw::Canvas canvas = Canvas();
    draw::PaintCommands(canvas, area, lines.data(), lines.size());
    EXPECT_EQ(open, 0) << "a bitmap or text was not given back";
    std::string all;
    for (const std::string& call : calls) all += call + "\n";
    return all;
  }
};

TEST(PaintMeasure, PercentagesAreOfTheBaseAndTruncatedTowardZero) {
  struct Case {
    const char* field;
    int32_t base, value;
  } cases[] = {
      {"%25", 1024, 256},   {"%10", 768, 76},       {"%90", 768, 691},      {" %25", 1024, 0},    {"% 25", 1024, 256},
      {"%12.5", 1000, 125}, {"%-0.5", 300, -1},     {"%1e2", 100, 100},     {"%2e-1", 1000, 2},   {"%", 100, 0},
      {"%x", 100, 0},       {"%inf", 100, 0},       {"%1e400", 100, INT32_MAX},                   {"%1e400", 0, 0},
      {"%-1e400", 100, INT32_MIN},                  {"%99999999999999999999999", 1, INT32_MAX},   {"42,%50", 100, 42},
      {"%33.3333333333333333333333", 300, 100}};
  for (const Case& c : cases) EXPECT_EQ(draw::ReadMeasure(c.field, c.base), c.value) << c.field;
  // The C library's atof rounds correctly: ordinary spellings agree with it.
  for (const char* d : {"0.1", "12.34", "99.99", "33.33", "66.67", "0.015", "87.5", "1.005", "57.3e0", "-12.7"})
    for (int32_t base : {1, 3, 100, 480, 600, 768, 1024, 1080, 1920, 16384})
      EXPECT_EQ(draw::ReadMeasure((std::string("%") + d).c_str(), base), static_cast<int32_t>(atof(d) * base * 0.01))
          << d << " of " << base;
}

TEST(PaintCommands, EachCommandChangesWhatItShould) {
  const char* kNoFont = "font 0,0,0,0,0 0,0,0,1,0,0,0,0 ''\n";
  struct Case {
    const char* what;
    Lines lines;
    std::string calls;
  } cases[] = {
      {"rect percentages", {"mode,rect", "rect,%25,%10,%75,%90", "fill,1"}, "fill 256,76,768,691 1,0,0\n"},
      {"rect with one number", {"rect,%25,%10,%75,%90", "rect,10", "mode,rect", "fill,1"},
       "fill 10,76,768,691 1,0,0\n"},
      {"rect, empty fields read 0", {"rect,5,6,7,8", "rect,,", "mode,rect", "fill,1"}, "fill 0,0,7,8 1,0,0\n"},
      {"gradation steps of 1 give 2", {"mode,left", "rect,0,0,4,1", "gradation,0,0,0,0,0,255,1"},
       "fill 0,0,2,1 0,0,0\nfill 2,0,4,1 0,0,127\n"},
      {"gradation steps below 1 give 2", {"mode,right", "rect,0,0,4,1", "gradation,0,0,0,0,0,255,-7"},
       "fill 2,0,4,1 0,0,0\nfill 0,0,2,1 0,0,127\n"},
      {"gradation before any rect", {"mode,top", "gradation,0,0,0,0,0,255"}, ""},
      {"fill in point mode only takes the colour", {"fill,0,0,128", "font,255"},
       "colour 255,0,128\n" + std::string(kNoFont) + "release font\n"},
      {"fill keeps green and blue", {"mode,", "fill,1,2,3", "fill,9"},
       "fill 0,0,1024,768 1,2,3\nfill 0,0,1024,768 9,2,3\n"},
      {"font fields in order, bytes cut to 8 bits, face with commas",
       {"font,1,2,3,10,20,30,40,700,257,1,-1,128,3,2,1,49,Face, Bold", "font,0,0,0,32"},
       "colour 1,2,3\nfont 10,20,30,40,700 1,1,255,128,3,2,1,49 'Face, Bold'\n"
       "colour 0,0,0\nfont 32,20,30,40,700 1,1,255,128,3,2,1,49 'Face, Bold'\nrelease font\n"},
      {"font stops at the first missing comma", {"fill,7,8,9", "font,1,2"},
       "colour 1,2,9\n" + std::string(kNoFont) + "release font\n"},
      {"face cut to 31 bytes, not inside a character",
       {"font,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,123456789012345678901234567890\x95\x5C"},
       "colour 0,0,0\nfont 0,0,0,0,0 0,0,0,0,0,0,0,0 '123456789012345678901234567890'\nrelease font\n"},
      {"height percentage, width reset", {"font,0,0,0,1,2", "height,%10"},
       "colour 0,0,0\nfont 1,2,0,0,0 0,0,0,1,0,0,0,0 ''\nfont 76,0,0,0,0 0,0,0,1,0,0,0,0 ''\nrelease font\n"},
      {"any case", {"MODE,Rect", "Rect,1,2,3,4", "FILL,5"}, "fill 1,2,3,4 5,0,0\n"},
      {"no command", {"fills,1", "mode", "", nullptr, "mode,rect rect", "fill,3"}, "fill 0,0,1024,768 3,0,0\n"},
      {"meta in rect and whole area only", {"meta,a", "mode,rect", "meta,b", "mode,none", "meta,c"},
       "meta b 0,0,0,0\nmeta c 0,0,1024,768\n"},
      {"page with a comma ends the run", {"mode,x", "page", "fill,1", "PAGE,2", "fill,2"}, "fill 0,0,1024,768 1,0,0\n"},
      {"font released after an early page", {"height,12", "page,", "fill,1"},
       "font 12,0,0,0,0 0,0,0,1,0,0,0,0 ''\nrelease font\n"}};
  for (const Case& c : cases) EXPECT_EQ(Recorder().Run(c.lines), c.calls) << c.what;
}

TEST(PaintCommands, GradationOf64BandsFromItsExample) {
  Recorder r;
  r.Run({"mode,top", "rect,0,0,100,640", "gradation,0,0,0,0,0,255", "font,0"});
  ASSERT_EQ(r.calls.size(), 67u);
  for (int f = 0; f < 64; ++f)  // blues 0, 3, 7, ..., 251
    EXPECT_EQ(r.calls[f], "fill 0," + std::to_string(10 * f) + ",100," + std::to_string(10 * f + 10) + " 0,0," +
                              std::to_string(f * 255 / 64));
  EXPECT_EQ(r.calls[64], "colour 0,0,255");  // the end colour became current
}

TEST(PaintCommands, LongLinesAreCutAt259Bytes) {
  std::string line = "fill,1,2," + std::string(249, ' ') + "3";  // '3' is byte 258, the last kept
  EXPECT_EQ(Recorder().Run({"mode,", line.c_str()}), "fill 0,0,1024,768 1,2,3\n");
  line.insert(9, " ");
  EXPECT_EQ(Recorder().Run({"mode,", line.c_str()}), "fill 0,0,1024,768 1,2,0\n");
}

TEST(PaintCommands, TextsDrawOnlyInRightBottomAndRectAndFlowOn) {
  struct Case {
    const char* mode;
    const char* calls;
  } cases[] = {
      {"mode,right",
       "text flow1 'Hi, there' 10,20,82,36\ntext flow1 'x' 82,20,90,36\ntext flow 'a\nbc' 90,20,106,52\n"},
      {"mode,bottom",
       "text flow1 'Hi, there' 10,20,82,36\ntext flow1 'x' 10,36,18,52\ntext flow 'a\nbc' 10,52,26,84\n"},
      {"mode,rect", "text clip1 'Hi, there' 10,20,30,40\ntext clip1 'x' 10,20,30,40\ntext clip 'a\nbc' 10,20,30,40\n"},
      {"mode,point", ""}, {"mode,left", ""}, {"mode,top", ""}, {"mode,center", ""}, {"mode,all", ""}};
  for (const Case& c : cases) {
    Recorder r;
    r.texts["a.txt"] = "a\nbc";
    EXPECT_EQ(r.Run({c.mode, "rect,10,20,30,40", "|Hi, there", "string,x", "text,a.txt", "text,missing"}), c.calls)
        << c.mode;
  }
}

TEST(PaintCommands, BitmapsArePlacedAndSetTheRectangle) {
  struct Case {
    const char* mode;
    const char* calls;  // then the rectangle, shown by a fill in rect mode
  } cases[] = {{"mode,point", "copy b 100,50\nfill 0,0,30,20"},
               {"mode,left", "copy b 0,0\ncopy b 0,20\ncopy b 0,40\ncopy b 0,60\nfill 0,0,30,80"},
               {"mode,top", "copy b 0,0\ncopy b 30,0\ncopy b 60,0\ncopy b 90,0\nfill 0,0,100,20"},
               {"mode,right", "copy b 70,0\ncopy b 70,20\ncopy b 70,40\ncopy b 70,60\nfill 70,0,100,80"},
               {"mode,bottom", "copy b 0,60\ncopy b 30,60\ncopy b 60,60\ncopy b 90,60\nfill 0,60,100,80"},
               {"mode,center", "copy b 35,30\nfill 35,30,65,50"},
               {"mode,rect", "stretch b 100,50,0,0\nfill 100,50,0,0"}};
  for (const Case& c : cases) {
    Recorder r;
    r.bitmaps = {{"b", {30, 20}}, {"empty", {0, 20}}, {"flat", {30, -1}}};
    Lines lines = {"rect,100,50", c.mode,     "bitmap,missing", "bitmap,empty",
                   "bitmap,flat", "bitmap,b", "mode,rect",      "fill,0"};
    EXPECT_EQ(r.Run(lines, {0, 0, 100, 80}), std::string(c.calls) + " 0,0,0\n") << c.mode;
  }
  // Whole area: 4 columns of 4 rows, column by column; then the area.
  Recorder r;
  r.bitmaps["b"] = {30, 20};
  r.Run({"mode,tile", "bitmap,b", "mode,rect", "fill,0"}, {0, 0, 100, 80});
  ASSERT_EQ(r.calls.size(), 17u);
  EXPECT_EQ(r.calls[3] + " " + r.calls[4] + " " + r.calls[16], "copy b 0,60 copy b 30,0 fill 0,0,100,80 0,0,0");
  // Steps near the int limit end.
  Recorder big;
  big.bitmaps["b"] = {INT_MAX - 1, INT_MAX};
  EXPECT_EQ(big.Run({"mode,top", "bitmap,b", "mode,right", "bitmap,b", "mode,center", "bitmap,b"}, {0, 0, INT_MAX, 5}),
            "copy b 0,0\ncopy b 2147483646,0\ncopy b 1,0\ncopy b 0,-1073741821\n");
}

TEST(PaintCommands, TheBackdropExample) {
  Recorder r;
  r.bitmaps["logo.bmp"] = {200, 100};
  r.Run({"mode,top", "rect,0,0,%100,%100", "gradation,0,0,128,0,0,0", "mode,center", "bitmap,logo.bmp", "mode,bottom",
         "rect,%40,%70", "string,Welcome", "string,Setup"});
  ASSERT_EQ(r.calls.size(), 67u);
  for (int f = 0; f < 64; ++f)
    EXPECT_EQ(r.calls[f], "fill 0," + std::to_string(12 * f) + ",1024," + std::to_string(12 * f + 12) + " 0,0," +
                              std::to_string(128 - 2 * f));
  EXPECT_EQ(r.calls[64] + "|" + r.calls[65] + "|" + r.calls[66],
            "copy logo.bmp 412,334|text flow1 'Welcome' 409,537,465,553|text flow1 'Setup' 409,553,449,569");
}

}  // namespace
