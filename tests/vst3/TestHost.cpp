#include "TestHost.h"

#include <dlfcn.h>

#include <cstring>

#include "public.sdk/source/common/memorystream.h"

namespace vst3test
{
std::string BundlePath(const std::string& name)
{
  return std::string(BRELIX_VST3_DIR) + "/" + name + ".vst3";
}

std::string Narrow(const char16* text)
{
  std::string out;
  for (; text && *text; ++text) out += *text < 0x100 ? static_cast<char>(*text) : '?';
  return out;
}

std::u16string Widen(const std::string& text)
{
  std::u16string out;
  for (unsigned char c : text) out += static_cast<char16_t>(c);
  return out;
}

// Vst3Module

Vst3Module::Vst3Module(const std::string& bundlePath, bool callEntry)
{
  std::string name = bundlePath.substr(bundlePath.find_last_of('/') + 1);
  name = name.substr(0, name.size() - 5);  // without ".vst3"
  std::string path = bundlePath + "/Contents/x86_64-linux/" + name + ".so";
  mHandle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!mHandle)
  {
    mError = dlerror();
    return;
  }
  entry = reinterpret_cast<EntryFn>(dlsym(mHandle, "ModuleEntry"));
  exit = reinterpret_cast<ExitFn>(dlsym(mHandle, "ModuleExit"));
  getFactory = reinterpret_cast<FactoryFn>(dlsym(mHandle, "GetPluginFactory"));
  if (callEntry && entry) mEntered = entry(mHandle);
}

bool Vst3Module::Exit()
{
  if (!mEntered || !exit) return false;
  mEntered = false;
  return exit();
}

Vst3Module::~Vst3Module()
{
  Exit();
  if (mHandle) dlclose(mHandle);
}

// Host objects

template <class I> static tresult QueryHostObject(I* self, const TUID iid, void** obj)
{
  if (FUnknownPrivate::iidEqual(iid, FUnknown::iid) || FUnknownPrivate::iidEqual(iid, I::iid))
  {
    self->addRef();
    *obj = self;
    return kResultOk;
  }
  *obj = nullptr;
  return kNoInterface;
}

void ParamChanges::Add(ParamID tag, std::initializer_list<ParamValue> values)
{
  int32 offset = 0;
  for (ParamValue v : values) Add(tag, offset++, v);
}

void ParamChanges::AddEmpty(ParamID tag)
{
  int32 index = 0;
  addParameterData(tag, index);
}

void EventList::NoteOn(int32 offset, int16 pitch, float velocity, int16 channel)
{
  Event e = {};
  e.sampleOffset = offset;
  e.type = Event::kNoteOnEvent;
  e.noteOn.channel = channel;
  e.noteOn.pitch = pitch;
  e.noteOn.velocity = velocity;
  e.noteOn.noteId = -1;
  addEvent(e);
}

void EventList::NoteOff(int32 offset, int16 pitch, int16 channel)
{
  Event e = {};
  e.sampleOffset = offset;
  e.type = Event::kNoteOffEvent;
  e.noteOff.channel = channel;
  e.noteOff.pitch = pitch;
  e.noteOff.noteId = -1;
  addEvent(e);
}

tresult PLUGIN_API ComponentHandler::beginEdit(ParamID id)
{
  mEdits.push_back({'b', id, 0.0});
  return kResultOk;
}

tresult PLUGIN_API ComponentHandler::performEdit(ParamID id, ParamValue valueNormalized)
{
  mEdits.push_back({'p', id, valueNormalized});
  return kResultOk;
}

tresult PLUGIN_API ComponentHandler::endEdit(ParamID id)
{
  mEdits.push_back({'e', id, 0.0});
  return kResultOk;
}

tresult PLUGIN_API ComponentHandler::restartComponent(int32 flags)
{
  mRestarts.push_back(flags);
  return kResultOk;
}

namespace
{
// A context menu that counts its pop-ups on the handler that made it; deleted by its release.
class RecordingMenu final : public IContextMenu
{
public:
  explicit RecordingMenu(ComponentHandler* handler) : mHandler(handler) {}
  int32 PLUGIN_API getItemCount() override { return 0; }
  tresult PLUGIN_API getItem(int32, Item&, IContextMenuTarget**) override { return kResultFalse; }
  tresult PLUGIN_API addItem(const Item&, IContextMenuTarget*) override { return kResultOk; }
  tresult PLUGIN_API removeItem(const Item&, IContextMenuTarget*) override { return kResultOk; }
  tresult PLUGIN_API popup(UCoord x, UCoord y) override
  {
    ++mHandler->mMenusPoppedUp;
    mHandler->mMenuX = x;
    mHandler->mMenuY = y;
    return kResultOk;
  }
  tresult PLUGIN_API queryInterface(const TUID iid, void** obj) override
  {
    return QueryHostObject<IContextMenu>(this, iid, obj);
  }
  uint32 PLUGIN_API addRef() override { return static_cast<uint32>(++mRefs); }
  uint32 PLUGIN_API release() override
  {
    int32 n = --mRefs;
    if (n == 0) delete this;
    return static_cast<uint32>(n);
  }

private:
  ComponentHandler* mHandler;
  std::atomic<int32> mRefs{1};
};
}  // namespace

IContextMenu* PLUGIN_API ComponentHandler::createContextMenu(IPlugView*, const ParamID* paramID)
{
  mMenuParam = paramID ? *paramID : 0;
  return new RecordingMenu(this);
}

