#include "HostError.h"
#include "PluginInstance.h"
#include "PluginScanner.h"
#include "ToolTestSupport.h"
#include "Vst3Module.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>

using namespace vst3host;

namespace {

std::string fake(const std::string& name)
{
  return std::string(FAKE_BUNDLES) + "/" + name + ".vst3";
}

// The message of the HostError that `f` throws, or "" when it throws none.
template <typename F>
std::string errorOf(F f)
{
  try
  {
    f();
  }
  catch (const HostError& e)
  {
    return e.what();
  }
  return "";
}

} // namespace

TEST(Vst3Module, FindsTheLibraryInsideABundle)
{
  EXPECT_EQ(FindModuleLibrary(tooltest::kZamTube), std::string(tooltest::kZamTube) + "/Contents/x86_64-linux/ZamTube.so");
  const std::string so = std::string(tooltest::kZamTube) + "/Contents/x86_64-linux/ZamTube.so";
  EXPECT_EQ(FindModuleLibrary(so), so);
}

TEST(Vst3Module, ReadsFactoryAndClassesOfAForeignModule)
{
  auto module = Vst3Module::Load(tooltest::kZamTube);
  EXPECT_EQ(module->GetFactoryDescription().vendor, "Damien Zammit");
  EXPECT_EQ(module->GetFactoryDescription().interfaceVersion, 3);
  ASSERT_EQ(module->AudioEffectClasses().size(), 1u);
  const ClassDescription& cls = module->SelectEffectClass("");
  EXPECT_EQ(cls.name, "ZamTube");
  EXPECT_TRUE(cls.hasInfo2);
  EXPECT_NE(cls.subCategories.find("Fx"), std::string::npos);
  EXPECT_EQ(&module->SelectEffectClass("zamtube"), &cls) << "names match ignoring case";
  EXPECT_EQ(&module->SelectEffectClass(cls.uid), &cls) << "and class ids select too";
  EXPECT_NE(errorOf([&] { module->SelectEffectClass("ZamVerb"); }).find("no audio effect class 'ZamVerb'"),
            std::string::npos);
}

TEST(Vst3Module, ReportsModulesThatDoNotLoad)
{
  tooltest::TempDir dir;
  EXPECT_NE(errorOf([&] { Vst3Module::Load(dir.file("Missing.vst3")); }).find("no plug-in at"), std::string::npos);

  std::filesystem::create_directories(dir.file("Empty.vst3"));
  EXPECT_NE(errorOf([&] { Vst3Module::Load(dir.file("Empty.vst3")); }).find("not a VST3 bundle"), std::string::npos);

  const std::string junk = dir.file("Junk.vst3/Contents/x86_64-linux");
  std::filesystem::create_directories(junk);
  std::ofstream(junk + "/Junk.so") << "not a shared library";
  EXPECT_NE(errorOf([&] { Vst3Module::Load(dir.file("Junk.vst3")); }).find("cannot load"), std::string::npos);

  // A shared library that is not a VST3 module.
  EXPECT_NE(errorOf([&] { Vst3Module::Load("/lib/x86_64-linux-gnu/libsndfile.so.1"); }).find("GetPluginFactory"),
            std::string::npos);
}

TEST(Vst3Module, SurvivesMisbehavingFactories)
{
  EXPECT_NE(errorOf([] { Vst3Module::Load(fake("NullFactory")); }).find("returned no plug-in factory"),
            std::string::npos);

  auto noEffect = Vst3Module::Load(fake("NoEffect"));
  EXPECT_EQ(noEffect->Classes().size(), 1u);
  EXPECT_NE(errorOf([&] { noEffect->SelectEffectClass(""); }).find("holds no audio effect class"), std::string::npos);

  auto broken = Vst3Module::Load(fake("BrokenEffect"));
  const ClassDescription& cls = broken->SelectEffectClass("");
  EXPECT_NE(errorOf([&] { PluginInstance instance(*broken, cls); }).find("could not create 'Fake'"),
            std::string::npos);
}

TEST(PluginScanner, DescribesAForeignEffect)
{
  auto module = Vst3Module::Load(tooltest::kZamTube);
  PluginInstance instance(*module, module->SelectEffectClass(""));
  EXPECT_FALSE(instance.IsSingleComponent());
  const EffectReport r = PluginScanner::Scan(instance);
  EXPECT_TRUE(r.hasController);
  EXPECT_TRUE(r.can32);
  ASSERT_EQ(r.buses.size(), 2u);
  EXPECT_EQ(r.buses[0].direction, "input");
  EXPECT_EQ(r.buses[0].channelCount, 1);
  EXPECT_EQ(r.buses[1].direction, "output");

  const ParameterReport* drive = nullptr;
  for (const auto& p : r.parameters)
    if (p.info.title == "Tube Drive")
      drive = &p;
  ASSERT_NE(drive, nullptr);
  EXPECT_NEAR(drive->defaultPlain, 0.1, 1e-6);
  EXPECT_EQ(drive->defaultText.substr(0, 3), "0.1");
  EXPECT_EQ(drive->flagNames, std::vector<std::string>{"automate"});
}

TEST(PluginScanner, NamesParameterFlags)
{
  EXPECT_EQ(PluginScanner::ParameterFlagNames(0x10009),
            (std::vector<std::string>{"automate", "list", "bypass"}));
  EXPECT_EQ(PluginScanner::ParameterFlagNames(0x8000), std::vector<std::string>{"program-change"});
  EXPECT_TRUE(PluginScanner::ParameterFlagNames(0).empty());
}
