#include "LiceTestSupport.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <random>
#include <set>
#include <utility>
#include <vector>

using lice_test::FlippedBitmap;
using lice_test::GuardedBitmap;
using lice_test::PixelAt;

namespace
{
const LICE_pixel kWhite = 0xFFFFFFFFu, kBlack = 0xFF000000u;
const float kPi = 3.14159265f;
using PixelSet = std::set<std::pair<int, int>>;

PixelSet Touched(LICE_IBitmap* bm, LICE_pixel background = 0)
{
  PixelSet s;
  for (int y = 0; y < bm->getHeight(); ++y)
    for (int x = 0; x < bm->getWidth(); ++x)
      if (PixelAt(bm, x, y) != background) s.insert({x, y});
  return s;
}

// Pixels of a character picture ('X'), offset by (x0, y0).
PixelSet FromRows(const std::vector<const char*>& rows, int x0, int y0)
{
  PixelSet s;
  for (int y = 0; y < (int)rows.size(); ++y)
    for (int x = 0; rows[y][x]; ++x)
      if (rows[y][x] == 'X') s.insert({x0 + x, y0 + y});
  return s;
}

bool SameMemory(LICE_IBitmap* a, LICE_IBitmap* b)
{
  for (int y = 0; y < a->getHeight(); ++y)
    for (int x = 0; x < a->getWidth(); ++x)
      if (a->getBits()[y * a->getRowSpan() + x] != b->getBits()[y * b->getRowSpan() + x]) return false;
  return true;
}

// Every touched pixel has the same value: nothing was combined twice.
bool Uniform(LICE_IBitmap* bm, LICE_pixel background)
{
  std::set<LICE_pixel> values;
  for (const auto& p : Touched(bm, background)) values.insert(PixelAt(bm, p.first, p.second));
  return values.size() <= 1;
}
}  // namespace

TEST(Circle, SmallRadiiDrawTheirSpritesAndOthersTheMidpointCircle)
{
  LICE_MemBitmap bm(20, 20);
  LICE_Clear(&bm, 0);
  LICE_Circle(&bm, 10, 10, 2, kWhite, 1.0f, 0, false);
  EXPECT_EQ(Touched(&bm), FromRows({".XXX.", "X...X", "X...X", "X...X", ".XXX."}, 8, 8));

  LICE_Clear(&bm, 0);
  LICE_Circle(&bm, 10, 10, 4.1f, kWhite, 1.0f, 0, false);  // R = 4: (0,4) (1,4) (2,4) (3,3)
  EXPECT_EQ(Touched(&bm), FromRows({"..XXXXX..", ".X.....X.", "X.......X", "X.......X", "X.......X",
                                    "X.......X", "X.......X", ".X.....X.", "..XXXXX.."},
                                   6, 6));
  LICE_Clear(&bm, 0);
  LICE_Circle(&bm, 10, 10, 5, kWhite, 1.0f, 0, false);  // (0,5) (1,5) (2,5) (3,4)
  EXPECT_EQ(Touched(&bm), FromRows({"...XXXXX...", "..X.....X..", ".X.......X.", "X.........X", "X.........X",
                                    "X.........X", "X.........X", "X.........X", ".X.......X.", "..X.....X..",
                                    "...XXXXX..."},
                                   5, 5));

  // The anti-aliased sprite of radius 2 reaches its corners faintly; the computed circle of
  // radius 2.1 (R = 2) does not.
  LICE_Clear(&bm, 0);
  LICE_Circle(&bm, 10, 10, 2, kWhite, 1.0f, 0, true);
  EXPECT_NE(LICE_GetPixel(&bm, 8, 8), 0u);
  EXPECT_EQ(LICE_GetPixel(&bm, 10, 8), 0xFCFCFCFCu);  // coverage 251: w 252, 255 - 255 * 4 / 256
  LICE_Clear(&bm, 0);
  LICE_Circle(&bm, 10, 10, 2.1f, kWhite, 1.0f, 0, true);
  EXPECT_EQ(LICE_GetPixel(&bm, 8, 8), 0u);
  EXPECT_EQ(LICE_GetPixel(&bm, 10, 8), kWhite);
  EXPECT_EQ(LICE_GetPixel(&bm, 10, 10), 0u);
}

