// Plain, scaled and rotated blits and the blur: exact values, clipping, flipped bitmaps,
// overlapping self-blits, mirroring, and the fast row operations against their reference.
#include "LiceTestSupport.h"
#include "lice.h"
#include "lice_blit_rows.h"
#include "lice_sample.h"
#include "lice_simd.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <random>
#include <utility>
#include <vector>

using lice_test::FlippedBitmap;
using lice_test::GuardedBitmap;
using lice_test::PixelAt;

namespace
{
// Random pixels; a third of them fully transparent or opaque, as real images have.
void FillRandom(LICE_IBitmap* bm, std::mt19937& rng)
{
  for (int y = 0; y < bm->getHeight(); ++y)
    for (int x = 0; x < bm->getWidth(); ++x)
    {
      LICE_pixel p = rng();
      switch (rng() % 6)
      {
        case 0: p &= 0x00FFFFFF; break;
        case 1: p |= 0xFF000000; break;
        default: break;
      }
      LICE_PutPixel(bm, x, y, p, 1.0f, 0);
    }
}

void CopyPicture(LICE_IBitmap* from, LICE_IBitmap* to)
{
  for (int y = 0; y < from->getHeight(); ++y)
    for (int x = 0; x < from->getWidth(); ++x) LICE_PutPixel(to, x, y, PixelAt(from, x, y), 1.0f, 0);
}

::testing::AssertionResult SamePicture(LICE_IBitmap* a, LICE_IBitmap* b)
{
  for (int y = 0; y < a->getHeight(); ++y)
    for (int x = 0; x < a->getWidth(); ++x)
      if (PixelAt(a, x, y) != PixelAt(b, x, y))
        return ::testing::AssertionFailure() << "pixel " << x << "," << y << ": " << std::hex
                                             << PixelAt(a, x, y) << " vs " << PixelAt(b, x, y);
  return ::testing::AssertionSuccess();
}

LICE_pixel BlitOnce(LICE_pixel dest, LICE_pixel src, float alpha, int mode)
{
  LICE_MemBitmap d(1, 1), s(1, 1);
  d.getBits()[0] = dest;
  s.getBits()[0] = src;
  LICE_Blit(&d, &s, 0, 0, nullptr, alpha, mode);
  return d.getBits()[0];
}

struct BlitCase
{
  int mode;
  float alpha;
};
// Every rule of the plain blit.
const BlitCase kModes[] = {{0, 1.0f},    {0, 0.5f},    {0, 0.3f},    {0, 1.5f},   {1, 1.0f},
                           {2, 0.7f},    {3, 1.0f},    {4, 0.6f},    {5, 1.0f},   {0x10000, 1.0f},
                           {0x10000, 0.6f}, {0x10000, 2.0f}, {0x10001, 0.8f}, {0x10002, 1.0f},
                           {0x10003, 1.0f}, {0x10004, 0.4f}, {0x10005, 1.0f}, {0xF3, 1.0f},
                           {0xFE, 0.2f},  {0x101, 1.0f}};

TEST(Blit, OpaqueCopyIsExactInEveryOrientation)
{
  std::mt19937 rng(1);
  for (bool sf : {false, true})
    for (bool df : {false, true})
    {
      GuardedBitmap src(13, 6, sf), dst(13, 6, df);
      FillRandom(&src, rng);
      LICE_Clear(&dst, 0);
      LICE_Blit(&dst, &src, 0, 0, nullptr, 1.0f, 0);
      EXPECT_TRUE(SamePicture(&dst, &src)) << sf << df;
      EXPECT_TRUE(dst.guardsIntact());
    }
}

TEST(Blit, ExactValuesOfTheSpecialRules)
{
  EXPECT_EQ(BlitOnce(0x12345678, 0x00FFFFFF, 1.0f, LICE_BLIT_USE_ALPHA), 0x12345678u);
  EXPECT_EQ(BlitOnce(0x12345678, 0xFF0A0B0C, 1.0f, LICE_BLIT_USE_ALPHA), 0xFF0A0B0Cu);
  EXPECT_EQ(BlitOnce(0xFF000000, 0xFFFFFFFF, 0.5f, 0), 0xFE7F7F7Fu);
  EXPECT_EQ(BlitOnce(0x03050709, 0x0B0D0F11, 0.5f, 0), 0x06080A0Cu);
  // Channel copy: 0xF3 puts source alpha into destination blue, 0xFE source red into
  // destination alpha; the alpha argument is not used, beyond 0 drawing nothing.
  EXPECT_EQ(BlitOnce(0x11223344, 0xAABBCCDD, 1.0f, 0xF3), 0x112233AAu);
  EXPECT_EQ(BlitOnce(0x11223344, 0xAABBCCDD, 0.3f, 0xFE), 0xBB223344u);
  EXPECT_EQ(BlitOnce(0x11223344, 0xAABBCCDD, 0.0f, 0xF3), 0x11223344u);
  // Copy weights below 1 draw nothing; other modes still draw at a negative weight.
  EXPECT_EQ(BlitOnce(0x11223344, 0xAABBCCDD, 0.003f, 0), 0x11223344u);
  EXPECT_EQ(BlitOnce(0x11223344, 0xAABBCCDD, -1.0f, 0), 0x11223344u);
  EXPECT_EQ(BlitOnce(0x10C8C8C8, 0x00646464, -0.5f, LICE_BLIT_MODE_ADD), 0x10969696u);
  EXPECT_EQ(BlitOnce(0x11223344, 0xAABBCCDD, 1.0f, 6), 0x11223344u);
}

TEST(Blit, EveryModeMatchesItsCombineClass)
{
  std::mt19937 rng(2);
  auto check = [&](int mode, float alpha, auto tag) {
    using C = typename decltype(tag)::type;
    LICE_MemBitmap src(37, 3), dst(37, 3), want(37, 3);
    FillRandom(&src, rng);
    FillRandom(&dst, rng);
    CopyPicture(&dst, &want);
    const int w = LICE_AlphaWeight(alpha);
    for (int y = 0; y < 3; ++y)
      for (int x = 0; x < 37; ++x)
      {
        const LICE_pixel s = PixelAt(&src, x, y);
        C::doPix((LICE_pixel_chan*)(want.getBits() + y * want.getRowSpan() + x), LICE_GETR(s),
                 LICE_GETG(s), LICE_GETB(s), LICE_GETA(s), w);
      }
    LICE_Blit(&dst, &src, 0, 0, nullptr, alpha, mode);
    EXPECT_TRUE(SamePicture(&dst, &want)) << "mode " << mode << " alpha " << alpha;
  };
  check(0, 0.3f, LICE_CombineTag<_LICE_CombinePixelsCopyNoClamp>{});
  check(0, 1.5f, LICE_CombineTag<_LICE_CombinePixelsCopyNoClamp>{});
  check(0, 1.001f, LICE_CombineTag<_LICE_CombinePixelsClobberNoClamp>{});
  check(1, 0.7f, LICE_CombineTag<_LICE_CombinePixelsAdd>{});
  check(2, 1.0f, LICE_CombineTag<_LICE_CombinePixelsColorDodge>{});
  check(3, 0.5f, LICE_CombineTag<_LICE_CombinePixelsMulNoClamp>{});
  check(4, 1.0f, LICE_CombineTag<_LICE_CombinePixelsOverlay>{});
  check(5, 0.8f, LICE_CombineTag<_LICE_CombinePixelsHSVAdjust>{});
  check(0x10000, 1.0f, LICE_CombineTag<_LICE_CombinePixelsCopySourceAlphaIgnoreAlphaParmNoClamp>{});
  check(0x10000, 0.6f, LICE_CombineTag<_LICE_CombinePixelsCopySourceAlphaNoClamp>{});
  check(0x10000, 3.0f, LICE_CombineTag<_LICE_CombinePixelsCopySourceAlphaNoClamp>{});
  check(0x10000, 1.0f / 256, LICE_CombineTag<_LICE_CombinePixelsCopySourceAlphaNoClamp>{});
  check(0x10001, 1.0f, LICE_CombineTag<_LICE_CombinePixelsAddSourceAlpha>{});
  check(0x10002, 0.9f, LICE_CombineTag<_LICE_CombinePixelsColorDodgeSourceAlpha>{});
  check(0x10003, 1.0f, LICE_CombineTag<_LICE_CombinePixelsMulSourceAlphaNoClamp>{});
  check(0x10104, 0.4f, LICE_CombineTag<_LICE_CombinePixelsOverlaySourceAlpha>{});
  check(0x10005, 1.0f, LICE_CombineTag<_LICE_CombinePixelsHSVAdjustSourceAlpha>{});
}

// The vector source-alpha kernels (baseline and, where the processor has it, AVX2), and the
// row operations that use them, against the per-pixel rules, at every length and alignment.
TEST(Blit, FastSourceAlphaRowsMatchTheReference)
{
  using Blocks = int (*)(uint32_t*, const uint32_t*, int, int);
  std::vector<std::pair<const char*, Blocks>> full = {{"sse2", &lice_detail::SourceAlphaFullBlocksSse2}},
                                               part = {{"sse2", &lice_detail::SourceAlphaPartialBlocksSse2}};
  if (lice_detail::HasAvx2Kernels())
  {
    full.push_back({"avx2", &lice_detail::SourceAlphaFullBlocksAvx2});
    part.push_back({"avx2", &lice_detail::SourceAlphaPartialBlocksAvx2});
  }
  using FullRule = _LICE_CombinePixelsCopySourceAlphaIgnoreAlphaParmNoClamp;
  using PartRule = _LICE_CombinePixelsCopySourceAlphaNoClamp;
  std::mt19937 rng(3);
  std::vector<LICE_pixel> src(80), dst(80), a(80), b(80);
  for (int iter = 0; iter < 2000; ++iter)
  {
    for (auto& p : src)
    {
      p = (LICE_pixel)rng();
      if (rng() % 4 == 0) p &= 0x00FFFFFF;
      else if (rng() % 4 == 0) p |= 0xFF000000;
    }
    if (iter % 5 == 0)
      for (auto& p : src) p &= 0x00FFFFFF;  // whole transparent blocks
    for (auto& p : dst) p = (LICE_pixel)rng();
    const int n = (int)(rng() % 41), off = (int)(rng() % 4), w = 1 + (int)(rng() % 255);
    b = dst;
    lice_detail::CombineRow<FullRule>(b.data() + off, src.data() + off, n, 256);
    for (const auto& k : full)
    {
      a = dst;
      const int done = k.second(a.data() + off, src.data() + off, n, 256);
      lice_detail::CombineRow<FullRule>(a.data() + off + done, src.data() + off + done, n - done, 256);
      ASSERT_EQ(a, b) << k.first << " full, n " << n;
    }
    a = dst;
    lice_detail::SourceAlphaRowFull(a.data() + off, src.data() + off, n, 256);
    ASSERT_EQ(a, b) << "full row, n " << n;

    b = dst;
    lice_detail::CombineRow<PartRule>(b.data() + off, src.data() + off, n, w);
    for (const auto& k : part)
    {
      a = dst;
      const int done = k.second(a.data() + off, src.data() + off, n, w);
      lice_detail::CombineRow<PartRule>(a.data() + off + done, src.data() + off + done, n - done, w);
      ASSERT_EQ(a, b) << k.first << " partial, n " << n << " w " << w;
    }
    a = dst;
    lice_detail::SourceAlphaRowPartial(a.data() + off, src.data() + off, n, w);
    ASSERT_EQ(a, b) << "partial row, n " << n << " w " << w;

    // Each kernel on a row whose source lies to the right within it (or is the row itself)
    // reads every source pixel before it is overwritten.
    const int shift = (int)(rng() % 10);
    b = src;
    const std::vector<LICE_pixel> before(src.begin() + shift, src.begin() + shift + n);
    lice_detail::CombineRow<PartRule>(b.data(), before.data(), n, w);
    for (const auto& k : part)
    {
      a = src;
      const int done = k.second(a.data(), a.data() + shift, n, w);
      lice_detail::CombineRow<PartRule>(a.data() + done, before.data() + done, n - done, w);
      ASSERT_EQ(a, b) << k.first << " in place, shift " << shift << " n " << n;
    }
  }
}

TEST(Blit, FastBilinearMatchesTheReference)
{
  std::mt19937 rng(4);
  for (int i = 0; i < 200000; ++i)
  {
    const LICE_pixel p[4] = {(LICE_pixel)rng(), (LICE_pixel)rng(), (LICE_pixel)rng(), (LICE_pixel)rng()};
    unsigned fx = rng() & 0xFFFF, fy = rng() & 0xFFFF;
    if (i % 7 == 0) fx = 0;
    if (i % 11 == 0) fy = (i & 1) ? 0 : 0xFFFF;
    ASSERT_EQ(lice_detail::BilinearPixel(p[0], p[1], p[2], p[3], fx, fy),
              lice_detail::BilinearPixelRef(p[0], p[1], p[2], p[3], fx, fy))
      << fx << "," << fy;
  }
  // Hand value: halfway between 0x00000000 and 0xFF804020 gives 0x7F402010.
  EXPECT_EQ(lice_detail::BilinearPixelRef(0, 0xFF804020, 0, 0xFF804020, 32768, 0), 0x7F402010u);
}

// The vector rows (SSE2 and, where the processor has it, AVX2) against the per-pixel rule:
// forwards, backwards and scattered columns, every length around the block sizes, the extreme
// fractions and extreme channel values (where the signed 16-bit forms would overflow first).
TEST(Blit, BilinearVectorRowsMatchTheReference)
{
  std::vector<lice_detail::BilinearRowFn> rows = {&lice_detail::BilinearStoreRowSse2};
  if (lice_detail::HasAvx2Kernels()) rows.push_back(&lice_detail::BilinearStoreRowAvx2);
  std::mt19937 rng(5);
  std::vector<LICE_pixel> r0(64), r1(64), got(41);
  std::vector<int32_t> xs(40), fxs(40);
  const unsigned edgeFractions[] = {0, 1, 0x7FFF, 0x8000, 0xFFFF};
  const LICE_pixel edgePixels[] = {0, 0xFFFFFFFF, 0xFF00FF00, 0x00FF00FF};
  for (auto row : rows)
    for (int iter = 0; iter < 6000; ++iter)
    {
      const bool edges = iter % 3 == 0;
      for (auto& p : r0) p = edges ? edgePixels[rng() % 4] : (LICE_pixel)rng();
      for (auto& p : r1) p = edges ? edgePixels[rng() % 4] : (LICE_pixel)rng();
      const int n = 1 + iter % 40;
      const unsigned fy = edges ? edgeFractions[rng() % 5] : rng() & 0xFFFF;
      const int order = iter % 4;  // ascending, descending, scattered, one column repeated
      const int x0 = (int)(rng() % 20);
      for (int i = 0; i < n; ++i)
      {
        xs[i] = order == 0 ? x0 + i / 2 : order == 1 ? 62 - i : order == 2 ? (int32_t)(rng() % 63) : x0;
        fxs[i] = (int32_t)(edges ? edgeFractions[rng() % 5] : rng() & 0xFFFF);
      }
      got[n] = 0x5A5A5A5A;
      row(got.data(), n, r0.data(), r1.data(), xs.data(), fxs.data(), fy);
      ASSERT_EQ(got[n], 0x5A5A5A5Au) << "wrote past the row";
      for (int i = 0; i < n; ++i)
        ASSERT_EQ(got[i], lice_detail::BilinearPixelRef(r0[xs[i]], r0[xs[i] + 1], r1[xs[i]],
                                                        r1[xs[i] + 1], (unsigned)fxs[i], fy))
          << "avx2 " << (row != rows[0]) << " n " << n << " i " << i << " fx " << fxs[i] << " fy " << fy;
    }
}

// Destination pixel (px, py) shows source (px - dstx + l, py - dsty + t) where that lies in
// the source rectangle, the source and the destination; nothing else changes.
TEST(Blit, ClipsAgainstBothBitmapsAtEveryEdgeAndCorner)
{
  const int pos[] = {INT_MIN, -100, -6, -5, -1, 0, 1, 4, 5, 6, 100, INT_MAX};
  const int rects[][4] = {{0, 0, 6, 4},   {-5, -2, 3, 9},      {2, 1, 100, 100},
                          {INT_MIN, INT_MIN, INT_MAX, INT_MAX}, {3, 3, 2, 2},
                          {4, 0, 2, 4},   {-1, -1, INT_MAX, 1}};
  std::mt19937 rng(5);
  for (bool flipped : {false, true})
  {
    GuardedBitmap src(6, 4, !flipped), dst(7, 5, flipped);
    FillRandom(&src, rng);
    for (const auto& r : rects)
      for (int dx : pos)
        for (int dy : pos)
        {
          LICE_Clear(&dst, 0x01010101);
          const RECT rc = {r[0], r[1], r[2], r[3]};
          LICE_Blit(&dst, &src, dx, dy, &rc, 1.0f, 0);
          for (int py = 0; py < 5; ++py)
            for (int px = 0; px < 7; ++px)
            {
              const long long sx = (long long)px - dx + r[0], sy = (long long)py - dy + r[1];
              const bool in = sx >= r[0] && sx < r[2] && sy >= r[1] && sy < r[3] && sx >= 0 &&
                              sx < 6 && sy >= 0 && sy < 4;
              const LICE_pixel want = in ? PixelAt(&src, (int)sx, (int)sy) : 0x01010101u;
              ASSERT_EQ(PixelAt(&dst, px, py), want)
                << "rect " << r[0] << "," << r[1] << "," << r[2] << "," << r[3] << " at " << dx
                << "," << dy << " pixel " << px << "," << py;
            }
        }
    EXPECT_TRUE(dst.guardsIntact());
    // The integer form: a source rectangle of (-5, 0, 3, 4) draws column 0 at dstx + 5.
    LICE_Clear(&dst, 0);
    LICE_Blit(&dst, &src, 0, 0, -5, 0, 7, 4, 1.0f, 0);
    EXPECT_EQ(PixelAt(&dst, 5, 0), PixelAt(&src, 0, 0));
    EXPECT_EQ(PixelAt(&dst, 4, 0), 0u);
    LICE_Blit(&dst, &src, 0, 0, INT_MAX, INT_MAX, INT_MAX, INT_MAX, 1.0f, 0);
    LICE_Blit(&dst, &src, INT_MIN, INT_MIN, INT_MIN, INT_MIN, INT_MAX, INT_MAX, 1.0f, 0);
    EXPECT_TRUE(dst.guardsIntact());
  }
}

// A bitmap blitted onto itself gives what a blit from an untouched copy gives, for every mode,
// every direction of overlap and both orientations.
TEST(Blit, OverlappingSelfBlitReadsBeforeWriting)
{
  std::mt19937 rng(6);
  for (bool flipped : {false, true})
    for (const BlitCase& m : kModes)
      for (int dy = -2; dy <= 2; ++dy)
        for (int dx = -3; dx <= 3; ++dx)
        {
          GuardedBitmap bm(9, 7, flipped), orig(9, 7), want(9, 7);
          FillRandom(&bm, rng);
          CopyPicture(&bm, &orig);
          CopyPicture(&bm, &want);
          LICE_Blit(&want, &orig, 2 + dx, 1 + dy, 2, 1, 6, 5, m.alpha, m.mode);
          LICE_Blit(&bm, &bm, 2 + dx, 1 + dy, 2, 1, 6, 5, m.alpha, m.mode);
          ASSERT_TRUE(SamePicture(&bm, &want))
            << "mode " << m.mode << " alpha " << m.alpha << " offset " << dx << "," << dy
            << " flipped " << flipped;
          ASSERT_TRUE(bm.guardsIntact());
        }
  // Rows longer than the scratch buffer, shifted right within themselves.
  for (int shift : {1, 3, 255, 256, 257, 600})
  {
    LICE_MemBitmap bm(1000, 2), orig(1000, 2), want(1000, 2);
    FillRandom(&bm, rng);
    CopyPicture(&bm, &orig);
    CopyPicture(&bm, &want);
    LICE_Blit(&want, &orig, shift, 0, 0, 0, 1000, 2, 0.6f, LICE_BLIT_USE_ALPHA);
    LICE_Blit(&bm, &bm, shift, 0, 0, 0, 1000, 2, 0.6f, LICE_BLIT_USE_ALPHA);
    ASSERT_TRUE(SamePicture(&bm, &want)) << shift;
  }
  // Rows shifted left within themselves, at lengths that end in a partial vector block.
  for (int shift : {1, 2, 3, 5, 7, 9})
    for (int w : {8, 13, 29, 31})
      for (float alpha : {1.0f, 0.6f})
      {
        LICE_MemBitmap bm(48, 1), orig(48, 1), want(48, 1);
        FillRandom(&bm, rng);
        CopyPicture(&bm, &orig);
        CopyPicture(&bm, &want);
        LICE_Blit(&want, &orig, 0, 0, shift, 0, w, 1, alpha, LICE_BLIT_USE_ALPHA);
        LICE_Blit(&bm, &bm, 0, 0, shift, 0, w, 1, alpha, LICE_BLIT_USE_ALPHA);
        ASSERT_TRUE(SamePicture(&bm, &want)) << shift << " " << w << " " << alpha;
      }
}

TEST(ScaledBlit, SameSizeIsAPlainBlitFromTheRoundedPosition)
{
  std::mt19937 rng(7);
  LICE_MemBitmap src(10, 4), a(5, 3), b(5, 3);
  FillRandom(&src, rng);
  LICE_Clear(&a, 0);
  LICE_Clear(&b, 0);
  LICE_ScaledBlit(&a, &src, 0, 0, 5, 3, 2.02f, 1.0f, 5, 3, 1.0f, 0);
  LICE_Blit(&b, &src, 0, 0, 2, 1, 5, 3, 1.0f, 0);
  EXPECT_TRUE(SamePicture(&a, &b));
}

// Source column c at every pixel of column c; a guard pattern around the source shows any read
// outside it.
void FillColumns(GuardedBitmap& src)
{
  for (int y = 0; y < src.getHeight(); ++y)
    for (int x = 0; x < src.getWidth(); ++x)
      LICE_PutPixel(&src, x, y, 0xFF000000u | (LICE_pixel)(y << 8) | (LICE_pixel)x, 1.0f, 0);
}

TEST(ScaledBlit, MirroringDrawsEverySourceColumnOnceInReverse)
{
  for (bool flipped : {false, true})
  {
    GuardedBitmap src(10, 3, flipped), dst(12, 3);
    FillColumns(src);
    LICE_Clear(&dst, 0);
    LICE_ScaledBlit(&dst, &src, 10, 0, -10, 3, 0, 0, 10, 3, 1.0f, 0);
    for (int x = 0; x < 10; ++x) EXPECT_EQ(PixelAt(&dst, x, 0), 0xFF000000u | (9 - x)) << x;
    EXPECT_EQ(PixelAt(&dst, 10, 0), 0u);
    // Twice as wide and upside down: columns 9, 9, 8, 8 ... 0, 0, rows 2, 1, 0.
    GuardedBitmap wide(20, 3);
    LICE_Clear(&wide, 0);
    LICE_ScaledBlit(&wide, &src, 20, 3, -20, -3, 0, 0, 10, 3, 1.0f, 0);
    for (int y = 0; y < 3; ++y)
      for (int x = 0; x < 20; ++x)
        EXPECT_EQ(PixelAt(&wide, x, y), 0xFF000000u | (LICE_pixel)((2 - y) << 8) | (LICE_pixel)(9 - x / 2))
          << x << "," << y;
    // Bilinear, mirrored: every sample stays inside the source.
    LICE_Clear(&wide, 0);
    LICE_ScaledBlit(&wide, &src, 20, 0, -20, 3, 0, 0, 10, 3, 1.0f, LICE_BLIT_FILTER_BILINEAR);
    for (int x = 0; x < 20; ++x) EXPECT_LE(PixelAt(&wide, x, 0) & 0xFF, 9u) << x;
    EXPECT_TRUE(dst.guardsIntact() && wide.guardsIntact() && src.guardsIntact());
  }
}

TEST(ScaledBlit, NearestUpscaleAndHalfWeight)
{
  GuardedBitmap src(3, 2);
  FillColumns(src);
  GuardedBitmap dst(6, 4);
  LICE_Clear(&dst, 0xFF000000);
  LICE_ScaledBlit(&dst, &src, 0, 0, 6, 4, 0, 0, 3, 2, 1.0f, 0);
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 6; ++x)
      EXPECT_EQ(PixelAt(&dst, x, y), 0xFF000000u | (LICE_pixel)((y / 2) << 8) | (LICE_pixel)(x / 2));
  // Half weight: ((d >> 1) & 0x7F7F7F7F) + ((s >> 1) & 0x7F7F7F7F) with d 0xFF000000.
  LICE_Clear(&dst, 0xFF000000);
  LICE_ScaledBlit(&dst, &src, 0, 0, 6, 4, 0, 0, 3, 2, 0.5f, 0);
  EXPECT_EQ(PixelAt(&dst, 5, 3), 0x7F000000u + 0x7F000000u + 0x0001u);
}

