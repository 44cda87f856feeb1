// The component and audio-processor faces: buses, arrangements, set-up and processing.
#include <cmath>
#include <limits>

#include "TestPlugs.h"
#include "Vst3Fixture.h"

using namespace vst3test;

namespace
{
constexpr ParamID kBypass = 0x62706173;
constexpr ParamID kPreset = 0x70727374;

double Signal(int channel, int s)
{
  return std::sin(0.05 * (s + 1) * (channel + 1)) * 0.8;
}

template <class T> tresult Process(Vst3Instance& inst, AudioBlock<T>& block, IParameterChanges* changes = nullptr,
                               IEventList* events = nullptr)
{
  block.data.inputParameterChanges = changes;
  block.data.inputEvents = events;
  return inst.processor->process(block.data);
}

// The effect driven directly through the framework core, as the binding drives it for a
// stereo main input, an inactive sidechain and a stereo output.
class DirectFx
{
public:
  explicit DirectFx(int maxBlock) : mFx(new TestFx(IPlugInstanceInfo()))
  {
    mFx->RestorePreset(0);
    mFx->SetSampleRate(48000.0);
    mFx->SetBlockSize(maxBlock);
    mFx->Reset();
    mFx->SetInputChannelConnections(0, 2, true);
    mFx->SetInputChannelConnections(2, 2, false);
    mFx->SetOutputChannelConnections(0, 2, true);
  }
  ~DirectFx() { mFx->release(); }

  void Set(int idx, double normalized)
  {
    mFx->GetParam(idx)->SetNormalized(normalized);
    mFx->OnParamChange(idx);
  }
  void NoteOn(int offset, int pitch, int velocity)
  {
    IMidiMsg msg;
    msg.MakeNoteOnMsg(pitch, velocity, offset);
    mFx->ProcessMidiMsg(&msg);
  }
  template <class T> void Process(AudioBlock<T>& block, int start, int n)
  {
    T* in[2] = {block.in[0][0].data() + start, block.in[0][1].data() + start};
    T* out[2] = {block.out[0][0].data() + start, block.out[0][1].data() + start};
    mFx->AttachInputBuffers(0, 4, in, n);
    mFx->AttachOutputBuffers(0, 2, out);
    mFx->ProcessBuffers(T(0), n);
  }

private:
  TestFx* mFx;
};

class FxTest : public InstanceTest
{
protected:
  void SetUp() override { Open(kFxBundle); }

  template <class T> AudioBlock<T> StereoBlock(int nFrames)
  {
    AudioBlock<T> block({2, 2}, {2}, nFrames);
    block.FillInput(0, 0, [](int s) { return Signal(0, s); });
    block.FillInput(0, 1, [](int s) { return Signal(1, s); });
    return block;
  }

  double Normalized(ParamID tag) { return inst->controller->getParamNormalized(tag); }
};

class SynthTest : public InstanceTest
{
protected:
  void SetUp() override { Open(kSynthBundle); }
};
}  // namespace

TEST_F(FxTest, BusesAfterInitialize)
{
  IComponent* c = inst->component;
  ASSERT_EQ(c->getBusCount(kAudio, kInput), 2);
  ASSERT_EQ(c->getBusCount(kAudio, kOutput), 1);
  ASSERT_EQ(c->getBusCount(kEvent, kInput), 1);
  EXPECT_EQ(c->getBusCount(kEvent, kOutput), 0);

  BusInfo info = {};
  ASSERT_EQ(c->getBusInfo(kAudio, kInput, 0, info), kResultOk);
  EXPECT_EQ(Narrow(info.name), "Main Input");
  EXPECT_EQ(info.channelCount, 2);
  EXPECT_EQ(info.busType, kMain);
  EXPECT_EQ(info.flags, static_cast<uint32>(BusInfo::kDefaultActive));
  ASSERT_EQ(c->getBusInfo(kAudio, kInput, 1, info), kResultOk);
  EXPECT_EQ(Narrow(info.name), "Aux Input");
  EXPECT_EQ(info.busType, kAux);
  EXPECT_EQ(info.flags, 0u);
  EXPECT_EQ(inst->BusName(kAudio, kOutput, 0), "Output");
  ASSERT_EQ(c->getBusInfo(kEvent, kInput, 0, info), kResultOk);
  EXPECT_EQ(Narrow(info.name), "MIDI Input");
  EXPECT_EQ(info.channelCount, 1);

  EXPECT_EQ(c->getBusInfo(kAudio, kInput, 2, info), kInvalidArgument);
  EXPECT_EQ(c->getBusInfo(kAudio, kOutput, -1, info), kInvalidArgument);
  EXPECT_EQ(c->getBusInfo(7, kInput, 0, info), kInvalidArgument);
  EXPECT_EQ(c->activateBus(kAudio, kOutput, 3, true), kInvalidArgument);

  SpeakerArrangement arr = 0;
  EXPECT_EQ(inst->processor->getBusArrangement(kInput, 0, arr), kResultOk);
  EXPECT_EQ(arr, SpeakerArr::kStereo);
  EXPECT_EQ(inst->processor->getBusArrangement(kOutput, 1, arr), kInvalidArgument);
}

