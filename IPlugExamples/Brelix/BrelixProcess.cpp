// The signal path of Brelix: the chain is picked once per block and run by one instantiation
// of ProcessBlock per combination of MODEL, HPF, LPF and BYPASS.
#include <cfloat>
#include <cmath>

#include "Brelix.h"
#include "BrelixCurves.h"

namespace
{
// Stands in for a stage that is switched off.
struct NoFilter
{
};

template <int Hpf>
struct HighPassModel
{
  using Type = NoFilter;
  static NoFilter Get(const Brelix::Channel&) { return {}; }
  static void Put(Brelix::Channel&, const NoFilter&) {}
};
template <>
struct HighPassModel<1>
{
  using Type = V7680;
  static const V7680& Get(const Brelix::Channel& c) { return c.hp80; }
  static void Put(Brelix::Channel& c, const V7680& f) { c.hp80 = f; }
};
template <>
struct HighPassModel<2>
{
  using Type = V76300;
  static const V76300& Get(const Brelix::Channel& c) { return c.hp300; }
  static void Put(Brelix::Channel& c, const V76300& f) { c.hp300 = f; }
};
template <>
struct HighPassModel<3>
{
  using Type = V7680300;
  static const V7680300& Get(const Brelix::Channel& c) { return c.hp80300; }
  static void Put(Brelix::Channel& c, const V7680300& f) { c.hp80300 = f; }
};

template <int Lpf>
struct ShelfModel
{
  using Type = NoFilter;
  static NoFilter Get(const Brelix::Channel&) { return {}; }
  static void Put(Brelix::Channel&, const NoFilter&) {}
};
template <>
struct ShelfModel<1>
{
  using Type = V763k;
  static const V763k& Get(const Brelix::Channel& c) { return c.shelf; }
  static void Put(Brelix::Channel& c, const V763k& f) { c.shelf = f; }
};

// The anti-alias stage runs on a history cleared before every sample, so its output is exactly
// c0 x, with zero and subnormal results flushed to +0.0.
inline double AntiAlias(double c0, double x)
{
  const double y = c0 * x;
  return std::fabs(y) < DBL_MIN ? 0.0 : y;
}

// The same test as std::isfinite (NaN compares false), in a form that compiles to a mask.
inline double FiniteOrZero(double v)
{
  return std::fabs(v) <= DBL_MAX ? v : 0.0;
}

inline int ClampIndex(int v, int count)
{
  return v < 0 ? 0 : (v >= count ? count - 1 : v);
}
}  // namespace

void Brelix::UpdateCoefficients()
{
  // The coefficients are pure functions of the rate (the anti-alias sets not even of that), so
  // computing them when the rate changes gives the same values as computing them every frame.
  const double fs = GetSampleRate();
  if (fs == mCoeffRate) return;
  for (Channel& ch : mChannels)
  {
    ch.antiAlias.Calc(kAntiAliasCutoff);
    ch.output.Calc(2.0 * fs);
    ch.shelf.Calc(fs);
    ch.hp80.Calc(fs);
    ch.hp300.Calc(fs);
    ch.hp80300.Calc(fs);
  }
  mCoeffRate = fs;
}

