// Line clipping, lines (plain and anti-aliased) and rectangle outlines.
#include "lice_shape_ops.h"

#include <climits>
#include <cstdlib>
#include <utility>

using namespace lice_detail;

namespace
{
enum
{
  kLeft = 1,
  kRight = 2,
  kTop = 4,
  kBottom = 8
};

int OutCode(int64_t x, int64_t y, int64_t xlo, int64_t ylo, int64_t xhi, int64_t yhi)
{
  return (x < xlo ? kLeft : 0) | (x >= xhi ? kRight : 0) | (y < ylo ? kTop : 0) |
         (y >= yhi ? kBottom : 0);
}

// Cohen-Sutherland against xlo <= x < xhi, ylo <= y < yhi. Coordinates are 64-bit so that
// mirrored or extreme ints cannot overflow; a moved point always lies between the two ends.
bool ClipLine64(int64_t& x1, int64_t& y1, int64_t& x2, int64_t& y2, int64_t xlo, int64_t ylo,
                int64_t xhi, int64_t yhi)
{
  if (xhi <= xlo || yhi <= ylo) return false;
  for (int round = 0; round < 33; ++round)
  {
    const int c1 = OutCode(x1, y1, xlo, ylo, xhi, yhi), c2 = OutCode(x2, y2, xlo, ylo, xhi, yhi);
    if (!(c1 | c2)) return true;
    if (c1 & c2) return false;
    const int c = c1 ? c1 : c2;
    const double dx = (double)(x2 - x1), dy = (double)(y2 - y1);
    int64_t nx, ny;
    if (c & kBottom)
    {
      nx = x1 + (int64_t)std::trunc((double)(yhi - y1) * dx / dy);
      ny = yhi - 1;
    }
    else if (c & kTop)
    {
      nx = x1 + (int64_t)std::trunc((double)(ylo - y1) * dx / dy);
      ny = ylo;
    }
    else if (c & kRight)
    {
      nx = xhi - 1;
      ny = y1 + (int64_t)std::trunc(dy * (double)(xhi - x1) / dx);
    }
    else
    {
      nx = xlo;
      ny = y1 + (int64_t)std::trunc(dy * (double)(xlo - x1) / dx);
    }
    if (c1)
    {
      x1 = nx;
      y1 = ny;
    }
    else
    {
      x2 = nx;
      y2 = ny;
    }
  }
  return false;
}

// Walks from both ends of a line towards its middle along the major axis (m1 < m2); the minor
// coordinate follows in 16.16 and steps when the error passes half a pixel.
template <bool XMajor, class Op>
void StepLine(const Target& t, int m1, int n1, int m2, int n2, const Op& op)
{
  const int d = m2 - m1, dir = n2 > n1 ? 1 : -1;
  const int slope = (int)((double)std::abs(n2 - n1) * 65536.0 / d);
  auto at = [&](int m, int n) { return XMajor ? t.At(m, n) : t.At(n, m); };
  int e = 0, ma = m1, mb = m2, a = n1, b = n2;
  for (int i = (d + 1) / 2; i > 0; --i)
  {
    op(at(ma, a));
    op(at(mb, b));
    ++ma;
    --mb;
    if (e + slope >= 0x8000)
    {
      a += dir;
      b -= dir;
      e += slope - 0x10000;
    }
    else e += slope;
  }
  if (!(d & 1)) op(at(ma, a));
}

// The anti-aliased walk: each pixel's weight shared with its neighbour on the side the line
// heads to, in proportion to the error. The neighbour lies between the two ends' minor
// coordinates, hence inside the clipped line's box.
template <bool XMajor, class C>
void StepLineAA(const Target& t, int m1, int n1, int m2, int n2, const OpWeighted<C>& op, int w)
{
  const int d = m2 - m1, dir = n2 > n1 ? 1 : -1;
  const int slope = (int)((double)std::abs(n2 - n1) * 65536.0 / d);
  auto at = [&](int m, int n) { return XMajor ? t.At(m, n) : t.At(n, m); };
  auto weights = [&](int e, int& on, int& beside) {
    on = 255 - (e >> 8);
    beside = e >> 8;
    if (w < 256)
    {
      on = on * w >> 8;
      beside = beside * w >> 8;
    }
  };
  op(at(m1, n1), w);
  op(at(m2, n2), w);
  int e = slope, ma = m1, mb = m2, a = n1, b = n2, on, beside;
  for (int i = (d + 1) / 2 - 1; i > 0; --i)
  {
    ++ma;
    --mb;
    weights(e, on, beside);
    op(at(ma, a), on);
    op(at(ma, a + dir), beside);
    op(at(mb, b), on);
    op(at(mb, b - dir), beside);
    if (e + slope >= 0x10000)
    {
      a += dir;
      b -= dir;
      e += slope - 0x10000;
    }
    else e += slope;
  }
  if (!(d & 1))
  {
    weights(e, on, beside);
    op(at(ma + 1, a), on);
  }
}

// |dx| == |dy|, x1 < x2. Anti-aliased: three quarters on the diagonal and a quarter on the
// pixels beside it in x and in y (not after the last).
void DiagonalLine(const Target& t, int x1, int y1, int x2, int y2, LICE_pixel color, float alpha,
                  int mode, bool aa)
{
  const int d = x2 - x1, sy = y2 > y1 ? 1 : -1;
  const bool copy = (mode & LICE_BLIT_MODE_MASK) == LICE_BLIT_MODE_COPY;
  if (!aa)
  {
    WithSolidOp(color, alpha, mode, FastRules::FullHalf, [&](const auto& op) {
      for (int i = 0; i <= d; ++i) op(t.At(x1 + i, y1 + i * sy));
    });
    return;
  }
  auto walk = [&](const auto& diag, const auto& side) {
    for (int i = 0; i <= d; ++i)
    {
      const int x = x1 + i, y = y1 + i * sy;
      diag(t.At(x, y));
      if (i < d)
      {
        side(t.At(x + 1, y));
        side(t.At(x, y + sy));
      }
    }
  };
  if (copy && alpha == 1.0f)
  {
    walk(OpThreeQuarters{color}, OpQuarter{color});
    return;
  }
  const int w = WeightOf(alpha);
  const int wd = w < 256 ? 192 * w >> 8 : 192, ws = w < 256 ? 64 * w >> 8 : 64;
  const int r = (int)LICE_GETR(color), g = (int)LICE_GETG(color), b = (int)LICE_GETB(color),
            a = (int)LICE_GETA(color);
  auto blend = [&](auto tag) {
    const OpWeighted<typename decltype(tag)::type> op{r, g, b, a};
    walk([&](LICE_pixel* p) { op(p, wd); }, [&](LICE_pixel* p) { op(p, ws); });
  };
  if (copy) blend(LICE_CombineTag<_LICE_CombinePixelsCopyNoClamp>{});
  else LICE_WithShapeCombineClass(mode, blend);
}

// A clipped line in memory coordinates, ordered along its major axis so that a line and its
// reverse give the same pixels.
void LineMem(const Target& t, int x1, int y1, int x2, int y2, LICE_pixel color, float alpha,
             int mode, bool aa)
{
  const int adx = std::abs(x2 - x1), ady = std::abs(y2 - y1);
  if (adx == 0 || ady == 0)
  {
    WithSolidOp(color, alpha, mode, FastRules::ExactAlpha, [&](const auto& op) {
      if (ady == 0) FillSpan(op, t.At(std::min(x1, x2), y1), adx + 1);
      else
        for (int y = std::min(y1, y2), ye = std::max(y1, y2); y <= ye; ++y) op(t.At(x1, y));
    });
    return;
  }
  const bool xmajor = adx >= ady;
  if (xmajor ? x1 > x2 : y1 > y2)
  {
    std::swap(x1, x2);
    std::swap(y1, y2);
  }
  if (adx == ady)
  {
    DiagonalLine(t, x1, y1, x2, y2, color, alpha, mode, aa);
    return;
  }
  if (!aa)
  {
    WithSolidOp(color, alpha, mode, FastRules::FullHalf, [&](const auto& op) {
      if (xmajor) StepLine<true>(t, x1, y1, x2, y2, op);
      else StepLine<false>(t, y1, x1, y2, x2, op);
    });
    return;
  }
  const int w = WeightOf(alpha);
  if (w <= 0) return;
  const int r = (int)LICE_GETR(color), g = (int)LICE_GETG(color), b = (int)LICE_GETB(color),
            a = (int)LICE_GETA(color);
  auto draw = [&](auto tag) {
    const OpWeighted<typename decltype(tag)::type> op{r, g, b, a};
    if (xmajor) StepLineAA<true>(t, x1, y1, x2, y2, op, w);
    else StepLineAA<false>(t, y1, x1, y2, x2, op, w);
  };
  if ((mode & LICE_BLIT_MODE_MASK) == LICE_BLIT_MODE_COPY)
    draw(LICE_CombineTag<_LICE_CombinePixelsCopyNoClamp>{});
  else LICE_WithShapeCombineClass(mode, draw);
}

int SaturatedAdd(int a, int b)
{
  const int64_t s = (int64_t)a + b;
  return (int)std::max<int64_t>(INT_MIN, std::min<int64_t>(INT_MAX, s));
}
}  // namespace

