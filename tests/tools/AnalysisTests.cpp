// The spectra and tone analysis behind `brelix analyze`, on synthetic signals of known content.
#include "HostError.h"
#include "SpectrumAnalyzer.h"
#include "ToneAnalysis.h"

#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>
#include <random>

using brelix::SpectrumAnalyzer;
using brelix::ToneAnalysis;

namespace {

constexpr double kRate = 48000;
constexpr int kSize = 65536;

struct Partial
{
  double hz;
  double amplitude;
};

// Sines (random phases) plus Gaussian white noise of the given RMS, seeded.
std::vector<double> signal(int frames, const std::vector<Partial>& partials, double noiseRms = 0, unsigned seed = 7)
{
  std::mt19937 random(seed);
  std::uniform_real_distribution<double> phase(0, 2 * M_PI);
  std::normal_distribution<double> noise(0, noiseRms > 0 ? noiseRms : 1);
  std::vector<double> x(size_t(frames), 0.0);
  for (const Partial& p : partials)
  {
    const double start = phase(random);
    for (int i = 0; i < frames; ++i)
      x[size_t(i)] += p.amplitude * std::sin(2 * M_PI * p.hz * i / kRate + start);
  }
  if (noiseRms > 0)
    for (double& v : x)
      v += noise(random);
  return x;
}

double db(double ratio)
{
  return 10 * std::log10(ratio);
}

double dbc(double levelDb)
{
  return std::pow(10.0, levelDb / 20);  // amplitude relative to the fundamental's
}

std::vector<double> spectrum(const std::vector<double>& x, int* segments = nullptr)
{
  SpectrumAnalyzer analyzer(kSize);
  return analyzer.PowerSpectrum({x.data()}, int64_t(x.size()), segments);
}

ToneAnalysis analyze(const std::vector<double>& x, double fundamentalHz = 0)
{
  return ToneAnalysis::Analyze(spectrum(x), kRate / kSize, fundamentalHz);
}

} // namespace

TEST(SpectrumAnalyzer, PowerAddsUpAndATonesLeakageStaysInItsMainLobe)
{
  int segments = 0;
  const auto sine = spectrum(signal(4 * 48000, {{1234.567, 0.5}}), &segments);
  EXPECT_EQ(segments, 4 * 48000 / (kSize / 2) - 1);
  ASSERT_EQ(sine.size(), size_t(kSize / 2 + 1));
  const int peak = int(std::max_element(sine.begin(), sine.end()) - sine.begin());
  EXPECT_EQ(peak, int(std::lround(1234.567 / (kRate / kSize))));
  const int lobe = SpectrumAnalyzer::kMainLobeBins;
  double inLobe = 0, outside = 0, strongestOutside = 0;
  for (int k = 0; k < int(sine.size()); ++k)
    if (std::abs(k - peak) <= lobe)
      inLobe += sine[size_t(k)];
    else
    {
      outside += sine[size_t(k)];
      strongestOutside = std::max(strongestOutside, sine[size_t(k)]);
    }
  EXPECT_NEAR(db(inLobe / 0.125), 0, 0.001) << "a sine's main lobe holds its mean square";
  EXPECT_LT(db(strongestOutside / sine[size_t(peak)]), -ToneAnalysis::kDynamicRangeDb) << "side lobes";
  EXPECT_LT(db(outside / 0.125), -150) << "all side lobes together";

  const double variance = 0.01;
  const auto noise = spectrum(signal(4 * 48000, {}, std::sqrt(variance)));
  double total = 0;
  for (double p : noise)
    total += p;
  EXPECT_NEAR(total / variance, 1.0, 0.02) << "the bins of noise add up to its mean square";

  // Channels are averaged: a sine in one channel of two counts half.
  const auto left = signal(2 * kSize, {{3000, 0.5}});
  const std::vector<double> right(left.size(), 0.0);
  SpectrumAnalyzer analyzer(kSize);
  const auto both = analyzer.PowerSpectrum({left.data(), right.data()}, int64_t(left.size()));
  const auto one = analyzer.PowerSpectrum({left.data()}, int64_t(left.size()));
  for (size_t k = 0; k < both.size(); ++k)
    ASSERT_DOUBLE_EQ(both[k], one[k] / 2) << "bin " << k;
}

TEST(SpectrumAnalyzer, SpectrogramFollowsAToneThatChangesFrequency)
{
  const int size = 2048, hop = 512;
  const double binHz = kRate / size;
  // A full-scale sine on bin 43, then one on bin 213.
  auto x = signal(48000, {{43 * binHz, 1.0}});
  const auto second = signal(48000, {{213 * binHz, 1.0}});
  x.insert(x.end(), second.begin(), second.end());

  SpectrumAnalyzer analyzer(size);
  const brelix::SpectrogramGrid grid = analyzer.Spectrogram(x.data(), int64_t(x.size()), kRate, hop);
  EXPECT_EQ(grid.columns, (96000 - size) / hop + 1);
  EXPECT_EQ(grid.bins, size / 2 + 1);
  EXPECT_DOUBLE_EQ(grid.binHz, binHz);
  EXPECT_DOUBLE_EQ(grid.secondsPerColumn, hop / kRate);
  for (int column = 0; column < grid.columns; ++column)
  {
    const double start = column * grid.secondsPerColumn, end = start + size / kRate;
    if (start < 1.0 && end > 1.0)
      continue;  // straddles the change
    const int bin = end <= 1.0 ? 43 : 213;
    ASSERT_NEAR(grid.At(column, bin), 0.0, 0.01) << "column " << column;
    for (int k = 0; k < grid.bins; ++k)
    {
      if (std::abs(k - bin) > SpectrumAnalyzer::kMainLobeBins)
      {
        ASSERT_LT(grid.At(column, k), -170) << "column " << column << ", bin " << k;
      }
    }
  }
}

