// The host's two threads at once: the audio thread processes with automation while the
// user-interface thread reads, writes and converts parameters and saves and restores the state.
// Run under ThreadSanitizer as well as the address sanitizer.

#include <atomic>
#include <cmath>
#include <thread>

#include "Vst3Fixture.h"

using namespace vst3test;

namespace
{
class FxThreadTest : public InstanceTest
{
protected:
  void SetUp() override { Open(kFxBundle); }
};
}  // namespace

TEST_F(FxThreadTest, ControllerThreadWhileAudioThreadProcesses)
{
  ASSERT_EQ(inst->Setup(48000, 128), kResultOk);
  ASSERT_EQ(inst->component->setActive(true), kResultOk);
  inst->processor->setProcessing(true);
  const int32 nParams = inst->ParamCount();
  std::atomic<bool> stop{false};
  std::atomic<int> insane{0};

  std::thread ui([&] {
    std::vector<char> state;
    for (int i = 0; i < 400; ++i)
    {
      ParameterInfo info = inst->ParamInfo(i % nParams);
      double v = (i % 11) / 10.0;
      inst->controller->setParamNormalized(info.id, v);
      double back = inst->controller->getParamNormalized(info.id);
      if (!(back >= 0.0 && back <= 1.0)) ++insane;
      inst->ParamText(info.id, v);
      if (i % 50 == 0 && inst->SaveState(state)) inst->LoadState(state);
    }
    stop = true;
  });

  AudioBlock<float> block({2, 2}, {2}, 128);
  block.FillInput(0, 0, [](int s) { return std::sin(s * 0.05); });
  block.FillInput(0, 1, [](int s) { return std::cos(s * 0.05); });
  ParamChanges changes;
  int n = 0;
  while (!stop || n < 50)
  {
    changes.Clear();
    changes.Add(static_cast<ParamID>(n % 3), {(n % 7) / 6.0});
    block.data.inputParameterChanges = &changes;
    ASSERT_EQ(inst->processor->process(block.data), kResultOk);
    for (float s : block.out[0][0]) ASSERT_TRUE(std::isfinite(s));
    ++n;
  }
  ui.join();
  EXPECT_EQ(0, insane.load());
  inst->processor->setProcessing(false);
  inst->component->setActive(false);
}
