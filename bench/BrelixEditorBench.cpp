// Brelix's own editor, with its real images (the program runs from a folder shaped like a bundle,
// with the images in Contents/Resources).
//
// Printed first, once per process: the time to load the built bundle, create and initialise the
// first instance (which builds its editor and decodes the images, once per process), and to
// create the second instance (images from the process-wide cache).
//
// BM_BrelixRedraw: the editor's full redraw and the meter's redraw (its value changes, IsDirty
// and Draw as the window layer's timer does), each as a ratio to one memcpy of the 1129 x 214
// frame measured in the same iteration (medians). Goals: full_ratio <= 10, meter_ratio <= 0.2.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <vector>

#include "Brelix.h"
#include "PluginInstance.h"
#include "Vst3Module.h"

namespace
{
using Clock = std::chrono::steady_clock;
template <class F> double Seconds(F f)
{
  const auto t0 = Clock::now();
  f();
  return std::chrono::duration<double>(Clock::now() - t0).count();
}

double Median(std::vector<double> v)
{
  std::nth_element(v.begin(), v.begin() + static_cast<std::ptrdiff_t>(v.size() / 2), v.end());
  return v[v.size() / 2];
}

void PrintStartup()
{
  std::unique_ptr<vst3host::Vst3Module> module;
  std::unique_ptr<vst3host::PluginInstance> first, second;
  const double tFirst = Seconds([&] {
    module = vst3host::Vst3Module::Load(BRELIX_BENCH_BUNDLE);
    first = std::make_unique<vst3host::PluginInstance>(*module, module->SelectEffectClass(""));
  });
  const double tSecond =
    Seconds([&] { second = std::make_unique<vst3host::PluginInstance>(*module, module->SelectEffectClass("")); });
  std::printf("startup: load + create + initialise + first editor %.2f ms; second instance %.2f ms\n",
              tFirst * 1e3, tSecond * 1e3);
}

void BM_BrelixRedraw(benchmark::State& state)
{
  Brelix fx;
  auto* g = static_cast<IGraphics*>(fx.GetGUI());
  const int w = g->Width(), h = g->Height(), meterIdx = fx.GetMeterControlIdx();
  if (!g->GetControl(0) || !g->GetDrawBitmap())
  {
    state.SkipWithError("no editor");
    return;
  }
  std::vector<LICE_pixel> frameCopy(static_cast<size_t>(w) * h);
  LICE_IBitmap* bits = g->GetDrawBitmap();
  std::vector<double> full, meter, copy;
  int step = 0;
  for (auto _ : state)
  {
    const double tCopy = Seconds([&] {
      std::memcpy(frameCopy.data(), bits->getBits(), sizeof(LICE_pixel) * frameCopy.size());
      benchmark::ClobberMemory();
    });
    const double tFull = Seconds([&] {
      g->SetAllControlsDirty();
      IRECT r;
      if (g->IsDirty(&r)) g->Draw(&r);
    });
    const double tMeter = Seconds([&] {
      g->SetControlFromPlug(meterIdx, (step++ % 61) / 60.0);
      IRECT r;
      if (g->IsDirty(&r)) g->Draw(&r);
    });
    copy.push_back(tCopy);
    full.push_back(tFull);
    meter.push_back(tMeter);
    state.SetIterationTime(tFull);
  }
  const double c = Median(copy), f = Median(full), m = Median(meter);
  state.counters["memcpy_us"] = c * 1e6;
  state.counters["full_us"] = f * 1e6;
  state.counters["meter_us"] = m * 1e6;
  state.counters["full_ratio"] = f / c;
  state.counters["meter_ratio"] = m / c;
}
BENCHMARK(BM_BrelixRedraw)->UseManualTime()->Unit(benchmark::kMicrosecond)->MinTime(2.0);
}  // namespace

int main(int argc, char** argv)
{
  PrintStartup();
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
