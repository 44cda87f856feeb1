// Raster library throughput against its anchors, measured side by side in one run: each
// iteration times the library call and its anchor back to back (in alternating order), and the
// counters are the medians of those per-iteration times.
//
//   opaque_blit     LICE_Blit copy at alpha 1.0 vs a row-by-row memcpy; ratio = memcpy time /
//                   LICE time (throughput relative to memcpy; goal >= 0.9)
//   alpha_blit      LICE_Blit with the source-alpha mode at alpha 1.0 (w 256) and 0.5 (w 128) vs
//                   pixman OVER on a8r8g8b8 (with a solid 0x80 mask for 0.5); ratio = pixman time
//                   / LICE time (goal >= 1: no slower)
//   bilinear_scale  LICE_ScaledBlit 150 -> 300 with bilinear filtering vs pixman's bilinear SRC
//                   (PIXMAN_REPEAT_PAD); ratio = LICE time / pixman time (goal <= 1.5)
//   fill_rect       LICE_FillRect opaque vs a row-by-row memset; ratio = memset time / LICE time
//                   (goal >= 0.5)
//   lines           214 full-width LICE_Line calls (no anchor): ns per pixel
// Images are 1129 x 214 and 150 x 150, seeded with varied alpha. pixman works on premultiplied
// pixels and LICE on straight alpha, so the pictures differ: the comparison is about throughput.
// The pixels are valid in both readings (no channel above its alpha).
//
// Run: build with -DBRELIX_BENCH=ON (Release), then bench/lice_bench; medians over
// --benchmark_repetitions (default 5) and the summary table at the end.

#include "lice.h"

#include <benchmark/benchmark.h>
#include <pixman.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <map>
#include <random>
#include <string>
#include <vector>

