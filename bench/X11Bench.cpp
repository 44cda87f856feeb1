// The X11 window layer on a real X server (run it under scripts/with-xvfb.sh). Each iteration
// measures side by side, in alternating order:
//
// BM_DirtyToScreen: from a dirty control to its pixels on the server: the timer tick (IsDirty,
// Draw, the XPutImage copy, flush) followed by a round trip (XSync) that returns once the server
// has processed the copy. Counters: control_us (one 29 x 150 control), full_us (the whole
// 1129 x 214 editor), roundtrip_us (an XSync alone, the floor), control_ratio and full_ratio
// (over the round trip).
//
// BM_IdleCpu: an open, idle editor driven by a host-like loop (poll on the connection, a 40 ms
// timer) for one second. Counters: cpu_ms_per_s (process CPU time per second of wall time),
// empty_cpu_ms_per_s (the same loop without an editor), idle_ratio, tick_us (one idle timer
// tick: nothing dirty, nothing drawn or sent).

#include <benchmark/benchmark.h>
#include <poll.h>
#include <time.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <vector>

#include "IGraphicsLinux.h"
#include "IPanelControl.h"
#include "TestPlugs.h"

namespace
{
constexpr int kW = 1129, kH = 214;

double NowUs()
{
  timespec ts{};
  clock_gettime(CLOCK_MONOTONIC, &ts);
  return ts.tv_sec * 1e6 + ts.tv_nsec / 1e3;
}

double CpuMs()
{
  timespec ts{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
  return ts.tv_sec * 1e3 + ts.tv_nsec / 1e6;
}

double Median(std::vector<double> v)
{
  std::sort(v.begin(), v.end());
  return v.empty() ? 0.0 : v[v.size() / 2];
}

// An editor of Brelix's size: a background and a 29 x 150 control (the meter's size) in a
// window of its own.
struct OpenEditor
{
  OpenEditor()
  {
    plug = new TestFx(IPlugInstanceInfo());
    graphics = new IGraphicsLinux(plug, kW, kH);
    IColor bg(255, 30, 30, 36), fg(255, 200, 60, 40);
    graphics->AttachPanelBackground(&bg);
    meter = graphics->AttachControl(new IPanelControl(plug, IRECT(1000, 30, 1029, 180), &fg));
    plug->AttachGraphics(graphics);
    display = XOpenDisplay(nullptr);
    if (!display) return;
    parent = XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, kW, kH, 0, 0, 0);
    XMapWindow(display, parent);
    XSync(display, False);
    ok = graphics->OpenWindow(reinterpret_cast<void*>(parent)) != nullptr;
    graphics->OnTimer();
  }
  ~OpenEditor()
  {
    graphics->CloseWindow();
    plug->release();
    if (display)
    {
      XDestroyWindow(display, parent);
      XCloseDisplay(display);
    }
  }
  void Sync() { XSync(graphics->Connection().Get(), False); }

  TestFx* plug;
  IGraphicsLinux* graphics;
  Display* display = nullptr;
  Window parent = 0;
  int meter = -1;
  bool ok = false;
};

void BM_DirtyToScreen(benchmark::State& state)
{
  OpenEditor e;
  if (!e.ok)
  {
    state.SkipWithError("no X display (run under scripts/with-xvfb.sh)");
    return;
  }
  std::vector<double> control, full, roundtrip;
  int turn = 0;
  for (auto _ : state)
  {
    for (int k = 0; k < 3; ++k)
    {
      const int which = (k + turn) % 3;
      const double t0 = NowUs();
      if (which == 0) e.graphics->GetControl(e.meter)->SetDirty(false);
      if (which == 1) e.graphics->SetAllControlsDirty();
      if (which != 2) e.graphics->OnTimer();
      e.Sync();
      const double dt = NowUs() - t0;
      (which == 0 ? control : which == 1 ? full : roundtrip).push_back(dt);
    }
    ++turn;
  }
  const double c = Median(control), f = Median(full), r = Median(roundtrip);
  state.counters["control_us"] = c;
  state.counters["full_us"] = f;
  state.counters["roundtrip_us"] = r;
  state.counters["control_ratio"] = r > 0 ? c / r : 0;
  state.counters["full_ratio"] = r > 0 ? f / r : 0;
}
BENCHMARK(BM_DirtyToScreen)->Unit(benchmark::kMicrosecond)->MinTime(2.0);

// A host loop for ms: poll on fd (when >= 0) and a 40 ms timer calling tick.
double LoopCpuPerSecond(int fd, const std::function<void()>& onFd, const std::function<void()>& tick, int ms)
{
  const double wall0 = NowUs(), cpu0 = CpuMs();
  double nextTick = wall0 + 40e3;
  while (NowUs() - wall0 < ms * 1e3)
  {
    pollfd p{fd, POLLIN, 0};
    // Rounded up: a loop that woke a little early would spin until the tick.
    const int timeout = std::max(0, static_cast<int>(std::ceil((nextTick - NowUs()) / 1e3)));
    if (poll(&p, fd >= 0 ? 1 : 0, timeout) > 0 && onFd) onFd();
    if (NowUs() >= nextTick)
    {
      nextTick += 40e3;
      tick();
    }
  }
  return (CpuMs() - cpu0) / ((NowUs() - wall0) / 1e6);
}

void BM_IdleCpu(benchmark::State& state)
{
  OpenEditor e;
  if (!e.ok)
  {
    state.SkipWithError("no X display (run under scripts/with-xvfb.sh)");
    return;
  }
  std::vector<double> idle, empty, ticks;
  for (auto _ : state)
  {
    idle.push_back(LoopCpuPerSecond(e.graphics->GetEventFD(), [&] { e.graphics->OnEventFD(); },
                                    [&] {
                                      const double t0 = NowUs();
                                      e.graphics->OnTimer();
                                      ticks.push_back(NowUs() - t0);
                                    },
                                    1000));
    empty.push_back(LoopCpuPerSecond(-1, nullptr, [] {}, 1000));
  }
  const double i = Median(idle), z = Median(empty);
  state.counters["cpu_ms_per_s"] = i;
  state.counters["empty_cpu_ms_per_s"] = z;
  state.counters["idle_ratio"] = z > 0 ? i / z : 0;
  state.counters["tick_us"] = Median(ticks);
}
BENCHMARK(BM_IdleCpu)->Unit(benchmark::kMillisecond)->Iterations(3);
}  // namespace

BENCHMARK_MAIN();
