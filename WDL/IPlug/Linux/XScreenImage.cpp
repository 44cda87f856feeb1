#include "XScreenImage.h"

#include <sys/ipc.h>
#include <sys/shm.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace
{
// Scales an 8-bit channel into the bits of mask.
inline uint32_t Place(uint32_t channel, uint32_t mask)
{
  if (!mask) return 0;
  int shift = 0;
  while (!((mask >> shift) & 1u)) ++shift;
  int width = 0;
  while ((mask >> (shift + width)) & 1u) ++width;
  const uint32_t scaled = width >= 8 ? channel << (width - 8) : channel >> (8 - width);
  return (scaled << shift) & mask;
}

bool g_shmError = false;
int OnShmError(Display*, XErrorEvent*)
{
  g_shmError = true;
  return 0;
}
}  // namespace

void XScreenImage::ConvertRow(const Format& f, const uint32_t* src, unsigned char* dest, int n)
{
  for (int i = 0; i < n; ++i)
  {
    const uint32_t p = src[i];
    const uint32_t v = Place((p >> 16) & 0xff, f.redMask) | Place((p >> 8) & 0xff, f.greenMask) |
                       Place(p & 0xff, f.blueMask) | f.alphaMask;
    switch (f.bitsPerPixel)
    {
      case 32: std::memcpy(dest + i * 4, &v, 4); break;
      case 24: dest[i * 3] = v & 0xff; dest[i * 3 + 1] = (v >> 8) & 0xff; dest[i * 3 + 2] = (v >> 16) & 0xff; break;
      case 16: { const uint16_t s = static_cast<uint16_t>(v); std::memcpy(dest + i * 2, &s, 2); break; }
      default: dest[i] = static_cast<unsigned char>(v); break;
    }
  }
}

bool XScreenImage::Make(Display* display, Visual* visual, int depth, uint32_t* bits, int w, int h, int rowSpan,
                        bool allowShm)
{
  Destroy();
  if (!display || !visual || !bits || w <= 0 || h <= 0 || rowSpan < w) return false;
  mDisplay = display;
  mBits = bits;
  mWidth = w;
  mHeight = h;
  mRowSpan = rowSpan;

  int bpp = 0;
  int nFormats = 0;
  if (XPixmapFormatValues* formats = XListPixmapFormats(display, &nFormats))
  {
    for (int i = 0; i < nFormats; ++i)
      if (formats[i].depth == depth) bpp = formats[i].bits_per_pixel;
    XFree(formats);
  }
  if (!bpp) return false;
  mFormat.redMask = static_cast<uint32_t>(visual->red_mask);
  mFormat.greenMask = static_cast<uint32_t>(visual->green_mask);
  mFormat.blueMask = static_cast<uint32_t>(visual->blue_mask);
  mFormat.bitsPerPixel = bpp;
  const uint32_t rgb = mFormat.redMask | mFormat.greenMask | mFormat.blueMask;
  // The bits a 32-bit visual keeps beside the colour are its alpha: always opaque.
  mFormat.alphaMask = depth == 32 ? ~rgb : 0;

  mDirect = depth == 24 && bpp == 32 && mFormat.redMask == 0xff0000 && mFormat.greenMask == 0xff00 &&
            mFormat.blueMask == 0xff;
  if (mDirect)
  {
    mImage = XCreateImage(display, visual, static_cast<unsigned>(depth), ZPixmap, 0, reinterpret_cast<char*>(bits),
                          static_cast<unsigned>(w), static_cast<unsigned>(h), 32, rowSpan * 4);
    if (mImage) mImage->byte_order = LSBFirst;  // the raster's pixels are little-endian words
    return mImage != nullptr;
  }

  if (allowShm && XShmQueryExtension(display))
  {
    mImage = XShmCreateImage(display, visual, static_cast<unsigned>(depth), ZPixmap, nullptr, &mShmInfo,
                             static_cast<unsigned>(w), static_cast<unsigned>(h));
    if (mImage)
    {
      mShmInfo.shmid = shmget(IPC_PRIVATE, static_cast<size_t>(mImage->bytes_per_line) * h, IPC_CREAT | 0600);
      void* addr = mShmInfo.shmid >= 0 ? shmat(mShmInfo.shmid, nullptr, 0) : reinterpret_cast<void*>(-1);
      bool attached = false;
      if (addr != reinterpret_cast<void*>(-1))
      {
        mShmInfo.shmaddr = mImage->data = static_cast<char*>(addr);
        mShmInfo.readOnly = False;
        // A remote server cannot attach: its error must not reach the host's handler.
        XSync(display, False);
        g_shmError = false;
        XErrorHandler previous = XSetErrorHandler(&OnShmError);
        attached = XShmAttach(display, &mShmInfo) && (XSync(display, False), !g_shmError);
        XSetErrorHandler(previous);
      }
      if (mShmInfo.shmid >= 0) shmctl(mShmInfo.shmid, IPC_RMID, nullptr);  // freed once both detach
      if (attached)
      {
        mShm = true;
        return true;
      }
      if (addr != reinterpret_cast<void*>(-1)) shmdt(addr);
      mImage->data = nullptr;
      XDestroyImage(mImage);
      mImage = nullptr;
      mShmInfo = {};
    }
  }
  const int bytesPerPixel = bpp / 8 ? bpp / 8 : 1;
  char* data = static_cast<char*>(std::calloc(static_cast<size_t>(w) * h, static_cast<size_t>(bytesPerPixel)));
  if (!data) return false;
  mImage = XCreateImage(display, visual, static_cast<unsigned>(depth), ZPixmap, 0, data, static_cast<unsigned>(w),
                        static_cast<unsigned>(h), 8, w * bytesPerPixel);
  if (!mImage)
  {
    std::free(data);
    return false;
  }
  mImage->byte_order = LSBFirst;
  return true;
}

void XScreenImage::Destroy()
{
  if (!mImage) return;
  if (mShm)
  {
    XShmDetach(mDisplay, &mShmInfo);
    XSync(mDisplay, False);
    shmdt(mShmInfo.shmaddr);
    mImage->data = nullptr;
  }
  else if (mDirect)
    mImage->data = nullptr;  // the bitmap's memory, not ours
  XDestroyImage(mImage);       // frees our own staging memory
  mImage = nullptr;
  mShm = mDirect = false;
  mShmInfo = {};
}

bool XScreenImage::Put(Drawable drawable, GC gc, int x, int y, int w, int h)
{
  if (!mImage) return false;
  const int l = std::max(x, 0), t = std::max(y, 0);
  const int r = std::min(x + w, mWidth), b = std::min(y + h, mHeight);
  if (r <= l || b <= t) return true;
  if (!mDirect)
    for (int row = t; row < b; ++row)
      ConvertRow(mFormat, mBits + static_cast<size_t>(row) * mRowSpan + l,
                 reinterpret_cast<unsigned char*>(mImage->data) + static_cast<size_t>(row) * mImage->bytes_per_line +
                   static_cast<size_t>(l) * (mImage->bits_per_pixel / 8 ? mImage->bits_per_pixel / 8 : 1),
                 r - l);
  if (mShm)
    XShmPutImage(mDisplay, drawable, gc, mImage, l, t, l, t, static_cast<unsigned>(r - l), static_cast<unsigned>(b - t),
                 False);
  else
    XPutImage(mDisplay, drawable, gc, mImage, l, t, l, t, static_cast<unsigned>(r - l), static_cast<unsigned>(b - t));
  return true;
}
