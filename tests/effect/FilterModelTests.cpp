// Preamp filter models: responses from the coefficients that Calc computes, the
// fast Process against a plain reference loop, and history persistence.

#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <cstdint>
#include <cstring>
#include <initializer_list>
#include <random>
#include <vector>

#include "V763k.h"
#include "V76300.h"
#include "V7680.h"
#include "V7680300.h"
#include "V76F.h"

namespace
{
const double kPi = 3.14159265358979323846;

// |H(e^jw)| in dB at frequency f for a filter running at rate r, from its b/a coefficients.
template <class F>
double ResponseDb(const F& f, double hz, double r)
{
  const double w = 2.0 * kPi * hz / r;
  std::complex<double> num = 0.0, den = 0.0;
  for (int k = 0; k <= F::kOrder; ++k)
  {
    const std::complex<double> z = std::polar(1.0, -w * k);
    num += f.B()[k] * z;
    den += f.A()[k] * z;
  }
  return 20.0 * std::log10(std::abs(num / den));
}

// Rate at which each model runs for a sample rate fs (V76F at twice the rate).
template <class F>
double RunRate(double fs)
{
  return fs;
}
template <>
double RunRate<V76F>(double fs)
{
  return 2.0 * fs;
}

template <class F>
F Made(double fs)
{
  F f;
  f.Calc(RunRate<F>(fs));
  return f;
}

struct Point
{
  double hz;
  double db;
};

// The published response figures at fs = 44100, stated to two decimals.
template <class F>
void ExpectResponse(const std::vector<Point>& points, double fs, double tol, double belowHz)
{
  const F f = Made<F>(fs);
  for (const Point& p : points)
  {
    if (p.hz >= belowHz) continue;
    EXPECT_NEAR(p.db, ResponseDb(f, p.hz, RunRate<F>(fs)), tol) << p.hz << " Hz at fs " << fs;
  }
}

const std::vector<Point> kV76F = {{20, -3.22}, {10000, -2.88}, {20000, -6.13}};
const std::vector<Point> kV7680 = {{20, -38.77}, {50, -13.46}, {80, -3.15}, {20000, -37.62}};
const std::vector<Point> kV76300 = {
  {20, -29.31}, {100, -15.59}, {300, -7.73}, {1000, -3.96}, {20000, -37.66}};
const std::vector<Point> kV7680300 = {
  {20, -55.93}, {100, -9.86}, {300, -6.86}, {1000, -3.86}, {20000, -37.66}};
const std::vector<Point> kV763k = {{0, 0.0}, {1000, -0.57}, {3000, -3.17}, {20000, -8.28}};

// Two decimals: half a unit in the last place, plus a little for the figure's own rounding.
const double kTableTol = 0.0051;

TEST(PreampFilterResponse, TableFiguresAt44100)
{
  ExpectResponse<V76F>(kV76F, 44100, kTableTol, 1e9);
  ExpectResponse<V7680>(kV7680, 44100, kTableTol, 1e9);
  ExpectResponse<V76300>(kV76300, 44100, kTableTol, 1e9);
  ExpectResponse<V7680300>(kV7680300, 44100, kTableTol, 1e9);
  ExpectResponse<V763k>(kV763k, 44100, kTableTol, 1e9);
}

TEST(PreampFilterResponse, SameFiguresBelow3kHzAt48000And96000)
{
  for (double fs : {48000.0, 96000.0})
  {
    ExpectResponse<V76F>(kV76F, fs, 0.1, 3000);
    ExpectResponse<V7680>(kV7680, fs, 0.1, 3000);
    ExpectResponse<V76300>(kV76300, fs, 0.1, 3000);
    ExpectResponse<V7680300>(kV7680300, fs, 0.1, 3000);
    ExpectResponse<V763k>(kV763k, fs, 0.1, 3000);
  }
  EXPECT_NEAR(-3.15, ResponseDb(Made<V7680>(48000), 80, 48000), 0.0051);
  EXPECT_NEAR(-3.16, ResponseDb(Made<V763k>(48000), 3000, 48000), 0.0051);
}

TEST(PreampFilterResponse, OutputStageIsFlatAboutMinus3Point2dBUpToAFewKilohertz)
{
  const V76F f = Made<V76F>(44100);
  for (double hz : {0.0, 20.0, 100.0, 500.0, 1000.0, 2000.0})
    EXPECT_NEAR(-3.2, ResponseDb(f, hz, 88200), 0.05) << hz << " Hz";
}

TEST(PreampFilterResponse, HighPass80IsAboutMinus3Point2dBAbove80Hz)
{
  const V7680 f = Made<V7680>(44100);
  for (double hz : {200.0, 1000.0, 3000.0})
    EXPECT_NEAR(-3.2, ResponseDb(f, hz, 44100), 0.1) << hz << " Hz";
}

TEST(PreampFilterResponse, ShelfNyquistGainIs0Point3846AtEveryRate)
{
  for (double fs : {22050.0, 44100.0, 48000.0, 88200.0, 96000.0, 192000.0})
  {
    const V763k f = Made<V763k>(fs);
    const double nyquist = std::abs((f.B()[0] - f.B()[1]) / (f.A()[0] - f.A()[1]));
    EXPECT_NEAR(0.3846, nyquist, 0.00005) << fs;
    EXPECT_NEAR(6.9060773480663e-06 / 1.79558011049724e-05, nyquist, 1e-12) << fs;
    EXPECT_NEAR(1.0, (f.B()[0] + f.B()[1]) / (f.A()[0] + f.A()[1]), 1e-15) << fs;
    EXPECT_NEAR(-8.30, ResponseDb(f, fs / 2, fs), 0.0051) << fs;
  }
}

// Steady-state gain measured with a sine through Process, against the coefficient response.
template <class F>
void ExpectSineGain(double fs, double hz)
{
  F f = Made<F>(fs);
  const double r = RunRate<F>(fs);
  const double w = 2.0 * kPi * hz / r;
  const int settle = static_cast<int>(r), periods = 50;
  const int n = static_cast<int>(std::lround(periods * r / hz));
  for (int i = 0; i < settle; ++i) f.Process(std::sin(w * i));
  double s = 0.0, c = 0.0;
  for (int i = settle; i < settle + n; ++i)
  {
    const double y = f.Process(std::sin(w * i));
    s += y * std::sin(w * i);
    c += y * std::cos(w * i);
  }
  const double amp = 2.0 * std::hypot(s, c) / n;
  EXPECT_NEAR(ResponseDb(f, hz, r), 20.0 * std::log10(amp), 0.01) << hz << " Hz";
}

TEST(PreampFilterProcess, SineThroughProcessMatchesTheResponse)
{
  ExpectSineGain<V76F>(44100, 1000);
  ExpectSineGain<V7680>(44100, 80);
  ExpectSineGain<V76300>(44100, 300);
  ExpectSineGain<V7680300>(44100, 1000);
  ExpectSineGain<V763k>(44100, 3000);
}

TEST(PreampFilterProcess, ConstantInput)
{
  const int n = 200000;
  V76F f = Made<V76F>(44100);
  V7680 h1 = Made<V7680>(44100);
  V76300 h2 = Made<V76300>(44100);
  V7680300 h3 = Made<V7680300>(44100);
  V763k s = Made<V763k>(44100);
  double yf = 0, y1 = 0, y2 = 0, y3 = 0, ys = 0;
  for (int i = 0; i < n; ++i)
  {
    yf = f.Process(1.0);
    y1 = h1.Process(1.0);
    y2 = h2.Process(1.0);
    y3 = h3.Process(1.0);
    ys = s.Process(1.0);
  }
  EXPECT_NEAR(0.69, yf, 0.005);
  EXPECT_NEAR(std::pow(10.0, -3.22 / 20), yf, 0.001);
  EXPECT_NEAR(0.0, y1, 1e-10); // the numerators sum to 0 (up to rounding)
  EXPECT_NEAR(0.0, y2, 1e-10);
  EXPECT_NEAR(0.0, y3, 1e-10);
  EXPECT_NEAR(1.0, ys, 1e-12);
}

// The straightforward direct-form-I step, over the coefficients Calc computed.
struct ReferenceDF1
{
  double x[8] = {};
  double y[8] = {};