TEST_F(FxTest, ParameterListStartsWithPresetAndBypass)
{
  ASSERT_EQ(inst->ParamCount(), 2 + TestFx::kNumParams);
  ParameterInfo preset = inst->ParamInfo(0);
  EXPECT_EQ(preset.id, kPreset);
  EXPECT_EQ(Narrow(preset.title), "Preset");
  EXPECT_EQ(preset.stepCount, TestFx::kNumPresets);
  EXPECT_EQ(preset.flags, ParameterInfo::kIsProgramChange);
  ParameterInfo bypass = inst->ParamInfo(1);
  EXPECT_EQ(bypass.id, kBypass);
  EXPECT_EQ(Narrow(bypass.title), "Bypass");
  EXPECT_EQ(bypass.flags, 0x10009);
  EXPECT_EQ(bypass.stepCount, 1);

  struct Expected
  {
    const char* title;
    const char* units;
    int32 steps;
    int32 unit;
    int32 flags;
  } expected[TestFx::kNumParams] = {
    {"Gain", "x", 0, 1, 1},      {"Drive", "dB", 0, 1, 1}, {"Mode", "", 2, 2, 1},
    {"Sidechain", "", 0, 0, 1},  {"Enable", "", 1, 0, 1},  {"Locked", "", 10, 2, 0},
    {"A parameter name far too long for its field", "u", 0, 0, 1},
  };
  for (int i = 0; i < TestFx::kNumParams; ++i)
  {
    ParameterInfo info = inst->ParamInfo(2 + i);
    SCOPED_TRACE(i);
    EXPECT_EQ(info.id, static_cast<ParamID>(i));
    EXPECT_EQ(Narrow(info.title).substr(0, 31), Narrow(info.title));
    EXPECT_EQ(Narrow(info.title), std::string(expected[i].title).substr(0, 31));
    EXPECT_EQ(Narrow(info.units), expected[i].units);
    EXPECT_EQ(info.stepCount, expected[i].steps);
    EXPECT_EQ(info.unitId, expected[i].unit);
    EXPECT_EQ(info.flags, expected[i].flags);
    EXPECT_GE(info.defaultNormalizedValue, 0.0);
    EXPECT_LE(info.defaultNormalizedValue, 1.0);
  }
  EXPECT_DOUBLE_EQ(inst->ParamInfo(2).defaultNormalizedValue, 0.5);        // Gain 1 of 0-2
  EXPECT_DOUBLE_EQ(inst->ParamInfo(2 + 6).defaultNormalizedValue, 0.4);    // -1 of -5..5
  ParameterInfo info;
  EXPECT_EQ(inst->controller->getParameterInfo(2 + TestFx::kNumParams, info), kResultFalse);
  EXPECT_EQ(inst->controller->getParameterInfo(-1, info), kResultFalse);
}

