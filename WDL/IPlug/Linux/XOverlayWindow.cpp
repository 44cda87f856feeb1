#include "XOverlayWindow.h"

bool XOverlayWindow::Open(Display* display, int x, int y, int w, int h)
{
  Close();
  if (!display || w <= 0 || h <= 0 || !mBitmap.resize(w, h) || !mBitmap.getBits()) return false;
  const int screen = DefaultScreen(display);
  // Small windows shown for a moment: plain XPutImage, no shared segment.
  if (!mImage.Make(display, DefaultVisual(display, screen), DefaultDepth(display, screen), mBitmap.getBits(), w, h,
                   mBitmap.getRowSpan(), false))
    return false;
  XSetWindowAttributes a{};
  a.override_redirect = True;
  a.save_under = True;
  a.event_mask = ExposureMask;
  mWindow = XCreateWindow(display, RootWindow(display, screen), x, y, static_cast<unsigned>(w),
                          static_cast<unsigned>(h), 0, CopyFromParent, InputOutput, CopyFromParent,
                          CWOverrideRedirect | CWSaveUnder | CWEventMask, &a);
  if (!mWindow)
  {
    mImage.Destroy();
    return false;
  }
  mDisplay = display;
  mGC = XCreateGC(display, mWindow, 0, nullptr);
  mWidth = w;
  mHeight = h;
  return true;
}

void XOverlayWindow::Map()
{
  if (mWindow) XMapRaised(mDisplay, mWindow);
}

bool XOverlayWindow::Show()
{
  if (!mWindow || !mImage.Put(mWindow, mGC, 0, 0, mWidth, mHeight)) return false;
  XFlush(mDisplay);  // nothing else may flush the connection until the next drawing pass
  return true;
}

void XOverlayWindow::Close()
{
  if (mWindow)
  {
    if (mGC) XFreeGC(mDisplay, mGC);
    XDestroyWindow(mDisplay, mWindow);
  }
  Abandon();
}

void XOverlayWindow::Abandon()
{
  mImage.Destroy();
  mWindow = 0;
  mGC = nullptr;
  mDisplay = nullptr;
  mWidth = mHeight = 0;
}
