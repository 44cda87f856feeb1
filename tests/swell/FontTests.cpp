// Font matching, Win32 height rules, metrics and font lifetime.

#include <cmath>
#include <string>

#include "SwellTestSupport.h"

using namespace swelltest;

namespace
{

std::string Face(HDC dc)
{
  char name[64];
  GetTextFace(dc, sizeof(name), name);
  return name;
}

int TextWidth(HDC dc, const char* text)
{
  SIZE size{};
  GetTextExtentPoint32(dc, text, -1, &size);
  return size.cx;
}

HFONT Make(int height, int width, const char* face)
{
  return CreateFont(height, width, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                    CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, face);
}

// Mean x of the ink in rows [y0, y1).
double InkCentre(const Canvas& c, int y0, int y1)
{
  double sum = 0, n = 0;
  for (int y = y0; y < y1; ++y)
    for (int x = 0; x < c.w; ++x)
      if (const unsigned int v = c.At(x, y) & 0xFF)
      {
        sum += x * v;
        n += v;
      }
  return n > 0 ? sum / n : -1;
}

}  // namespace

class FontTest : public SwellTest
{
};

TEST_F(FontTest, MissingMacFacesFallBackToTheirKind)
{
  Canvas c(8, 8);
  ASSERT_NE(c.Use("Monaco", 14), nullptr);
  EXPECT_EQ(Face(c.dc), "DejaVu Sans Mono");
  EXPECT_EQ(TextWidth(c.dc, "i"), TextWidth(c.dc, "W"));  // monospace
  ASSERT_NE(c.Use("Helvetica", 14), nullptr);
  EXPECT_EQ(Face(c.dc), "DejaVu Sans");
  EXPECT_LT(TextWidth(c.dc, "i"), TextWidth(c.dc, "W"));
  ASSERT_NE(c.Use("Times New Roman", 14), nullptr);
  EXPECT_EQ(Face(c.dc), "DejaVu Serif");
  ASSERT_NE(c.Use(nullptr, 14), nullptr);
  EXPECT_EQ(Face(c.dc), "DejaVu Sans");
  ASSERT_NE(c.Use("No Such Face At All", 14), nullptr);
  EXPECT_EQ(Face(c.dc), "DejaVu Sans");
}

TEST_F(FontTest, BoldAndItalicPickTheStyledFaces)
{
  Canvas c(8, 8);
  TEXTMETRIC tm{};
  c.Use("DejaVu Sans", 14);
  const int regular = TextWidth(c.dc, "Brelix Preamp");
  ASSERT_TRUE(GetTextMetrics(c.dc, &tm));
  EXPECT_EQ(tm.tmWeight, FW_NORMAL);
  EXPECT_EQ(tm.tmItalic, 0);
  c.Use("DejaVu Sans", 14, FW_BOLD);
  GetTextMetrics(c.dc, &tm);
  EXPECT_EQ(tm.tmWeight, FW_BOLD);
  EXPECT_GT(TextWidth(c.dc, "Brelix Preamp"), regular);
  c.Use("Monaco", 14, FW_NORMAL, DEFAULT_QUALITY, 0, 1);
  GetTextMetrics(c.dc, &tm);
  EXPECT_NE(tm.tmItalic, 0);
  EXPECT_EQ(tm.tmWeight, FW_NORMAL);
}

TEST_F(FontTest, FacesWithoutStylesAreEmboldenedAndSlanted)
{
  // DejaVu Math TeX Gyre has a regular face only.
  Canvas c(120, 200);
  TEXTMETRIC tm{};
  RECT r{10, 5, 120, 200};
  c.Use("DejaVu Math TeX Gyre", -40);
  DrawText(c.dc, "I", -1, &r, 0);
  const int regularInk = c.Count();
  const RECT upright = c.Changed();
  const double uprightLean = InkCentre(c, upright.top, upright.top + 5) -
                             InkCentre(c, upright.bottom - 5, upright.bottom);
  EXPECT_NEAR(uprightLean, 0, 1);

  c.Fill(0);
  c.Use("DejaVu Math TeX Gyre", -40, FW_BOLD);
  GetTextMetrics(c.dc, &tm);
  EXPECT_EQ(tm.tmWeight, FW_BOLD);
  DrawText(c.dc, "I", -1, &r, 0);
  EXPECT_GT(c.Count(), regularInk * 5 / 4);

  c.Fill(0);
  c.Use("DejaVu Math TeX Gyre", -40, FW_NORMAL, DEFAULT_QUALITY, 0, 1);
  GetTextMetrics(c.dc, &tm);
  EXPECT_NE(tm.tmItalic, 0);
  DrawText(c.dc, "I", -1, &r, 0);
  const RECT slanted = c.Changed();
  const double lean = InkCentre(c, slanted.top, slanted.top + 5) -
                      InkCentre(c, slanted.bottom - 5, slanted.bottom);
  EXPECT_GT(lean, 4) << "the top of a slanted I lies to the right of its foot";
}

TEST_F(FontTest, PositiveHeightIsTheCellHeightOnTheFirstAttempt)
{
  Canvas c(8, 8);
  for (const char* face : {"DejaVu Sans", "DejaVu Sans Mono", "DejaVu Serif"})
    for (int weight : {FW_NORMAL, FW_BOLD})
      for (int h = 8; h <= 24; ++h)
      {
        ASSERT_NE(c.Use(face, h, weight), nullptr);
        TEXTMETRIC tm{};
        ASSERT_TRUE(GetTextMetrics(c.dc, &tm));
        EXPECT_EQ(tm.tmHeight, h) << face << " " << weight;
        EXPECT_EQ(tm.tmAscent + tm.tmDescent, h) << face;
        EXPECT_GT(tm.tmDescent, 0) << face << " " << h;
        EXPECT_EQ(Height(Measure(c.dc, "Ag")), h) << face;
      }
}

