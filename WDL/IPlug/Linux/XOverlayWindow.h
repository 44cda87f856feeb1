#pragma once
// An override-redirect top-level window of the window layer (a popup menu level, a tooltip)
// whose pixels are a raster bitmap that the caller draws: Show puts the bitmap to the window
// through XScreenImage, converted when the screen's visual is not the raster layout. Call it
// after drawing and on every Expose of the window.
//
// Threads: the user-interface thread. The display must outlive the window.

#include <X11/Xlib.h>

#include "XScreenImage.h"
#include "lice.h"

class XOverlayWindow
{
public:
  XOverlayWindow() = default;
  ~XOverlayWindow() { Close(); }
  XOverlayWindow(const XOverlayWindow&) = delete;
  XOverlayWindow& operator=(const XOverlayWindow&) = delete;

  // Makes the window at root position (x, y), w x h pixels, with a bitmap of that size; the
  // window is mapped by Map. False (and nothing made) when the size is not positive or the
  // bitmap, image or window cannot be made.
  bool Open(Display* display, int x, int y, int w, int h);
  // Maps the window above its siblings.
  void Map();
  void Close();
  // Forgets the window without sending a request (the connection is broken).
  void Abandon();

  Window Id() const { return mWindow; }
  LICE_IBitmap* Bitmap() { return &mBitmap; }
  int Width() const { return mWidth; }
  int Height() const { return mHeight; }
  // Puts the bitmap to the window; false without a window.
  bool Show();

private:
  Display* mDisplay = nullptr;
  Window mWindow = 0;
  GC mGC = nullptr;
  LICE_MemBitmap mBitmap;
  XScreenImage mImage;
  int mWidth = 0, mHeight = 0;
};
