// Filled trapezoids, convex polygons and triangles.
#include "lice_shape_ops.h"

#include <memory>
#include <new>

using namespace lice_detail;

namespace
{
// One side of a trapezoid in 16.16: the step 65536 * dx / dy, limited to +-2^29, is added to a
// fraction row by row, so x at row k below the top is x0 + sign * ((k * |step|) >> 16).
struct Edge
{
  int64_t x0, mag, sign;
  Edge(int64_t xa, int64_t xb, int64_t dy) : x0(xa), mag(0), sign(xb < xa ? -1 : 1)
  {
    if (dy > 0)
      mag = ClampTrunc((double)(xb > xa ? xb - xa : xa - xb) * 65536.0 / (double)dy, 0,
                       int64_t(1) << 29);
  }
  int64_t At(int64_t k) const { return x0 + sign * ((k * mag) >> 16); }
};

// Rows y1..y2 (memory rows, any order), each span clipped to the bitmap; the bottom row takes
// the given x2a..x2b exactly, and is left out when !lastRow (a polygon band whose bottom row
// belongs to the next band). A single row spans both given pairs.
template <class Op>
void TrapezoidMem(const Target& t, int64_t x1a, int64_t x1b, int64_t y1, int64_t x2a, int64_t x2b,
                  int64_t y2, const Op& op, bool lastRow)
{
  if (y1 > y2)
  {
    std::swap(x1a, x2a);
    std::swap(x1b, x2b);
    std::swap(y1, y2);
  }
  if (std::max({x1a, x1b, x2a, x2b}) < 0 || std::min({x1a, x1b, x2a, x2b}) >= t.w || y2 < 0 ||
      y1 >= t.h)
    return;
  const int64_t dy = y2 - y1;
  const Edge a(x1a, x2a, dy), b(x1b, x2b, dy);
  const int64_t yEnd = std::min<int64_t>(lastRow ? y2 : y2 - 1, t.h - 1);
  for (int64_t y = std::max<int64_t>(y1, 0); y <= yEnd; ++y)
  {
    int64_t xa = a.At(y - y1), xb = b.At(y - y1);
    if (y == y2 && dy)
    {
      xa = x2a;
      xb = x2b;
    }
    else if (y == y2)
    {
      xa = std::min({x1a, x1b, x2a, x2b});
      xb = std::max({x1a, x1b, x2a, x2b});
    }
    const int64_t lo = std::max<int64_t>(std::min(xa, xb), 0);
    const int64_t hi = std::min<int64_t>(std::max(xa, xb), t.w - 1);
    if (lo <= hi) FillSpan(op, t.At((int)lo, (int)y), (int)(hi - lo + 1));
  }
}

struct Pt
{
  int64_t x, y;
};

// x of the edge a -> b at a row, in single precision as the bands are cut.
int64_t EdgeX(const Pt& a, const Pt& b, int64_t row)
{
  const float slope = (float)(b.x - a.x) / (float)(b.y - a.y);
  return a.x + ClampTrunc((double)((float)(row - a.y) * slope), -(int64_t(1) << 40), int64_t(1) << 40);
}

// One side of the hull of points sorted by y then x: per row its outermost point (leftmost
// for dir = -1, rightmost for +1), keeping only points that bulge outward. Returns the count of
// indices written to `chain`.
int HullChain(const Pt* p, int n, int dir, int* chain)
{
  int m = 0;
  for (int i = 0; i < n;)
  {
    int j = i;
    while (j + 1 < n && p[j + 1].y == p[i].y) ++j;
    const int pick = dir < 0 ? i : j;
    while (m >= 2)
    {
      const Pt &a = p[chain[m - 2]], &b = p[chain[m - 1]], &c = p[pick];
      const double cross = (double)(b.x - a.x) * (double)(c.y - a.y) -
                           (double)(b.y - a.y) * (double)(c.x - a.x);
      if (dir < 0 ? cross < 0 : cross > 0) break;
      --m;
    }
    chain[m++] = pick;
    i = j + 1;
  }
  return m;
}

// Bands between successive vertex rows of the two chains, each one trapezoid; a band's bottom
// row is drawn once, by the band below it.
template <class Op>
void FillSorted(const Target& t, const Pt* p, int n, int* left, int* right, const Op& op)
{
  if (p[0].y == p[n - 1].y)
  {
    TrapezoidMem(t, p[0].x, p[n - 1].x, p[0].y, p[0].x, p[n - 1].x, p[0].y, op, true);
    return;
  }
  const int nl = HullChain(p, n, -1, left), nr = HullChain(p, n, 1, right);
  const int64_t bottom = p[n - 1].y;
  for (int li = 0, ri = 0; li + 1 < nl && ri + 1 < nr;)
  {
    const Pt &la = p[left[li]], &lb = p[left[li + 1]], &ra = p[right[ri]], &rb = p[right[ri + 1]];
    const int64_t y0 = std::max(la.y, ra.y), y1 = std::min(lb.y, rb.y);
    if (y0 >= t.h) break;
    TrapezoidMem(t, EdgeX(la, lb, y0), EdgeX(ra, rb, y0), y0, EdgeX(la, lb, y1), EdgeX(ra, rb, y1),
                 y1, op, y1 == bottom);
    if (lb.y == y1) ++li;
    if (rb.y == y1) ++ri;
  }
}
}  // namespace