  double Process(const double* a, const double* b, int order, double in)
  {
    double acc = b[0] * in;
    for (int k = 1; k <= order; ++k) acc += b[k] * x[k - 1];
    for (int k = 1; k <= order; ++k) acc -= a[k] * y[k - 1];
    const double out = acc / a[0];
    for (int k = order - 1; k > 0; --k)
    {
      x[k] = x[k - 1];
      y[k] = y[k - 1];
    }
    x[0] = in;
    y[0] = out;
    return out;
  }
};

std::uint64_t Bits(double v)
{
  std::uint64_t u;
  std::memcpy(&u, &v, sizeof(u));
  return u;
}

// A long seeded signal: uniform noise, loud and tiny stretches, silence, a rate change midway.
template <class F>
void ExpectBitIdenticalToReference(unsigned seed)
{
  std::mt19937_64 rng(seed);
  std::uniform_real_distribution<double> u(-1.0, 1.0);
  F f;
  ReferenceDF1 ref;
  const int n = 400000;
  for (int i = 0; i < n; ++i)
  {
    if (i == 0) f.Calc(RunRate<F>(44100));
    if (i == n / 2) f.Calc(RunRate<F>(96000)); // histories carry over the change of rate
    double x = u(rng);
    const int seg = (i / 10000) % 5;
    if (seg == 1) x *= 1000.0;
    if (seg == 2) x *= 1e-300;
    if (seg == 3) x = 0.0;
    const double want = ref.Process(f.A(), f.B(), F::kOrder, x);
    const double got = f.Process(x);
    ASSERT_EQ(Bits(want), Bits(got)) << "sample " << i;
    ASSERT_EQ(Bits(x), Bits(f.LastInput()));
    ASSERT_EQ(Bits(got), Bits(f.LastOutput()));
  }
  for (int k = 0; k < F::kOrder; ++k)
  {
    EXPECT_EQ(Bits(ref.x[k]), Bits(f.InputHistory()[k]));
    EXPECT_EQ(Bits(ref.y[k]), Bits(f.OutputHistory()[k]));
  }
}

TEST(PreampFilterProcess, FastProcessIsBitIdenticalToTheReferenceLoop)
{
  ExpectBitIdenticalToReference<V76F>(1);
  ExpectBitIdenticalToReference<V7680>(2);
  ExpectBitIdenticalToReference<V76300>(3);
  ExpectBitIdenticalToReference<V7680300>(4);
  ExpectBitIdenticalToReference<V763k>(5);
}

template <class F>
void ExpectConstructedZero()
{
  const F f;
  EXPECT_EQ(0.0, f.LastInput());
  EXPECT_EQ(0.0, f.LastOutput());
  for (int k = 0; k < F::kOrder; ++k)
  {
    EXPECT_EQ(0.0, f.InputHistory()[k]);
    EXPECT_EQ(0.0, f.OutputHistory()[k]);
  }
  for (int k = 0; k <= F::kOrder; ++k)
  {
    EXPECT_EQ(0.0, f.A()[k]);
    EXPECT_EQ(0.0, f.B()[k]);
  }
}

TEST(PreampFilterState, ConstructorZeroesHistoriesAndCoefficients)
{
  ExpectConstructedZero<V76F>();
  ExpectConstructedZero<V7680>();
  ExpectConstructedZero<V76300>();
  ExpectConstructedZero<V7680300>();
  ExpectConstructedZero<V763k>();
}

// Calc leaves the histories alone; calling it at every sample with the same rate gives the same
// output as calling it once; a filter left idle resumes from its old history.
template <class F>
void ExpectHistoriesPersist()
{
  const double r = RunRate<F>(44100);
  F once, every, idle;
  once.Calc(r);
  every.Calc(r);
  idle.Calc(r);
  std::mt19937_64 rng(7);
  std::uniform_real_distribution<double> u(-1.0, 1.0);
  std::vector<double> in(5000);
  for (double& v : in) v = u(rng);
  for (int i = 0; i < 2000; ++i)
  {
    once.Process(in[i]);
    idle.Process(in[i]);
  }
  const F before = idle;
  idle.Calc(96000);
  idle.Calc(r);
  for (int k = 0; k < F::kOrder; ++k)
  {
    EXPECT_EQ(Bits(before.InputHistory()[k]), Bits(idle.InputHistory()[k]));
    EXPECT_EQ(Bits(before.OutputHistory()[k]), Bits(idle.OutputHistory()[k]));
  }
  for (int i = 2000; i < 5000; ++i)
  {
    const double a = once.Process(in[i]);
    ASSERT_EQ(Bits(a), Bits(idle.Process(in[i]))) << i;
  }
  for (int i = 0; i < 5000; ++i)
  {
    every.Calc(r);
    (void)every.Process(in[i]);
  }
  EXPECT_EQ(Bits(once.LastOutput()), Bits(every.LastOutput()));
  for (int k = 0; k < F::kOrder; ++k)
    EXPECT_EQ(Bits(once.OutputHistory()[k]), Bits(every.OutputHistory()[k]));
}

TEST(PreampFilterState, HistoriesPersistAcrossCallsAndCalc)
{
  ExpectHistoriesPersist<V76F>();
  ExpectHistoriesPersist<V7680>();
  ExpectHistoriesPersist<V76300>();
  ExpectHistoriesPersist<V7680300>();
  ExpectHistoriesPersist<V763k>();
}

TEST(PreampFilterCoefficients, SpotValuesFromTheTables)
{
  const V76F f = Made<V76F>(44100);
  EXPECT_EQ(0.008, f.B()[2]);
  EXPECT_EQ(4.56341832111709e-06 * 88200.0, f.B()[0]);
  const V763k s = Made<V763k>(44100);
  EXPECT_EQ(1.79558011049724e-05 * 44100.0 + 0.138121546961326, s.A()[0]);
  EXPECT_EQ(-6.9060773480663e-06 * 44100.0 + 0.138121546961326, s.B()[1]);
  const V7680 h = Made<V7680>(44100);
  EXPECT_EQ(1.96501021996296e-15 * std::pow(44100.0, 3), h.B()[0]);
  EXPECT_EQ(0.0, h.B()[1]);
  EXPECT_EQ(0.0, h.B()[3]);
  EXPECT_EQ(0.0, h.B()[5]);
  // The denominators mirror: a_j and a_(N-j) agree at r = 0 (the constant column).
  V7680300 h3;
  h3.Calc(0.0);
  EXPECT_EQ(3.08428193521881e-07, h3.A()[0]);
  EXPECT_EQ(h3.A()[1], h3.A()[5]);
  EXPECT_EQ(6.16856387043762e-06, h3.A()[3]);
}
} // namespace
