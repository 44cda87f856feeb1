#pragma once
// Puts areas of a raster bitmap (32-bit pixels 0xAARRGGBB, rows top-down) into an X window.
//
// The window's visual decides the path once, when the image is made: a 24-bit TrueColor visual
// with the raster's masks (the usual case) takes the bitmap's rows as they are, through an
// XImage that points at the bitmap's memory (detached before the image is destroyed); any other
// visual (a 32-bit visual whose alpha byte must be opaque, 16-bit, other masks) goes through a
// staging image converted per area by a row function chosen for the format. With MIT-SHM the
// staging image lives in a shared segment, marked for removal as soon as it is attached.
//
// Threads: the user-interface thread. The bitmap must outlive the image (Make again after it
// is resized).

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XShm.h>

#include <cstdint>

class XScreenImage
{
public:
  XScreenImage() = default;
  ~XScreenImage() { Destroy(); }
  XScreenImage(const XScreenImage&) = delete;
  XScreenImage& operator=(const XScreenImage&) = delete;

  // bits: w x h pixels, rowSpan pixels per row. False when no image could be made.
  bool Make(Display* display, Visual* visual, int depth, uint32_t* bits, int w, int h, int rowSpan,
            bool allowShm = true);
  void Destroy();
  // Copies the area (clipped to the bitmap) to (x, y) of the drawable; false without an image.
  bool Put(Drawable drawable, GC gc, int x, int y, int w, int h);

  bool Direct() const { return mDirect; }
  bool UsesShm() const { return mShm; }

  // Converts n raster pixels into the visual's pixel format (exposed for tests).
  struct Format
  {
    uint32_t redMask = 0, greenMask = 0, blueMask = 0, alphaMask = 0;
    int bitsPerPixel = 32;
  };
  static void ConvertRow(const Format& f, const uint32_t* src, unsigned char* dest, int n);

private:
  Display* mDisplay = nullptr;
  XImage* mImage = nullptr;
  XShmSegmentInfo mShmInfo = {};
  uint32_t* mBits = nullptr;
  int mWidth = 0, mHeight = 0, mRowSpan = 0;
  Format mFormat;
  bool mDirect = false, mShm = false;
};