TEST_F(FontTest, NegativeHeightIsTheEmSize)
{
  // DejaVu Sans: capital height 1493 of 2048 units per em, cell 2384 units.
  Canvas c(200, 100);
  for (int em : {10, 16, 40})
  {
    c.Use("DejaVu Sans", -em);
    TEXTMETRIC tm{};
    GetTextMetrics(c.dc, &tm);
    EXPECT_EQ(tm.tmHeight - tm.tmInternalLeading, em);
    EXPECT_NEAR(tm.tmHeight, em * 2384.0 / 2048, 1.0);
    c.Fill(0);
    RECT r{0, 0, 200, 100};
    DrawText(c.dc, "H", -1, &r, 0);
    EXPECT_NEAR(Height(c.Changed()), em * 1493.0 / 2048, 1.0) << em;
  }
  c.Use("DejaVu Sans", 40);
  c.Fill(0);
  RECT r{0, 0, 200, 100};
  DrawText(c.dc, "H", -1, &r, 0);
  EXPECT_NEAR(Height(c.Changed()), 40 * 1493.0 / 2384, 1.0) << "cell height 40";
}

TEST_F(FontTest, AbsurdSizesAreRefused)
{
  auto make = [](int height, int width) { return Make(height, width, "DejaVu Sans"); };
  EXPECT_EQ(make(SWELL_MAX_FONT_SIZE + 1, 0), nullptr);
  EXPECT_EQ(make(-SWELL_MAX_FONT_SIZE - 1, 0), nullptr);
  EXPECT_EQ(make(1 << 30, 0), nullptr);
  EXPECT_EQ(make(12, 1 << 30), nullptr);
  HFONT largest = make(-SWELL_MAX_FONT_SIZE, 0);
  EXPECT_NE(largest, nullptr);
  DeleteObject(largest);
  HFONT tiny = make(1, 0);
  ASSERT_NE(tiny, nullptr);
  DeleteObject(tiny);
}

TEST_F(FontTest, WidthStretchesToTheAverageCharacterWidth)
{
  Canvas c(8, 8);
  HFONT wide = Make(14, 16, "DejaVu Sans Mono");
  ASSERT_NE(wide, nullptr);
  c.Use("DejaVu Sans Mono", 14);
  const int natural = TextWidth(c.dc, "MMMMMMMMMM");
  SelectObject(c.dc, wide);
  TEXTMETRIC tm{};
  GetTextMetrics(c.dc, &tm);
  EXPECT_EQ(tm.tmHeight, 14);
  EXPECT_NEAR(TextWidth(c.dc, "MMMMMMMMMM"), 160, 10);
  EXPECT_GT(TextWidth(c.dc, "MMMMMMMMMM"), natural * 3 / 2);
  SelectObject(c.dc, c.font);
  DeleteObject(wide);
}

TEST_F(FontTest, AFontDeletedWhileSelectedLivesUntilDeselected)
{
  Canvas c(100, 30);
  HFONT font = Make(16, 0, "DejaVu Sans");
  ASSERT_NE(font, nullptr);
  EXPECT_EQ(SelectObject(c.dc, font), nullptr);
  EXPECT_TRUE(DeleteObject(font));
  SetTextColor(c.dc, RGB(255, 255, 255));
  RECT r{0, 0, 100, 30};
  EXPECT_EQ(DrawText(c.dc, "still here", -1, &r, 0), 16);
  EXPECT_GT(c.Count(), 0);
  SelectObject(c.dc, nullptr);  // frees it (the sanitiser build reports a leak or a double free)
  EXPECT_FALSE(DeleteObject(nullptr));

  // A context deleted with a font selected deselects it; the font stays the caller's.
  HDC other = SWELL_CreateMemContext(nullptr, 10, 10);
  HFONT kept = Make(12, 0, "DejaVu Sans");
  SelectObject(other, kept);
  SWELL_DeleteGfxContext(other);
  SelectObject(c.dc, kept);
  TEXTMETRIC tm{};
  EXPECT_TRUE(GetTextMetrics(c.dc, &tm));
  EXPECT_EQ(tm.tmHeight, 12);
  SelectObject(c.dc, nullptr);
  EXPECT_TRUE(DeleteObject(kept));
}

TEST_F(FontTest, AContextWithoutAFontDrawsNothing)
{
  Canvas c(50, 20);
  RECT r{0, 0, 50, 20};
  TEXTMETRIC tm{};
  tm.tmHeight = 7;
  SIZE size{5, 5};
  char face[8] = "x";
  EXPECT_EQ(DrawText(c.dc, "text", -1, &r, 0), 0);
  EXPECT_EQ(DrawText(c.dc, "text", -1, &r, DT_CALCRECT), 0);
  EXPECT_FALSE(GetTextMetrics(c.dc, &tm));
  EXPECT_EQ(tm.tmHeight, 0);
  EXPECT_FALSE(GetTextExtentPoint32(c.dc, "text", -1, &size));
  EXPECT_EQ(size.cx, 0);
  EXPECT_EQ(GetTextFace(c.dc, sizeof(face), face), 0);
  EXPECT_STREQ(face, "");
  EXPECT_EQ(c.Count(), 0);
  EXPECT_EQ(DrawText(nullptr, "text", -1, &r, 0), 0);
  EXPECT_EQ(SelectObject(nullptr, nullptr), nullptr);
}
