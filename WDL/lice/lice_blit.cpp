// The plain blit: rows of one bitmap combined into another, clipped against both.
#include "lice.h"

#include "lice_blit_rows.h"
#include "lice_surface.h"

#include <cstring>

using lice_detail::BlitRowFn;
using lice_detail::Surface;

namespace
{
// A row whose destination starts inside its own source, to the right: chunks from the right end
// are copied aside first, so that every source pixel is read before it is overwritten.
void RowThroughScratch(LICE_pixel* d, const LICE_pixel* s, int n, BlitRowFn fn, int parm)
{
  LICE_pixel tmp[256];
  for (int end = n; end > 0;)
  {
    const int start = end > 256 ? end - 256 : 0;
    std::memcpy(tmp, s + start, (size_t)(end - start) * sizeof(LICE_pixel));
    fn(d + start, tmp, end - start, parm);
    end = start;
  }
}

// Applies fn to h rows of w pixels, in an order that reads every source pixel before any
// destination write can reach it, however the areas overlap.
void RunRows(const Surface& ds, int dx, int dy, const Surface& ss, int sx, int sy, int w, int h,
             BlitRowFn fn, int parm)
{
  if (!lice_detail::AreasOverlap(ds, dx, dy, ss, sx, sy, w, h))
  {
    for (int y = 0; y < h; ++y) fn(ds.at(dx, dy + y), ss.at(sx, sy + y), w, parm);
    return;
  }
  if (ds.step != ss.step)
  {
    // Aliased bitmaps with different layouts: read from a copy.
    lice_detail::SurfaceCopy copy;
    if (!copy.take(ss)) return;
    const Surface& cs = copy.surface();
    for (int y = 0; y < h; ++y) fn(ds.at(dx, dy + y), cs.at(sx, sy + y), w, parm);
    return;
  }
  // Same layout: rows are visited starting from the end of memory the destination moved
  // towards; within a row only a destination to the right of its source needs care.
  LICE_pixel* d0 = ds.at(dx, dy);
  const LICE_pixel* s0 = ss.at(sx, sy);
  const bool destLater = (uintptr_t)d0 > (uintptr_t)s0;
  const bool topDown = (ds.step > 0) != destLater;
  for (int k = 0; k < h; ++k)
  {
    const int y = topDown ? k : h - 1 - k;
    LICE_pixel* d = d0 + (ptrdiff_t)y * ds.step;
    const LICE_pixel* s = s0 + (ptrdiff_t)y * ss.step;
    const uintptr_t du = (uintptr_t)d, su = (uintptr_t)s;
    if (du > su && du < su + (uintptr_t)w * sizeof(LICE_pixel) && fn != &lice_detail::CopyRow)
      RowThroughScratch(d, s, w, fn, parm);
    else
      fn(d, s, w, parm);
  }
}

// Source area [l, r) x [t, b) drawn at (dstx, dsty); 64-bit so that no int input overflows.
void BlitArea(LICE_IBitmap* dest, LICE_IBitmap* src, long long dstx, long long dsty, long long l,
              long long t, long long r, long long b, float alpha, int mode)
{
  Surface ds, ss;
  lice_detail::BlitArea a;
  if (!lice_detail::OpenSurface(dest, ds) || !lice_detail::OpenSurface(src, ss) ||
      !lice_detail::ClipBlitArea(ds, ss, dstx, dsty, l, t, r, b, a))
    return;
  int parm = 0;
  const BlitRowFn fn = lice_detail::PickBlitRow(mode, alpha, parm);
  if (fn) RunRows(ds, a.dx, a.dy, ss, a.sx, a.sy, a.w, a.h, fn, parm);
}
}  // namespace

void LICE_Blit(LICE_IBitmap* dest, LICE_IBitmap* src, int dstx, int dsty, const RECT* srcrect,
               float alpha, int mode)
{
  if (!src) return;
  if (srcrect)
    BlitArea(dest, src, dstx, dsty, srcrect->left, srcrect->top, srcrect->right, srcrect->bottom,
             alpha, mode);
  else
    BlitArea(dest, src, dstx, dsty, 0, 0, src->getWidth(), src->getHeight(), alpha, mode);
}

void LICE_Blit(LICE_IBitmap* dest, LICE_IBitmap* src, int dstx, int dsty, int srcx, int srcy,
               int srcw, int srch, float alpha, int mode)
{
  BlitArea(dest, src, dstx, dsty, srcx, srcy, (long long)srcx + srcw, (long long)srcy + srch,
           alpha, mode);
}