TEST(ScaledBlit, BilinearAndBoxFilterValues)
{
  // 2 x 1 -> 4 x 1: positions 0, 0.5, 1, 1.5; the last column keeps its own value.
  LICE_MemBitmap src(2, 1), dst(4, 1);
  src.getBits()[0] = 0;
  src.getBits()[1] = 0xFF804020;
  LICE_ScaledBlit(&dst, &src, 0, 0, 4, 1, 0, 0, 2, 1, 1.0f, LICE_BLIT_FILTER_BILINEAR);
  EXPECT_EQ(dst.getBits()[0], 0u);
  EXPECT_EQ(dst.getBits()[1], 0x7F402010u);
  EXPECT_EQ(dst.getBits()[2], 0xFF804020u);
  EXPECT_EQ(dst.getBits()[3], 0xFF804020u);

  // 6 x 6 -> 2 x 2 (step 3: a 3 x 3 window clipped to the source), blue = x + 10 y.
  GuardedBitmap big(6, 6, true);
  for (int y = 0; y < 6; ++y)
    for (int x = 0; x < 6; ++x) LICE_PutPixel(&big, x, y, (LICE_pixel)(x + 10 * y), 1.0f, 0);
  LICE_MemBitmap small(2, 2);
  LICE_ScaledBlit(&small, &big, 0, 0, 2, 2, 0, 0, 6, 6, 1.0f, LICE_BLIT_FILTER_BILINEAR);
  EXPECT_EQ(PixelAt(&small, 0, 0), 5u);   // (0 + 1 + 10 + 11) / 4
  EXPECT_EQ(PixelAt(&small, 1, 0), 8u);   // (2 + 3 + 4 + 12 + 13 + 14) / 6
  EXPECT_EQ(PixelAt(&small, 0, 1), 30u);  // (20 + 21 + 30 + 31 + 40 + 41) / 6
  EXPECT_EQ(PixelAt(&small, 1, 1), 33u);  // the nine values around 33
}