// Flattened: every filter step is inlined, so the working copies' histories stay in registers.
template <int Model, int Hpf, int Lpf, bool Bypass>
__attribute__((flatten)) void Brelix::ProcessBlock(double** inputs, double** outputs, int nFrames)
{
  using HighPass = HighPassModel<Hpf>;
  using Shelf = ShelfModel<Lpf>;
  double* in0 = inputs[0];
  double* in1 = inputs[1];
  double* out0 = outputs[0];
  double* out1 = outputs[1];
  Channel& left = mChannels[0];
  Channel& right = mChannels[1];

  const double g = mDriveGain;
  const double o = mOutputGain;
  const double c0L = left.antiAlias.c[0];
  const double c0R = right.antiAlias.c[0];
  // Working copies: the output buffers cannot alias them, so the histories stay in registers.
  V76F outL = left.output, outR = right.output;
  typename HighPass::Type hpL = HighPass::Get(left), hpR = HighPass::Get(right);
  typename Shelf::Type shL = Shelf::Get(left), shR = Shelf::Get(right);
  double sL = left.sat, sR = right.sat, hL = left.hp, hR = right.hp, lL = left.lp, lR = right.lp;
  double aL = 0.0, aR = 0.0;
  double m = mMeter;
  double r = 0.0;
  // The framework's editor takes the value without a virtual call; any other editor through its
  // interface.
  IGraphics* const editor = mEditor;
  IPlugEditor* const other = editor ? nullptr : GetGUI();
  const int meterIdx = mMeterControlIdx;

  for (int i = 0; i < nFrames; ++i)
  {
    const double xL = FiniteOrZero(in0[i]);
    const double xR = FiniteOrZero(in1[i]);
    sL = FiniteOrZero(BrelixCurve<Model>(g * xL) / g * kMakeUp);
    sR = FiniteOrZero(BrelixCurve<Model>(g * xR) / g * kMakeUp);

    if constexpr (Hpf != 0)
    {
      hL = hpL.Process(sL) * kHighPassMakeUp;
      hR = hpR.Process(sR) * kHighPassMakeUp;
    }
    else
    {
      hL = sL;
      hR = sR;
    }

    if constexpr (Lpf != 0)
    {
      lL = shL.Process(hL);
      lR = shR.Process(hR);
    }
    else
    {
      lL = hL;
      lR = hR;
    }

    aL = AntiAlias(c0L, lL);
    aR = AntiAlias(c0R, lR);

    // The output filters run at twice the rate: the real sample, then a zero.
    if constexpr (Bypass)
    {
      out0[i] = in0[i];
      out1[i] = in1[i];
    }
    else
    {
      out0[i] = outL.Process(aL) * o;
      out1[i] = outR.Process(aR) * o;
    }
    outL.Process(0.0);
    outR.Process(0.0);

    // The inputs are read again here, after the outputs (which may share their memory).
    const double raw = FiniteOrZero(std::fabs(in0[i] + in1[i]) - (aL + aR) * g);
    const double x = raw > r ? raw : r;
    const double w = m > x ? kMeterRelease : kMeterAttack;
    m = (1.0 - w) * m + w * x;
    r = m;
    if (editor)
      editor->SetControlFromPlug(meterIdx, m * kMeterScale);  // final: a direct, inline store
    else if (other)
      other->SetControlFromPlug(meterIdx, m * kMeterScale);
  }

  left.output = outL;
  right.output = outR;
  HighPass::Put(left, hpL);
  HighPass::Put(right, hpR);
  Shelf::Put(left, shL);
  Shelf::Put(right, shR);
  left.sat = sL;
  right.sat = sR;
  left.hp = hL;
  right.hp = hR;
  left.lp = lL;
  right.lp = lR;
  // What the stage leaves after its last frame: a cleared history with the newest output.
  left.antiAliasStage.Reset();
  left.antiAliasStage.hist[0] = aL;
  right.antiAliasStage.Reset();
  right.antiAliasStage.hist[0] = aR;
  mMeter = m;
}

template <std::size_t... I>
constexpr std::array<Brelix::BlockFn, sizeof...(I)> Brelix::MakeBlockTable(std::index_sequence<I...>)
{
  // Index ((model * kNumHpf + hpf) * kNumLpf + lpf) * 2 + bypass.
  return {{&Brelix::ProcessBlock<static_cast<int>(I / (kNumHpf * kNumLpf * 2)),
                                 static_cast<int>(I / (kNumLpf * 2) % kNumHpf), static_cast<int>(I / 2 % kNumLpf),
                                 (I % 2) != 0>...}};
}

void Brelix::ProcessDoubleReplacing(double** inputs, double** outputs, int nFrames)
{
  if (nFrames <= 0 || !inputs || !outputs || !inputs[0] || !inputs[1] || !outputs[0] || !outputs[1]) return;
  UpdateCoefficients();

  // The selectors are read once per block. Within a block they cannot change under the
  // plug-in mutex; a controller write outside it lands at the next block instead of at some
  // frame of this one, which no caller can tell from a write that arrived a little later.
  const int model = ClampIndex(GetParam(kModel)->Int(), kNumModels);
  const int hpf = ClampIndex(GetParam(kHpf)->Int(), kNumHpf);
  const int lpf = ClampIndex(GetParam(kLpf)->Int(), kNumLpf);
  const int bypass = ClampIndex(GetParam(kBypass)->Int(), 2);

  static constexpr auto kBlocks = MakeBlockTable(std::make_index_sequence<kNumModels * kNumHpf * kNumLpf * 2>{});
  (this->*kBlocks[((model * kNumHpf + hpf) * kNumLpf + lpf) * 2 + bypass])(inputs, outputs, nFrames);
}
