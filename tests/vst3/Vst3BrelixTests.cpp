// The Brelix bundle as hosts see it: its class, buses, parameters, units, programs and state,
// and its processing compared with the effect driven directly.
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "../AllocationCount.h"
#include "Brelix.h"
#include "Vst3Fixture.h"

using namespace vst3test;

namespace
{
constexpr ParamID kBypass = 0x62706173;
constexpr ParamID kPreset = 0x70727374;

class BrelixBundleTest : public InstanceTest
{
protected:
  void SetUp() override { Open("Brelix"); }
};

double Signal(int channel, int s)
{
  return 0.6 * std::sin(0.031 * (s + 1) * (channel + 2)) + 0.1 * std::cos(0.007 * s);
}
}  // namespace

TEST_F(BrelixBundleTest, ClassInformation)
{
  ASSERT_EQ(factory->countClasses(), 1);
  auto f2 = Query<IPluginFactory2>(factory);
  ASSERT_TRUE(f2);
  PClassInfo2 info;
  ASSERT_EQ(f2->getClassInfo2(0, &info), kResultOk);
  EXPECT_STREQ(info.category, "Audio Module Class");
  EXPECT_STREQ(info.name, "Brelix");
  EXPECT_STREQ(info.subCategories, "Fx");
  EXPECT_EQ(info.classFlags, 2u);
  EXPECT_EQ(info.cardinality, 2147483647);
  EXPECT_STREQ(info.version, "1.0.0");
  const unsigned char cid[16] = {0x7B, 0x3E, 0x19, 0xA4, 0xC2, 0x5D, 0x86, 0xF1, 'Q', 'r', 'v', 'n', 'B', 'r', 'x', '1'};
  EXPECT_EQ(std::memcmp(info.cid, cid, 16), 0);
  PFactoryInfo finfo;
  ASSERT_EQ(factory->getFactoryInfo(&finfo), kResultOk);
  EXPECT_STREQ(finfo.vendor, "Quorvane");
  EXPECT_EQ(finfo.flags, 16);
}

TEST_F(BrelixBundleTest, StereoEffectBusesAndParameters)
{
  EXPECT_EQ(inst->component->getBusCount(kAudio, kInput), 1);
  EXPECT_EQ(inst->component->getBusCount(kAudio, kOutput), 1);
  EXPECT_EQ(inst->component->getBusCount(kEvent, kInput), 0);
  EXPECT_EQ(inst->BusName(kAudio, kInput, 0), "Main Input");
  EXPECT_EQ(inst->BusName(kAudio, kOutput, 0), "Output");
  SpeakerArrangement arr = 0;
  inst->processor->getBusArrangement(kInput, 0, arr);
  EXPECT_EQ(arr, SpeakerArr::kStereo);

  ASSERT_EQ(inst->ParamCount(), 12);
  EXPECT_EQ(inst->ParamInfo(0).id, kPreset);
  EXPECT_EQ(inst->ParamInfo(0).stepCount, 1);
  EXPECT_EQ(inst->ParamInfo(1).id, kBypass);
  const char* titles[10] = {"", "GAIN", "OUT", "", "MODEL", "LPF", "HPF", "LINK", "", "BYPASS"};
  for (int i = 0; i < 10; ++i)
  {
    ParameterInfo p = inst->ParamInfo(2 + i);
    EXPECT_EQ(p.id, static_cast<ParamID>(i));
    EXPECT_EQ(Narrow(p.title), titles[i]);
    EXPECT_EQ(p.unitId, kRootUnitId);
  }
  EXPECT_EQ(inst->ParamInfo(2 + 1).stepCount, 0);   // GAIN is continuous
  EXPECT_EQ(inst->ParamInfo(2 + 4).stepCount, 10);  // MODEL
  EXPECT_EQ(Narrow(inst->ParamInfo(2 + 4).units), "%");
  EXPECT_EQ(inst->units->getUnitCount(), 1);
}

