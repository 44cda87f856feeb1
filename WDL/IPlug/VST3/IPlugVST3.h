#pragma once
// The VST3 binding: one object that is the plug-in instance (IPlugBase), its VST3 audio
// processor and its edit controller (SingleComponentEffect). An effect derives from it and
// overrides only the IPlugBase hooks.
//
// What the host sees: an input bus "Main Input" (and "Aux Input" for a sidechain), output
// "Output" (instruments: "Output 1", "Output 2", ... one stereo bus per channel pair), "MIDI
// Input" for a plug-in that takes MIDI; parameters "Preset" (when there are presets), "Bypass"
// (effects only), then every framework parameter i under tag i; one unit per parameter group.
// The whole state travels through the controller's getState/setState: the state chunk followed
// by a 32-bit bypass flag.
//
// Threads: process() runs on the host's audio thread and holds the plug-in mutex for the whole
// call; it allocates nothing (buffers are sized in setupProcessing). Everything else comes on
// the host's user-interface thread; setupProcessing, setBusArrangements and the state calls take
// the plug-in mutex too, so a host that breaks the call order cannot tear a block apart.
// getParamNormalized/setParamNormalized touch one parameter's atomic value without the mutex.
// Nothing is thrown to the host; misuse is answered with the SDK's result codes. The entry points
// that allocate or run the effect's hooks (initialize, setBusArrangements, setupProcessing,
// setActive and the state calls) catch every exception: running out of memory answers
// kOutOfMemory, anything else kInternalError. initialize then leaves no bus or parameter behind
// (the host may call it again), and setBusArrangements leaves the buses as they were.

#include <vector>

#include "IPlugBase.h"
#include "SingleComponentEffect.h"
#include "pluginterfaces/vst/ivstprocesscontext.h"

namespace Steinberg { class IPlugView; }

// What the host interface hands to the effect's constructor: nothing, for VST3.
struct IPlugInstanceInfo
{
};

class IPlugVST3 : public IPlugBase, public SingleComponentEffect, public Steinberg::Vst::IProcessContextRequirements
{
public:
  static constexpr Steinberg::Vst::ParamID kBypassParamTag = MakeFourCC("bpas");
  static constexpr Steinberg::Vst::ParamID kPresetParamTag = MakeFourCC("prst");
  // setupProcessing refuses larger blocks; hosts never come near this.
  static constexpr int kMaxBlockSize = 1 << 20;

  // plugScChans: how many of the input channels (the last ones) form the sidechain bus.
  IPlugVST3(IPlugInstanceInfo instanceInfo, int nParams, const char* channelIOStr, int nPresets,
            const char* effectName, const char* productName, const char* mfrName, int vendorVersion, int uniqueID,
            int mfrID, int latency, bool plugDoesMidi, bool plugDoesChunks, bool plugIsInst, int plugScChans);
  ~IPlugVST3() override;

  // IPluginBase, IComponent, IAudioProcessor (IPlugVST3.cpp, IPlugVST3Process.cpp).
  Steinberg::tresult PLUGIN_API initialize(Steinberg::FUnknown* context) override;
  Steinberg::tresult PLUGIN_API terminate() override;
  Steinberg::tresult PLUGIN_API setBusArrangements(Steinberg::Vst::SpeakerArrangement* inputs, Steinberg::int32 numIns,
                                                   Steinberg::Vst::SpeakerArrangement* outputs,
                                                   Steinberg::int32 numOuts) override;
  Steinberg::tresult PLUGIN_API activateBus(Steinberg::Vst::MediaType type, Steinberg::Vst::BusDirection dir,
                                            Steinberg::int32 index, Steinberg::TBool state) override;
  Steinberg::tresult PLUGIN_API setupProcessing(Steinberg::Vst::ProcessSetup& setup) override;
  Steinberg::tresult PLUGIN_API setActive(Steinberg::TBool state) override;
  Steinberg::tresult PLUGIN_API canProcessSampleSize(Steinberg::int32 symbolicSampleSize) override;
  Steinberg::tresult PLUGIN_API process(Steinberg::Vst::ProcessData& data) override;
  Steinberg::uint32 PLUGIN_API getLatencySamples() override;
  Steinberg::uint32 PLUGIN_API getTailSamples() override;