void LICE_FillTrapezoid(LICE_IBitmap* dest, int x1a, int x1b, int y1, int x2a, int x2b, int y2,
                        LICE_pixel color, float alpha, int mode)
{
  Target t;
  if (!GetTarget(dest, t)) return;
  const int64_t ya = t.flipped ? t.h - 1 - (int64_t)y1 : y1;
  const int64_t yb = t.flipped ? t.h - 1 - (int64_t)y2 : y2;
  WithSolidOp(color, alpha, mode, FastRules::ByWeight, [&](const auto& op) {
    TrapezoidMem(t, x1a, x1b, ya, x2a, x2b, yb, op, true);
  });
}

void LICE_FillConvexPolygon(LICE_IBitmap* dest, const int* x, const int* y, int npoints,
                            LICE_pixel color, float alpha, int mode)
{
  Target t;
  if (!GetTarget(dest, t) || !x || !y || npoints < 3 || WeightOf(alpha) <= 0) return;
  constexpr int kStackPoints = 512;
  Pt stackPts[kStackPoints];
  int stackChains[2 * kStackPoints];
  std::unique_ptr<Pt[]> heapPts;
  std::unique_ptr<int[]> heapChains;
  Pt* p = stackPts;
  int* chains = stackChains;
  if (npoints > kStackPoints)
  {
    heapPts.reset(new (std::nothrow) Pt[npoints]);
    heapChains.reset(new (std::nothrow) int[2 * (size_t)npoints]);
    if (!heapPts || !heapChains) return;
    p = heapPts.get();
    chains = heapChains.get();
  }
  for (int i = 0; i < npoints; ++i) p[i] = {x[i], t.flipped ? t.h - 1 - (int64_t)y[i] : y[i]};
  std::sort(p, p + npoints, [](const Pt& a, const Pt& b) { return a.y != b.y ? a.y < b.y : a.x < b.x; });
  WithSolidOp(color, alpha, mode, FastRules::ByWeight, [&](const auto& op) {
    FillSorted(t, p, npoints, chains, chains + npoints, op);
  });
}

void LICE_FillTriangle(LICE_IBitmap* dest, int x1, int y1, int x2, int y2, int x3, int y3,
                       LICE_pixel color, float alpha, int mode)
{
  const int xs[3] = {x1, x2, x3}, ys[3] = {y1, y2, y3};
  LICE_FillConvexPolygon(dest, xs, ys, 3, color, alpha, mode);
}
