#pragma once
// Host-side event list handed to IAudioProcessor::process (input events, and the list a plug-in
// writes its output events into). Owned by the host, not reference-counted; filled and read on the
// processing thread. Capacity is reserved up front; adding within it does not allocate.
#include "pluginterfaces/vst/ivstevents.h"
#include <vector>

namespace vst3host {

class EventList : public Steinberg::Vst::IEventList
{
public:
  explicit EventList(int capacity = 256) { mEvents.reserve(capacity); }
  void Clear() { mEvents.clear(); }

  Steinberg::int32 PLUGIN_API getEventCount() override { return static_cast<Steinberg::int32>(mEvents.size()); }
  Steinberg::tresult PLUGIN_API getEvent(Steinberg::int32 index, Steinberg::Vst::Event& e) override;
  // Events are kept in the order they are added; hosts add them sorted by sample offset.
  Steinberg::tresult PLUGIN_API addEvent(Steinberg::Vst::Event& e) override;

  Steinberg::tresult PLUGIN_API queryInterface(const Steinberg::TUID iid, void** obj) override;
  Steinberg::uint32 PLUGIN_API addRef() override { return 1; }
  Steinberg::uint32 PLUGIN_API release() override { return 1; }

private:
  std::vector<Steinberg::Vst::Event> mEvents;
};

} // namespace vst3host
