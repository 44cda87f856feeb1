// The per-block process call: transport, parameter queues, MIDI events and audio. Runs on the
// host's audio thread with the plug-in mutex held; allocates nothing.
#include <algorithm>
#include <cmath>
#include <cstring>

#include "IMidiMsg.h"
#include "IPlugVST3.h"
#include "IPreset.h"
#include "pluginterfaces/vst/ivstevents.h"
#include "pluginterfaces/vst/ivstparameterchanges.h"

using namespace Steinberg;
using namespace Steinberg::Vst;

template <class T> static T** ChannelBuffers(const AudioBusBuffers& bus);
template <> float** ChannelBuffers<float>(const AudioBusBuffers& bus) { return bus.channelBuffers32; }
template <> double** ChannelBuffers<double>(const AudioBusBuffers& bus) { return bus.channelBuffers64; }

static int NumBuses(int32 count, const AudioBusBuffers* buses)
{
  return buses && count > 0 ? count : 0;
}

static int NumChannels(const AudioBusBuffers& bus)
{
  return bus.numChannels > 0 ? bus.numChannels : 0;
}

tresult PLUGIN_API IPlugVST3::process(ProcessData& data)
{
  WDL_MutexLock lock(&mMutex);
  int nFrames = data.numSamples > 0 ? data.numSamples : 0;
  bool is32 = data.symbolicSampleSize == kSample32, is64 = data.symbolicSampleSize == kSample64;

  if (!mIsSetUp)
  {
    if (is32) SilenceOutputs<float>(data, nFrames);
    if (is64) SilenceOutputs<double>(data, nFrames);
    return kResultOk;
  }

  if (data.processContext) mProcessContext = *data.processContext;
  ApplyParameterChanges(data.inputParameterChanges);

  if (nFrames > 0 && is32)
    ProcessAudio(data, mPtrs32);
  else if (nFrames > 0 && is64)
    ProcessAudio(data, mPtrs64);
  else
    SendMidiEvents(data.inputEvents, 0, nFrames, true);
  return kResultOk;
}

void IPlugVST3::ApplyParameterChanges(IParameterChanges* changes)
{
  if (!changes) return;
  int32 nQueues = changes->getParameterCount();
  for (int32 i = 0; i < nQueues; ++i)
  {
    IParamValueQueue* queue = changes->getParameterData(i);
    if (!queue) continue;
    int32 nPoints = queue->getPointCount();
    int32 offset = 0;
    ParamValue value = 0.0;
    // Only the last value of a queue counts, for the whole block.
    if (nPoints < 1 || queue->getPoint(nPoints - 1, offset, value) != kResultOk || std::isnan(value)) continue;

    ParamID tag = queue->getParameterId();
    if (tag == kBypassParamTag)
      mIsBypassed = value > 0.5;
    else if (tag == kPresetParamTag)
    {
      if (value < 0.0 || value > 1.0) continue;
      int idx = static_cast<int>(value * NPresets());
      // An empty slot would be filled with the current state, which allocates: not here.
      IPreset* preset = GetPreset(idx);
      if (preset && preset->mInitialized) RestorePreset(idx);
    }
    else if (tag < static_cast<ParamID>(NParams()))
    {
      int idx = static_cast<int>(tag);
      GetParam(idx)->SetNormalized(value);
      if (IPlugEditor* gui = GetGUI()) gui->SetParameterFromPlug(idx, std::clamp(value, 0.0, 1.0), true);
      OnParamChange(idx);
    }
  }
}

// Passes on the note events that fall into the slice [start, start + len), with offsets
// relative to the slice. Offsets before the block go to the first slice, offsets beyond it to
// the last one, clamped into the slice.
void IPlugVST3::SendMidiEvents(IEventList* events, int start, int len, bool lastSlice)
{
  if (!events || !DoesMIDI()) return;
  int32 n = events->getEventCount();
  for (int32 i = 0; i < n; ++i)
  {
    Event e = {};
    if (events->getEvent(i, e) != kResultOk) continue;
    int offset = e.sampleOffset;
    bool inSlice = (offset >= start && offset < start + len) || (offset < start && start == 0) ||
                   (offset >= start + len && lastSlice);
    if (!inSlice) continue;
    offset = std::clamp(offset - start, 0, len > 0 ? len - 1 : 0);

    IMidiMsg msg;
    if (e.type == Event::kNoteOnEvent)
    {
      float velocity = e.noteOn.velocity > 0.0f ? std::min(e.noteOn.velocity, 1.0f) : 0.0f;
      msg.MakeNoteOnMsg(e.noteOn.pitch, static_cast<int>(velocity * 127.0f), offset, e.noteOn.channel);
    }
    else if (e.type == Event::kNoteOffEvent)
      msg.MakeNoteOffMsg(e.noteOff.pitch, offset, e.noteOff.channel);
    else
      continue;
    ProcessMidiMsg(&msg);
  }
}

