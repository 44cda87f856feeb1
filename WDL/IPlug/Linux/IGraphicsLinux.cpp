#include "IGraphicsLinux.h"

#include <sys/utsname.h>

#include <cstdio>
#include <cstring>
#include <strings.h>

#include "HelperProcess.h"
#include "LinuxPaths.h"

namespace
{
// _XEMBED_INFO: protocol version 0, flags XEMBED_MAPPED.
constexpr long kXEmbedVersion = 0;
constexpr long kXEmbedMapped = 1;
}  // namespace

IGraphicsLinux::IGraphicsLinux(IPlugBase* plug, int w, int h, int fps) : IGraphics(plug, w, h, fps) {}

IGraphicsLinux::~IGraphicsLinux()
{
  CloseWindow();
  mX.Close();
}

IGraphics* MakeGraphics(IPlugBase* plug, int w, int h, int fps, const char* bundleID)
{
  auto* graphics = new IGraphicsLinux(plug, w, h, fps);
  if (bundleID) graphics->SetBundleID(bundleID);
  return graphics;
}

bool IGraphicsLinux::ConnectWindowSystem()
{
  if (mX.IsOpen() && mX.Broken()) LostConnection();
  return mX.Open();
}

int IGraphicsLinux::GetEventFD() const { return mX.FD(); }

void* IGraphicsLinux::GetWindow() { return mWindow ? reinterpret_cast<void*>(mWindow) : nullptr; }

void* IGraphicsLinux::OpenWindow(void* parent)
{
  CloseWindow();
  const Window parentWindow = static_cast<Window>(reinterpret_cast<uintptr_t>(parent));
  if (!parentWindow || !GetDrawBitmap() || !ConnectWindowSystem()) return nullptr;
  Display* d = mX.Get();

  // The parent's visual and depth (a 32-bit parent would refuse a child of another depth);
  // a colormap of our own when that visual is not the screen's default.
  XWindowAttributes pa{};
  const int errorsBefore = mX.ErrorCount();
  if (!XGetWindowAttributes(d, parentWindow, &pa) || mX.ErrorCount() != errorsBefore) return nullptr;
  mParent = parentWindow;
  mVisual = pa.visual;
  mDepth = pa.depth;
  XSetWindowAttributes wa{};
  unsigned long mask = CWBackPixel | CWBorderPixel | CWEventMask | CWColormap | CWBitGravity;
  mColormap = XCreateColormap(d, RootWindowOfScreen(pa.screen), mVisual, AllocNone);
  wa.colormap = mColormap;
  wa.background_pixel = 0;
  wa.border_pixel = 0;
  wa.bit_gravity = NorthWestGravity;
  wa.event_mask = ExposureMask | ButtonPressMask | ButtonReleaseMask | PointerMotionMask | KeyPressMask |
                  FocusChangeMask | StructureNotifyMask | LeaveWindowMask;
  mWindow = XCreateWindow(d, parentWindow, 0, 0, static_cast<unsigned>(Width()), static_cast<unsigned>(Height()), 0,
                          mDepth, InputOutput, mVisual, mask, &wa);
  XSync(d, False);
  if (!mWindow || mX.ErrorCount() != errorsBefore || mX.Broken())
  {
    CloseWindow();
    return nullptr;
  }
  const long info[2] = {kXEmbedVersion, kXEmbedMapped};
  XChangeProperty(d, mWindow, mX.xembedInfo, mX.xembedInfo, 32, PropModeReplace,
                  reinterpret_cast<const unsigned char*>(info), 2);
  mGC = XCreateGC(d, mWindow, 0, nullptr);
  MakeImage();
  XMapWindow(d, mWindow);
  XFlush(d);
  SetAllControlsDirty();
  UpdateTooltips();
  return GetWindow();
}

void IGraphicsLinux::MakeImage()
{
  LICE_IBitmap* bitmap = GetDrawBitmap();
  if (!mWindow || !bitmap) return;
  mImage.Make(mX.Get(), mVisual, mDepth, bitmap->getBits(), bitmap->getWidth(), bitmap->getHeight(),
              bitmap->getRowSpan());
}

void IGraphicsLinux::CloseWindow()
{
  if (mEdControl) EndTextEntry(false);
  HideTooltip();
  mHoverIdx = -1;
  Display* d = mX.Get();
  if (mX.Broken())
  {
    LostConnection();
    return;
  }
  mImage.Destroy();
  if (d)
  {
    if (mCursorHidden) ShowMouseCursor();
    // The host may have destroyed our parent (and with it our window): errors are absorbed.
    if (mGC) XFreeGC(d, mGC);
    if (mWindow) XDestroyWindow(d, mWindow);
    if (mBlankCursor) XFreeCursor(d, mBlankCursor);
    if (mColormap) XFreeColormap(d, mColormap);
    XSync(d, True);  // drop events of the window we no longer have
  }
  mGC = nullptr;
  mWindow = mParent = 0;
  mBlankCursor = 0;
  mColormap = 0;
  mCursorHidden = false;
}

void IGraphicsLinux::LostConnection()
{
  // The server's objects died with it; only client-side memory (image, GC record) is freed.
  mImage.Destroy();
  if (mGC && mX.Get()) XFreeGC(mX.Get(), mGC);
  mGC = nullptr;
  mWindow = mParent = 0;
  mTooltip.Abandon();
  mBlankCursor = 0;
  mColormap = 0;
  mEdControl = nullptr;
  mEdParam = nullptr;
  mX.Close();
}