TEST(Circle, EveryPixelIsCombinedOnceAndTheShapeIsSymmetric)
{
  for (int r = 0; r <= 30; ++r)
    for (bool aa : {false, true})
      for (bool filled : {false, true})
      {
        LICE_MemBitmap bm(70, 70);
        LICE_Clear(&bm, kBlack);
        if (filled) LICE_FillCircle(&bm, 35, 35, (float)r, kWhite, 0.5f, 0, aa);
        else LICE_Circle(&bm, 35, 35, r + 0.2f, kWhite, 0.5f, 0, aa);
        const PixelSet s = Touched(&bm, kBlack);
        ASSERT_FALSE(s.empty());
        for (const auto& p : s)
        {
          const LICE_pixel v = PixelAt(&bm, p.first, p.second);
          ASSERT_LE((v >> 8 & 0xFF), 0x80u) << "r " << r << " drawn twice at " << p.first << "," << p.second;
          for (auto q : {std::make_pair(70 - p.first, p.second), std::make_pair(p.first, 70 - p.second),
                         std::make_pair(p.second, p.first)})
            ASSERT_EQ(PixelAt(&bm, q.first, q.second), v) << "r " << r << " aa " << aa;
          ASSERT_LE((p.first - 35) * (p.first - 35) + (p.second - 35) * (p.second - 35), (r + 1) * (r + 1) + 1);
        }
        if (!aa)
        {
          ASSERT_TRUE(Uniform(&bm, kBlack)) << r;
        }
        if (filled && !aa)
        {
          ASSERT_EQ(PixelAt(&bm, 35, 35), 0xFE7F7F7Fu);
        }
      }
  // The disc of radius 5 has rows of half-width 5, 5, 5, 4, 3, 2 from the middle.
  LICE_MemBitmap bm(20, 20);
  LICE_Clear(&bm, 0);
  LICE_FillCircle(&bm, 10, 10, 5, kWhite, 1.0f, 0, false);
  EXPECT_EQ(Touched(&bm).size(), 11u + 2 * (11 + 11 + 9 + 7 + 5));
}

TEST(Arc, QuartersFromTheTopClockwise)
{
  LICE_MemBitmap bm(40, 40), circle(40, 40);
  LICE_Clear(&bm, 0);
  LICE_Arc(&bm, 20, 20, 10, 0, kPi / 2, kWhite, 1.0f, 0, false);
  const PixelSet s = Touched(&bm);
  EXPECT_TRUE(s.count({20, 10}));
  EXPECT_TRUE(s.count({30, 20}));
  for (const auto& p : s) EXPECT_TRUE(p.first >= 20 && p.second <= 20) << p.first << "," << p.second;

  // The four quarters together give the whole outline; a span of 2 pi is the circle itself.
  LICE_Clear(&circle, 0);
  LICE_Circle(&circle, 20, 20, 10, kWhite, 1.0f, 0, false);
  LICE_Clear(&bm, 0);
  for (int q = 0; q < 4; ++q) LICE_Arc(&bm, 20, 20, 10, q * kPi / 2, (q + 1) * kPi / 2, kWhite, 1.0f, 0, false);
  EXPECT_EQ(Touched(&bm), Touched(&circle));
  LICE_Clear(&bm, 0);
  LICE_Arc(&bm, 20, 20, 10, 7 * kPi, 9 * kPi + 0.01f, kWhite, 1.0f, 0, false);
  EXPECT_EQ(Touched(&bm), Touched(&circle));
  LICE_Clear(&bm, 0);
  LICE_Arc(&bm, 20, 20, 10, 4 * kPi + 0.01f, 4 * kPi + kPi / 2 - 0.01f, kWhite, 1.0f, 0, true);
  for (const auto& p : Touched(&bm)) EXPECT_TRUE(p.first >= 20 && p.second <= 21);
}

