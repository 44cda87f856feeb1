#include "PluginInstance.h"

#include "HostError.h"
#include "Text.h"
#include "public.sdk/source/common/memorystream.h"
#include "pluginterfaces/vst/ivstmessage.h"

using namespace Steinberg;
using namespace Steinberg::Vst;

namespace vst3host {

namespace {

template <typename T>
T* QueryFrom(FUnknown* object)
{
  if (!object)
    return nullptr;
  void* result = nullptr;
  if (object->queryInterface(T::iid, &result) != kResultOk)
    return nullptr;
  return static_cast<T*>(result);
}

} // namespace

PluginInstance::PluginInstance(const Vst3Module& module, const ClassDescription& cls) : mClass(cls)
{
  const std::string who = "'" + cls.name + "'";
  try
  {
    void* object = nullptr;
    const tresult created = module.Factory()->createInstance(cls.cid.data(), IComponent::iid, &object);
    if (created != kResultOk || !object)
      throw HostError("the factory could not create " + who);
    mComponent = static_cast<IComponent*>(object);

    if (mComponent->initialize(&mHostContext) != kResultOk)
      throw HostError(who + " failed to initialise");
    mComponentInitialized = true;

    mProcessor = QueryFrom<IAudioProcessor>(mComponent);
    if (!mProcessor)
      throw HostError(who + " is not an audio processor (no IAudioProcessor)");

    CreateController(module);
    if (mController)
    {
      Connect();
      mController->setComponentHandler(&mHandler);
      SyncControllerToComponent();
    }
  }
  catch (...)
  {
    Shutdown();
    throw;
  }
}

void PluginInstance::CreateController(const Vst3Module& module)
{
  mController = QueryFrom<IEditController>(mComponent);
  if (mController)
  {
    mSingleComponent = true;
    return;
  }

  TUID controllerId{};
  if (mComponent->getControllerClassId(controllerId) != kResultOk)
    return; // a processor without a controller: it simply has no parameters to offer
  void* object = nullptr;
  if (module.Factory()->createInstance(controllerId, IEditController::iid, &object) != kResultOk || !object)
    throw HostError("the factory could not create the edit controller of '" + mClass.name + "'");
  mController = static_cast<IEditController*>(object);
  if (mController->initialize(&mHostContext) != kResultOk)
    throw HostError("the edit controller of '" + mClass.name + "' failed to initialise");
  mControllerInitialized = true;
}

void PluginInstance::Connect()
{
  if (mSingleComponent)
    return;
  mComponentConnection = QueryFrom<IConnectionPoint>(mComponent);
  mControllerConnection = QueryFrom<IConnectionPoint>(mController);
  if (mComponentConnection && mControllerConnection)
  {
    mComponentConnection->connect(mControllerConnection);
    mControllerConnection->connect(mComponentConnection);
  }
}

PluginInstance::~PluginInstance()
{
  Shutdown();
}

void PluginInstance::Shutdown()
{
  if (mComponentConnection && mControllerConnection)
  {
    mComponentConnection->disconnect(mControllerConnection);
    mControllerConnection->disconnect(mComponentConnection);
  }
  if (mComponentConnection)
    mComponentConnection->release();
  if (mControllerConnection)
    mControllerConnection->release();
  mComponentConnection = mControllerConnection = nullptr;

  if (mController)
  {
    mController->setComponentHandler(nullptr);
    if (mControllerInitialized)
      mController->terminate();
    mController->release();
    mController = nullptr;
  }
  if (mProcessor)
  {
    mProcessor->release();
    mProcessor = nullptr;
  }
  if (mComponent)
  {
    if (mComponentInitialized)
      mComponent->terminate();
    mComponent->release();
    mComponent = nullptr;
  }
  mComponentInitialized = mControllerInitialized = false;
}

void PluginInstance::SyncControllerToComponent()
{
  if (!mController)
    return;
  MemoryStream stream;
  // An empty state has nothing to pass on (and some controllers assert on reading one).
  if (mComponent->getState(&stream) != kResultOk || stream.getSize() == 0)
    return;
  stream.seek(0, IBStream::kIBSeekSet, nullptr);
  mController->setComponentState(&stream);
}

std::vector<ParameterDescription> PluginInstance::Parameters() const
{
  std::vector<ParameterDescription> result;
  if (!mController)
    return result;
  const int32 count = mController->getParameterCount();
  for (int32 i = 0; i < count; ++i)
  {
    ParameterInfo info{};
    if (mController->getParameterInfo(i, info) != kResultOk)
      continue;
    ParameterDescription d;
    d.id = info.id;
    d.title = ToUtf8(info.title);
    d.shortTitle = ToUtf8(info.shortTitle);
    d.units = ToUtf8(info.units);
    d.stepCount = info.stepCount;
    d.defaultNormalized = info.defaultNormalizedValue;
    d.unitId = info.unitId;
    d.flags = info.flags;
    result.push_back(d);
  }
  return result;
}

double PluginInstance::NormalizedToPlain(ParamID id, double normalized) const
{
  return mController ? mController->normalizedParamToPlain(id, normalized) : normalized;
}

double PluginInstance::PlainToNormalized(ParamID id, double plain) const
{
  return mController ? mController->plainParamToNormalized(id, plain) : plain;
}

std::string PluginInstance::ValueText(ParamID id, double normalized) const
{
  String128 text{};
  if (!mController || mController->getParamStringByValue(id, normalized, text) != kResultOk)
    return {};
  text[127] = 0;
  return ToUtf8(text);
}

bool PluginInstance::TextToNormalized(ParamID id, const std::string& text, double& normalized) const
{
  if (!mController)
    return false;
  String128 wide{};
  ToString128(text, wide);
  return mController->getParamValueByString(id, wide, normalized) == kResultOk;
}

} // namespace vst3host