void IGraphicsLinux::Resize(int w, int h)
{
  if (w == Width() && h == Height()) return;
  mImage.Destroy();
  IGraphics::Resize(w, h);
  if (mWindow && !mX.Broken())
  {
    XResizeWindow(mX.Get(), mWindow, static_cast<unsigned>(w), static_cast<unsigned>(h));
    MakeImage();
    XFlush(mX.Get());
  }
}

bool IGraphicsLinux::DrawScreen(IRECT* r)
{
  if (!mWindow || !r || mX.Broken()) return false;
  const IRECT a = r->Intersect(IRECT(0, 0, Width(), Height()));
  if (a.Empty()) return true;
  mImage.Put(mWindow, mGC, a.L, a.T, a.W(), a.H());
  return true;
}

void IGraphicsLinux::OnTimer()
{
  if (!mWindow) return;
  Tick();
}

void IGraphicsLinux::Tick()
{
  HelperProcess::ReapStarted();
  if (!mWindow || mX.Broken()) return;
  IRECT dirty;
  if (IsDirty(&dirty))
  {
    Draw(&dirty);
    if (mEdControl && dirty.Intersects(mEdRect)) DrawTextEntry();
    XFlush(mX.Get());
  }
  if (mHoverIdx >= 0 && !mTooltipShown && !mModal && ++mHoverTicks * TimerIntervalMs() >= kTooltipDelayMs)
  {
    ShowTooltip(mHoverIdx);
    XFlush(mX.Get());
  }
  // Events a round trip read into the queue leave the descriptor quiet: handle them here.
  if (!mModal && XEventsQueued(mX.Get(), QueuedAlready)) Drain();
}

void IGraphicsLinux::OnEventFD()
{
  if (!mX.IsOpen()) return;
  Drain();
}

bool IGraphicsLinux::Drain()
{
  Display* d = mX.Get();
  while (!mX.Broken() && XPending(d))
  {
    XEvent e;
    XNextEvent(d, &e);
    HandleEvent(e);
    if (!mX.IsOpen()) return false;
  }
  if (mX.Broken())
  {
    LostConnection();
    return false;
  }
  return true;
}

void* IGraphicsLinux::GetGUIAPI() { return const_cast<char*>("X11 GUI"); }

int IGraphicsLinux::GetUserOSVersion()
{
  utsname u{};
  if (uname(&u) != 0) return 0;
  int major = 0, minor = 0, patch = 0;
  std::sscanf(u.release, "%d.%d.%d", &major, &minor, &patch);
  auto clamp8 = [](int v) { return v < 0 ? 0 : (v > 255 ? 255 : v); };
  return clamp8(major) << 16 | clamp8(minor) << 8 | clamp8(patch);
}

LICE_IBitmap* IGraphicsLinux::OSLoadBitmap(int id, const char* name)
{
  if (!name) return nullptr;
  const char* dot = std::strrchr(name, '.');
  if (!dot || strcasecmp(dot + 1, "png") != 0) return nullptr;
  return IGraphics::OSLoadBitmap(id, name);
}

void IGraphicsLinux::ResourcePath(WDL_String* path)
{
  path->Set(LinuxPaths::BundleResources(LinuxPaths::ModulePath()).c_str());
}

void IGraphicsLinux::HostPath(WDL_String* path)
{
  const std::string module = LinuxPaths::ModulePath();
  if (!module.empty()) path->Set(module.c_str());
}

void IGraphicsLinux::PluginPath(WDL_String* path) { path->Set(LinuxPaths::PluginFolder(LinuxPaths::ModulePath()).c_str()); }

void IGraphicsLinux::DesktopPath(WDL_String* path) { path->Set(LinuxPaths::Desktop().c_str()); }

void IGraphicsLinux::AppSupportPath(WDL_String* path, bool isSystem)
{
  path->Set((isSystem ? LinuxPaths::SystemConfig() : LinuxPaths::ConfigHome()).c_str());
}

void IGraphicsLinux::SandboxSafeAppSupportPath(WDL_String* path) { path->Set((LinuxPaths::Home() + "/Music").c_str()); }

void IGraphicsLinux::HideMouseCursor()
{
  if (mWindow && !mCursorHidden && !mX.Broken())
  {
    Display* d = mX.Get();
    if (!mBlankCursor)
    {
      static const char empty[1] = {0};
      Pixmap p = XCreateBitmapFromData(d, mWindow, empty, 1, 1);
      XColor black{};
      mBlankCursor = XCreatePixmapCursor(d, p, p, &black, &black, 0, 0);
      XFreePixmap(d, p);
    }
    XDefineCursor(d, mWindow, mBlankCursor);
    mCursorHidden = true;
    Window root, child;
    int rx = 0, ry = 0, wx = 0, wy = 0;
    unsigned mask = 0;
    if (XQueryPointer(d, mWindow, &root, &child, &rx, &ry, &wx, &wy, &mask))
    {
      mHiddenMousePointX = rx;
      mHiddenMousePointY = ry;
    }
    XFlush(d);
  }
}

void IGraphicsLinux::ShowMouseCursor()
{
  if (!mCursorHidden) return;
  mCursorHidden = false;
  if (!mWindow || mX.Broken()) return;
  Display* d = mX.Get();
  XWarpPointer(d, None, DefaultRootWindow(d), 0, 0, 0, 0, mHiddenMousePointX, mHiddenMousePointY);
  XUndefineCursor(d, mWindow);
  XFlush(d);
}
