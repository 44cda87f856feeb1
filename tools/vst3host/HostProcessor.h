#pragma once
// Drives a plug-in instance's audio processing as a DAW does: main buses arranged for the
// file's channel count (mono runs the plug-in mono), auxiliary buses kept at their arrangement,
// inactive and fed silence, setupProcessing with the rate, block size and precision, then
// setActive/setProcessing around blocks of planar double audio, converted to float for 32-bit
// processing. A transport context (playing, 120 BPM, 4/4) advances with every block.
// Processing thread = the caller's thread; buffers are sized at construction, so Process() does
// not allocate. Errors are reported as HostError.
#include "EventList.h"
#include "ParameterChanges.h"
#include "PluginInstance.h"
#include "pluginterfaces/vst/ivstprocesscontext.h"
#include <vector>

namespace vst3host {

struct ProcessSettings
{
  int channels = 2;               // of the main input and main output bus
  double sampleRate = 48000.0;    // Hz
  int maxBlockSize = 512;         // frames
  bool doublePrecision = false;   // 64-bit instead of 32-bit processing
  bool offline = true;            // process mode offline (a bounce) rather than realtime
};

class HostProcessor
{
public:
  HostProcessor(PluginInstance& plugin, const ProcessSettings& settings);
  ~HostProcessor();

  HostProcessor(const HostProcessor&) = delete;
  HostProcessor& operator=(const HostProcessor&) = delete;

  void Start();                   // setActive(true), setProcessing(true)
  void Stop();                    // setProcessing(false), setActive(false); safe to repeat

  // Processes `frames` (≤ maxBlockSize) frames. `in` has settings.channels channels (ignored when
  // the plug-in has no audio input); `out` receives settings.channels channels. `changes` are the
  // input parameter changes of this block, or null.
  void Process(const double* const* in, double* const* out, int frames, ParameterChanges* changes);

  Steinberg::uint32 LatencySamples() const;
  const ProcessSettings& Settings() const { return mSettings; }
  bool HasAudioInput() const { return !mInputs.empty(); }

private:
  struct Bus
  {
    int channels = 0;
    std::vector<std::vector<float>> data32;
    std::vector<std::vector<double>> data64;
    std::vector<float*> pointers32;
    std::vector<double*> pointers64;
  };

  void ArrangeBuses();
  void Allocate(std::vector<Bus>& buses, std::vector<Steinberg::Vst::AudioBusBuffers>& buffers);

  PluginInstance& mPlugin;
  ProcessSettings mSettings;
  std::vector<Bus> mInputs, mOutputs;
  std::vector<Steinberg::Vst::AudioBusBuffers> mInputBuffers, mOutputBuffers;
  ParameterChanges mOutputChanges;
  EventList mInputEvents, mOutputEvents;
  bool mHasEventInput = false;
  Steinberg::Vst::ProcessContext mContext{};
  bool mActive = false;
  bool mProcessing = false;
};

} // namespace vst3host
