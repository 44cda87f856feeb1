// The editor's drawing and hand-over costs, each as a ratio to a reference measured in the same
// iteration (alternating order, medians of the per-iteration times):
//
// BM_Redraw: a 1129 x 214 editor laid out as Brelix's (a copy-blended background and eight
// bitmap controls with soft-edged alpha, placeholder images of the controls' sizes). Counters:
// full_us (every control dirty, then a pass), meter_us (the meter's value changes and the
// dirty 29 x 150 area is redrawn: IsDirty and Draw, as the window layer's timer does),
// memcpy_us (one memcpy of the 1129 x 214 frame), full_ratio (goal <= 10), meter_ratio (goal
// <= 0.2).
//
// BM_MeterPush: the audio thread's SetControlFromPlug, once per frame as the signal path calls
// it (through the plug-in's editor interface, IPlugEditor), beside the effect's own cost per
// stereo frame (64-frame blocks at 48 kHz). Counters: push_ns, frame_ns, push_share (push over
// frame; goal about 0.02, push_ns <= 2), and direct_ns and direct_share, the same call on the
// editor's own type (inline), as Brelix makes it. The reported iteration time is push and frame
// together.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstring>
#include <memory>
#include <vector>

#include "BrelixOffline.h"
#include "IBitmapControl.h"
#include "IGraphics.h"
#include "RedrawMeasure.h"

namespace
{
constexpr int kW = 1129, kH = 214;

// A window layer that shows nothing.
class OffscreenGraphics : public IGraphics
{
public:
  using IGraphics::IGraphics;
  bool DrawScreen(IRECT*) override { return true; }
  void ForceEndUserEdit() override {}
  int ShowMessageBox(const char*, const char*, int) override { return 0; }
  IPopupMenu* CreateIPopupMenu(IPopupMenu*, IRECT*) override { return nullptr; }
  void CreateTextEntry(IControl*, IText*, IRECT*, const char*, IParam*) override {}
  void HostPath(WDL_String*) override {}
  void PluginPath(WDL_String*) override {}
  void DesktopPath(WDL_String*) override {}
  void AppSupportPath(WDL_String*, bool) override {}
  void SandboxSafeAppSupportPath(WDL_String*) override {}
  void PromptForFile(WDL_String*, EFileAction, WDL_String*, char*) override {}
  bool PromptForColor(IColor*, char*) override { return false; }
  bool OpenURL(const char*, const char*, const char*, const char*) override { return false; }
  void* OpenWindow(void*) override { return nullptr; }
  void CloseWindow() override {}
  void* GetWindow() override { return nullptr; }
  bool GetTextFromClipboard(WDL_String*) override { return false; }
  void UpdateTooltips() override {}
  void ResourcePath(WDL_String*) override {}
};

// n frames of w x h stacked: an opaque disc with a one-pixel soft edge on transparency, its
// shade changing with the frame.
IBitmap Strip(IGraphics& g, int w, int h, int n)
{
  auto* b = new LICE_MemBitmap(w, h * n);
  const double r = 0.5 * std::min(w, h) - 1.0;
  for (int k = 0; k < n; ++k)
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x)
      {
        const double d = std::hypot(x + 0.5 - 0.5 * w, y + 0.5 - 0.5 * h);
        const double a = std::clamp(r - d + 0.5, 0.0, 1.0);
        b->getBits()[(k * h + y) * b->getRowSpan() + x] =
          LICE_RGBA(60 + 3 * k, 80 + (x * 100) / w, 120, static_cast<int>(a * 255.0));
      }
  IBitmap bitmap(b, w, h * n, n);
  g.RetainBitmap(&bitmap);
  return bitmap;
}

IBitmap Opaque(IGraphics& g, int w, int h)
{
  auto* b = new LICE_MemBitmap(w, h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) b->getBits()[y * b->getRowSpan() + x] = LICE_RGBA(x & 255, y, 90, 255);
  IBitmap bitmap(b, w, h);
  g.RetainBitmap(&bitmap);
  return bitmap;
}

