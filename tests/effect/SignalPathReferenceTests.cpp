// The block-dispatched signal path against the plain per-frame reference, to the bit: every
// chain, odd block sizes, parameter and sample-rate changes between blocks, in-place buffers
// and non-finite input.

#include <gtest/gtest.h>

#include <cfloat>
#include <limits>
#include <memory>

#include "BrelixCurves.h"
#include "BrelixReference.h"
#include "EffectTestSupport.h"

namespace
{
template <int M>
void ExpectCurveMatches(const std::vector<double>& ds)
{
  for (double d : ds)
  {
    const double fast = BrelixCurve<M>(d), ref = ReferenceCurve(M, d);
    EXPECT_TRUE(SameBits(ref, fast) || (std::isnan(ref) && std::isnan(fast)))
      << "model " << M << " d " << d << ": " << fast << " vs " << ref;
    EXPECT_TRUE(SameBits(fast, BrelixCurveAt(M, d)) || std::isnan(fast));
  }
}

template <int... M>
void ExpectCurvesMatch(const std::vector<double>& ds, std::integer_sequence<int, M...>)
{
  (ExpectCurveMatches<M>(ds), ...);
}

TEST(BrelixCurves, MatchTheirTermByTermForm)
{
  std::vector<double> ds = {0.0, -0.0, 1e-300, -1e-300, 1e-6, 3.0, -3.0, 1e30, -1e30, 1e300};
  for (int k = -4000; k <= 4000; ++k) ds.push_back(k * 0.005 + 0.0001);
  ExpectCurvesMatch(ds, std::make_integer_sequence<int, kBrelixNumModels>{});
}

TEST(BrelixCurves, ZeroAtZeroWithUnitSlope)
{
  for (int m = 0; m < kBrelixNumModels; ++m)
  {
    EXPECT_EQ(0.0, BrelixCurveAt(m, 0.0)) << m;
    EXPECT_NEAR(1.0, BrelixCurveAt(m, 1e-7) / 1e-7, 1e-6) << m;
    EXPECT_NEAR(1.0, BrelixCurveAt(m, -1e-7) / -1e-7, 1e-6) << m;
  }
  // Out-of-range models are clamped, never used as an index.
  EXPECT_TRUE(SameBits(BrelixCurveAt(0, 0.7), BrelixCurveAt(-5, 0.7)));
  EXPECT_TRUE(SameBits(BrelixCurveAt(10, 0.7), BrelixCurveAt(11, 0.7)));
}

// An effect and its reference, fed the same blocks.
struct Pair
{
  Pair()
  {
    fx->Prepare(44100.0, 4096);
    fx->AttachGraphics(new MeterRecorder(&sent));
  }
  void Set(int idx, double v) { fx->SetParam(idx, v); }

  // Runs one block on both (in place when asked) and compares everything observable.
  void Block(const Stereo& in, int offset, int n, bool inPlace)
  {
    Stereo a = in, b = in, outA(in.Size()), outB(in.Size());
    sent.clear();
    refSent.clear();
    double** ia = a.PtrsAt(offset);
    double* iaPtrs[2] = {ia[0], ia[1]};
    double** ib = b.PtrsAt(offset);
    double* ibPtrs[2] = {ib[0], ib[1]};
    double** oa = inPlace ? iaPtrs : outA.PtrsAt(offset);
    double** ob = inPlace ? ibPtrs : outB.PtrsAt(offset);
    fx->Process(iaPtrs, oa, n);
    ref.Process(ibPtrs, ob, n, &refSent);
    for (int c = 0; c < 2; ++c)
      for (int i = 0; i < n; ++i)
        ASSERT_TRUE(SameBits(ob[c][i], oa[c][i]) || (std::isnan(ob[c][i]) && std::isnan(oa[c][i])))
          << "channel " << c << " frame " << i << " of " << n << ": " << oa[c][i] << " vs " << ob[c][i];
    ASSERT_EQ(refSent.size(), sent.size());
    for (size_t i = 0; i < sent.size(); ++i)
    {
      ASSERT_EQ(fx->GetMeterControlIdx(), sent[i].first);
      ASSERT_TRUE(SameBits(refSent[i], sent[i].second)) << "meter at frame " << i;
    }
    ASSERT_TRUE(SameBits(ref.meter, fx->GetMeterLevel()));
    for (int c = 0; c < 2; ++c)
    {
      const Brelix::Channel& ch = fx->GetChannel(c);
      ASSERT_TRUE(SameBits(ref.sat[c], ch.sat));
      ASSERT_TRUE(SameBits(ref.hp[c], ch.hp));
      ASSERT_TRUE(SameBits(ref.lp[c], ch.lp));
      ASSERT_EQ(0, std::memcmp(ref.antiAliasHist[c], ch.antiAliasStage.hist, sizeof ch.antiAliasStage.hist));
      ASSERT_EQ(0, std::memcmp(ref.output[c].OutputHistory(), ch.output.OutputHistory(), 8 * sizeof(double)));
      ASSERT_EQ(0, std::memcmp(ref.hp80[c].OutputHistory(), ch.hp80.OutputHistory(), 8 * sizeof(double)));
      ASSERT_EQ(0, std::memcmp(ref.hp300[c].OutputHistory(), ch.hp300.OutputHistory(), 8 * sizeof(double)));
      ASSERT_EQ(0, std::memcmp(ref.hp80300[c].OutputHistory(), ch.hp80300.OutputHistory(), 8 * sizeof(double)));
      ASSERT_EQ(0, std::memcmp(ref.shelf[c].OutputHistory(), ch.shelf.OutputHistory(), 8 * sizeof(double)));
    }
  }

