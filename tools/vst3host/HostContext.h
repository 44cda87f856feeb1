#pragma once
// The host objects a plug-in talks back to: the host application (name, message and attribute
// list creation) and the component handler that receives edits and restart requests.
// Both are owned by the host and not reference-counted; they must outlive the plug-in objects
// they were handed to. Called on the host's main thread.
#include "public.sdk/source/vst/hosting/hostclasses.h"
#include "pluginterfaces/vst/ivsteditcontroller.h"

namespace vst3host {

class HostContext : public Steinberg::Vst::HostApplication
{
public:
  Steinberg::tresult PLUGIN_API getName(Steinberg::Vst::String128 name) override;
};

// Accepts every edit (a command-line host has no automation to record) and remembers the
// restart flags the plug-in asked for, so that the host can react between blocks.
class ComponentHandler : public Steinberg::Vst::IComponentHandler
{
public:
  Steinberg::tresult PLUGIN_API beginEdit(Steinberg::Vst::ParamID) override { return Steinberg::kResultOk; }
  Steinberg::tresult PLUGIN_API performEdit(Steinberg::Vst::ParamID, Steinberg::Vst::ParamValue) override
  {
    return Steinberg::kResultOk;
  }
  Steinberg::tresult PLUGIN_API endEdit(Steinberg::Vst::ParamID) override { return Steinberg::kResultOk; }
  Steinberg::tresult PLUGIN_API restartComponent(Steinberg::int32 flags) override;

  // Restart flags requested since the last call (Steinberg::Vst::RestartFlags), then cleared.
  Steinberg::int32 TakeRestartFlags();

  Steinberg::tresult PLUGIN_API queryInterface(const Steinberg::TUID iid, void** obj) override;
  Steinberg::uint32 PLUGIN_API addRef() override { return 1; }
  Steinberg::uint32 PLUGIN_API release() override { return 1; }

private:
  Steinberg::int32 mRestartFlags = 0;
};

} // namespace vst3host