// Brelix's layout: background, BYPASS, LINK (off the editor), HPF, LPF, GAIN, MODEL, OUT, meter.
// Returns the meter's index.
int BuildEditor(IGraphics& g, IPlugBase* plug)
{
  static IBitmap bg = Opaque(g, kW, kH), knob = Strip(g, 150, 150, 61), model = Strip(g, 150, 150, 11),
                 sw2 = Strip(g, 90, 100, 2), sw4 = Strip(g, 160, 150, 4), meter = Strip(g, 29, 150, 61);
  g.AttachControl(new IBitmapControl(plug, 0, 0, -1, &bg, IChannelBlend::kBlendCopy));
  g.AttachControl(new IBitmapControl(plug, 1011, 56, 9, &sw2));
  g.AttachControl(new IBitmapControl(plug, 2000, 2000, 7, &sw2));
  g.AttachControl(new IBitmapControl(plug, 595, 34, 6, &sw4));
  g.AttachControl(new IBitmapControl(plug, 788, 30, 5, &sw2));
  g.AttachControl(new IBitmapControl(plug, 217, 31, 1, &knob));
  g.AttachControl(new IBitmapControl(plug, 27, 37, 4, &model));
  g.AttachControl(new IBitmapControl(plug, 406, 34, 2, &knob));
  return g.AttachControl(new IBitmapControl(plug, 377, 44, -1, &meter));
}

using benchsupport::Median;
using benchsupport::Seconds;

void BM_Redraw(benchmark::State& state)
{
  BrelixOffline plug;
  auto* g = new OffscreenGraphics(&plug, kW, kH);
  const int meterIdx = BuildEditor(*g, &plug);
  plug.AttachGraphics(g);
  benchsupport::MeasureRedraws(state, g, meterIdx);
}
BENCHMARK(BM_Redraw)->UseManualTime()->Unit(benchmark::kMicrosecond)->MinTime(2.0);

void BM_MeterPush(benchmark::State& state)
{
  constexpr int kBlock = 64, kBlocks = 64, kFrames = kBlock * kBlocks;
  BrelixOffline fx;
  if (!fx.Prepare(48000.0, kBlock))
  {
    state.SkipWithError("cannot size the buffers");
    return;
  }
  OffscreenGraphics g(nullptr, kW, kH);
  const int meterIdx = BuildEditor(g, nullptr);
  std::vector<double> inL(kFrames), inR(kFrames), outL(kFrames), outR(kFrames);
  for (int i = 0; i < kFrames; ++i) inL[i] = inR[i] = 0.5 * std::sin(0.01 * i);
  // The signal path knows the editor only by its interface; hide the type from the optimiser.
  IPlugEditor* editor = &g;
  benchmark::DoNotOptimize(editor);
  std::vector<double> pushes, directs, frames;
  for (auto _ : state)
  {
    const double tPush = Seconds([&] {
      for (int i = 0; i < kFrames; ++i) editor->SetControlFromPlug(meterIdx, outL[static_cast<size_t>(i)]);
    });
    const double tDirect = Seconds([&] {
      for (int i = 0; i < kFrames; ++i) g.SetControlFromPlug(meterIdx, outR[static_cast<size_t>(i)]);
      benchmark::ClobberMemory();
    });
    const double tFrames = Seconds([&] {
      for (int b = 0; b < kBlocks; ++b)
      {
        double* ins[2] = {inL.data() + b * kBlock, inR.data() + b * kBlock};
        double* outs[2] = {outL.data() + b * kBlock, outR.data() + b * kBlock};
        fx.ProcessDoubleReplacing(ins, outs, kBlock);
      }
    });
    pushes.push_back(tPush);
    directs.push_back(tDirect);
    frames.push_back(tFrames);
    state.SetIterationTime(tPush + tFrames);
  }
  const double p = Median(pushes) * 1e9 / kFrames, f = Median(frames) * 1e9 / kFrames;
  state.counters["push_ns"] = p;
  state.counters["frame_ns"] = f;
  state.counters["push_share"] = p / f;
  const double d = Median(directs) * 1e9 / kFrames;
  state.counters["direct_ns"] = d;
  state.counters["direct_share"] = d / f;
}
BENCHMARK(BM_MeterPush)->UseManualTime()->Unit(benchmark::kMicrosecond)->MinTime(2.0);
}  // namespace

BENCHMARK_MAIN();
