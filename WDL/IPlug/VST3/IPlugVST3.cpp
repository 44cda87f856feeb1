// Construction, initialisation, buses and their arrangements, processing set-up, latency and
// transport. Processing is in IPlugVST3Process.cpp, the controller in IPlugVST3Controller.cpp.
#include "IPlugVST3.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "IPlugParameter.h"
#include "VST3Guard.h"
#include "VST3Text.h"
#include "pluginterfaces/vst/ivsthostapplication.h"

using namespace Steinberg;
using namespace Steinberg::Vst;

static int ChannelCount(SpeakerArrangement arr)
{
  return SpeakerArr::getChannelCount(arr);
}

IPlugVST3::IPlugVST3(IPlugInstanceInfo, int nParams, const char* channelIOStr, int nPresets, const char* effectName,
                     const char* productName, const char* mfrName, int vendorVersion, int uniqueID, int mfrID,
                     int latency, bool plugDoesMidi, bool plugDoesChunks, bool plugIsInst, int plugScChans)
  : IPlugBase(nParams, channelIOStr, nPresets, effectName, productName, mfrName, vendorVersion, uniqueID, mfrID,
              latency, plugDoesMidi, plugDoesChunks, plugIsInst, kAPIVST3),
    mScChans(std::clamp(plugScChans, 0, NInChannels()))
{
  SetInputChannelConnections(0, NInChannels(), true);
  SetOutputChannelConnections(0, NOutChannels(), true);
  CreateLatencyDelayLine();

  SetInputBusLabel(0, "Main Input");
  if (mScChans) SetInputBusLabel(1, "Aux Input");
  if (IsInst())
  {
    char label[32];
    for (int k = 0; k < NOutChannels(); k += 2)
    {
      std::snprintf(label, sizeof(label), "Output %i", k / 2 + 1);
      SetOutputBusLabel(k / 2, label);
    }
  }
  else
    SetOutputBusLabel(0, "Output");

  // Sized once here: the channel counts never change, so process() never allocates.
  mPtrs32.mIn.assign(static_cast<size_t>(NInChannels()), nullptr);
  mPtrs32.mOut.assign(static_cast<size_t>(NOutChannels()), nullptr);
  mPtrs64.mIn.assign(static_cast<size_t>(NInChannels()), nullptr);
  mPtrs64.mOut.assign(static_cast<size_t>(NOutChannels()), nullptr);
}

IPlugVST3::~IPlugVST3() = default;

// Bus names are 8-bit framework labels; the SDK's buses take UTF-16.
struct BusName
{
  explicit BusName(const char* label) { CopyToUTF16(mText, 128, label); }
  String128 mText;
};

tresult PLUGIN_API IPlugVST3::initialize(FUnknown* context)
{
  // A repeated initialize (the base lets a null context through twice) must not disturb the
  // running instance.
  if (mInitialized) return kResultFalse;
  tresult result = SingleComponentEffect::initialize(context);
  if (result != kResultOk) return result;

  // The buses and the parameter list are built first; when that fails (out of memory) the
  // instance is taken back to where it was before the call, so the host may try again.
  result = Guarded([this] {
    AddBuses();
    AddParameters();
    return kResultOk;
  });
  if (result != kResultOk)
  {
    mParamGroups.Empty(false);
    SingleComponentEffect::terminate();
    return result;
  }
  mInitialized = true;

  return Guarded([this, context] {
    IdentifyHost(context);
    OnHostIdentified();
    RestorePreset(0);
    return kResultOk;
  });
}

void IPlugVST3::IdentifyHost(FUnknown* context)
{
  IHostApplication* app = nullptr;
  if (!context || context->queryInterface(IHostApplication::iid, reinterpret_cast<void**>(&app)) != kResultOk || !app)
    return;
  String128 name16 = {};
  char name[128] = {};
  if (app->getName(name16) == kResultOk)
  {
    name16[127] = 0;
    CopyFromUTF16(name, sizeof(name), name16);
  }
  SetHost(name, 0);
  app->release();
}

