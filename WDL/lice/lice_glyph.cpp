// Coverage masks (8-bit and one bit per pixel) blended into a bitmap with one colour.
// Weights: coverage + 1 at full weight, otherwise min(weight * coverage / 256, 256); the
// colour's alpha is not used, the pixel's alpha moves toward 255 like the colour channels.
#include "lice_shape_ops.h"

using namespace lice_detail;

namespace
{
// The clipped part of a mask: destination and mask rows with their steps (a mask walked from
// its last row has a negative step), columns, and the first mask column used.
struct GlyphRows
{
  LICE_pixel* dest;
  ptrdiff_t destStep;
  const unsigned char* mask;
  ptrdiff_t maskStep;
  int cols, rows, maskCol;
};

// Mask of gw x gh with rows |span| bytes apart, drawn with its top-left at memory (x, ytop) and
// mask row i (or gh - 1 - i when reversed) on memory row ytop + i.
bool ClipGlyph(const Target& t, int64_t x, int64_t ytop, const unsigned char* mask, int gw,
               int64_t span, int gh, bool reverse, GlyphRows& g)
{
  if (!mask || gw <= 0 || gh <= 0) return false;
  const int64_t x0 = std::max<int64_t>(x, 0), x1 = std::min<int64_t>(x + gw, t.w);
  const int64_t y0 = std::max<int64_t>(ytop, 0), y1 = std::min<int64_t>(ytop + gh, t.h);
  if (x0 >= x1 || y0 >= y1) return false;
  const int64_t step = span < 0 ? -span : span;
  const int64_t firstRow = reverse ? gh - 1 - (y0 - ytop) : y0 - ytop;
  g.dest = t.At((int)x0, (int)y0);
  g.destStep = t.span;
  g.mask = mask + firstRow * step;
  g.maskStep = reverse ? -step : step;
  g.cols = (int)(x1 - x0);
  g.rows = (int)(y1 - y0);
  g.maskCol = (int)(x0 - x);
  return true;
}

struct WeightFull
{
  int operator()(int cov) const { return cov + 1; }
};
struct WeightScaled
{
  int wa;
  int operator()(int cov) const { return std::min(wa * cov / 256, 256); }
};

template <class C, class W>
void BlendMask(const GlyphRows& g, int r, int gr, int b, W weight)
{
  LICE_pixel* d = g.dest;
  const unsigned char* m = g.mask + g.maskCol;
  for (int y = 0; y < g.rows; ++y, d += g.destStep, m += g.maskStep)
    for (int x = 0; x < g.cols; ++x)
    {
      const int cov = m[x];
      if (!cov) continue;
      const int w = weight(cov);
      if (w > 0) C::doPix((LICE_pixel_chan*)(d + x), r, gr, b, 255, w);
    }
}

// Copy at full weight: full coverage writes the colour outright.
void BlendMaskOpaqueCopy(const GlyphRows& g, LICE_pixel color)
{
  const LICE_pixel k = color | 0xFF000000u;
  const int r = (int)LICE_GETR(color), gr = (int)LICE_GETG(color), b = (int)LICE_GETB(color);
  LICE_pixel* d = g.dest;
  const unsigned char* m = g.mask + g.maskCol;
  for (int y = 0; y < g.rows; ++y, d += g.destStep, m += g.maskStep)
    for (int x = 0; x < g.cols; ++x)
    {
      const int cov = m[x];
      if (cov == 255) d[x] = k;
      else if (cov)
        _LICE_CombinePixelsCopyNoClamp::doPix((LICE_pixel_chan*)(d + x), r, gr, b, 255, cov + 1);
    }
}

template <class C>
void BlendBits(const GlyphRows& g, int r, int gr, int b, int w)
{
  LICE_pixel* d = g.dest;
  const unsigned char* m = g.mask;
  for (int y = 0; y < g.rows; ++y, d += g.destStep, m += g.maskStep)
    for (int x = 0, bit = g.maskCol; x < g.cols; ++x, ++bit)
      if ((m[bit >> 3] >> (7 - (bit & 7))) & 1) C::doPix((LICE_pixel_chan*)(d + x), r, gr, b, 255, w);
}

void BlendBitsOpaqueCopy(const GlyphRows& g, LICE_pixel color)
{
  const LICE_pixel k = color | 0xFF000000u;
  LICE_pixel* d = g.dest;
  const unsigned char* m = g.mask;
  for (int y = 0; y < g.rows; ++y, d += g.destStep, m += g.maskStep)
    for (int x = 0, bit = g.maskCol; x < g.cols; ++x, ++bit)
      if ((m[bit >> 3] >> (7 - (bit & 7))) & 1) d[x] = k;
}

// Calls f(tag) with the glyph class of the mode (copy blends); false for a mode without one.
template <class F>
bool WithGlyphClass(int mode, F&& f)
{
  if ((mode & LICE_BLIT_MODE_MASK) == LICE_BLIT_MODE_COPY)
  {
    f(LICE_CombineTag<_LICE_CombinePixelsCopyNoClamp>{});
    return true;
  }
  return LICE_WithShapeCombineClass(mode, f);
}

void DrawMask(const Target& t, int64_t x, int64_t ytop, LICE_pixel color, const unsigned char* mask,
              int gw, int64_t span, int gh, bool reverse, float alpha, int mode)
{
  const int wa = WeightOf(alpha);
  GlyphRows g;
  if (wa <= 0 || !ClipGlyph(t, x, ytop, mask, gw, span, gh, reverse, g)) return;
  const int r = (int)LICE_GETR(color), gr = (int)LICE_GETG(color), b = (int)LICE_GETB(color);
  const bool copy = (mode & LICE_BLIT_MODE_MASK) == LICE_BLIT_MODE_COPY;
  if (copy && wa == 256) BlendMaskOpaqueCopy(g, color);
  else
    WithGlyphClass(mode, [&](auto tag) {
      using C = typename decltype(tag)::type;
      if (wa == 256) BlendMask<C>(g, r, gr, b, WeightFull{});
      else BlendMask<C>(g, r, gr, b, WeightScaled{wa});
    });
}

void DrawBits(const Target& t, int64_t x, int64_t ytop, LICE_pixel color, const unsigned char* mask,
              int gw, int64_t span, int gh, bool reverse, float alpha, int mode)
{
  const int wa = WeightOf(alpha);
  GlyphRows g;
  if (wa <= 0 || !ClipGlyph(t, x, ytop, mask, gw, span, gh, reverse, g)) return;
  const int w = wa == 256 ? 256 : WeightScaled{wa}(255);
  if (w <= 0) return;
  const int r = (int)LICE_GETR(color), gr = (int)LICE_GETG(color), b = (int)LICE_GETB(color);
  if ((mode & LICE_BLIT_MODE_MASK) == LICE_BLIT_MODE_COPY && w == 256) BlendBitsOpaqueCopy(g, color);
  else WithGlyphClass(mode, [&](auto tag) { BlendBits<typename decltype(tag)::type>(g, r, gr, b, w); });
}
}  // namespace

