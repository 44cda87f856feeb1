// Drawing operations: blend conversion, frame selection, clipped blits, pixel writes and bitmap
// fonts, checked through the pixels they leave in the draw bitmap.
#include <cmath>
#include <limits>

#include <gtest/gtest.h>

#include "GraphicsTestSupport.h"
#include "IBitmapControl.h"

using namespace gfxtest;

namespace
{
// An editor whose draw bitmap is cleared to transparent black and whose drawing pass covers
// the area given (as during a pass of Draw).
struct Canvas
{
  explicit Canvas(int w = 120, int h = 100) : g(&plug, w, h)
  {
    g.PrepDraw();
    LICE_Clear(g.GetDrawBitmap(), 0);
  }
  // Runs one strict drawing pass over area with a control that calls draw.
  template <class F> void Pass(const IRECT& area, F draw)
  {
    struct Painter : IControl
    {
      Painter(IPlugBase* p, F f) : IControl(p, IRECT(0, 0, 10000, 10000)), mF(f) {}
      bool Draw(IGraphics* graphics) override
      {
        mF(*graphics);
        return true;
      }
      F mF;
    };
    g.RemoveControls(0);
    g.AttachControl(new Painter(&plug, draw));
    IRECT r = area;
    g.Draw(&r);
  }
  EditorPlug plug;
  RecordingGraphics g;
};
}  // namespace

TEST(Blend, ModeWordTable)
{
  EXPECT_EQ(IGraphics::BlendMode(nullptr), 0x10000);
  IChannelBlend blend(IChannelBlend::kBlendNone, 0.5f);
  EXPECT_EQ(IGraphics::BlendMode(&blend), 0x10000);
  blend.mMethod = IChannelBlend::kBlendCopy;
  EXPECT_EQ(IGraphics::BlendMode(&blend), 0x0);
  blend.mMethod = IChannelBlend::kBlendAdd;
  EXPECT_EQ(IGraphics::BlendMode(&blend), 0x10001);
  blend.mMethod = IChannelBlend::kBlendDodge;
  EXPECT_EQ(IGraphics::BlendMode(&blend), 0x10002);
  blend.mMethod = static_cast<IChannelBlend::EBlendMethod>(9);
  EXPECT_EQ(IGraphics::BlendMode(&blend), 0x10000);
  EXPECT_EQ(IGraphics::BlendWeight(&blend), 0.5f);
  EXPECT_EQ(IGraphics::BlendWeight(nullptr), 1.0f);
  EXPECT_EQ(IGraphics::ColorToPixel(IColor(0x112, 0x34, 0x56, 0x78)), 0x12345678u);
}

TEST(FrameSelection, ValueToFrame)
{
  EXPECT_EQ(IBitmapControl::FrameFromValue(60, 0.0), 1);
  EXPECT_EQ(IBitmapControl::FrameFromValue(60, 1.0), 60);
  EXPECT_EQ(IBitmapControl::FrameFromValue(60, 0.5), 31);
  EXPECT_EQ(IBitmapControl::FrameFromValue(60, 0.0254), 2);
  EXPECT_EQ(IBitmapControl::FrameFromValue(60, 1.02), 60);
  EXPECT_EQ(IBitmapControl::FrameFromValue(60, -0.3), 1);
  EXPECT_EQ(IBitmapControl::FrameFromValue(60, 1e300), 60);
  EXPECT_EQ(IBitmapControl::FrameFromValue(60, std::numeric_limits<double>::infinity()), 60);
  EXPECT_EQ(IBitmapControl::FrameFromValue(60, std::numeric_limits<double>::quiet_NaN()), 1);
  EXPECT_EQ(IBitmapControl::FrameFromValue(1, 0.9), 1);
  EXPECT_EQ(IBitmapControl::FrameFromValue(0, 0.9), 1);
}

