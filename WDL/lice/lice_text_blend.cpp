// Glyph mask blending for cached-font text: one inner loop per combine rule and renderer, and
// the plain per-pixel reference. Weights: coverage + 1 at full alpha, otherwise
// min(weight * coverage / 256, 256); the pixel's alpha moves toward 255 like the colour channels.
#include "lice_text_detail.h"

#include "lice_shape_ops.h"

using namespace lice_detail;

namespace
{
struct Colour
{
  int r, g, b;
  explicit Colour(LICE_pixel p) : r((int)LICE_GETR(p)), g((int)LICE_GETG(p)), b((int)LICE_GETB(p)) {}
};

// Copy at full weight (w = 256) writes the colour outright; anything less blends.
struct CopyOrWrite
{
  static inline void doPix(LICE_pixel_chan* d, int r, int g, int b, int a, int w)
  {
    if (w >= 256) lice_detail::Set(d, r, g, b, a);
    else _LICE_CombinePixelsCopyNoClamp::doPix(d, r, g, b, a, w);
  }
};

inline int CoverageWeight(int wa, int cov) { return wa == 256 ? cov + 1 : std::min(wa * cov / 256, 256); }

// The clipped part as memory rows.
struct Rows
{
  LICE_pixel* dest;
  ptrdiff_t destStep;
  const unsigned char* mask;
  int maskStep, cols, rows;
};

bool ClipPart(LICE_IBitmap* bm, int x, int y, const unsigned char* mask, int w, const RECT& part, Rows& g)
{
  Target t;
  if (!mask || !GetTarget(bm, t)) return false;
  // The part in picture coordinates, cut to the bitmap.
  const int64_t px0 = std::max<int64_t>((int64_t)x + part.left, 0), px1 = std::min<int64_t>((int64_t)x + part.right, t.w);
  const int64_t py0 = std::max<int64_t>((int64_t)y + part.top, 0), py1 = std::min<int64_t>((int64_t)y + part.bottom, t.h);
  if (px0 >= px1 || py0 >= py1) return false;
  g.cols = (int)(px1 - px0);
  g.rows = (int)(py1 - py0);
  g.mask = mask + (py0 - y) * (int64_t)w + (px0 - x);
  g.maskStep = w;
  g.dest = t.At((int)px0, t.flipped ? (int)(t.h - 1 - py0) : (int)py0);
  g.destStep = t.flipped ? -(ptrdiff_t)t.span : (ptrdiff_t)t.span;
  return true;
}

template <class C, bool Full>
void RowsNormal(const Rows& g, Colour c, int wa)
{
  LICE_pixel* d = g.dest;
  const unsigned char* m = g.mask;
  for (int y = 0; y < g.rows; ++y, d += g.destStep, m += g.maskStep)
    for (int x = 0; x < g.cols; ++x)
      if (const int cov = m[x])
      {
        const int w = Full ? cov + 1 : std::min(wa * cov / 256, 256);
        if (w > 0) C::doPix((LICE_pixel_chan*)(d + x), c.r, c.g, c.b, 255, w);
      }
}

template <class C>
void RowsMono(const Rows& g, Colour c, int w)
{
  LICE_pixel* d = g.dest;
  const unsigned char* m = g.mask;
  for (int y = 0; y < g.rows; ++y, d += g.destStep, m += g.maskStep)
    for (int x = 0; x < g.cols; ++x)
      if (m[x]) C::doPix((LICE_pixel_chan*)(d + x), c.r, c.g, c.b, 255, w);
}

template <class C>
void RowsEffect(const Rows& g, Colour text, Colour fx, int w)
{
  LICE_pixel* d = g.dest;
  const unsigned char* m = g.mask;
  for (int y = 0; y < g.rows; ++y, d += g.destStep, m += g.maskStep)
    for (int x = 0; x < g.cols; ++x)
    {
      const int cov = m[x];
      if (!cov) continue;
      const Colour& c = cov == 255 ? text : fx;
      C::doPix((LICE_pixel_chan*)(d + x), c.r, c.g, c.b, 255, w);
    }
}

template <class C>
void BlendRows(const Rows& g, const lice_text::GlyphPaint& p, int wa)
{
  using lice_text::GlyphRenderer;
  const Colour text(p.text);
  switch (p.renderer)
  {
    case GlyphRenderer::Normal:
      if (wa == 256) RowsNormal<C, true>(g, text, wa);
      else RowsNormal<C, false>(g, text, wa);
      break;
    case GlyphRenderer::Mono:
      if (const int w = CoverageWeight(wa, 255); w > 0) RowsMono<C>(g, text, w);
      break;
    case GlyphRenderer::Effect:
      if (const int w = CoverageWeight(wa, 255); w > 0) RowsEffect<C>(g, text, Colour(p.effect), w);
      break;
  }
}
}  // namespace

void lice_text::BlendGlyph(LICE_IBitmap* bm, int x, int y, const unsigned char* mask, int w,
                           const RECT& part, const GlyphPaint& paint)
{
  const int wa = WeightOf(paint.alpha);
  Rows g;
  if (wa <= 0 || !ClipPart(bm, x, y, mask, w, part, g)) return;
  if ((paint.mode & LICE_BLIT_MODE_MASK) == LICE_BLIT_MODE_COPY)
  {
    if (wa == 256) BlendRows<CopyOrWrite>(g, paint, wa);
    else BlendRows<_LICE_CombinePixelsCopyNoClamp>(g, paint, wa);
  }
  else
    LICE_WithShapeCombineClass(paint.mode, [&](auto tag) { BlendRows<typename decltype(tag)::type>(g, paint, wa); });
}

void lice_text::BlendGlyphReference(LICE_IBitmap* bm, int x, int y, const unsigned char* mask, int w,
                                    const RECT& part, const GlyphPaint& paint)
{
  Target t;
  const int wa = WeightOf(paint.alpha);
  if (!mask || !GetTarget(bm, t) || wa <= 0) return;
  for (int my = part.top; my < part.bottom; ++my)
    for (int mx = part.left; mx < part.right; ++mx)
    {
      const int64_t px = (int64_t)x + mx, py = (int64_t)y + my;
      const int cov = mask[(int64_t)my * w + mx];
      if (px < 0 || py < 0 || px >= t.w || py >= t.h || !cov) continue;
      LICE_pixel colour = paint.text;
      int weight = CoverageWeight(wa, cov);
      if (paint.renderer != GlyphRenderer::Normal) weight = CoverageWeight(wa, 255);
      if (paint.renderer == GlyphRenderer::Effect && cov != 255) colour = paint.effect;
      if (weight <= 0) continue;
      LICE_pixel* p = t.At((int)px, t.flipped ? (int)(t.h - 1 - py) : (int)py);
      LICE_WithShapeCombineClass(paint.mode, [&](auto tag) {
        decltype(tag)::type::doPix((LICE_pixel_chan*)p, (int)LICE_GETR(colour), (int)LICE_GETG(colour),
                                   (int)LICE_GETB(colour), 255, weight);
      });
    }
}
