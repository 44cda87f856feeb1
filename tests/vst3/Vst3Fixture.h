#pragma once
// Per test: loads a bundle afresh, fetches its factory and makes a host context; instances are
// created by the test and must be gone before TearDown, which releases the factory, calls
// ModuleExit and unloads the module.

#include <gtest/gtest.h>

#include "TestHost.h"

namespace vst3test
{
class BundleTest : public ::testing::Test
{
protected:
  void LoadBundle(const std::string& name)
  {
    module = std::make_unique<Vst3Module>(BundlePath(name));
    ASSERT_TRUE(module->Loaded()) << module->Error();
    ASSERT_NE(module->getFactory, nullptr);
    factory = owned(module->getFactory());
    ASSERT_TRUE(factory);
    hostApp = std::make_unique<HostApplication>();
    host = hostApp.get();
  }

  std::unique_ptr<Vst3Instance> NewInstance()
  {
    auto inst = std::make_unique<Vst3Instance>(factory, host);
    EXPECT_TRUE(inst->Ok());
    return inst;
  }

  void TearDown() override
  {
    factory = nullptr;
    host = nullptr;
    hostApp.reset();
    module.reset();
  }

  std::unique_ptr<Vst3Module> module;
  IPtr<IPluginFactory> factory;
  // The SDK's host application is not reference counted: it lives as long as the test.
  std::unique_ptr<HostApplication> hostApp;
  HostApplication* host = nullptr;
};

// One initialised instance of a bundle, its default buses active; the test's SetUp calls Open.
class InstanceTest : public BundleTest
{
protected:
  void Open(const char* bundle)
  {
    LoadBundle(bundle);
    inst = NewInstance();
    inst->ActivateDefaultBuses();
  }
  void TearDown() override
  {
    inst.reset();
    BundleTest::TearDown();
  }
  std::unique_ptr<Vst3Instance> inst;
};

constexpr const char* kFxBundle = "IPlugTestFx";
constexpr const char* kSynthBundle = "IPlugTestSynth";
}  // namespace vst3test
