#pragma once
// A private X server (Xvfb) on a display number it picks itself (-displayfd), for drawing where
// no other window can cover ours. Started by the constructor, stopped (by its process id, and
// reaped) by the destructor; no other process is touched. Errors as HostError.
#include <string>
#include <sys/types.h>

namespace vst3host {

class XvfbServer
{
public:
  // A 24-bit screen of width x height pixels.
  XvfbServer(int width, int height);
  ~XvfbServer();
  XvfbServer(const XvfbServer&) = delete;
  XvfbServer& operator=(const XvfbServer&) = delete;

  const std::string& DisplayName() const { return mDisplay; }  // ":N"
  // Ends the server now (clients see their connection break); the destructor does it too.
  void Stop();

private:
  pid_t mPid = -1;
  std::string mDisplay;
};

} // namespace vst3host
