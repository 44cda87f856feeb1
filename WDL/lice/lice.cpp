// Whole-bitmap, rectangle and pixel operations.
#include "lice.h"

#include "lice_combine.h"
#include "lice_surface.h"

#include <algorithm>

using lice_detail::ClipRect;
using lice_detail::Surface;

namespace
{
template <class F>
void ForEachRow(const Surface& s, const ClipRect& r, F&& f)
{
  for (int y = 0; y < r.h; ++y) f(s.at(r.x, r.y + y), r.w);
}

// Sets n pixels to one colour. Long rows use the processor's string store, which writes whole
// cache lines without reading them first (as memset does); short ones a plain loop.
void FillPixels(LICE_pixel* p, int n, LICE_pixel color)
{
#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
  if (n >= 512)
  {
    size_t count = (size_t)n;
    asm volatile("rep stosl" : "+D"(p), "+c"(count) : "a"(color) : "memory");
    return;
  }
#endif
  std::fill_n(p, n, color);
}

// The whole-pixel copy rule for w = 64, 128, 192 or 256; false for any other weight.
template <class F>
bool WithFastCopyRule(int w, F&& f)
{
  switch (w)
  {
    case 64: f([](LICE_pixel k, LICE_pixel q) { return LICE_PixQuarter(k, q); }); return true;
    case 128: f([](LICE_pixel k, LICE_pixel q) { return LICE_PixHalf(k, q); }); return true;
    case 192: f([](LICE_pixel k, LICE_pixel q) { return LICE_PixThreeQuarters(k, q); }); return true;
    case 256: f([](LICE_pixel k, LICE_pixel) { return k; }); return true;
    default: return false;
  }
}

// Alpha-weighted float to a 24.8 fixed-point integer, held where no sum can overflow.
long long Fixed8(float v)
{
  if (!(v == v)) return 0;
  const double d = (double)v * 256.0;
  const double lim = 1099511627776.0;  // 2^40
  return (long long)(d > lim ? lim : (d < -lim ? -lim : d));
}
}  // namespace

void LICE_Clear(LICE_IBitmap* dest, LICE_pixel color)
{
  Surface s;
  if (!lice_detail::OpenSurface(dest, s)) return;
  for (int y = 0; y < s.height; ++y) FillPixels(s.row(y), s.width, color);
}

void LICE_ClearRect(LICE_IBitmap* dest, int x, int y, int w, int h, LICE_pixel mask,
                    LICE_pixel orbits)
{
  Surface s;
  ClipRect r;
  if (!lice_detail::OpenSurface(dest, s) || !lice_detail::ClipToArea(x, y, w, h, s.width, s.height, r))
    return;
  ForEachRow(s, r, [=](LICE_pixel* p, int n) {
    for (int i = 0; i < n; ++i) p[i] = (p[i] & mask) | orbits;
  });
}

void LICE_FillRect(LICE_IBitmap* dest, int x, int y, int w, int h, LICE_pixel color, float alpha,
                   int mode)
{
  Surface s;
  ClipRect r;
  if (!lice_detail::OpenSurface(dest, s)) return;
  if (mode & LICE_BLIT_USE_ALPHA) alpha = alpha * (float)LICE_GETA(color) / 255.0f;
  if (!lice_detail::ClipToArea(x, y, w, h, s.width, s.height, r) || alpha == 0.0f) return;

  const int wt = LICE_AlphaWeight(alpha);
  const int cr = LICE_GETR(color), cg = LICE_GETG(color), cb = LICE_GETB(color);
  if ((mode & LICE_BLIT_MODE_MASK) == LICE_BLIT_MODE_COPY)
  {
    if (wt < 1) return;
    if (wt == 256)
    {
      ForEachRow(s, r, [&](LICE_pixel* p, int n) { FillPixels(p, n, color); });
      return;
    }
    const bool fast = WithFastCopyRule(wt, [&](auto rule) {
      ForEachRow(s, r, [&](LICE_pixel* p, int n) {
        for (int i = 0; i < n; ++i) p[i] = rule(color, p[i]);
      });
    });
    if (fast) return;
  }
  if (wt == 0) return;
  LICE_WithShapeCombineClass(mode, [&](auto tag) {
    using C = typename decltype(tag)::type;
    ForEachRow(s, r, [&](LICE_pixel* p, int n) {
      for (int i = 0; i < n; ++i) C::doPix((LICE_pixel_chan*)(p + i), cr, cg, cb, wt, wt);
    });
  });
}

