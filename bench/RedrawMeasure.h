#pragma once
// The editor redraw measurement shared by the editor benchmarks: in each iteration, one memcpy of
// the editor's frame, a full redraw (every control dirty, IsDirty and Draw) and a meter redraw
// (its value changes, IsDirty and Draw, as the window layer's timer does). Counters (medians):
// memcpy_us, full_us, meter_us, full_ratio and meter_ratio (each over the memcpy).
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <vector>

#include "IGraphics.h"

namespace benchsupport
{
inline double Median(std::vector<double> v)
{
  std::nth_element(v.begin(), v.begin() + static_cast<std::ptrdiff_t>(v.size() / 2), v.end());
  return v[v.size() / 2];
}

template <class F> double Seconds(F f)
{
  const auto t0 = std::chrono::steady_clock::now();
  f();
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
}

inline void MeasureRedraws(benchmark::State& state, IGraphics* g, int meterIdx)
{
  LICE_IBitmap* bits = g->GetDrawBitmap();
  if (!bits || !g->GetControl(meterIdx))
  {
    state.SkipWithError("no editor");
    return;
  }
  std::vector<LICE_pixel> frameCopy(static_cast<size_t>(g->Width()) * g->Height());
  std::vector<double> full, meter, copy;
  int step = 0;
  auto pass = [g] {
    IRECT r;
    if (g->IsDirty(&r)) g->Draw(&r);
  };
  for (auto _ : state)
  {
    const double tCopy = Seconds([&] {
      std::memcpy(frameCopy.data(), bits->getBits(), sizeof(LICE_pixel) * frameCopy.size());
      benchmark::ClobberMemory();
    });
    const double tFull = Seconds([&] {
      g->SetAllControlsDirty();
      pass();
    });
    const double tMeter = Seconds([&] {
      g->SetControlFromPlug(meterIdx, (step++ % 61) / 60.0);
      pass();
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
}  // namespace benchsupport
