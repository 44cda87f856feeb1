#include "LiceTestSupport.h"
#include "lice_shape_ops.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstdint>
#include <cmath>
#include <random>
#include <set>
#include <utility>
#include <vector>

using lice_test::FlippedBitmap;
using lice_test::GuardedBitmap;

namespace
{
const LICE_pixel kWhite = 0xFFFFFFFFu, kBlack = 0xFF000000u;

std::set<std::pair<int, int>> Touched(LICE_IBitmap* bm, LICE_pixel background = 0)
{
  std::set<std::pair<int, int>> s;
  for (int y = 0; y < bm->getHeight(); ++y)
    for (int x = 0; x < bm->getWidth(); ++x)
      if (lice_test::PixelAt(bm, x, y) != background) s.insert({x, y});
  return s;
}

bool SameMemory(LICE_IBitmap* a, LICE_IBitmap* b)
{
  for (int y = 0; y < a->getHeight(); ++y)
    for (int x = 0; x < a->getWidth(); ++x)
      if (a->getBits()[y * a->getRowSpan() + x] != b->getBits()[y * b->getRowSpan() + x]) return false;
  return true;
}
}  // namespace

TEST(ClipLine, CohenSutherlandUsesWidthAndHeightInTheNumerators)
{
  int x1 = 0, y1 = 0, x2 = 10, y2 = 200;  // crosses the bottom: x = 100 * 10 / 200, y = 99
  ASSERT_TRUE(LICE_ClipLine(&x1, &y1, &x2, &y2, 0, 0, 100, 100));
  EXPECT_EQ(x2, 5);
  EXPECT_EQ(y2, 99);
  x1 = -10, y1 = 0, x2 = 10, y2 = 20;  // left edge: y = 20 * 10 / 20
  ASSERT_TRUE(LICE_ClipLine(&x1, &y1, &x2, &y2, 0, 0, 100, 100));
  EXPECT_EQ(x1, 0);
  EXPECT_EQ(y1, 10);
  x1 = 50, y1 = 50, x2 = 250, y2 = 60;  // right edge: y = 50 + 10 * 50 / 200 (truncated)
  ASSERT_TRUE(LICE_ClipLine(&x1, &y1, &x2, &y2, 0, 0, 100, 100));
  EXPECT_EQ(x2, 99);
  EXPECT_EQ(y2, 52);
  x1 = -5, y1 = -5, x2 = -1, y2 = 50;
  EXPECT_FALSE(LICE_ClipLine(&x1, &y1, &x2, &y2, 0, 0, 100, 100));
  x1 = INT_MIN, y1 = INT_MIN, x2 = INT_MAX, y2 = INT_MAX;  // far ends, no overflow
  ASSERT_TRUE(LICE_ClipLine(&x1, &y1, &x2, &y2, 0, 0, 100, 100));
  for (int v : {x1, y1, x2, y2}) EXPECT_TRUE(v >= 0 && v < 100) << v;
  EXPECT_FALSE(LICE_ClipLine(&x1, &y1, &x2, &y2, 5, 5, 5, 10));  // empty box
}

TEST(Line, EndpointsAreInclusiveAndClippedLinesKeepTheirPixels)
{
  LICE_MemBitmap bm(100, 100);
  LICE_Clear(&bm, 0);
  LICE_Line(&bm, 0, 0, 9, 0, kWhite, 1.0f, 0, false);
  std::set<std::pair<int, int>> expect;
  for (int x = 0; x <= 9; ++x) expect.insert({x, 0});
  EXPECT_EQ(Touched(&bm), expect);

  LICE_Clear(&bm, 0);
  LICE_Line(&bm, -10, 5, 10, 5, kWhite, 1.0f, 0, true);
  expect.clear();
  for (int x = 0; x <= 10; ++x) expect.insert({x, 5});
  EXPECT_EQ(Touched(&bm), expect);

  LICE_Clear(&bm, 0);
  LICE_Line(&bm, -10, -5, -1, 50, kWhite, 1.0f, 0, true);
  LICE_Line(&bm, 100, 0, 300, 99, kWhite, 1.0f, 0, false);
  EXPECT_TRUE(Touched(&bm).empty());
  LICE_Line(&bm, 7, 8, 7, 8, kWhite, 1.0f, 0, true);
  EXPECT_EQ(Touched(&bm), (std::set<std::pair<int, int>>{{7, 8}}));
}

