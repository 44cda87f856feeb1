// Cached-font text: a 40-character label drawn through the glyph cache, natively (into a
// context and into a memory bitmap), and measured, in microseconds per call. The first draw
// (a fresh cached font each time, so every glyph is rendered through the shim) and the repeated
// cached draw are timed side by side in each iteration; ratio = first / repeated (goal >= 10).
//
// Run: build with -DBRELIX_BENCH=ON (Release), then bench/lice_text_bench. Needs
// fonts-dejavu-core (the label is set in DejaVu Sans at a 14-pixel line height).

#include "lice_text.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <vector>

namespace
{
using Clock = std::chrono::steady_clock;

const char kLabel[] = "Drive 12.5 dB | Output -3.0 dB | Mix 80%";  // 40 characters
static_assert(sizeof(kLabel) - 1 == 40, "the label is 40 characters");
constexpr int kHeight = 14;

HFONT MakeFont()
{
  return CreateFont(kHeight, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                    CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, "DejaVu Sans");
}

double Median(std::vector<double> v)
{
  std::sort(v.begin(), v.end());
  return v.empty() ? 0.0 : v[v.size() / 2];
}

double Seconds(Clock::time_point a, Clock::time_point b) { return std::chrono::duration<double>(b - a).count(); }

// First draw (fresh font) against repeated draws of a warm font, back to back.
void BM_FirstVersusCached(benchmark::State& state)
{
  HFONT hf = MakeFont();
  LICE_MemBitmap bmp(400, 24);
  LICE_CachedFont warm;
  warm.SetFromHFont(hf);
  RECT r{0, 0, 400, 24};
  warm.DrawText(&bmp, kLabel, -1, &r, 0);
  std::vector<double> first, cached;
  constexpr int kRepeats = 20;
  for (auto _ : state)
  {
    const auto t0 = Clock::now();
    {
      LICE_CachedFont fresh;
      fresh.SetFromHFont(hf);
      benchmark::DoNotOptimize(fresh.DrawText(&bmp, kLabel, -1, &r, 0));
    }
    const auto t1 = Clock::now();
    for (int i = 0; i < kRepeats; ++i) benchmark::DoNotOptimize(warm.DrawText(&bmp, kLabel, -1, &r, 0));
    const auto t2 = Clock::now();
    first.push_back(Seconds(t0, t1));
    cached.push_back(Seconds(t1, t2) / kRepeats);
    state.SetIterationTime(Seconds(t0, t2));
  }
  const double f = Median(first), c = Median(cached);
  state.counters["first_us"] = f * 1e6;
  state.counters["cached_us"] = c * 1e6;
  state.counters["ratio"] = c > 0 ? f / c : 0;
  DeleteObject(hf);
}
BENCHMARK(BM_FirstVersusCached)->UseManualTime()->Iterations(200);

// One call per iteration of a warm font: cached draw, native draws and measuring.
enum class Call
{
  Cached,
  NativeContext,
  NativeMemory,
  Measure
};

void BM_Label(benchmark::State& state, Call call)
{
  HFONT hf = MakeFont();
  LICE_CachedFont font;
  font.SetFromHFont(hf, call == Call::NativeContext || call == Call::NativeMemory ? LICE_FONT_FLAG_FORCE_NATIVE : 0);
  font.SetTextColor(0xFFFFFFFF);
  LICE_SysBitmap sys(400, 24);
  LICE_MemBitmap mem(400, 24);
  LICE_IBitmap* target = call == Call::NativeContext ? (LICE_IBitmap*)&sys : &mem;
  RECT r{0, 0, 400, 24};
  font.DrawText(target, kLabel, -1, &r, 0);
  std::vector<double> t;
  for (auto _ : state)
  {
    RECT rr = r;
    const auto t0 = Clock::now();
    if (call == Call::Measure) benchmark::DoNotOptimize(font.DrawText(nullptr, kLabel, -1, &rr, DT_CALCRECT));
    else benchmark::DoNotOptimize(font.DrawText(target, kLabel, -1, &rr, 0));
    const auto t1 = Clock::now();
    t.push_back(Seconds(t0, t1));
    state.SetIterationTime(t.back());
  }
  state.counters["us_per_call"] = Median(t) * 1e6;
  DeleteObject(hf);
}
BENCHMARK_CAPTURE(BM_Label, cached_draw, Call::Cached)->UseManualTime();
BENCHMARK_CAPTURE(BM_Label, native_draw_context, Call::NativeContext)->UseManualTime();
BENCHMARK_CAPTURE(BM_Label, native_draw_memory, Call::NativeMemory)->UseManualTime();
BENCHMARK_CAPTURE(BM_Label, cached_measure, Call::Measure)->UseManualTime();
}  // namespace

BENCHMARK_MAIN();