// The vector row of the bilinear copy against the per-pixel path: on an opaque source the
// source-alpha copy at full weight writes the same samples one by one.
TEST(ScaledBlit, BilinearVectorRowsMatchThePerPixelPath)
{
  std::mt19937 rng(10);
  const float boxes[][4] = {{0, 0, 37, 23}, {0.5f, 0.25f, 30, 20}, {3.3f, 1.7f, 12.6f, 9.1f}, {0, 0, 37, 23}};
  const int sizes[][2] = {{300, 61}, {-299, 60}, {77, -45}, {50, 30}};
  for (bool flipped : {false, true})
    for (int k = 0; k < 4; ++k)
    {
      GuardedBitmap src(37, 23, flipped);
      FillRandom(&src, rng);
      for (int y = 0; y < 23; ++y)
        for (int x = 0; x < 37; ++x) LICE_PutPixel(&src, x, y, PixelAt(&src, x, y) | 0xFF000000, 1.0f, 0);
      LICE_MemBitmap a(310, 70), b(310, 70);
      LICE_Clear(&a, 0);
      LICE_Clear(&b, 0);
      const int dx = sizes[k][0] < 0 ? 305 : 3, dy = sizes[k][1] < 0 ? 60 : 2;
      LICE_ScaledBlit(&a, &src, dx, dy, sizes[k][0], sizes[k][1], boxes[k][0], boxes[k][1], boxes[k][2],
                      boxes[k][3], 1.0f, LICE_BLIT_FILTER_BILINEAR);
      LICE_ScaledBlit(&b, &src, dx, dy, sizes[k][0], sizes[k][1], boxes[k][0], boxes[k][1], boxes[k][2],
                      boxes[k][3], 1.0f, LICE_BLIT_FILTER_BILINEAR | LICE_BLIT_USE_ALPHA);
      ASSERT_TRUE(SamePicture(&a, &b)) << k << " flipped " << flipped;
      ASSERT_NE(PixelAt(&a, 20, 20), 0u);
    }
}