  // IProcessContextRequirements: the fields GetTime reads.
  Steinberg::uint32 PLUGIN_API getProcessContextRequirements() override;

  // IEditController (IPlugVST3Controller.cpp).
  Steinberg::Vst::ParamValue PLUGIN_API getParamNormalized(Steinberg::Vst::ParamID tag) override;
  Steinberg::tresult PLUGIN_API setParamNormalized(Steinberg::Vst::ParamID tag, Steinberg::Vst::ParamValue value) override;
  Steinberg::Vst::ParamValue PLUGIN_API plainParamToNormalized(Steinberg::Vst::ParamID tag,
                                                               Steinberg::Vst::ParamValue plain) override;
  // The registered parameter's conversion of the value clamped into [0, 1] (NaN reads as 0).
  Steinberg::Vst::ParamValue PLUGIN_API normalizedParamToPlain(Steinberg::Vst::ParamID tag,
                                                               Steinberg::Vst::ParamValue normalized) override;
  Steinberg::tresult PLUGIN_API getParamStringByValue(Steinberg::Vst::ParamID tag, Steinberg::Vst::ParamValue normalized,
                                                      Steinberg::Vst::String128 text) override;
  Steinberg::tresult PLUGIN_API getParamValueByString(Steinberg::Vst::ParamID tag, Steinberg::Vst::TChar* text,
                                                      Steinberg::Vst::ParamValue& normalized) override;
  // kResultFalse for an index outside [0, getParameterCount()).
  Steinberg::tresult PLUGIN_API getParameterInfo(Steinberg::int32 paramIndex,
                                                 Steinberg::Vst::ParameterInfo& info) override;
  Steinberg::tresult setEditorState(Steinberg::IBStream* state) override;
  Steinberg::tresult getEditorState(Steinberg::IBStream* state) override;
  // "editor": a new IPlugVST3View, appended to the view list (also for an instance without an
  // editor, whose view then refuses every platform type); null for any other name.
  Steinberg::IPlugView* PLUGIN_API createView(Steinberg::FIDString name) override;

  // IUnitInfo (IPlugVST3Units.cpp): one unit per parameter group, the factory presets as a
  // program list that is described but not counted.
  Steinberg::int32 PLUGIN_API getUnitCount() override;
  Steinberg::tresult PLUGIN_API getUnitInfo(Steinberg::int32 unitIndex, Steinberg::Vst::UnitInfo& info) override;
  Steinberg::int32 PLUGIN_API getProgramListCount() override;
  Steinberg::tresult PLUGIN_API getProgramListInfo(Steinberg::int32 listIndex,
                                                   Steinberg::Vst::ProgramListInfo& info) override;
  Steinberg::tresult PLUGIN_API getProgramName(Steinberg::Vst::ProgramListID listId, Steinberg::int32 programIndex,
                                               Steinberg::Vst::String128 name) override;
  Steinberg::tresult PLUGIN_API getProgramInfo(Steinberg::Vst::ProgramListID listId, Steinberg::int32 programIndex,
                                               Steinberg::Vst::CString attributeId,
                                               Steinberg::Vst::String128 attributeValue) override;
  Steinberg::tresult PLUGIN_API hasProgramPitchNames(Steinberg::Vst::ProgramListID listId,
                                                     Steinberg::int32 programIndex) override;
  Steinberg::tresult PLUGIN_API getProgramPitchName(Steinberg::Vst::ProgramListID listId, Steinberg::int32 programIndex,
                                                    Steinberg::int16 midiPitch, Steinberg::Vst::String128 name) override;
  Steinberg::Vst::UnitID PLUGIN_API getSelectedUnit() override;
  Steinberg::tresult PLUGIN_API selectUnit(Steinberg::Vst::UnitID unitId) override;
  Steinberg::tresult PLUGIN_API getUnitByBus(Steinberg::Vst::MediaType type, Steinberg::Vst::BusDirection dir,
                                             Steinberg::int32 busIndex, Steinberg::int32 channel,
                                             Steinberg::Vst::UnitID& unitId) override;
  Steinberg::tresult PLUGIN_API setUnitProgramData(Steinberg::int32 listOrUnitId, Steinberg::int32 programIndex,
                                                   Steinberg::IBStream* data) override;