TEST(FrameSelection, FrameToSourceOffset)
{
  Canvas c;
  auto strip = MakeCoordinateBitmap(30, 100);
  IBitmap seven(strip.get(), 30, 100, 7);
  IBitmap three(strip.get(), 30, 90, 3);
  IBitmap horizontal(strip.get(), 30, 100, 3, true);
  IRECT dest(5, 5, 15, 15);
  auto sourceRowOf = [&](IBitmap* b, int frame) {
    c.Pass(dest, [&](IGraphics& g) { g.DrawBitmap(b, &dest, frame); });
    int x, y;
    SourceOf(c.g, 5, 5, &x, &y);
    return std::make_pair(x, y);
  };
  EXPECT_EQ(sourceRowOf(&three, 1), std::make_pair(0, 0));
  EXPECT_EQ(sourceRowOf(&three, 2), std::make_pair(0, 30));
  EXPECT_EQ(sourceRowOf(&three, 3), std::make_pair(0, 60));
  EXPECT_EQ(sourceRowOf(&three, 0), std::make_pair(0, 0));
  EXPECT_EQ(sourceRowOf(&three, -5), std::make_pair(0, 0));
  EXPECT_EQ(sourceRowOf(&seven, 2), std::make_pair(0, 14));
  EXPECT_EQ(sourceRowOf(&seven, 7), std::make_pair(0, 86));
  EXPECT_EQ(sourceRowOf(&horizontal, 2), std::make_pair(10, 0));
  EXPECT_EQ(horizontal.FrameW(), 10);
  EXPECT_EQ(horizontal.FrameH(), 100);
}

TEST(ClippedBlit, OnlyTheDrawRectangleIsTouched)
{
  Canvas c;
  auto src = MakeCoordinateBitmap(40, 40);
  IBitmap b(src.get(), 40, 40);
  IRECT dest(10, 10, 50, 50);
  c.Pass(IRECT(20, 25, 30, 35), [&](IGraphics& g) { g.DrawBitmap(&b, &dest, 3, 4); });
  int x, y;
  SourceOf(c.g, 20, 25, &x, &y);
  EXPECT_EQ(x, 3 + 10);
  EXPECT_EQ(y, 4 + 15);
  EXPECT_EQ(c.g.GetPoint(20, 25).A, 255);
  EXPECT_EQ(c.g.GetPoint(19, 25).A, 0);  // outside the pass's area
  EXPECT_EQ(c.g.GetPoint(20, 24).A, 0);
  EXPECT_EQ(c.g.GetPoint(29, 34).A, 255);
  EXPECT_EQ(c.g.GetPoint(30, 30).A, 0);
  EXPECT_EQ(c.g.GetPoint(29, 35).A, 0);

  // A destination wholly outside the area blits nothing; an empty bitmap draws nothing.
  LICE_Clear(c.g.GetDrawBitmap(), 0);
  IRECT far(80, 80, 90, 90);
  IBitmap empty;
  c.Pass(IRECT(0, 0, 40, 40), [&](IGraphics& g) {
    g.DrawBitmap(&b, &far, 1);
    g.DrawBitmap(&empty, &dest, 1);
    g.DrawBitmap(nullptr, &dest, 1);
    g.DrawRotatedBitmap(&empty, 20, 20, 1.0);
    g.DrawRotatedMask(&empty, &empty, &empty, 0, 0, 30.0);
  });
  for (int yy = 0; yy < 100; ++yy)
    for (int xx = 0; xx < 120; ++xx) ASSERT_EQ(c.g.GetPoint(xx, yy).A, 0) << xx << "," << yy;
}

