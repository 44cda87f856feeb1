// Bessel low-pass coefficients and stage.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <initializer_list>
#include <limits>

#include "WDL_BesselFilter.h"

namespace
{
TEST(BesselCoeffs, EffectCutoff0Point0625)
{
  WDL_BesselFilterCoeffs k;
  k.Calc(0.0625);
  EXPECT_NEAR(0.0121587204784520, k.c[0], 0.0121587204784520 * 1e-13);
  const double c[8] = {3.988081,  -7.328170, 8.043877, -5.735068,
                       2.706754, -0.822619, 0.146709, -0.011723};
  for (int j = 1; j <= 8; ++j) EXPECT_NEAR(c[j - 1], k.c[j], 5.1e-7) << "c" << j;
}

TEST(BesselCoeffs, Cutoff0Point25)
{
  WDL_BesselFilterCoeffs k;
  k.Calc(0.25);
  EXPECT_NEAR(1.5239874, k.c[0], 5.1e-8);
  EXPECT_NEAR(-0.467275, k.c[1], 5.1e-7);
}

TEST(BesselCoeffs, UnitGainAtDcForAnyCutoff)
{
  // Small alphas lose digits in 1 - sum (c0 is about 3e-8 at 0.01), hence the tolerance.
  for (double alpha : {0.01, 0.02, 0.03, 0.05, 0.0625, 0.1, 0.2, 0.25, 0.3, 0.4, 0.45, 0.49})
  {
    WDL_BesselFilterCoeffs k;
    k.Calc(alpha);
    double sum = 0.0;
    for (int j = 1; j <= 8; ++j) sum += k.c[j];
    EXPECT_NEAR(1.0, k.c[0] / (1.0 - sum), 1e-9) << alpha;
  }
}

TEST(BesselCoeffs, CalcIsRepeatable)
{
  WDL_BesselFilterCoeffs a, b;
  a.Calc(0.3);
  a.Calc(0.0625);
  b.Calc(0.0625);
  EXPECT_EQ(0, std::memcmp(a.c, b.c, sizeof(a.c)));
}

TEST(BesselStage, ClearedHistoryGivesExactlyC0)
{
  WDL_BesselFilterCoeffs k;
  k.Calc(0.0625);
  WDL_BesselFilterStage s;
  for (int i = 0; i < 4; ++i)
  {
    s.Reset();
    EXPECT_EQ(k.c[0], s.Process(1.0, k));
    EXPECT_EQ(k.c[0], s.Output());
    for (int j = 1; j <= 8; ++j) EXPECT_EQ(0.0, s.hist[j]);
  }
}

TEST(BesselStage, ShiftsAndSumsInOrder)
{
  WDL_BesselFilterCoeffs k;
  k.Calc(0.0625);
  WDL_BesselFilterStage s;
  for (int j = 0; j <= 8; ++j) s.hist[j] = 0.1 * (j + 1);
  double h[9];
  std::memcpy(h, s.hist, sizeof(h));
  const double y = s.Process(0.5, k);
  double want = k.c[0] * 0.5;
  for (int j = 1; j <= 8; ++j) want += k.c[j] * h[j - 1];
  EXPECT_EQ(want, y);
  EXPECT_EQ(y, s.hist[0]);
  for (int j = 1; j <= 8; ++j) EXPECT_EQ(h[j - 1], s.hist[j]);
}

TEST(BesselStage, ZeroAndSubnormalOutputsFlushToPositiveZero)
{
  WDL_BesselFilterCoeffs k;
  k.Calc(0.0625);
  WDL_BesselFilterStage s;
  const double tiny = std::numeric_limits<double>::denorm_min();
  for (double x : {1e-310, -1e-310, 1e-307, -1e-307, -0.0, 0.0, tiny})
  {
    s.Reset();
    const double y = s.Process(x, k);
    EXPECT_EQ(0.0, y) << x;
    EXPECT_FALSE(std::signbit(y)) << x;
    EXPECT_FALSE(std::signbit(s.hist[0])) << x;
  }
  // The smallest normal output is kept.
  s.Reset();
  const double x = std::numeric_limits<double>::min() / k.c[0] * 2.0;
  const double y = s.Process(x, k);
  EXPECT_GE(std::fabs(y), std::numeric_limits<double>::min());
  EXPECT_EQ(k.c[0] * x, y);
}

TEST(BesselStage, LowPassSettlesToUnitGain)
{
  WDL_BesselFilterCoeffs k;
  k.Calc(0.0625);
  WDL_BesselFilterStage s;
  double y = 0.0;
  for (int i = 0; i < 2000; ++i) y = s.Process(1.0, k);
  EXPECT_NEAR(1.0, y, 1e-9);
}
} // namespace
