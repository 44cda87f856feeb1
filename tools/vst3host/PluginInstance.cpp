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
T* queryFrom(FUnknown* object)
{
  if (!object)
    return nullptr;
  void* result = nullptr;
  if (object->queryInterface(T::iid, &result) != kResultOk)
    return nullptr;
  return static_cast<T*>(result);
}

} // namespace

PluginInstance::PluginInstance(const Vst3Module& module, const ClassDescription& cls) : class_(cls)
{
  const std::string who = "'" + cls.name + "'";
  try
  {
    void* object = nullptr;
    const tresult created = module.factory()->createInstance(cls.cid.data(), IComponent::iid, &object);
    if (created != kResultOk || !object)
      throw HostError("the factory could not create " + who);
    component_ = static_cast<IComponent*>(object);

    if (component_->initialize(&hostContext_) != kResultOk)
      throw HostError(who + " failed to initialise");
    componentInitialized_ = true;

    processor_ = queryFrom<IAudioProcessor>(component_);
    if (!processor_)
      throw HostError(who + " is not an audio processor (no IAudioProcessor)");

    createController(module);
    if (controller_)
    {
      connect();
      controller_->setComponentHandler(&handler_);
      syncControllerToComponent();
    }
  }
  catch (...)
  {
    shutdown();
    throw;
  }
}

void PluginInstance::createController(const Vst3Module& module)
{
  controller_ = queryFrom<IEditController>(component_);
  if (controller_)
  {
    singleComponent_ = true;
    return;
  }

  TUID controllerId{};
  if (component_->getControllerClassId(controllerId) != kResultOk)
    return; // a processor without a controller: it simply has no parameters to offer
  void* object = nullptr;
  if (module.factory()->createInstance(controllerId, IEditController::iid, &object) != kResultOk || !object)
    throw HostError("the factory could not create the edit controller of '" + class_.name + "'");
  controller_ = static_cast<IEditController*>(object);
  if (controller_->initialize(&hostContext_) != kResultOk)
    throw HostError("the edit controller of '" + class_.name + "' failed to initialise");
  controllerInitialized_ = true;
}

void PluginInstance::connect()
{
  if (singleComponent_)
    return;
  componentConnection_ = queryFrom<IConnectionPoint>(component_);
  controllerConnection_ = queryFrom<IConnectionPoint>(controller_);
  if (componentConnection_ && controllerConnection_)
  {
    componentConnection_->connect(controllerConnection_);
    controllerConnection_->connect(componentConnection_);
  }
}

PluginInstance::~PluginInstance()
{
  shutdown();
}

void PluginInstance::shutdown()
{
  if (componentConnection_ && controllerConnection_)
  {
    componentConnection_->disconnect(controllerConnection_);
    controllerConnection_->disconnect(componentConnection_);
  }
  if (componentConnection_)
    componentConnection_->release();
  if (controllerConnection_)
    controllerConnection_->release();
  componentConnection_ = controllerConnection_ = nullptr;

  if (controller_)
  {
    controller_->setComponentHandler(nullptr);
    if (controllerInitialized_)
      controller_->terminate();
    controller_->release();
    controller_ = nullptr;
  }
  if (processor_)
  {
    processor_->release();
    processor_ = nullptr;
  }
  if (component_)
  {
    if (componentInitialized_)
      component_->terminate();
    component_->release();
    component_ = nullptr;
  }
  componentInitialized_ = controllerInitialized_ = false;
}

void PluginInstance::syncControllerToComponent()
{
  if (!controller_)
    return;
  MemoryStream stream;
  // An empty state has nothing to pass on (and some controllers assert on reading one).
  if (component_->getState(&stream) != kResultOk || stream.getSize() == 0)
    return;
  stream.seek(0, IBStream::kIBSeekSet, nullptr);
  controller_->setComponentState(&stream);
}

std::vector<ParameterDescription> PluginInstance::parameters() const
{
  std::vector<ParameterDescription> result;
  if (!controller_)
    return result;
  const int32 count = controller_->getParameterCount();
  for (int32 i = 0; i < count; ++i)
  {
    ParameterInfo info{};
    if (controller_->getParameterInfo(i, info) != kResultOk)
      continue;
    ParameterDescription d;
    d.id = info.id;
    d.title = toUtf8(info.title);
    d.shortTitle = toUtf8(info.shortTitle);
    d.units = toUtf8(info.units);
    d.stepCount = info.stepCount;
    d.defaultNormalized = info.defaultNormalizedValue;
    d.unitId = info.unitId;
    d.flags = info.flags;
    result.push_back(d);
  }
  return result;
}

double PluginInstance::normalizedToPlain(ParamID id, double normalized) const
{
  return controller_ ? controller_->normalizedParamToPlain(id, normalized) : normalized;
}

double PluginInstance::plainToNormalized(ParamID id, double plain) const
{
  return controller_ ? controller_->plainParamToNormalized(id, plain) : plain;
}

std::string PluginInstance::valueText(ParamID id, double normalized) const
{
  String128 text{};
  if (!controller_ || controller_->getParamStringByValue(id, normalized, text) != kResultOk)
    return {};
  text[127] = 0;
  return toUtf8(text);
}

bool PluginInstance::textToNormalized(ParamID id, const std::string& text, double& normalized) const
{
  if (!controller_)
    return false;
  String128 wide{};
  toString128(text, wide);
  return controller_->getParamValueByString(id, wide, normalized) == kResultOk;
}

} // namespace vst3host
