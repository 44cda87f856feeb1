// Brelix through the host library: what a scanner sees and how it processes. Skipped while the
// Brelix bundle has not been built.
#include "PluginScanner.h"
#include "PresetFileIO.h"
#include "ToolTestSupport.h"
#include "Vst3Module.h"

#include <gtest/gtest.h>

using namespace vst3host;

TEST(BrelixHost, ScannerSeesTheBrelixInterface)
{
  SKIP_WITHOUT_BRELIX();
  auto module = Vst3Module::Load(tooltest::brelixBundle());
  const ClassDescription& cls = module->SelectEffectClass("");
  EXPECT_EQ(cls.name, "Brelix");
  PluginInstance instance(*module, cls);
  EXPECT_TRUE(instance.IsSingleComponent());
  const EffectReport r = PluginScanner::Scan(instance);
  EXPECT_TRUE(r.can32);
  EXPECT_TRUE(r.can64);

  ASSERT_EQ(r.buses.size(), 2u);
  EXPECT_EQ(r.buses[0].name, "Main Input");
  EXPECT_EQ(r.buses[0].channelCount, 2);
  EXPECT_EQ(r.buses[1].name, "Output");

  ASSERT_EQ(r.parameters.size(), 12u);
  EXPECT_EQ(r.parameters[0].info.title, "Preset");
  EXPECT_EQ(r.parameters[0].flagNames, std::vector<std::string>{"program-change"});
  EXPECT_EQ(r.parameters[1].info.title, "Bypass");
  EXPECT_EQ(r.parameters[1].flagNames, (std::vector<std::string>{"automate", "list", "bypass"}));
  const char* titles[] = {"", "GAIN", "OUT", "", "MODEL", "LPF", "HPF", "LINK", "", "BYPASS"};
  for (int i = 0; i < 10; ++i)
  {
    EXPECT_EQ(r.parameters[2 + i].info.id, unsigned(i));
    EXPECT_EQ(r.parameters[2 + i].info.title, titles[i]);
  }
  EXPECT_EQ(r.parameters[3].info.stepCount, 0) << "GAIN is continuous";
  EXPECT_DOUBLE_EQ(instance.NormalizedToPlain(1, 1.0), 40.0);
  EXPECT_EQ(r.parameters[6].info.stepCount, 10) << "MODEL has eleven curves";

  ASSERT_EQ(r.units.size(), 1u);
  EXPECT_EQ(r.units[0].name, "Root Unit");
  EXPECT_EQ(r.programListCount, 0);
  ASSERT_EQ(r.programLists.size(), 1u) << "listed although the count is 0";
  EXPECT_EQ(r.programLists[0].name, "Factory Presets");
  EXPECT_EQ(r.programLists[0].programs, std::vector<std::string>{"-"});
}

TEST(BrelixHost, BlockSizeDoesNotChangeTheOutput)
{
  SKIP_WITHOUT_BRELIX();
  const tooltest::Audio in = tooltest::demoAudio(2, 1.0);
  const std::vector<std::string> settings = {"GAIN=24", "MODEL=3", "HPF=1"};
  const auto whole = tooltest::renderDirect(tooltest::brelixBundle(), in, 0, true, settings);
  EXPECT_NE(whole.data, in.data);
  for (int block : {1, 37, 4096})
    EXPECT_EQ(tooltest::renderDirect(tooltest::brelixBundle(), in, block, true, settings).data, whole.data)
      << "block " << block;
}

TEST(BrelixHost, PresetCarriesTheControllerState)
{
  SKIP_WITHOUT_BRELIX();
  auto module = Vst3Module::Load(tooltest::brelixBundle());
  tooltest::TempDir dir;
  {
    PluginInstance instance(*module, module->SelectEffectClass(""));
    instance.Controller()->setParamNormalized(1, 0.6);
    instance.Controller()->setParamNormalized(4, 0.3);
    PresetFileIO::Save(dir.file("b.vstpreset"), instance);
  }
  PluginInstance fresh(*module, module->SelectEffectClass(""));
  PresetFileIO::Load(dir.file("b.vstpreset"), fresh);
  EXPECT_NEAR(fresh.Controller()->getParamNormalized(1), 0.6, 1e-9);
  EXPECT_NEAR(fresh.Controller()->getParamNormalized(4), 0.3, 1e-9);
}
