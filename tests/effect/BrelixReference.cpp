#include "BrelixReference.h"

#include <cmath>
#include <cstdint>
#include <cstring>

namespace
{
double Pow(double d, int n)
{
  double p = d;
  for (int k = 1; k < n; ++k) p = p * d;
  return p;
}

int Selector(const IPlugBase& plug, int idx, int count)
{
  const int v = plug.GetParam(idx)->Int();
  return v < 0 ? 0 : (v >= count ? count - 1 : v);
}

bool Finite(double v)
{
  return std::isfinite(v);
}
}  // namespace

double ReferenceCurve(int model, double d)
{
  using std::atan;
  using std::sin;
  using std::tanh;
  switch (model)
  {
    case 0: return 0.05 * tanh(Pow(d, 7)) + (sin(0.05 * tanh(Pow(d, 2)) + 0.05 * tanh(Pow(d, 3))) + tanh(d));
    case 1: return (tanh(d) - sin(0.1 * tanh(Pow(d, 3)) - 0.1 * tanh(Pow(d, 4)))) - 0.1 * tanh(Pow(d, 6));
    case 2: return (tanh(0.5 * tanh(Pow(d, 4)) + 0.5 * tanh(Pow(d, 10))) + atan(d)) - 0.3 * tanh(Pow(d, 6));
    case 3: return atan(0.05 * atan(Pow(d, 12)) * atan(Pow(d, 2)) + 0.05 * tanh(Pow(d, 2))) + atan(d);
    case 4: return (0.1 * tanh(Pow(d, 7)) + sin(0.5 * tanh(Pow(d, 5)) * 0.1 * tanh(Pow(d, 3)))) + atan(d);
    case 5: return 0.05 * tanh(Pow(d, 7)) + (atan(atan(0.05 * sin(Pow(d, 2))) + 0.05 * tanh(Pow(d, 2))) + atan(d));
    case 6: return 0.1 * tanh(-Pow(d, 6)) + (sin(0.1 * tanh(Pow(d, 5)) + 0.3 * tanh(-Pow(d, 3))) + atan(d));
    case 7: return 0.01 * atan(-Pow(d, 6)) + (tanh(d) - atan(0.01 * sin(-Pow(d, 5)) + 0.01 * tanh(Pow(d, 3))));
    case 8: return 0.05 * tanh(-Pow(d, 7)) + (atan(0.2 * tanh(-Pow(d, 2)) + 0.05 * tanh(-Pow(d, 2))) + atan(d));
    case 9: return 0.07 * tanh(-Pow(d, 6)) + (sin(-0.01 * tanh(Pow(d, 5)) - 0.3 * tanh(-Pow(d, 3))) + tanh(d));
    default: return (atan(0.5 * tanh(-Pow(d, 2)) - 0.1 * tanh(-Pow(d, 2))) + atan(d)) - 0.05 * tanh(-Pow(d, 7));
  }
}

void BrelixReference::Process(double** inputs, double** outputs, int nFrames, std::vector<double>* meterSent)
{
  if (nFrames <= 0) return;
  double r = 0.0;
  for (int i = 0; i < nFrames; ++i)
  {
    const double fs = mPlug.GetSampleRate();
    const double g = std::pow(10.0, mPlug.GetParam(Brelix::kGain)->Value() / 20.0);
    const double o = std::pow(10.0, mPlug.GetParam(Brelix::kOut)->Value() / 20.0);
    const int model = Selector(mPlug, Brelix::kModel, 11);
    const int lpf = Selector(mPlug, Brelix::kLpf, 2);
    const int hpf = Selector(mPlug, Brelix::kHpf, 4);
    const int bypass = Selector(mPlug, Brelix::kBypass, 2);

    // 1. Coefficients, and the anti-alias histories cleared.
    for (int c = 0; c < 2; ++c)
    {
      antiAlias[c].Calc(0.5 / 8);
      for (double& h : antiAliasHist[c]) h = 0.0;
    }
    for (int c = 0; c < 2; ++c)
    {
      output[c].Calc(2 * fs);
      shelf[c].Calc(fs);
      hp80[c].Calc(fs);
      hp300[c].Calc(fs);
      hp80300[c].Calc(fs);
    }

    // 2. Saturation (a non-finite input or result enters the chain as 0).
    for (int c = 0; c < 2; ++c)
    {
      double x = inputs[c][i];
      if (!Finite(x)) x = 0.0;
      const double d = g * x;
      sat[c] = ReferenceCurve(model, d) / g * 272.27013080779125;
      if (!Finite(sat[c])) sat[c] = 0.0;
    }

    // 3. High-pass stage.
    for (int c = 0; c < 2; ++c)
    {
      switch (hpf)
      {
        case 0: hp[c] = sat[c]; break;
        case 1: hp[c] = hp80[c].Process(sat[c]) * 1.462177174456718; break;
        case 2: hp[c] = hp300[c].Process(sat[c]) * 1.462177174456718; break;
        default: hp[c] = hp80300[c].Process(sat[c]) * 1.462177174456718; break;
      }
    }

    // 4. Shelving stage.
    for (int c = 0; c < 2; ++c) lp[c] = lpf == 0 ? hp[c] : shelf[c].Process(hp[c]);

    // 5. Anti-alias stage, in full.
    double a[2];
    for (int c = 0; c < 2; ++c)
    {
      double* h = antiAliasHist[c];
      for (int k = 8; k >= 1; --k) h[k] = h[k - 1];
      double y = antiAlias[c].c[0] * lp[c];
      for (int k = 1; k <= 8; ++k) y = y + antiAlias[c].c[k] * h[k];
      std::uint64_t bits;
      std::memcpy(&bits, &y, sizeof bits);
      if ((bits & 0x7FF0000000000000ull) == 0) y = 0.0;
      h[0] = y;
      a[c] = y;
    }

    // 6. and 7. Output, and the zero after each sample.
    if (bypass == 1)
    {
      outputs[0][i] = inputs[0][i];
      outputs[1][i] = inputs[1][i];
    }
    else
    {
      outputs[0][i] = output[0].Process(a[0]) * o;
      outputs[1][i] = output[1].Process(a[1]) * o;
    }
    output[0].Process(0.0);
    output[1].Process(0.0);

    // 8. Meter (a non-finite raw value counts as 0).
    double raw = std::fabs(inputs[0][i] + inputs[1][i]) - (a[0] + a[1]) * g;
    if (!Finite(raw)) raw = 0.0;
    const double X = raw > r ? raw : r;
    const double weight = meter > X ? 0.05 : 0.6;
    meter = (1 - weight) * meter + weight * X;
    r = meter;
    if (meterSent) meterSent->push_back(meter * 0.25);
  }
}