tresult PLUGIN_API ComponentHandler::queryInterface(const TUID iid, void** obj)
{
  if (FUnknownPrivate::iidEqual(iid, IComponentHandler3::iid))
  {
    addRef();
    *obj = static_cast<IComponentHandler3*>(this);
    return kResultOk;
  }
  return QueryHostObject<IComponentHandler>(this, iid, obj);
}

// AudioBlock

template <class T>
AudioBlock<T>::AudioBlock(const std::vector<int>& inChannels, const std::vector<int>& outChannels, int nFrames)
{
  auto build = [nFrames](const std::vector<int>& chans, auto& bufs, auto& ptrs, auto& buses) {
    bufs.resize(chans.size());
    ptrs.resize(chans.size());
    buses.resize(chans.size());
    for (size_t b = 0; b < chans.size(); ++b)
    {
      bufs[b].assign(static_cast<size_t>(chans[b]), std::vector<T>(static_cast<size_t>(nFrames), T(0)));
      for (auto& ch : bufs[b]) ptrs[b].push_back(ch.data());
      buses[b].numChannels = chans[b];
      buses[b].silenceFlags = 0;
      if constexpr (sizeof(T) == 4)
        buses[b].channelBuffers32 = ptrs[b].data();
      else
        buses[b].channelBuffers64 = ptrs[b].data();
    }
  };
  build(inChannels, in, inPtrs, inBuses);
  build(outChannels, out, outPtrs, outBuses);
  data.processMode = kRealtime;
  data.symbolicSampleSize = sizeof(T) == 4 ? kSample32 : kSample64;
  data.numSamples = nFrames;
  data.numInputs = static_cast<int32>(inBuses.size());
  data.numOutputs = static_cast<int32>(outBuses.size());
  data.inputs = inBuses.empty() ? nullptr : inBuses.data();
  data.outputs = outBuses.empty() ? nullptr : outBuses.data();
}

template <class T> void AudioBlock<T>::PoisonOutputs(T value)
{
  for (auto& bus : out)
    for (auto& ch : bus) std::fill(ch.begin(), ch.end(), value);
}

template struct AudioBlock<float>;
template struct AudioBlock<double>;

// Vst3Instance

Vst3Instance::Vst3Instance(IPluginFactory* factory, FUnknown* hostContext, bool initialize)
{
  PClassInfo info;
  if (!factory || factory->getClassInfo(0, &info) != kResultOk) return;
  IComponent* raw = nullptr;
  if (factory->createInstance(info.cid, IComponent::iid, reinterpret_cast<void**>(&raw)) != kResultOk || !raw) return;
  component = owned(raw);
  processor = Query<IAudioProcessor>(component);
  controller = Query<IEditController>(component);
  units = Query<IUnitInfo>(component);
  connection = Query<IConnectionPoint>(component);
  contextRequirements = Query<IProcessContextRequirements>(component);
  if (!initialize) return;
  initResult = component->initialize(hostContext);
  mInitialized = initResult == kResultOk;
}

Vst3Instance::~Vst3Instance()
{
  if (mInitialized) component->terminate();
}

ParameterInfo Vst3Instance::ParamInfo(int32 index)
{
  ParameterInfo info = {};
  controller->getParameterInfo(index, info);
  return info;
}

int32 Vst3Instance::IndexOfTag(ParamID tag)
{
  for (int32 i = 0; i < ParamCount(); ++i)
    if (ParamInfo(i).id == tag) return i;
  return -1;
}

std::string Vst3Instance::ParamText(ParamID tag, ParamValue normalized)
{
  String128 text = {};
  if (controller->getParamStringByValue(tag, normalized, text) != kResultOk) return "<false>";
  return Narrow(text);
}

std::string Vst3Instance::BusName(MediaType type, BusDirection dir, int32 index)
{
  BusInfo info = {};
  if (component->getBusInfo(type, dir, index, info) != kResultOk) return "<none>";
  return Narrow(info.name);
}

void Vst3Instance::ActivateDefaultBuses()
{
  for (MediaType type : {kAudio, kEvent})
    for (BusDirection dir : {kInput, kOutput})
      for (int32 i = 0; i < component->getBusCount(type, dir); ++i)
      {
        BusInfo info = {};
        if (component->getBusInfo(type, dir, i, info) == kResultOk && (info.flags & BusInfo::kDefaultActive))
          component->activateBus(type, dir, i, true);
      }
}

tresult Vst3Instance::Setup(double sampleRate, int32 maxBlock, int32 sampleSize, int32 mode)
{
  ProcessSetup setup = {mode, sampleSize, maxBlock, sampleRate};
  return processor->setupProcessing(setup);
}

bool Vst3Instance::SaveState(std::vector<char>& bytes)
{
  MemoryStream stream;
  if (controller->getState(&stream) != kResultOk) return false;
  bytes.assign(stream.getData(), stream.getData() + stream.getSize());
  return true;
}

tresult Vst3Instance::LoadState(const std::vector<char>& bytes)
{
  MemoryStream stream;
  int32 written = 0;
  if (!bytes.empty()) stream.write(const_cast<char*>(bytes.data()), static_cast<int32>(bytes.size()), &written);
  stream.seek(0, IBStream::kIBSeekSet, nullptr);
  return controller->setState(&stream);
}
}  // namespace vst3test
