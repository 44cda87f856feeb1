// brelix-tone-report: what each MODEL does to a 1 kHz tone at a few GAIN settings.
//
// The effect runs directly (no host, no files) on a generated sine at 48 kHz. After half a
// second of settling, 100 whole periods are analysed: the peak output level in dBFS, the 2nd
// to 5th harmonics relative to the fundamental (one DFT bin each) and the total harmonic
// distortion over harmonics 2 to 20.

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "BrelixOffline.h"

namespace
{
constexpr double kRate = 48000.0;
constexpr double kTone = 1000.0;
constexpr int kBlock = 512;
constexpr int kSettle = 24000;         // half a second
constexpr int kAnalysed = 4800;        // 100 periods of 1 kHz at 48 kHz
constexpr int kMaxHarmonic = 20;       // the last one below the Nyquist frequency of 24 kHz
constexpr double kGains[] = {0.0, 12.0, 24.0, 40.0};
constexpr double kPi = 3.14159265358979323846;

struct Options
{
  double levelDb = -20.0;  // input peak in dBFS
  int hpf = 0;
  int lpf = 0;
};

struct Result
{
  double peakDb;
  double harmonicDb[kMaxHarmonic + 1];  // relative to the fundamental; [1] is 0
  double thdPercent;
};

// Amplitude of harmonic k of the tone in x (a whole number of periods), from one DFT bin.
double Amplitude(const std::vector<double>& x, int k)
{
  double re = 0.0, im = 0.0;
  const double w = 2.0 * kPi * k * kTone / kRate;
  for (size_t n = 0; n < x.size(); ++n)
  {
    re += x[n] * std::cos(w * static_cast<double>(n));
    im -= x[n] * std::sin(w * static_cast<double>(n));
  }
  return 2.0 * std::hypot(re, im) / static_cast<double>(x.size());
}

bool Measure(int model, double gainDb, const Options& opt, Result* r)
{
  BrelixOffline fx;
  if (!fx.Prepare(kRate, kBlock)) return false;
  fx.SetParam(Brelix::kModel, model);
  fx.SetParam(Brelix::kGain, gainDb);
  fx.SetParam(Brelix::kHpf, opt.hpf);
  fx.SetParam(Brelix::kLpf, opt.lpf);

  const int total = kSettle + kAnalysed;
  const double amplitude = std::pow(10.0, opt.levelDb / 20.0);
  std::vector<double> in(static_cast<size_t>(total)), out(static_cast<size_t>(total)), silentOut(kBlock);
  for (int n = 0; n < total; ++n) in[static_cast<size_t>(n)] = amplitude * std::sin(2.0 * kPi * kTone * n / kRate);
  std::vector<double> silence(kBlock, 0.0);
  for (int at = 0; at < total; at += kBlock)
  {
    const int len = total - at < kBlock ? total - at : kBlock;
    double* ins[2] = {in.data() + at, silence.data()};
    double* outs[2] = {out.data() + at, silentOut.data()};
    fx.Process(ins, outs, len);
  }

  const std::vector<double> tail(out.begin() + kSettle, out.end());
  double peak = 0.0;
  for (double v : tail) peak = std::fabs(v) > peak ? std::fabs(v) : peak;
  const double fundamental = Amplitude(tail, 1);
  double distortion = 0.0;
  r->peakDb = 20.0 * std::log10(peak > 1e-30 ? peak : 1e-30);
  r->harmonicDb[1] = 0.0;
  for (int k = 2; k <= kMaxHarmonic; ++k)
  {
    const double a = Amplitude(tail, k);
    distortion += a * a;
    r->harmonicDb[k] = 20.0 * std::log10((a > 1e-30 ? a : 1e-30) / fundamental);
  }
  r->thdPercent = 100.0 * std::sqrt(distortion) / fundamental;
  return fundamental > 0.0;
}

void PrintDb(double db)
{
  if (db < -120.0)
    std::printf("   <-120");
  else
    std::printf(" %7.1f", db);
}

void Usage(FILE* to, const char* argv0)
{
  std::fprintf(to, "usage: %s [--level dBFS] [--hpf 0-3] [--lpf 0-1]\n"
              "Runs the Brelix effect on a 1 kHz tone at 48 kHz and prints, for every MODEL at GAIN\n"
              "0, 12, 24 and 40 dB, the output peak level and the harmonic content.\n"
              "  --level  input peak level in dBFS (default -20)\n"
              "  --hpf    high-pass model, 0 off (default) or 1-3\n"
              "  --lpf    high-frequency shelf, 0 off (default) or 1\n",
              argv0);
}

bool ParseArgs(int argc, char** argv, Options* opt)
{
  for (int i = 1; i < argc; ++i)
  {
    const bool hasValue = i + 1 < argc;
    char* end = nullptr;
    if (!std::strcmp(argv[i], "--help") || !std::strcmp(argv[i], "-h"))
    {
      Usage(stdout, argv[0]);
      std::exit(0);
    }
    if (!hasValue) return false;
    const char* value = argv[++i];
    if (!std::strcmp(argv[i - 1], "--level"))
    {
      opt->levelDb = std::strtod(value, &end);
      if (*end || !(opt->levelDb <= 20.0 && opt->levelDb >= -200.0)) return false;
    }
    else if (!std::strcmp(argv[i - 1], "--hpf"))
    {
      opt->hpf = static_cast<int>(std::strtol(value, &end, 10));
      if (*end || opt->hpf < 0 || opt->hpf > 3) return false;
    }
    else if (!std::strcmp(argv[i - 1], "--lpf"))
    {
      opt->lpf = static_cast<int>(std::strtol(value, &end, 10));
      if (*end || opt->lpf < 0 || opt->lpf > 1) return false;
    }
    else
      return false;
  }
  return true;
}
}  // namespace

int main(int argc, char** argv)
{
  Options opt;
  if (!ParseArgs(argc, argv, &opt))
  {
    Usage(stderr, argv[0]);
    return 2;
  }

  std::printf("Brelix tone report: a 1 kHz sine at %.1f dBFS peak into the left channel, 48 kHz,\n", opt.levelDb);
  std::printf("HPF %d, LPF %d, OUT 0 dB. Output level is the settled peak in dBFS; H2-H5 are the\n", opt.hpf, opt.lpf);
  std::printf("harmonics in dB below the fundamental; THD covers harmonics 2 to %d. GAIN leaves quiet\n", kMaxHarmonic);
  std::printf("signals at their level; driven harder, a curve compresses and the level falls.\n\n");
  std::printf("MODEL  GAIN dB  Out dBFS   H2 dB   H3 dB   H4 dB   H5 dB    THD %%\n");
  for (int model = 0; model < Brelix::kNumModels; ++model)
  {
    for (double gain : kGains)
    {
      Result r;
      if (!Measure(model, gain, opt, &r))
      {
        std::fprintf(stderr, "brelix-tone-report: MODEL %d at GAIN %.0f dB gave no output\n", model, gain);
        return 1;
      }
      std::printf("%5d  %7.0f  %8.2f", model, gain, r.peakDb);
      for (int k = 2; k <= 5; ++k) PrintDb(r.harmonicDb[k]);
      std::printf("  %7.3f\n", r.thdPercent);
    }
    if (model + 1 < Brelix::kNumModels) std::printf("\n");
  }
  return 0;
}
