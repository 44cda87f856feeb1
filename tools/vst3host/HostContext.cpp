#include "HostContext.h"

#include "Text.h"

using namespace Steinberg;
using namespace Steinberg::Vst;

namespace vst3host {

tresult PLUGIN_API HostContext::getName(String128 name)
{
  ToString128("brelix", name);
  return kResultOk;
}

tresult PLUGIN_API ComponentHandler::restartComponent(int32 flags)
{
  mRestartFlags |= flags;
  return kResultOk;
}

int32 ComponentHandler::TakeRestartFlags()
{
  const int32 flags = mRestartFlags;
  mRestartFlags = 0;
  return flags;
}

tresult PLUGIN_API ComponentHandler::queryInterface(const TUID iid, void** obj)
{
  if (FUnknownPrivate::iidEqual(iid, IComponentHandler::iid) || FUnknownPrivate::iidEqual(iid, FUnknown::iid))
  {
    *obj = static_cast<IComponentHandler*>(this);
    return kResultOk;
  }
  *obj = nullptr;
  return kNoInterface;
}

} // namespace vst3host
