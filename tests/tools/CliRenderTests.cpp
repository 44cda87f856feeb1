// `brelix render` and `brelix info` with plug-ins not made here (Debian's zam-plugins), to show
// that the host is generic.
#include "ToolTestSupport.h"

#include <gtest/gtest.h>
#include <sndfile.h>

using tooltest::kZamAutoSat;
using tooltest::kZamTube;

TEST(CliRender, ForeignEffectMatchesTheHostLibrary)
{
  tooltest::TempDir dir;
  tooltest::writeTone(dir.file("in.wav"), 1, 48000, 48000, SF_FORMAT_WAV | SF_FORMAT_FLOAT);
  const auto r = tooltest::runBrelix({"render", dir.file("in.wav"), dir.file("out.wav"), "--plugin", kZamTube,
                                      "--set", "Tube Drive=6", "--set", "Tone Stack Model=1959 Bassman 5F6-A"});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.out.find("through ZamTube"), std::string::npos) << r.out;
  EXPECT_EQ(std::count(r.out.begin(), r.out.end(), '\n'), 1) << "a one-line summary: " << r.out;
  EXPECT_NE(r.out.find("peak in"), std::string::npos);
  EXPECT_NE(r.out.find("real time"), std::string::npos);

  const tooltest::Audio in = tooltest::readAudio(dir.file("in.wav"));
  const tooltest::Audio out = tooltest::readAudio(dir.file("out.wav"));
  EXPECT_EQ(out.format, SF_FORMAT_WAV | SF_FORMAT_FLOAT) << "the input's sample format is kept";
  ASSERT_EQ(out.frames(), in.frames());
  const tooltest::Audio direct =
    tooltest::renderDirect(kZamTube, in, 512, false, {"Tube Drive=6", "Tone Stack Model=1959 Bassman 5F6-A"});
  for (size_t i = 0; i < in.frames(); ++i)
    ASSERT_EQ(out.data[0][i], static_cast<double>(static_cast<float>(direct.data[0][i]))) << "frame " << i;
}

TEST(CliRender, WritesTheContainerAndDepthAsked)
{
  tooltest::TempDir dir;
  tooltest::writeTone(dir.file("in.wav"), 1, 9600, 44100, SF_FORMAT_WAV | SF_FORMAT_PCM_16);
  struct Case
  {
    const char* file;
    std::vector<std::string> extra;
    int format;
  } cases[] = {
    {"a.flac", {}, SF_FORMAT_FLAC | SF_FORMAT_PCM_16},
    {"b.aiff", {"--bit-depth", "24"}, SF_FORMAT_AIFF | SF_FORMAT_PCM_24},
    {"c.out", {"--format", "wav", "--bit-depth", "double"}, SF_FORMAT_WAV | SF_FORMAT_DOUBLE},
  };
  for (const auto& c : cases)
  {
    std::vector<std::string> args = {"render", dir.file("in.wav"), dir.file(c.file), "--plugin", kZamAutoSat};
    args.insert(args.end(), c.extra.begin(), c.extra.end());
    const auto r = tooltest::runBrelix(args);
    ASSERT_EQ(r.status, 0) << r.err;
    const tooltest::Audio out = tooltest::readAudio(dir.file(c.file));
    EXPECT_EQ(out.format, c.format) << c.file;
    EXPECT_EQ(out.sampleRate, 44100);
    EXPECT_EQ(out.frames(), 9600u);
  }
}

TEST(CliRender, TailAddsProcessedSilence)
{
  tooltest::TempDir dir;
  tooltest::writeTone(dir.file("in.wav"), 1, 4800, 48000, SF_FORMAT_WAV | SF_FORMAT_FLOAT);
  const auto r = tooltest::runBrelix(
    {"render", dir.file("in.wav"), dir.file("out.wav"), "--plugin", kZamAutoSat, "--tail", "0.5"});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(tooltest::readAudio(dir.file("out.wav")).frames(), 4800u + 24000u);
}

TEST(CliInfo, DescribesAForeignPlugIn)
{
  const auto text = tooltest::runBrelix({"info", "--plugin", kZamTube});
  ASSERT_EQ(text.status, 0) << text.err;
  EXPECT_NE(text.out.find("Factory  Damien Zammit"), std::string::npos) << text.out;
  EXPECT_NE(text.out.find("Audio Module Class  \"ZamTube\""), std::string::npos);
  EXPECT_NE(text.out.find("audio input 0  \"Audio Input\"  1 ch  main"), std::string::npos);
  EXPECT_NE(text.out.find("\"Tube Drive\""), std::string::npos);

  const auto json = tooltest::runBrelix({"info", "--plugin", kZamTube, "--json"});
  ASSERT_EQ(json.status, 0) << json.err;
  EXPECT_EQ(json.out.front(), '{');
  EXPECT_NE(json.out.find("\"vendor\": \"Damien Zammit\""), std::string::npos);
  EXPECT_NE(json.out.find("\"title\": \"Tone Stack Model\""), std::string::npos);
  EXPECT_NE(json.out.find("\"defaultText\": \"1959 Bassman 5F6-A\""), std::string::npos);
  EXPECT_NE(json.out.find("\"read-only\""), std::string::npos) << json.out;
}