// Random and extreme arguments: nothing outside either bitmap is read or written.
TEST(ScaledBlit, AnyArgumentsStayInsideBothBitmaps)
{
  std::mt19937 rng(8);
  const int ints[] = {INT_MIN, -70000, -33, -1, 0, 1, 2, 7, 31, 70000, INT_MAX};
  const float floats[] = {-1e30f, -3e9f, -40.5f, -1.0f, -0.25f, 0.0f, 0.3f, 1.0f, 7.7f, 64.0f, 3e9f, 1e30f};
  for (int iter = 0; iter < 6000; ++iter)
  {
    GuardedBitmap src(1 + rng() % 9, 1 + rng() % 9, rng() & 1), dst(1 + rng() % 9, 1 + rng() % 9, rng() & 1);
    LICE_Clear(&src, 0xFF00FF00);
    LICE_Clear(&dst, 0);
    auto pickI = [&] { return rng() % 3 ? (int)(rng() % 21) - 10 : ints[rng() % 11]; };
    auto pickF = [&] { return rng() % 3 ? (float)((int)(rng() % 400) - 200) / 16 : floats[rng() % 12]; };
    const int modes[] = {0, 0x100, 0x10000, 0x10100, 1, 0x101, 5, 0xF3};
    const int mode = modes[rng() % 8];
    const float alpha = (rng() % 4) ? 1.0f : 0.5f;
    if (iter & 1)
      LICE_ScaledBlit(&dst, &src, pickI(), pickI(), pickI(), pickI(), pickF(), pickF(), pickF(),
                      pickF(), alpha, mode);
    else
      LICE_RotatedBlit(&dst, &src, pickI(), pickI(), pickI(), pickI(), pickF(), pickF(), pickF(),
                       pickF(), pickF(), rng() & 1, alpha, mode, pickF(), pickF());
    ASSERT_TRUE(dst.guardsIntact()) << iter;
    for (int y = 0; y < dst.getHeight(); ++y)
      for (int x = 0; x < dst.getWidth(); ++x)
      {
        const LICE_pixel p = PixelAt(&dst, x, y);
        ASSERT_TRUE(p == 0 || (p & 0xFF) == 0) << "read outside the source, iteration " << iter;
      }
  }
}

