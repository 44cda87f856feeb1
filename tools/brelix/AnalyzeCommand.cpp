#include "AnalyzeCommand.h"

#include "AudioFileReader.h"
#include "HostError.h"
#include "SpectrumAnalyzer.h"
#include "ToneAnalysis.h"

#include <algorithm>
#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <vector>

using vst3host::HostError;

namespace brelix {

namespace {

std::string Format(const char* pattern, ...)
{
  char text[256];
  va_list args;
  va_start(args, pattern);
  std::vsnprintf(text, sizeof(text), pattern, args);
  va_end(args);
  return text;
}

double PowerDb(double power)
{
  return power > 0 ? 10.0 * std::log10(power) : -INFINITY;
}

} // namespace

std::string AnalyzeCommand::Run()
{
  AudioFileReader file(mOptions.input);
  const int channels = file.Channels();
  const double rate = file.SampleRate();
  if (file.Frames() > int64_t(1) << 31)
    throw HostError("'" + mOptions.input + "' is too long to analyse at once");
  std::vector<std::vector<double>> audio(size_t(channels), std::vector<double>(size_t(file.Frames())));
  std::vector<double*> into;
  for (auto& ch : audio)
    into.push_back(ch.data());
  const int64_t frames = file.Read(into.data(), int(file.Frames()));
  if (frames < kMinFrames)
    throw HostError("'" + mOptions.input + "' is too short to analyse (" + std::to_string(frames) + " frames, at least " +
                    std::to_string(kMinFrames) + ")");

  std::string report = Format("%s: %.2f s, %d channel%s, %.0f Hz\n", mOptions.input.c_str(), double(frames) / rate,
                              channels, channels == 1 ? "" : "s", rate);
  for (int c = 0; c < channels; ++c)
  {
    double peak = 0, sum = 0;
    for (int64_t i = 0; i < frames; ++i)
    {
      peak = std::max(peak, std::fabs(audio[size_t(c)][size_t(i)]));
      sum += audio[size_t(c)][size_t(i)] * audio[size_t(c)][size_t(i)];
    }
    report += Format("channel %d: peak %.2f dBFS, RMS %.2f dBFS\n", c + 1, 20 * std::log10(peak),
                     PowerDb(sum / double(frames)));
  }

  int size = kMaxFftSize;
  while (size > frames)
    size /= 2;
  SpectrumAnalyzer analyzer(size);
  int segments = 0;
  const std::vector<double> power =
    analyzer.PowerSpectrum(std::vector<const double*>(into.begin(), into.end()), frames, &segments);
  const double binHz = rate / size;
  const ToneAnalysis tone = ToneAnalysis::Analyze(power, binHz, mOptions.fundamentalHz);
  report += Format("noise floor %.1f dBFS per bin (%d-point FFT, %.2f Hz bins, %d segment%s)\n",
                   PowerDb(tone.floorPerBin), size, binHz, segments, segments == 1 ? "" : "s");
  if (!tone.found)
    return report + Format("no steady tone: nothing stands %.0f dB above the noise floor%s\n",
                           ToneAnalysis::kToneAboveFloorDb, mOptions.fundamentalHz > 0 ? " there" : "");

  const double f = tone.fundamental.power;
  report += Format("fundamental %.2f Hz, %.2f dBFS\n", tone.fundamental.hz, PowerDb(f));
  const size_t listed = std::min<size_t>(tone.harmonics.size(), 9);
  for (size_t h = 0; h < listed; ++h)
    report += Format("harmonic %zu  %.2f Hz  %.2f dBc\n", h + 2, tone.harmonics[h].hz, PowerDb(tone.harmonics[h].power / f));
  if (tone.harmonics.size() == 1)
    report += Format("THD %.2f dB (the only harmonic below Nyquist)\n", PowerDb(tone.HarmonicPower() / f));
  else if (!tone.harmonics.empty())
    report += Format("THD %.2f dB (harmonics 2 to %zu, all below Nyquist)\n", PowerDb(tone.HarmonicPower() / f),
                     tone.harmonics.size() + 1);
  if (tone.aliasingLines == 0)
    return report + "aliasing -inf dB relative to the fundamental (no line above the noise floor)\n";
  return report + Format("aliasing %.2f dB relative to the fundamental (%d line%s, the strongest %.2f dBc at %.2f Hz)\n",
                         PowerDb(tone.aliasingPower / f), tone.aliasingLines, tone.aliasingLines == 1 ? "" : "s",
                         PowerDb(tone.strongestLine.power / f), tone.strongestLine.hz);
}

} // namespace brelix
