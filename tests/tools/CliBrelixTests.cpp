// `brelix render` and `brelix info` with Brelix itself. Skipped while the Brelix bundle has not
// been built.
#include "ToolTestSupport.h"

#include <gtest/gtest.h>
#include <sndfile.h>

namespace {

const std::vector<std::string> kCharacter = {"--set", "GAIN=24", "--set", "MODEL=3", "--set", "HPF=1"};

tooltest::RunResult render(const std::string& in, const std::string& out, std::vector<std::string> extra)
{
  std::vector<std::string> args = {"render"};
  if (!in.empty())
    args.push_back(in);
  args.push_back(out);
  args.push_back("--plugin");
  args.push_back(tooltest::brelixBundle());
  args.insert(args.end(), extra.begin(), extra.end());
  return tooltest::runBrelix(args);
}

} // namespace

TEST(CliBrelix, RendersTheDemoWithoutAnInputFile)
{
  SKIP_WITHOUT_BRELIX();
  tooltest::TempDir dir;
  std::vector<std::string> args = {"render", dir.file("demo.wav")};
  args.insert(args.end(), kCharacter.begin(), kCharacter.end());
  const auto r = tooltest::runBrelix(args); // the default plug-in: the bundle of this build
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.out.find("8.00 s stereo 48000 Hz through Brelix"), std::string::npos) << r.out;
  const tooltest::Audio out = tooltest::readAudio(dir.file("demo.wav"));
  EXPECT_EQ(out.channels, 2);
  EXPECT_EQ(out.frames(), 8u * 48000u);
}

TEST(CliBrelix, BitIdenticalToTheEffectDrivenDirectlyAtEveryBlockSize)
{
  SKIP_WITHOUT_BRELIX();
  tooltest::TempDir dir;
  for (int channels : {1, 2})
  {
    const tooltest::Audio in = tooltest::demoAudio(channels, 1.0);
    const std::string input = dir.file("in" + std::to_string(channels) + ".wav");
    tooltest::writeAudio(input, in);
    const tooltest::Audio direct =
      tooltest::renderDirect(tooltest::brelixBundle(), in, 0, true, {"GAIN=24", "MODEL=3", "HPF=1"});
    ASSERT_NE(direct.data, in.data);

    for (int block : {1, 37, 512, 4096})
    {
      const std::string output = dir.file("out.wav");
      std::vector<std::string> extra = {"--precision", "64", "--bit-depth", "double", "--block", std::to_string(block)};
      if (block == 37)
        extra.insert(extra.end(), {"--oversample", "1"});  // the plain render, unchanged
      extra.insert(extra.end(), kCharacter.begin(), kCharacter.end());
      const auto r = render(input, output, extra);
      ASSERT_EQ(r.status, 0) << r.err;
      const tooltest::Audio out = tooltest::readAudio(output);
      ASSERT_EQ(out.channels, channels);
      EXPECT_EQ(out.data, direct.data) << channels << " channel(s), block " << block;
    }
  }
}

TEST(CliBrelix, PresetSaveAndLoadRoundTrip)
{
  SKIP_WITHOUT_BRELIX();
  tooltest::TempDir dir;
  const std::string input = dir.file("in.wav");
  tooltest::writeAudio(input, tooltest::demoAudio(2, 0.5));
  const std::string preset = dir.file("hot.vstpreset");

  ASSERT_EQ(render(input, dir.file("set.wav"), {"--set", "GAIN=30", "--set", "MODEL=5", "--set", "OUT=-6",
                                                "--save-preset", preset})
              .status,
            0);
  ASSERT_EQ(render(input, dir.file("loaded.wav"), {"--load-preset", preset}).status, 0);
  ASSERT_EQ(render(input, dir.file("plain.wav"), {}).status, 0);
  ASSERT_EQ(render(input, dir.file("override.wav"), {"--load-preset", preset, "--set", "MODEL=2"}).status, 0);

  const auto set = tooltest::readAudio(dir.file("set.wav")).data;
  EXPECT_EQ(tooltest::readAudio(dir.file("loaded.wav")).data, set) << "the preset restores every setting";
  EXPECT_NE(tooltest::readAudio(dir.file("plain.wav")).data, set);
  EXPECT_NE(tooltest::readAudio(dir.file("override.wav")).data, set) << "--set applies after the preset";
}

TEST(CliBrelix, SettingsByTextAndById)
{
  SKIP_WITHOUT_BRELIX();
  tooltest::TempDir dir;
  const std::string input = dir.file("in.wav");
  tooltest::writeAudio(input, tooltest::demoAudio(2, 0.25));
  ASSERT_EQ(render(input, dir.file("a.wav"), {"--set", "GAIN=10", "--bit-depth", "double"}).status, 0);
  // GAIN's normalised value n is 40 n² dB: 0.5 is 10 dB.
  ASSERT_EQ(render(input, dir.file("b.wav"), {"--set-id", "1=0.5", "--bit-depth", "double"}).status, 0);
  EXPECT_EQ(tooltest::readAudio(dir.file("a.wav")).data, tooltest::readAudio(dir.file("b.wav")).data);

  ASSERT_EQ(render(input, dir.file("bypassed.wav"), {"--set", "Bypass=on", "--set", "GAIN=40", "--precision", "64", "--bit-depth", "double"})
              .status,
            0);
  EXPECT_EQ(tooltest::readAudio(dir.file("bypassed.wav")).data, tooltest::readAudio(input).data);

  const auto out = render(input, dir.file("x.wav"), {"--set", "GAIN=41"});
  EXPECT_NE(out.status, 0);
  EXPECT_NE(out.err.find("outside the range of GAIN (0 to 40)"), std::string::npos) << out.err;
}

TEST(CliBrelix, InfoDescribesBrelix)
{
  SKIP_WITHOUT_BRELIX();
  const auto text = tooltest::runBrelix({"info", "--plugin", tooltest::brelixBundle()});
  ASSERT_EQ(text.status, 0) << text.err;
  EXPECT_NE(text.out.find("Audio Module Class  \"Brelix\""), std::string::npos) << text.out;
  EXPECT_NE(text.out.find("\"GAIN\""), std::string::npos);
  EXPECT_NE(text.out.find("Program lists (count 0)"), std::string::npos);
  EXPECT_NE(text.out.find("\"Factory Presets\"  1 programs"), std::string::npos);

  const auto json = tooltest::runBrelix({"info", "--plugin", tooltest::brelixBundle(), "--json"});
  ASSERT_EQ(json.status, 0) << json.err;
  EXPECT_NE(json.out.find("\"programListCount\": 0"), std::string::npos);
  EXPECT_NE(json.out.find("\"title\": \"MODEL\""), std::string::npos);
  EXPECT_NE(json.out.find("\"name\": \"Root Unit\""), std::string::npos);
}
