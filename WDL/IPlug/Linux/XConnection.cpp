#include "XConnection.h"

#include <algorithm>
#include <mutex>
#include <vector>

namespace
{
std::mutex s_lock;
std::vector<XConnection*> s_open;  // our live connections
XErrorHandler s_previous = nullptr;
XIOErrorHandler s_previousIO = nullptr;
}  // namespace

bool XConnection::Open()
{
  if (mDisplay) return true;
  mBroken = false;
  mErrors = 0;
  // Hosts may use Xlib from several threads; XInitThreads must precede every other Xlib call
  // of the process, which a plug-in cannot promise, so it is not called here.
  Display* display = XOpenDisplay(nullptr);
  if (!display) return false;
  {
    std::lock_guard<std::mutex> lock(s_lock);
    if (s_open.empty())
    {
      s_previous = XSetErrorHandler(&XConnection::OnError);
      s_previousIO = XSetIOErrorHandler(&XConnection::OnIOError);
    }
    s_open.push_back(this);
  }
  mDisplay = display;
  XSetIOErrorExitHandler(display, &XConnection::OnIOErrorExit, this);
  xembedInfo = XInternAtom(display, "_XEMBED_INFO", False);
  xembed = XInternAtom(display, "_XEMBED", False);
  clipboard = XInternAtom(display, "CLIPBOARD", False);
  utf8String = XInternAtom(display, "UTF8_STRING", False);
  targets = XInternAtom(display, "TARGETS", False);
  selectionProperty = XInternAtom(display, "BRELIX_SELECTION", False);
  wmDeleteWindow = XInternAtom(display, "WM_DELETE_WINDOW", False);
  return true;
}

void XConnection::Close()
{
  if (!mDisplay) return;
  // A broken connection is closed too (freeing its memory): its I/O error comes back to our
  // handlers, which return.
  XCloseDisplay(mDisplay);
  mDisplay = nullptr;
  std::lock_guard<std::mutex> lock(s_lock);
  s_open.erase(std::remove(s_open.begin(), s_open.end(), this), s_open.end());
  if (s_open.empty())
  {
    // Restore the previous handler only when ours is still the one installed.
    XErrorHandler current = XSetErrorHandler(s_previous);
    if (current != &XConnection::OnError) XSetErrorHandler(current);
    XIOErrorHandler currentIO = XSetIOErrorHandler(s_previousIO);
    if (currentIO != &XConnection::OnIOError) XSetIOErrorHandler(currentIO);
    s_previous = nullptr;
    s_previousIO = nullptr;
  }
}

int XConnection::OnError(Display* display, XErrorEvent* event)
{
  XErrorHandler previous = nullptr;
  {
    std::lock_guard<std::mutex> lock(s_lock);
    for (XConnection* c : s_open)
      if (c->mDisplay == display)
      {
        ++c->mErrors;
        return 0;
      }
    previous = s_previous;
  }
  return previous ? previous(display, event) : 0;
}

int XConnection::OnIOError(Display* display)
{
  XIOErrorHandler previous = nullptr;
  {
    std::lock_guard<std::mutex> lock(s_lock);
    for (XConnection* c : s_open)
      if (c->mDisplay == display) return 0;  // ours: the exit handler below marks it broken
    previous = s_previousIO;
  }
  return previous ? previous(display) : 0;
}

void XConnection::OnIOErrorExit(Display*, void* self)
{
  // Returning (instead of exiting) leaves the connection dead; we stop using it.
  static_cast<XConnection*>(self)->mBroken = true;
}