TEST_F(SynthTest, InstrumentHasStereoOutputPairsAndNoBypassOrPreset)
{
  IComponent* c = inst->component;
  EXPECT_EQ(c->getBusCount(kAudio, kInput), 0);
  ASSERT_EQ(c->getBusCount(kAudio, kOutput), 2);
  EXPECT_EQ(inst->BusName(kAudio, kOutput, 0), "Output 1");
  EXPECT_EQ(inst->BusName(kAudio, kOutput, 1), "Output 2");
  SpeakerArrangement arr = 0;
  inst->processor->getBusArrangement(kOutput, 1, arr);
  EXPECT_EQ(arr, SpeakerArr::kStereo);
  EXPECT_EQ(c->getBusCount(kEvent, kInput), 1);
  ASSERT_EQ(inst->ParamCount(), TestSynth::kNumParams);
  EXPECT_EQ(inst->ParamInfo(0).id, 0u);
  EXPECT_EQ(inst->IndexOfTag(kBypass), -1);
  EXPECT_EQ(inst->IndexOfTag(kPreset), -1);
  EXPECT_EQ(inst->units->getUnitCount(), 1);
}

TEST_F(FxTest, MonoArrangementIsAcceptedAndRenamesTheBuses)
{
  SpeakerArrangement ins[2] = {SpeakerArr::kMono, SpeakerArr::kStereo};
  SpeakerArrangement outs[1] = {SpeakerArr::kMono};
  ASSERT_EQ(inst->processor->setBusArrangements(ins, 2, outs, 1), kResultTrue);
  EXPECT_EQ(inst->BusName(kAudio, kInput, 0), "Input");
  EXPECT_EQ(inst->BusName(kAudio, kInput, 1), "Sidechain Input");
  EXPECT_EQ(inst->BusName(kAudio, kOutput, 0), "Output");
  SpeakerArrangement arr = 0;
  inst->processor->getBusArrangement(kInput, 0, arr);
  EXPECT_EQ(arr, SpeakerArr::kMono);
  inst->processor->getBusArrangement(kOutput, 0, arr);
  EXPECT_EQ(arr, SpeakerArr::kMono);
  BusInfo info = {};
  inst->component->getBusInfo(kAudio, kInput, 1, info);
  EXPECT_EQ(info.busType, kAux);
  EXPECT_EQ(info.channelCount, 2);

  // Mono processing: the mono input goes to the mono output.
  inst->ActivateDefaultBuses();
  ASSERT_EQ(inst->Setup(48000, 64), kResultOk);
  AudioBlock<float> block({1, 2}, {1}, 64);
  block.FillInput(0, 0, [](int s) { return Signal(0, s); });
  ASSERT_EQ(Process(*inst, block), kResultOk);
  for (int s = 0; s < 64; ++s) ASSERT_EQ(block.out[0][0][s], static_cast<float>(Signal(0, s)));

  // Back to stereo: a single sidechain channel is accepted too.
  SpeakerArrangement stereoIns[2] = {SpeakerArr::kStereo, SpeakerArr::kMono};
  SpeakerArrangement stereoOuts[1] = {SpeakerArr::kStereo};
  EXPECT_EQ(inst->processor->setBusArrangements(stereoIns, 2, stereoOuts, 1), kResultTrue);
  inst->processor->getBusArrangement(kInput, 1, arr);
  EXPECT_EQ(arr, SpeakerArr::kMono);
}

