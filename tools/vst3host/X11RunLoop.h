#pragma once
// The run loop a Linux host offers its plug-ins' editors (Steinberg::Linux::IRunLoop): handlers
// of file descriptors, called when the descriptor is readable, and timers, called at their
// interval, all on the thread that calls Pump. Handlers may register and unregister anything,
// themselves included, while they run. Owned by the host: references are counted (so a host can
// check that every one was given back) but never delete it; it must outlive every view it was
// handed to. Main thread only.
#include "pluginterfaces/gui/iplugview.h"

#include <atomic>
#include <functional>
#include <vector>

namespace vst3host {

class X11RunLoop : public Steinberg::Linux::IRunLoop
{
public:
  X11RunLoop() = default;
  ~X11RunLoop();
  X11RunLoop(const X11RunLoop&) = delete;
  X11RunLoop& operator=(const X11RunLoop&) = delete;

  Steinberg::tresult PLUGIN_API registerEventHandler(Steinberg::Linux::IEventHandler* handler,
                                                     Steinberg::Linux::FileDescriptor fd) override;
  Steinberg::tresult PLUGIN_API unregisterEventHandler(Steinberg::Linux::IEventHandler* handler) override;
  Steinberg::tresult PLUGIN_API registerTimer(Steinberg::Linux::ITimerHandler* handler,
                                              Steinberg::Linux::TimerInterval milliseconds) override;
  Steinberg::tresult PLUGIN_API unregisterTimer(Steinberg::Linux::ITimerHandler* handler) override;
  Steinberg::tresult PLUGIN_API queryInterface(const Steinberg::TUID iid, void** obj) override;
  Steinberg::uint32 PLUGIN_API addRef() override { return static_cast<Steinberg::uint32>(++mRefs); }
  Steinberg::uint32 PLUGIN_API release() override { return static_cast<Steinberg::uint32>(--mRefs); }

  // Runs for `ms` milliseconds, also watching `hostFd` (the host's own connection; -1: none),
  // whose readiness calls onHostFd.
  void Pump(int ms, int hostFd = -1, const std::function<void()>& onHostFd = {});
  // Runs until done() or `ms` have passed; returns done().
  bool PumpUntil(const std::function<bool()>& done, int ms = 2000);

  int TimerCount() const { return static_cast<int>(mTimers.size()); }
  int TimerInterval(int index) const { return static_cast<int>(mTimers.at(static_cast<size_t>(index)).intervalMs); }
  int TimerCalls() const { return mTimerCalls; }  // since construction
  int HandlerCount() const { return static_cast<int>(mHandlers.size()); }
  int RefCount() const { return mRefs.load(); }  // 1 when nobody else holds it

private:
  struct Handler
  {
    Steinberg::Linux::IEventHandler* handler;
    int fd;
  };
  struct Timer
  {
    Steinberg::Linux::ITimerHandler* handler;
    long long intervalMs;
    long long dueMs;
  };
  std::vector<Handler> mHandlers;
  std::vector<Timer> mTimers;
  int mTimerCalls = 0;
  std::atomic<int> mRefs{1};
};

} // namespace vst3host