  std::unique_ptr<BrelixOffline> fx = std::make_unique<BrelixOffline>();
  std::vector<std::pair<int, double>> sent;
  std::vector<double> refSent;
  BrelixReference ref{*fx};
};

TEST(BrelixSignalPath, EveryChainMatchesTheReference)
{
  const Stereo in = Material(900, 44100.0, 7, 0.4);
  const int sizes[] = {1, 7, 64, 333, 495};
  for (int model = 0; model < Brelix::kNumModels; ++model)
    for (int hpf = 0; hpf < Brelix::kNumHpf; ++hpf)
      for (int lpf = 0; lpf < Brelix::kNumLpf; ++lpf)
        for (int bypass = 0; bypass < 2; ++bypass)
        {
          SCOPED_TRACE(testing::Message() << "MODEL " << model << " HPF " << hpf << " LPF " << lpf << " BYPASS " << bypass);
          Pair p;
          p.Set(Brelix::kGain, 18.0);
          p.Set(Brelix::kOut, -3.0);
          p.Set(Brelix::kModel, model);
          p.Set(Brelix::kHpf, hpf);
          p.Set(Brelix::kLpf, lpf);
          p.Set(Brelix::kBypass, bypass);
          int offset = 0;
          for (int n : sizes)
          {
            ASSERT_NO_FATAL_FAILURE(p.Block(in, offset, n < in.Size() - offset ? n : in.Size() - offset, false));
            offset += n;
            if (offset >= in.Size()) break;
          }
        }
}

TEST(BrelixSignalPath, RandomSessionMatchesTheReference)
{
  // Parameters, sample rate (changed directly, without Reset), block sizes, in-place buffers and
  // bursts of non-finite input all change between blocks.
  std::mt19937 rng(20240611);
  auto pick = [&rng](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
  const double rates[] = {44100.0, 48000.0, 96000.0, 22050.0, 192000.0};
  const double nonFinite[] = {std::numeric_limits<double>::quiet_NaN(), std::numeric_limits<double>::infinity(),
                              -std::numeric_limits<double>::infinity(), 1e300, -DBL_MAX, 1e-310};
  Pair p;
  for (int block = 0; block < 600; ++block)
  {
    SCOPED_TRACE(block);
    switch (pick(0, 9))
    {
      case 0: p.Set(Brelix::kModel, pick(0, 10)); break;
      case 1: p.Set(Brelix::kHpf, pick(0, 3)); break;
      case 2: p.Set(Brelix::kLpf, pick(0, 1)); break;
      case 3: p.Set(Brelix::kBypass, pick(0, 9) == 0); break;
      case 4: p.Set(Brelix::kGain, pick(0, 4000) * 0.01); break;
      case 5: p.Set(Brelix::kOut, pick(-3000, 3000) * 0.01); break;
      case 6: p.Set(Brelix::kLink, pick(0, 1)); break;
      case 7:
        if (pick(0, 3) == 0) p.fx->SetSampleRate(rates[pick(0, 4)]);
        break;
      default: break;
    }
    const int n = pick(0, 5) == 0 ? pick(0, 3) : pick(1, 300);
    Stereo in = Material(n > 0 ? n : 1, 44100.0, static_cast<unsigned>(block), pick(1, 20) * 0.05);
    if (pick(0, 7) == 0)
      for (int k = 0; k < 4; ++k)
      {
        const int at = pick(0, in.Size() - 1);
        (pick(0, 1) ? in.l : in.r)[static_cast<size_t>(at)] = nonFinite[pick(0, 5)];
      }
    ASSERT_NO_FATAL_FAILURE(p.Block(in, 0, n, pick(0, 2) == 0));
  }
}
}  // namespace