TEST_F(FxTest, RefusedArrangementsChangeNothing)
{
  IAudioProcessor* p = inst->processor;
  SpeakerArrangement stereo = SpeakerArr::kStereo, mono = SpeakerArr::kMono, quad = SpeakerArr::k40Music;
  SpeakerArrangement stereoMono[2] = {stereo, mono}, stereoStereo[2] = {stereo, stereo};
  SpeakerArrangement withBigSidechain[2] = {stereo, SpeakerArr::k30Music}, quadMain[2] = {quad, stereo};
  SpeakerArrangement threeIns[3] = {stereo, stereo, stereo}, emptySc[2] = {stereo, SpeakerArr::kEmpty};

  EXPECT_EQ(p->setBusArrangements(stereoStereo, 2, &mono, 1), kResultFalse);     // 2 in, 1 out: not legal
  EXPECT_EQ(p->setBusArrangements(&mono, 1, &mono, 1), kResultFalse);            // the sidechain is missing
  EXPECT_EQ(p->setBusArrangements(stereoMono, 2, nullptr, 0), kResultFalse);     // no output
  EXPECT_EQ(p->setBusArrangements(nullptr, 0, &stereo, 1), kResultFalse);        // no input
  EXPECT_EQ(p->setBusArrangements(withBigSidechain, 2, &stereo, 1), kResultFalse);
  EXPECT_EQ(p->setBusArrangements(emptySc, 2, &stereo, 1), kResultFalse);
  EXPECT_EQ(p->setBusArrangements(quadMain, 2, &stereo, 1), kResultFalse);       // 4 main channels
  EXPECT_EQ(p->setBusArrangements(threeIns, 3, &stereo, 1), kResultFalse);
  EXPECT_NE(p->setBusArrangements(nullptr, 2, &stereo, 1), kResultTrue);
  EXPECT_NE(p->setBusArrangements(stereoMono, -1, &stereo, 1), kResultTrue);

  EXPECT_EQ(inst->BusName(kAudio, kInput, 0), "Main Input");
  EXPECT_EQ(inst->BusName(kAudio, kInput, 1), "Aux Input");
  SpeakerArrangement arr = 0;
  p->getBusArrangement(kInput, 0, arr);
  EXPECT_EQ(arr, SpeakerArr::kStereo);
  p->getBusArrangement(kOutput, 0, arr);
  EXPECT_EQ(arr, SpeakerArr::kStereo);
}

TEST_F(SynthTest, OnlyItsOwnArrangementIsAccepted)
{
  SpeakerArrangement outs[2] = {SpeakerArr::kStereo, SpeakerArr::kStereo};
  EXPECT_EQ(inst->processor->setBusArrangements(nullptr, 0, outs, 2), kResultTrue);
  SpeakerArrangement monoOuts[2] = {SpeakerArr::kMono, SpeakerArr::kMono};
  EXPECT_EQ(inst->processor->setBusArrangements(nullptr, 0, monoOuts, 2), kResultFalse);
  EXPECT_EQ(inst->processor->setBusArrangements(nullptr, 0, outs, 1), kResultFalse);
  SpeakerArrangement in = SpeakerArr::kStereo;
  EXPECT_EQ(inst->processor->setBusArrangements(&in, 1, outs, 2), kResultFalse);
}

TEST_F(FxTest, SetupProcessingRefusesWhatItCannotHonour)
{
  EXPECT_EQ(inst->Setup(48000, 512, 2), kResultFalse);
  EXPECT_EQ(inst->Setup(48000, 512, -1), kResultFalse);
  EXPECT_EQ(inst->Setup(std::numeric_limits<double>::quiet_NaN(), 512), kResultFalse);
  EXPECT_EQ(inst->Setup(std::numeric_limits<double>::infinity(), 512), kResultFalse);
  EXPECT_EQ(inst->Setup(0.0, 512), kResultFalse);
  EXPECT_EQ(inst->Setup(-44100.0, 512), kResultFalse);
  EXPECT_EQ(inst->Setup(48000, 0), kResultFalse);
  EXPECT_EQ(inst->Setup(48000, (1 << 20) + 1), kResultFalse);
  EXPECT_EQ(inst->Setup(48000, 1 << 20, kSample64, kOffline), kResultOk);
  EXPECT_EQ(inst->Setup(96000, 1), kResultOk);  // again, while inactive

  EXPECT_EQ(inst->processor->canProcessSampleSize(kSample32), kResultTrue);
  EXPECT_EQ(inst->processor->canProcessSampleSize(kSample64), kResultTrue);
  EXPECT_EQ(inst->processor->canProcessSampleSize(2), kResultFalse);
}

TEST_F(FxTest, ProcessBeforeSetupWritesSilenceAndChangesNothing)
{
  AudioBlock<float> block = StereoBlock<float>(32);
  block.PoisonOutputs(7.0f);
  ParamChanges changes;
  changes.Add(TestFx::kGain, {0.1});
  changes.Add(kBypass, {1.0});
  ASSERT_EQ(Process(*inst, block, &changes), kResultOk);
  for (auto& ch : block.out[0])
    for (float v : ch) ASSERT_EQ(v, 0.0f);
  EXPECT_DOUBLE_EQ(Normalized(TestFx::kGain), 0.5);
  EXPECT_EQ(Normalized(kBypass), 0.0);
}

