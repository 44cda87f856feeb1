// Circles: small fixed sprites, the midpoint outline and disc, and their anti-aliased forms.
#include "lice_shape_ops.h"

using namespace lice_detail;

namespace
{
// Anti-aliased sprites: the coverage of a ring one pixel wide on the circle of the radius,
// centred in a square of 2r + 1 pixels.
const unsigned char kRing15[16] = {
   81, 234, 234,  81,
  234,  53,  53, 234,
  234,  53,  53, 234,
   81, 234, 234,  81,
};
const unsigned char kRing20[25] = {
   36, 195, 251, 195,  36,
  195, 119,   0, 119, 195,
  251,   0,   0,   0, 251,
  195, 119,   0, 119, 195,
   36, 195, 251, 195,  36,
};
const unsigned char kRing25[36] = {
    0, 146, 241, 241, 146,   0,
  146, 174,  21,  21, 174, 146,
  241,  21,   0,   0,  21, 241,
  241,  21,   0,   0,  21, 241,
  146, 174,  21,  21, 174, 146,
    0, 146, 241, 241, 146,   0,
};
const unsigned char kRing30[49] = {
    0,  90, 214, 253, 214,  90,   0,
   90, 219,  60,   0,  60, 219,  90,
  214,  60,   0,   0,   0,  60, 214,
  253,   0,   0,   0,   0,   0, 253,
  214,  60,   0,   0,   0,  60, 214,
   90, 219,  60,   0,  60, 219,  90,
    0,  90, 214, 253, 214,  90,   0,
};
const unsigned char kRing35[64] = {
    0,  42, 178, 245, 245, 178,  42,   0,
   42, 234, 109,  14,  14, 109, 234,  42,
  178, 109,   0,   0,   0,   0, 109, 178,
  245,  14,   0,   0,   0,   0,  14, 245,
  245,  14,   0,   0,   0,   0,  14, 245,
  178, 109,   0,   0,   0,   0, 109, 178,
   42, 234, 109,  14,  14, 109, 234,  42,
    0,  42, 178, 245, 245, 178,  42,   0,
};
const unsigned char kRing40[81] = {
    0,  11, 132, 223, 255, 223, 132,  11,   0,
   11, 200, 165,  41,   0,  41, 165, 200,  11,
  132, 165,   0,   0,   0,   0,   0, 165, 132,
  223,  41,   0,   0,   0,   0,   0,  41, 223,
  255,   0,   0,   0,   0,   0,   0,   0, 255,
  223,  41,   0,   0,   0,   0,   0,  41, 223,
  132, 165,   0,   0,   0,   0,   0, 165, 132,
   11, 200, 165,  41,   0,  41, 165, 200,  11,
    0,  11, 132, 223, 255, 223, 132,  11,   0,
};
// Plain sprites: one-pixel outlines, 8-connected, symmetric under both mirrors and transposing.
const char* const kSolid15[] = {".XX.", "X..X", "X..X", ".XX."};
const char* const kSolid20[] = {".XXX.", "X...X", "X...X", "X...X", ".XXX."};
const char* const kSolid25[] = {".XXXX.", "X....X", "X....X", "X....X", "X....X", ".XXXX."};
const char* const kSolid30[] = {"..XXX..", ".X...X.", "X.....X", "X.....X",
                                "X.....X", ".X...X.", "..XXX.."};
const char* const kSolid35[] = {"..XXXX..", ".X....X.", "X......X", "X......X",
                                "X......X", "X......X", ".X....X.", "..XXXX.."};
const char* const kSolid40[] = {"..XXXXX..", ".X.....X.", "X.......X", "X.......X", "X.......X",
                                "X.......X", "X.......X", ".X.....X.", "..XXXXX.."};

struct Sprite
{
  float r;
  int size;
  const unsigned char* ring;
  const char* const* solid;
};
const Sprite kSprites[] = {{1.5f, 4, kRing15, kSolid15}, {2.0f, 5, kRing20, kSolid20},
                           {2.5f, 6, kRing25, kSolid25}, {3.0f, 7, kRing30, kSolid30},
                           {3.5f, 8, kRing35, kSolid35}, {4.0f, 9, kRing40, kSolid40}};

// Radii above this are not drawn: the walks below take time in proportion to the radius.
constexpr float kMaxRadius = 1 << 20;

struct Clip
{
  int x0, y0, x1, y1;  // half-open
  bool In(int x, int y) const { return x >= x0 && x < x1 && y >= y0 && y < y1; }
};

// floor(sqrt(v)), integer only.
uint64_t ISqrt(uint64_t v)
{
  uint64_t r = 0, bit = uint64_t(1) << 62;
  while (bit > v) bit >>= 2;
  for (; bit; bit >>= 2)
  {
    if (v >= r + bit)
    {
      v -= r + bit;
      r = (r >> 1) + bit;
    }
    else r >>= 1;
  }
  return r;
}

// Rows cy - dy and cy + dy (one row when dy is 0), columns cx - hw .. cx + hw, clipped.
template <class Op>
void SymmetricRows(const Target& t, const Clip& c, int cx, int cy, int dy, int hw, const Op& op)
{
  const int x0 = std::max(cx - hw, c.x0), x1 = std::min(cx + hw + 1, c.x1);
  if (x0 >= x1) return;
  if (cy - dy >= c.y0 && cy - dy < c.y1) FillSpan(op, t.At(x0, cy - dy), x1 - x0);
  if (dy && cy + dy >= c.y0 && cy + dy < c.y1) FillSpan(op, t.At(x0, cy + dy), x1 - x0);
}

// Midpoint walk of the octant from the top towards 45 degrees: (x, y) for x = 1, 2, ... while
// x <= y, the decision value starting at -R.
template <class F>
void MidpointWalk(int R, F&& point)
{
  int x = 0, y = R, d = -R;
  while (x < y)
  {
    const int old = d;
    d += 2 * x + 3;
    if (old >= 0)
    {
      d -= 2 * (y - 1);
      --y;
    }
    ++x;
    if (x > y) break;
    point(x, y);
  }
}

// Each pixel once, also at alpha below 1: axis points and the 45-degree points are not repeated.
template <class Op>
void MidpointOutline(const Target& t, const Clip& c, int cx, int cy, int R, const Op& op)
{
  auto plot = [&](int x, int y) {
    if (c.In(x, y)) op(t.At(x, y));
  };
  plot(cx, cy - R);
  if (!R) return;
  plot(cx, cy + R);
  plot(cx - R, cy);
  plot(cx + R, cy);
  MidpointWalk(R, [&](int x, int y) {
    plot(cx + x, cy - y), plot(cx - x, cy - y), plot(cx + x, cy + y), plot(cx - x, cy + y);
    if (x == y) return;
    plot(cx + y, cy - x), plot(cx - y, cy - x), plot(cx + y, cy + x), plot(cx - y, cy + x);
  });
}

// The disc inside the midpoint outline, one span per row: the rows at +-x get half-width y, the
// rows at +-y half-width the last x on that row.
template <class Op>
void MidpointDisc(const Target& t, const Clip& c, int cx, int cy, int R, const Op& op)
{
  SymmetricRows(t, c, cx, cy, 0, R, op);
  int px = 0, py = R;
  MidpointWalk(R, [&](int x, int y) {
    if (y != py) SymmetricRows(t, c, cx, cy, py, px, op);
    SymmetricRows(t, c, cx, cy, x, y, op);
    px = x;
    py = y;
  });
  if (py > px) SymmetricRows(t, c, cx, cy, py, px, op);
}

// Anti-aliased: the true outline at each x is split between the pixels below and above it.
// Columns walk the octants near the vertical axis (x <= y), rows the others (x > y), so that
// no pixel is visited twice. pix(u, v, coverage, outer, transposed) gets both pixels of a step.
template <class F>
void AAWalk(int R, F&& pix)
{
  const int64_t R2 = (int64_t)R * R;
  for (int x = 0;; ++x)
  {
    const uint64_t yf = ISqrt((uint64_t)(R2 - (int64_t)x * x) << 16);
    const int y0 = (int)(yf >> 8), frac = (int)(yf & 255);
    if (x > y0 + 1) break;
    if (x <= y0) pix(x, y0, 255 - frac, false, false);
    pix(x, y0 + 1, frac, true, false);
  }
  for (int x = 0;; ++x)
  {
    const uint64_t yf = ISqrt((uint64_t)(R2 - (int64_t)x * x) << 16);
    const int y0 = (int)(yf >> 8), frac = (int)(yf & 255);
    if (y0 + 1 <= x) break;
    if (y0 > x) pix(x, y0, 255 - frac, false, true);
    pix(x, y0 + 1, frac, true, true);
  }
}

template <class C>
void AACircle(const Target& t, const Clip& c, int cx, int cy, int R, LICE_pixel color, float alpha,
              int mode, bool filled)
{
  const int w = WeightOf(alpha);
  const OpWeighted<C> op{(int)LICE_GETR(color), (int)LICE_GETG(color), (int)LICE_GETB(color),
                         (int)LICE_GETA(color)};
  auto plot = [&](int x, int y, int weight) {
    if (c.In(x, y)) op(t.At(x, y), weight);
  };
  // (u, v): u along the walk, v across; mirrored into all four quadrants without repeats.
  AAWalk(R, [&](int u, int v, int cov, bool outer, bool transposed) {
    if (!cov || (filled && !outer)) return;
    const int weight = (cov + 1) * w >> 8;
    const int x = transposed ? v : u, y = transposed ? u : v;
    plot(cx + x, cy - y, weight);
    if (y) plot(cx + x, cy + y, weight);
    if (x) plot(cx - x, cy - y, weight);
    if (x && y) plot(cx - x, cy + y, weight);
  });
  if (!filled) return;
  // Inside: every pixel whose centre is within R of the centre, rows limited to the clip.
  const int64_t R2 = (int64_t)R * R;
  const int lo = std::max(0, std::min(c.y0 - cy, cy - c.y1 + 1));
  const int hi = std::min(R, std::max(c.y1 - 1 - cy, cy - c.y0));
  WithSolidOp(color, alpha, mode, FastRules::FullHalf, [&](const auto& solid) {
    for (int dy = lo; dy <= hi; ++dy)
      SymmetricRows(t, c, cx, cy, dy, (int)ISqrt((uint64_t)(R2 - (int64_t)dy * dy)), solid);
  });
}

void DrawSprite(const Target& t, const Sprite& s, float cx, float cy, LICE_pixel color,
                float alpha, int mode, bool aa)
{
  unsigned char solid[81];
  const unsigned char* mask = s.ring;
  if (!aa)
  {
    for (int y = 0; y < s.size; ++y)
      for (int x = 0; x < s.size; ++x) solid[y * s.size + x] = s.solid[y][x] == 'X' ? 255 : 0;
    mask = solid;
  }
  DrawGlyphMem(t, (int)std::floor(cx - s.r), (int)std::floor(cy - s.r), color, mask, s.size,
               s.size, s.size, alpha, mode);
}
}  // namespace

