#pragma once
// `brelix analyze`: peak and RMS levels of an audio file, and for a steady tone the level of its
// fundamental and harmonics and the aliasing figure: the power of every line that is neither the
// fundamental, a harmonic below Nyquist nor noise, in dB relative to the fundamental (see
// ToneAnalysis for how the spectrum is shared out). The spectrum is the Welch average of
// 65536-point (shorter files: the longest power of two that fits) Blackman-Harris windowed FFTs
// over all channels. Levels are 20·log10 of peak or RMS, so a full-scale sine has an RMS of
// −3.01 dBFS. Errors as HostError.
#include "CommandLine.h"

#include <string>

namespace brelix {

class AnalyzeCommand
{
public:
  static constexpr int kMaxFftSize = 65536;
  static constexpr int kMinFrames = 256;

  explicit AnalyzeCommand(const AnalyzeOptions& options) : mOptions(options) {}
  std::string Run();  // the report, one finding per line

private:
  AnalyzeOptions mOptions;
};

} // namespace brelix
