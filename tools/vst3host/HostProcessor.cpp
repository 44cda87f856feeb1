#include "HostProcessor.h"

#include "HostError.h"
#include "pluginterfaces/vst/vstspeaker.h"

#include <algorithm>
#include <cmath>

using namespace Steinberg;
using namespace Steinberg::Vst;

namespace vst3host {

namespace {

SpeakerArrangement arrangementFor(int channels)
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

std::string channelWord(int channels)
{
  return channels == 1 ? "mono" : channels == 2 ? "stereo" : std::to_string(channels) + "-channel";
}

} // namespace

HostProcessor::HostProcessor(PluginInstance& plugin, const ProcessSettings& settings)
: plugin_(plugin), settings_(settings)
{
  if (settings_.channels < 1 || settings_.channels > 8)
    throw HostError("cannot process " + std::to_string(settings_.channels) + "-channel audio (1 to 8 channels)");
  if (settings_.maxBlockSize < 1)
    throw HostError("the block size must be at least 1 frame");

  IAudioProcessor* processor = plugin_.processor();
  const int32 sampleSize = settings_.doublePrecision ? kSample64 : kSample32;
  if (processor->canProcessSampleSize(sampleSize) != kResultOk)
    throw HostError("'" + plugin_.classDescription().name + "' cannot process " +
                    (settings_.doublePrecision ? "64" : "32") + "-bit samples");

  arrangeBuses();

  ProcessSetup setup{};
  setup.processMode = settings_.offline ? kOffline : kRealtime;
  setup.symbolicSampleSize = sampleSize;
  setup.maxSamplesPerBlock = settings_.maxBlockSize;
  setup.sampleRate = settings_.sampleRate;
  if (processor->setupProcessing(setup) != kResultOk)
    throw HostError("'" + plugin_.classDescription().name + "' refused to process at " +
                    std::to_string(static_cast<long>(settings_.sampleRate)) + " Hz in blocks of " +
                    std::to_string(settings_.maxBlockSize));

  allocate(inputs_, inputBuffers_);
  allocate(outputs_, outputBuffers_);

  context_.sampleRate = settings_.sampleRate;
  context_.tempo = 120.0;
  context_.timeSigNumerator = 4;
  context_.timeSigDenominator = 4;
  context_.state = ProcessContext::kPlaying | ProcessContext::kTempoValid | ProcessContext::kTimeSigValid |
                   ProcessContext::kProjectTimeMusicValid | ProcessContext::kContTimeValid |
                   ProcessContext::kBarPositionValid;
}

HostProcessor::~HostProcessor()
{
  stop();
}

void HostProcessor::arrangeBuses()
{
  IComponent* component = plugin_.component();
  const int32 numIns = component->getBusCount(kAudio, kInput);
  const int32 numOuts = component->getBusCount(kAudio, kOutput);
  const std::string name = "'" + plugin_.classDescription().name + "'";
  if (numOuts < 1)
    throw HostError(name + " has no audio output");

  // Main buses get the file's layout; the others keep the arrangement they report.
  const SpeakerArrangement wanted = arrangementFor(settings_.channels);
  auto current = [&](BusDirection dir, int32 index) {
    SpeakerArrangement arr = 0;
    if (plugin_.processor()->getBusArrangement(dir, index, arr) == kResultOk)
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

  const tresult arranged = plugin_.processor()->setBusArrangements(ins.empty() ? nullptr : ins.data(), numIns,
                                                                   outs.data(), numOuts);
  // A plug-in may answer false and still adapt to what was asked: trust what it reports.
  SpeakerArrangement gotIn = wanted, gotOut = wanted;
  bool reported = plugin_.processor()->getBusArrangement(kOutput, 0, gotOut) == kResultOk;
  if (numIns > 0)
    reported = plugin_.processor()->getBusArrangement(kInput, 0, gotIn) == kResultOk && reported;
  const bool accepted = reported ? SpeakerArr::getChannelCount(gotIn) == settings_.channels &&
                                       SpeakerArr::getChannelCount(gotOut) == settings_.channels
                                 : arranged == kResultOk;
  if (!accepted)
    throw HostError(name + " refuses " + channelWord(settings_.channels) + " audio (" +
                    std::to_string(settings_.channels) + " in, " + std::to_string(settings_.channels) + " out)");

  inputs_.resize(ins.size());
  outputs_.resize(outs.size());
  for (size_t i = 0; i < ins.size(); ++i)
  {
    inputs_[i].channels = i == 0 ? settings_.channels : SpeakerArr::getChannelCount(current(kInput, int32(i)));
    component->activateBus(kAudio, kInput, int32(i), i == 0);
  }
  for (size_t i = 0; i < outs.size(); ++i)
  {
    outputs_[i].channels = i == 0 ? settings_.channels : SpeakerArr::getChannelCount(current(kOutput, int32(i)));
    component->activateBus(kAudio, kOutput, int32(i), i == 0);
  }
  if (component->getBusCount(kEvent, kInput) > 0)
  {
    hasEventInput_ = true;
    component->activateBus(kEvent, kInput, 0, true);
  }
}

void HostProcessor::allocate(std::vector<Bus>& buses, std::vector<AudioBusBuffers>& buffers)
{
  buffers.resize(buses.size());
  const size_t n = size_t(settings_.maxBlockSize);
  for (size_t b = 0; b < buses.size(); ++b)
  {
    Bus& bus = buses[b];
    bus.data32.assign(bus.channels, std::vector<float>(settings_.doublePrecision ? 0 : n));
    bus.data64.assign(bus.channels, std::vector<double>(settings_.doublePrecision ? n : 0));
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
    if (settings_.doublePrecision)
      buffers[b].channelBuffers64 = bus.pointers64.data();
    else
      buffers[b].channelBuffers32 = bus.pointers32.data();
  }
}

void HostProcessor::start()
{
  if (active_)
    return;
  if (plugin_.component()->setActive(true) == kResultFalse)
    throw HostError("'" + plugin_.classDescription().name + "' refused to activate");
  active_ = true;
  // Many plug-ins answer "not implemented" here; only the call matters.
  plugin_.processor()->setProcessing(true);
  processing_ = true;
}

void HostProcessor::stop()
{
  if (processing_)
    plugin_.processor()->setProcessing(false);
  processing_ = false;
  if (active_)
    plugin_.component()->setActive(false);
  active_ = false;
}

void HostProcessor::process(const double* const* in, double* const* out, int frames, ParameterChanges* changes)
{
  if (frames < 0 || frames > settings_.maxBlockSize)
    throw HostError("internal error: block of " + std::to_string(frames) + " frames exceeds the set-up size");
  const int nc = settings_.channels;
  const bool wide = settings_.doublePrecision;

  for (size_t b = 0; b < inputs_.size(); ++b)
    for (int c = 0; c < inputs_[b].channels; ++c)
    {
      const double* src = b == 0 && in && c < nc ? in[c] : nullptr;
      if (wide)
      {
        double* dst = inputs_[b].pointers64[c];
        if (src)
          std::copy(src, src + frames, dst);
        else
          std::fill(dst, dst + frames, 0.0);
      }
      else
      {
        float* dst = inputs_[b].pointers32[c];
        for (int i = 0; i < frames; ++i)
          dst[i] = src ? static_cast<float>(src[i]) : 0.0f;
      }
    }
  for (auto& bus : outputs_)
    for (int c = 0; c < bus.channels; ++c)
    {
      if (wide)
        std::fill(bus.pointers64[c], bus.pointers64[c] + frames, 0.0);
      else
        std::fill(bus.pointers32[c], bus.pointers32[c] + frames, 0.0f);
    }
  for (auto& buffers : inputBuffers_)
    buffers.silenceFlags = 0;

  outputChanges_.clear();
  inputEvents_.clear();
  outputEvents_.clear();

  ProcessData data;
  data.processMode = settings_.offline ? kOffline : kRealtime;
  data.symbolicSampleSize = wide ? kSample64 : kSample32;
  data.numSamples = frames;
  data.numInputs = static_cast<int32>(inputBuffers_.size());
  data.numOutputs = static_cast<int32>(outputBuffers_.size());
  data.inputs = inputBuffers_.empty() ? nullptr : inputBuffers_.data();
  data.outputs = outputBuffers_.data();
  data.inputParameterChanges = changes;
  data.outputParameterChanges = &outputChanges_;
  data.inputEvents = hasEventInput_ ? &inputEvents_ : nullptr;
  data.outputEvents = &outputEvents_;
  data.processContext = &context_;

  const tresult result = plugin_.processor()->process(data);
  if (result != kResultOk)
    throw HostError("'" + plugin_.classDescription().name + "' failed to process a block (result " +
                    std::to_string(result) + ")");

  for (int c = 0; c < nc; ++c)
  {
    if (wide)
      std::copy(outputs_[0].pointers64[c], outputs_[0].pointers64[c] + frames, out[c]);
    else
      for (int i = 0; i < frames; ++i)
        out[c][i] = outputs_[0].pointers32[c][i];
  }

  context_.projectTimeSamples += frames;
  context_.continousTimeSamples += frames;
  context_.projectTimeMusic = double(context_.projectTimeSamples) / settings_.sampleRate * context_.tempo / 60.0;
  context_.barPositionMusic = std::floor(context_.projectTimeMusic / 4.0) * 4.0;
}

uint32 HostProcessor::latencySamples() const
{
  return plugin_.processor()->getLatencySamples();
}

} // namespace vst3host