void IPlugVST3::AddBuses()
{
  int nMain = NInChannels() - mScChans;
  if (nMain >= 1 && nMain <= 8)
    addAudioInput(BusName(GetInputBusLabel(0)).mText, getSpeakerArrForChans(nMain));
  if (IsInst())
  {
    for (int k = 0; k < NOutChannels(); k += 2)
      addAudioOutput(BusName(GetOutputBusLabel(k / 2)).mText, SpeakerArr::kStereo);
  }
  else
    addAudioOutput(BusName(GetOutputBusLabel(0)).mText, getSpeakerArrForChans(NOutChannels()));
  if (mScChans)
  {
    if (mScChans > 2) mScChans = 2;
    addAudioInput(BusName(GetInputBusLabel(1)).mText, getSpeakerArrForChans(mScChans), kAux, 0);
  }
  if (DoesMIDI()) addEventInput(STR16("MIDI Input"), 1);
}

namespace
{
// The host's "Bypass": a two-entry list whose entries are stored without growing the list, so
// that running out of memory cannot lose an entry's text.
class BypassParameter : public StringListParameter
{
public:
  BypassParameter()
    : StringListParameter(STR16("Bypass"), IPlugVST3::kBypassParamTag, nullptr,
                          ParameterInfo::kCanAutomate | ParameterInfo::kIsList | ParameterInfo::kIsBypass,
                          kRootUnitId)
  {
    strings.reserve(2);
    appendString(STR16("off"));
    appendString(STR16("on"));
  }
};
}  // namespace

void IPlugVST3::AddParameter(IPtr<Parameter> param)
{
  // The container adopts the reference it is given. When memory runs out inside it, that
  // reference has either been dropped already (its list could not grow) or is still ours (its
  // id map could not grow); the count tells which, so the parameter never leaks.
  param->addRef();
  try
  {
    parameters.addParameter(param);
  }
  catch (...)
  {
    if (param->getRefCount() > 1) param->release();
    throw;
  }
}

void IPlugVST3::AddParameters()
{
  if (NPresets() > 0)
  {
    ParameterInfo info = {};
    CopyToUTF16(info.title, 128, "Preset");
    info.stepCount = NPresets();
    info.flags = ParameterInfo::kIsProgramChange;
    info.id = kPresetParamTag;
    info.unitId = kRootUnitId;
    AddParameter(owned(new Parameter(info)));
  }
  if (!IsInst()) AddParameter(owned(new BypassParameter));

  mParamGroups.Empty(false);
  for (int i = 0; i < NParams(); ++i)
  {
    IParam* param = GetParam(i);
    const char* group = param->GetParamGroupForHost();
    UnitID unit = kRootUnitId;
    if (group && *group)
    {
      int j = 0;
      while (j < mParamGroups.GetSize() && std::strcmp(mParamGroups.Get(j), group) != 0) ++j;
      if (j == mParamGroups.GetSize()) mParamGroups.Add(group);
      unit = j + 1;
    }
    AddParameter(owned(new IPlugParameter(param, static_cast<ParamID>(i), unit)));
  }
}

tresult PLUGIN_API IPlugVST3::terminate()
{
  WDL_MutexLock lock(&mMutex);
  mParamGroups.Empty(false);
  mInitialized = false;
  return SingleComponentEffect::terminate();
}

AudioBus* IPlugVST3::getAudioInput(int index)
{
  if (index < 0 || index >= static_cast<int>(audioInputs.size())) return nullptr;
  return FCast<AudioBus>(audioInputs[static_cast<size_t>(index)].get());
}

AudioBus* IPlugVST3::getAudioOutput(int index)
{
  if (index < 0 || index >= static_cast<int>(audioOutputs.size())) return nullptr;
  return FCast<AudioBus>(audioOutputs[static_cast<size_t>(index)].get());
}

SpeakerArrangement IPlugVST3::getSpeakerArrForChans(int n)
{
  switch (n)
  {
    case 1: return SpeakerArr::kMono;
    case 2: return SpeakerArr::kStereo;
    case 3: return SpeakerArr::k30Music;
    case 4: return SpeakerArr::k40Music;
    case 5: return SpeakerArr::k50;
    case 6: return SpeakerArr::k60Music;
    case 7: return SpeakerArr::k70Music;
    case 8: return SpeakerArr::k80Music;
    default: return SpeakerArr::kEmpty;
  }
}