bool LICE_ClipLine(int* x1, int* y1, int* x2, int* y2, int xlo, int ylo, int xhi, int yhi)
{
  if (!x1 || !y1 || !x2 || !y2) return false;
  int64_t a = *x1, b = *y1, c = *x2, d = *y2;
  if (!ClipLine64(a, b, c, d, xlo, ylo, xhi, yhi)) return false;
  *x1 = (int)a;
  *y1 = (int)b;
  *x2 = (int)c;
  *y2 = (int)d;
  return true;
}

void LICE_Line(LICE_IBitmap* dest, int x1, int y1, int x2, int y2, LICE_pixel color, float alpha,
               int mode, bool aa)
{
  Target t;
  if (!GetTarget(dest, t) || WeightOf(alpha) <= 0) return;
  int64_t ax = x1, ay = y1, bx = x2, by = y2;
  if (t.flipped)
  {
    ay = t.h - 1 - ay;
    by = t.h - 1 - by;
  }
  // One order for both directions, so that a line and its reverse clip to the same ends.
  if (ax > bx || (ax == bx && ay > by))
  {
    std::swap(ax, bx);
    std::swap(ay, by);
  }
  if (!ClipLine64(ax, ay, bx, by, 0, 0, t.w, t.h)) return;
  LineMem(t, (int)ax, (int)ay, (int)bx, (int)by, color, alpha, mode, aa);
}