TEST(Line, StraightLinesUseTheFastRulesOnlyAtExactAlphas)
{
  struct Case
  {
    float alpha;
    LICE_pixel straight, diagonal;  // white over opaque black
  };
  const Case cases[] = {
      {1.0f, kWhite, kWhite},
      {0.5f, 0xFE7F7F7Fu, 0xFE7F7F7Fu},       // half rule in both
      {0.25f, 0xFD3F3F3Fu, 0xFF404040u},      // quarter rule; diagonals blend: 255 - 191 = 64
      {0.75f, 0xFDBEBEBEu, 0xFFC0C0C0u},      // three quarters; blend: 255 - 63
      {0.2501f, 0xFF404040u, 0xFF404040u},    // w = 64 but not exactly 0.25: blend
  };
  for (const Case& c : cases)
  {
    LICE_MemBitmap bm(8, 8);
    LICE_Clear(&bm, kBlack);
    LICE_Line(&bm, 0, 0, 7, 0, kWhite, c.alpha, 0, false);
    LICE_Line(&bm, 0, 1, 0, 7, kWhite, c.alpha, 0, false);
    LICE_Line(&bm, 1, 1, 6, 6, kWhite, c.alpha, 0, false);
    EXPECT_EQ(LICE_GetPixel(&bm, 7, 0), c.straight) << c.alpha;
    EXPECT_EQ(LICE_GetPixel(&bm, 0, 7), c.straight) << c.alpha;
    EXPECT_EQ(LICE_GetPixel(&bm, 3, 3), c.diagonal) << c.alpha;
  }
  LICE_MemBitmap bm(4, 1);
  for (float alpha : {0.0f, -1.0f, NAN, 0.003f})
  {
    LICE_Clear(&bm, kBlack);
    LICE_Line(&bm, 0, 0, 3, 0, kWhite, alpha, 0, false);
    EXPECT_EQ(Touched(&bm, kBlack).size(), 0u) << alpha;
  }
  LICE_Clear(&bm, LICE_RGBA(200, 10, 0, 255));
  LICE_Line(&bm, 0, 0, 3, 0, LICE_RGBA(100, 20, 0, 255), 1.0f, LICE_BLIT_MODE_ADD, false);
  EXPECT_EQ(LICE_GetPixel(&bm, 2, 0), LICE_RGBA(255, 30, 0, 255));
}

TEST(Line, AntiAliasedWeightsSplitBetweenLineAndNeighbour)
{
  // (0,0)-(4,1): slope 0x4000; endpoints full, then weights 191/64 from both ends and the
  // middle pixel 255 - 128 = 127. White over 0: 255 - 255 * (256 - w) / 256 per channel.
  LICE_MemBitmap bm(6, 3);
  LICE_Clear(&bm, 0);
  LICE_Line(&bm, 0, 0, 4, 1, kWhite, 1.0f, 0, true);
  EXPECT_EQ(LICE_GetPixel(&bm, 0, 0), kWhite);
  EXPECT_EQ(LICE_GetPixel(&bm, 4, 1), kWhite);
  EXPECT_EQ(LICE_GetPixel(&bm, 1, 0), 0xBFBFBFBFu);
  EXPECT_EQ(LICE_GetPixel(&bm, 1, 1), 0x40404040u);
  EXPECT_EQ(LICE_GetPixel(&bm, 3, 1), 0xBFBFBFBFu);
  EXPECT_EQ(LICE_GetPixel(&bm, 3, 0), 0x40404040u);
  EXPECT_EQ(LICE_GetPixel(&bm, 2, 0), 0x7F7F7F7Fu);
  EXPECT_EQ(Touched(&bm).size(), 7u);

  // Exact diagonal at alpha 1: three quarters on it, a quarter beside it in x and in y, nothing
  // beyond the last pixel.
  LICE_MemBitmap d(5, 5);
  LICE_Clear(&d, kBlack);
  LICE_Line(&d, 0, 0, 2, 2, kWhite, 1.0f, 0, true);
  for (int i = 0; i <= 2; ++i) EXPECT_EQ(LICE_GetPixel(&d, i, i), 0xFDBEBEBEu);
  EXPECT_EQ(LICE_GetPixel(&d, 1, 0), 0xFD3F3F3Fu);
  EXPECT_EQ(LICE_GetPixel(&d, 0, 1), 0xFD3F3F3Fu);
  EXPECT_EQ(LICE_GetPixel(&d, 3, 2), kBlack);
  EXPECT_EQ(LICE_GetPixel(&d, 2, 3), kBlack);
  EXPECT_EQ(Touched(&d, kBlack).size(), 7u);
}