TEST(RoundRect, SmallRadiusIsThePlainRectangleAndCornersAreCut)
{
  LICE_MemBitmap a(30, 30), b(30, 30);
  LICE_Clear(&a, 0);
  LICE_Clear(&b, 0);
  LICE_RoundRect(&a, 3, 4, 20, 15, 1, kWhite, 1.0f, 0, true);
  LICE_DrawRect(&b, 3, 4, 20, 15, kWhite, 1.0f, 0);
  EXPECT_TRUE(SameMemory(&a, &b));

  LICE_Clear(&a, 0);
  LICE_RoundRect(&a, 3, 4, 20, 15, 4, kWhite, 1.0f, 0, false);
  const PixelSet s = Touched(&a);
  for (auto corner : {std::make_pair(3, 4), std::make_pair(23, 4), std::make_pair(3, 19), std::make_pair(23, 19)})
    EXPECT_FALSE(s.count(corner));
  for (auto side : {std::make_pair(7, 4), std::make_pair(19, 4), std::make_pair(13, 19), std::make_pair(3, 11),
                    std::make_pair(23, 11), std::make_pair(4, 5), std::make_pair(22, 18)})
    EXPECT_TRUE(s.count(side)) << side.first << "," << side.second;
  for (const auto& p : s) EXPECT_TRUE(p.first >= 3 && p.first <= 23 && p.second >= 4 && p.second <= 19);
}

TEST(Trapezoid, RowsInclusiveWithInterpolatedEdgesAndFastRulesByWeight)
{
  LICE_MemBitmap bm(12, 12);
  LICE_Clear(&bm, 0);
  LICE_FillTrapezoid(&bm, 0, 9, 0, 0, 9, 9, kWhite, 1.0f, 0);
  PixelSet square;
  for (int y = 0; y < 10; ++y)
    for (int x = 0; x < 10; ++x) square.insert({x, y});
  EXPECT_EQ(Touched(&bm), square);

  LICE_Clear(&bm, 0);
  LICE_FillTrapezoid(&bm, 0, 9, 0, 0, 0, 9, kWhite, 1.0f, 0);
  PixelSet triangle;
  for (int y = 0; y < 10; ++y)
    for (int x = 0; x <= 9 - y; ++x) triangle.insert({x, y});
  EXPECT_EQ(Touched(&bm), triangle);

  LICE_Clear(&bm, 0);
  LICE_FillTrapezoid(&bm, 2, 4, 9, 0, 3, 5, kWhite, 1.0f, 0);  // bottom row given first
  EXPECT_EQ(LICE_GetPixel(&bm, 0, 5), kWhite);
  EXPECT_EQ(LICE_GetPixel(&bm, 4, 9), kWhite);
  EXPECT_EQ(LICE_GetPixel(&bm, 5, 9), 0u);
  LICE_Clear(&bm, 0);
  LICE_FillTrapezoid(&bm, 0, 1, 3, 0, 2, 6, kWhite, 1.0f, 0);  // step 1/3 reaches x 2 on row 6
  EXPECT_EQ(LICE_GetPixel(&bm, 2, 6), kWhite);
  EXPECT_EQ(LICE_GetPixel(&bm, 2, 5), 0u);

  for (auto c : {std::make_pair(0.2501f, 0xFD3F3F3Fu), std::make_pair(0.7501f, 0xFDBEBEBEu),
                 std::make_pair(0.5f, 0xFE7F7F7Fu), std::make_pair(0.1f, 0xFF191919u)})
  {
    LICE_Clear(&bm, kBlack);
    LICE_FillTrapezoid(&bm, 0, 3, 0, 0, 3, 3, kWhite, c.first, 0);
    EXPECT_EQ(LICE_GetPixel(&bm, 2, 2), c.second) << c.first;
  }
}

