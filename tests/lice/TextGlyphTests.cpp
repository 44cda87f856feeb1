// Cached-font text: glyph masks and their effects, the blend loops against the reference, the
// alpha rules and native drawing.
#include "TextTestSupport.h"
#include "lice_text_detail.h"

#include <random>
#include <vector>

using namespace lice_text_test;
using lice_text::GlyphMask;

namespace
{
// A 9 x 5 coverage with one ink pixel at (4, 2) and a faint one at (6, 1), rendered 2 right of the origin.
std::vector<unsigned char> Dot()
{
  std::vector<unsigned char> c(9 * 5, 0);
  c[2 * 9 + 4] = 200;
  c[1 * 9 + 6] = 100;
  return c;
}

std::vector<unsigned char> Rows(std::initializer_list<const char*> rows)
{
  std::vector<unsigned char> out;
  for (const char* r : rows)
    for (const char* p = r; *p; ++p) out.push_back(*p == '#' ? 255 : *p == 'o' ? 128 : 0);
  return out;
}
}  // namespace

TEST(TextGlyphMask, TrimsColumnsAndKeepsRows)
{
  const std::vector<unsigned char> dot = Dot();
  GlyphMask m;
  lice_text::BuildGlyphMask(dot.data(), 9, 5, 2, 0, m);
  ASSERT_EQ(m.width, 3);  // columns 4..6
  ASSERT_EQ(m.height, 5);
  EXPECT_EQ(m.leftExtent, 2 - 4);
  EXPECT_EQ(m.bytes[2 * 3 + 0], 200);
  EXPECT_EQ(m.bytes[1 * 3 + 2], 100);
  std::vector<unsigned char> empty(9 * 5, 0);
  lice_text::BuildGlyphMask(empty.data(), 9, 5, 2, 0, m);
  EXPECT_EQ(m.width, 0);
  EXPECT_TRUE(m.bytes.empty());
}

TEST(TextGlyphMask, MonochromeThresholdsAt130)
{
  std::vector<unsigned char> c{130, 131, 0, 255, 1};
  GlyphMask m;
  lice_text::BuildGlyphMask(c.data(), 5, 1, 2, LICE_FONT_FLAG_FX_MONO, m);
  EXPECT_EQ(m.bytes, (std::vector<unsigned char>{0, 255, 0, 255, 0}));
}

TEST(TextGlyphMask, ShadowFallsRightAndDownOutlineSurrounds)
{
  const std::vector<unsigned char> dot = Dot();
  GlyphMask m;
  // The faint pixel is dropped by the threshold; a column is kept each side for the effect.
  lice_text::BuildGlyphMask(dot.data(), 9, 5, 2, LICE_FONT_FLAG_FX_SHADOW, m);
  EXPECT_EQ(m.width, 5);
  EXPECT_EQ(m.leftExtent, 2 - 3);
  EXPECT_EQ(m.bytes, Rows({".....", ".....", ".#o..", ".oo..", "....."}));
  lice_text::BuildGlyphMask(dot.data(), 9, 5, 2, LICE_FONT_FLAG_FX_OUTLINE, m);
  EXPECT_EQ(m.bytes, Rows({".....", ".o...", "o#o..", ".o...", "....."}));
  // Ink in the first column still gets its outline on the left.
  std::vector<unsigned char> edge(4 * 3, 0);
  edge[1 * 4 + 0] = 255;
  lice_text::BuildGlyphMask(edge.data(), 4, 3, 0, LICE_FONT_FLAG_FX_OUTLINE, m);
  EXPECT_EQ(m.bytes, Rows({"o.", "#o", "o."}));  // no column left of column 0 to keep
}

TEST(TextGlyphMask, VerticalFontsTurnTheMask)
{
  // An L: column 0 full, bottom row full (3 wide, 3 high, after trimming 3 columns).
  const std::vector<unsigned char> l = Rows({"#..", "#..", "###"});
  GlyphMask m;
  lice_text::BuildGlyphMask(l.data(), 3, 3, 0, LICE_FONT_FLAG_VERTICAL, m);
  EXPECT_EQ(m.bytes, Rows({"###", "#..", "#.."}));  // turned clockwise
  lice_text::BuildGlyphMask(l.data(), 3, 3, 0, LICE_FONT_FLAG_VERTICAL | LICE_FONT_FLAG_VERTICAL_BOTTOMUP, m);
  EXPECT_EQ(m.bytes, Rows({"..#", "..#", "###"}));  // counter-clockwise
  const std::vector<unsigned char> bar = Rows({".##.", "...."});
  lice_text::BuildGlyphMask(bar.data(), 4, 2, 1, LICE_FONT_FLAG_VERTICAL, m);
  EXPECT_EQ(m.width, 2);
  EXPECT_EQ(m.height, 2);
  EXPECT_EQ(m.leftExtent, 0);
  EXPECT_EQ(m.bytes, Rows({".#", ".#"}));
}

