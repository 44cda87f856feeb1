#pragma once
// The plug-in's part of a render: the file's audio goes in through a callback and comes out with
// output frame n answering input frame n (the plug-in's latency removed), as a DAW's bounce does.
// At factor 1 the plug-in runs at the file's rate in the render's blocks, exactly as a plain render
// always has. At factor N (2, 4 or 8) the input is upsampled by N, the plug-in runs at N × the
// rate in blocks of N × the block size, and its output is downsampled by N (see Resampler): a
// saturator's harmonics up to N × the file's Nyquist frequency are then filtered out instead of
// folding back into the band as aliasing.
// The HostProcessor must be set up for the chain's rate and block size (PluginRate(),
// PluginBlockSize()) and started. Single-threaded; Render() allocates nothing of its own.
// Errors as vst3host::HostError.
#include "HostProcessor.h"

#include <cstdint>
#include <functional>
#include <memory>

namespace brelix {

class RenderChain
{
public:
  // Fills `frames` (1 to the block size) frames of the input stream into in[0..channels): the
  // file, then silence for as long as the chain asks.
  using Input = std::function<void(double* const* in, int frames)>;

  struct Setup
  {
    int channels = 2;
    double sampleRate = 48000.0;  // the file's, Hz
    int blockSize = 512;          // frames at the file's rate
    int factor = 1;               // 1, 2, 4 or 8
    int64_t frames = 0;           // output length, frames
  };

  static bool IsFactor(int factor) { return factor == 1 || factor == 2 || factor == 4 || factor == 8; }
  static double PluginRate(const Setup& setup) { return setup.sampleRate * setup.factor; }
  static int PluginBlockSize(const Setup& setup) { return setup.blockSize * setup.factor; }

  // `firstBlockChanges` (may be null, must outlive the chain) go with the plug-in's first block.
  static std::unique_ptr<RenderChain> Create(vst3host::HostProcessor& processor, const Setup& setup, Input input,
                                             vst3host::ParameterChanges* firstBlockChanges);
  virtual ~RenderChain() = default;

  // Writes the next `frames` (at most the block size) output frames into out[0..channels).
  virtual void Render(double* const* out, int frames) = 0;

  double ProcessSeconds() const { return mProcessSeconds; }  // inside the plug-in's process calls

protected:
  RenderChain(vst3host::HostProcessor& processor, const Setup& setup, Input input,
              vst3host::ParameterChanges* firstBlockChanges);

  // One plug-in block of `frames` frames at the plug-in's rate; returns how many leading output
  // frames are the plug-in's latency, to be dropped.
  int RunPlugin(const double* const* in, double* const* out, int frames);

  vst3host::HostProcessor& mProcessor;
  Setup mSetup;
  Input mInput;

private:
  vst3host::ParameterChanges* mFirstBlockChanges;
  int64_t mLatencyLeft;
  double mProcessSeconds = 0;
};

} // namespace brelix