template <class T> void IPlugVST3::MapInputs(ProcessData& data, ChannelPtrs<T>& ptrs)
{
  std::fill(ptrs.mIn.begin(), ptrs.mIn.end(), nullptr);
  int nIn = NInChannels();
  int nBuses = NumBuses(data.numInputs, data.inputs);
  if (nIn == 0) return;
  if (nBuses == 0)
  {
    // No input buses from the host: the inputs read silence.
    SetInputChannelConnections(0, nIn, false);
    return;
  }

  int nMain = nIn - mScChans;
  int k = std::min(NumChannels(data.inputs[0]), nMain);
  T** main = ChannelBuffers<T>(data.inputs[0]);
  SetInputChannelConnections(0, k, true);
  SetInputChannelConnections(k, nMain - k, false);
  for (int c = 0; c < k; ++c) ptrs.mIn[static_cast<size_t>(c)] = main ? main[c] : nullptr;

  if (mScChans == 0) return;
  AudioBus* scBus = getAudioInput(1);
  bool scActive = scBus && scBus->isActive();
  if (!scActive && mSidechainActive) ZeroScratchBuffers();
  mSidechainActive = scActive;
  SetInputChannelConnections(nMain, mScChans, scActive);
  if (!scActive || nBuses < 2) return;
  int ks = std::min(NumChannels(data.inputs[1]), mScChans);
  T** sc = ChannelBuffers<T>(data.inputs[1]);
  for (int j = 0; j < ks; ++j) ptrs.mIn[static_cast<size_t>(nMain + j)] = sc ? sc[j] : nullptr;
}

template <class T> void IPlugVST3::MapOutputs(ProcessData& data, ChannelPtrs<T>& ptrs)
{
  std::fill(ptrs.mOut.begin(), ptrs.mOut.end(), nullptr);
  int nOut = NOutChannels();
  SetOutputChannelConnections(0, nOut, false);
  int nBuses = NumBuses(data.numOutputs, data.outputs);
  for (int b = 0, o = 0; b < nBuses && o < nOut; ++b)
  {
    int c = NumChannels(data.outputs[b]);
    AudioBus* bus = getAudioOutput(b);
    if (bus && bus->isActive())
    {
      T** bufs = ChannelBuffers<T>(data.outputs[b]);
      int n = std::min(c, nOut - o);
      SetOutputChannelConnections(o, n, true);
      for (int j = 0; j < n; ++j) ptrs.mOut[static_cast<size_t>(o + j)] = bufs ? bufs[j] : nullptr;
    }
    o += c;
  }
}

template <class T> void IPlugVST3::ProcessAudio(ProcessData& data, ChannelPtrs<T>& ptrs)
{
  MapInputs(data, ptrs);
  MapOutputs(data, ptrs);
  const int nFrames = data.numSamples;
  const int block = GetBlockSize();
  // A host block longer than the set-up promised is processed in slices that fit the buffers.
  for (int start = 0; start < nFrames; start += block)
  {
    int len = std::min(block, nFrames - start);
    SendMidiEvents(data.inputEvents, start, len, start + len >= nFrames);
    for (int c = 0; c < NInChannels(); ++c)
    {
      T* p = ptrs.mIn[static_cast<size_t>(c)];
      if (p) p += start;
      AttachInputBuffers(c, 1, &p, len);
    }
    for (int c = 0; c < NOutChannels(); ++c)
    {
      T* p = ptrs.mOut[static_cast<size_t>(c)];
      if (p) p += start;
      AttachOutputBuffers(c, 1, &p);
    }
    if (mIsBypassed)
      PassThroughBuffers(T(0), len);
    else
      ProcessBuffers(T(0), len);
  }

  // Host channels the plug-in did not write (inactive buses, channels it does not have) are
  // silenced rather than left with whatever they held.
  for (int b = 0, o = 0; b < NumBuses(data.numOutputs, data.outputs); ++b)
  {
    T** bufs = ChannelBuffers<T>(data.outputs[b]);
    int c = NumChannels(data.outputs[b]);
    for (int j = 0; bufs && j < c; ++j)
      if (bufs[j] && !IsOutChannelConnected(o + j)) std::memset(bufs[j], 0, sizeof(T) * static_cast<size_t>(nFrames));
    o += c;
  }
}

template <class T> void IPlugVST3::SilenceOutputs(ProcessData& data, int nFrames)
{
  for (int b = 0; b < NumBuses(data.numOutputs, data.outputs); ++b)
  {
    T** bufs = ChannelBuffers<T>(data.outputs[b]);
    for (int j = 0; bufs && j < NumChannels(data.outputs[b]); ++j)
      if (bufs[j] && nFrames > 0) std::memset(bufs[j], 0, sizeof(T) * static_cast<size_t>(nFrames));
  }
}