TEST(RotatedBlit, AngleZeroCopiesAndMirrors)
{
  GuardedBitmap src(8, 5, true);
  FillColumns(src);
  GuardedBitmap dst(4, 3), want(4, 3);
  LICE_Clear(&dst, 0);
  LICE_Clear(&want, 0);
  LICE_RotatedBlit(&dst, &src, 0, 0, 4, 3, 2, 1, 4, 3, 0.0f, false, 1.0f, 0);
  LICE_Blit(&want, &src, 0, 0, 2, 1, 4, 3, 1.0f, 0);
  EXPECT_TRUE(SamePicture(&dst, &want));
  // A rotation offset moves the sampled area.
  LICE_RotatedBlit(&dst, &src, 0, 0, 4, 3, 2, 1, 4, 3, 0.0f, false, 1.0f, 0, 1.0f, 1.0f);
  LICE_Blit(&want, &src, 0, 0, 3, 2, 4, 3, 1.0f, 0);
  EXPECT_TRUE(SamePicture(&dst, &want));
  // Mirrored: columns 5, 4, 3, 2 of the source rectangle; clipped to it, nothing beyond.
  LICE_Clear(&dst, 0);
  LICE_RotatedBlit(&dst, &src, 4, 0, -4, 3, 2, 1, 4, 3, 0.0f, true, 1.0f, 0);
  for (int x = 0; x < 4; ++x) EXPECT_EQ(PixelAt(&dst, x, 0) & 0xFF, (LICE_pixel)(5 - x)) << x;
  // The same picture rotated in place (read from a copy).
  GuardedBitmap self(6, 6);
  FillColumns(self);
  LICE_RotatedBlit(&self, &self, 1, 0, 5, 6, 0, 0, 5, 6, 0.0f, false, 1.0f, 0);
  for (int x = 1; x < 6; ++x) EXPECT_EQ(PixelAt(&self, x, 3) & 0xFF, (LICE_pixel)(x - 1));
  EXPECT_TRUE(dst.guardsIntact() && self.guardsIntact());
}