void lice_detail::DrawGlyphMem(const Target& t, int x, int ytop, LICE_pixel color,
                               const LICE_pixel_chan* alphas, int glyph_w, int glyph_span,
                               int glyph_h, float alpha, int mode)
{
  DrawMask(t, x, ytop, color, alphas, glyph_w, glyph_span, glyph_h, glyph_span < 0, alpha, mode);
}

void lice_detail::DrawGlyphReference(LICE_IBitmap* dest, int x, int y, LICE_pixel color,
                                     const LICE_pixel_chan* alphas, int glyph_w, int glyph_span,
                                     int glyph_h, float alpha, int mode)
{
  Target t;
  if (!GetTarget(dest, t) || !alphas) return;
  const int wa = WeightOf(alpha);
  const int64_t step = glyph_span < 0 ? -(int64_t)glyph_span : glyph_span;
  for (int i = 0; i < glyph_h; ++i)
    for (int j = 0; j < glyph_w; ++j)
    {
      const int64_t px = (int64_t)x + j, py = (int64_t)y + i;
      if (px < 0 || py < 0 || px >= t.w || py >= t.h) continue;
      const int64_t row = glyph_span < 0 ? glyph_h - 1 - i : i;
      const int cov = alphas[row * step + j];
      const int w = wa == 256 ? cov + 1 : std::min(wa * cov / 256, 256);
      if (!cov || w <= 0 || wa <= 0) continue;
      LICE_pixel* p = t.At((int)px, (int)(t.flipped ? t.h - 1 - py : py));
      WithGlyphClass(mode, [&](auto tag) {
        decltype(tag)::type::doPix((LICE_pixel_chan*)p, (int)LICE_GETR(color),
                                   (int)LICE_GETG(color), (int)LICE_GETB(color), 255, w);
      });
    }
}

void LICE_DrawGlyphEx(LICE_IBitmap* dest, int x, int y, LICE_pixel color,
                      const LICE_pixel_chan* alphas, int glyph_w, int glyph_span, int glyph_h,
                      float alpha, int mode)
{
  Target t;
  if (!GetTarget(dest, t)) return;
  const bool reverse = glyph_span < 0;
  if (t.flipped)  // picture rows run upwards in memory: the mask's rows are walked reversed
    DrawMask(t, x, (int64_t)t.h - y - glyph_h, color, alphas, glyph_w, glyph_span, glyph_h,
             !reverse, alpha, mode);
  else DrawMask(t, x, y, color, alphas, glyph_w, glyph_span, glyph_h, reverse, alpha, mode);
}

void LICE_DrawGlyph(LICE_IBitmap* dest, int x, int y, LICE_pixel color,
                    const LICE_pixel_chan* alphas, int glyph_w, int glyph_h, float alpha, int mode)
{
  LICE_DrawGlyphEx(dest, x, y, color, alphas, glyph_w, glyph_w, glyph_h, alpha, mode);
}

void LICE_DrawMonoGlyph(LICE_IBitmap* dest, int x, int y, LICE_pixel color,
                        const unsigned char* alphas, int glyph_w, int glyph_span, int glyph_h,
                        float alpha, int mode)
{
  Target t;
  if (!GetTarget(dest, t)) return;
  const bool reverse = glyph_span < 0;
  if (t.flipped)
    DrawBits(t, x, (int64_t)t.h - y - glyph_h, color, alphas, glyph_w, glyph_span, glyph_h,
             !reverse, alpha, mode);
  else DrawBits(t, x, y, color, alphas, glyph_w, glyph_span, glyph_h, reverse, alpha, mode);
}
