#include "AudioFileWriter.h"
#include "DemoClip.h"
#include "HostError.h"
#include "OutputFormat.h"
#include "ToolTestSupport.h"

#include <cmath>
#include <gtest/gtest.h>
#include <sndfile.h>

using namespace brelix;
using vst3host::HostError;

TEST(OutputFormat, ContainerFromExtensionAndDepthFromInput)
{
  EXPECT_EQ(ResolveOutputFormat("a.wav", "", "", 0, 2, 48000).sndfileFormat, SF_FORMAT_WAV | SF_FORMAT_PCM_24);
  EXPECT_EQ(ResolveOutputFormat("a.WAV", "", "", SF_FORMAT_FLAC | SF_FORMAT_PCM_16, 2, 44100).sndfileFormat,
            SF_FORMAT_WAV | SF_FORMAT_PCM_16);
  EXPECT_EQ(ResolveOutputFormat("a.aif", "", "float", 0, 1, 48000).sndfileFormat, SF_FORMAT_AIFF | SF_FORMAT_FLOAT);
  // FLAC cannot hold the input's float samples: 24-bit instead.
  EXPECT_EQ(ResolveOutputFormat("a.flac", "", "", SF_FORMAT_WAV | SF_FORMAT_FLOAT, 2, 48000).sndfileFormat,
            SF_FORMAT_FLAC | SF_FORMAT_PCM_24);
  EXPECT_EQ(ResolveOutputFormat("noext", "w64", "double", 0, 2, 48000).sndfileFormat, SF_FORMAT_W64 | SF_FORMAT_DOUBLE);
  EXPECT_EQ(ResolveOutputFormat("a.ogg", "", "", 0, 2, 48000).sndfileFormat, SF_FORMAT_OGG | SF_FORMAT_VORBIS);
  EXPECT_EQ(ResolveOutputFormat("a.flac", "", "16", 0, 2, 48000).description, "FLAC, 16-bit PCM");
}

TEST(OutputFormat, RefusesWhatCannotBeWritten)
{
  EXPECT_THROW(ResolveOutputFormat("a.xyz", "", "", 0, 2, 48000), HostError);
  EXPECT_THROW(ResolveOutputFormat("noext", "", "", 0, 2, 48000), HostError);
  EXPECT_THROW(ResolveOutputFormat("a.wav", "mod", "", 0, 2, 48000), HostError);
  EXPECT_THROW(ResolveOutputFormat("a.wav", "", "12", 0, 2, 48000), HostError);
  EXPECT_THROW(ResolveOutputFormat("a.flac", "", "double", 0, 2, 48000), HostError);
  EXPECT_THROW(ResolveOutputFormat("a.ogg", "", "24", 0, 2, 48000), HostError);
}

TEST(DemoClip, ReproducibleStereoWithHeadroomAndMonoMix)
{
  DemoClip a, b;
  EXPECT_EQ(a.Channels(), 2);
  EXPECT_EQ(a.Frames(), 8 * 48000);
  std::vector<std::vector<double>> x(2, std::vector<double>(size_t(a.Frames()))), y = x;
  double* px[] = {x[0].data(), x[1].data()};
  ASSERT_EQ(a.Read(px, int(a.Frames())), int(a.Frames()));
  EXPECT_EQ(a.Read(px, 10), 0);
  // Read in odd-sized pieces: the same samples.
  for (int done = 0; done < b.Frames();)
  {
    double* py[] = {y[0].data() + done, y[1].data() + done};
    done += b.Read(py, 997);
  }
  EXPECT_EQ(x, y);

  double peak = 0, rms = 0;
  for (double v : x[0])
  {
    peak = std::max(peak, std::fabs(v));
    rms += v * v;
  }
  rms = std::sqrt(rms / double(x[0].size()));
  EXPECT_LT(peak, 0.9) << "the clip leaves headroom";
  EXPECT_GT(peak, 0.3);
  EXPECT_GT(rms, 0.05) << "the clip is not mostly silence";
  EXPECT_NE(x[0], x[1]) << "the sides differ";

  DemoClip mono(48000, 1, 1.0);
  std::vector<double> m(48000);
  double* pm[] = {m.data()};
  ASSERT_EQ(mono.Read(pm, 48000), 48000);
  for (int i = 0; i < 48000; i += 4801)
    EXPECT_DOUBLE_EQ(m[i], 0.5 * (x[0][i] + x[1][i]));
}

TEST(AudioFileWriter, AppearsOnlyOnCommitAndClips)
{
  tooltest::TempDir dir;
  const std::string target = dir.file("out.wav");
  std::vector<double> samples = {0.5, 1.5, -2.0, 0.25};
  const double* channels[] = {samples.data()};
  {
    AudioFileWriter writer(target, ResolveOutputFormat(target, "", "16", 0, 1, 44100), 1, 44100);
    writer.Write(channels, 4);
    EXPECT_EQ(dir.entries().size(), 1u);
    EXPECT_EQ(dir.entries()[0][0], '.') << "only a hidden temporary file exists while writing";
  }
  EXPECT_TRUE(dir.entries().empty()) << "an uncommitted writer leaves nothing behind";

  {
    AudioFileWriter writer(target, ResolveOutputFormat(target, "", "16", 0, 1, 44100), 1, 44100);
    writer.Write(channels, 4);
    writer.Commit();
  }
  ASSERT_EQ(dir.entries(), std::vector<std::string>{"out.wav"});
  const tooltest::Audio a = tooltest::readAudio(target);
  ASSERT_EQ(a.frames(), 4u);
  EXPECT_NEAR(a.data[0][0], 0.5, 1e-4);
  EXPECT_NEAR(a.data[0][1], 1.0, 1e-4) << "over full scale clips instead of wrapping";
  EXPECT_NEAR(a.data[0][2], -1.0, 1e-4);
}
