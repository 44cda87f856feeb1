// DrawText: placement, clipping, colour and alpha, quality, background, rotation.

#include "SwellTestSupport.h"

using namespace swelltest;

namespace
{

// Draws text OPAQUE with a background colour and returns the filled box (the placed text box).
RECT PlacedBox(Canvas& c, const char* text, RECT r, unsigned int fmt)
{
  c.Fill(0);
  SetBkMode(c.dc, OPAQUE);
  SetBkColor(c.dc, RGB(0, 0, 255));
  DrawText(c.dc, text, -1, &r, fmt);
  SetBkMode(c.dc, TRANSPARENT);
  return c.Changed();
}

bool SameRect(const RECT& a, const RECT& b)
{
  return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

::testing::AssertionResult Is(const RECT& actual, const RECT& expected)
{
  if (SameRect(actual, expected)) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << "(" << actual.left << "," << actual.top << ","
                                       << actual.right << "," << actual.bottom << ") instead of ("
                                       << expected.left << "," << expected.top << ","
                                       << expected.right << "," << expected.bottom << ")";
}

}  // namespace

class TextTest : public SwellTest
{
};

TEST_F(TextTest, AlignmentPlacesTheMeasuredBox)
{
  Canvas c(240, 140);
  c.Use("DejaVu Sans", 16);
  const RECT m = Measure(c.dc, "Gain 3 dB");
  const int w = Width(m), h = Height(m);
  ASSERT_EQ(h, 16);
  const RECT r{10, 5, 210, 125};
  EXPECT_TRUE(Is(PlacedBox(c, "Gain 3 dB", r, 0), {10, 5, 10 + w, 5 + h}));
  EXPECT_TRUE(Is(PlacedBox(c, "Gain 3 dB", r, DT_CENTER), {10 + (200 - w) / 2, 5, 10 + (200 - w) / 2 + w, 5 + h}));
  EXPECT_TRUE(Is(PlacedBox(c, "Gain 3 dB", r, DT_RIGHT | DT_BOTTOM), {210 - w, 125 - h, 210, 125}));
  EXPECT_TRUE(Is(PlacedBox(c, "Gain 3 dB", r, DT_CENTER | DT_VCENTER),
                 {10 + (200 - w) / 2, 5 + (120 - h) / 2, 10 + (200 - w) / 2 + w, 5 + (120 - h) / 2 + h}));

  // Lines of a block are aligned within it; the block within the rectangle.
  const int wide = Width(Measure(c.dc, "Output")), narrow = Width(Measure(c.dc, "In"));
  ASSERT_GT(wide, narrow);
  c.Fill(0);
  SetBkMode(c.dc, OPAQUE);
  RECT rr = r;
  DrawText(c.dc, "Output\nIn", -1, &rr, DT_RIGHT);
  EXPECT_TRUE(Is(c.Changed(), {210 - wide, 5, 210, 5 + 32}));
  EXPECT_EQ(c.At(210 - narrow - 1, 5 + 20), 0u) << "second line is right-aligned";
  EXPECT_NE(c.At(210 - narrow, 5 + 20), 0u);
}

TEST_F(TextTest, CalcRectKeepsTheOriginAndDrawsNothing)
{
  Canvas c(100, 40);
  c.Use("DejaVu Sans", 14);
  RECT r{7, 9, 8, 10};
  EXPECT_EQ(DrawText(c.dc, "Drive", -1, &r, DT_CALCRECT | DT_CENTER | DT_VCENTER), 14);
  SIZE size{};
  ASSERT_TRUE(GetTextExtentPoint32(c.dc, "Drive", -1, &size));
  EXPECT_TRUE(Is(r, {7, 9, 7 + size.cx, 9 + 14}));
  EXPECT_EQ(c.Count(), 0);
}

TEST_F(TextTest, ClippingKeepsEveryPixelInsideTheRectangle)
{
  Canvas c(120, 60);
  c.Use("DejaVu Sans", 40);
  SetBkMode(c.dc, OPAQUE);
  const RECT r{20, 10, 50, 30};
  RECT rr = r;
  DrawText(c.dc, "WWWWWW", -1, &rr, DT_CENTER | DT_VCENTER);
  EXPECT_TRUE(Is(c.Changed(), r)) << "the opaque box fills exactly the rectangle";

  c.Fill(0);
  rr = r;
  DrawText(c.dc, "WWWWWW", -1, &rr, DT_CENTER | DT_VCENTER | DT_NOCLIP);
  const RECT all = c.Changed();
  EXPECT_LT(all.left, r.left);
  EXPECT_GT(all.right, r.right);
  EXPECT_EQ(all.left, 0) << "text wider than the context is clipped to it";
  EXPECT_EQ(all.right, 120);
}

TEST_F(TextTest, ClipStackIntersectsAndRestores)
{
  Canvas c(100, 60);
  c.Use("DejaVu Sans", 40);
  SetBkMode(c.dc, OPAQUE);
  RECT got{};
  SWELL_PushClipRegion(c.dc);
  const RECT a{10, 5, 70, 50}, b{40, 20, 90, 55};
  SWELL_SetClipRegion(c.dc, &a);
  SWELL_PushClipRegion(c.dc);
  SWELL_SetClipRegion(c.dc, &b);
  ASSERT_TRUE(SWELL_GetClipRegion(c.dc, &got));
  EXPECT_TRUE(Is(got, {40, 20, 70, 50}));
  RECT r{0, 0, 100, 60};
  DrawText(c.dc, "MMMM", -1, &r, DT_NOCLIP | DT_VCENTER);
  EXPECT_TRUE(Is(c.Changed(), {40, 20, 70, 50}));

  SWELL_PopClipRegion(c.dc);
  SWELL_GetClipRegion(c.dc, &got);
  EXPECT_TRUE(Is(got, a));
  c.Fill(0);
  DrawText(c.dc, "MMMM", -1, &r, DT_NOCLIP | DT_VCENTER);
  EXPECT_TRUE(Is(c.Changed(), {10, 10, 70, 50})) << "the clip a, cut by the 40-pixel line at y 10";

  SWELL_PopClipRegion(c.dc);
  SWELL_PopClipRegion(c.dc);  // more pops than pushes change nothing
  SWELL_GetClipRegion(c.dc, &got);
  EXPECT_TRUE(Is(got, {0, 0, 100, 60}));
  const RECT outside{200, 200, 300, 300};
  SWELL_SetClipRegion(c.dc, &outside);
  c.Fill(0);
  EXPECT_EQ(DrawText(c.dc, "MMMM", -1, &r, DT_NOCLIP), 40);
  EXPECT_EQ(c.Count(), 0);
  SWELL_SetClipRegion(c.dc, nullptr);
  SWELL_GetClipRegion(c.dc, &got);
  EXPECT_TRUE(Is(got, {0, 0, 100, 60}));
}

TEST_F(TextTest, QualityChoosesAntiAliasingOrFullCoverage)
{
  for (int quality : {NONANTIALIASED_QUALITY, DEFAULT_QUALITY, ANTIALIASED_QUALITY, CLEARTYPE_QUALITY})
  {
    Canvas c(200, 40);
    c.Use("DejaVu Sans", 20, FW_NORMAL, quality);
    RECT r{2, 2, 200, 40};
    DrawText(c.dc, "Brelix & co. ~/", -1, &r, DT_NOPREFIX);
    int partial = 0, full = 0;
    for (int i = 0; i < c.w * c.h; ++i)
    {
      const unsigned int p = c.Bits()[i];
      if (p == 0xFFFFFFFF) ++full;
      else if (p != 0) ++partial;
    }
    EXPECT_GT(full, 50) << quality;
    if (quality == NONANTIALIASED_QUALITY)
      EXPECT_EQ(partial, 0);
    else
      EXPECT_GT(partial, full / 4) << quality;
  }
}

TEST_F(TextTest, BlendsColourByCoverageAndWritesOpaqueAlpha)
{
  // White on black gives each pixel's coverage; red over grey must follow the rounding rule.
  Canvas mask(160, 30), c(160, 30);
  mask.Use("DejaVu Sans", 18);
  c.Use("DejaVu Sans", 18);
  const unsigned int grey = 0x00406080;
  c.Fill(grey);
  SetTextColor(c.dc, RGB(255, 16, 0));  // COLORREF order: red in the low byte
  RECT r{1, 1, 160, 30};
  DrawText(mask.dc, "Saturation", -1, &r, 0);
  DrawText(c.dc, "Saturation", -1, &r, 0);
  int drawn = 0;
  for (int i = 0; i < c.w * c.h; ++i)
  {
    const unsigned int cov = mask.Bits()[i] & 0xFF, got = c.Bits()[i];
    if (cov == 0)
    {
      ASSERT_EQ(got, grey) << "untouched pixel keeps its value, alpha included";
      continue;
    }
    ++drawn;
    ASSERT_EQ(mask.Bits()[i], 0xFF000000u | cov * 0x010101u);
    auto mix = [cov](unsigned int d, unsigned int s) { return (d * (255 - cov) + s * cov + 127) / 255; };
    const unsigned int expected = 0xFF000000u | mix(0x40, 255) << 16 | mix(0x60, 16) << 8 | mix(0x80, 0);
    ASSERT_EQ(got, expected) << "coverage " << cov;
  }
  EXPECT_GT(drawn, 100);
}

TEST_F(TextTest, OpaqueModeFillsEachLineBoxWithTheBackground)
{
  Canvas c(200, 60);
  c.Use("DejaVu Sans", 16);
  SetBkMode(c.dc, OPAQUE);
  SetBkColor(c.dc, RGB(0x10, 0x20, 0x30));
  RECT r{0, 0, 200, 60};
  EXPECT_EQ(DrawText(c.dc, "Mix\nOutput level", -1, &r, 0), 32);
  const int first = Width(Measure(c.dc, "Mix"));
  EXPECT_EQ(c.At(0, 0), 0xFF102030u);
  EXPECT_EQ(c.At(first - 1, 15), 0xFF102030u);
  EXPECT_EQ(c.At(first + 2, 8), 0u) << "only the line's own box is filled";
  EXPECT_EQ(c.At(first + 2, 16), 0xFF102030u);
  EXPECT_EQ(c.At(0, 32), 0u);

  EXPECT_EQ(SetBkMode(c.dc, TRANSPARENT), OPAQUE);
  EXPECT_EQ(SetBkMode(c.dc, 7), 0) << "unknown modes are refused";
  c.Fill(0);
  DrawText(c.dc, "Mix", -1, &r, 0);
  for (int i = 0; i < c.w * c.h; ++i)
    ASSERT_TRUE(c.Bits()[i] == 0 || (c.Bits()[i] & 0xFFFFFF) != 0x102030);
}

TEST_F(TextTest, QuarterTurnsRotateThePixelsExactly)
{
  // Unclipped, with a margin of 10 pixels: ink beyond the text box must turn too.
  Canvas flat(100, 60);
  flat.Use("DejaVu Sans", 20);
  RECT r{10, 10, 100, 60};
  DrawText(flat.dc, "Rotate", -1, &r, DT_NOCLIP);
  const int w = Width(Measure(flat.dc, "Rotate")), h = 20;
  ASSERT_LE(w, 80);

  for (int turns : {1, 2, 3})
  {
    Canvas c(100, 100);
    c.Use("DejaVu Sans", 20, FW_NORMAL, DEFAULT_QUALITY, turns * 900);
    const RECT box = Measure(c.dc, "Rotate");
    const bool sideways = turns != 2;
    EXPECT_EQ(Width(box), sideways ? h : w) << turns;
    EXPECT_EQ(Height(box), sideways ? w : h) << turns;
    RECT rr{10, 10, 100, 100};
    EXPECT_EQ(DrawText(c.dc, "Rotate", -1, &rr, DT_NOCLIP), Height(box));
    int mismatches = 0;
    for (int y = -10; y < h + 10; ++y)
      for (int x = -10; x < w + 10; ++x)
      {
        int tx = x, ty = y;  // where the unturned pixel lands
        if (turns == 1) tx = y, ty = w - 1 - x;
        if (turns == 2) tx = w - 1 - x, ty = h - 1 - y;
        if (turns == 3) tx = h - 1 - y, ty = x;
        const int a = flat.At(10 + x, 10 + y) & 0xFF, b = c.At(10 + tx, 10 + ty) & 0xFF;
        mismatches += a != b;
      }
    EXPECT_EQ(mismatches, 0) << turns * 90 << " degrees";
    EXPECT_EQ(c.Count(), flat.Count()) << turns * 90 << " degrees";
  }
}

TEST_F(TextTest, RotatedTextIsAlignedByItsTurnedBox)
{
  Canvas c(100, 200);
  c.Use("DejaVu Sans", 20, FW_NORMAL, DEFAULT_QUALITY, 2700);
  const RECT box = Measure(c.dc, "Down");
  ASSERT_EQ(Width(box), 20);
  const RECT placed = PlacedBox(c, "Down", {0, 0, 100, 200}, DT_CENTER | DT_BOTTOM);
  EXPECT_TRUE(Is(placed, {40, 200 - Height(box), 60, 200}));
  // 270 degrees reads top to bottom: the glyphs' tops face right.
  c.Fill(0);
  RECT r{0, 0, 100, 200};
  DrawText(c.dc, "T", -1, &r, DT_NOPREFIX);
  const RECT ink = c.Changed();
  int right = 0, left = 0;
  for (int y = ink.top; y < ink.bottom; ++y)
  {
    right += c.At(ink.right - 1, y) != 0;
    left += c.At(ink.left, y) != 0;
  }
  EXPECT_GT(right, left) << "the bar of the T lies on the right";
}