TEST(PixelWrites, OutsideTheBitmapNothingHappens)
{
  Canvas c(20, 10);
  c.g.ForcePixel(&COLOR_RED, 3, 4);
  EXPECT_EQ(c.g.GetPoint(3, 4), COLOR_RED);
  LICE_IBitmap* bmp = c.g.GetDrawBitmap();
  std::vector<LICE_pixel> before(bmp->getBits(), bmp->getBits() + bmp->getRowSpan() * bmp->getHeight());
  for (int x : {-1, 20, 1 << 30})
    for (int y : {-1, 10, 5}) c.g.ForcePixel(&COLOR_WHITE, x, y);
  c.g.ForcePixel(&COLOR_WHITE, 5, -1);
  c.g.ForcePixel(&COLOR_WHITE, 5, 10);
  const float nan = std::numeric_limits<float>::quiet_NaN(), inf = std::numeric_limits<float>::infinity();
  c.g.DrawPoint(&COLOR_WHITE, nan, 2.0f);
  c.g.DrawPoint(&COLOR_WHITE, 2.0f, -inf);
  c.g.DrawPoint(&COLOR_WHITE, 1e30f, 1e30f);
  c.g.DrawVerticalLine(&COLOR_WHITE, nullptr, 0.5f);
  EXPECT_EQ(before, std::vector<LICE_pixel>(bmp->getBits(), bmp->getBits() + bmp->getRowSpan() * bmp->getHeight()));
  EXPECT_EQ(c.g.GetPoint(-1, 0), COLOR_TRANSPARENT);
  EXPECT_EQ(c.g.GetPoint(20, 0), COLOR_TRANSPARENT);

  // A point rounds to the nearest pixel.
  c.g.DrawPoint(&COLOR_GREEN, 6.6f, 2.4f);
  EXPECT_EQ(c.g.GetPoint(7, 2), COLOR_GREEN);
}

TEST(BitmapedText, CharactersAreFramesFromTheSpace)
{
  Canvas c;
  // A font of 96 frames, 10 x 12 each, stacked; frame k's pixels are (k, row) coordinates.
  auto font = MakeCoordinateBitmap(10, 96 * 12);
  IBitmap fontBitmap(font.get(), 10, 96 * 12, 96);
  IText left(10, COLOR_BLACK, nullptr, IText::kStyleNormal, IText::kAlignLeft);
  IRECT area(0, 0, 35, 12);
  c.Pass(IRECT(0, 0, 120, 100), [&](IGraphics& g) {
    DrawBitmapedText(&g, &fontBitmap, &area, &left, nullptr, "ABCDE", false, false, 10, 12, 0);
  });
  // Only three of five characters fit in 35 pixels.
  int x, y;
  SourceOf(c.g, 0, 0, &x, &y);
  EXPECT_EQ(y, ('A' - 32) * 12 % 256);
  SourceOf(c.g, 20, 0, &x, &y);
  EXPECT_EQ(y, ('C' - 32) * 12 % 256);
  EXPECT_EQ(c.g.GetPoint(30, 0).A, 0);

  // Multiline: wraps onto the next line at the available width.
  LICE_Clear(c.g.GetDrawBitmap(), 0);
  IRECT wide(0, 0, 20, 60);
  c.Pass(IRECT(0, 0, 120, 100), [&](IGraphics& g) {
    DrawBitmapedText(&g, &fontBitmap, &wide, &left, nullptr, "ABC", false, true, 10, 12, 0);
  });
  SourceOf(c.g, 0, 12, &x, &y);
  EXPECT_EQ(y, ('C' - 32) * 12 % 256);

  // A character width of 0, an empty area or string: nothing drawn, no division by zero.
  LICE_Clear(c.g.GetDrawBitmap(), 0);
  IRECT none(5, 5, 5, 20);
  c.Pass(IRECT(0, 0, 120, 100), [&](IGraphics& g) {
    DrawBitmapedText(&g, &fontBitmap, &area, &left, nullptr, "ABC", true, true, 0, 12, 0);
    DrawBitmapedText(&g, &fontBitmap, &none, &left, nullptr, "ABC", true, true, 10, 12, 0);
    DrawBitmapedText(&g, &fontBitmap, &area, &left, nullptr, "", true, true, 10, 12, 0);
    DrawBitmapedText(&g, &fontBitmap, &area, &left, nullptr, nullptr, true, true, 10, 12, 0);
  });
  for (int yy = 0; yy < 100; ++yy)
    for (int xx = 0; xx < 120; ++xx) ASSERT_EQ(c.g.GetPoint(xx, yy).A, 0);
}

