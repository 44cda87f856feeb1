// Cost of the effect per stereo frame at 48 kHz, for every MODEL, HPF and LPF, in blocks of 64
// and 512 frames, and its ratio to the floor of unavoidable work measured in the same run: the
// selected curve and the selected filters alone, in a plain loop over the same input, with the
// filters stepped by the leanest direct-form-I step of the same arithmetic.
//
// Counters, from the medians of the per-iteration times (each iteration times 4096 frames of the
// effect and of the floor back to back, in alternating order): ns_per_frame (the whole
// ProcessDoubleReplacing), floor_ns_per_frame, ratio (whole over floor; the target is at most
// 1.10 at 512 frames and 1.20 at 64), rt_factor (seconds of stereo audio processed per second
// of one core).

#include <benchmark/benchmark.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cmath>
#include <utility>
#include <vector>

#include "BrelixCurves.h"
#include "BrelixOffline.h"

namespace
{
constexpr double kRate = 48000.0;
constexpr int kSignalFrames = 48000;
constexpr int kFramesPerIteration = 4096;
constexpr double kGainDb = 12.0;

// Direct-form-I step of order N: (b0 x + b1 x1 + ... + bN xN - a1 y1 - ... - aN yN) / a0, the
// histories shifted in place.
template <int N>
struct LeanFilter
{
  template <class F>
  explicit LeanFilter(const F& f)
  {
    for (int k = 0; k <= N; ++k)
    {
      a[k] = f.A()[k];
      b[k] = f.B()[k];
    }
  }
  __attribute__((always_inline)) inline double Step(double in)
  {
    double acc = b[0] * in;
#pragma GCC unroll 8
    for (int k = 1; k <= N; ++k) acc = acc + b[k] * x[k - 1];
#pragma GCC unroll 8
    for (int k = 1; k <= N; ++k) acc = acc - a[k] * y[k - 1];
    const double out = acc / a[0];
#pragma GCC unroll 8
    for (int k = N - 1; k > 0; --k)
    {
      x[k] = x[k - 1];
      y[k] = y[k - 1];
    }
    x[0] = in;
    y[0] = out;
    return out;
  }
  double a[N + 1], b[N + 1];
  double x[N] = {}, y[N] = {};
};

template <class F>
F Calculated(double rate)
{
  F f;
  f.Calc(rate);
  return f;
}

// The floor's filters for one channel, coefficients as the effect computes them at 48 kHz.
struct FloorChannel
{
  LeanFilter<4> output{Calculated<V76F>(2.0 * kRate)};
  LeanFilter<1> shelf{Calculated<V763k>(kRate)};
  LeanFilter<6> hp80{Calculated<V7680>(kRate)};
  LeanFilter<4> hp300{Calculated<V76300>(kRate)};
  LeanFilter<6> hp80300{Calculated<V7680300>(kRate)};
};

template <int Hpf>
auto& HighPassOf(FloorChannel& c)
{
  if constexpr (Hpf == 2)
    return c.hp300;
  else if constexpr (Hpf == 3)
    return c.hp80300;
  else
    return c.hp80;
}

template <int Model, int Hpf, int Lpf>
__attribute__((always_inline)) inline double FloorSample(double x, double g, std::remove_reference_t<decltype(HighPassOf<Hpf>(std::declval<FloorChannel&>()))>& hp,
                   LeanFilter<1>& shelf, LeanFilter<4>& output)
{
  double s = BrelixCurve<Model>(g * x);
  if constexpr (Hpf != 0) s = hp.Step(s);
  if constexpr (Lpf != 0) s = shelf.Step(s);
  const double y = output.Step(s);
  output.Step(0.0);
  return y;
}

// One block of the floor; the filters work on local copies, as the effect's do.
template <int Model, int Hpf, int Lpf>
void FloorBlock(FloorChannel* ch, const double* inL, const double* inR, double* outL, double* outR, int n, double g)
{
  auto hpL = HighPassOf<Hpf>(ch[0]), hpR = HighPassOf<Hpf>(ch[1]);
  LeanFilter<1> shL = ch[0].shelf, shR = ch[1].shelf;
  LeanFilter<4> oL = ch[0].output, oR = ch[1].output;
  for (int i = 0; i < n; ++i)
  {
    outL[i] = FloorSample<Model, Hpf, Lpf>(inL[i], g, hpL, shL, oL);
    outR[i] = FloorSample<Model, Hpf, Lpf>(inR[i], g, hpR, shR, oR);
  }
  HighPassOf<Hpf>(ch[0]) = hpL;
  HighPassOf<Hpf>(ch[1]) = hpR;
  ch[0].shelf = shL;
  ch[1].shelf = shR;
  ch[0].output = oL;
  ch[1].output = oR;
}

using FloorFn = void (*)(FloorChannel*, const double*, const double*, double*, double*, int, double);

template <std::size_t... I>
constexpr std::array<FloorFn, sizeof...(I)> MakeFloorTable(std::index_sequence<I...>)
{
  return {{&FloorBlock<static_cast<int>(I / 8), static_cast<int>(I / 2 % 4), static_cast<int>(I % 2)>...}};
}
constexpr auto kFloor = MakeFloorTable(std::make_index_sequence<11 * 4 * 2>{});

// A second of stereo programme: two tones and noise under a slow level swing, peaking near -6 dBFS.
std::vector<double> Signal(int channel)
{
  std::vector<double> s(kSignalFrames);
  unsigned seed = 12345u + static_cast<unsigned>(channel);
  const double pi = 3.14159265358979323846;
  for (int i = 0; i < kSignalFrames; ++i)
  {
    seed = seed * 1664525u + 1013904223u;
    const double noise = (seed >> 8) * (1.0 / 16777216.0) - 0.5;
    const double env = 0.6 + 0.4 * std::sin(2.0 * pi * 2.0 * i / kRate + channel);
    s[static_cast<size_t>(i)] = 0.5 * env * (0.6 * std::sin(2.0 * pi * 110.0 * i / kRate) +
                                             0.3 * std::sin(2.0 * pi * 1870.0 * i / kRate) + 0.2 * noise);
  }
  return s;
}

double Median(std::vector<double> v)
{
  std::nth_element(v.begin(), v.begin() + static_cast<std::ptrdiff_t>(v.size() / 2), v.end());
  return v[v.size() / 2];
}

void BM_Effect(benchmark::State& state)
{
  const int model = static_cast<int>(state.range(0));
  const int hpf = static_cast<int>(state.range(1));
  const int lpf = static_cast<int>(state.range(2));
  const int block = static_cast<int>(state.range(3));

  BrelixOffline fx;
  if (!fx.Prepare(kRate, block))
  {
    state.SkipWithError("cannot size the buffers");
    return;
  }
  fx.SetParam(Brelix::kGain, kGainDb);
  fx.SetParam(Brelix::kModel, model);
  fx.SetParam(Brelix::kHpf, hpf);
  fx.SetParam(Brelix::kLpf, lpf);
  const double g = fx.GetDriveGain();
  const FloorFn floor = kFloor[static_cast<size_t>((model * 4 + hpf) * 2 + lpf)];
  FloorChannel floorChannels[2];

  std::vector<double> inL = Signal(0), inR = Signal(1);
  std::vector<double> outL(kSignalFrames), outR(kSignalFrames);
  const int blocksPerIteration = kFramesPerIteration / block;
  const int blocksInSignal = kSignalFrames / block;
  int at = 0;  // block index into the signal, shared by both so they see the same input

  using Clock = std::chrono::steady_clock;
  // Per-iteration times; the counters use their medians, so that a preemption by another
  // process on a shared machine does not skew the ratio.
  std::vector<double> effectTimes, floorTimes;
  effectTimes.reserve(1 << 16);
  floorTimes.reserve(1 << 16);
  long long frames = 0;
  bool effectFirst = true;
  for (auto _ : state)
  {
    const int start = at;
    auto runEffect = [&] {
      int b = start;
      for (int k = 0; k < blocksPerIteration; ++k, b = (b + 1) % blocksInSignal)
      {
        double* ins[2] = {inL.data() + b * block, inR.data() + b * block};
        double* outs[2] = {outL.data() + b * block, outR.data() + b * block};
        fx.ProcessDoubleReplacing(ins, outs, block);
      }
    };
    auto runFloor = [&] {
      int b = start;
      for (int k = 0; k < blocksPerIteration; ++k, b = (b + 1) % blocksInSignal)
        floor(floorChannels, inL.data() + b * block, inR.data() + b * block, outL.data() + b * block,
              outR.data() + b * block, block, g);
    };
    // Alternate the order, so that neither always runs second on a warm cache.
    const auto t0 = Clock::now();
    if (effectFirst) runEffect(); else runFloor();
    const auto t1 = Clock::now();
    if (effectFirst) runFloor(); else runEffect();
    const auto t2 = Clock::now();
    const double first = std::chrono::duration<double>(t1 - t0).count();
    const double second = std::chrono::duration<double>(t2 - t1).count();
    const double effect = effectFirst ? first : second;
    effectTimes.push_back(effect);
    floorTimes.push_back(effectFirst ? second : first);
    state.SetIterationTime(effect);
    effectFirst = !effectFirst;
    benchmark::DoNotOptimize(outL.data());
    benchmark::ClobberMemory();
    frames += static_cast<long long>(blocksPerIteration) * block;
    at = (start + blocksPerIteration) % blocksInSignal;
  }
  if (effectTimes.empty()) return;
  const double framesPerIteration = static_cast<double>(blocksPerIteration) * block;
  const double effectSeconds = Median(effectTimes), floorSeconds = Median(floorTimes);
  if (floorSeconds <= 0.0 || effectSeconds <= 0.0) return;
  state.counters["ns_per_frame"] = effectSeconds * 1e9 / framesPerIteration;
  state.counters["floor_ns_per_frame"] = floorSeconds * 1e9 / framesPerIteration;
  state.counters["ratio"] = effectSeconds / floorSeconds;
  state.counters["rt_factor"] = framesPerIteration / kRate / effectSeconds;
  state.SetItemsProcessed(frames);
}

BENCHMARK(BM_Effect)
  ->ArgNames({"model", "hpf", "lpf", "block"})
  ->ArgsProduct({benchmark::CreateDenseRange(0, 10, 1), {0, 1, 2, 3}, {0, 1}, {64, 512}})
  ->UseManualTime()
  ->Unit(benchmark::kMicrosecond);
}  // namespace

BENCHMARK_MAIN();