TEST(Blur, HandValuesAtCentreEdgesAndCorners)
{
  for (bool flipped : {false, true})
  {
    GuardedBitmap bm(3, 3, flipped), out(3, 3, !flipped);
    LICE_Clear(&bm, 0xFFFFFFFF);
    LICE_Blur(&out, &bm, 0, 0, 0, 0, 3, 3);
    // Inside 7F + 4 * 1F, edges 7F + 3F + 2 * 1F, corners 7F + 2 * 3F.
    EXPECT_EQ(PixelAt(&out, 1, 1), 0xFBFBFBFBu);
    EXPECT_EQ(PixelAt(&out, 1, 0), 0xFCFCFCFCu);
    EXPECT_EQ(PixelAt(&out, 0, 1), 0xFCFCFCFCu);
    EXPECT_EQ(PixelAt(&out, 2, 2), 0xFDFDFDFDu);
    // One lit centre: half stays, a quarter reaches each edge neighbour, the corners get none.
    LICE_Clear(&bm, 0);
    LICE_PutPixel(&bm, 1, 1, 0x80808080, 1.0f, 0);
    LICE_Blur(&bm, &bm, 0, 0, 0, 0, 3, 3);
    EXPECT_EQ(PixelAt(&bm, 1, 1), 0x40404040u);
    for (auto p : {std::make_pair(1, 0), {0, 1}, {2, 1}, {1, 2}})
      EXPECT_EQ(PixelAt(&bm, p.first, p.second), 0x20202020u);
    EXPECT_EQ(PixelAt(&bm, 0, 0) | PixelAt(&bm, 2, 0) | PixelAt(&bm, 0, 2) | PixelAt(&bm, 2, 2), 0u);
    // A uniform 0x80808080 stays as it is inside.
    LICE_Clear(&bm, 0x80808080);
    LICE_Blur(&bm, &bm, 0, 0, 0, 0, 3, 3);
    EXPECT_EQ(PixelAt(&bm, 1, 1), 0x80808080u);
    EXPECT_TRUE(bm.guardsIntact() && out.guardsIntact());
  }
}

