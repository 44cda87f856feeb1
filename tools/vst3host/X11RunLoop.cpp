#include "X11RunLoop.h"

#include <poll.h>
#include <time.h>

#include <algorithm>

using namespace Steinberg;

namespace vst3host {
namespace {

long long NowMs()
{
  timespec ts{};
  clock_gettime(CLOCK_MONOTONIC, &ts);
  return static_cast<long long>(ts.tv_sec) * 1000 + ts.tv_nsec / 1000000;
}

} // namespace

X11RunLoop::~X11RunLoop()
{
  for (const Handler& h : mHandlers) h.handler->release();
  for (const Timer& t : mTimers) t.handler->release();
}

tresult PLUGIN_API X11RunLoop::registerEventHandler(Linux::IEventHandler* handler, Linux::FileDescriptor fd)
{
  if (!handler || fd < 0) return kInvalidArgument;
  handler->addRef();
  mHandlers.push_back({handler, fd});
  return kResultOk;
}

tresult PLUGIN_API X11RunLoop::unregisterEventHandler(Linux::IEventHandler* handler)
{
  auto it = std::find_if(mHandlers.begin(), mHandlers.end(), [&](const Handler& h) { return h.handler == handler; });
  if (it == mHandlers.end()) return kInvalidArgument;
  mHandlers.erase(it);
  handler->release();
  return kResultOk;
}

tresult PLUGIN_API X11RunLoop::registerTimer(Linux::ITimerHandler* handler, Linux::TimerInterval milliseconds)
{
  if (!handler || milliseconds == 0) return kInvalidArgument;
  handler->addRef();
  const long long interval = static_cast<long long>(milliseconds);
  mTimers.push_back({handler, interval, NowMs() + interval});
  return kResultOk;
}

tresult PLUGIN_API X11RunLoop::unregisterTimer(Linux::ITimerHandler* handler)
{
  auto it = std::find_if(mTimers.begin(), mTimers.end(), [&](const Timer& t) { return t.handler == handler; });
  if (it == mTimers.end()) return kInvalidArgument;
  mTimers.erase(it);
  handler->release();
  return kResultOk;
}

tresult PLUGIN_API X11RunLoop::queryInterface(const TUID iid, void** obj)
{
  if (FUnknownPrivate::iidEqual(iid, Linux::IRunLoop::iid) || FUnknownPrivate::iidEqual(iid, FUnknown::iid))
  {
    addRef();
    *obj = static_cast<Linux::IRunLoop*>(this);
    return kResultOk;
  }
  *obj = nullptr;
  return kNoInterface;
}

void X11RunLoop::Pump(int ms, int hostFd, const std::function<void()>& onHostFd)
{
  const long long end = NowMs() + ms;
  std::vector<pollfd> polled;
  for (;;)
  {
    long long now = NowMs();
    long long next = end;
    for (const Timer& t : mTimers) next = std::min(next, t.dueMs);
    // Work on a copy: handlers may change the lists while they run.
    const std::vector<Handler> handlers = mHandlers;
    polled.clear();
    for (const Handler& h : handlers) polled.push_back({h.fd, POLLIN, 0});
    if (hostFd >= 0) polled.push_back({hostFd, POLLIN, 0});
    poll(polled.data(), polled.size(), static_cast<int>(std::max(0LL, next - now)));
    for (size_t i = 0; i < handlers.size(); ++i)
    {
      const bool stillThere = std::any_of(mHandlers.begin(), mHandlers.end(),
                                          [&](const Handler& h) { return h.handler == handlers[i].handler; });
      if (stillThere && (polled[i].revents & (POLLIN | POLLHUP | POLLERR)))
        handlers[i].handler->onFDIsSet(handlers[i].fd);
    }
    if (hostFd >= 0 && (polled.back().revents & POLLIN) && onHostFd) onHostFd();
    now = NowMs();
    const std::vector<Timer> timers = mTimers;
    for (const Timer& t : timers)
    {
      auto it = std::find_if(mTimers.begin(), mTimers.end(), [&](const Timer& x) { return x.handler == t.handler; });
      if (it == mTimers.end() || it->dueMs > now) continue;
      it->dueMs = now + it->intervalMs;
      ++mTimerCalls;
      t.handler->onTimer();
    }
    if (NowMs() >= end) break;
  }
}

} // namespace vst3host

namespace vst3host {

bool X11RunLoop::PumpUntil(const std::function<bool()>& done, int ms)
{
  const long long end = NowMs() + ms;
  while (!done() && NowMs() < end) Pump(10);
  return done();
}

} // namespace vst3host
