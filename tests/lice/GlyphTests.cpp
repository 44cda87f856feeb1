#include "LiceTestSupport.h"
#include "lice_shape_ops.h"

#include <gtest/gtest.h>

#include <climits>
#include <random>
#include <vector>

using lice_test::FlippedBitmap;
using lice_test::GuardedBitmap;
using lice_test::PixelAt;

namespace
{
bool SamePicture(LICE_IBitmap* a, LICE_IBitmap* b)
{
  for (int y = 0; y < a->getHeight(); ++y)
    for (int x = 0; x < a->getWidth(); ++x)
      if (PixelAt(a, x, y) != PixelAt(b, x, y)) return false;
  return true;
}
}  // namespace

TEST(Glyph, WeightsAreCoveragePlusOneAtFullAlphaAndScaledOtherwise)
{
  // Opaque black under white whose own alpha (0) is not used; the pixel's alpha moves to 255.
  const unsigned char mask[4] = {0, 127, 255, 1};
  LICE_MemBitmap bm(4, 1);
  LICE_Clear(&bm, 0x80000000u);
  LICE_DrawGlyph(&bm, 0, 0, 0x00FFFFFFu, mask, 4, 1, 1.0f, 0);
  EXPECT_EQ(LICE_GetPixel(&bm, 0, 0), 0x80000000u);  // coverage 0: untouched
  EXPECT_EQ(LICE_GetPixel(&bm, 1, 0), 0xC0808080u);  // w 128: 255 - 127, alpha 255 - 63
  EXPECT_EQ(LICE_GetPixel(&bm, 2, 0), 0xFFFFFFFFu);  // w 256
  EXPECT_EQ(LICE_GetPixel(&bm, 3, 0), 0x81020202u);  // w 2: 255 - 253
  LICE_Clear(&bm, 0xFF000000u);
  LICE_DrawGlyph(&bm, 0, 0, 0x00FFFFFFu, mask, 4, 1, 0.5f, 0);
  EXPECT_EQ(LICE_GetPixel(&bm, 1, 0), 0xFF3F3F3Fu);  // w = 128 * 127 / 256 = 63
  EXPECT_EQ(LICE_GetPixel(&bm, 2, 0), 0xFF7F7F7Fu);  // w 127
  EXPECT_EQ(LICE_GetPixel(&bm, 3, 0), 0xFF000000u);  // w 0: untouched
  LICE_Clear(&bm, 0xFF000000u);
  LICE_DrawGlyph(&bm, 0, 0, 0x00FFFFFFu, mask, 4, 1, 3.0f, 0);
  EXPECT_EQ(LICE_GetPixel(&bm, 1, 0), 0xFFFFFFFFu);  // min(768 * 127 / 256, 256)
  LICE_Clear(&bm, LICE_RGBA(200, 0, 0, 255));
  LICE_DrawGlyph(&bm, 0, 0, LICE_RGBA(100, 0, 0, 0), mask, 4, 1, 1.0f, LICE_BLIT_MODE_ADD);
  EXPECT_EQ(LICE_GetPixel(&bm, 2, 0), LICE_RGBA(255, 0, 0, 255));
  EXPECT_EQ(LICE_GetPixel(&bm, 1, 0), LICE_RGBA(250, 0, 0, 255));  // 200 + 100 * 128 / 256
  LICE_Clear(&bm, 0);
  for (float a : {0.0f, -1.0f, NAN}) LICE_DrawGlyph(&bm, 0, 0, 0xFFFFFFFFu, mask, 4, 1, a, 0);
  LICE_DrawGlyph(&bm, 0, 0, 0xFFFFFFFFu, mask, 4, 1, 1.0f, 0x77);  // no such mode
  EXPECT_EQ(LICE_GetPixel(&bm, 2, 0), 0u);
}

TEST(Glyph, NegativeSpanWalksRowsFromTheLastAndFlippedBitmapsShowTheSamePicture)
{
  const unsigned char mask[3 * 4] = {255, 0, 0, 0, 255, 0, 0, 0, 255, 255, 255, 255};
  LICE_MemBitmap down(5, 6), up(5, 6);
  FlippedBitmap flipped(5, 6), flippedUp(5, 6);
  for (LICE_IBitmap* bm : {(LICE_IBitmap*)&down, (LICE_IBitmap*)&up, (LICE_IBitmap*)&flipped,
                           (LICE_IBitmap*)&flippedUp})
    LICE_Clear(bm, 0);
  LICE_DrawGlyphEx(&down, 1, 1, 0xFFFFFFFFu, mask, 3, 3, 4, 1.0f, 0);
  LICE_DrawGlyphEx(&up, 1, 1, 0xFFFFFFFFu, mask, 3, -3, 4, 1.0f, 0);
  LICE_DrawGlyphEx(&flipped, 1, 1, 0xFFFFFFFFu, mask, 3, 3, 4, 1.0f, 0);
  LICE_DrawGlyphEx(&flippedUp, 1, 1, 0xFFFFFFFFu, mask, 3, -3, 4, 1.0f, 0);
  for (int i = 0; i < 3; ++i)
  {
    EXPECT_EQ(PixelAt(&down, 1 + i, 1 + i), 0xFFFFFFFFu);
    EXPECT_EQ(PixelAt(&down, 1 + i, 4), 0xFFFFFFFFu);
    EXPECT_EQ(PixelAt(&up, 1 + i, 1), 0xFFFFFFFFu);  // the last mask row first
    EXPECT_EQ(PixelAt(&up, 3 - i, 2 + i), 0xFFFFFFFFu);
  }
  EXPECT_EQ(PixelAt(&down, 2, 1), 0u);
  EXPECT_TRUE(SamePicture(&down, &flipped));
  EXPECT_TRUE(SamePicture(&up, &flippedUp));
  EXPECT_EQ(flipped.getBits()[4 * flipped.getRowSpan() + 1], 0xFFFFFFFFu);  // picture row 1
}

