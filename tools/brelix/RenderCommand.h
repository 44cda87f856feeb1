#pragma once
// `brelix render`: INPUT (or the demo clip) through one plug-in into OUTPUT, as a DAW's bounce
// does, with the plug-in's latency compensated so that output frame n matches input frame n;
// optionally with the plug-in oversampled (see RenderChain).
// Prints a one-line summary on standard output. Errors as HostError; the output file and the
// preset file appear only when everything succeeded.
#include "CommandLine.h"

namespace brelix {

struct RenderSummary
{
  double seconds = 0;        // audio length written
  double wallSeconds = 0;     // the whole render, files and all
  double processSeconds = 0;  // inside the plug-in's process calls
  double inputPeak = 0;      // linear, full scale 1.0
  double outputPeak = 0;
  int channels = 0;
  double sampleRate = 0;
  int oversample = 1;        // the plug-in ran at this multiple of sampleRate
  std::string pluginName;
  std::string formatDescription;
};

class RenderCommand
{
public:
  explicit RenderCommand(const RenderOptions& options) : mOptions(options) {}
  RenderSummary Run();
  static std::string SummaryLine(const RenderSummary& summary, const std::string& output);

private:
  RenderOptions mOptions;
};

} // namespace brelix