TEST(Line, ALineAndItsReverseGiveTheSamePixels)
{
  std::mt19937 rng(7);
  std::uniform_int_distribution<int> coord(-20, 60);
  LICE_MemBitmap a(40, 40), b(40, 40);
  for (int i = 0; i < 400; ++i)
  {
    const int x1 = coord(rng), y1 = coord(rng), x2 = coord(rng), y2 = coord(rng);
    const bool aa = i & 1;
    const float alpha = (i & 2) ? 1.0f : 0.6f;
    LICE_Clear(&a, kBlack);
    LICE_Clear(&b, kBlack);
    LICE_Line(&a, x1, y1, x2, y2, kWhite, alpha, 0, aa);
    LICE_Line(&b, x2, y2, x1, y1, kWhite, alpha, 0, aa);
    ASSERT_TRUE(SameMemory(&a, &b)) << x1 << "," << y1 << " - " << x2 << "," << y2 << " aa " << aa;
  }
}

TEST(Line, FlippedBitmapsMirrorY)
{
  std::mt19937 rng(11);
  std::uniform_int_distribution<int> coord(-10, 40);
  LICE_MemBitmap normal(30, 25);
  FlippedBitmap flipped(30, 25);
  for (int i = 0; i < 200; ++i)
  {
    const int x1 = coord(rng), y1 = coord(rng), x2 = coord(rng), y2 = coord(rng);
    LICE_Clear(&normal, 0);
    LICE_Clear(&flipped, 0);
    LICE_Line(&flipped, x1, y1, x2, y2, kWhite, 0.7f, 0, i & 1);
    LICE_Line(&normal, x1, 24 - y1, x2, 24 - y2, kWhite, 0.7f, 0, i & 1);
    ASSERT_TRUE(SameMemory(&normal, &flipped)) << i;
  }
  LICE_Clear(&flipped, 0);
  LICE_DrawRect(&flipped, 2, 3, 4, 5, kWhite, 1.0f, 0);
  EXPECT_EQ(lice_test::PixelAt(&flipped, 2, 3), kWhite);
  EXPECT_EQ(lice_test::PixelAt(&flipped, 6, 8), kWhite);
  EXPECT_EQ(flipped.getBits()[(24 - 3) * flipped.getRowSpan() + 2], kWhite);
}

TEST(DrawRect, CoversWidthPlusOneByHeightPlusOne)
{
  LICE_MemBitmap bm(10, 10);
  LICE_Clear(&bm, 0);
  LICE_DrawRect(&bm, 2, 2, 3, 3, kWhite, 1.0f, 0);
  std::set<std::pair<int, int>> expect;
  for (int i = 2; i <= 5; ++i) expect.insert({i, 2}), expect.insert({i, 5}), expect.insert({2, i}), expect.insert({5, i});
  EXPECT_EQ(Touched(&bm), expect);
  LICE_DrawRect(&bm, INT_MAX - 1, INT_MAX - 1, INT_MAX, INT_MAX, kWhite, 1.0f, 0);  // no overflow
  EXPECT_EQ(Touched(&bm), expect);
}

