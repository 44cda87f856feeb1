// The rotated blit: each destination pixel samples the source at a rotated, scaled position.
#include "lice.h"

#include "lice_sample.h"

#include <cmath>

using lice_detail::Surface;

namespace
{
// A fixed-point step held within +-2^31, so that a position (at most 2^52) plus any number of
// steps across a destination row stays within 64 bits.
long long StepFixed(double v)
{
  const long long f = lice_detail::ToFixed16(v), lim = 2147483648LL;
  return f > lim ? lim : (f < -lim ? -lim : f);
}

template <class Put, bool Bilinear>
void Draw(const Surface& ds, int dx, int dy, int w, int h, const Surface& box, double sx0,
          double sy0, double colx, double coly, double rowx, double rowy, int wt)
{
  const unsigned long long limx = (unsigned long long)box.width << 16,
                           limy = (unsigned long long)box.height << 16;
  const long long stx = StepFixed(colx), sty = StepFixed(coly);
  for (int j = 0; j < h; ++j)
  {
    long long px = lice_detail::ToFixed16(sx0 + j * rowx), py = lice_detail::ToFixed16(sy0 + j * rowy);
    LICE_pixel* d = ds.at(dx, dy + j);
    for (int i = 0; i < w; ++i, px += stx, py += sty)
    {
      if ((unsigned long long)px >= limx || (unsigned long long)py >= limy) continue;
      const int x = (int)(px >> 16), y = (int)(py >> 16);
      const LICE_pixel* r0 = box.row(y);
      LICE_pixel s;
      if constexpr (Bilinear)
      {
        const LICE_pixel* r1 = y + 1 < box.height ? box.row(y + 1) : r0;
        const int x1 = x + 1 < box.width ? x + 1 : x;
        s = lice_detail::BilinearPixel(r0[x], r0[x1], r1[x], r1[x1], (unsigned)(px & 0xFFFF),
                                       (unsigned)(py & 0xFFFF));
      }
      else
        s = r0[x];
      Put::put(d + i, s, wt);
    }
  }
}
}  // namespace

void LICE_RotatedBlit(LICE_IBitmap* dest, LICE_IBitmap* src, int dstx, int dsty, int dstw,
                      int dsth, float srcx, float srcy, float srcw, float srch, float angle,
                      bool cliptosourcerect, float alpha, int mode, float rotxcent, float rotycent)
{
  if (!dest || !src || !dstw || !dsth) return;
  for (float v : {srcx, srcy, srcw, srch, angle, rotxcent, rotycent})
    if (!std::isfinite(v)) return;
  const int wt = LICE_AlphaWeight(alpha);
  const int key = mode & (LICE_BLIT_MODE_MASK | LICE_BLIT_USE_ALPHA);
  if (wt == 0 || (key == LICE_BLIT_MODE_COPY && wt < 1)) return;
  Surface ds, ss;
  if (!lice_detail::OpenSurface(dest, ds) || !lice_detail::OpenSurface(src, ss)) return;

  // The area that may be sampled: the source, or its part inside the source rectangle.
  long long cl = 0, ct = 0, cr = ss.width, cb = ss.height;
  if (cliptosourcerect)
  {
    const double l = std::floor(std::fmin(srcx, srcx + srcw)), r = std::ceil(std::fmax(srcx, srcx + srcw));
    const double t = std::floor(std::fmin(srcy, srcy + srch)), b = std::ceil(std::fmax(srcy, srcy + srch));
    if (l > cl) cl = l >= cr ? cr : (long long)l;
    if (t > ct) ct = t >= cb ? cb : (long long)t;
    if (r < cr) cr = r <= cl ? cl : (long long)r;
    if (b < cb) cb = b <= ct ? ct : (long long)b;
  }
  if (cl >= cr || ct >= cb) return;

  double sx = srcx, sy = srcy, sw = srcw, sh = srch;
  long long dx = dstx, dy = dsty, dw = dstw, dh = dsth;
  const bool mirrorX = dw < 0, mirrorY = dh < 0;
  if (mirrorX)
  {
    sx += sw;
    sw = -sw;
    dx += dw;
    dw = -dw;
  }
  if (mirrorY)
  {
    sy += sh;
    sh = -sh;
    dy += dh;
    dh = -dh;
  }
  const double c = std::cos((double)angle), s = std::sin((double)angle);
  const double xsc = sw / (double)dw, ysc = sh / (double)dh;
  const double colx = xsc * c, coly = -ysc * s, rowx = xsc * s, rowy = ysc * c;
  double sx0 = sx - ((dh * xsc * s + dw * xsc * c - sw) / 2 - rotxcent);
  double sy0 = sy - ((dh * ysc * c - dw * ysc * s - sh) / 2 - rotycent);
  // A mirrored picture starts one source pixel in from the far edge, as in the scaled blit.
  if (mirrorX) sx0 += xsc;
  if (mirrorY) sy0 += ysc;

  // The destination clipped to the bitmap; the source start moves by what was cut off.
  lice_detail::ClipRect clip;
  if (!lice_detail::ClipToArea(dx, dy, dw, dh, ds.width, ds.height, clip)) return;
  if (clip.x != dx)
  {
    sx0 -= (double)dx * colx;
    sy0 -= (double)dx * coly;
  }
  if (clip.y != dy)
  {
    sx0 -= (double)dy * rowx;
    sy0 -= (double)dy * rowy;
  }
  dx = clip.x;
  dy = clip.y;
  dw = clip.w;
  dh = clip.h;

  lice_detail::SurfaceCopy copy;
  if (lice_detail::SourceOverlapsArea(ss, ds, (int)dx, (int)dy, (int)dw, (int)dh))
  {
    if (!copy.take(ss)) return;
    ss = copy.surface();
  }
  Surface box = ss;
  box.bits = ss.at((int)cl, (int)ct);
  box.width = (int)(cr - cl);
  box.height = (int)(cb - ct);
  sx0 -= (double)cl;
  sy0 -= (double)ct;

  const bool bilinear = (mode & LICE_BLIT_FILTER_MASK) == LICE_BLIT_FILTER_BILINEAR;
  LICE_WithCombineClass(mode, wt, [&](auto tag) {
    using Put = lice_detail::PutPixel<typename decltype(tag)::type>;
    if (bilinear)
      Draw<Put, true>(ds, (int)dx, (int)dy, (int)dw, (int)dh, box, sx0, sy0, colx, coly, rowx, rowy, wt);
    else
      Draw<Put, false>(ds, (int)dx, (int)dy, (int)dw, (int)dh, box, sx0, sy0, colx, coly, rowx, rowy, wt);
  });
}
