#pragma once
// Pieces shared by the line, shape and glyph drawing (internal to the raster library): the
// destination seen as memory rows, the weight of an alpha argument, the solid-colour pixel
// operations chosen once per call, and the entry points the shapes call among themselves.
// Coordinates passed to the *Mem functions are memory rows: the caller has already mirrored y
// for a flipped bitmap.

#include "lice_combine.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>

namespace lice_detail
{
// A destination bitmap as rows in memory order.
struct Target
{
  LICE_pixel* bits = nullptr;
  int w = 0, h = 0, span = 0;
  bool flipped = false;
  LICE_pixel* At(int x, int y) const { return bits + (ptrdiff_t)y * span + x; }
};

// False (nothing to draw) for a null bitmap, one without memory, an empty one, or one whose
// row span is shorter than its width.
inline bool GetTarget(LICE_IBitmap* bm, Target& t)
{
  if (!bm) return false;
  t.bits = bm->getBits();
  t.w = bm->getWidth();
  t.h = bm->getHeight();
  t.span = bm->getRowSpan();
  t.flipped = bm->isFlipped();
  return t.bits && t.w > 0 && t.h > 0 && t.span >= t.w;
}

// Weights beyond this are limited so that no combine rule can overflow its integer arithmetic.
constexpr int kMaxWeight = 4096;

// (int)(alpha * 256), with NaN giving 0 and the float limited before the conversion.
inline int WeightOf(float alpha)
{
  const float v = alpha * 256.0f;
  if (!(v > -(float)kMaxWeight)) return v == v ? -kMaxWeight : 0;
  if (v >= (float)kMaxWeight) return kMaxWeight;
  return (int)v;
}

// A double limited to [lo, hi] (NaN gives lo) and then truncated toward zero.
inline int64_t ClampTrunc(double v, int64_t lo, int64_t hi)
{
  if (!(v >= (double)lo)) return lo;
  if (v >= (double)hi) return hi;
  return (int64_t)v;
}

// Solid-colour pixel operations: op(p) combines the colour into *p.
struct OpWrite
{
  LICE_pixel k;
  void operator()(LICE_pixel* p) const { *p = k; }
};
struct OpHalf
{
  LICE_pixel k;
  void operator()(LICE_pixel* p) const { *p = LICE_PixHalf(k, *p); }
};
struct OpQuarter
{
  LICE_pixel k;
  void operator()(LICE_pixel* p) const { *p = LICE_PixQuarter(k, *p); }
};
struct OpThreeQuarters
{
  LICE_pixel k;
  void operator()(LICE_pixel* p) const { *p = LICE_PixThreeQuarters(k, *p); }
};
template <class C>
struct OpBlend
{
  int r, g, b, a, w;
  void operator()(LICE_pixel* p) const { C::doPix((LICE_pixel_chan*)p, r, g, b, a, w); }
};

// n pixels from p.
template <class Op>
inline void FillSpan(const Op& op, LICE_pixel* p, int n)
{
  for (int i = 0; i < n; ++i) op(p + i);
}
inline void FillSpan(const OpWrite& op, LICE_pixel* p, int n) { std::fill_n(p, n, op.k); }

// A colour combined with a weight given per pixel (anti-aliasing); weights <= 0 leave the pixel.
template <class C>
struct OpWeighted
{
  int r, g, b, a;
  void operator()(LICE_pixel* p, int w) const
  {
    if (w > 0) C::doPix((LICE_pixel_chan*)p, r, g, b, a, w);
  }
};

// Which whole-pixel copy rules a function uses besides the full write (w = 256) and the half
// rule (w = 128): none, the quarter rules only at alpha exactly 0.25/0.75, or at w = 64/192.
enum class FastRules
{
  FullHalf,
  ExactAlpha,
  ByWeight
};

// Calls f(op) with the operation for the colour at this alpha and mode; nothing for a weight
// <= 0 or a mode without a combine class.
template <class F>
void WithSolidOp(LICE_pixel color, float alpha, int mode, FastRules rules, F&& f)
{
  const int w = WeightOf(alpha);
  if (w <= 0) return;
  const int r = (int)LICE_GETR(color), g = (int)LICE_GETG(color), b = (int)LICE_GETB(color),
            a = (int)LICE_GETA(color);
  if ((mode & LICE_BLIT_MODE_MASK) == LICE_BLIT_MODE_COPY)
  {
    const bool byWeight = rules == FastRules::ByWeight;
    const bool exact = rules == FastRules::ExactAlpha;
    if (w == 256) f(OpWrite{color});
    else if (w == 128) f(OpHalf{color});
    else if (w == 64 && (byWeight || (exact && alpha == 0.25f))) f(OpQuarter{color});
    else if (w == 192 && (byWeight || (exact && alpha == 0.75f))) f(OpThreeQuarters{color});
    else f(OpBlend<_LICE_CombinePixelsCopyNoClamp>{r, g, b, a, w});
    return;
  }
  LICE_WithShapeCombineClass(mode, [&](auto tag) {
    f(OpBlend<typename decltype(tag)::type>{r, g, b, a, w});
  });
}

// The same choice made plainly for one pixel: the reference the chosen operations are tested
// against.
void ReferenceSolidPixel(LICE_pixel* p, LICE_pixel color, float alpha, int mode, FastRules rules);

// Circle outline or disc centred on memory row cy (sprites included for the outline), drawn
// only inside [clip[0], clip[2]) x [clip[1], clip[3]) of the target.
void CircleMem(const Target& t, float cx, float cy, float r, LICE_pixel color, float alpha,
               int mode, bool aa, bool filled, bool sprites, const int clip[4]);

// Coverage mask blended at picture position (x, y) of a bitmap; the reference is the plain
// per-pixel form of the same blend.
void DrawGlyphReference(LICE_IBitmap* dest, int x, int y, LICE_pixel color,
                        const LICE_pixel_chan* alphas, int glyph_w, int glyph_span, int glyph_h,
                        float alpha, int mode);
// The glyph blend at memory position (x, ytop): mask row i goes to memory row ytop + i.
void DrawGlyphMem(const Target& t, int x, int ytop, LICE_pixel color,
                  const LICE_pixel_chan* alphas, int glyph_w, int glyph_span, int glyph_h,
                  float alpha, int mode);
}  // namespace lice_detail