void lice_detail::CircleMem(const Target& t, float cx, float cy, float r, LICE_pixel color,
                            float alpha, int mode, bool aa, bool filled, bool sprites,
                            const int clip[4])
{
  if (!std::isfinite(cx) || !std::isfinite(cy) || !(r >= 0.0f) || r > kMaxRadius) return;
  if (cx + r < -2.0f || cy + r < -2.0f || cx - r > t.w + 1.0f || cy - r > t.h + 1.0f) return;
  if (WeightOf(alpha) <= 0) return;
  if (sprites && !filled)
    for (const Sprite& s : kSprites)
      if (r == s.r)
      {
        DrawSprite(t, s, cx, cy, color, alpha, mode, aa);
        return;
      }
  const Clip c{std::max(clip[0], 0), std::max(clip[1], 0), std::min(clip[2], t.w),
               std::min(clip[3], t.h)};
  if (c.x0 >= c.x1 || c.y0 >= c.y1) return;
  const int icx = (int)std::floor(cx + 0.5f), icy = (int)std::floor(cy + 0.5f);
  const int R = (int)(r + 0.5f);
  if (aa && R > 0)
  {
    auto draw = [&](auto tag) {
      AACircle<typename decltype(tag)::type>(t, c, icx, icy, R, color, alpha, mode, filled);
    };
    if ((mode & LICE_BLIT_MODE_MASK) == LICE_BLIT_MODE_COPY)
      draw(LICE_CombineTag<_LICE_CombinePixelsCopyNoClamp>{});
    else LICE_WithShapeCombineClass(mode, draw);
    return;
  }
  WithSolidOp(color, alpha, mode, FastRules::FullHalf, [&](const auto& op) {
    if (filled) MidpointDisc(t, c, icx, icy, R, op);
    else MidpointOutline(t, c, icx, icy, R, op);
  });
}

void LICE_Circle(LICE_IBitmap* dest, float cx, float cy, float r, LICE_pixel color, float alpha,
                 int mode, bool aa)
{
  Target t;
  if (!GetTarget(dest, t)) return;
  const int clip[4] = {0, 0, t.w, t.h};
  CircleMem(t, cx, t.flipped ? t.h - 1 - cy : cy, r, color, alpha, mode, aa, false, true, clip);
}

void LICE_FillCircle(LICE_IBitmap* dest, float cx, float cy, float r, LICE_pixel color,
                     float alpha, int mode, bool aa)
{
  Target t;
  if (!GetTarget(dest, t)) return;
  const int clip[4] = {0, 0, t.w, t.h};
  CircleMem(t, cx, t.flipped ? t.h - 1 - cy : cy, r, color, alpha, mode, aa, true, false, clip);
}