  // IPlugBase: host notifications go to the component handler (false when none is set).
  void BeginInformHostOfParamChange(int idx) override;
  void InformHostOfParamChange(int idx, double normalizedValue) override;
  void EndInformHostOfParamChange(int idx) override;
  void InformHostOfProgramChange() override {}
  // Transport, from the last process context that carried one (audio thread, during process).
  int GetSamplePos() override;
  double GetTempo() override;
  void GetTimeSig(int* numerator, int* denominator) override;
  void GetTime(ITimeInfo* timeInfo) override;
  bool IsRenderingOffline() override;
  // Asks the host frame of the first view for the size (nothing without editor, view or frame).
  void ResizeGraphics(int w, int h) override;
  // Also tells the host (restartComponent with kLatencyChanged). User-interface thread.
  bool SetLatency(int samples) override;
  bool SendMidiMsg(IMidiMsg*) override { return false; }
  // Opens the host's context menu for a parameter over the first open editor view.
  bool PopupHostContextMenuForParam(int paramIdx, int x, int y) override;

  // The audio bus at index, or null when there is none.
  Steinberg::Vst::AudioBus* getAudioInput(int index);
  Steinberg::Vst::AudioBus* getAudioOutput(int index);
  // kMono, kStereo, k30Music, k40Music, k50, k60Music, k70Music, k80Music for 1-8; otherwise 0.
  static Steinberg::Vst::SpeakerArrangement getSpeakerArrForChans(int n);

  // Editor views register here while they exist (not owned). Removing any view empties the
  // whole list: only the first view is ever used, for resizing and the host context menu.
  void AddView(Steinberg::IPlugView* view);
  void RemoveView(Steinberg::IPlugView* view);

  OBJ_METHODS(IPlugVST3, SingleComponentEffect)
  DEFINE_INTERFACES
    DEF_INTERFACE(Steinberg::Vst::IProcessContextRequirements)
  END_DEFINE_INTERFACES(SingleComponentEffect)
  REFCOUNT_METHODS(SingleComponentEffect)

private:
  // One host channel pointer per plug-in channel, typed by the call's sample size.
  template <class T> struct ChannelPtrs
  {
    std::vector<T*> mIn, mOut;
  };

  // initialize's steps: the buses, the published parameter list, the host's name.
  void AddBuses();
  void AddParameters();
  void AddParameter(Steinberg::IPtr<Steinberg::Vst::Parameter> param);
  void IdentifyHost(Steinberg::FUnknown* context);
  bool SetArrangementsForEffect(Steinberg::Vst::SpeakerArrangement* inputs, Steinberg::int32 numIns,
                                Steinberg::Vst::SpeakerArrangement* outputs, Steinberg::int32 numOuts);
  bool SetArrangementsForInstrument(Steinberg::Vst::SpeakerArrangement* inputs, Steinberg::int32 numIns,
                                    Steinberg::Vst::SpeakerArrangement* outputs, Steinberg::int32 numOuts);
  void ApplyParameterChanges(Steinberg::Vst::IParameterChanges* changes);
  void SendMidiEvents(Steinberg::Vst::IEventList* events, int sliceStart, int sliceLen, bool lastSlice);
  template <class T> void ProcessAudio(Steinberg::Vst::ProcessData& data, ChannelPtrs<T>& ptrs);
  template <class T> void MapInputs(Steinberg::Vst::ProcessData& data, ChannelPtrs<T>& ptrs);
  template <class T> void MapOutputs(Steinberg::Vst::ProcessData& data, ChannelPtrs<T>& ptrs);
  template <class T> static void SilenceOutputs(Steinberg::Vst::ProcessData& data, int nFrames);

  int mScChans;
  bool mSidechainActive = false;
  bool mInitialized = false;
  bool mIsSetUp = false;  // a setupProcessing has succeeded since construction
  Steinberg::Vst::ProcessContext mProcessContext = {};
  std::vector<Steinberg::IPlugView*> mViews;
  ChannelPtrs<float> mPtrs32;
  ChannelPtrs<double> mPtrs64;
};
