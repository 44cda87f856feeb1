#include "EventList.h"

using namespace Steinberg;
using namespace Steinberg::Vst;

namespace vst3host {

tresult PLUGIN_API EventList::getEvent(int32 index, Event& e)
{
  if (index < 0 || index >= getEventCount())
    return kInvalidArgument;
  e = mEvents[index];
  return kResultOk;
}

tresult PLUGIN_API EventList::addEvent(Event& e)
{
  mEvents.push_back(e);
  return kResultOk;
}

tresult PLUGIN_API EventList::queryInterface(const TUID iid, void** obj)
{
  if (FUnknownPrivate::iidEqual(iid, IEventList::iid) || FUnknownPrivate::iidEqual(iid, FUnknown::iid))
  {
    *obj = static_cast<IEventList*>(this);
    return kResultOk;
  }
  *obj = nullptr;
  return kNoInterface;
}

} // namespace vst3host
