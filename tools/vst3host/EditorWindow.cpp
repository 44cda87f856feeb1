#include "EditorWindow.h"

#include "HostError.h"

#include <X11/Xutil.h>

#include <algorithm>
#include <cstdlib>

using namespace Steinberg;

namespace vst3host {
namespace {

// Errors on the host's connection (a window the plug-in destroyed, a grab refused) are not
// fatal to a host; the previous handler keeps every other connection's errors.
XErrorHandler gPreviousHandler = nullptr;
Display* gHostDisplay = nullptr;

int AbsorbHostErrors(Display* display, XErrorEvent* event)
{
  if (display == gHostDisplay || !gPreviousHandler) return 0;
  return gPreviousHandler(display, event);
}

} // namespace

EditorWindow::EditorWindow(PluginInstance& plugin, const std::string& display, const std::string& title)
{
  if (!plugin.Controller()) throw HostError("the plug-in has no edit controller, so no editor");
  mDisplay = XOpenDisplay(display.empty() ? nullptr : display.c_str());
  if (!mDisplay)
  {
    const char* name = display.empty() ? std::getenv("DISPLAY") : display.c_str();
    throw HostError(std::string("cannot open the X display '") + (name ? name : "") + "'");
  }
  // Plug-ins open connections of their own to $DISPLAY: it must name the same server.
  if (!display.empty())
  {
    const char* previous = std::getenv("DISPLAY");
    mDisplayReplaced = true;
    if (previous) mPreviousDisplay = previous;
    setenv("DISPLAY", display.c_str(), 1);
  }
  gHostDisplay = mDisplay;
  XErrorHandler previous = XSetErrorHandler(AbsorbHostErrors);
  if (previous != AbsorbHostErrors) gPreviousHandler = previous;

  mView = plugin.Controller()->createView(Vst::ViewType::kEditor);
  if (!mView)
  {
    Destroy();
    throw HostError("the plug-in has no editor");
  }
  if (mView->isPlatformTypeSupported(kPlatformTypeX11EmbedWindowID) != kResultTrue)
  {
    Destroy();
    throw HostError("the plug-in's editor does not support X11 embedding");
  }
  ViewRect size;
  if (mView->getSize(&size) != kResultTrue || size.getWidth() <= 0 || size.getHeight() <= 0)
    size = ViewRect(0, 0, 640, 480);
  mWidth = size.getWidth();
  mHeight = size.getHeight();

  XSetWindowAttributes a{};
  a.background_pixel = BlackPixel(mDisplay, DefaultScreen(mDisplay));
  a.event_mask = StructureNotifyMask;
  mWindow = XCreateWindow(mDisplay, DefaultRootWindow(mDisplay), 0, 0, static_cast<unsigned>(mWidth),
                          static_cast<unsigned>(mHeight), 0, CopyFromParent, InputOutput, CopyFromParent,
                          CWBackPixel | CWEventMask, &a);
  XStoreName(mDisplay, mWindow, title.c_str());
  mDeleteWindow = XInternAtom(mDisplay, "WM_DELETE_WINDOW", False);
  XSetWMProtocols(mDisplay, mWindow, &mDeleteWindow, 1);
  FixSize(mWidth, mHeight);

  XSync(mDisplay, False);  // the plug-in looks the window up on a connection of its own
  mView->setFrame(this);
  if (mView->attached(reinterpret_cast<void*>(mWindow), kPlatformTypeX11EmbedWindowID) != kResultOk)
  {
    Destroy();
    throw HostError("the plug-in's editor refused to open in the window");
  }
  mAttached = true;
  XMapRaised(mDisplay, mWindow);
  XFlush(mDisplay);
}

EditorWindow::~EditorWindow() { Destroy(); }

void EditorWindow::Destroy()
{
  if (mView)
  {
    if (mAttached) mView->removed();
    mView->setFrame(nullptr);
    mView->release();
    mView = nullptr;
  }
  mAttached = false;
  if (mDisplay)
  {
    if (mWindow) XDestroyWindow(mDisplay, mWindow);
    XCloseDisplay(mDisplay);
    if (gHostDisplay == mDisplay) gHostDisplay = nullptr;
  }
  mWindow = 0;
  mDisplay = nullptr;
  if (mDisplayReplaced)
  {
    if (mPreviousDisplay)
      setenv("DISPLAY", mPreviousDisplay->c_str(), 1);
    else
      unsetenv("DISPLAY");
    mDisplayReplaced = false;
  }
}

void EditorWindow::FixSize(int w, int h)
{
  XSizeHints* hints = XAllocSizeHints();
  if (!hints) return;
  hints->flags = PMinSize | PMaxSize;
  hints->min_width = hints->max_width = w;
  hints->min_height = hints->max_height = h;
  XSetWMNormalHints(mDisplay, mWindow, hints);
  XFree(hints);
}

bool EditorWindow::Run(int ms)
{
  if (mClosed || !mDisplay) return false;
  HandleHostEvents();
  mLoop.Pump(ms, ConnectionNumber(mDisplay), [this] { HandleHostEvents(); });
  return !mClosed;
}

void EditorWindow::HandleHostEvents()
{
  while (mDisplay && XPending(mDisplay))
  {
    XEvent e;
    XNextEvent(mDisplay, &e);
    if (e.xany.window != mWindow) continue;
    if (e.type == MapNotify)
      mMapped = true;
    else if (e.type == UnmapNotify)
      mMapped = false;
    else if (e.type == DestroyNotify)
      mClosed = true;
    else if (e.type == ClientMessage && static_cast<Atom>(e.xclient.data.l[0]) == mDeleteWindow)
      mClosed = true;
  }
}

std::vector<uint32_t> EditorWindow::Grab() const
{
  std::vector<uint32_t> pixels;
  if (!mDisplay || !mMapped) return pixels;
  XSync(mDisplay, False);
  XImage* image = XGetImage(mDisplay, mWindow, 0, 0, static_cast<unsigned>(mWidth), static_cast<unsigned>(mHeight),
                            AllPlanes, ZPixmap);
  if (!image) return pixels;
  // Channel masks to 8-bit values, whatever the visual's layout: shifts and ranges found once.
  struct Channel
  {
    unsigned long mask = 0;
    int shift = 0;
    unsigned long max = 1;
    explicit Channel(unsigned long m) : mask(m)
    {
      if (!mask) return;
      while (!((mask >> shift) & 1)) ++shift;
      max = mask >> shift;
    }
    uint32_t operator()(unsigned long value) const
    {
      return static_cast<uint32_t>(((value & mask) >> shift) * 255 / max);
    }
  };
  const Channel red(image->red_mask), green(image->green_mask), blue(image->blue_mask);
  pixels.resize(static_cast<size_t>(mWidth) * mHeight);
  for (int y = 0; y < mHeight; ++y)
    for (int x = 0; x < mWidth; ++x)
    {
      const unsigned long p = XGetPixel(image, x, y);
      pixels[static_cast<size_t>(y) * mWidth + x] = 0xff000000u | red(p) << 16 | green(p) << 8 | blue(p);
    }
  XDestroyImage(image);
  return pixels;
}

tresult PLUGIN_API EditorWindow::resizeView(IPlugView* view, ViewRect* newSize)
{
  if (!view || view != mView || !newSize || newSize->getWidth() <= 0 || newSize->getHeight() <= 0)
    return kInvalidArgument;
  mWidth = newSize->getWidth();
  mHeight = newSize->getHeight();
  if (mDisplay && mWindow)
  {
    FixSize(mWidth, mHeight);
    XResizeWindow(mDisplay, mWindow, static_cast<unsigned>(mWidth), static_cast<unsigned>(mHeight));
    XFlush(mDisplay);
  }
  return view->onSize(newSize);
}

tresult PLUGIN_API EditorWindow::queryInterface(const TUID iid, void** obj)
{
  if (FUnknownPrivate::iidEqual(iid, IPlugFrame::iid) || FUnknownPrivate::iidEqual(iid, FUnknown::iid))
  {
    addRef();
    *obj = static_cast<IPlugFrame*>(this);
    return kResultOk;
  }
  if (FUnknownPrivate::iidEqual(iid, Linux::IRunLoop::iid)) return mLoop.queryInterface(iid, obj);
  *obj = nullptr;
  return kNoInterface;
}

} // namespace vst3host