TEST(Glyph, MonoBitsAreMostSignificantFirstWithARowStepInBytes)
{
  // 10 pixels wide, 2 bytes per row plus one spare: rows 1000000001 and 0110000000.
  const unsigned char bits[2 * 3] = {0x80, 0x40, 0xFF, 0x60, 0x00, 0xFF};
  LICE_MemBitmap bm(12, 3);
  LICE_Clear(&bm, 0);
  LICE_DrawMonoGlyph(&bm, 1, 0, 0x00FF0000u, bits, 10, 3, 2, 1.0f, 0);
  for (int x = 0; x < 12; ++x)
  {
    const bool row0 = x == 1 || x == 10, row1 = x == 2 || x == 3;
    EXPECT_EQ(LICE_GetPixel(&bm, x, 0), row0 ? 0xFFFF0000u : 0u) << x;
    EXPECT_EQ(LICE_GetPixel(&bm, x, 1), row1 ? 0xFFFF0000u : 0u) << x;
  }
  LICE_Clear(&bm, 0);
  LICE_DrawMonoGlyph(&bm, -1, 0, 0x00FF0000u, bits, 10, -3, 2, 1.0f, 0);
  EXPECT_EQ(LICE_GetPixel(&bm, 0, 0), 0xFFFF0000u);  // the second row, from its bit 1
  EXPECT_EQ(LICE_GetPixel(&bm, 2, 0), 0u);
  EXPECT_EQ(LICE_GetPixel(&bm, 8, 1), 0xFFFF0000u);  // the first row's last bit
}

// Each mode's own loop against the plain per-pixel blend, on random masks, positions partly
// outside, both row orders, upright and bottom-up bitmaps; mono masks against their bytes.
TEST(Glyph, SpecialisedLoopsMatchThePlainReference)
{
  std::mt19937 rng(1234);
  const float alphas[] = {1.0f, 0.5f, 0.3f, 1.7f, 1.0f / 256};
  for (int i = 0; i < 600; ++i)
  {
    const int gw = 1 + rng() % 13, gh = 1 + rng() % 11, pad = rng() % 3;
    const int span = (i & 1) ? -(gw + pad) : gw + pad;
    std::vector<unsigned char> mask((gw + pad) * gh);
    for (auto& m : mask) m = (rng() % 3 == 0) ? 0 : (rng() % 4 == 0 ? 255 : rng() & 255);
    const int x = (int)(rng() % 30) - 8, y = (int)(rng() % 26) - 8;
    const float alpha = alphas[rng() % 5];
    const int mode = rng() % 7;
    const LICE_pixel color = rng();
    const bool flip = i & 2;
    GuardedBitmap fast(17, 14, flip), ref(17, 14, flip);
    fast.fillRandom(i);
    ref.fillRandom(i);
    LICE_DrawGlyphEx(&fast, x, y, color, mask.data(), gw, span, gh, alpha, mode);
    lice_detail::DrawGlyphReference(&ref, x, y, color, mask.data(), gw, span, gh, alpha, mode);
    ASSERT_TRUE(SamePicture(&fast, &ref)) << "case " << i;

    const int bytes = (gw + 7) / 8 + pad;
    std::vector<unsigned char> bits(bytes * gh);
    for (auto& b : bits) b = rng();
    std::vector<unsigned char> expanded(gw * gh);
    for (int r = 0; r < gh; ++r)
      for (int c = 0; c < gw; ++c) expanded[r * gw + c] = (bits[r * bytes + c / 8] >> (7 - c % 8)) & 1 ? 255 : 0;
    fast.fillRandom(i + 1);
    ref.fillRandom(i + 1);
    LICE_DrawMonoGlyph(&fast, x, y, color, bits.data(), gw, (i & 1) ? -bytes : bytes, gh, alpha, mode);
    lice_detail::DrawGlyphReference(&ref, x, y, color, expanded.data(), gw, (i & 1) ? -gw : gw, gh, alpha, mode);
    ASSERT_TRUE(SamePicture(&fast, &ref)) << "mono case " << i;
    ASSERT_TRUE(fast.guardsIntact());
  }
}

TEST(Glyph, ExtremePositionsAndSizesStayInsideTheBitmap)
{
  std::vector<unsigned char> mask(64 * 64, 200);
  const int positions[] = {INT_MIN, INT_MIN + 5, -64, -63, -1, 0, 5, 9, 10, INT_MAX - 3, INT_MAX};
  for (bool flip : {false, true})
  {
    GuardedBitmap bm(10, 9, flip);
    for (int x : positions)
      for (int y : positions)
      {
        LICE_DrawGlyphEx(&bm, x, y, 0xFF00FF00u, mask.data(), 64, 64, 64, 0.8f, 1);
        LICE_DrawGlyphEx(&bm, x, y, 0xFF00FF00u, mask.data(), 64, -64, 64, 1.0f, 0);
        LICE_DrawMonoGlyph(&bm, x, y, 0xFF00FF00u, mask.data(), 64, 8, 64, 1.0f, 0);
        LICE_DrawGlyphEx(&bm, x, y, 0xFF00FF00u, mask.data(), -5, 64, 3, 1.0f, 0);
        LICE_DrawGlyphEx(&bm, x, y, 0xFF00FF00u, nullptr, 64, 64, 64, 1.0f, 0);
      }
    EXPECT_TRUE(bm.guardsIntact());
  }
}
