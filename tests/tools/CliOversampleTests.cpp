// `brelix render --oversample N` and `brelix analyze`: output aligned to the sample and as long
// as the input at the input's rate, the resamplers transparent below 0.45 × the rate, and a
// saturator's aliasing going down as N goes up.
#include "ToolTestSupport.h"

#include <cmath>
#include <gtest/gtest.h>
#include <sndfile.h>

using tooltest::kZamAutoSat;

namespace {

tooltest::Audio silence(int channels, int frames, int rate)
{
  tooltest::Audio a;
  a.channels = channels;
  a.sampleRate = rate;
  a.format = SF_FORMAT_WAV | SF_FORMAT_DOUBLE;
  a.data.assign(size_t(channels), std::vector<double>(size_t(frames), 0.0));
  return a;
}

// Sines at the given frequencies, faded in and out over 0.1 s by raised cosines so that the
// whole signal stays band-limited.
tooltest::Audio bandLimited(const std::vector<double>& hz, int frames)
{
  tooltest::Audio a = silence(2, frames, 48000);
  const int fade = 4800;
  for (int c = 0; c < 2; ++c)
    for (int i = 0; i < frames; ++i)
    {
      const int edge = std::min(i, frames - 1 - i);
      const double gain = edge >= fade ? 1.0 : 0.5 - 0.5 * std::cos(M_PI * edge / fade);
      for (size_t k = 0; k < hz.size(); ++k)
        a.data[size_t(c)][size_t(i)] += gain * 0.15 * std::sin(2 * M_PI * hz[k] * i / 48000 + double(k + c));
    }
  return a;
}

std::vector<std::string> brelixRender(const std::string& in, const std::string& out, int factor)
{
  return {"render", in, out, "--plugin", tooltest::brelixBundle(), "--no-progress", "--oversample",
          std::to_string(factor)};
}

tooltest::Audio renderFile(std::vector<std::string> args, const std::vector<std::string>& extra)
{
  args.insert(args.end(), extra.begin(), extra.end());
  const auto r = tooltest::runBrelix(args);
  if (r.status != 0)
    throw std::runtime_error(r.err);
  return tooltest::readAudio(args[2]);
}

// Power of a − b relative to the power of b, in dB.
double differenceDb(const std::vector<double>& a, const std::vector<double>& b)
{
  double error = 0, power = 0;
  for (size_t i = 0; i < b.size(); ++i)
  {
    error += (a[i] - b[i]) * (a[i] - b[i]);
    power += b[i] * b[i];
  }
  return 10 * std::log10(error / power);
}

// The aliasing figure `brelix analyze` prints for a file.
double aliasingOf(const std::string& file)
{
  const auto r = tooltest::runBrelix({"analyze", file});
  const size_t at = r.out.find("\naliasing ");
  if (r.status != 0 || at == std::string::npos)
    throw std::runtime_error("analyze failed: " + r.out + r.err);
  return std::strtod(r.out.c_str() + at + 10, nullptr);
}

} // namespace

TEST(CliOversample, AnImpulseLandsOnTheSameSampleAtEveryFactor)
{
  SKIP_WITHOUT_BRELIX();
  tooltest::TempDir dir;
  tooltest::Audio in = silence(2, 9000, 48000);
  in.data[0][1000] = 0.5;
  in.data[1][4321] = -0.5;
  tooltest::writeAudio(dir.file("in.wav"), in);

  for (int factor : {1, 2, 4, 8})
    for (const char* block : {"512", "37"})
    {
      const auto out = renderFile(brelixRender(dir.file("in.wav"), dir.file("out.wav"), factor),
                                  {"--set", "Bypass=on", "--block", block});
      ASSERT_EQ(out.channels, 2);
      ASSERT_EQ(out.frames(), in.frames());
      for (int c = 0; c < 2; ++c)
      {
        const std::vector<double>& y = out.data[size_t(c)];
        const size_t at = c == 0 ? 1000 : 4321;
        size_t peak = 0;
        for (size_t i = 0; i < y.size(); ++i)
          if (std::fabs(y[i]) > std::fabs(y[peak]))
            peak = i;
        EXPECT_EQ(peak, at) << "N = " << factor << ", block " << block << ", channel " << c;
        EXPECT_EQ(y[peak] > 0, c == 0);
        // Linear phase around the same sample: the resamplers' ringing is symmetric about it.
        for (size_t k = 1; k <= 50; ++k)
          ASSERT_NEAR(y[at - k], y[at + k], 1e-6) << "N = " << factor << ", " << k << " from the peak";
      }
    }
}

