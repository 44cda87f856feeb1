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

  const ClassDescription& classDescription() const { return class_; }
  Steinberg::Vst::IComponent* component() const { return component_; }
  Steinberg::Vst::IAudioProcessor* processor() const { return processor_; }
  // Null when the plug-in has no edit controller.
  Steinberg::Vst::IEditController* controller() const { return controller_; }
  bool isSingleComponent() const { return singleComponent_; }
  ComponentHandler& componentHandler() { return handler_; }

  // Every parameter the controller publishes, in its order.
  std::vector<ParameterDescription> parameters() const;

  // Conversions through the controller; without a controller they are the identity (plain values
  // are normalised values) and texts are empty.
  double normalizedToPlain(Steinberg::Vst::ParamID id, double normalized) const;
  double plainToNormalized(Steinberg::Vst::ParamID id, double plain) const;
  std::string valueText(Steinberg::Vst::ParamID id, double normalized) const;
  // The plug-in's reading of `text`; false when it refuses it.
  bool textToNormalized(Steinberg::Vst::ParamID id, const std::string& text, double& normalized) const;

  // Passes the component's current state to the controller (IEditController::setComponentState).
  void syncControllerToComponent();

private:
  void createController(const Vst3Module& module);
  void connect();
  void shutdown();

  HostContext hostContext_;          // declared first: outlives every plug-in object
  ComponentHandler handler_;
  ClassDescription class_;
  Steinberg::Vst::IComponent* component_ = nullptr;
  Steinberg::Vst::IAudioProcessor* processor_ = nullptr;
  Steinberg::Vst::IEditController* controller_ = nullptr;
  bool singleComponent_ = false;
  bool componentInitialized_ = false;
  bool controllerInitialized_ = false;
  Steinberg::Vst::IConnectionPoint* componentConnection_ = nullptr;
  Steinberg::Vst::IConnectionPoint* controllerConnection_ = nullptr;
};

} // namespace vst3host