tresult PLUGIN_API IPlugVST3::setBusArrangements(SpeakerArrangement* inputs, int32 numIns, SpeakerArrangement* outputs,
                                                 int32 numOuts)
{
  if (numIns < 0 || numOuts < 0 || (numIns > 0 && !inputs) || (numOuts > 0 && !outputs)) return kInvalidArgument;
  WDL_MutexLock lock(&mMutex);
  return Guarded([&] {
    bool ok = IsInst() ? SetArrangementsForInstrument(inputs, numIns, outputs, numOuts)
                       : SetArrangementsForEffect(inputs, numIns, outputs, numOuts);
    if (!ok) return kResultFalse;
    // Connections are made again by every process call.
    SetInputChannelConnections(0, NInChannels(), false);
    SetOutputChannelConnections(0, NOutChannels(), false);
    return kResultTrue;
  });
}

// Everything is checked, and every new bus made, before anything changes, so a refused
// arrangement (or one that runs out of memory) leaves the buses as they were. An accepted
// arrangement is stored exactly as the host gave it.
bool IPlugVST3::SetArrangementsForEffect(SpeakerArrangement* inputs, int32 numIns, SpeakerArrangement* outputs,
                                         int32 numOuts)
{
  if (numOuts < 1) return false;
  int nMain = NInChannels() - mScChans;
  if (numIns < 1 && nMain > 0) return false;
  int nIn = numIns > 0 ? ChannelCount(inputs[0]) : 0;
  int nOut = ChannelCount(outputs[0]);
  if (!LegalIO(nIn, nOut) || nIn > nMain) return false;

  int nSc = 0;
  if (mScChans == 0)
  {
    if (numIns > 1) return false;
  }
  else
  {
    if (numIns != 2) return false;
    nSc = ChannelCount(inputs[1]);
    if (nSc < 1 || nSc > mScChans) return false;
  }

  AudioBus* in0 = getAudioInput(0);
  AudioBus* in1 = getAudioInput(1);
  bool rebuildInputs = numIns > 0 && (!in0 || ChannelCount(in0->getArrangement()) != nIn ||
                                      (nSc && (!in1 || ChannelCount(in1->getArrangement()) != nSc)));
  AudioBus* out0 = getAudioOutput(0);
  bool rebuildOutput = !out0 || ChannelCount(out0->getArrangement()) != nOut;

  IPtr<Bus> newIn0, newIn1, newOut;
  if (rebuildInputs)
  {
    newIn0 = owned(new AudioBus(STR16("Input"), kMain, BusInfo::kDefaultActive, inputs[0]));
    if (nSc) newIn1 = owned(new AudioBus(STR16("Sidechain Input"), kAux, 0, inputs[1]));
    audioInputs.reserve(nSc ? 2 : 1);
  }
  if (rebuildOutput)
  {
    newOut = owned(new AudioBus(STR16("Output"), kMain, BusInfo::kDefaultActive, outputs[0]));
    audioOutputs.reserve(1);
  }

  // Nothing below allocates.
  if (rebuildInputs)
  {
    audioInputs.clear();
    audioInputs.push_back(std::move(newIn0));
    if (nSc) audioInputs.push_back(std::move(newIn1));
  }
  else
  {
    if (in0) in0->setArrangement(inputs[0]);
    if (in1 && nSc) in1->setArrangement(inputs[1]);
  }
  if (rebuildOutput)
  {
    audioOutputs.clear();
    audioOutputs.push_back(std::move(newOut));
  }
  else
    out0->setArrangement(outputs[0]);
  return true;
}

// An instrument's outputs are fixed stereo pairs: only its own arrangement is accepted.
bool IPlugVST3::SetArrangementsForInstrument(SpeakerArrangement* inputs, int32 numIns, SpeakerArrangement* outputs,
                                             int32 numOuts)
{
  if (numIns != static_cast<int32>(audioInputs.size()) || numOuts != static_cast<int32>(audioOutputs.size()))
    return false;
  for (int32 i = 0; i < numIns; ++i)
  {
    AudioBus* bus = getAudioInput(i);
    if (!bus || bus->getArrangement() != inputs[i]) return false;
  }
  for (int32 i = 0; i < numOuts; ++i)
  {
    AudioBus* bus = getAudioOutput(i);
    if (!bus || bus->getArrangement() != outputs[i]) return false;
  }
  return true;
}

