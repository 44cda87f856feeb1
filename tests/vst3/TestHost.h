#pragma once
// A VST3 host for tests. It loads a built bundle exactly as a DAW does (dlopen, ModuleEntry,
// GetPluginFactory, class info, createInstance, queryInterface for every interface) and drives
// the instances through the VST3 interfaces only. The host objects are its own: parameter-change
// queues, event lists, a component handler that records what the plug-in tells it, and audio
// buffers for process calls. Host objects are owned by the test; their release never deletes,
// and their reference counts can be read to check that the plug-in gives back what it takes.

#include <atomic>
#include <memory>
#include <string>
#include <vector>

#include "pluginterfaces/base/ipluginbase.h"
#include "pluginterfaces/base/smartpointer.h"
#include "pluginterfaces/vst/ivstaudioprocessor.h"
#include "pluginterfaces/vst/ivstcomponent.h"
#include "pluginterfaces/vst/ivstcontextmenu.h"
#include "pluginterfaces/vst/ivsteditcontroller.h"
#include "pluginterfaces/vst/ivstevents.h"
#include "pluginterfaces/vst/ivstmessage.h"
#include "pluginterfaces/vst/ivstparameterchanges.h"
#include "pluginterfaces/vst/ivstprocesscontext.h"
#include "pluginterfaces/vst/ivstunits.h"
#include "EventList.h"
#include "ParameterChanges.h"
#include "public.sdk/source/vst/hosting/hostclasses.h"

namespace vst3test
{
using namespace Steinberg;
using namespace Steinberg::Vst;

// ${build}/vst3/<name>.vst3
std::string BundlePath(const std::string& name);
// The text of a host string, narrowed character by character.
std::string Narrow(const char16* text);
std::u16string Widen(const std::string& text);

// One loaded module. The destructor calls ModuleExit (when ModuleEntry succeeded) and dlclose;
// everything obtained from the module must be released before.
class Vst3Module
{
public:
  using EntryFn = bool (*)(void*);
  using ExitFn = bool (*)();
  using FactoryFn = IPluginFactory* (*)();

  explicit Vst3Module(const std::string& bundlePath, bool callEntry = true);
  ~Vst3Module();
  Vst3Module(const Vst3Module&) = delete;
  Vst3Module& operator=(const Vst3Module&) = delete;

  bool Loaded() const { return mHandle != nullptr; }
  const std::string& Error() const { return mError; }
  void* Handle() const { return mHandle; }
  // Calls the module's ModuleExit now (the destructor then does not).
  bool Exit();

  EntryFn entry = nullptr;
  ExitFn exit = nullptr;
  FactoryFn getFactory = nullptr;

private:
  void* mHandle = nullptr;
  bool mEntered = false;
  std::string mError;
};

// Reference counting for host objects owned by the test.
class HostRefCount
{
public:
  int32 RefCount() const { return mRefs.load(); }

protected:
  uint32 AddRefImpl() { return static_cast<uint32>(++mRefs); }
  uint32 ReleaseImpl() { return static_cast<uint32>(--mRefs); }
  std::atomic<int32> mRefs{1};
};

// The command-line host's parameter changes and event list, with helpers for building a
// call's input: a queue per tag with points at offsets 0, 1, 2, ..., and note events.
class ParamChanges : public vst3host::ParameterChanges
{
public:
  using vst3host::ParameterChanges::Add;
  void Add(ParamID tag, std::initializer_list<ParamValue> values);
  // A queue with no points at all.
  void AddEmpty(ParamID tag);
};

class EventList : public vst3host::EventList
{
public:
  void NoteOn(int32 offset, int16 pitch, float velocity, int16 channel = 0);
  void NoteOff(int32 offset, int16 pitch, int16 channel = 0);
  void Add(Event e) { addEvent(e); }
};

// Records every edit and restart request; offers IComponentHandler3 with a menu that records
// for which parameter and where it was popped up.
class ComponentHandler : public IComponentHandler, public IComponentHandler3, public HostRefCount
{
public:
  struct Edit
  {
    char mKind;  // 'b' begin, 'p' perform, 'e' end
    ParamID mTag;
    ParamValue mValue;
  };
  std::vector<Edit> mEdits;
  std::vector<int32> mRestarts;
  int mMenusPoppedUp = 0;
  // The parameter and position of the last context menu.
  ParamID mMenuParam = 0;
  UCoord mMenuX = -1, mMenuY = -1;