TEST(Shapes, CoordinatesMapAsDocumented)
{
  Canvas c(40, 40);
  IRECT r(5, 5, 15, 25);
  c.g.DrawRect(&COLOR_RED, &r);
  EXPECT_EQ(c.g.GetPoint(15, 10), COLOR_RED);  // the right line lies on R
  EXPECT_EQ(c.g.GetPoint(10, 25), COLOR_RED);  // the bottom line on B
  EXPECT_EQ(c.g.GetPoint(5, 5), COLOR_RED);
  EXPECT_EQ(c.g.GetPoint(10, 10).A, 0);

  LICE_Clear(c.g.GetDrawBitmap(), 0);
  c.g.DrawHorizontalLine(&COLOR_GREEN, &r, 0.0f);  // 0 is the bottom
  c.g.DrawVerticalLine(&COLOR_BLUE, &r, 2.0f);     // clamped to 1: the right edge
  EXPECT_EQ(c.g.GetPoint(10, 25), COLOR_GREEN);
  EXPECT_EQ(c.g.GetPoint(15, 10), COLOR_BLUE);
  c.g.DrawHorizontalLine(&COLOR_WHITE, &r, 0.5f);
  EXPECT_EQ(c.g.GetPoint(10, 15), COLOR_WHITE);

  // Radial lines: angle 0 points up, positive angles turn clockwise.
  LICE_Clear(c.g.GetDrawBitmap(), 0);
  c.g.DrawRadialLine(&COLOR_RED, 20.0f, 20.0f, 0.0f, 5.0f, 10.0f);
  EXPECT_EQ(c.g.GetPoint(20, 12), COLOR_RED);
  EXPECT_EQ(c.g.GetPoint(20, 28).A, 0);
  c.g.DrawRadialLine(&COLOR_GREEN, 20.0f, 20.0f, 1.5707964f, 5.0f, 10.0f);
  EXPECT_EQ(c.g.GetPoint(28, 20), COLOR_GREEN);

  // A filled rounded rectangle covers its middle and leaves its corners.
  LICE_Clear(c.g.GetDrawBitmap(), 0);
  IRECT box(2, 2, 32, 22);
  c.g.FillRoundRect(&COLOR_WHITE, &box, nullptr, 6, false);
  EXPECT_EQ(c.g.GetPoint(17, 12), COLOR_WHITE);
  EXPECT_EQ(c.g.GetPoint(2, 12), COLOR_WHITE);
  EXPECT_EQ(c.g.GetPoint(17, 2), COLOR_WHITE);
  EXPECT_EQ(c.g.GetPoint(2, 2).A, 0);
  EXPECT_EQ(c.g.GetPoint(31, 21).A, 0);
  c.g.FillIRect(&COLOR_BLUE, &box, nullptr);
  EXPECT_EQ(c.g.GetPoint(2, 2), COLOR_BLUE);
  EXPECT_EQ(c.g.GetPoint(31, 21), COLOR_BLUE);
  EXPECT_EQ(c.g.GetPoint(32, 21).A, 0);

  // Non-finite coordinates draw nothing.
  LICE_Clear(c.g.GetDrawBitmap(), 0);
  const float nan = std::numeric_limits<float>::quiet_NaN();
  c.g.DrawLine(&COLOR_RED, nan, 0.0f, 10.0f, 10.0f);
  c.g.DrawCircle(&COLOR_RED, 10.0f, 10.0f, nan);
  c.g.DrawArc(&COLOR_RED, 10.0f, 10.0f, 5.0f, 0.0f, std::numeric_limits<float>::infinity());
  c.g.DrawRadialLine(&COLOR_RED, 10.0f, 10.0f, nan, 0.0f, 5.0f);
  c.g.FillCircle(&COLOR_RED, 10, 10, nan);
  for (int y = 0; y < 40; ++y)
    for (int x = 0; x < 40; ++x) ASSERT_EQ(c.g.GetPoint(x, y).A, 0);
}