TEST(CliOversample, ALinearPlugInSoundsTheSameBelowTheResamplersBandEdge)
{
  SKIP_WITHOUT_BRELIX();
  tooltest::TempDir dir;
  // Up to 0.45 × 48 kHz; the fades make every component band-limited.
  tooltest::writeAudio(dir.file("in.wav"), bandLimited({97, 1234.5, 5000, 12345, 19000, 21590}, 48000));
  const std::vector<std::string> linear = {"--set", "Bypass=on", "--precision", "64", "--bit-depth", "double"};
  const auto plain = renderFile(brelixRender(dir.file("in.wav"), dir.file("plain.wav"), 1), linear);
  for (int factor : {2, 4, 8})
  {
    const auto over = renderFile(brelixRender(dir.file("in.wav"), dir.file("over.wav"), factor), linear);
    ASSERT_EQ(over.frames(), plain.frames());
    for (int c = 0; c < 2; ++c)
      EXPECT_LT(differenceDb(over.data[size_t(c)], plain.data[size_t(c)]), -100) << "N = " << factor;
  }
}

TEST(CliOversample, ThePlugInRunsAtTheOversampledRate)
{
  SKIP_WITHOUT_BRELIX();
  tooltest::TempDir dir;
  // A quiet signal, where Brelix's filters dominate; they are designed for the rate they are
  // given, so they sound alike at every rate only if the plug-in was told the true one.
  tooltest::Audio in = bandLimited({60, 1000}, 48000);
  for (auto& channel : in.data)
    for (double& v : channel)
      v *= 0.05;
  tooltest::writeAudio(dir.file("in.wav"), in);
  const std::vector<std::string> filters = {"--set", "HPF=3", "--set", "LPF=1", "--bit-depth", "double"};
  const auto plain = renderFile(brelixRender(dir.file("in.wav"), dir.file("plain.wav"), 1), filters);
  ASSERT_GT(differenceDb(plain.data[0], in.data[0]), -10) << "the filters shape the signal";
  for (int factor : {2, 4, 8})
  {
    const auto over = renderFile(brelixRender(dir.file("in.wav"), dir.file("over.wav"), factor), filters);
    EXPECT_LT(differenceDb(over.data[0], plain.data[0]), -45) << "N = " << factor;
  }
}