TEST(SpectrumAnalyzer, RefusesSizesThatAreNotPowersOfTwo)
{
  EXPECT_THROW(SpectrumAnalyzer(1000), vst3host::HostError);
  EXPECT_THROW(SpectrumAnalyzer(32), vst3host::HostError);
}

TEST(ToneAnalysis, FindsAKnownInharmonicComponentWithin1Db)
{
  // A 1 kHz tone with two harmonics, noise at −130 dBFS, and one inharmonic line.
  for (double level : {-20.0, -45.0, -60.0, -90.0})
    for (double given : {0.0, 1000.0})
    {
      const auto x = signal(5 * 48000, {{1000, 0.5}, {2000, 0.5 * dbc(-30)}, {3000, 0.5 * dbc(-42)},
                                        {3712.5, 0.5 * dbc(level)}},
                            std::pow(10.0, -130.0 / 20));
      const ToneAnalysis a = analyze(x, given);
      ASSERT_TRUE(a.found);
      EXPECT_NEAR(a.fundamental.hz, 1000, 0.01);
      EXPECT_NEAR(db(a.fundamental.power), db(0.125), 0.01);
      ASSERT_EQ(a.harmonics.size(), 22u);
      EXPECT_NEAR(db(a.harmonics[0].power / a.fundamental.power), -30, 0.05);
      EXPECT_NEAR(db(a.harmonics[1].power / a.fundamental.power), -42, 0.05);
      EXPECT_NEAR(db(a.HarmonicPower() / a.fundamental.power), db(dbc(-30) * dbc(-30) + dbc(-42) * dbc(-42)), 0.05);
      EXPECT_EQ(a.aliasingLines, 1) << level;
      EXPECT_NEAR(db(a.aliasingPower / a.fundamental.power), level, 1.0);
      EXPECT_NEAR(a.strongestLine.hz, 3712.5, 0.1);
    }

  // Two lines add up as powers.
  const auto two = signal(5 * 48000, {{5000, 0.5}, {3000, 0.5 * dbc(-50)}, {13000, 0.5 * dbc(-56)}});
  const ToneAnalysis a = analyze(two);
  EXPECT_EQ(a.aliasingLines, 2);
  EXPECT_NEAR(db(a.aliasingPower / a.fundamental.power), db(dbc(-50) * dbc(-50) + dbc(-56) * dbc(-56)), 1.0);
  EXPECT_NEAR(a.strongestLine.hz, 3000, 0.1);
}

TEST(ToneAnalysis, HarmonicsAndNoiseAreNotAliasing)
{
  const double noiseRms = std::pow(10.0, -100.0 / 20);
  const auto noisy = signal(5 * 48000, {{440, 0.5}, {1320, 0.05}, {2200, 0.005}, {23760, 0.001}}, noiseRms);
  const ToneAnalysis a = analyze(noisy);
  ASSERT_TRUE(a.found);
  EXPECT_EQ(a.aliasingLines, 0);
  EXPECT_EQ(a.aliasingPower, 0);
  EXPECT_EQ(a.harmonics.size(), 53u) << "up to 23760 Hz";
  EXPECT_NEAR(db(a.harmonics.back().power / a.fundamental.power), -54, 0.1);
  // White noise spreads its mean square evenly over the bins; the median finds that level.
  EXPECT_NEAR(db(a.floorPerBin / (noiseRms * noiseRms * 2 / kSize)), 0, 1.0);

  const ToneAnalysis clean = analyze(signal(5 * 48000, {{440, 0.5}, {1320, 0.05}}));
  ASSERT_TRUE(clean.found);
  EXPECT_EQ(clean.aliasingLines, 0) << "leakage of the window is no line";
}

TEST(ToneAnalysis, ReportsNoToneInNoiseOrSilenceAndRefusesFundamentalsOutOfRange)
{
  EXPECT_FALSE(analyze(signal(3 * 48000, {}, 0.1)).found);
  EXPECT_FALSE(analyze(std::vector<double>(3 * 48000, 0.0)).found);
  EXPECT_FALSE(analyze(signal(3 * 48000, {{1000, 0.5}}), 7000).found) << "nothing at 7 kHz";

  const auto x = signal(3 * 48000, {{1000, 0.5}});
  const double lowest = ToneAnalysis::LowestFundamentalHz(kRate / kSize);
  EXPECT_NEAR(lowest, 19 * kRate / kSize, 1e-9);
  EXPECT_THROW(analyze(x, lowest * 0.9), vst3host::HostError);
  EXPECT_THROW(analyze(x, 24000), vst3host::HostError);
  EXPECT_NO_THROW(analyze(x, lowest));
}
