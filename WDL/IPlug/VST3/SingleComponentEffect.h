#pragma once
// One object that is both the VST3 audio processor (IComponent, IAudioProcessor) and its edit
// controller (the SDK's EditControllerEx1, with units). The VST3 binding derives from it.
//
// IComponent::setState/getState and IEditController::setState/getState share one signature.
// They are kept apart here: the controller's pair reaches setEditorState/getEditorState (which a
// subclass implements), the component's pair answers kNotImplemented and stores nothing.
//
// Threads: every call but process comes on the host's user-interface thread; process comes on
// its audio thread. This class takes no lock; the subclass serialises what it must.
// Ownership: the bus lists own their buses; the object is reference counted (FObject) and
// deleted by its last release.

#include "public.sdk/source/vst/vstbus.h"
#include "public.sdk/source/vst/vsteditcontroller.h"
#include "pluginterfaces/vst/ivstaudioprocessor.h"
#include "pluginterfaces/vst/ivstcomponent.h"

namespace SingleComponentFaces
{
// The controller's state calls, routed to setEditorState/getEditorState.
class ControllerFace : public Steinberg::Vst::EditControllerEx1
{
public:
  Steinberg::tresult PLUGIN_API setState(Steinberg::IBStream* state) final { return setEditorState(state); }
  Steinberg::tresult PLUGIN_API getState(Steinberg::IBStream* state) final { return getEditorState(state); }

  virtual Steinberg::tresult setEditorState(Steinberg::IBStream*) { return Steinberg::kNotImplemented; }
  virtual Steinberg::tresult getEditorState(Steinberg::IBStream*) { return Steinberg::kNotImplemented; }
};

// The component's own state calls: the whole state travels through the controller's pair.
class ComponentFace : public Steinberg::Vst::IComponent
{
public:
  Steinberg::tresult PLUGIN_API setState(Steinberg::IBStream*) final { return Steinberg::kNotImplemented; }
  Steinberg::tresult PLUGIN_API getState(Steinberg::IBStream*) final { return Steinberg::kNotImplemented; }
};
}  // namespace SingleComponentFaces

class SingleComponentEffect : public SingleComponentFaces::ControllerFace,
                              public SingleComponentFaces::ComponentFace,
                              public Steinberg::Vst::IAudioProcessor
{
public:
  SingleComponentEffect();
  ~SingleComponentEffect() override;

  // IPluginBase. terminate removes every parameter and bus, then terminates the controller.
  Steinberg::tresult PLUGIN_API initialize(Steinberg::FUnknown* context) override;
  Steinberg::tresult PLUGIN_API terminate() override;

  // IComponent. Bad media types, directions or indices give kInvalidArgument.
  Steinberg::tresult PLUGIN_API getControllerClassId(Steinberg::TUID classId) override;
  Steinberg::tresult PLUGIN_API setIoMode(Steinberg::Vst::IoMode mode) override;
  Steinberg::int32 PLUGIN_API getBusCount(Steinberg::Vst::MediaType type, Steinberg::Vst::BusDirection dir) override;
  Steinberg::tresult PLUGIN_API getBusInfo(Steinberg::Vst::MediaType type, Steinberg::Vst::BusDirection dir,
                                           Steinberg::int32 index, Steinberg::Vst::BusInfo& bus) override;
  Steinberg::tresult PLUGIN_API getRoutingInfo(Steinberg::Vst::RoutingInfo& inInfo,
                                               Steinberg::Vst::RoutingInfo& outInfo) override;
  Steinberg::tresult PLUGIN_API activateBus(Steinberg::Vst::MediaType type, Steinberg::Vst::BusDirection dir,
                                            Steinberg::int32 index, Steinberg::TBool state) override;
  Steinberg::tresult PLUGIN_API setActive(Steinberg::TBool state) override;

  // IAudioProcessor. The defaults: arrangements refused, 32-bit only, no latency, no tail.
  Steinberg::tresult PLUGIN_API setBusArrangements(Steinberg::Vst::SpeakerArrangement* inputs,
                                                   Steinberg::int32 numIns,
                                                   Steinberg::Vst::SpeakerArrangement* outputs,
                                                   Steinberg::int32 numOuts) override;
  Steinberg::tresult PLUGIN_API getBusArrangement(Steinberg::Vst::BusDirection dir, Steinberg::int32 index,
                                                  Steinberg::Vst::SpeakerArrangement& arr) override;
  Steinberg::tresult PLUGIN_API canProcessSampleSize(Steinberg::int32 symbolicSampleSize) override;
  Steinberg::uint32 PLUGIN_API getLatencySamples() override { return 0; }
  Steinberg::tresult PLUGIN_API setupProcessing(Steinberg::Vst::ProcessSetup& setup) override;
  Steinberg::tresult PLUGIN_API setProcessing(Steinberg::TBool state) override;
  Steinberg::tresult PLUGIN_API process(Steinberg::Vst::ProcessData& data) override;
  Steinberg::uint32 PLUGIN_API getTailSamples() override { return Steinberg::Vst::kNoTail; }

  OBJ_METHODS(SingleComponentEffect, Steinberg::Vst::EditControllerEx1)
  DEFINE_INTERFACES
    DEF_INTERFACE(Steinberg::Vst::IComponent)
    DEF_INTERFACE(Steinberg::Vst::IAudioProcessor)
  END_DEFINE_INTERFACES(Steinberg::Vst::EditControllerEx1)
  REFCOUNT_METHODS(Steinberg::Vst::EditControllerEx1)

protected:
  Steinberg::Vst::AudioBus* addAudioInput(const Steinberg::Vst::TChar* name, Steinberg::Vst::SpeakerArrangement arr,
                                          Steinberg::Vst::BusType type = Steinberg::Vst::kMain,
                                          Steinberg::int32 flags = Steinberg::Vst::BusInfo::kDefaultActive);
  Steinberg::Vst::AudioBus* addAudioOutput(const Steinberg::Vst::TChar* name, Steinberg::Vst::SpeakerArrangement arr,
                                           Steinberg::Vst::BusType type = Steinberg::Vst::kMain,
                                           Steinberg::int32 flags = Steinberg::Vst::BusInfo::kDefaultActive);
  Steinberg::Vst::EventBus* addEventInput(const Steinberg::Vst::TChar* name, Steinberg::int32 channels,
                                          Steinberg::Vst::BusType type = Steinberg::Vst::kMain,
                                          Steinberg::int32 flags = Steinberg::Vst::BusInfo::kDefaultActive);
  void removeAudioBusses();
  void removeAllBusses();
  // The list for a media type and direction, or null for values outside the SDK's enumerations.
  Steinberg::Vst::BusList* getBusList(Steinberg::Vst::MediaType type, Steinberg::Vst::BusDirection dir);

  Steinberg::Vst::BusList audioInputs;
  Steinberg::Vst::BusList audioOutputs;
  Steinberg::Vst::BusList eventInputs;
  Steinberg::Vst::BusList eventOutputs;
  // Defaults: realtime, 32-bit, 1024 frames, 44100 Hz.
  Steinberg::Vst::ProcessSetup processSetup;
};