TEST(Blur, InPlaceAndOffsetEqualABlurFromACopy)
{
  std::mt19937 rng(9);
  for (int w : {2, 5, 1030})
    for (int off : {0, 1, -1})
    {
      LICE_MemBitmap bm(w + 2, 6), orig(w + 2, 6), want(w + 2, 6);
      FillRandom(&bm, rng);
      CopyPicture(&bm, &orig);
      CopyPicture(&bm, &want);
      LICE_Blur(&want, &orig, 1 + off, 1, 1, 0, w, 5);
      LICE_Blur(&bm, &bm, 1 + off, 1, 1, 0, w, 5);
      ASSERT_TRUE(SamePicture(&bm, &want)) << w << " " << off;
    }
  // Fewer than two columns or rows: nothing.
  LICE_MemBitmap bm(4, 4);
  LICE_Clear(&bm, 0xFFFFFFFF);
  LICE_Blur(&bm, &bm, 0, 0, 0, 0, 1, 4);
  LICE_Blur(&bm, &bm, 0, 0, 0, 0, 4, 1);
  LICE_Blur(&bm, &bm, 3, 0, 0, 0, 4, 4);
  EXPECT_EQ(LICE_GetPixel(&bm, 3, 0), 0xFFFFFFFFu);
}
}  // namespace