  tresult PLUGIN_API beginEdit(ParamID id) override;
  tresult PLUGIN_API performEdit(ParamID id, ParamValue valueNormalized) override;
  tresult PLUGIN_API endEdit(ParamID id) override;
  tresult PLUGIN_API restartComponent(int32 flags) override;
  IContextMenu* PLUGIN_API createContextMenu(IPlugView* plugView, const ParamID* paramID) override;
  tresult PLUGIN_API queryInterface(const TUID iid, void** obj) override;
  uint32 PLUGIN_API addRef() override { return AddRefImpl(); }
  uint32 PLUGIN_API release() override { return ReleaseImpl(); }
};

// Audio buffers for one process call: buses of channels of frames, typed by sample size.
template <class T> struct AudioBlock
{
  AudioBlock(const std::vector<int>& inChannels, const std::vector<int>& outChannels, int nFrames);
  // Fills input bus b, channel c with f(frame).
  template <class F> void FillInput(int b, int c, F f)
  {
    for (size_t s = 0; s < in[b][c].size(); ++s) in[b][c][s] = static_cast<T>(f(static_cast<int>(s)));
  }
  // Sets every output sample to value (to see what the plug-in leaves untouched).
  void PoisonOutputs(T value);

  std::vector<std::vector<std::vector<T>>> in, out;
  std::vector<std::vector<T*>> inPtrs, outPtrs;
  std::vector<AudioBusBuffers> inBuses, outBuses;
  ProcessData data;
};

// One plug-in instance with every interface the host uses, initialised with a HostApplication.
class Vst3Instance
{
public:
  // Creates the class at index 0 of the factory (through IComponent, as hosts do) and
  // initialises it; Ok() says whether all went well.
  Vst3Instance(IPluginFactory* factory, FUnknown* hostContext, bool initialize = true);
  ~Vst3Instance();

  bool Ok() const { return component && processor && controller && initResult == kResultOk; }

  int32 ParamCount() { return controller->getParameterCount(); }
  ParameterInfo ParamInfo(int32 index);
  // Index of the parameter with the tag, or -1.
  int32 IndexOfTag(ParamID tag);
  std::string ParamText(ParamID tag, ParamValue normalized);
  std::string BusName(MediaType type, BusDirection dir, int32 index);
  // Activates every bus the plug-in marks default-active, as hosts do.
  void ActivateDefaultBuses();
  tresult Setup(double sampleRate, int32 maxBlock, int32 sampleSize = kSample32, int32 mode = kRealtime);
  // getState into a memory stream and back out as bytes.
  bool SaveState(std::vector<char>& bytes);
  tresult LoadState(const std::vector<char>& bytes);

  IPtr<IComponent> component;
  IPtr<IAudioProcessor> processor;
  IPtr<IEditController> controller;
  IPtr<IUnitInfo> units;
  IPtr<IConnectionPoint> connection;
  IPtr<IProcessContextRequirements> contextRequirements;
  tresult initResult = kNotInitialized;

private:
  bool mInitialized = false;
};

// Queries iid from obj; the returned pointer holds its own reference.
template <class I> IPtr<I> Query(FUnknown* obj)
{
  I* out = nullptr;
  if (!obj || obj->queryInterface(I::iid, reinterpret_cast<void**>(&out)) != kResultOk) return nullptr;
  return owned(out);
}
}  // namespace vst3test