TEST(CliOversample, KeepsTheInputsRateLengthAndFormat)
{
  tooltest::TempDir dir;
  tooltest::writeTone(dir.file("in.wav"), 1, 12345, 44100, SF_FORMAT_WAV | SF_FORMAT_PCM_16);
  for (const char* tail : {"0", "0.25"})
  {
    const auto r = tooltest::runBrelix({"render", dir.file("in.wav"), dir.file("out.wav"), "--plugin", kZamAutoSat,
                                        "--oversample", "2", "--tail", tail, "--block", "100"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("44100 Hz through ZamAutoSat oversampled 2\u00d7 in"), std::string::npos) << r.out;
    const tooltest::Audio out = tooltest::readAudio(dir.file("out.wav"));
    EXPECT_EQ(out.sampleRate, 44100);
    EXPECT_EQ(out.format, SF_FORMAT_WAV | SF_FORMAT_PCM_16);
    EXPECT_EQ(out.frames(), std::string(tail) == "0" ? 12345u : 12345u + 11025u) << "tail " << tail;
  }
}

TEST(CliOversample, MonoThroughAMonoOnlyPlugIn)
{
  tooltest::TempDir dir;
  // A quiet tone, which ZamAutoSat lifts by 6 dB and bends only slightly.
  tooltest::Audio in = silence(1, 44100, 44100);
  for (size_t i = 0; i < in.frames(); ++i)
    in.data[0][i] = 0.01 * std::sin(2 * M_PI * 1000 * double(i) / 44100);
  tooltest::writeAudio(dir.file("in.wav"), in);
  const std::vector<std::string> zam = {"--plugin", kZamAutoSat, "--bit-depth", "double"};
  std::vector<std::string> args = {"render", dir.file("in.wav"), dir.file("plain.wav")};
  const auto plain = renderFile(args, zam);
  args = {"render", dir.file("in.wav"), dir.file("over.wav"), "--oversample", "4"};
  const auto over = renderFile(args, zam);
  ASSERT_EQ(over.channels, 1);
  ASSERT_EQ(over.frames(), in.frames());
  EXPECT_GT(differenceDb(plain.data[0], in.data[0]), -20) << "the plug-in changed the signal";
  // The tone starts abruptly, so the first milliseconds differ by the resamplers' band limit.
  const std::vector<double> overSteady(over.data[0].begin() + 2000, over.data[0].end() - 2000);
  const std::vector<double> plainSteady(plain.data[0].begin() + 2000, plain.data[0].end() - 2000);
  EXPECT_LT(differenceDb(overSteady, plainSteady), -90);
}

TEST(CliOversample, TakesASaturatorsAliasingDown)
{
  SKIP_WITHOUT_BRELIX();
  tooltest::TempDir dir;
  tooltest::Audio in = silence(2, 48000, 48000);
  for (int c = 0; c < 2; ++c)
    for (size_t i = 0; i < in.frames(); ++i)
      in.data[size_t(c)][i] = std::pow(10.0, -6.0 / 20) * std::sin(2 * M_PI * 9000 * double(i) / 48000);
  tooltest::writeAudio(dir.file("in.wav"), in);
  const std::string preset = dir.file("hot.vstpreset");

  // Settings by --set for the plain render, from the preset for the oversampled ones.
  renderFile(brelixRender(dir.file("in.wav"), dir.file("1.wav"), 1),
             {"--set", "GAIN=30", "--set", "MODEL=0", "--save-preset", preset});
  const double plain = aliasingOf(dir.file("1.wav"));
  EXPECT_GT(plain, -20) << "MODEL 0 at GAIN 30 folds strong harmonics back";
  double previous = plain;
  for (int factor : {2, 4, 8})
  {
    const std::string out = dir.file(std::to_string(factor) + ".wav");
    renderFile(brelixRender(dir.file("in.wav"), out, factor), {"--load-preset", preset, "--precision", "64"});
    const double aliasing = aliasingOf(out);
    EXPECT_LT(aliasing, previous - 5) << "N = " << factor;
    previous = aliasing;
  }
  EXPECT_LT(previous, plain - 30) << "N = 8";
}

TEST(CliAnalyze, ReportsLevelsHarmonicsAndAliasing)
{
  tooltest::TempDir dir;
  tooltest::Audio in = silence(1, 96000, 48000);
  for (size_t i = 0; i < in.frames(); ++i)
  {
    const double t = double(i) / 48000;
    in.data[0][i] = 0.5 * std::sin(2 * M_PI * 1000 * t) + 0.005 * std::sin(2 * M_PI * 3000 * t) +
                    0.0005 * std::sin(2 * M_PI * 4321 * t);
  }
  tooltest::writeAudio(dir.file("tone.wav"), in);
  const auto r = tooltest::runBrelix({"analyze", dir.file("tone.wav"), "--fundamental", "1000"});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.out.find("tone.wav: 2.00 s, 1 channel, 48000 Hz\n"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("channel 1: peak -6.10 dBFS, RMS -9.03 dBFS\n"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("fundamental 1000.00 Hz, -9.03 dBFS\n"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("harmonic 3  3000.00 Hz  -40.00 dBc\n"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("THD -40.00 dB (harmonics 2 to 23, all below Nyquist)\n"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("aliasing -60.00 dB relative to the fundamental (1 line, the strongest -60.00 dBc at 4321.00 Hz)\n"),
            std::string::npos)
    << r.out;
}
