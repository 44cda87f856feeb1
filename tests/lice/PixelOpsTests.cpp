// Whole-bitmap, rectangle and pixel operations: exact values, clipping, flipped bitmaps.
#include "LiceTestSupport.h"
#include "lice.h"

#include <gtest/gtest.h>

#include <climits>
#include <vector>

using lice_test::FlippedBitmap;
using lice_test::GuardedBitmap;
using lice_test::PixelAt;

namespace
{
// Every interesting position or size for a bitmap of 7 x 5 pixels.
const int kEdges[] = {INT_MIN, INT_MIN + 1, -100, -1, 0, 1, 3, 4, 5, 6, 7, 8, INT_MAX - 1, INT_MAX};

bool Inside(long long px, long long py, long long x, long long y, long long w, long long h)
{
  return px >= x && px < x + w && py >= y && py < y + h;
}

LICE_pixel FillOnce(LICE_pixel dest, LICE_pixel color, float alpha, int mode)
{
  LICE_MemBitmap bm(1, 1);
  bm.getBits()[0] = dest;
  LICE_FillRect(&bm, 0, 0, 1, 1, color, alpha, mode);
  return bm.getBits()[0];
}

LICE_pixel PutOnce(LICE_pixel dest, LICE_pixel color, float alpha, int mode)
{
  LICE_MemBitmap bm(1, 1);
  bm.getBits()[0] = dest;
  LICE_PutPixel(&bm, 0, 0, color, alpha, mode);
  return bm.getBits()[0];
}

TEST(PixelOps, FillRectFastCopyWeights)
{
  EXPECT_EQ(FillOnce(0xFF000000, 0xFFFFFFFF, 0.25f, 0), 0xFD3F3F3Fu);
  EXPECT_EQ(FillOnce(0xFF000000, 0xFFFFFFFF, 0.5f, 0), 0xFE7F7F7Fu);
  EXPECT_EQ(FillOnce(0xFF000000, 0xFFFFFFFF, 0.75f, 0), 0xFDBEBEBEu);
  EXPECT_EQ(FillOnce(0xFF000000, 0x12345678, 1.0f, 0), 0x12345678u);
  // Colour alpha 0x80 with the source-alpha flag: w = (int)(256 * 128 / 255) = 128, the half
  // rule on the whole colour: 0x407F7F7F + 0x7F000000.
  EXPECT_EQ(FillOnce(0xFF000000, 0x80FFFFFF, 1.0f, LICE_BLIT_USE_ALPHA), 0xBF7F7F7Fu);
  // w 100 blends with source alpha 100 (iw 156): colour 255 - 155 = 100, alpha 100 + 94.
  EXPECT_EQ(FillOnce(0xFF000000, 0xFFFFFFFF, 100 / 256.0f, 0), 0xC2646464u);
  // Weights of 0 and below draw nothing in copy mode.
  EXPECT_EQ(FillOnce(0x11223344, 0xFFFFFFFF, 0.0f, 0), 0x11223344u);
  EXPECT_EQ(FillOnce(0x11223344, 0xFFFFFFFF, 0.003f, 0), 0x11223344u);
  EXPECT_EQ(FillOnce(0x11223344, 0xFFFFFFFF, -1.0f, 0), 0x11223344u);
}

TEST(PixelOps, FillRectOtherModesUseTheWeightAsSourceAlpha)
{
  // Add at w 256: colour 200 + 100 saturates, alpha 16 + 256 saturates.
  EXPECT_EQ(FillOnce(0x10C8C8C8, 0x00646464, 1.0f, LICE_BLIT_MODE_ADD), 0xFFFFFFFFu);
  // Add at w -128 subtracts: 200 - 50 = 150; alpha 16 + (-128 * -128) / 256 = 80.
  EXPECT_EQ(FillOnce(0x10C8C8C8, 0x00646464, -0.5f, LICE_BLIT_MODE_ADD), 0x50969696u);
  // Multiply at w 256 by 0x80: 200 -> 100; alpha by 256: unchanged.
  EXPECT_EQ(FillOnce(0x40C8C8C8, 0x00808080, 1.0f, LICE_BLIT_MODE_MUL), 0x40646464u);
  EXPECT_EQ(FillOnce(0x11223344, 0xFFFFFFFF, 1.0f, 6), 0x11223344u);
  EXPECT_EQ(FillOnce(0x11223344, 0xFFFFFFFF, 1.0f, LICE_BLIT_MODE_CHANCOPY), 0x11223344u);
  // Absurd alphas stay defined (the weight is bounded) and saturate.
  EXPECT_EQ(FillOnce(0x10C8C8C8, 0x00646464, 1e30f, LICE_BLIT_MODE_ADD), 0xFFFFFFFFu);
}

TEST(PixelOps, PutPixelUsesTheColoursOwnAlpha)
{
  EXPECT_EQ(PutOnce(0xFF000000, 0xFFFFFFFF, 0.5f, 0), 0xFE7F7F7Fu);
  // w 100: colour 100, alpha 128 + (255 - 128) * 156 / 256 = 205.
  EXPECT_EQ(PutOnce(0xFF000000, 0x80FFFFFF, 100 / 256.0f, 0), 0xCD646464u);
  EXPECT_EQ(PutOnce(0x11223344, 0xFFFFFFFF, 0.001f, 0), 0x11223344u);
  // Add with the colour's alpha 32: 16 + 32.
  EXPECT_EQ(PutOnce(0x10C8C8C8, 0x20646464, 1.0f, LICE_BLIT_MODE_ADD), 0x30FFFFFFu);
  // The source-alpha flag is ignored.
  EXPECT_EQ(PutOnce(0xFF000000, 0x00FFFFFF, 1.0f, LICE_BLIT_USE_ALPHA), 0x00FFFFFFu);
}

TEST(PixelOps, PixelAccessOutsideTheBitmapDoesNothing)
{
  GuardedBitmap bm(7, 5);
  LICE_Clear(&bm, 0x01020304);
  const int outside[][2] = {{-1, 0}, {7, 0}, {0, -1}, {0, 5}, {INT_MIN, INT_MIN}, {INT_MAX, 2}};
  for (const auto& p : outside)
  {
    LICE_PutPixel(&bm, p[0], p[1], 0xFFFFFFFF, 1.0f, 0);
    EXPECT_EQ(LICE_GetPixel(&bm, p[0], p[1]), 0u);
  }
  EXPECT_EQ(LICE_GetPixel(&bm, 6, 4), 0x01020304u);
  EXPECT_TRUE(bm.guardsIntact());
  EXPECT_EQ(LICE_GetPixel(nullptr, 0, 0), 0u);
  LICE_MemBitmap empty;
  EXPECT_EQ(LICE_GetPixel(&empty, 0, 0), 0u);
  LICE_PutPixel(&empty, 0, 0, 1, 1.0f, 0);
  LICE_FillRect(&empty, 0, 0, 1, 1, 1);
  LICE_Clear(nullptr, 0);
}

TEST(PixelOps, FlippedBitmapsAddressRowsFromTheBottom)
{
  FlippedBitmap bm(4, 3);
  LICE_Clear(&bm, 0);
  const int span = bm.getRowSpan();
  LICE_PutPixel(&bm, 1, 0, 0xAABBCCDD, 1.0f, 0);
  EXPECT_EQ(bm.getBits()[2 * span + 1], 0xAABBCCDDu);
  EXPECT_EQ(LICE_GetPixel(&bm, 1, 0), 0xAABBCCDDu);
  LICE_FillRect(&bm, 0, 2, 4, 1, 0x11111111);
  for (int x = 0; x < 4; ++x) EXPECT_EQ(bm.getBits()[x], 0x11111111u);
  LICE_ClearRect(&bm, 0, 2, 2, 1);
  EXPECT_EQ(bm.getBits()[0], 0u);
  EXPECT_EQ(bm.getBits()[2], 0x11111111u);
}

// Every rectangle operation touches exactly the pixels inside (x, y, w, h), for any int
// coordinates, in both orientations, and nothing outside the bitmap.
TEST(PixelOps, RectangleOperationsClipAtEveryEdgeAndCorner)
{
  auto mark = [](LICE_pixel* p, void*) { *p = 0x55555555; };
  for (bool flipped : {false, true})
    for (int op = 0; op < 4; ++op)
    {
      GuardedBitmap bm(7, 5, flipped);
      for (int x : kEdges)
        for (int y : kEdges)
          for (int w : kEdges)
            for (int h : {INT_MIN, -1, 0, 1, 5, 6, INT_MAX})
            {
              LICE_Clear(&bm, 0x01010101);
              switch (op)
              {
                case 0: LICE_FillRect(&bm, x, y, w, h, 0x55555555); break;
                case 1: LICE_ClearRect(&bm, x, y, w, h, 0, 0x55555555); break;
                case 2: LICE_ProcessRect(&bm, x, y, w, h, mark, nullptr); break;
                default:
                  LICE_MultiplyAddRect(&bm, x, y, w, h, 0, 0, 0, 0, 85, 85, 85, 85);
              }
              for (int py = 0; py < 5; ++py)
                for (int px = 0; px < 7; ++px)
                {
                  const LICE_pixel want = Inside(px, py, x, y, w, h) ? 0x55555555u : 0x01010101u;
                  const LICE_pixel got = PixelAt(&bm, px, py);
                  if (got != want)
                  {
                    ADD_FAILURE() << "op " << op << " flipped " << flipped << " rect " << x << ","
                                  << y << "," << w << "," << h << " pixel " << px << "," << py;
                    return;
                  }
                }
            }
      EXPECT_TRUE(bm.guardsIntact());
    }
}

TEST(PixelOps, ClearRectKeepsMaskedBitsAndOrsTheRest)
{
  LICE_MemBitmap bm(2, 1);
  bm.getBits()[0] = 0x80123456;
  bm.getBits()[1] = 0x80123456;
  LICE_ClearRect(&bm, 0, 0, 1, 1, 0xFF000000);
  EXPECT_EQ(bm.getBits()[0], 0x80000000u);
  LICE_ClearRect(&bm, 1, 0, 1, 1, 0x00FF00FF, 0x0000FF00);
  EXPECT_EQ(bm.getBits()[1], 0x0012FF56u);
  LICE_ClearRect(&bm, 0, 0, 2, 1);
  EXPECT_EQ(bm.getBits()[1], 0u);
}

TEST(PixelOps, ProcessRectVisitsRowsTopDownLeftToRight)
{
  FlippedBitmap bm(5, 4);
  std::vector<LICE_pixel*> order;
  LICE_ProcessRect(&bm, 1, 1, 2, 2, [](LICE_pixel* p, void* v) {
    static_cast<std::vector<LICE_pixel*>*>(v)->push_back(p);
  }, &order);
  const int span = bm.getRowSpan();
  LICE_pixel* b = bm.getBits();
  // Picture rows 1 and 2 are memory rows 2 and 1.
  const std::vector<LICE_pixel*> want = {b + 2 * span + 1, b + 2 * span + 2, b + span + 1, b + span + 2};
  EXPECT_EQ(order, want);
  LICE_ProcessRect(&bm, 0, 0, 5, 4, nullptr, nullptr);
}

TEST(PixelOps, MultiplyAddRectPerChannel)
{
  LICE_MemBitmap bm(3, 1);
  LICE_pixel* p = bm.getBits();
  p[0] = p[1] = p[2] = 0x40C864C8;  // A64 R200 G100 B200
  LICE_MultiplyAddRect(&bm, 0, 0, 1, 1, 1, 1, 1, 1, 0, 0, 0, 0);
  EXPECT_EQ(p[0], 0x40C864C8u);
  LICE_MultiplyAddRect(&bm, 1, 0, 1, 1, 1, 1, 1, 0, 0, 0, 0, 255);
  EXPECT_EQ(p[1], 0xFFC864C8u);
  // R: 0.5 * 200 + 10 = 110; G: 100 * -1 -> 0; B: 1.5 * 200 = 300 -> 255; A: 64 * 2 - 1 = 127.
  LICE_MultiplyAddRect(&bm, 2, 0, 1, 1, 0.5f, -1, 1.5f, 2, 10, 0, 0, -1);
  EXPECT_EQ(p[2], 0x7F6E00FFu);
}

TEST(PixelOps, SetAlphaFromColorMask)
{
  FlippedBitmap bm(3, 1);
  LICE_pixel* p = bm.getBits();
  p[0] = 0x80FF00FF;
  p[1] = 0x00FF00FE;
  p[2] = 0x12345678;
  LICE_SetAlphaFromColorMask(&bm, 0xFF00FF);
  EXPECT_EQ(p[0], 0x00FF00FFu);
  EXPECT_EQ(p[1], 0xFFFF00FEu);
  EXPECT_EQ(p[2], 0xFF345678u);
}

TEST(PixelOps, SimpleFillFollowsColumnX)
{
  // 0 = background, 1 = wall. The fill starts at (2, 2) and fills only spans through column 2:
  // row 3 stops the downward pass (its column-2 pixel is a wall), and the pocket at the top right
  // stays although it touches a filled span.
  const char* rows[] = {"000100",
                        "110101",
                        "000001",
                        "011000",
                        "010111"};
  const char* want[] = {"xxx100",
                        "11x101",
                        "xxxxx1",
                        "011000",
                        "010111"};
  for (bool flipped : {false, true})
  {
    GuardedBitmap bm(6, 5, flipped);
    for (int y = 0; y < 5; ++y)
      for (int x = 0; x < 6; ++x)
        LICE_PutPixel(&bm, x, y, rows[y][x] == '1' ? 0xFF000001 : 0xFF000000, 1.0f, 0);
    LICE_SimpleFill(&bm, 2, 2, 0x00ABCD00, 0x00FFFFFF, 0xFF000000);
    for (int y = 0; y < 5; ++y)
      for (int x = 0; x < 6; ++x)
      {
        const LICE_pixel expect = want[y][x] == 'x' ? 0xFFABCD00u : (want[y][x] == '1' ? 0xFF000001u : 0xFF000000u);
        EXPECT_EQ(PixelAt(&bm, x, y), expect) << x << "," << y << " flipped " << flipped;
      }
    LICE_SimpleFill(&bm, -1, 0, 0, 0, 0);
    LICE_SimpleFill(&bm, 6, 0, 0, 0, 0);
    EXPECT_TRUE(bm.guardsIntact());
  }
}

TEST(PixelOps, ClearAndCopyKeepThePicture)
{
  FlippedBitmap src(5, 3);
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 5; ++x) LICE_PutPixel(&src, x, y, 0x01000000u * (y * 5 + x + 1), 1.0f, 0);
  LICE_MemBitmap dst(1, 1);
  LICE_Copy(&dst, &src);
  ASSERT_EQ(dst.getWidth(), 5);
  ASSERT_EQ(dst.getHeight(), 3);
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 5; ++x) EXPECT_EQ(PixelAt(&dst, x, y), PixelAt(&src, x, y));
  LICE_Clear(&dst, 0x42424242);
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 5; ++x) EXPECT_EQ(PixelAt(&dst, x, y), 0x42424242u);
  LICE_Copy(&dst, nullptr);
  LICE_Copy(nullptr, &src);
}
}  // namespace
