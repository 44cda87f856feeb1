#pragma once
// Internal view of a bitmap's pixels in picture order, and rectangle clipping; shared by the
// rectangle operations and the blits.

#include "lice.h"

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <new>

namespace lice_detail
{
// Picture row y is at bits + y * step: a flipped bitmap starts at its last memory row and steps
// backwards.
struct Surface
{
  LICE_pixel* bits = nullptr;
  int width = 0, height = 0;
  ptrdiff_t step = 0;

  LICE_pixel* row(int y) const { return bits + (ptrdiff_t)y * step; }
  LICE_pixel* at(int x, int y) const { return row(y) + x; }
};

// False (and an empty surface) for a null bitmap, one without memory or with no pixels, or one
// whose row span is smaller than its width.
inline bool OpenSurface(LICE_IBitmap* bm, Surface& s)
{
  s = Surface();
  if (!bm) return false;
  LICE_pixel* bits = bm->getBits();
  const int w = bm->getWidth(), h = bm->getHeight(), span = bm->getRowSpan();
  if (!bits || w <= 0 || h <= 0 || span < w) return false;
  s.width = w;
  s.height = h;
  if (bm->isFlipped())
  {
    s.bits = bits + (ptrdiff_t)(h - 1) * span;
    s.step = -(ptrdiff_t)span;
  }
  else
  {
    s.bits = bits;
    s.step = span;
  }
  return true;
}

// Clips (x, y, w, h) to a width x height area: a negative x shortens w by as much and starts at
// 0 (the same for y), then w and h are cut to what fits. False when nothing is left. Works on
// 64-bit values, so any int coordinates are safe.
struct ClipRect
{
  int x = 0, y = 0, w = 0, h = 0;
};
inline bool ClipToArea(long long x, long long y, long long w, long long h, int width, int height,
                       ClipRect& out)
{
  if (x < 0)
  {
    w += x;
    x = 0;
  }
  if (y < 0)
  {
    h += y;
    y = 0;
  }
  if (x >= width || y >= height || w <= 0 || h <= 0) return false;
  if (w > width - x) w = width - x;
  if (h > height - y) h = height - y;
  out.x = (int)x;
  out.y = (int)y;
  out.w = (int)w;
  out.h = (int)h;
  return true;
}

// A blit's source area [l, r) x [t, b) drawn at (dstx, dsty), clipped against both surfaces:
// a negative source start moves the destination by as much, a negative destination start moves
// the source, then the size is cut to both. False when nothing is left.
struct BlitArea
{
  int dx = 0, dy = 0, sx = 0, sy = 0, w = 0, h = 0;
};
inline bool ClipBlitArea(const Surface& ds, const Surface& ss, long long dstx, long long dsty,
                         long long l, long long t, long long r, long long b, BlitArea& out)
{
  if (l < 0)
  {
    dstx -= l;
    l = 0;
  }
  if (t < 0)
  {
    dsty -= t;
    t = 0;
  }
  if (r > ss.width) r = ss.width;
  if (b > ss.height) b = ss.height;
  if (dstx < 0)
  {
    l -= dstx;
    dstx = 0;
  }
  if (dsty < 0)
  {
    t -= dsty;
    dsty = 0;
  }
  long long w = r - l, h = b - t;
  if (w > ds.width - dstx) w = ds.width - dstx;
  if (h > ds.height - dsty) h = ds.height - dsty;
  if (w <= 0 || h <= 0) return false;
  out.dx = (int)dstx;
  out.dy = (int)dsty;
  out.sx = (int)l;
  out.sy = (int)t;
  out.w = (int)w;
  out.h = (int)h;
  return true;
}

// The first and one-past-last byte touched by a w x h area at (x, y) of a surface.
inline void AreaSpan(const Surface& s, int x, int y, int w, int h, uintptr_t& lo, uintptr_t& hi)
{
  const uintptr_t a = (uintptr_t)s.at(x, y), b = (uintptr_t)s.at(x, y + h - 1);
  lo = (a < b ? a : b);
  hi = (a < b ? b : a) + (uintptr_t)w * sizeof(LICE_pixel);
}

inline bool AreasOverlap(const Surface& a, int ax, int ay, const Surface& b, int bx, int by, int w,
                         int h)
{
  uintptr_t alo, ahi, blo, bhi;
  AreaSpan(a, ax, ay, w, h, alo, ahi);
  AreaSpan(b, bx, by, w, h, blo, bhi);
  return alo < bhi && blo < ahi;
}

// A private copy of a whole source bitmap, for a blit whose destination overlaps its source in
// a way that no visiting order resolves (scaling, rotating, aliased bitmaps with different
// layouts). The copy has the source's coordinates. Allocates; false when memory runs out.
class SurfaceCopy
{
public:
  bool take(const Surface& src)
  {
    const size_t n = (size_t)src.width * (size_t)src.height;
    m_buf.reset(new (std::nothrow) LICE_pixel[n]);
    if (!m_buf) return false;
    for (int y = 0; y < src.height; ++y)
      std::memcpy(m_buf.get() + (size_t)y * src.width, src.row(y), (size_t)src.width * sizeof(LICE_pixel));
    m_s.bits = m_buf.get();
    m_s.width = src.width;
    m_s.height = src.height;
    m_s.step = src.width;
    return true;
  }
  const Surface& surface() const { return m_s; }

private:
  std::unique_ptr<LICE_pixel[]> m_buf;
  Surface m_s;
};

// True when any byte of `src`'s memory lies inside the destination area.
inline bool SourceOverlapsArea(const Surface& src, const Surface& dst, int x, int y, int w, int h)
{
  uintptr_t slo, shi, dlo, dhi;
  AreaSpan(src, 0, 0, src.width, src.height, slo, shi);
  AreaSpan(dst, x, y, w, h, dlo, dhi);
  return slo < dhi && dlo < shi;
}
}  // namespace lice_detail
