// The scaled blit: nearest, box-filtered or bilinear sampling in 16.16 fixed point.
#include "lice.h"

#include "lice_sample.h"
#include "lice_simd.h"

#include <algorithm>
#include <cmath>
#include <type_traits>

using lice_detail::Surface;

namespace
{
using i128 = __int128;

// Destination columns (or rows) [first, first + count) of n whose 16.16 source positions
// pos + i * step are drawn, for a source `size` pixels long. A forward step skips the columns
// before the source and ends before the sample that would reach past the last pixel's start; a
// backward (mirrored) step draws the columns whose positions lie inside the source.
bool SampleRange(long long pos, long long step, long long n, int size, long long& first,
                 long long& count)
{
  const i128 lim = (i128)size << 16;
  i128 q = 0, cnt = 0;
  if (step > 0)
  {
    if (pos < 0) q = ((i128)step - 1 - pos) / step;
    if (q >= n) return false;
    const i128 p0 = pos + q * step;
    cnt = n - q;
    if (p0 + (cnt - 1) * step >= lim)
    {
      const i128 cut = (((i128)size - 1) * 65536 - p0) / step;
      if (cut < cnt) cnt = cut;
    }
  }
  else if (step < 0)
  {
    if (pos >= lim) q = ((i128)pos - lim - step) / -step;
    if (q >= n) return false;
    const i128 p0 = pos + q * step;
    if (p0 < 0) return false;
    cnt = p0 / -step + 1;
    if (cnt > n - q) cnt = n - q;
  }
  else
  {
    if (pos < 0 || pos >= lim) return false;
    cnt = n;
  }
  if (cnt <= 0) return false;
  first = (long long)q;
  count = (long long)cnt;
  return true;
}

struct Grid
{
  int dx, dy, w, h;           // destination area
  long long px, sx, py, sy;  // 16.16 position of its first pixel and steps
};

template <class Put, class Sampler>
void Draw(const Surface& ds, const Grid& g, Sampler smp, int w)
{
  long long py = g.py;
  for (int j = 0; j < g.h; ++j, py += g.sy)
  {
    smp.setRow((int)(py >> 16), (unsigned)(py & 0xFFFF));
    LICE_pixel* d = ds.at(g.dx, g.dy + j);
    long long px = g.px;
    for (int i = 0; i < g.w; ++i, px += g.sx)
      Put::put(d + i, smp.at((int)(px >> 16), (unsigned)(px & 0xFFFF)), w);
  }
}
// Bilinear samples stored as they are (the full-weight copy) with a vector row: the columns whose
// right neighbour lies inside the source (one run, since positions are monotonic) go to `row`
// in strips whose source columns and fractions are worked out once for all rows; the others
// go through the sampler.
void DrawBilinearStore(const Surface& ds, const Grid& g, const Surface* src,
                       lice_detail::BilinearRowFn row)
{
  const long long lim = ((long long)src->width - 1) << 16;
  long long a = 0, b = g.w;
  if (g.sx > 0)
    b = g.px >= lim ? 0 : std::min<long long>(g.w, (lim - g.px + g.sx - 1) / g.sx);
  else if (g.sx < 0)
    a = g.px < lim ? 0 : std::min<long long>(g.w, (g.px - lim - g.sx) / -g.sx);
  else if (g.px >= lim)
    b = 0;
  if (b < a) b = a;

  lice_detail::BilinearSampler smp{src};
  auto sampleColumns = [&](long long from, long long to) {
    long long py = g.py;
    for (int j = 0; j < g.h; ++j, py += g.sy)
    {
      smp.setRow((int)(py >> 16), (unsigned)(py & 0xFFFF));
      LICE_pixel* d = ds.at(g.dx, g.dy + j);
      for (long long i = from; i < to; ++i)
      {
        const long long px = g.px + i * g.sx;
        d[i] = smp.at((int)(px >> 16), (unsigned)(px & 0xFFFF));
      }
    }
  };
  sampleColumns(0, a);
  constexpr int kStrip = 256;
  int32_t xs[kStrip], fxs[kStrip];
  for (long long c0 = a; c0 < b; c0 += kStrip)
  {
    const int n = (int)std::min<long long>(kStrip, b - c0);
    for (int i = 0; i < n; ++i)
    {
      const long long px = g.px + (c0 + i) * g.sx;
      xs[i] = (int32_t)(px >> 16);
      fxs[i] = (int32_t)(px & 0xFFFF);
    }
    long long py = g.py;
    for (int j = 0; j < g.h; ++j, py += g.sy)
    {
      smp.setRow((int)(py >> 16), (unsigned)(py & 0xFFFF));
      row(ds.at(g.dx + (int)c0, g.dy + j), n, smp.r0, smp.r1, xs, fxs, smp.fy);
    }
  }
  sampleColumns(b, g.w);
}
}  // namespace