void LICE_DrawRect(LICE_IBitmap* dest, int x, int y, int w, int h, LICE_pixel color, float alpha,
                   int mode)
{
  const int x2 = SaturatedAdd(x, w), y2 = SaturatedAdd(y, h);
  LICE_Line(dest, x, y, x2, y, color, alpha, mode, false);
  LICE_Line(dest, x2, y, x2, y2, color, alpha, mode, false);
  LICE_Line(dest, x2, y2, x, y2, color, alpha, mode, false);
  LICE_Line(dest, x, y2, x, y, color, alpha, mode, false);
}

void lice_detail::ReferenceSolidPixel(LICE_pixel* p, LICE_pixel color, float alpha, int mode,
                                      FastRules rules)
{
  const int w = WeightOf(alpha);
  if (w <= 0) return;
  if ((mode & LICE_BLIT_MODE_MASK) == LICE_BLIT_MODE_COPY)
  {
    const bool quarters = rules == FastRules::ByWeight ||
                          (rules == FastRules::ExactAlpha && (alpha == 0.25f || alpha == 0.75f));
    if (w == 256) *p = color;
    else if (w == 128) *p = LICE_PixHalf(color, *p);
    else if (quarters && w == 64) *p = LICE_PixQuarter(color, *p);
    else if (quarters && w == 192) *p = LICE_PixThreeQuarters(color, *p);
    else
      _LICE_CombinePixelsCopyNoClamp::doPix((LICE_pixel_chan*)p, (int)LICE_GETR(color),
                                            (int)LICE_GETG(color), (int)LICE_GETB(color),
                                            (int)LICE_GETA(color), w);
    return;
  }
  LICE_WithShapeCombineClass(mode, [&](auto tag) {
    decltype(tag)::type::doPix((LICE_pixel_chan*)p, (int)LICE_GETR(color), (int)LICE_GETG(color),
                               (int)LICE_GETB(color), (int)LICE_GETA(color), w);
  });
}
