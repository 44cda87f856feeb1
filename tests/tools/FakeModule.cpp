// Misbehaving VST3 modules for the host's error paths, one per FAKE_MODE:
//   1  GetPluginFactory returns null
//   2  a factory whose only class is a controller (no audio effect class)
//   3  an audio effect class that the factory fails to create
#include "pluginterfaces/base/ipluginbase.h"
#include "pluginterfaces/vst/ivstaudioprocessor.h"
#include "pluginterfaces/vst/ivsteditcontroller.h"

#include <cstring>

using namespace Steinberg;

namespace {

class FakeFactory : public IPluginFactory
{
public:
  tresult PLUGIN_API getFactoryInfo(PFactoryInfo* info) override
  {
    *info = PFactoryInfo();
    std::strcpy(info->vendor, "Brelix tests");
    return kResultOk;
  }
  int32 PLUGIN_API countClasses() override { return 1; }
  tresult PLUGIN_API getClassInfo(int32 index, PClassInfo* info) override
  {
    if (index != 0)
      return kInvalidArgument;
    *info = PClassInfo();
    std::memset(info->cid, 0x42, sizeof(info->cid));
    info->cardinality = PClassInfo::kManyInstances;
    std::strcpy(info->category, FAKE_MODE == 2 ? kVstComponentControllerClass : kVstAudioEffectClass);
    std::strcpy(info->name, "Fake");
    return kResultOk;
  }
  tresult PLUGIN_API createInstance(FIDString, FIDString, void** obj) override
  {
    *obj = nullptr;
    return kResultFalse;
  }
  tresult PLUGIN_API queryInterface(const TUID iid, void** obj) override
  {
    if (FUnknownPrivate::iidEqual(iid, IPluginFactory::iid) || FUnknownPrivate::iidEqual(iid, FUnknown::iid))
    {
      *obj = this;
      return kResultOk;
    }
    *obj = nullptr;
    return kNoInterface;
  }
  uint32 PLUGIN_API addRef() override { return 1; }
  uint32 PLUGIN_API release() override { return 1; }
};

FakeFactory gFactory;

} // namespace

extern "C" {
__attribute__((visibility("default"))) bool ModuleEntry(void*) { return true; }
__attribute__((visibility("default"))) bool ModuleExit() { return true; }
__attribute__((visibility("default"))) IPluginFactory* GetPluginFactory()
{
  return FAKE_MODE == 1 ? nullptr : &gFactory;
}
}
