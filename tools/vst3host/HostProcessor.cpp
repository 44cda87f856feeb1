#include "HostProcessor.h"

#include "HostError.h"
#include "pluginterfaces/vst/vstspeaker.h"

#include <algorithm>
#include <cmath>

using namespace Steinberg;
using namespace Steinberg::Vst;

namespace vst3host {

namespace {

SpeakerArrangement ArrangementFor(int channels)
{
  switch (channels)
  {
    case 1: return SpeakerArr::kMono;
    case 2: return SpeakerArr::kStereo;
    case 3: return SpeakerArr::k30Music;
    case 4: return SpeakerArr::k40Music;
    case 5: return SpeakerArr::k50;
    case 6: return SpeakerArr::k51;
    case 7: return SpeakerArr::k61Music;
    case 8: return SpeakerArr::k71CineFullFront;
    default: return 0;
  }
}

std::string ChannelWord(int channels)
{
  return channels == 1 ? "mono" : channels == 2 ? "stereo" : std::to_string(channels) + "-channel";
}

} // namespace

HostProcessor::HostProcessor(PluginInstance& plugin, const ProcessSettings& settings)
: mPlugin(plugin), mSettings(settings)
{
  if (mSettings.channels < 1 || mSettings.channels > 8)
    throw HostError("cannot process " + std::to_string(mSettings.channels) + "-channel audio (1 to 8 channels)");
  if (mSettings.maxBlockSize < 1)
    throw HostError("the block size must be at least 1 frame");

  IAudioProcessor* processor = mPlugin.Processor();
  const int32 sampleSize = mSettings.doublePrecision ? kSample64 : kSample32;
  if (processor->canProcessSampleSize(sampleSize) != kResultOk)
    throw HostError("'" + mPlugin.GetClassDescription().name + "' cannot process " +
                    (mSettings.doublePrecision ? "64" : "32") + "-bit samples");

  ArrangeBuses();

  ProcessSetup setup{};
  setup.processMode = mSettings.offline ? kOffline : kRealtime;
  setup.symbolicSampleSize = sampleSize;
  setup.maxSamplesPerBlock = mSettings.maxBlockSize;
  setup.sampleRate = mSettings.sampleRate;
  if (processor->setupProcessing(setup) != kResultOk)
    throw HostError("'" + mPlugin.GetClassDescription().name + "' refused to process at " +
                    std::to_string(static_cast<long>(mSettings.sampleRate)) + " Hz in blocks of " +
                    std::to_string(mSettings.maxBlockSize));

  Allocate(mInputs, mInputBuffers);
  Allocate(mOutputs, mOutputBuffers);

  mContext.sampleRate = mSettings.sampleRate;
  mContext.tempo = 120.0;
  mContext.timeSigNumerator = 4;
  mContext.timeSigDenominator = 4;
  mContext.state = ProcessContext::kPlaying | ProcessContext::kTempoValid | ProcessContext::kTimeSigValid |
                   ProcessContext::kProjectTimeMusicValid | ProcessContext::kContTimeValid |
                   ProcessContext::kBarPositionValid;
}

HostProcessor::~HostProcessor()
{
  Stop();
}

void HostProcessor::ArrangeBuses()
{
  IComponent* component = mPlugin.Component();
  const int32 numIns = component->getBusCount(kAudio, kInput);
  const int32 numOuts = component->getBusCount(kAudio, kOutput);
  const std::string name = "'" + mPlugin.GetClassDescription().name + "'";
  if (numOuts < 1)
    throw HostError(name + " has no audio output");

  // Main buses get the file's layout; the others keep the arrangement they report.
  const SpeakerArrangement wanted = ArrangementFor(mSettings.channels);
  auto current = [&](BusDirection dir, int32 index) {
    SpeakerArrangement arr = 0;
    if (mPlugin.Processor()->getBusArrangement(dir, index, arr) == kResultOk)
      return arr;
    BusInfo info{};
    if (component->getBusInfo(kAudio, dir, index, info) == kResultOk)
      for (int32 c = 0; c < info.channelCount && c < 64; ++c)
        arr |= SpeakerArrangement(1) << c;
    return arr;
  };
  std::vector<SpeakerArrangement> ins(std::max(numIns, 0)), outs(numOuts);
  for (int32 i = 0; i < numIns; ++i)
    ins[i] = i == 0 ? wanted : current(kInput, i);
  for (int32 i = 0; i < numOuts; ++i)
    outs[i] = i == 0 ? wanted : current(kOutput, i);

  const tresult arranged = mPlugin.Processor()->setBusArrangements(ins.empty() ? nullptr : ins.data(), numIns,
                                                                   outs.data(), numOuts);
  // A plug-in may answer false and still adapt to what was asked: trust what it reports.
  SpeakerArrangement gotIn = wanted, gotOut = wanted;
  bool reported = mPlugin.Processor()->getBusArrangement(kOutput, 0, gotOut) == kResultOk;
  if (numIns > 0)
    reported = mPlugin.Processor()->getBusArrangement(kInput, 0, gotIn) == kResultOk && reported;
  const bool accepted = reported ? SpeakerArr::getChannelCount(gotIn) == mSettings.channels &&
                                       SpeakerArr::getChannelCount(gotOut) == mSettings.channels
                                 : arranged == kResultOk;
  if (!accepted)
    throw HostError(name + " refuses " + ChannelWord(mSettings.channels) + " audio (" +
                    std::to_string(mSettings.channels) + " in, " + std::to_string(mSettings.channels) + " out)");

  mInputs.resize(ins.size());
  mOutputs.resize(outs.size());
  for (size_t i = 0; i < ins.size(); ++i)
  {
    mInputs[i].channels = i == 0 ? mSettings.channels : SpeakerArr::getChannelCount(current(kInput, int32(i)));
    component->activateBus(kAudio, kInput, int32(i), i == 0);
  }
  for (size_t i = 0; i < outs.size(); ++i)
  {
    mOutputs[i].channels = i == 0 ? mSettings.channels : SpeakerArr::getChannelCount(current(kOutput, int32(i)));
    component->activateBus(kAudio, kOutput, int32(i), i == 0);
  }
  if (component->getBusCount(kEvent, kInput) > 0)
  {
    mHasEventInput = true;
    component->activateBus(kEvent, kInput, 0, true);
  }
}

void HostProcessor::Allocate(std::vector<Bus>& buses, std::vector<AudioBusBuffers>& buffers)
{
  buffers.resize(buses.size());
  const size_t n = size_t(mSettings.maxBlockSize);
  for (size_t b = 0; b < buses.size(); ++b)
  {
    Bus& bus = buses[b];
    bus.data32.assign(bus.channels, std::vector<float>(mSettings.doublePrecision ? 0 : n));
    bus.data64.assign(bus.channels, std::vector<double>(mSettings.doublePrecision ? n : 0));
    bus.pointers32.clear();
    bus.pointers64.clear();
    for (int c = 0; c < bus.channels; ++c)
    {
      bus.pointers32.push_back(bus.data32[c].data());
      bus.pointers64.push_back(bus.data64[c].data());
    }
    buffers[b] = AudioBusBuffers();
    buffers[b].numChannels = bus.channels;
    buffers[b].silenceFlags = 0;
    if (mSettings.doublePrecision)
      buffers[b].channelBuffers64 = bus.pointers64.data();
    else
      buffers[b].channelBuffers32 = bus.pointers32.data();
  }
}

void HostProcessor::Start()
{
  if (mActive)
    return;
  if (mPlugin.Component()->setActive(true) == kResultFalse)
    throw HostError("'" + mPlugin.GetClassDescription().name + "' refused to activate");
  mActive = true;
  // Many plug-ins answer "not implemented" here; only the call matters.
  mPlugin.Processor()->setProcessing(true);
  mProcessing = true;
}

void HostProcessor::Stop()
{
  if (mProcessing)
    mPlugin.Processor()->setProcessing(false);
  mProcessing = false;
  if (mActive)
    mPlugin.Component()->setActive(false);
  mActive = false;
}

void HostProcessor::Process(const double* const* in, double* const* out, int frames, ParameterChanges* changes)
{
  if (frames < 0 || frames > mSettings.maxBlockSize)
    throw HostError("internal error: block of " + std::to_string(frames) + " frames exceeds the set-up size");
  const int nc = mSettings.channels;
  const bool wide = mSettings.doublePrecision;

  for (size_t b = 0; b < mInputs.size(); ++b)
    for (int c = 0; c < mInputs[b].channels; ++c)
    {
      const double* src = b == 0 && in && c < nc ? in[c] : nullptr;
      if (wide)
      {
        double* dst = mInputs[b].pointers64[c];
        if (src)
          std::copy(src, src + frames, dst);
        else
          std::fill(dst, dst + frames, 0.0);
      }
      else
      {
        float* dst = mInputs[b].pointers32[c];
        for (int i = 0; i < frames; ++i)
          dst[i] = src ? static_cast<float>(src[i]) : 0.0f;
      }
    }
  for (auto& bus : mOutputs)
    for (int c = 0; c < bus.channels; ++c)
    {
      if (wide)
        std::fill(bus.pointers64[c], bus.pointers64[c] + frames, 0.0);
      else
        std::fill(bus.pointers32[c], bus.pointers32[c] + frames, 0.0f);
    }
  for (auto& buffers : mInputBuffers)
    buffers.silenceFlags = 0;

  mOutputChanges.Clear();
  mInputEvents.Clear();
  mOutputEvents.Clear();

  ProcessData data;
  data.processMode = mSettings.offline ? kOffline : kRealtime;
  data.symbolicSampleSize = wide ? kSample64 : kSample32;
  data.numSamples = frames;
  data.numInputs = static_cast<int32>(mInputBuffers.size());
  data.numOutputs = static_cast<int32>(mOutputBuffers.size());
  data.inputs = mInputBuffers.empty() ? nullptr : mInputBuffers.data();
  data.outputs = mOutputBuffers.data();
  data.inputParameterChanges = changes;
  data.outputParameterChanges = &mOutputChanges;
  data.inputEvents = mHasEventInput ? &mInputEvents : nullptr;
  data.outputEvents = &mOutputEvents;
  data.processContext = &mContext;

  const tresult result = mPlugin.Processor()->process(data);
  if (result != kResultOk)
    throw HostError("'" + mPlugin.GetClassDescription().name + "' failed to process a block (result " +
                    std::to_string(result) + ")");

  for (int c = 0; c < nc; ++c)
  {
    if (wide)
      std::copy(mOutputs[0].pointers64[c], mOutputs[0].pointers64[c] + frames, out[c]);
    else
      for (int i = 0; i < frames; ++i)
        out[c][i] = mOutputs[0].pointers32[c][i];
  }

  mContext.projectTimeSamples += frames;
  mContext.continousTimeSamples += frames;
  mContext.projectTimeMusic = double(mContext.projectTimeSamples) / mSettings.sampleRate * mContext.tempo / 60.0;
  mContext.barPositionMusic = std::floor(mContext.projectTimeMusic / 4.0) * 4.0;
}

uint32 HostProcessor::LatencySamples() const
{
  return mPlugin.Processor()->getLatencySamples();
}

} // namespace vst3host
