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

double peakOf(const std::vector<std::vector<double>>& channels, int frames)
{
  double peak = 0;
  for (const auto& ch : channels)
    for (int i = 0; i < frames; ++i)
      peak = std::max(peak, std::fabs(ch[i]));
  return peak;
}

std::string dbfs(double peak)
{
  if (peak <= 0)
    return "-inf dBFS";
  char text[32];
  std::snprintf(text, sizeof(text), "%.1f dBFS", 20.0 * std::log10(peak));
  return text;
}

std::vector<double*> pointersTo(std::vector<std::vector<double>>& channels)
{
  std::vector<double*> p;
  for (auto& ch : channels)
    p.push_back(ch.data());
  return p;
}

} // namespace

RenderSummary RenderCommand::run()
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
  const int channels = source->channels();
  const int rate = static_cast<int>(source->sampleRate());
  const OutputFormat format =
    ResolveOutputFormat(mOptions.output, mOptions.container, mOptions.depth, inputFormat, channels, rate);

  const std::string pluginPath = mOptions.plugin.empty() ? DefaultPluginPath() : mOptions.plugin;
  auto module = Vst3Module::load(pluginPath);
  const ClassDescription& cls = module->SelectEffectClass(mOptions.className);
  PluginInstance plugin(*module, cls);

  if (!mOptions.loadPreset.empty())
    PresetFileIO::load(mOptions.loadPreset, plugin);

  // Settings reach the controller now and the processor with the first block, as a DAW's
  // automation does; the first block starts at sample 0, so they apply to every sample.
  ParameterChanges firstBlockChanges;
  const ParameterResolver resolver(plugin);
  for (const auto& request : mOptions.parameters)
  {
    const ResolvedParameter p = resolver.resolve(request);
    if (plugin.controller())
      plugin.controller()->setParamNormalized(p.id, p.normalized);
    firstBlockChanges.add(p.id, 0, p.normalized);
  }

  RenderChain::Setup chainSetup;
  chainSetup.channels = channels;
  chainSetup.sampleRate = source->sampleRate();
  chainSetup.blockSize = mOptions.blockSize;
  chainSetup.factor = mOptions.oversample;
  chainSetup.frames = source->frames() + static_cast<int64_t>(std::llround(mOptions.tailSeconds * source->sampleRate()));

  ProcessSettings settings;
  settings.channels = channels;
  settings.sampleRate = RenderChain::PluginRate(chainSetup);
  settings.maxBlockSize = RenderChain::PluginBlockSize(chainSetup);
  settings.doublePrecision = mOptions.doublePrecision;
  settings.offline = !mOptions.realtime;
  HostProcessor processor(plugin, settings);

  AudioFileWriter writer(mOptions.output, format, channels, rate);
  CrashGuard::watch(writer.TemporaryPath());

  RenderSummary summary;
  bool sourceEnded = false;
  // The file, then silence for latency, tail and the resamplers' filters.
  auto input = [&](double* const* in, int frames) {
    const int got = sourceEnded ? 0 : source->read(in, frames);
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

  processor.start();
  const auto chain = RenderChain::Create(processor, chainSetup, input, &firstBlockChanges);

  const int block = mOptions.blockSize;
  std::vector<std::vector<double>> out(channels, std::vector<double>(block));
  const auto outPtr = pointersTo(out);
  ProgressBar progress(mOptions.progress, chainSetup.frames);
  int64_t written = 0;
  while (written < chainSetup.frames)
  {
    const int frames = static_cast<int>(std::min<int64_t>(block, chainSetup.frames - written));
    chain->Render(outPtr.data(), frames);
    summary.outputPeak = std::max(summary.outputPeak, peakOf(out, frames));
    writer.write(outPtr.data(), frames);
    written += frames;
    progress.update(written);
  }
  progress.finish();
  processor.stop();

  if (!mOptions.savePreset.empty())
    PresetFileIO::save(mOptions.savePreset, plugin);
  writer.commit();
  CrashGuard::clear();

  summary.processSeconds = chain->ProcessSeconds();
  summary.oversample = mOptions.oversample;
  summary.seconds = static_cast<double>(written) / source->sampleRate();
  summary.wallSeconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
  summary.channels = channels;
  summary.sampleRate = source->sampleRate();
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
                dbfs(s.inputPeak).c_str(), dbfs(s.outputPeak).c_str());
  return std::string(text) + " -> " + output + " (" + s.formatDescription + ")";
}

} // namespace brelix
