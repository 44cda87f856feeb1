// Text through the font storage: shared fonts, measuring-mode alignment, drawing.
#include <gtest/gtest.h>

#include "FontStorage.h"
#include "GraphicsTestSupport.h"
#include "lice_text.h"

using namespace gfxtest;

TEST(Text, StylesDifferingOnlyInColourOrQualityShareOneFont)
{
  EditorPlug plug;
  RecordingGraphics g(&plug, 100, 40);
  IText red(13, COLOR_RED, "DejaVu Sans"), blue(13, COLOR_BLUE, "DejaVu Sans");
  blue.mQuality = IText::kQualityAntiAlias;
  blue.mAlign = IText::kAlignRight;
  IText bold(13, COLOR_RED, "DejaVu Sans", IText::kStyleBold);
  LICE_CachedFont* a = g.CacheFont(&red);
  ASSERT_NE(a, nullptr);
  EXPECT_EQ(red.mCached, a);
  EXPECT_EQ(g.CacheFont(&blue), a);
  EXPECT_NE(g.CacheFont(&bold), a);
  EXPECT_EQ(FontStorage::Instance().Find(&blue), a);
  EXPECT_EQ(a->GetLineHeight(), 13);  // the size asked for is met
}

TEST(Text, SizesWithoutAUsableHeightNeverDivideByZero)
{
  EditorPlug plug;
  RecordingGraphics g(&plug, 100, 40);
  for (int size : {0, 1, -3})
  {
    IText t(size);
    LICE_CachedFont* font = g.CacheFont(&t);
    ASSERT_NE(font, nullptr) << size;
    EXPECT_GT(font->GetLineHeight(), 0);
  }
  IText huge(1 << 30);
  EXPECT_EQ(g.CacheFont(&huge), nullptr);
  IRECT r(0, 0, 10, 10);
  EXPECT_FALSE(g.DrawIText(&huge, "x", &r));
  EXPECT_TRUE(g.DrawIText(&huge, "", &r));
}

TEST(Text, MeasuringAlignsTheExtentInTheRectangle)
{
  EditorPlug plug;
  RecordingGraphics g(&plug, 200, 40);
  g.PrepDraw();
  IText left(12, COLOR_BLACK, "DejaVu Sans", IText::kStyleNormal, IText::kAlignLeft);
  IRECT l(10, 5, 110, 25);
  ASSERT_TRUE(g.MeasureIText(&left, const_cast<char*>("Brelix 12"), &l));
  const int width = l.W(), height = l.H();
  EXPECT_GT(width, 20);
  EXPECT_EQ(l.L, 10);
  EXPECT_EQ(height, 12);

  IText centre = left, right = left;
  centre.mAlign = IText::kAlignCenter;
  right.mAlign = IText::kAlignRight;
  IRECT c(10, 5, 110, 25), r(10, 5, 110, 25);
  g.DrawIText(&centre, "Brelix 12", &c, true);
  g.DrawIText(&right, "Brelix 12", &r, true);
  EXPECT_EQ(c, IRECT(60 - width / 2, 5, 60 - width / 2 + width, 5 + height));
  EXPECT_EQ(r, IRECT(110 - width, 5, 110, 5 + height));
}

TEST(Text, DrawsInTheTextColourInsideItsRectangle)
{
  EditorPlug plug;
  RecordingGraphics g(&plug, 120, 30);
  g.PrepDraw();
  LICE_Clear(g.GetDrawBitmap(), LICE_RGBA(255, 255, 255, 255));
  IText t(16, COLOR_BLUE, "DejaVu Sans", IText::kStyleBold, IText::kAlignLeft);
  IRECT r(4, 4, 116, 26);
  ASSERT_TRUE(g.DrawIText(&t, "MMMM", &r));
  int inked = 0;
  for (int y = 0; y < 30; ++y)
    for (int x = 0; x < 120; ++x)
    {
      const IColor p = g.GetPoint(x, y);
      if (p.R < 128 && p.B > 128)
      {
        ++inked;
        EXPECT_TRUE(r.Contains(x, y)) << x << "," << y;
      }
    }
  EXPECT_GT(inked, 60);
}
