#include <gtest/gtest.h>

#include "IPlugStructs.h"

TEST(IRECT, EmptinessAndPointsInside)
{
  EXPECT_TRUE(IRECT().Empty());
  EXPECT_FALSE(IRECT(5, 5, 5, 9).Empty());  // zero width is still a rectangle
  IRECT r(10, 20, 30, 60);
  EXPECT_EQ(20, r.W());
  EXPECT_EQ(40, r.H());
  EXPECT_FLOAT_EQ(20.f, r.MW());
  EXPECT_FLOAT_EQ(40.f, r.MH());
  EXPECT_TRUE(r.Contains(10, 20));
  EXPECT_FALSE(r.Contains(30, 20));  // right and bottom edges lie outside
  EXPECT_FALSE(r.Contains(10, 60));
}

TEST(IRECT, UnionAndIntersection)
{
  IRECT a(0, 0, 10, 10), b(5, 5, 20, 8);
  EXPECT_EQ(IRECT(0, 0, 20, 10), a.Union(b));
  EXPECT_EQ(a, a.Union(IRECT()));
  EXPECT_EQ(a, IRECT().Union(a));
  EXPECT_EQ(IRECT(5, 5, 10, 8), a.Intersect(b));
  // Touching at a's right or bottom edge counts as intersecting; at its left edge it does not.
  EXPECT_TRUE(a.Intersects(IRECT(10, 0, 15, 5)));
  EXPECT_TRUE(a.Intersects(IRECT(0, 10, 5, 15)));
  EXPECT_FALSE(IRECT(10, 0, 15, 5).Intersects(a));
  EXPECT_TRUE(a.Intersect(IRECT()).Empty());
  EXPECT_TRUE(a.Intersect(IRECT(50, 50, 60, 60)).Empty());
}

TEST(IColor, PixelLayoutAndNamedColours)
{
  EXPECT_EQ(0xFF7F7F7Fu, COLOR_GRAY.ToPixel());
  EXPECT_EQ(0xFFFF7F00u, COLOR_ORANGE.ToPixel());
  EXPECT_EQ(0u, COLOR_TRANSPARENT.ToPixel());
  EXPECT_EQ(COLOR_BLACK, DEFAULT_TEXT_COLOR);
  IText text;
  EXPECT_STREQ("Monaco", text.mFont);
  EXPECT_EQ(10, text.mSize);
  EXPECT_EQ(IText::kAlignCenter, text.mAlign);
  EXPECT_EQ(COLOR_WHITE, text.mTextEntryBGColor);
  IBitmap strip(nullptr, 30, 100, 10);
  EXPECT_EQ(10, strip.FrameH());
  EXPECT_EQ(1, IBitmap(nullptr, 4, 4, 0).N);
}