TEST(TextGlyphBlend, EveryRendererAndModeMatchesTheReference)
{
  std::mt19937 rng(1234);
  const int mw = 13, mh = 9;
  std::vector<unsigned char> mask(mw * mh);
  for (unsigned char& b : mask)
  {
    const int k = (int)(rng() % 5);
    b = k == 0 ? 0 : k == 1 ? 255 : k == 2 ? 128 : (unsigned char)(rng() % 256);
  }
  const lice_text::GlyphRenderer renderers[] = {lice_text::GlyphRenderer::Normal, lice_text::GlyphRenderer::Mono,
                                                lice_text::GlyphRenderer::Effect};
  for (bool flipped : {false, true})
    for (auto renderer : renderers)
      for (int mode : {0, 1, 2, 3, 4, 5, 0x10000, 0x10001})
        for (float alpha : {1.0f, 0.5f, 0.37f, 1.6f, 0.0f})
          for (RECT part : {RECT{0, 0, mw, mh}, RECT{2, 3, 11, 7}})
            for (int x : {-4, 3, 14})
            {
              lice_test::FlippedBitmap fa(20, 14), fb(20, 14);
              LICE_MemBitmap ma(20, 14), mb(20, 14);
              LICE_IBitmap* a = flipped ? (LICE_IBitmap*)&fa : &ma;
              LICE_IBitmap* b = flipped ? (LICE_IBitmap*)&fb : &mb;
              std::mt19937 fill(77);
              for (int i = 0; i < 20 * 14; ++i) a->getBits()[i] = b->getBits()[i] = fill();
              lice_text::GlyphPaint paint;
              paint.text = 0x80F0A020;
              paint.effect = 0xFF3060C0;
              paint.alpha = alpha;
              paint.mode = mode;
              paint.renderer = renderer;
              lice_text::BlendGlyph(a, x, -2, mask.data(), mw, part, paint);
              lice_text::BlendGlyphReference(b, x, -2, mask.data(), mw, part, paint);
              ASSERT_TRUE(SamePixels(a, b)) << "renderer " << (int)renderer << " mode " << mode << " alpha " << alpha
                                            << " x " << x << " flipped " << flipped;
            }
}

TEST(TextGlyphBlend, WeightsAndColours)
{
  const std::vector<unsigned char> mask{0, 64, 128, 255};
  LICE_MemBitmap bmp(4, 1);
  auto run = [&](lice_text::GlyphRenderer renderer, float alpha) {
    for (int i = 0; i < 4; ++i) bmp.getBits()[i] = 0x00000000;
    lice_text::GlyphPaint paint;
    paint.text = 0xFFFFFFFF;
    paint.effect = 0xFF0000FF;
    paint.alpha = alpha;
    paint.renderer = renderer;
    lice_text::BlendGlyph(&bmp, 0, 0, mask.data(), 4, RECT{0, 0, 4, 1}, paint);
  };
  run(lice_text::GlyphRenderer::Normal, 1.0f);
  EXPECT_EQ(bmp.getBits()[0], 0x00000000u);  // coverage 0 untouched
  EXPECT_EQ(bmp.getBits()[1], 0x41414141u);  // weight 65: 255 - 255 * 191 / 256 = 65
  EXPECT_EQ(bmp.getBits()[3], 0xFFFFFFFFu);
  run(lice_text::GlyphRenderer::Normal, 0.5f);
  EXPECT_EQ(bmp.getBits()[3], 0x7F7F7F7Fu);  // weight 128 * 255 / 256 = 127
  run(lice_text::GlyphRenderer::Mono, 1.0f);
  EXPECT_EQ(bmp.getBits()[1], 0xFFFFFFFFu);
  run(lice_text::GlyphRenderer::Effect, 1.0f);
  EXPECT_EQ(bmp.getBits()[2], 0xFF0000FFu);
  EXPECT_EQ(bmp.getBits()[3], 0xFFFFFFFFu);
}

TEST_F(TextTest, TextColourAlphaRule)
{
  auto font = MakeCached(16);
  RECT r{2, 2, 80, 24};
  LICE_MemBitmap half(80, 24), ref(80, 24), none(80, 24);
  for (LICE_MemBitmap* b : {&half, &ref, &none}) LICE_Clear(b, 0xFF000000);
  font->SetTextColor(0x80FFFFFF);
  EXPECT_EQ(font->DrawText(&half, "Drive", -1, &r, LICE_DT_USEFGALPHA), 16);
  font->SetTextColor(0xFFFFFFFF);
  font->SetCombineMode(0, 128.0f / 255.0f);
  font->DrawText(&ref, "Drive", -1, &r, 0);
  EXPECT_TRUE(SamePixels(&half, &ref));
  int brightest = 0;
  for (int i = 0; i < 80 * 24; ++i) brightest = std::max(brightest, (int)LICE_GETG(half.getBits()[i]));
  EXPECT_EQ(brightest, 127);
  font->SetCombineMode(0, 1.0f);
  font->SetTextColor(0x00FFFFFF);
  EXPECT_EQ(font->DrawText(&none, "Drive", -1, &r, LICE_DT_USEFGALPHA), 0);
  EXPECT_EQ(CountChanged(&none, 0xFF000000), 0);
  font->SetCombineMode(0, 0.0f);
  EXPECT_EQ(font->DrawText(&none, "Drive", -1, &r, 0), 0);
  EXPECT_EQ(CountChanged(&none, 0xFF000000), 0);
}