TEST(Polygon, ConvexFillsWithZeroHeightEdgesAndBandsDrawnOnce)
{
  LICE_MemBitmap bm(30, 30);
  LICE_Clear(&bm, 0);
  const int rx[] = {12, 3, 20}, ry[] = {7, 7, 7};
  LICE_FillConvexPolygon(&bm, rx, ry, 3, kWhite, 1.0f, 0);
  PixelSet row;
  for (int x = 3; x <= 20; ++x) row.insert({x, 7});
  EXPECT_EQ(Touched(&bm), row);

  LICE_Clear(&bm, 0);
  const int sx[] = {0, 9, 9, 0}, sy[] = {0, 0, 9, 9};
  LICE_FillConvexPolygon(&bm, sx, sy, 4, kWhite, 1.0f, 0);
  EXPECT_EQ(Touched(&bm).size(), 100u);

  // A hexagon with flat top and bottom at half weight: several bands, each row once.
  LICE_Clear(&bm, kBlack);
  const int hx[] = {10, 20, 26, 20, 10, 4}, hy[] = {2, 2, 12, 22, 22, 12};
  LICE_FillConvexPolygon(&bm, hx, hy, 6, kWhite, 0.5f, 0);
  EXPECT_TRUE(Uniform(&bm, kBlack));
  EXPECT_EQ(LICE_GetPixel(&bm, 4, 12), 0xFE7F7F7Fu);
  EXPECT_EQ(LICE_GetPixel(&bm, 15, 22), 0xFE7F7F7Fu);
  EXPECT_EQ(LICE_GetPixel(&bm, 15, 23), kBlack);

  // Any order of the same points, repeated points, and a work list beyond the stack's.
  LICE_MemBitmap a(30, 30), b(30, 30);
  LICE_Clear(&a, 0);
  LICE_FillTriangle(&a, 2, 3, 25, 9, 11, 27, kWhite, 1.0f, 0);
  const int perms[][3] = {{0, 2, 1}, {1, 0, 2}, {1, 2, 0}, {2, 0, 1}, {2, 1, 0}};
  const int tx[] = {2, 25, 11}, ty[] = {3, 9, 27};
  for (const auto& p : perms)
  {
    LICE_Clear(&b, 0);
    LICE_FillTriangle(&b, tx[p[0]], ty[p[0]], tx[p[1]], ty[p[1]], tx[p[2]], ty[p[2]], kWhite, 1.0f, 0);
    EXPECT_TRUE(SameMemory(&a, &b));
  }
  std::vector<int> mx, my;
  for (int i = 0; i < 700; ++i) mx.push_back(tx[i % 3]), my.push_back(ty[i % 3]);
  LICE_Clear(&b, 0);
  LICE_FillConvexPolygon(&b, mx.data(), my.data(), 700, kWhite, 1.0f, 0);
  EXPECT_TRUE(SameMemory(&a, &b));
  EXPECT_EQ(LICE_GetPixel(&a, 12, 12), kWhite);
}

