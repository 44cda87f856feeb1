// The audio thread pushes values while the user-interface thread draws (run under
// ThreadSanitizer too): the last value pushed is always the one finally drawn, and a control
// list being rebuilt never meets a push.
#include <atomic>
#include <thread>

#include <gtest/gtest.h>

#include "GraphicsTestSupport.h"

using namespace gfxtest;

namespace
{
// Remembers the values it was drawn with.
class ValueProbe : public IControl
{
public:
  ValueProbe(IPlugBase* plug, const IRECT& r, int paramIdx) : IControl(plug, r, paramIdx) {}
  bool Draw(IGraphics*) override
  {
    drawnValue = mValue;
    drawnAux = NAuxParams() ? GetAuxParam(0)->mValue : -1.0;
    return true;
  }
  double drawnValue = -1.0, drawnAux = -1.0;
};

// One user-interface pass as the window layer's timer makes it.
bool UiPass(IGraphics& g)
{
  IRECT r;
  if (!g.IsDirty(&r)) return false;
  g.Draw(&r);
  return true;
}
}  // namespace

TEST(GraphicsThreads, LastValuePushedIsAlwaysDrawn)
{
  EditorPlug plug;
  RecordingGraphics g(&plug, 200, 100);
  auto* meter = new ValueProbe(&plug, IRECT(0, 0, 20, 100), -1);
  auto* knob = new ValueProbe(&plug, IRECT(30, 0, 60, 30), 3);
  knob->AddAuxParam(2);
  const int meterIdx = g.AttachControl(meter);
  g.AttachControl(knob);
  g.PrepDraw();

  constexpr int kRounds = 150, kBlocks = 20, kFrames = 64;
  for (int round = 0; round < kRounds; ++round)
  {
    std::atomic<bool> done{false};
    double lastMeter = 0.0, lastKnob = 0.0, lastAux = 0.0;
    std::thread audio([&] {
      for (int b = 0; b < kBlocks; ++b)
      {
        WDL_MutexLock lock(plug.GetMutex());  // as the processing call holds it
        for (int f = 0; f < kFrames; ++f)
        {
          const int n = (round * kBlocks + b) * kFrames + f;
          lastMeter = (n % 997) / 997.0;
          lastKnob = (n % 331) / 331.0;
          lastAux = (n % 113) / 113.0;
          g.SetControlFromPlug(meterIdx, lastMeter);
          g.SetParameterFromPlug(3, lastKnob, true);
          g.SetParameterFromPlug(2, lastAux, true);
        }
      }
      done.store(true, std::memory_order_release);
    });
    while (!done.load(std::memory_order_acquire)) UiPass(g);
    audio.join();
    for (int pass = 0; pass < 3 && UiPass(g); ++pass)
    {
    }
    ASSERT_EQ(meter->drawnValue, lastMeter) << "round " << round;
    ASSERT_EQ(knob->drawnValue, lastKnob) << "round " << round;
    ASSERT_EQ(knob->drawnAux, lastAux) << "round " << round;
    IRECT r;
    ASSERT_FALSE(g.IsDirty(&r));
  }
}

TEST(GraphicsThreads, ResizeWhileTheAudioThreadPushes)
{
  EditorPlug plug;
  RecordingGraphics g(&plug, 200, 100);
  auto attach = [&] {
    for (int i = 0; i < 8; ++i) g.AttachControl(new ValueProbe(&plug, IRECT(i * 10, 0, i * 10 + 10, 10), i % 4));
  };
  attach();
  g.PrepDraw();
  std::atomic<bool> stop{false};
  std::thread audio([&] {
    int n = 0;
    while (!stop.load(std::memory_order_acquire))
    {
      WDL_MutexLock lock(plug.GetMutex());
      for (int f = 0; f < 64; ++f, ++n)
      {
        g.SetControlFromPlug(n % 9, (n % 50) / 50.0);
        g.SetParameterFromPlug(n % 4, (n % 70) / 70.0, true);
      }
    }
  });
  for (int i = 0; i < 200; ++i)
  {
    g.Resize(200 + i % 3, 100);
    attach();
    UiPass(g);
  }
  stop.store(true, std::memory_order_release);
  audio.join();
  EXPECT_EQ(g.NControls(), 8);
  EXPECT_EQ(plug.resizes.size(), 200u);
}