namespace
{
using Clock = std::chrono::steady_clock;

void FillVariedAlpha(LICE_IBitmap* bm, unsigned seed)
{
  std::mt19937 rng(seed);
  for (int y = 0; y < bm->getHeight(); ++y)
  {
    LICE_pixel* row = bm->getBits() + (size_t)y * bm->getRowSpan();
    for (int x = 0; x < bm->getWidth(); ++x)
    {
      const unsigned a = rng() & 255, r = rng() % (a + 1), g = rng() % (a + 1), b = rng() % (a + 1);
      row[x] = LICE_RGBA(r, g, b, a);
    }
  }
}

pixman_image_t* Wrap(LICE_IBitmap* bm)
{
  return pixman_image_create_bits(PIXMAN_a8r8g8b8, bm->getWidth(), bm->getHeight(),
                                  (uint32_t*)bm->getBits(), bm->getRowSpan() * 4);
}

double Median(std::vector<double> v)
{
  if (v.empty()) return 0;
  std::nth_element(v.begin(), v.begin() + (long)(v.size() / 2), v.end());
  return v[v.size() / 2];
}

// Calls each side `reps` times per iteration, alternating which goes first; the benchmark's own
// time is the library's. Sets the lice_us and anchor_us counters (per call) and returns the
// medians in seconds per call.
template <class L, class A>
void TimePair(benchmark::State& state, int reps, L&& lice, A&& anchor, double& liceSec, double& anchorSec)
{
  std::vector<double> tl, ta;
  bool liceFirst = true;
  for (auto _ : state)
  {
    const auto t0 = Clock::now();
    for (int i = 0; i < reps; ++i) liceFirst ? lice() : anchor();
    const auto t1 = Clock::now();
    for (int i = 0; i < reps; ++i) liceFirst ? anchor() : lice();
    const auto t2 = Clock::now();
    const double first = std::chrono::duration<double>(t1 - t0).count() / reps;
    const double second = std::chrono::duration<double>(t2 - t1).count() / reps;
    tl.push_back(liceFirst ? first : second);
    ta.push_back(liceFirst ? second : first);
    state.SetIterationTime(tl.back());
    liceFirst = !liceFirst;
    benchmark::ClobberMemory();
  }
  liceSec = Median(tl);
  anchorSec = Median(ta);
  state.counters["lice_us"] = liceSec * 1e6;
  state.counters["anchor_us"] = anchorSec * 1e6;
}

int RepsFor(long long pixels) { return (int)std::max(1LL, 400000 / pixels); }

void BM_OpaqueBlit(benchmark::State& state)
{
  const int w = (int)state.range(0), h = (int)state.range(1);
  LICE_MemBitmap src(w, h), dst(w, h);
  FillVariedAlpha(&src, 1);
  double l, a;
  TimePair(state, RepsFor((long long)w * h),
           [&] { LICE_Blit(&dst, &src, 0, 0, nullptr, 1.0f, LICE_BLIT_MODE_COPY); },
           [&] {
             for (int y = 0; y < h; ++y)
               std::memcpy(dst.getBits() + (size_t)y * dst.getRowSpan(),
                           src.getBits() + (size_t)y * src.getRowSpan(), (size_t)w * 4);
           },
           l, a);
  state.counters["ratio"] = a / l;
  state.SetBytesProcessed(state.iterations() * (int64_t)w * h * 4);
}

void BM_AlphaBlit(benchmark::State& state)
{
  const int w = (int)state.range(0), h = (int)state.range(1);
  const bool half = state.range(2) == 128;
  LICE_MemBitmap src(w, h), dst(w, h), pdst(w, h);
  FillVariedAlpha(&src, 2);
  FillVariedAlpha(&dst, 3);
  FillVariedAlpha(&pdst, 3);
  pixman_image_t *ps = Wrap(&src), *pd = Wrap(&pdst);
  const pixman_color_t grey = {0, 0, 0, 0x8080};
  pixman_image_t* mask = half ? pixman_image_create_solid_fill(&grey) : nullptr;
  double l, a;
  TimePair(state, RepsFor((long long)w * h),
           [&] { LICE_Blit(&dst, &src, 0, 0, nullptr, half ? 0.5f : 1.0f, LICE_BLIT_USE_ALPHA); },
           [&] { pixman_image_composite32(PIXMAN_OP_OVER, ps, mask, pd, 0, 0, 0, 0, 0, 0, w, h); },
           l, a);
  state.counters["ratio"] = a / l;
  state.SetItemsProcessed(state.iterations() * (int64_t)w * h);
  if (mask) pixman_image_unref(mask);
  pixman_image_unref(ps);
  pixman_image_unref(pd);
}

void BM_BilinearScale(benchmark::State& state)
{
  const int n = (int)state.range(0), m = (int)state.range(1);
  LICE_MemBitmap src(n, n), dst(m, m), pdst(m, m);
  FillVariedAlpha(&src, 4);
  pixman_image_t *ps = Wrap(&src), *pd = Wrap(&pdst);
  pixman_transform_t t;
  pixman_transform_init_scale(&t, pixman_double_to_fixed((double)n / m), pixman_double_to_fixed((double)n / m));
  pixman_image_set_transform(ps, &t);
  pixman_image_set_filter(ps, PIXMAN_FILTER_BILINEAR, nullptr, 0);
  pixman_image_set_repeat(ps, PIXMAN_REPEAT_PAD);
  double l, a;
  TimePair(state, RepsFor((long long)m * m),
           [&] {
             LICE_ScaledBlit(&dst, &src, 0, 0, m, m, 0, 0, (float)n, (float)n, 1.0f,
                             LICE_BLIT_FILTER_BILINEAR);
           },
           [&] { pixman_image_composite32(PIXMAN_OP_SRC, ps, nullptr, pd, 0, 0, 0, 0, 0, 0, m, m); },
           l, a);
  state.counters["ratio"] = l / a;
  state.SetItemsProcessed(state.iterations() * (int64_t)m * m);
  pixman_image_unref(ps);
  pixman_image_unref(pd);
}

void BM_FillRect(benchmark::State& state)
{
  const int w = (int)state.range(0), h = (int)state.range(1);
  LICE_MemBitmap dst(w, h);
  double l, a;
  TimePair(state, RepsFor((long long)w * h),
           [&] { LICE_FillRect(&dst, 0, 0, w, h, 0xFF336699, 1.0f, 0); },
           [&] {
             for (int y = 0; y < h; ++y)
               std::memset(dst.getBits() + (size_t)y * dst.getRowSpan(), 0x5A, (size_t)w * 4);
           },
           l, a);
  state.counters["ratio"] = a / l;
  state.SetBytesProcessed(state.iterations() * (int64_t)w * h * 4);
}

#if defined(LICE_BENCH_LINES)
void BM_Lines(benchmark::State& state)
{
  const int w = (int)state.range(0), h = (int)state.range(1);
  LICE_MemBitmap dst(w, h);
  LICE_Clear(&dst, 0);
  const bool aa = state.range(2) != 0;
  std::vector<double> times;
  for (auto _ : state)
  {
    const auto t0 = Clock::now();
    for (int y = 0; y < h; ++y) LICE_Line(&dst, 0, y, w - 1, y, 0xFF336699, 1.0f, 0, aa);
    const double s = std::chrono::duration<double>(Clock::now() - t0).count();
    times.push_back(s);
    state.SetIterationTime(s);
  }
  state.counters["ns_per_pixel"] = Median(times) * 1e9 / ((double)w * h);
}
#endif

const std::vector<int64_t> kWide = {1129, 214}, kSquare = {150, 150};
}  // namespace