TEST_F(FxTest, Float32And64ProcessingMatchTheEffectDrivenDirectly)
{
  constexpr int n = 256;
  for (int32 size : {kSample32, kSample64})
  {
    SCOPED_TRACE(size);
    ASSERT_EQ(inst->Setup(48000, n, size), kResultOk);
    ParamChanges changes;
    changes.Add(TestFx::kGain, {0.3});
    changes.Add(TestFx::kDrive, {0.7});
    changes.Add(TestFx::kMode, {0.5});
    DirectFx direct(n);
    direct.Set(TestFx::kGain, 0.3);
    direct.Set(TestFx::kDrive, 0.7);
    direct.Set(TestFx::kMode, 0.5);

    if (size == kSample32)
    {
      AudioBlock<float> viaHost = StereoBlock<float>(n), reference = StereoBlock<float>(n);
      ASSERT_EQ(Process(*inst, viaHost, &changes), kResultOk);
      direct.Process(reference, 0, n);
      EXPECT_EQ(viaHost.out, reference.out);
    }
    else
    {
      AudioBlock<double> viaHost = StereoBlock<double>(n), reference = StereoBlock<double>(n);
      ASSERT_EQ(Process(*inst, viaHost, &changes), kResultOk);
      direct.Process(reference, 0, n);
      EXPECT_EQ(viaHost.out, reference.out);  // bit-identical
      EXPECT_NE(viaHost.out[0][0], viaHost.in[0][0]);
    }
  }
}

TEST_F(FxTest, OnlyTheLastPointOfAQueueAppliesForTheWholeBlock)
{
  ASSERT_EQ(inst->Setup(48000, 64), kResultOk);
  ParamChanges changes;
  changes.Add(TestFx::kGain, {0.1, 0.5, 0.9});
  changes.AddEmpty(TestFx::kDrive);
  changes.Add(9999, {0.3});  // no such parameter
  AudioBlock<double> block = StereoBlock<double>(64);
  block.data.symbolicSampleSize = kSample64;
  ASSERT_EQ(Process(*inst, block, &changes), kResultOk);
  EXPECT_DOUBLE_EQ(Normalized(TestFx::kGain), 0.9);
  EXPECT_DOUBLE_EQ(Normalized(TestFx::kDrive), 0.0);
  for (int s = 0; s < 64; ++s) ASSERT_EQ(block.out[0][0][s], Signal(0, s) * 1.8);
}

TEST_F(FxTest, BypassFollowsTheBypassParameterAndSurvivesSetup)
{
  ASSERT_EQ(inst->Setup(48000, 64), kResultOk);
  ParamChanges changes;
  changes.Add(TestFx::kGain, {1.0});
  changes.Add(kBypass, {0.5});
  AudioBlock<float> block = StereoBlock<float>(64);
  ASSERT_EQ(Process(*inst, block, &changes), kResultOk);
  EXPECT_EQ(Normalized(kBypass), 0.0);
  EXPECT_FLOAT_EQ(block.out[0][0][10], static_cast<float>(Signal(0, 10) * 2.0));

  changes.Clear();
  changes.Add(kBypass, {0.51});
  ASSERT_EQ(Process(*inst, block, &changes), kResultOk);
  EXPECT_EQ(Normalized(kBypass), 1.0);
  // Bypassed: the input passes through, delayed by the plug-in's latency.
  for (int s = 0; s < TestFx::kLatency; ++s) EXPECT_EQ(block.out[0][0][s], 0.0f);
  for (int s = TestFx::kLatency; s < 64; ++s) ASSERT_EQ(block.out[0][1][s], block.in[0][1][s - TestFx::kLatency]);

  // A host reload sets up processing again: the bypass stays.
  ASSERT_EQ(inst->Setup(44100, 128), kResultOk);
  EXPECT_EQ(Normalized(kBypass), 1.0);
  changes.Clear();
  changes.Add(kBypass, {std::numeric_limits<double>::quiet_NaN()});
  ASSERT_EQ(Process(*inst, block, &changes), kResultOk);
  EXPECT_EQ(Normalized(kBypass), 1.0);
}

