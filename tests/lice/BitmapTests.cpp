#include "lice.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdint>

TEST(MemBitmap, RowSpanIsPaddedAndBitsAre64ByteAligned)
{
  LICE_MemBitmap bm(10, 1);
  EXPECT_EQ(bm.getRowSpan(), 12);
  ASSERT_NE(bm.getBits(), nullptr);
  EXPECT_EQ((uintptr_t)bm.getBits() % 64, 0u);
  LICE_MemBitmap unaligned(10, 1, 1);
  EXPECT_EQ(unaligned.getRowSpan(), 10);
  LICE_MemBitmap wide(10, 1, 16);
  EXPECT_EQ(wide.getRowSpan(), 16);
}

TEST(MemBitmap, ShrinkKeepsTheBlockAndGrowthAddsAQuarter)
{
  LICE_MemBitmap bm(100, 100);
  LICE_pixel* bits = bm.getBits();
  EXPECT_EQ(bm.getAllocSize(), 100 * 100 * 4);
  EXPECT_TRUE(bm.resize(50, 50));
  EXPECT_EQ(bm.getBits(), bits);
  EXPECT_FALSE(bm.resize(50, 50));
  EXPECT_TRUE(bm.resize(200, 200));
  EXPECT_EQ(bm.getAllocSize(), 200 * 200 * 4 + 200 * 200);
  EXPECT_EQ(bm.getWidth(), 200);
}

TEST(MemBitmap, OverflowingSizesGiveAnEmptyBitmap)
{
  const int sizes[][2] = {{65536, 65536}, {INT_MAX, 1}, {1, INT_MAX}, {INT_MAX - 1, 2},
                          {46341, 46341}, {-5, 10}, {10, 0}};
  for (const auto& s : sizes)
  {
    LICE_MemBitmap bm(8, 8);
    bm.resize(s[0], s[1]);
    EXPECT_EQ(bm.getWidth(), 0) << s[0] << " x " << s[1];
    EXPECT_EQ(bm.getHeight(), 0);
    EXPECT_EQ(bm.getBits(), nullptr);
  }
}

TEST(SysBitmap, ZeroFilledContextReusedWhileLargeEnough)
{
  LICE_SysBitmap bm(10, 3);
  ASSERT_NE(bm.getBits(), nullptr);
  ASSERT_NE(bm.getDC(), nullptr);
  EXPECT_EQ(bm.getRowSpan(), 12);
  for (int i = 0; i < 12 * 3; ++i) ASSERT_EQ(bm.getBits()[i], 0u);
  HDC dc = bm.getDC();
  EXPECT_TRUE(bm.resize(8, 2));
  EXPECT_EQ(bm.getDC(), dc);
  EXPECT_TRUE(bm.resize(20, 2));
  EXPECT_EQ(bm.getRowSpan(), 20);
  bm.resize(INT_MAX, 1000);
  EXPECT_EQ(bm.getWidth(), 0);
  EXPECT_EQ(bm.getBits(), nullptr);
}
