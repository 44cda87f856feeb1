#pragma once
// One editor's own connection to the X server. Opening it interns the atoms the window layer
// uses and installs, while any connection lives, a process-wide error handler that absorbs
// errors on our connections (a window the host destroyed under us) and passes every other
// error to the handler that was installed before. A broken connection never exits the host:
// its I/O-error exit handler only marks it broken, after which Broken() is true and the window
// layer stops using it.
//
// Threads: the user-interface thread; the handler bookkeeping is locked because hosts may run
// other X clients on other threads.

#include <X11/Xlib.h>

class XConnection
{
public:
  XConnection() = default;
  ~XConnection() { Close(); }
  XConnection(const XConnection&) = delete;
  XConnection& operator=(const XConnection&) = delete;

  // Opens the default display ($DISPLAY); false when there is none. Opening twice is a no-op.
  bool Open();
  void Close();
  bool IsOpen() const { return mDisplay != nullptr; }
  bool Broken() const { return mBroken; }
  Display* Get() const { return mDisplay; }
  int FD() const { return mDisplay ? ConnectionNumber(mDisplay) : -1; }
  // Errors absorbed on this connection since it opened (for tests and diagnostics).
  int ErrorCount() const { return mErrors; }

  Atom xembedInfo = None, xembed = None, clipboard = None, utf8String = None, targets = None,
       selectionProperty = None, wmDeleteWindow = None;

private:
  static int OnError(Display* display, XErrorEvent* event);
  static int OnIOError(Display* display);
  static void OnIOErrorExit(Display* display, void* self);

  Display* mDisplay = nullptr;
  bool mBroken = false;
  int mErrors = 0;
};
