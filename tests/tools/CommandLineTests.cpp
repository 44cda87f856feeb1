#include "CommandLine.h"

#include <gtest/gtest.h>

using namespace brelix;

namespace {

CommandLine parse(std::vector<std::string> args)
{
  return ParseCommandLine(args);
}

} // namespace

TEST(CommandLine, RenderTakesOptionalInputThenOutput)
{
  const CommandLine demo = parse({"render", "out.wav"});
  EXPECT_EQ(demo.command, CommandLine::Command::Render);
  EXPECT_EQ(demo.render.input, "");
  EXPECT_EQ(demo.render.output, "out.wav");

  const CommandLine file = parse({"render", "in.flac", "--block", "37", "out.wav"});
  EXPECT_EQ(file.render.input, "in.flac");
  EXPECT_EQ(file.render.output, "out.wav");
  EXPECT_EQ(file.render.blockSize, 37);
}

TEST(CommandLine, RenderOptionsAcceptSeparateAndInlineValues)
{
  const CommandLine cl = parse({"render", "out.wav", "--plugin=/x/Y.vst3", "--class", "Y", "--precision", "64",
                                "--set", "GAIN = 24", "--set-id=4=0.5", "--load-preset", "a.vstpreset",
                                "--save-preset=b.vstpreset", "--format", "flac", "--bit-depth", "16", "--tail",
                                "1.5", "--oversample", "4", "--realtime", "--no-progress"});
  const RenderOptions& r = cl.render;
  EXPECT_EQ(r.plugin, "/x/Y.vst3");
  EXPECT_EQ(r.className, "Y");
  EXPECT_TRUE(r.doublePrecision);
  ASSERT_EQ(r.parameters.size(), 2u);
  EXPECT_EQ(r.parameters[0].key, "GAIN");
  EXPECT_EQ(r.parameters[0].value, "24");
  EXPECT_FALSE(r.parameters[0].byId);
  EXPECT_EQ(r.parameters[1].key, "4");
  EXPECT_EQ(r.parameters[1].value, "0.5");
  EXPECT_TRUE(r.parameters[1].byId);
  EXPECT_EQ(r.loadPreset, "a.vstpreset");
  EXPECT_EQ(r.savePreset, "b.vstpreset");
  EXPECT_EQ(r.container, "flac");
  EXPECT_EQ(r.depth, "16");
  EXPECT_DOUBLE_EQ(r.tailSeconds, 1.5);
  EXPECT_EQ(r.oversample, 4);
  EXPECT_TRUE(r.realtime);
  EXPECT_FALSE(r.progress);
}

TEST(CommandLine, InfoOptions)
{
  const CommandLine cl = parse({"info", "--plugin", "/p.vst3", "--json", "--class", "Z"});
  EXPECT_EQ(cl.command, CommandLine::Command::Info);
  EXPECT_EQ(cl.info.plugin, "/p.vst3");
  EXPECT_EQ(cl.info.className, "Z");
  EXPECT_TRUE(cl.info.json);
}

TEST(CommandLine, OversampleDefaultsToOneAndTakesThePowersOfTwoUpToEight)
{
  EXPECT_EQ(parse({"render", "out.wav"}).render.oversample, 1);
  for (int factor : {1, 2, 4, 8})
    EXPECT_EQ(parse({"render", "out.wav", "--oversample=" + std::to_string(factor)}).render.oversample, factor);
  for (const char* bad : {"0", "3", "16", "-2", "2x", "", "4.0"})
  {
    try
    {
      parse({"render", "out.wav", "--oversample", bad});
      ADD_FAILURE() << "accepted --oversample '" << bad << "'";
    }
    catch (const UsageError& e)
    {
      EXPECT_EQ(std::string(e.what()), std::string("--oversample takes 1, 2, 4 or 8, not '") + bad + "'");
    }
  }
}

TEST(CommandLine, AnalyzeTakesOneInputAndAFundamental)
{
  const CommandLine plain = parse({"analyze", "tone.wav"});
  EXPECT_EQ(plain.command, CommandLine::Command::Analyze);
  EXPECT_EQ(plain.analyze.input, "tone.wav");
  EXPECT_EQ(plain.analyze.fundamentalHz, 0);
  EXPECT_DOUBLE_EQ(parse({"analyze", "--fundamental=997.5", "tone.wav"}).analyze.fundamentalHz, 997.5);
}

TEST(CommandLine, HelpAndVersion)
{
  EXPECT_EQ(parse({"--help"}).command, CommandLine::Command::Help);
  EXPECT_EQ(parse({"render", "-h"}).command, CommandLine::Command::Help);
  EXPECT_EQ(parse({"--version"}).command, CommandLine::Command::Version);
}

TEST(CommandLine, RejectsMalformedCommandLines)
{
  const std::vector<std::vector<std::string>> bad = {
    {},
    {"play"},
    {"render"},
    {"render", "a.wav", "b.wav", "c.wav"},
    {"render", "out.wav", "--bogus"},
    {"render", "out.wav", "--block"},
    {"render", "out.wav", "--block", "0"},
    {"render", "out.wav", "--block", "12x"},
    {"render", "out.wav", "--precision", "16"},
    {"render", "out.wav", "--set", "GAIN"},
    {"render", "out.wav", "--set", "=3"},
    {"render", "out.wav", "--tail", "-1"},
    {"render", "out.wav", "--json"},
    {"info", "extra.vst3"},
    {"info", "--block", "3"},
    {"info", "--oversample", "2"},
    {"analyze"},
    {"analyze", "a.wav", "b.wav"},
    {"analyze", "a.wav", "--fundamental", "0"},
    {"analyze", "a.wav", "--fundamental", "-50"},
    {"analyze", "a.wav", "--fundamental", "1k"},
    {"analyze", "a.wav", "--plugin", "/p.vst3"},
    {"analyze", "a.wav", "--oversample", "2"},
    {"render", "out.wav", "--fundamental", "100"},
  };
  for (const auto& args : bad)
    EXPECT_THROW(ParseCommandLine(args), UsageError) << (args.empty() ? "(none)" : args.back());
}