TEST_F(FxTest, PresetParameterSelectsFactoryPresets)
{
  ASSERT_EQ(inst->Setup(48000, 64), kResultOk);
  AudioBlock<float> block = StereoBlock<float>(64);
  auto select = [&](double value) {
    ParamChanges changes;
    changes.Add(kPreset, {value});
    return Process(*inst, block, &changes);
  };
  ASSERT_EQ(select(0.25), kResultOk);  // preset 1, "Loud": gain 2, mode 2
  EXPECT_DOUBLE_EQ(Normalized(TestFx::kGain), 1.0);
  EXPECT_DOUBLE_EQ(Normalized(TestFx::kMode), 1.0);
  EXPECT_FLOAT_EQ(block.out[0][0][5], static_cast<float>(Signal(0, 5) * 6.0));

  // None of these selects anything: one past the last, the empty slot, outside [0, 1], NaN.
  for (double v : {1.0, 0.75, -0.1, 1.5, std::numeric_limits<double>::quiet_NaN()})
  {
    select(v);
    EXPECT_DOUBLE_EQ(Normalized(TestFx::kGain), 1.0) << v;
  }
  String128 name = {};
  ASSERT_EQ(inst->units->getProgramName(kPreset, 3, name), kResultOk);
  EXPECT_EQ(Narrow(name), "empty");

  ASSERT_EQ(select(0.0), kResultOk);  // "Unity"
  EXPECT_DOUBLE_EQ(Normalized(TestFx::kGain), 0.5);
}

TEST_F(FxTest, ZeroFrameAndParameterOnlyCallsApplyChanges)
{
  ASSERT_EQ(inst->Setup(48000, 64), kResultOk);
  ParamChanges changes;
  changes.Add(TestFx::kGain, {0.2});
  AudioBlock<float> block = StereoBlock<float>(64);
  block.data.numSamples = 0;
  ASSERT_EQ(Process(*inst, block, &changes), kResultOk);
  EXPECT_DOUBLE_EQ(Normalized(TestFx::kGain), 0.2);

  ProcessData flush;
  flush.symbolicSampleSize = kSample32;
  changes.Clear();
  changes.Add(TestFx::kGain, {0.4});
  changes.Add(kBypass, {1.0});
  flush.inputParameterChanges = &changes;
  ASSERT_EQ(inst->processor->process(flush), kResultOk);
  EXPECT_DOUBLE_EQ(Normalized(TestFx::kGain), 0.4);
  EXPECT_EQ(Normalized(kBypass), 1.0);

  // Frames but no buses at all, and a negative frame count: nothing to write, nothing breaks.
  flush.numSamples = 64;
  EXPECT_EQ(inst->processor->process(flush), kResultOk);
  flush.numSamples = -5;
  EXPECT_EQ(inst->processor->process(flush), kResultOk);
}

TEST_F(FxTest, HostBlocksLongerThanTheSetUpAreProcessedInSlices)
{
  constexpr int maxBlock = 64, n = 200;
  ASSERT_EQ(inst->Setup(48000, maxBlock), kResultOk);
  EventList events;
  events.NoteOn(150, 60, 1.0f);
  AudioBlock<float> viaHost = StereoBlock<float>(n), reference = StereoBlock<float>(n);
  ASSERT_EQ(Process(*inst, viaHost, nullptr, &events), kResultOk);

  DirectFx direct(maxBlock);
  for (int start = 0; start < n; start += maxBlock)
  {
    if (start <= 150 && 150 < start + maxBlock) direct.NoteOn(150 - start, 60, 127);
    direct.Process(reference, start, std::min(maxBlock, n - start));
  }
  EXPECT_EQ(viaHost.out, reference.out);
  EXPECT_FLOAT_EQ(viaHost.out[0][0][150] - viaHost.in[0][0][150], 1.0f);
  EXPECT_FLOAT_EQ(viaHost.out[0][0][149], viaHost.in[0][0][149]);
}

