// Rendered strings compared with committed reference pictures (ref/*.png).

#include "SwellTestSupport.h"

using namespace swelltest;

namespace
{

constexpr int kTolerance = 8;  // per channel: room for FreeType rounding changes, not for shifts

void Draw(Canvas& c, const char* face, int height, int weight, int quality, int escapement,
          int italic, COLORREF colour, RECT r, const char* text, unsigned int fmt = 0,
          COLORREF background = 0, int mode = TRANSPARENT)
{
  ASSERT_NE(c.Use(face, height, weight, quality, escapement, italic), nullptr) << face;
  SetTextColor(c.dc, colour);
  SetBkColor(c.dc, background);
  SetBkMode(c.dc, mode);
  DrawText(c.dc, text, -1, &r, fmt);
}

}  // namespace

class PictureTest : public SwellTest
{
};

TEST_F(PictureTest, SizesQualitiesAndStyles)
{
  Canvas c(320, 200);
  c.Fill(0xFF202428);
  Draw(c, "DejaVu Sans", 10, FW_NORMAL, DEFAULT_QUALITY, 0, 0, RGB(255, 255, 255), {4, 4, 316, 20},
       "Sans 10: Input gain -12.5 dB");
  Draw(c, "DejaVu Sans", 14, FW_NORMAL, NONANTIALIASED_QUALITY, 0, 0, RGB(255, 255, 255),
       {4, 20, 316, 40}, "Sans 14, not anti-aliased");
  Draw(c, "DejaVu Sans", 14, FW_NORMAL, ANTIALIASED_QUALITY, 0, 0, RGB(255, 255, 255),
       {4, 38, 316, 58}, "Sans 14, anti-aliased");
  Draw(c, "Helvetica", 20, FW_BOLD, DEFAULT_QUALITY, 0, 0, RGB(255, 170, 40), {4, 58, 316, 84},
       "Bold 20 \xE2\x80\x94 Drive");
  Draw(c, "Monaco", 16, FW_NORMAL, DEFAULT_QUALITY, 0, 1, RGB(120, 220, 255), {4, 86, 316, 106},
       "Monaco italic 0123");
  Draw(c, "Times", 24, FW_NORMAL, DEFAULT_QUALITY, 0, 0, RGB(230, 230, 230), {4, 108, 316, 138},
       "Serif 24 \xC3\xA9\xC3\xA0\xC3\xBC");
  Draw(c, "DejaVu Sans", 16, FW_NORMAL, DEFAULT_QUALITY, 0, 0, RGB(255, 255, 255), {4, 140, 316, 196},
       "&Opaque, centred\nsecond line", DT_CENTER | DT_VCENTER, RGB(40, 70, 160), OPAQUE);
  EXPECT_TRUE(MatchesReference(c, "swell_styles", kTolerance));
}

TEST_F(PictureTest, QuarterTurns)
{
  Canvas c(200, 160);
  c.Fill(0xFF202428);
  Draw(c, "DejaVu Sans", 18, FW_NORMAL, DEFAULT_QUALITY, 900, 0, RGB(255, 255, 255), {4, 4, 40, 156},
       "Up 90\xC2\xB0", DT_VCENTER);
  Draw(c, "DejaVu Sans", 18, FW_BOLD, DEFAULT_QUALITY, 2700, 0, RGB(255, 200, 60), {160, 4, 196, 156},
       "Down 270\xC2\xB0", DT_RIGHT | DT_VCENTER);
  Draw(c, "DejaVu Sans Mono", 16, FW_NORMAL, NONANTIALIASED_QUALITY, 1800, 0, RGB(140, 255, 140),
       {44, 4, 156, 40}, "Upside 180", DT_CENTER, RGB(90, 30, 30), OPAQUE);
  Draw(c, "DejaVu Serif", 20, FW_NORMAL, DEFAULT_QUALITY, 0, 0, RGB(255, 255, 255), {44, 60, 156, 156},
       "Flat 0\xC2\xB0", DT_CENTER | DT_VCENTER);
  EXPECT_TRUE(MatchesReference(c, "swell_turns", kTolerance));
}