TEST_F(BrelixBundleTest, ProgramListAndTexts)
{
  EXPECT_EQ(inst->units->getProgramListCount(), 0);
  ProgramListInfo list = {};
  ASSERT_EQ(inst->units->getProgramListInfo(0, list), kResultOk);
  EXPECT_EQ(Narrow(list.name), "Factory Presets");
  EXPECT_EQ(list.programCount, 1);
  String128 name = {};
  ASSERT_EQ(inst->units->getProgramName(kPreset, 0, name), kResultOk);
  EXPECT_EQ(Narrow(name), "-");

  EXPECT_EQ(inst->ParamText(Brelix::kGain, 0.5), "10.00");
  EXPECT_EQ(inst->ParamText(Brelix::kModel, 0.5), "5");
  // A host's 32-bit normalised value names the model the plug-in runs (0.7f is just below 0.7).
  EXPECT_EQ(inst->ParamText(Brelix::kModel, static_cast<float>(0.7)), "7");
  EXPECT_EQ(inst->ParamText(kBypass, 1.0), "<false>");
  EXPECT_DOUBLE_EQ(inst->controller->normalizedParamToPlain(Brelix::kGain, 0.5), 10.0);
  inst->controller->setParamNormalized(Brelix::kHpf, 0.5);
  EXPECT_DOUBLE_EQ(inst->controller->normalizedParamToPlain(Brelix::kHpf, inst->controller->getParamNormalized(Brelix::kHpf)), 2.0);
}

TEST_F(BrelixBundleTest, ArrangementsMonoAndStereoOnly)
{
  SpeakerArrangement mono = SpeakerArr::kMono, stereo = SpeakerArr::kStereo;
  SpeakerArrangement two[2] = {stereo, stereo};
  EXPECT_EQ(inst->processor->setBusArrangements(&stereo, 1, &mono, 1), kResultFalse);
  EXPECT_EQ(inst->processor->setBusArrangements(two, 2, &stereo, 1), kResultFalse);
  ASSERT_EQ(inst->processor->setBusArrangements(&mono, 1, &mono, 1), kResultTrue);
  EXPECT_EQ(inst->BusName(kAudio, kInput, 0), "Input");
  EXPECT_EQ(inst->BusName(kAudio, kOutput, 0), "Output");
  EXPECT_EQ(inst->processor->setBusArrangements(&stereo, 1, &stereo, 1), kResultTrue);
}

TEST_F(BrelixBundleTest, StateIsEightyBytesAndTheBypassFlag)
{
  ASSERT_EQ(inst->Setup(48000, 128), kResultOk);
  inst->controller->setParamNormalized(Brelix::kOut, 0.75);
  ParamChanges changes;
  changes.Add(kBypass, {0.51});
  ProcessData flush;
  flush.inputParameterChanges = &changes;
  ASSERT_EQ(inst->processor->process(flush), kResultOk);

  std::vector<char> bytes;
  ASSERT_TRUE(inst->SaveState(bytes));
  ASSERT_EQ(bytes.size(), 84u);
  double out = 0.0;
  std::memcpy(&out, bytes.data() + 8 * Brelix::kOut, 8);
  EXPECT_DOUBLE_EQ(out, 15.0);
  EXPECT_EQ(std::vector<char>(bytes.end() - 4, bytes.end()), (std::vector<char>{1, 0, 0, 0}));

  Vst3Instance restored(factory, host);
  ASSERT_EQ(restored.LoadState(bytes), kResultOk);
  ASSERT_EQ(restored.Setup(44100, 512), kResultOk);
  EXPECT_DOUBLE_EQ(restored.controller->getParamNormalized(Brelix::kOut), 0.75);
  EXPECT_EQ(restored.controller->getParamNormalized(kBypass), 1.0);
}