TEST_F(FxTest, SampleFormatComesFromTheCallNotTheSetup)
{
  ASSERT_EQ(inst->Setup(48000, 64, kSample64), kResultOk);
  AudioBlock<float> block = StereoBlock<float>(64);
  ASSERT_EQ(Process(*inst, block), kResultOk);
  for (int s = 0; s < 64; ++s) ASSERT_EQ(block.out[0][1][s], block.in[0][1][s]);

  ASSERT_EQ(inst->Setup(48000, 64, kSample32), kResultOk);
  AudioBlock<double> wide = StereoBlock<double>(64);
  ASSERT_EQ(Process(*inst, wide), kResultOk);
  EXPECT_EQ(wide.out[0], wide.in[0]);

  // An unknown sample size processes no audio.
  block.PoisonOutputs(3.0f);
  block.data.symbolicSampleSize = 7;
  ASSERT_EQ(Process(*inst, block), kResultOk);
  EXPECT_EQ(block.out[0][0][0], 3.0f);
}

TEST_F(FxTest, HostDataThatDisagreesWithTheBusesIsSurvived)
{
  ASSERT_EQ(inst->Setup(48000, 64), kResultOk);

  // One channel buffer on stereo buses: the missing input reads silence, the output is not written.
  AudioBlock<float> narrow({1, 2}, {1}, 64);
  narrow.FillInput(0, 0, [](int s) { return Signal(0, s); });
  ASSERT_EQ(Process(*inst, narrow), kResultOk);
  EXPECT_EQ(narrow.out[0][0], narrow.in[0][0]);

  // Null channel pointers: input 1 reads silence, output 0 is not written.
  AudioBlock<float> holes = StereoBlock<float>(64);
  holes.inPtrs[0][1] = nullptr;
  holes.outPtrs[0][0] = nullptr;
  ASSERT_EQ(Process(*inst, holes), kResultOk);
  for (float v : holes.out[0][1]) ASSERT_EQ(v, 0.0f);

  // A bus without a channel array, and more buses than the plug-in has.
  AudioBlock<float> extra({2, 2, 2}, {2, 2, 1}, 64);
  extra.FillInput(0, 0, [](int s) { return Signal(0, s); });
  extra.inBuses[0].channelBuffers32 = nullptr;
  extra.PoisonOutputs(5.0f);
  ASSERT_EQ(Process(*inst, extra), kResultOk);
  for (auto& bus : extra.out)
    for (auto& ch : bus)
      for (float v : ch) ASSERT_EQ(v, 0.0f);

  // Channel counts that make no sense.
  AudioBlock<float> odd = StereoBlock<float>(64);
  odd.inBuses[0].numChannels = -3;
  odd.outBuses[0].numChannels = 0;
  EXPECT_EQ(Process(*inst, odd), kResultOk);
  odd.data.numOutputs = 1;
  odd.data.outputs = nullptr;
  EXPECT_EQ(Process(*inst, odd), kResultOk);
}

TEST_F(FxTest, InactiveOutputBusIsSilenced)
{
  ASSERT_EQ(inst->Setup(48000, 64), kResultOk);
  ASSERT_EQ(inst->component->activateBus(kAudio, kOutput, 0, false), kResultTrue);
  AudioBlock<float> block = StereoBlock<float>(64);
  block.PoisonOutputs(9.0f);
  ASSERT_EQ(Process(*inst, block), kResultOk);
  for (auto& ch : block.out[0])
    for (float v : ch) ASSERT_EQ(v, 0.0f);
}

TEST_F(FxTest, SidechainIsReadOnlyWhileItsBusIsActive)
{
  ASSERT_EQ(inst->Setup(48000, 64), kResultOk);
  AudioBlock<double> block({2, 2}, {2}, 64);
  block.data.symbolicSampleSize = kSample64;
  block.FillInput(1, 0, [](int) { return 0.25; });
  block.FillInput(1, 1, [](int) { return 0.25; });
  ASSERT_EQ(Process(*inst, block), kResultOk);
  EXPECT_EQ(block.out[0][0][3], 0.0);  // the aux bus is not active by default

  ASSERT_EQ(inst->component->activateBus(kAudio, kInput, 1, true), kResultTrue);
  ASSERT_EQ(Process(*inst, block), kResultOk);
  EXPECT_DOUBLE_EQ(block.out[0][0][3], 0.25);  // Sidechain 0.5 * (0.25 + 0.25)

  ASSERT_EQ(inst->component->activateBus(kAudio, kInput, 1, false), kResultTrue);
  ASSERT_EQ(Process(*inst, block), kResultOk);
  EXPECT_EQ(block.out[0][1][3], 0.0);
}

