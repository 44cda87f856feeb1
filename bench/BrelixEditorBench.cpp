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

#include <cstdio>
#include <memory>

#include "Brelix.h"
#include "PluginInstance.h"
#include "RedrawMeasure.h"
#include "Vst3Module.h"

namespace
{
using benchsupport::Seconds;

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
  benchsupport::MeasureRedraws(state, static_cast<IGraphics*>(fx.GetGUI()), fx.GetMeterControlIdx());
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
