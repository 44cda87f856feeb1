#include "HostError.h"
#include "HostProcessor.h"
#include "ParameterResolver.h"
#include "PresetFileIO.h"
#include "ToolTestSupport.h"
#include "Vst3Module.h"

#include <cmath>
#include <gtest/gtest.h>
#include <sndfile.h>

using namespace vst3host;
using brelix::ParameterResolver;

namespace {

tooltest::Audio tone(int channels, int frames)
{
  tooltest::Audio a;
  a.channels = channels;
  a.sampleRate = 48000;
  a.data.assign(channels, std::vector<double>(frames));
  for (int c = 0; c < channels; ++c)
    for (int i = 0; i < frames; ++i)
      a.data[c][i] = 0.4 * std::sin(2 * M_PI * 220.0 * (c + 1) * i / 48000.0);
  return a;
}

class ZamTube : public ::testing::Test
{
protected:
  std::unique_ptr<Vst3Module> module = Vst3Module::Load(tooltest::kZamTube);
  PluginInstance instance{*module, module->SelectEffectClass("")};

  std::string errorOf(const std::string& setting)
  {
    try
    {
      ParameterResolver(instance).Resolve(ParameterResolver::Parse(setting, false));
    }
    catch (const HostError& e)
    {
      return e.what();
    }
    return "";
  }
};

} // namespace

TEST_F(ZamTube, ProcessorRefusesLayoutsAndSampleSizesThePlugInRefuses)
{
  ProcessSettings stereo;
  stereo.channels = 2;
  try
  {
    HostProcessor p(instance, stereo);
    FAIL() << "a mono-only plug-in accepted stereo";
  }
  catch (const HostError& e)
  {
    EXPECT_NE(std::string(e.what()).find("refuses stereo audio"), std::string::npos) << e.what();
  }
  ProcessSettings wide;
  wide.channels = 1;
  wide.doublePrecision = true;
  EXPECT_THROW(HostProcessor(instance, wide), HostError);
}

TEST_F(ZamTube, ResolvesSettingsThroughThePlugInsConversions)
{
  const ParameterResolver resolver(instance);
  const auto drive = resolver.Resolve(ParameterResolver::Parse("Tube Drive=11", false));
  EXPECT_EQ(drive.title, "Tube Drive");
  EXPECT_DOUBLE_EQ(drive.normalized, 1.0);
  EXPECT_NEAR(instance.NormalizedToPlain(drive.id, resolver.Resolve(ParameterResolver::Parse("tube drive=5.55", false)).normalized),
              5.55, 1e-5) << "DPF converts in single precision";
  // List entries by their text.
  const auto model = resolver.Resolve(ParameterResolver::Parse("Tone Stack Model=1959 Bassman 5F6-A", false));
  EXPECT_EQ(instance.ValueText(model.id, model.normalized), "1959 Bassman 5F6-A");
  // By id and normalised value.
  const auto byId = resolver.Resolve(ParameterResolver::Parse(std::to_string(drive.id) + "=0.25", true));
  EXPECT_EQ(byId.id, drive.id);
  EXPECT_DOUBLE_EQ(byId.normalized, 0.25);
}

TEST_F(ZamTube, RefusesUnknownParametersAndValues)
{
  EXPECT_NE(errorOf("Tube Drive=12").find("outside the range of Tube Drive (0.1 to 11)"), std::string::npos);
  EXPECT_NE(errorOf("Tube Drive=lots").find("cannot read 'lots'"), std::string::npos);
  EXPECT_NE(errorOf("Tube Drive=").find("cannot read ''"), std::string::npos);
  EXPECT_NE(errorOf("Tone Stack Model=Nonexistent Amp").find("cannot read"), std::string::npos);
  EXPECT_NE(errorOf("Drive=1").find("no parameter 'Drive'"), std::string::npos);
  EXPECT_NE(errorOf("Buffer Size=64").find("read-only"), std::string::npos);
  EXPECT_THROW(ParameterResolver(instance).Resolve(ParameterResolver::Parse("3=1.5", true)), HostError);
  EXPECT_THROW(ParameterResolver(instance).Resolve(ParameterResolver::Parse("99999=0.5", true)), HostError);
}

TEST_F(ZamTube, PresetRoundTripsThroughAFreshInstance)
{
  const auto drive = ParameterResolver(instance).Resolve(ParameterResolver::Parse("Tube Drive=7.5", false));
  instance.Controller()->setParamNormalized(drive.id, drive.normalized);
  {
    // The processor learns the value through a process call, as in a DAW.
    ProcessSettings s;
    s.channels = 1;
    HostProcessor p(instance, s);
    p.Start();
    ParameterChanges changes;
    changes.Add(drive.id, 0, drive.normalized);
    std::vector<double> buf(512);
    double* io[] = {buf.data()};
    p.Process(io, io, 512, &changes);
  }
  tooltest::TempDir dir;
  PresetFileIO::Save(dir.file("tube.vstpreset"), instance);
  EXPECT_EQ(dir.entries(), std::vector<std::string>{"tube.vstpreset"});

  PluginInstance fresh(*module, module->SelectEffectClass(""));
  EXPECT_NE(fresh.Controller()->getParamNormalized(drive.id), drive.normalized);
  PresetFileIO::Load(dir.file("tube.vstpreset"), fresh);
  EXPECT_NEAR(fresh.Controller()->getParamNormalized(drive.id), drive.normalized, 1e-6);

  auto other = Vst3Module::Load(tooltest::kZamAutoSat);
  PluginInstance sat(*other, other->SelectEffectClass(""));
  EXPECT_THROW(PresetFileIO::Load(dir.file("tube.vstpreset"), sat), HostError);
  EXPECT_THROW(PresetFileIO::Load(tooltest::brelixBundle(), sat), HostError);
}

TEST(ForeignEffect, ProcessesMonoDeterministically)
{
  const tooltest::Audio in = tone(1, 48000);
  const tooltest::Audio a = tooltest::renderDirect(tooltest::kZamAutoSat, in, 512, false);
  const tooltest::Audio b = tooltest::renderDirect(tooltest::kZamAutoSat, in, 512, false);
  ASSERT_EQ(a.frames(), in.frames());
  EXPECT_EQ(a.data, b.data) << "two fresh instances give the same samples";
  EXPECT_NE(a.data, in.data) << "the saturator changes the signal";
  double peak = 0;
  for (double v : a.data[0])
  {
    ASSERT_TRUE(std::isfinite(v));
    peak = std::max(peak, std::fabs(v));
  }
  EXPECT_GT(peak, 0.05);
}

TEST(ForeignEffect, SettingsReachTheProcessor)
{
  const tooltest::Audio in = tone(1, 24000);
  const auto soft = tooltest::renderDirect(tooltest::kZamTube, in, 256, false, {"Tube Drive=0.5"});
  const auto hard = tooltest::renderDirect(tooltest::kZamTube, in, 256, false, {"Tube Drive=10"});
  EXPECT_NE(soft.data, hard.data);
}