void LICE_PutPixel(LICE_IBitmap* dest, int x, int y, LICE_pixel color, float alpha, int mode)
{
  Surface s;
  if (!lice_detail::OpenSurface(dest, s) || x < 0 || y < 0 || x >= s.width || y >= s.height) return;
  LICE_pixel* p = s.at(x, y);
  const int wt = LICE_AlphaWeight(alpha);
  if ((mode & LICE_BLIT_MODE_MASK) == LICE_BLIT_MODE_COPY)
  {
    if (wt < 1) return;
    if (WithFastCopyRule(wt, [&](auto rule) { *p = rule(color, *p); })) return;
  }
  if (wt == 0) return;
  LICE_WithShapeCombineClass(mode, [&](auto tag) {
    using C = typename decltype(tag)::type;
    C::doPix((LICE_pixel_chan*)p, LICE_GETR(color), LICE_GETG(color), LICE_GETB(color),
             LICE_GETA(color), wt);
  });
}

LICE_pixel LICE_GetPixel(LICE_IBitmap* dest, int x, int y)
{
  Surface s;
  if (!lice_detail::OpenSurface(dest, s) || x < 0 || y < 0 || x >= s.width || y >= s.height)
    return 0;
  return *s.at(x, y);
}

void LICE_Copy(LICE_IBitmap* dest, LICE_IBitmap* src)
{
  if (!dest || !src || dest == src) return;
  dest->resize(src->getWidth(), src->getHeight());
  LICE_Blit(dest, src, 0, 0, nullptr, 1.0f, LICE_BLIT_MODE_COPY);
}

void LICE_ProcessRect(LICE_IBitmap* dest, int x, int y, int w, int h,
                      void (*procFunc)(LICE_pixel* p, void* parm), void* parm)
{
  Surface s;
  ClipRect r;
  if (!procFunc || !lice_detail::OpenSurface(dest, s) ||
      !lice_detail::ClipToArea(x, y, w, h, s.width, s.height, r))
    return;
  ForEachRow(s, r, [=](LICE_pixel* p, int n) {
    for (int i = 0; i < n; ++i) procFunc(p + i, parm);
  });
}

void LICE_MultiplyAddRect(LICE_IBitmap* dest, int x, int y, int w, int h, float rsc, float gsc,
                          float bsc, float asc, float radd, float gadd, float badd, float aadd)
{
  Surface s;
  ClipRect r;
  if (!lice_detail::OpenSurface(dest, s) || !lice_detail::ClipToArea(x, y, w, h, s.width, s.height, r))
    return;
  // Channel order of the shifts: blue 0, green 8, red 16, alpha 24.
  const long long sc[4] = {Fixed8(bsc), Fixed8(gsc), Fixed8(rsc), Fixed8(asc)};
  const long long ad[4] = {Fixed8(badd), Fixed8(gadd), Fixed8(radd), Fixed8(aadd)};
  ForEachRow(s, r, [&](LICE_pixel* p, int n) {
    for (int i = 0; i < n; ++i)
    {
      LICE_pixel out = 0;
      for (int c = 0; c < 4; ++c)
      {
        const long long v = ad[c] + sc[c] * ((p[i] >> (8 * c)) & 0xff);
        const LICE_pixel ch = v < 0 ? 0 : (v >= 65536 ? 255 : (LICE_pixel)(v >> 8));
        out |= ch << (8 * c);
      }
      p[i] = out;
    }
  });
}

void LICE_SetAlphaFromColorMask(LICE_IBitmap* dest, LICE_pixel color)
{
  Surface s;
  if (!lice_detail::OpenSurface(dest, s)) return;
  color &= 0xFFFFFF;
  for (int y = 0; y < s.height; ++y)
  {
    LICE_pixel* p = s.row(y);
    for (int i = 0; i < s.width; ++i)
      p[i] = (p[i] & 0xFFFFFF) == color ? color : (p[i] | 0xFF000000);
  }
}

void LICE_SimpleFill(LICE_IBitmap* dest, int x, int y, LICE_pixel newcolor, LICE_pixel comparemask,
                     LICE_pixel keepmask)
{
  Surface s;
  if (!lice_detail::OpenSurface(dest, s) || x < 0 || y < 0 || x >= s.width || y >= s.height) return;
  const LICE_pixel key = *s.at(x, y) & comparemask;
  auto matches = [=](LICE_pixel p) { return (p & comparemask) == key; };
  // Fills the row's matching span through column x; false when column x itself does not match.
  auto fillRow = [&](int row) {
    LICE_pixel* p = s.row(row);
    if (!matches(p[x])) return false;
    p[x] = newcolor | (p[x] & keepmask);
    for (int i = x + 1; i < s.width && matches(p[i]); ++i) p[i] = newcolor | (p[i] & keepmask);
    for (int i = x - 1; i >= 0 && matches(p[i]); --i) p[i] = newcolor | (p[i] & keepmask);
    return true;
  };
  int row = y;
  while (row < s.height && fillRow(row)) ++row;
  row = y - 1;
  while (row >= 0 && fillRow(row)) --row;
}