TEST_F(FxTest, NoteEventsArriveAtTheirOffsets)
{
  ASSERT_EQ(inst->Setup(48000, 64), kResultOk);
  AudioBlock<float> block({2, 2}, {2}, 64);
  EventList events;
  events.NoteOn(10, 60, 0.5f);
  events.NoteOff(20, 60);
  Event other = {};
  other.type = Event::kPolyPressureEvent;
  events.Add(other);
  ASSERT_EQ(Process(*inst, block, nullptr, &events), kResultOk);
  const float level = static_cast<float>(63 / 127.0);
  for (int s = 0; s < 64; ++s) ASSERT_EQ(block.out[0][0][s], s >= 10 && s < 20 ? level : 0.0f) << s;

  // Velocities outside [0, 1] and offsets outside the block are clamped.
  events.Clear();
  events.NoteOn(-4, 61, 7.0f);
  events.NoteOff(1000, 61);
  ASSERT_EQ(Process(*inst, block, nullptr, &events), kResultOk);
  EXPECT_EQ(block.out[0][0][0], 1.0f);
  EXPECT_EQ(block.out[0][0][62], 1.0f);
  EXPECT_EQ(block.out[0][0][63], 0.0f);
}

TEST_F(SynthTest, NotesReachBothOutputBuses)
{
  ASSERT_EQ(inst->Setup(48000, 32), kResultOk);
  AudioBlock<float> block({}, {2, 2}, 32);
  EventList events;
  events.NoteOn(4, 64, 1.0f);
  ASSERT_EQ(Process(*inst, block, nullptr, &events), kResultOk);
  EXPECT_EQ(block.out[0][0][3], 0.0f);
  EXPECT_FLOAT_EQ(block.out[0][1][4], 0.5f);
  EXPECT_FLOAT_EQ(block.out[1][0][31], 0.125f);
  EXPECT_EQ(inst->processor->getLatencySamples(), 0u);
}

TEST_F(FxTest, LatencyTailAndContextRequirements)
{
  EXPECT_EQ(inst->processor->getLatencySamples(), static_cast<uint32>(TestFx::kLatency));
  EXPECT_EQ(inst->processor->getTailSamples(), 0u);
  ASSERT_TRUE(inst->contextRequirements);
  uint32 needs = inst->contextRequirements->getProcessContextRequirements();
  using R = IProcessContextRequirements;
  EXPECT_TRUE(needs & R::kNeedTempo);
  EXPECT_TRUE(needs & R::kNeedTimeSignature);
  EXPECT_TRUE(needs & R::kNeedTransportState);
  EXPECT_FALSE(needs & R::kNeedSystemTime);
}

TEST_F(FxTest, OptionalCallsAnswerWithTheSdkCodes)
{
  EXPECT_EQ(inst->processor->setProcessing(true), kNotImplemented);
  EXPECT_EQ(inst->component->setIoMode(kSimple), kNotImplemented);
  RoutingInfo in = {}, out = {};
  EXPECT_EQ(inst->component->getRoutingInfo(in, out), kNotImplemented);
  EXPECT_EQ(inst->component->setActive(true), kResultOk);
  ASSERT_EQ(inst->Setup(48000, 64), kResultOk);
  ProcessContext context = {};
  context.tempo = 120.0;
  context.state = ProcessContext::kPlaying | ProcessContext::kTempoValid;
  AudioBlock<float> block = StereoBlock<float>(64);
  block.data.processContext = &context;
  EXPECT_EQ(Process(*inst, block), kResultOk);
  EXPECT_EQ(inst->component->setActive(false), kResultOk);
}
