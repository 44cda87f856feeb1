// What the signal path does to sound: levels, bypass, silence, the meter, block handling,
// non-finite input, out-of-range selectors and the one-channel configuration.

#include <gtest/gtest.h>

#include <cfloat>
#include <limits>

#include "BrelixReference.h"
#include "EffectTestSupport.h"
#include "WDL_BesselFilter.h"

namespace
{
// Runs n frames of a signal through a prepared effect in blocks of up to 512 frames.
Stereo RunThrough(BrelixOffline& fx, Stereo in)
{
  Stereo out(in.Size());
  for (int at = 0; at < in.Size(); at += 512)
  {
    const int n = in.Size() - at < 512 ? in.Size() - at : 512;
    fx.Process(in.PtrsAt(at), out.PtrsAt(at), n);
  }
  return out;
}

struct Settings
{
  double gain = 0.0, out = 0.0;
  int model = 0, hpf = 0, lpf = 0, bypass = 0;
};

void Apply(BrelixOffline& fx, const Settings& s)
{
  fx.SetParam(Brelix::kGain, s.gain);
  fx.SetParam(Brelix::kOut, s.out);
  fx.SetParam(Brelix::kModel, s.model);
  fx.SetParam(Brelix::kHpf, s.hpf);
  fx.SetParam(Brelix::kLpf, s.lpf);
  fx.SetParam(Brelix::kBypass, s.bypass);
}

// Peak of the settled output (the last 0.1 s of one second) of a 1 kHz sine.
double SettledPeak(const Settings& s, double amplitude, double fs = 44100.0)
{
  BrelixOffline fx;
  fx.Prepare(fs, 512);
  Apply(fx, s);
  const int n = static_cast<int>(fs);
  const Stereo out = RunThrough(fx, Sine(n, 1000.0, fs, amplitude));
  return PeakOf(out.l, static_cast<size_t>(n - n / 10));
}

double Db(double ratio)
{
  return 20.0 * std::log10(ratio);
}

TEST(BrelixSound, SmallSignalLevel)
{
  const double peak = SettledPeak(Settings{}, 0.01);
  EXPECT_NEAR(0.01147, peak, 0.00001);
  EXPECT_NEAR(1.19, Db(peak / 0.01), 0.01);
}

TEST(BrelixSound, GainDoesNotChangeTheSmallSignalLevel)
{
  Settings s;
  const double at0 = SettledPeak(s, 0.0001);
  s.gain = 40.0;
  const double at40 = SettledPeak(s, 0.0001);
  EXPECT_NEAR(0.0, Db(at40 / at0), 0.01);
}

TEST(BrelixSound, FullDriveCompresses)
{
  Settings s;
  s.gain = 40.0;
  EXPECT_NEAR(0.0100, SettledPeak(s, 0.01), 0.00005);
}

TEST(BrelixSound, OutputLevelIsLinear)
{
  const Stereo in = Material(3000, 44100.0, 3);
  Settings s;
  s.model = 4;
  s.hpf = 2;
  BrelixOffline a, b;
  a.Prepare(44100.0, 512);
  b.Prepare(44100.0, 512);
  Apply(a, s);
  s.out = 30.0;
  Apply(b, s);
  const Stereo outA = RunThrough(a, in), outB = RunThrough(b, in);
  const double o = b.GetOutputGain();
  EXPECT_NEAR(31.6227766, o, 1e-7);
  for (size_t i = 0; i < outA.l.size(); ++i)
  {
    ASSERT_EQ(outA.l[i] * o, outB.l[i]) << i;
    ASSERT_EQ(outA.r[i] * o, outB.r[i]) << i;
  }
}

TEST(BrelixSound, BypassCopiesBitForBitWhileTheSelectedModelsRun)
{
  BrelixOffline fx;
  fx.Prepare(44100.0, 512);
  Settings s;
  s.gain = 20.0;
  s.hpf = 3;
  s.lpf = 1;
  Apply(fx, s);
  Stereo warm = Material(512, 44100.0, 11);
  RunThrough(fx, warm);  // the output filters now hold a signal

  const Brelix::Channel before = fx.GetChannel(0);
  fx.SetParam(Brelix::kBypass, 1.0);
  Stereo in = Material(2000, 44100.0, 12);
  in.l[5] = -0.0;
  in.l[6] = 1e-310;
  in.r[7] = std::numeric_limits<double>::quiet_NaN();
  in.r[8] = -std::numeric_limits<double>::infinity();
  const Stereo out = RunThrough(fx, in);
  EXPECT_EQ(0, std::memcmp(in.l.data(), out.l.data(), in.l.size() * sizeof(double)));
  EXPECT_EQ(0, std::memcmp(in.r.data(), out.r.data(), in.r.size() * sizeof(double)));

  const Brelix::Channel& after = fx.GetChannel(0);
  // The selected models ran on the saturated signal...
  EXPECT_NE(0, std::memcmp(before.hp80300.OutputHistory(), after.hp80300.OutputHistory(), 6 * sizeof(double)));
  EXPECT_NE(0, std::memcmp(before.shelf.OutputHistory(), after.shelf.OutputHistory(), sizeof(double)));
  EXPECT_EQ(after.hp80300.LastInput(), after.sat);
  // ...the others kept their histories, and the output filter received only zeros.
  EXPECT_EQ(0, std::memcmp(before.hp80.OutputHistory(), after.hp80.OutputHistory(), 8 * sizeof(double)));
  EXPECT_EQ(0, std::memcmp(before.hp300.OutputHistory(), after.hp300.OutputHistory(), 8 * sizeof(double)));
  for (int k = 0; k < 4; ++k) EXPECT_EQ(0.0, after.output.InputHistory()[k]);
}

TEST(BrelixSound, SilenceGivesSilenceForEveryModel)
{
  for (int model = 0; model < Brelix::kNumModels; ++model)
  {
    SCOPED_TRACE(model);
    Settings s;
    s.model = model;
    s.gain = 30.0;
    s.hpf = model % 4;
    s.lpf = model % 2;
    BrelixOffline fresh;
    fresh.Prepare(48000.0, 512);
    Apply(fresh, s);
    const Stereo quiet = RunThrough(fresh, Stereo(2048));
    EXPECT_EQ(0.0, PeakOf(quiet.l, 0));
    EXPECT_EQ(0.0, PeakOf(quiet.r, 0));

    // After a loud passage the filters decay to nothing.
    BrelixOffline used;
    used.Prepare(48000.0, 512);
    Apply(used, s);
    RunThrough(used, Material(4800, 48000.0, 5, 0.9));
    const Stereo tail = RunThrough(used, Stereo(96000));
    EXPECT_LT(PeakOf(tail.l, 48000), 1e-12);
    EXPECT_LT(PeakOf(tail.r, 48000), 1e-12);
  }
}

TEST(BrelixSound, LinkChangesNoSample)
{
  const Stereo in = Material(3000, 44100.0, 21, 0.6);
  Settings s;
  s.model = 7;
  s.gain = 25.0;
  s.hpf = 1;
  BrelixOffline a, b;
  a.Prepare(44100.0, 512);
  b.Prepare(44100.0, 512);
  Apply(a, s);
  Apply(b, s);
  b.SetParam(Brelix::kLink, 1.0);
  const Stereo outA = RunThrough(a, in), outB = RunThrough(b, in);
  EXPECT_EQ(0, std::memcmp(outA.l.data(), outB.l.data(), outA.l.size() * sizeof(double)));
  EXPECT_EQ(0, std::memcmp(outA.r.data(), outB.r.data(), outA.r.size() * sizeof(double)));
}

TEST(BrelixSound, ModelSwitchedBackInResumesItsHistory)
{
  BrelixOffline fx;
  fx.Prepare(44100.0, 512);
  fx.SetParam(Brelix::kHpf, 1.0);
  RunThrough(fx, Material(512, 44100.0, 31));
  const V7680 kept = fx.GetChannel(1).hp80;
  const V763k shelfKept = fx.GetChannel(1).shelf;

  fx.SetParam(Brelix::kHpf, 2.0);
  fx.SetParam(Brelix::kLpf, 1.0);
  RunThrough(fx, Material(512, 44100.0, 32));
  EXPECT_EQ(0, std::memcmp(&kept, &fx.GetChannel(1).hp80, sizeof kept));
  fx.SetParam(Brelix::kLpf, 0.0);
  const V763k shelfUsed = fx.GetChannel(1).shelf;
  EXPECT_NE(0, std::memcmp(&shelfKept, &shelfUsed, sizeof shelfKept));

  // Back in: the first sample runs on the history it had.
  fx.SetParam(Brelix::kHpf, 1.0);
  Stereo one = Material(1, 44100.0, 33), out(1);
  fx.Process(one.Ptrs(), out.Ptrs(), 1);
  V7680 expected = kept;
  expected.Process(fx.GetChannel(1).sat);
  EXPECT_EQ(0, std::memcmp(&expected, &fx.GetChannel(1).hp80, sizeof expected));
  EXPECT_EQ(0, std::memcmp(&shelfUsed, &fx.GetChannel(1).shelf, sizeof shelfUsed));
}

TEST(BrelixMeter, RisesWithWeight0Point6AndFallsWith0Point05)
{
  std::vector<std::pair<int, double>> sent;
  BrelixOffline fx;
  fx.Prepare(44100.0, 16);
  fx.AttachGraphics(new MeterRecorder(&sent));

  WDL_BesselFilterCoeffs k;
  k.Calc(0.0625);
  const double a = k.c[0] * (ReferenceCurve(0, 5.0) / 1.0 * 272.27013080779125);
  const double raw = std::fabs(5.0 + 5.0) - (a + a) * 1.0;
  ASSERT_GT(raw, 0.0);

  Stereo loud(1), quiet(4), out(4);
  loud.l[0] = loud.r[0] = 5.0;
  fx.Process(loud.Ptrs(), out.Ptrs(), 1);
  const double m1 = (1.0 - 0.6) * 0.0 + 0.6 * raw;
  ASSERT_EQ(1u, sent.size());
  EXPECT_EQ(m1 * 0.25, sent[0].second);
  EXPECT_EQ(m1, fx.GetMeterLevel());

  // A block of one silent frame: the meter falls.
  fx.Process(quiet.Ptrs(), out.Ptrs(), 1);
  const double m2 = (1.0 - 0.05) * m1 + 0.05 * 0.0;
  EXPECT_EQ(m2 * 0.25, sent[1].second);

  // A longer block falls only at its first frame and then holds.
  fx.Process(quiet.Ptrs(), out.Ptrs(), 4);
  ASSERT_EQ(6u, sent.size());
  double m = (1.0 - 0.05) * m2;
  EXPECT_EQ(m * 0.25, sent[2].second);
  for (size_t i = 3; i < 6; ++i)
  {
    m = (1.0 - 0.6) * m + 0.6 * m;
    EXPECT_EQ(m * 0.25, sent[i].second);
  }

  // Rising again: weight 0.6 towards the new raw value.
  fx.Process(loud.Ptrs(), out.Ptrs(), 1);
  EXPECT_EQ(((1.0 - 0.6) * m + 0.6 * raw) * 0.25, sent[6].second);
  for (const auto& s : sent) EXPECT_EQ(fx.GetMeterControlIdx(), s.first);
}

TEST(BrelixMeter, FedOnlyWhileAnEditorExists)
{
  BrelixOffline fx;
  fx.Prepare(44100.0, 64);
  Stereo in = Material(64, 44100.0, 41), out(64);
  fx.Process(in.Ptrs(), out.Ptrs(), 64);  // no editor: nothing to feed
  EXPECT_GT(fx.GetMeterLevel(), 0.0);
  std::vector<std::pair<int, double>> sent;
  fx.AttachGraphics(new MeterRecorder(&sent));
  fx.Process(in.Ptrs(), out.Ptrs(), 64);
  EXPECT_EQ(64u, sent.size());
}

TEST(BrelixBlocks, EmptyAndNegativeBlocksTouchNothing)
{
  std::vector<std::pair<int, double>> sent;
  BrelixOffline fx;
  fx.Prepare(44100.0, 64);
  fx.AttachGraphics(new MeterRecorder(&sent));
  Stereo in = Material(64, 44100.0, 51), out(64);
  fx.Process(in.Ptrs(), out.Ptrs(), 64);
  sent.clear();
  const Brelix::Channel before = fx.GetChannel(0);
  const double meter = fx.GetMeterLevel();
  std::fill(out.l.begin(), out.l.end(), 123.0);
  for (int n : {0, -1, -64})
  {
    fx.Process(in.Ptrs(), out.Ptrs(), n);
    fx.Process(nullptr, nullptr, n);
  }
  fx.Process(nullptr, out.Ptrs(), 8);  // no input array: nothing happens either
  for (double v : out.l) EXPECT_EQ(123.0, v);
  EXPECT_TRUE(sent.empty());
  EXPECT_EQ(meter, fx.GetMeterLevel());
  EXPECT_EQ(0, std::memcmp(&before.output, &fx.GetChannel(0).output, sizeof before.output));
}

TEST(BrelixBlocks, BlockSizesDoNotChangeTheOutput)
{
  const Stereo in = Material(2000, 44100.0, 61, 0.5);
  Settings s;
  s.model = 2;
  s.gain = 20.0;
  s.hpf = 3;
  s.lpf = 1;
  BrelixOffline whole, pieces;
  whole.Prepare(44100.0, 2000);
  pieces.Prepare(44100.0, 2000);
  Apply(whole, s);
  Apply(pieces, s);
  Stereo a = in, outA(2000), b = in, outB(2000);
  whole.Process(a.Ptrs(), outA.Ptrs(), 2000);
  int at = 0;
  for (int n = 1; at < 2000; n = n * 3 % 127 + 1)
  {
    const int len = n < 2000 - at ? n : 2000 - at;
    pieces.Process(b.PtrsAt(at), outB.PtrsAt(at), len);
    at += len;
  }
  EXPECT_EQ(0, std::memcmp(outA.l.data(), outB.l.data(), 2000 * sizeof(double)));
  EXPECT_EQ(0, std::memcmp(outA.r.data(), outB.r.data(), 2000 * sizeof(double)));
}

TEST(BrelixBlocks, RateChangeIsNoticedWithoutReset)
{
  BrelixOffline fx;
  fx.Prepare(44100.0, 64);
  Stereo in = Material(64, 44100.0, 71), out(64);
  fx.Process(in.Ptrs(), out.Ptrs(), 64);
  fx.SetSampleRate(96000.0);
  fx.Process(in.Ptrs(), out.Ptrs(), 64);
  V76F o;
  o.Calc(192000.0);
  V7680 h;
  h.Calc(96000.0);
  EXPECT_EQ(0, std::memcmp(o.A(), fx.GetChannel(1).output.A(), 5 * sizeof(double)));
  EXPECT_EQ(0, std::memcmp(o.B(), fx.GetChannel(1).output.B(), 5 * sizeof(double)));
  EXPECT_EQ(0, std::memcmp(h.A(), fx.GetChannel(0).hp80.A(), 7 * sizeof(double)));
}

TEST(BrelixInputHygiene, RecoversFromNonFiniteAndHugeInput)
{
  const double burst[] = {std::numeric_limits<double>::quiet_NaN(), std::numeric_limits<double>::infinity(),
                          -std::numeric_limits<double>::infinity(), 1e300, -1e300, DBL_MAX, -DBL_MAX, 1e155};
  for (int model = 0; model < Brelix::kNumModels; ++model)
    for (int hpf : {0, 3})
    {
      SCOPED_TRACE(testing::Message() << "MODEL " << model << " HPF " << hpf);
      std::vector<std::pair<int, double>> sent;
      BrelixOffline fx;
      fx.Prepare(44100.0, 512);
      fx.AttachGraphics(new MeterRecorder(&sent));
      fx.SetParam(Brelix::kModel, model);
      fx.SetParam(Brelix::kHpf, hpf);
      fx.SetParam(Brelix::kLpf, 1.0);
      fx.SetParam(Brelix::kGain, 40.0);
      Stereo in = Material(1500, 44100.0, 81);
      for (int i = 0; i < 64; ++i)
      {
        in.l[static_cast<size_t>(500 + i)] = burst[i % 8];
        in.r[static_cast<size_t>(500 + i)] = burst[(i * 3 + 1) % 8];
      }
      const Stereo out = RunThrough(fx, in);
      for (size_t i = 0; i < out.l.size(); ++i)
      {
        ASSERT_TRUE(std::isfinite(out.l[i]) && std::isfinite(out.r[i])) << "frame " << i;
      }
      for (const auto& s : sent) ASSERT_TRUE(std::isfinite(s.second));
      EXPECT_TRUE(std::isfinite(fx.GetMeterLevel()));
      // The chain is back to normal: the signal after the burst comes out at a normal level.
      EXPECT_GT(PeakOf(out.l, 1000), 1e-3);
    }
}

TEST(BrelixInputHygiene, OutOfRangeSelectorsAreClamped)
{
  const Stereo in = Material(1500, 44100.0, 91, 0.5);
  // Widened ranges let values outside the effect's own reach the signal path.
  struct Case
  {
    int model, hpf, lpf, bypass;     // stored
    int cModel, cHpf, cLpf, cBypass;  // as processed
  };
  const Case cases[] = {{37, 9, 4, 0, 10, 3, 1, 0}, {-3, -2, -1, -7, 0, 0, 0, 0}, {5, 1, 0, 6, 5, 1, 0, 1}};
  for (const Case& c : cases)
  {
    BrelixOffline odd, clamped;
    odd.Prepare(44100.0, 512);
    clamped.Prepare(44100.0, 512);
    odd.GetParam(Brelix::kModel)->InitInt("MODEL", 0, -100, 100, "%", "");
    odd.GetParam(Brelix::kHpf)->InitInt("HPF", 0, -100, 100, "", "");
    odd.GetParam(Brelix::kLpf)->InitInt("LPF", 0, -100, 100, "", "");
    odd.GetParam(Brelix::kBypass)->InitInt("BYPASS", 0, -100, 100, "", "");
    Settings so;
    so.gain = 12.0;
    so.model = c.model;
    so.hpf = c.hpf;
    so.lpf = c.lpf;
    so.bypass = c.bypass;
    Apply(odd, so);
    ASSERT_EQ(c.model, odd.GetParam(Brelix::kModel)->Int());
    Settings sc = so;
    sc.model = c.cModel;
    sc.hpf = c.cHpf;
    sc.lpf = c.cLpf;
    sc.bypass = c.cBypass;
    Apply(clamped, sc);
    const Stereo a = RunThrough(odd, in), b = RunThrough(clamped, in);
    EXPECT_EQ(0, std::memcmp(a.l.data(), b.l.data(), a.l.size() * sizeof(double))) << c.model;
    EXPECT_EQ(0, std::memcmp(a.r.data(), b.r.data(), a.r.size() * sizeof(double))) << c.model;
  }
}

TEST(BrelixChannels, OneChannelConfigurationRunsTheRightChainOnSilence)
{
  const int n = 256;
  const Stereo in = Material(n, 44100.0, 101, 0.5);
  Settings s;
  s.model = 3;
  s.gain = 15.0;
  s.hpf = 2;

  // Mono through the base's buffer handling: channel 2 is left unconnected.
  std::vector<std::pair<int, double>> monoSent, stereoSent;
  BrelixOffline mono;
  mono.Prepare(44100.0, n);
  mono.AttachGraphics(new MeterRecorder(&monoSent));
  Apply(mono, s);
  mono.SetInputChannelConnections(1, 1, false);
  mono.SetOutputChannelConnections(1, 1, false);
  std::vector<double> monoIn = in.l, monoOut(static_cast<size_t>(n));
  double* inPtr[1] = {monoIn.data()};
  double* outPtr[1] = {monoOut.data()};
  for (int block = 0; block < 2; ++block)
  {
    WDL_MutexLock lock(mono.GetMutex());
    mono.AttachInputBuffers(0, 2, inPtr, n);
    mono.AttachOutputBuffers(0, 2, outPtr);
    ASSERT_TRUE(mono.ProcessBuffers(0.0, n));
  }

  // The same left input in stereo with a silent right channel.
  BrelixOffline stereo;
  stereo.Prepare(44100.0, n);
  stereo.AttachGraphics(new MeterRecorder(&stereoSent));
  Apply(stereo, s);
  Stereo st(n), stOut(n);
  st.l = in.l;
  for (int block = 0; block < 2; ++block) stereo.Process(st.Ptrs(), stOut.Ptrs(), n);

  EXPECT_EQ(0, std::memcmp(stOut.l.data(), monoOut.data(), monoOut.size() * sizeof(double)));
  ASSERT_EQ(stereoSent.size(), monoSent.size());
  for (size_t i = 0; i < monoSent.size(); ++i) ASSERT_EQ(stereoSent[i].second, monoSent[i].second) << i;
  EXPECT_EQ(0, std::memcmp(&stereo.GetChannel(1), &mono.GetChannel(1), sizeof(Brelix::Channel)));
}
}  // namespace