TEST_F(TextTest, NativeDrawingAndTheNeedAlphaFlag)
{
  auto native = MakeCached(15, LICE_FONT_FLAG_FORCE_NATIVE);
  auto cached = MakeCached(15);
  // Text the colour of the background in add mode: natively (a plain copy) nothing changes,
  // through the cache (add) it brightens.
  for (LICE_CachedFont* f : {native.get(), cached.get()})
  {
    f->SetTextColor(0xFF404040);
    f->SetCombineMode(LICE_BLIT_MODE_ADD, 1.0f);
  }
  LICE_SysBitmap sys(90, 24);
  RECT r{1, 1, 90, 24};
  LICE_Clear(&sys, 0xFF404040);
  EXPECT_EQ(native->DrawText(&sys, "Output", -1, &r, 0), 15);
  EXPECT_EQ(CountChanged(&sys, 0xFF404040), 0);
  native->DrawText(&sys, "Output", -1, &r, LICE_DT_NEEDALPHA);
  const int added = CountChanged(&sys, 0xFF404040);
  EXPECT_GT(added, 30);
  LICE_Clear(&sys, 0xFF404040);
  cached->DrawText(&sys, "Output", -1, &r, 0);
  EXPECT_EQ(CountChanged(&sys, 0xFF404040), added);
}

TEST_F(TextTest, NativeIntoMemoryBitmapsMatchesTheContextAndTheCache)
{
  auto native = MakeCached(17, LICE_FONT_FLAG_FORCE_NATIVE);
  auto cached = MakeCached(17);
  const char* text = "Brelix gain (dB) & tone";
  for (unsigned int fmt : {0u, (unsigned)DT_CENTER, (unsigned)(DT_RIGHT | DT_BOTTOM), (unsigned)DT_VCENTER})
  {
    LICE_SysBitmap sys(220, 40);
    LICE_MemBitmap mem(220, 40), viaCache(220, 40);
    lice_test::FlippedBitmap flipped(220, 40);
    for (LICE_IBitmap* b : {(LICE_IBitmap*)&sys, (LICE_IBitmap*)&mem, (LICE_IBitmap*)&viaCache, (LICE_IBitmap*)&flipped})
      LICE_Clear(b, 0xFF102030);
    RECT r{4, 3, 216, 38};
    RECT r2 = r, r3 = r, r4 = r;
    const int a = native->DrawText(&sys, text, -1, &r, fmt);
    EXPECT_EQ(native->DrawText(&mem, text, -1, &r2, fmt), a);
    EXPECT_EQ(native->DrawText(&flipped, text, -1, &r4, fmt), a);
    EXPECT_EQ(cached->DrawText(&viaCache, text, -1, &r3, fmt), a);
    EXPECT_GT(CountChanged(&sys, 0xFF102030), 100);
    EXPECT_TRUE(SamePixels(&sys, &mem)) << fmt;
    EXPECT_TRUE(SamePixels(&sys, &flipped)) << fmt;
    // The cache blends with its own weights: a level or two apart, at the same places.
    int worst = 0;
    for (int y = 0; y < 40; ++y)
      for (int x = 0; x < 220; ++x)
      {
        const LICE_pixel p = lice_test::PixelAt(&sys, x, y), q = lice_test::PixelAt(&viaCache, x, y);
        for (int s = 0; s < 32; s += 8) worst = std::max(worst, std::abs((int)((p >> s) & 255) - (int)((q >> s) & 255)));
      }
    EXPECT_LE(worst, 2) << fmt;
  }
  // Measuring natively without a bitmap.
  int w, h, cw, ch;
  Measure(native.get(), text, 0, &w, &h);
  Measure(cached.get(), text, 0, &cw, &ch);
  EXPECT_EQ(h, ch);
  EXPECT_NEAR(w, cw, 2);
}

TEST_F(TextTest, OpaqueBackgroundFillsEachGlyphCell)
{
  auto font = MakeCached(14);
  font->SetBkMode(1);
  EXPECT_EQ(font->SetBkColor(0xFF0000FF), 0xFFFFFFFFu);
  font->SetTextColor(0xFFFFFFFF);
  LICE_MemBitmap bmp(60, 20);
  LICE_Clear(&bmp, 0xFF000000);
  RECT r{2, 2, 60, 20};
  font->DrawText(&bmp, "Mix", -1, &r, 0);
  const RECT ink = Changed(&bmp, 0xFF000000);
  EXPECT_EQ(ink.top, 2);
  EXPECT_EQ(ink.bottom, 2 + font->GetLineHeight());
  EXPECT_GT(CountChanged(&bmp, 0xFF000000), (ink.right - ink.left) * (ink.bottom - ink.top) * 3 / 4);
}