// Lines through every edge and corner, anti-aliased lines hugging the border, and random
// extreme coordinates never write outside the bitmap, upright or bottom-up.
TEST(Line, NothingIsWrittenOutsideTheBitmap)
{
  for (bool flip : {false, true})
  {
    GuardedBitmap bm(37, 23, flip);
    bm.fillRandom(3);
    const int W = 37, H = 23;
    const int pts[][2] = {{-1, -1}, {W / 2, -1}, {W, -1}, {W, H / 2}, {W, H}, {W / 2, H}, {-1, H}, {-1, H / 2}};
    for (const auto& p : pts)
      for (const auto& q : pts)
        for (bool aa : {false, true})
        {
          LICE_Line(&bm, p[0], p[1], q[0], q[1], kWhite, 1.0f, 0, aa);
          LICE_Line(&bm, p[0] * 7 - 3, p[1] * 5 + 2, q[0] * 3 + 1, q[1] * 9 - 4, kWhite, 0.4f, 1, aa);
        }
    for (int y = 0; y < H; ++y)
    {
      LICE_Line(&bm, 0, y, W - 1, y + 1, kWhite, 1.0f, 0, true);
      LICE_Line(&bm, W - 1, y, 0, y - 1, kWhite, 0.3f, 0, true);
    }
    for (int x = 0; x < W; ++x)
    {
      LICE_Line(&bm, x, 0, x + 1, H - 1, kWhite, 1.0f, 0, true);
      LICE_Line(&bm, x, H - 1, x - 1, 0, kWhite, 0.3f, 2, true);
    }
    std::mt19937 rng(flip ? 5 : 9);
    const int extremes[] = {INT_MIN, INT_MIN + 1, -1000000, -1, 0, 1, 22, 23, 36, 37, 1000000, INT_MAX};
    std::uniform_int_distribution<int> pick(0, 11), any(INT_MIN, INT_MAX), mode(0, 6);
    std::uniform_real_distribution<float> alpha(-0.5f, 3.0f);
    for (int i = 0; i < 3000; ++i)
    {
      int c[4];
      for (int& v : c)
      {
        const int64_t e = (int64_t)extremes[pick(rng)] + (i % 3 == 1 ? 0 : pick(rng) - 5);
        v = (i % 3 == 0) ? any(rng) : (int)std::min<int64_t>(INT_MAX, std::max<int64_t>(INT_MIN, e));
      }
      LICE_Line(&bm, c[0], c[1], c[2], c[3], (LICE_pixel)rng(), alpha(rng), mode(rng), i & 1);
      LICE_DrawRect(&bm, c[0], c[1], c[2], c[3], (LICE_pixel)rng(), 0.5f, 0);
    }
    EXPECT_TRUE(bm.guardsIntact()) << "flipped " << flip;
  }
}

// The pixel operations chosen once per call against the plain per-pixel choice.
TEST(ShapeOps, ChosenOperationsMatchThePlainReference)
{
  std::mt19937 rng(21);
  const float alphas[] = {1.0f, 0.5f, 0.25f, 0.75f, 0.2501f, 0.7501f, 0.1f, 1.5f, 0.0f, -0.3f, 20.0f};
  for (int i = 0; i < 4000; ++i)
  {
    const LICE_pixel color = rng(), old = rng();
    const float alpha = (i & 1) ? alphas[i / 2 % 11] : std::uniform_real_distribution<float>(0, 1.2f)(rng);
    const int mode = i % 8;
    const auto rules = (lice_detail::FastRules)(i % 3);
    LICE_pixel fast[5] = {old, old, old, old, old}, ref = old;
    lice_detail::WithSolidOp(color, alpha, mode, rules, [&](const auto& op) {
      op(fast);
      lice_detail::FillSpan(op, fast + 1, 4);
    });
    lice_detail::ReferenceSolidPixel(&ref, color, alpha, mode, rules);
    for (LICE_pixel p : fast) ASSERT_EQ(p, ref) << std::hex << color << " " << old << " " << alpha << " " << mode;
  }
}
