#pragma once
// One instance of a plug-in class, set up as a DAW does: the component created from the factory
// and initialised with the host context, its audio processor, and its edit controller (the same
// object for single-component plug-ins, otherwise created from the controller class id,
// initialised, connected to the component and given the component's state). The destructor shuts
// everything down in order (disconnect, terminate controller, terminate component, release).
// Main thread only. The module must outlive the instance. Errors are reported as HostError;
// refusals and null pointers from the plug-in never crash the host.
#include "HostContext.h"
#include "Vst3Module.h"
#include "pluginterfaces/vst/ivstaudioprocessor.h"
#include "pluginterfaces/vst/ivstcomponent.h"
#include "pluginterfaces/vst/ivsteditcontroller.h"
#include <string>
#include <vector>

namespace vst3host {

struct ParameterDescription
{
  Steinberg::Vst::ParamID id = 0;
  std::string title;
  std::string shortTitle;
  std::string units;
  int stepCount = 0;                 // 0: continuous
  double defaultNormalized = 0.0;
  int unitId = 0;
  int flags = 0;                     // Steinberg::Vst::ParameterInfo::ParameterFlags
};

class PluginInstance
{
public:
  PluginInstance(const Vst3Module& module, const ClassDescription& cls);
  ~PluginInstance();

  PluginInstance(const PluginInstance&) = delete;
  PluginInstance& operator=(const PluginInstance&) = delete;

  const ClassDescription& GetClassDescription() const { return mClass; }
  Steinberg::Vst::IComponent* Component() const { return mComponent; }
  Steinberg::Vst::IAudioProcessor* Processor() const { return mProcessor; }
  // Null when the plug-in has no edit controller.
  Steinberg::Vst::IEditController* Controller() const { return mController; }
  bool IsSingleComponent() const { return mSingleComponent; }
  ComponentHandler& GetComponentHandler() { return mHandler; }

  // Every parameter the controller publishes, in its order.
  std::vector<ParameterDescription> Parameters() const;

  // Conversions through the controller; without a controller they are the identity (plain values
  // are normalised values) and texts are empty.
  double NormalizedToPlain(Steinberg::Vst::ParamID id, double normalized) const;
  double PlainToNormalized(Steinberg::Vst::ParamID id, double plain) const;
  std::string ValueText(Steinberg::Vst::ParamID id, double normalized) const;
  // The plug-in's reading of `text`; false when it refuses it.
  bool TextToNormalized(Steinberg::Vst::ParamID id, const std::string& text, double& normalized) const;

  // Passes the component's current state to the controller (IEditController::setComponentState).
  void SyncControllerToComponent();

private:
  void CreateController(const Vst3Module& module);
  void Connect();
  void Shutdown();

  HostContext mHostContext;          // declared first: outlives every plug-in object
  ComponentHandler mHandler;
  ClassDescription mClass;
  Steinberg::Vst::IComponent* mComponent = nullptr;
  Steinberg::Vst::IAudioProcessor* mProcessor = nullptr;
  Steinberg::Vst::IEditController* mController = nullptr;
  bool mSingleComponent = false;
  bool mComponentInitialized = false;
  bool mControllerInitialized = false;
  Steinberg::Vst::IConnectionPoint* mComponentConnection = nullptr;
  Steinberg::Vst::IConnectionPoint* mControllerConnection = nullptr;
};

} // namespace vst3host
