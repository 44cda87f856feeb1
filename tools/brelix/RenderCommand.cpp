#include "RenderCommand.h"

#include "AudioFileReader.h"
#include "AudioFileWriter.h"
#include "CrashGuard.h"
#include "DemoClip.h"
#include "HostError.h"
#include "HostProcessor.h"
#include "ParameterResolver.h"
#include "PluginLocator.h"
#include "PresetFileIO.h"
#include "ProgressBar.h"
#include "RenderChain.h"
#include "Vst3Module.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <memory>

using namespace vst3host;

namespace brelix {

namespace {

double PeakOf(const std::vector<std::vector<double>>& channels, int frames)
{
  double peak = 0;
  for (const auto& ch : channels)
    for (int i = 0; i < frames; ++i)
      peak = std::max(peak, std::fabs(ch[i]));
  return peak;
}

std::string Dbfs(double peak)
{
  if (peak <= 0)
    return "-inf dBFS";
  char text[32];
  std::snprintf(text, sizeof(text), "%.1f dBFS", 20.0 * std::log10(peak));
  return text;
}

std::vector<double*> PointersTo(std::vector<std::vector<double>>& channels)
{
  std::vector<double*> p;
  for (auto& ch : channels)
    p.push_back(ch.data());
  return p;
}

} // namespace

RenderSummary RenderCommand::Run()
{
  const auto started = std::chrono::steady_clock::now();

  std::unique_ptr<AudioSource> source;
  int inputFormat = 0;
  if (mOptions.input.empty())
    source = std::make_unique<DemoClip>();
  else
  {
    auto file = std::make_unique<AudioFileReader>(mOptions.input);
    inputFormat = file->SndfileFormat();
    source = std::move(file);
  }
  const int channels = source->Channels();
  const int rate = static_cast<int>(source->SampleRate());
  const OutputFormat format =
    ResolveOutputFormat(mOptions.output, mOptions.container, mOptions.depth, inputFormat, channels, rate);

  const std::string pluginPath = mOptions.plugin.empty() ? DefaultPluginPath() : mOptions.plugin;
  auto module = Vst3Module::Load(pluginPath);
  const ClassDescription& cls = module->SelectEffectClass(mOptions.className);
  PluginInstance plugin(*module, cls);

  if (!mOptions.loadPreset.empty())
    PresetFileIO::Load(mOptions.loadPreset, plugin);

  // The first block starts at sample 0, so the settings apply to every sample.
  ParameterChanges firstBlockChanges;
  ParameterResolver::ApplyAll(plugin, mOptions.parameters, firstBlockChanges);

  RenderChain::Setup chainSetup;
  chainSetup.channels = channels;
  chainSetup.sampleRate = source->SampleRate();
  chainSetup.blockSize = mOptions.blockSize;
  chainSetup.factor = mOptions.oversample;
  chainSetup.frames = source->Frames() + static_cast<int64_t>(std::llround(mOptions.tailSeconds * source->SampleRate()));

  ProcessSettings settings;
  settings.channels = channels;
  settings.sampleRate = RenderChain::PluginRate(chainSetup);
  settings.maxBlockSize = RenderChain::PluginBlockSize(chainSetup);
  settings.doublePrecision = mOptions.doublePrecision;
  settings.offline = !mOptions.realtime;
  HostProcessor processor(plugin, settings);

  AudioFileWriter writer(mOptions.output, format, channels, rate);
  CrashGuard::Watch(writer.TemporaryPath());

  RenderSummary summary;
  bool sourceEnded = false;
  // The file, then silence for latency, tail and the resamplers' filters.
  auto input = [&](double* const* in, int frames) {
    const int got = sourceEnded ? 0 : source->Read(in, frames);
    if (got < frames)
    {
      sourceEnded = true;  // also when a file is shorter than its header said
      for (int c = 0; c < channels; ++c)
        std::fill(in[c] + got, in[c] + frames, 0.0);
    }
    for (int c = 0; c < channels; ++c)
      for (int i = 0; i < got; ++i)
        summary.inputPeak = std::max(summary.inputPeak, std::fabs(in[c][i]));
  };

  processor.Start();
  const auto chain = RenderChain::Create(processor, chainSetup, input, &firstBlockChanges);

  const int block = mOptions.blockSize;
  std::vector<std::vector<double>> out(channels, std::vector<double>(block));
  const auto outPtr = PointersTo(out);
  ProgressBar progress(mOptions.progress, chainSetup.frames);
  int64_t written = 0;
  while (written < chainSetup.frames)
  {
    const int frames = static_cast<int>(std::min<int64_t>(block, chainSetup.frames - written));
    chain->Render(outPtr.data(), frames);
    summary.outputPeak = std::max(summary.outputPeak, PeakOf(out, frames));
    writer.Write(outPtr.data(), frames);
    written += frames;
    progress.Update(written);
  }
  progress.Finish();
  processor.Stop();

  if (!mOptions.savePreset.empty())
    PresetFileIO::Save(mOptions.savePreset, plugin);
  writer.Commit();
  CrashGuard::Clear();

  summary.processSeconds = chain->ProcessSeconds();
  summary.oversample = mOptions.oversample;
  summary.seconds = static_cast<double>(written) / source->SampleRate();
  summary.wallSeconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
  summary.channels = channels;
  summary.sampleRate = source->SampleRate();
  summary.pluginName = cls.name;
  summary.formatDescription = format.description;
  return summary;
}

std::string RenderCommand::SummaryLine(const RenderSummary& s, const std::string& output)
{
  const std::string layout = s.channels == 1 ? "mono" : s.channels == 2 ? "stereo" : std::to_string(s.channels) + " ch";
  char text[512];
  // The real-time factor is the plug-in's own: reading, generating and writing audio is left out.
  const double factor = s.processSeconds > 0 ? s.seconds / s.processSeconds : 0;
  const std::string oversampled = s.oversample > 1 ? " oversampled " + std::to_string(s.oversample) + "×" : "";
  std::snprintf(text, sizeof(text), "%.2f s %s %.0f Hz through %s%s in %.2f s (plug-in at %.1fx real time), peak in %s, out %s",
                s.seconds, layout.c_str(), s.sampleRate, s.pluginName.c_str(), oversampled.c_str(), s.wallSeconds, factor,
                Dbfs(s.inputPeak).c_str(), Dbfs(s.outputPeak).c_str());
  return std::string(text) + " -> " + output + " (" + s.formatDescription + ")";
}

} // namespace brelix