TEST(Shapes, FlippedBitmapsMirrorEveryFamily)
{
  const int W = 40, H = 33;
  LICE_MemBitmap normal(W, H);
  FlippedBitmap flipped(W, H);
  auto check = [&](const char* what, auto draw) {
    LICE_Clear(&normal, 0);
    LICE_Clear(&flipped, 0);
    draw(&flipped, [](int y) { return y; }, [](float a) { return a; });
    draw(&normal, [&](int y) { return H - 1 - y; }, [](float a) { return kPi - a; });
    EXPECT_TRUE(SameMemory(&normal, &flipped)) << what;
    EXPECT_FALSE(Touched(&flipped).empty()) << what;
  };
  for (bool aa : {false, true})
  {
    check("circle", [&](LICE_IBitmap* bm, auto my, auto) { LICE_Circle(bm, 14, (float)my(9), 7.3f, kWhite, 0.8f, 0, aa); });
    check("sprite", [&](LICE_IBitmap* bm, auto my, auto) { LICE_Circle(bm, 14, (float)my(9), 3.0f, kWhite, 0.8f, 0, aa); });
    check("disc", [&](LICE_IBitmap* bm, auto my, auto) { LICE_FillCircle(bm, 20, (float)my(30), 9, kWhite, 0.6f, 1, aa); });
    check("arc", [&](LICE_IBitmap* bm, auto my, auto ma) {
      LICE_Arc(bm, 20, (float)my(12), 11, ma(0.3f), ma(2.9f), kWhite, 1.0f, 0, aa);
    });
  }
  check("trapezoid", [&](LICE_IBitmap* bm, auto my, auto) { LICE_FillTrapezoid(bm, 3, 9, my(-4), 0, 30, my(20), kWhite, 0.25f, 0); });
  check("polygon", [&](LICE_IBitmap* bm, auto my, auto) {
    const int x[] = {5, 30, 36, 12}, y[] = {my(2), my(5), my(28), my(31)};
    LICE_FillConvexPolygon(bm, x, y, 4, kWhite, 0.75f, 0);
  });

  // Rounded rectangles are made of lines and arcs: the flipped picture is the upright one.
  LICE_Clear(&normal, 0);
  LICE_Clear(&flipped, 0);
  LICE_RoundRect(&normal, 4, 5, 30, 20, 6, kWhite, 1.0f, 0, false);
  LICE_RoundRect(&flipped, 4, 5, 30, 20, 6, kWhite, 1.0f, 0, false);
  EXPECT_EQ(Touched(&normal), Touched(&flipped));
}

// Random, extreme and non-finite coordinates, sizes, radii and angles never write outside.
TEST(Shapes, NothingIsWrittenOutsideTheBitmap)
{
  std::mt19937 rng(99);
  const float floats[] = {NAN, INFINITY, -INFINITY, 3e38f, -3e38f, 1e9f, -1e9f, 2e6f, -2.5f, -0.5f,
                          0.0f, 0.5f, 1.5f, 2.0f, 4.0f, 12.0f, 30.0f, 31.0f, 35.5f};
  const int ints[] = {INT_MIN, INT_MIN + 1, -100000, -40, -1, 0, 1, 15, 30, 31, 32, 100000, INT_MAX - 1, INT_MAX};
  auto f = [&] { return (rng() % 4) ? floats[rng() % 19] : (float)((int)(rng() % 80) - 20) + 0.25f * (rng() % 4); };
  auto i = [&] { return (rng() % 3) ? ints[rng() % 14] : (int)(rng() % 80) - 20; };
  for (bool flip : {false, true})
  {
    GuardedBitmap bm(31, 27, flip);
    bm.fillRandom(5);
    for (int n = 0; n < 1500; ++n)
    {
      const LICE_pixel c = rng();
      const float alpha = (n % 5) ? 1.0f : f();
      const int mode = rng() % 7;
      const bool aa = n & 1;
      switch (n % 7)
      {
        case 0: LICE_Circle(&bm, f(), f(), f(), c, alpha, mode, aa); break;
        case 1: LICE_FillCircle(&bm, f(), f(), f(), c, alpha, mode, aa); break;
        case 2: LICE_Arc(&bm, f(), f(), f(), f(), f(), c, alpha, mode, aa); break;
        case 3: LICE_RoundRect(&bm, f(), f(), f(), f(), i(), c, alpha, mode, aa); break;
        case 4: LICE_FillTrapezoid(&bm, i(), i(), i(), i(), i(), i(), c, alpha, mode); break;
        case 5: LICE_FillTriangle(&bm, i(), i(), i(), i(), i(), i(), c, alpha, mode); break;
        default:
        {
          const int npts = rng() % 8;
          int x[8], y[8];
          for (int k = 0; k < npts; ++k) x[k] = i(), y[k] = i();
          LICE_FillConvexPolygon(&bm, x, y, npts, c, alpha, mode);
        }
      }
    }
    EXPECT_TRUE(bm.guardsIntact()) << "flipped " << flip;
  }
}