BENCHMARK(BM_OpaqueBlit)->Args(kWide)->Args(kSquare)->UseManualTime();
BENCHMARK(BM_AlphaBlit)->Args({1129, 214, 256})->Args({1129, 214, 128})->Args({150, 150, 256})
  ->Args({150, 150, 128})->UseManualTime();
BENCHMARK(BM_BilinearScale)->Args({150, 300})->UseManualTime();
BENCHMARK(BM_FillRect)->Args(kWide)->Args(kSquare)->UseManualTime();
#if defined(LICE_BENCH_LINES)
BENCHMARK(BM_Lines)->Args({1129, 214, 0})->Args({1129, 214, 1})->UseManualTime();
#endif

namespace
{
// Keeps the medians of every counter and prints them as one table after the run.
class SummaryReporter : public benchmark::ConsoleReporter
{
public:
  void ReportRuns(const std::vector<Run>& runs) override
  {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& r : runs)
      if (r.run_type == Run::RT_Aggregate && r.aggregate_name == "median")
        for (const auto& c : r.counters) m_rows[r.run_name.function_name + "/" + r.run_name.args][c.first] = c.second.value;
  }
  void Summary() const
  {
    std::printf("\nMedians (LICE vs anchor, microseconds per call):\n");
    std::printf("%-28s %10s %10s %8s  %s\n", "case", "lice_us", "anchor_us", "ratio", "goal");
    for (const auto& row : m_rows)
    {
      const auto& c = row.second;
      auto get = [&](const char* k) { auto it = c.find(k); return it == c.end() ? 0.0 : it->second; };
      const std::string& name = row.first;
      if (c.count("ns_per_pixel"))
      {
        std::printf("%-28s ns per pixel %.3f\n", name.c_str(), get("ns_per_pixel"));
        continue;
      }
      const char* goal = name.rfind("BM_OpaqueBlit", 0) == 0 ? ">= 0.9 (memcpy time / LICE time)"
                         : name.rfind("BM_AlphaBlit", 0) == 0 ? ">= 1.0 (pixman OVER time / LICE time)"
                         : name.rfind("BM_BilinearScale", 0) == 0 ? "<= 1.5 (LICE time / pixman SRC bilinear, REPEAT_PAD)"
                                                                 : ">= 0.5 (memset time / LICE time)";
      std::printf("%-28s %10.2f %10.2f %8.3f  %s\n", name.c_str(), get("lice_us"), get("anchor_us"),
                  get("ratio"), goal);
    }
#if !defined(LICE_BENCH_LINES)
    std::printf("(LICE_Line is not in the library yet: the lines case is not built.)\n");
#endif
  }

private:
  std::map<std::string, std::map<std::string, double>> m_rows;
};
}  // namespace

int main(int argc, char** argv)
{
  // Defaults first, so that the caller's flags override them.
  std::vector<char*> args = {argv[0]};
  static char reps[] = "--benchmark_repetitions=5", aggr[] = "--benchmark_report_aggregates_only=true";
  args.push_back(reps);
  args.push_back(aggr);
  for (int i = 1; i < argc; ++i) args.push_back(argv[i]);
  int n = (int)args.size();
  benchmark::Initialize(&n, args.data());
  if (benchmark::ReportUnrecognizedArguments(n, args.data())) return 1;
  SummaryReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  reporter.Summary();
  benchmark::Shutdown();
  return 0;
}