namespace
{
// One block through the bundle at sample type T and the same block through the effect driven
// directly (float buffers go through the base's conversion, as the binding's do).
template <class T>
void ExpectSameAsTheEffectDrivenDirectly(Vst3Instance& inst, int32 sampleSize)
{
  constexpr int n = 512;
  ASSERT_EQ(inst.Setup(48000, n, sampleSize), kResultOk);
  const std::pair<int, double> settings[] = {
    {Brelix::kGain, 0.6}, {Brelix::kModel, 0.7}, {Brelix::kHpf, 0.4}, {Brelix::kLpf, 1.0}};
  ParamChanges changes;
  for (auto [idx, value] : settings) changes.Add(static_cast<ParamID>(idx), {value});
  AudioBlock<T> block({2}, {2}, n);
  block.FillInput(0, 0, [](int s) { return Signal(0, s); });
  block.FillInput(0, 1, [](int s) { return Signal(1, s); });
  block.data.inputParameterChanges = &changes;
  ASSERT_EQ(inst.processor->process(block.data), kResultOk);

  Brelix* fx = new Brelix();
  fx->RestorePreset(0);
  fx->SetSampleRate(48000);
  ASSERT_TRUE(fx->SetBlockSize(n));
  fx->Reset();
  for (auto [idx, value] : settings)
  {
    fx->GetParam(idx)->SetNormalized(value);
    fx->OnParamChange(idx);
  }
  AudioBlock<T> reference({2}, {2}, n);
  reference.in = block.in;
  T* in[2] = {reference.in[0][0].data(), reference.in[0][1].data()};
  T* out[2] = {reference.out[0][0].data(), reference.out[0][1].data()};
  fx->SetInputChannelConnections(0, 2, true);
  fx->SetOutputChannelConnections(0, 2, true);
  fx->AttachInputBuffers(0, 2, in, n);
  fx->AttachOutputBuffers(0, 2, out);
  ASSERT_TRUE(fx->ProcessBuffers(T(0), n));
  fx->release();

  EXPECT_EQ(block.out, reference.out);
  EXPECT_NE(block.out[0][0], block.in[0][0]);
}
}  // namespace

TEST_F(BrelixBundleTest, SixtyFourBitProcessingIsBitIdenticalToTheEffectDrivenDirectly)
{
  ExpectSameAsTheEffectDrivenDirectly<double>(*inst, kSample64);
}

TEST_F(BrelixBundleTest, ThirtyTwoBitProcessingMatchesTheEffectDrivenDirectly)
{
  ExpectSameAsTheEffectDrivenDirectly<float>(*inst, kSample32);
}

TEST_F(BrelixBundleTest, ProcessingAllocatesNothing)
{
  if (!alloc_count::Available()) GTEST_SKIP() << "needs a sanitizer build to see allocations";

  constexpr int n = 256;
  ASSERT_EQ(inst->Setup(48000, n, kSample32), kResultOk);
  ASSERT_EQ(inst->component->setActive(true), kResultOk);
  inst->processor->setProcessing(true);
  // Everything the host hands over is built before counting starts.
  ParamChanges automation, bypassOn, presetAndBypassOff;
  automation.Add(Brelix::kGain, {0.2, 0.9});
  automation.Add(Brelix::kModel, {0.5});
  automation.Add(Brelix::kHpf, {1.0});
  automation.Add(Brelix::kLpf, {1.0});
  bypassOn.Add(kBypass, {1.0});
  presetAndBypassOff.Add(kPreset, {0.0});
  presetAndBypassOff.Add(kBypass, {0.0});
  AudioBlock<float> block({2}, {2}, n);
  block.FillInput(0, 0, [](int s) { return Signal(0, s); });
  block.FillInput(0, 1, [](int s) { return Signal(1, s); });
  AudioBlock<float> longBlock({2}, {2}, 3 * n + 17);  // processed in slices of the set-up size

  ASSERT_TRUE(alloc_count::Start());
  for (IParameterChanges* changes :
       std::initializer_list<IParameterChanges*>{&automation, nullptr, &bypassOn, &presetAndBypassOff})
  {
    block.data.inputParameterChanges = changes;
    inst->processor->process(block.data);
  }
  inst->processor->process(longBlock.data);
  EXPECT_EQ(0, alloc_count::Stop());
  inst->processor->setProcessing(false);
  inst->component->setActive(false);
}