tresult PLUGIN_API IPlugVST3::activateBus(MediaType type, BusDirection dir, int32 index, TBool state)
{
  WDL_MutexLock lock(&mMutex);
  return SingleComponentEffect::activateBus(type, dir, index, state);
}

tresult PLUGIN_API IPlugVST3::setupProcessing(ProcessSetup& setup)
{
  if (setup.symbolicSampleSize != kSample32 && setup.symbolicSampleSize != kSample64) return kResultFalse;
  if (!std::isfinite(setup.sampleRate) || setup.sampleRate <= 0.0) return kResultFalse;
  if (setup.maxSamplesPerBlock < 1 || setup.maxSamplesPerBlock > kMaxBlockSize) return kResultFalse;

  WDL_MutexLock lock(&mMutex);
  if (!SetBlockSize(setup.maxSamplesPerBlock)) return kOutOfMemory;
  SetSampleRate(setup.sampleRate);
  // The bypass is left alone: it belongs to the restored state and the host's "Bypass".
  tresult result = Guarded([this] {
    Reset();
    return kResultOk;
  });
  if (result != kResultOk) return result;
  processSetup = setup;
  mIsSetUp = true;
  return kResultOk;
}

tresult PLUGIN_API IPlugVST3::setActive(TBool state)
{
  return Guarded([this, state] {
    OnActivate(state != 0);
    return kResultOk;
  });
}

tresult PLUGIN_API IPlugVST3::canProcessSampleSize(int32 symbolicSampleSize)
{
  return symbolicSampleSize == kSample32 || symbolicSampleSize == kSample64 ? kResultTrue : kResultFalse;
}

uint32 PLUGIN_API IPlugVST3::getLatencySamples()
{
  return static_cast<uint32>(std::max(GetLatency(), 0));
}

uint32 PLUGIN_API IPlugVST3::getTailSamples()
{
  return static_cast<uint32>(std::max(GetTailSize(), 0));
}

uint32 PLUGIN_API IPlugVST3::getProcessContextRequirements()
{
  using R = IProcessContextRequirements::Flags;
  return R::kNeedProjectTimeMusic | R::kNeedBarPositionMusic | R::kNeedCycleMusic | R::kNeedTempo |
         R::kNeedTimeSignature | R::kNeedTransportState;
}

bool IPlugVST3::SetLatency(int samples)
{
  if (!IPlugBase::SetLatency(samples)) return false;
  IComponentHandler* handler = getComponentHandler();
  if (handler) handler->restartComponent(kLatencyChanged);
  return true;
}

int IPlugVST3::GetSamplePos()
{
  return static_cast<int>(mProcessContext.projectTimeSamples);
}

double IPlugVST3::GetTempo()
{
  return mProcessContext.tempo;
}

void IPlugVST3::GetTimeSig(int* numerator, int* denominator)
{
  if (numerator) *numerator = mProcessContext.timeSigNumerator;
  if (denominator) *denominator = mProcessContext.timeSigDenominator;
}

void IPlugVST3::GetTime(ITimeInfo* t)
{
  if (!t) return;
  const ProcessContext& c = mProcessContext;
  t->mTempo = c.tempo;
  t->mSamplePos = static_cast<double>(c.projectTimeSamples);
  t->mPPQPos = c.projectTimeMusic;
  t->mLastBar = c.barPositionMusic;
  t->mCycleStart = c.cycleStartMusic;
  t->mCycleEnd = c.cycleEndMusic;
  t->mNumerator = c.timeSigNumerator;
  t->mDenominator = c.timeSigDenominator;
  t->mTransportIsRunning = (c.state & ProcessContext::kPlaying) != 0;
  t->mTransportLoopEnabled = (c.state & ProcessContext::kCycleActive) != 0;
}

bool IPlugVST3::IsRenderingOffline()
{
  return processSetup.processMode == kOffline;
}

void IPlugVST3::AddView(IPlugView* view)
{
  if (view && std::find(mViews.begin(), mViews.end(), view) == mViews.end()) mViews.push_back(view);
}

void IPlugVST3::RemoveView(IPlugView*)
{
  mViews.clear();
}
