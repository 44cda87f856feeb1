// The five-point blur: half the centre plus shares of its four neighbours, in whole-pixel
// shift-and-mask arithmetic (each channel truncated on its own).
#include "lice.h"

#include "lice_surface.h"

#include <cstring>
#include <memory>
#include <new>
#include <utility>

using lice_detail::Surface;

namespace
{
inline LICE_pixel Half(LICE_pixel p) { return (p >> 1) & 0x7F7F7F7F; }
inline LICE_pixel Quarter(LICE_pixel p) { return (p >> 2) & 0x3F3F3F3F; }
inline LICE_pixel Eighth(LICE_pixel p) { return (p >> 3) & 0x1F1F1F1F; }

// One row of n >= 2 pixels; `above` or `below` is null at the first or last row, and a missing
// neighbour gives its share to the one opposite it.
void BlurRow(LICE_pixel* out, const LICE_pixel* above, const LICE_pixel* cur,
             const LICE_pixel* below, int n)
{
  for (int i = 0; i < n; ++i)
  {
    LICE_pixel v = Half(cur[i]);
    if (i == 0) v += Quarter(cur[1]);
    else if (i == n - 1) v += Quarter(cur[n - 2]);
    else v += Eighth(cur[i - 1]) + Eighth(cur[i + 1]);
    if (!above) v += Quarter(below[i]);
    else if (!below) v += Quarter(above[i]);
    else v += Eighth(above[i]) + Eighth(below[i]);
    out[i] = v;
  }
}
}  // namespace

void LICE_Blur(LICE_IBitmap* dest, LICE_IBitmap* src, int dstx, int dsty, int srcx, int srcy,
               int srcw, int srch)
{
  Surface ds, ss;
  lice_detail::BlitArea a;
  if (!lice_detail::OpenSurface(dest, ds) || !lice_detail::OpenSurface(src, ss) ||
      !lice_detail::ClipBlitArea(ds, ss, dstx, dsty, srcx, srcy, (long long)srcx + srcw,
                                 (long long)srcy + srch, a) ||
      a.w < 2 || a.h < 2)
    return;

  // In place: the rows above are overwritten before they are read again, so the earlier
  // values of the previous and the current row are kept aside.
  const bool inPlace = ds.at(a.dx, a.dy) == ss.at(a.sx, a.sy) && ds.step == ss.step;
  lice_detail::SurfaceCopy copy;
  if (!inPlace && lice_detail::AreasOverlap(ds, a.dx, a.dy, ss, a.sx, a.sy, a.w, a.h))
  {
    if (!copy.take(ss)) return;
    ss = copy.surface();
  }
  LICE_pixel stackRows[2 * 1024];
  std::unique_ptr<LICE_pixel[]> heapRows;
  LICE_pixel* rows = stackRows;
  if (inPlace && a.w > 1024)
  {
    heapRows.reset(new (std::nothrow) LICE_pixel[2 * (size_t)a.w]);
    if (!heapRows) return;
    rows = heapRows.get();
  }
  LICE_pixel *prev = rows, *cur = rows + a.w;

  for (int y = 0; y < a.h; ++y)
  {
    const LICE_pixel* s = ss.at(a.sx, a.sy + y);
    const LICE_pixel* below = y + 1 < a.h ? s + ss.step : nullptr;
    LICE_pixel* d = ds.at(a.dx, a.dy + y);
    if (inPlace)
    {
      std::memcpy(cur, s, (size_t)a.w * sizeof(LICE_pixel));
      BlurRow(d, y ? prev : nullptr, cur, below, a.w);
      std::swap(prev, cur);
    }
    else
      BlurRow(d, y ? s - ss.step : nullptr, s, below, a.w);
  }
}
