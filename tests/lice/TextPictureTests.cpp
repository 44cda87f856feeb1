// Cached-font text pictures against committed references (ref/text_*.png). FreeType's rendering
// may move a level here and there between versions, so channels may differ by a few levels.
#include "TextTestSupport.h"

using namespace lice_text_test;

namespace
{
constexpr int kTolerance = 3;
constexpr LICE_pixel kBackground = 0xFF202830;

void Label(LICE_IBitmap* bmp, LICE_CachedFont* font, const char* text, int x, int y, int w, int h,
           unsigned int fmt = 0)
{
  RECT r{x, y, x + w, y + h};
  EXPECT_GT(font->DrawText(bmp, text, -1, &r, fmt), 0) << text;
}
}  // namespace

TEST_F(TextTest, PictureSizesQualitiesAndWeights)
{
  LICE_MemBitmap bmp(420, 250);
  LICE_Clear(&bmp, kBackground);
  int y = 4;
  for (int size : {9, 12, 16, 24})
  {
    auto aa = MakeCached(size);
    auto mono = MakeCached(size, 0, "DejaVu Sans", FW_NORMAL, NONANTIALIASED_QUALITY);
    auto bold = MakeCached(size, 0, "DejaVu Sans", FW_BOLD);
    bold->SetTextColor(0xFFFFD040);
    Label(&bmp, aa.get(), "Drive 12.5 dB", 4, y, 140, size);
    Label(&bmp, mono.get(), "Drive 12.5 dB", 144, y, 140, size);
    Label(&bmp, bold.get(), "Gain \xC3\xA9\xE2\x82\xAC", 284, y, 136, size);
    y += size + 6;
  }
  // Monospace stand-in for a face that has none here, centred, at half alpha, and in add mode.
  auto mono = MakeCached(14, 0, "Monaco");
  Label(&bmp, mono.get(), "Monaco 0123", 0, y, 420, 16, DT_CENTER);
  auto half = MakeCached(18);
  half->SetCombineMode(LICE_BLIT_MODE_COPY, 0.5f);
  Label(&bmp, half.get(), "half alpha", 4, y + 20, 200, 20);
  auto add = MakeCached(18);
  add->SetTextColor(0xFF804020);
  add->SetCombineMode(LICE_BLIT_MODE_ADD, 1.0f);
  Label(&bmp, add.get(), "add mode", 210, y + 20, 200, 20, DT_RIGHT);
  EXPECT_TRUE(lice_test::MatchesReference(&bmp, "text_sizes", kTolerance));
}

TEST_F(TextTest, PictureVerticalText)
{
  LICE_MemBitmap bmp(160, 130);
  LICE_Clear(&bmp, kBackground);
  auto down = MakeCached(16, LICE_FONT_FLAG_VERTICAL);
  auto up = MakeCached(16, LICE_FONT_FLAG_VERTICAL | LICE_FONT_FLAG_VERTICAL_BOTTOMUP);
  up->SetTextColor(0xFF80E0FF);
  auto across = MakeCached(16);
  Label(&bmp, down.get(), "Vertical", 4, 4, 24, 122);
  Label(&bmp, up.get(), "Upwards", 30, 4, 24, 122, DT_BOTTOM);
  Label(&bmp, down.get(), "Mid", 56, 4, 24, 122, DT_VCENTER);
  Label(&bmp, across.get(), "Across", 84, 4, 72, 20);
  LICE_FillRect(&bmp, 4, 126, 150, 1, 0xFF606060);  // rectangles' bottom edge
  EXPECT_TRUE(lice_test::MatchesReference(&bmp, "text_vertical", kTolerance));
}

TEST_F(TextTest, PictureEffects)
{
  struct Fx
  {
    int flags;
    const char* name;
  };
  const Fx effects[] = {{0, "plain"},
                        {LICE_FONT_FLAG_FX_BLUR, "blur"},
                        {LICE_FONT_FLAG_FX_INVERT, "invert"},
                        {LICE_FONT_FLAG_FX_MONO, "mono"},
                        {LICE_FONT_FLAG_FX_SHADOW, "shadow"},
                        {LICE_FONT_FLAG_FX_OUTLINE, "outline"},
                        {LICE_FONT_FLAG_FX_OUTLINE | LICE_FONT_FLAG_VERTICAL, "vo"}};
  LICE_MemBitmap bmp(330, 190);
  LICE_Clear(&bmp, kBackground);
  int y = 4;
  for (const Fx& fx : effects)
  {
    auto font = MakeCached(20, fx.flags, "DejaVu Sans", FW_BOLD);
    font->SetTextColor(0xFFF0F0F0);
    font->SetEffectColor(0xFFE03020);
    if (fx.flags & LICE_FONT_FLAG_VERTICAL)
      Label(&bmp, font.get(), fx.name, 290, 4, 30, 180);
    else
    {
      Label(&bmp, font.get(), fx.name, 4, y, 130, 24);
      font->SetBkMode(1);
      font->SetBkColor(0xFF304060);
      Label(&bmp, font.get(), "Ag", 140, y, 60, 24);
      y += 26;
    }
  }
  EXPECT_TRUE(lice_test::MatchesReference(&bmp, "text_effects", kTolerance));
}