void LICE_ScaledBlit(LICE_IBitmap* dest, LICE_IBitmap* src, int dstx, int dsty, int dstw,
                     int dsth, float srcx, float srcy, float srcw, float srch, float alpha,
                     int mode)
{
  if (!dest || !src || !dstw || !dsth || alpha == 0.0f) return;
  if (!std::isfinite(srcx) || !std::isfinite(srcy) || !std::isfinite(srcw) || !std::isfinite(srch))
    return;
  const bool bilinear = (mode & LICE_BLIT_FILTER_MASK) == LICE_BLIT_FILTER_BILINEAR;

  if (std::fabs(srcw - dstw) < 0.001 && std::fabs(srch - dsth) < 0.001)
  {
    auto whole = [](double v) { return std::fabs(v - std::floor(v + 0.5)) < 0.03; };
    if (!bilinear || (whole(srcx) && whole(srcy)))
    {
      LICE_Blit(dest, src, dstx, dsty, lice_detail::ToIntClamped(srcx + 0.5),
                lice_detail::ToIntClamped(srcy + 0.5), dstw, dsth, alpha, mode);
      return;
    }
  }

  Surface ds, ss;
  if (!lice_detail::OpenSurface(dest, ds) || !lice_detail::OpenSurface(src, ss)) return;
  const int w = LICE_AlphaWeight(alpha);
  const int key = mode & (LICE_BLIT_MODE_MASK | LICE_BLIT_USE_ALPHA);
  if (w == 0 || (key == LICE_BLIT_MODE_COPY && w < 1)) return;

  // Mirroring: the first destination column shows the last source column (one step in from the
  // source rectangle's far edge), so that every column appears once, in reverse order.
  double sx = srcx, sy = srcy, sw = srcw, sh = srch;
  long long dx = dstx, dy = dsty, dw = dstw, dh = dsth;
  const double stepx = sw / (double)dw, stepy = sh / (double)dh;
  if (dw < 0)
  {
    sx += sw + stepx;
    dx += dw;
    dw = -dw;
  }
  if (dh < 0)
  {
    sy += sh + stepy;
    dy += dh;
    dh = -dh;
  }
  // The destination clipped to the bitmap; the source start moves by what was cut off.
  lice_detail::ClipRect clip;
  if (!lice_detail::ClipToArea(dx, dy, dw, dh, ds.width, ds.height, clip)) return;
  if (clip.x != dx) sx -= (double)dx * stepx;
  if (clip.y != dy) sy -= (double)dy * stepy;
  dx = clip.x;
  dy = clip.y;
  dw = clip.w;
  dh = clip.h;

  Grid g{};
  g.sx = lice_detail::ToFixed16(stepx);
  g.sy = lice_detail::ToFixed16(stepy);
  long long firstx, countx, firsty, county;
  const long long icx = lice_detail::ToFixed16(sx), icy = lice_detail::ToFixed16(sy);
  if (!SampleRange(icx, g.sx, dw, ss.width, firstx, countx) ||
      !SampleRange(icy, g.sy, dh, ss.height, firsty, county))
    return;
  g.dx = (int)(dx + firstx);
  g.dy = (int)(dy + firsty);
  g.w = (int)countx;
  g.h = (int)county;
  g.px = (long long)(icx + (i128)firstx * g.sx);
  g.py = (long long)(icy + (i128)firsty * g.sy);

  // A source that shares memory with the destination area is read from a copy.
  lice_detail::SurfaceCopy copy;
  if (lice_detail::SourceOverlapsArea(ss, ds, g.dx, g.dy, g.w, g.h))
  {
    if (!copy.take(ss)) return;
    ss = copy.surface();
  }

  const Surface* s = &ss;
  if (!bilinear && (mode & 0x1FFFF) == 0 && w == 128)
  {
    Draw<lice_detail::PutHalf>(ds, g, lice_detail::NearestSampler{s}, w);
    return;
  }
  LICE_WithCombineClass(mode, w, [&](auto tag) {
    using Put = lice_detail::PutPixel<typename decltype(tag)::type>;
    if (!bilinear)
      Draw<Put>(ds, g, lice_detail::NearestSampler{s}, w);
    else if (std::fabs(stepx) >= 1.7 && std::fabs(stepy) >= 1.7)
    {
      const long long ax = g.sx < 0 ? -g.sx : g.sx, ay = g.sy < 0 ? -g.sy : g.sy;
      if ((ax > ay ? ax : ay) <= 0x30000)
        Draw<Put>(ds, g, lice_detail::BoxSampler<1>{s}, w);
      else
        Draw<Put>(ds, g, lice_detail::BoxSampler<2>{s}, w);
    }
    else if (std::is_same_v<Put, lice_detail::PutPixel<_LICE_CombinePixelsClobberNoClamp>> &&
             lice_detail::BilinearStoreRow())
      DrawBilinearStore(ds, g, s, lice_detail::BilinearStoreRow());
    else
      Draw<Put>(ds, g, lice_detail::BilinearSampler{s}, w);
  });
}
