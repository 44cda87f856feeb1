#pragma once
// Per-pixel combine rules (internal to the raster library). Each class has one static operation
//   doPix(dest, r, g, b, a, w)
// combining source channels r, g, b, a (0-255) into the destination pixel's bytes with the
// weight w (256 = full strength; larger values are not clamped; callers skip w = 0, and copy
// modes skip w < 1). Weights come from LICE_AlphaWeight, which bounds them to +-2048 so that
// no rule's integer arithmetic can overflow, whatever the source channels (up to +-2048 too,
// when a fill passes its weight as the source alpha).
// "/ 256" below is C++ integer division (truncating toward zero); NoClamp rules store the low
// 8 bits of the result. All arithmetic is integer.

#include "lice.h"

#include <array>

// The integer weight (int)(alpha * 256), truncated toward zero, computed in double precision.
// Alphas beyond +-8 are held at +-8 (weight +-2048; every rule is already saturated or wrapped
// long before) and NaN gives 0, so that the conversion and the rules stay defined.
inline int LICE_AlphaWeight(double alpha)
{
  if (!(alpha == alpha)) return 0;
  const double v = alpha * 256.0;
  if (v >= 2048.0) return 2048;
  if (v <= -2048.0) return -2048;
  return (int)v;
}

namespace lice_detail
{
inline int Clamp255(int v) { return v < 0 ? 0 : (v > 255 ? 255 : v); }

inline void Set(LICE_pixel_chan* d, int r, int g, int b, int a)
{
  d[LICE_PIXEL_R] = (LICE_pixel_chan)r;
  d[LICE_PIXEL_G] = (LICE_pixel_chan)g;
  d[LICE_PIXEL_B] = (LICE_pixel_chan)b;
  d[LICE_PIXEL_A] = (LICE_pixel_chan)a;
}

// Entry i = floor(65536 / i) - 1 for i >= 1; entry 0 = 0.
inline const std::array<int, 256>& Reciprocals()
{
  static const std::array<int, 256> table = [] {
    std::array<int, 256> t{};
    for (int i = 1; i < 256; ++i) t[i] = 65536 / i - 1;
    return t;
  }();
  return table;
}

// Source-alpha weight: w' = w * (a + 1) / 256.
inline int SourceAlphaWeight(int w, int a) { return w * (a + 1) / 256; }
}  // namespace lice_detail

struct _LICE_CombinePixelsClobberNoClamp
{
  static inline void doPix(LICE_pixel_chan* d, int r, int g, int b, int a, int)
  {
    lice_detail::Set(d, r, g, b, a);
  }
};

struct _LICE_CombinePixelsCopyNoClamp
{
  static inline void doPix(LICE_pixel_chan* d, int r, int g, int b, int a, int w)
  {
    const int iw = 256 - w;
    lice_detail::Set(d, r + (d[LICE_PIXEL_R] - r) * iw / 256, g + (d[LICE_PIXEL_G] - g) * iw / 256,
                     b + (d[LICE_PIXEL_B] - b) * iw / 256, a + (d[LICE_PIXEL_A] - a) * iw / 256);
  }
};

struct _LICE_CombinePixelsCopyClamp
{
  static inline void doPix(LICE_pixel_chan* d, int r, int g, int b, int a, int w)
  {
    using lice_detail::Clamp255;
    const int iw = 256 - w;
    lice_detail::Set(d, Clamp255(r + (d[LICE_PIXEL_R] - r) * iw / 256),
                     Clamp255(g + (d[LICE_PIXEL_G] - g) * iw / 256),
                     Clamp255(b + (d[LICE_PIXEL_B] - b) * iw / 256),
                     Clamp255(a + (d[LICE_PIXEL_A] - a) * iw / 256));
  }
};

struct _LICE_CombinePixelsAdd
{
  static inline void doPix(LICE_pixel_chan* d, int r, int g, int b, int a, int w)
  {
    using lice_detail::Clamp255;
    lice_detail::Set(d, Clamp255(d[LICE_PIXEL_R] + r * w / 256), Clamp255(d[LICE_PIXEL_G] + g * w / 256),
                     Clamp255(d[LICE_PIXEL_B] + b * w / 256), Clamp255(d[LICE_PIXEL_A] + a * w / 256));
  }
};

struct _LICE_CombinePixelsColorDodge
{
  static inline int Dodge(int c, int s, int w)
  {
    const int t = s * w / 256;
    return lice_detail::Clamp255(t < 255 ? (c * 256) / (256 - t) : c * 256);
  }
  static inline void doPix(LICE_pixel_chan* d, int r, int g, int b, int a, int w)
  {
    lice_detail::Set(d, Dodge(d[LICE_PIXEL_R], r, w), Dodge(d[LICE_PIXEL_G], g, w),
                     Dodge(d[LICE_PIXEL_B], b, w), Dodge(d[LICE_PIXEL_A], a, w));
  }
};

struct _LICE_CombinePixelsMulNoClamp
{
  static inline void doPix(LICE_pixel_chan* d, int r, int g, int b, int a, int w)
  {
    const int o = (256 - w) * 256;
    lice_detail::Set(d, ((r * w + o) * d[LICE_PIXEL_R]) >> 16, ((g * w + o) * d[LICE_PIXEL_G]) >> 16,
                     ((b * w + o) * d[LICE_PIXEL_B]) >> 16, ((a * w + o) * d[LICE_PIXEL_A]) >> 16);
  }
};

struct _LICE_CombinePixelsMulClamp
{
  static inline void doPix(LICE_pixel_chan* d, int r, int g, int b, int a, int w)
  {
    using lice_detail::Clamp255;
    const int o = (256 - w) * 256;
    lice_detail::Set(d, Clamp255(((r * w + o) * d[LICE_PIXEL_R]) >> 16),
                     Clamp255(((g * w + o) * d[LICE_PIXEL_G]) >> 16),
                     Clamp255(((b * w + o) * d[LICE_PIXEL_B]) >> 16),
                     Clamp255(((a * w + o) * d[LICE_PIXEL_A]) >> 16));
  }
};

struct _LICE_CombinePixelsOverlay
{
  static inline int Over(int c, int s, int w)
  {
    const int o = (256 - w) * 128;
    return lice_detail::Clamp255((((32768 - s * w - o) * c / 256 + s * w + o) * c) >> 15);
  }
  static inline void doPix(LICE_pixel_chan* d, int r, int g, int b, int a, int w)
  {
    lice_detail::Set(d, Over(d[LICE_PIXEL_R], r, w), Over(d[LICE_PIXEL_G], g, w),
                     Over(d[LICE_PIXEL_B], b, w), Over(d[LICE_PIXEL_A], a, w));
  }
};

// Hue (0-383, six sectors of 64), saturation and value (0-255) of the destination are steered by
// the source: red turns the hue, green the saturation, blue the value (128 = no change); the
// result takes the source alpha.
struct _LICE_CombinePixelsHSVAdjust
{
  static inline void doPix(LICE_pixel_chan* d, int r, int g, int b, int a, int w)
  {
    using lice_detail::Clamp255;
    const std::array<int, 256>& recip = lice_detail::Reciprocals();
    const int dr = d[LICE_PIXEL_R], dg = d[LICE_PIXEL_G], db = d[LICE_PIXEL_B];
    const int mx = dr > dg ? (dr > db ? dr : db) : (dg > db ? dg : db);
    const int mn = dr < dg ? (dr < db ? dr : db) : (dg < db ? dg : db);
    const int chroma = mx - mn;

    int h = 0;
    if (chroma)
    {
      if (mx == dr) h = (64 * (dg - db) * recip[chroma]) >> 16;
      else if (mx == dg) h = 128 + ((64 * (db - dr) * recip[chroma]) >> 16);
      else h = 256 + ((64 * (dr - dg) * recip[chroma]) >> 16);
    }
    h += w * (r + r / 2 - 192) / 256;
    h %= 384;
    if (h < 0) h += 384;
    const int v = Clamp255(mx + w * (b - 128) / 128);
    const int s = Clamp255(chroma * recip[mx] / 256 + w * (g - 128) / 128);

    // Back to red, green and blue in 14-bit fixed point.
    const int s14 = s << 6;
    const int f = (h & 63) << 8;
    const int p = (v * (16384 - s14)) >> 14;
    const int q = (v * (16384 - ((s14 * f) >> 14))) >> 14;
    const int t = (v * (16384 - ((s14 * (16384 - f)) >> 14))) >> 14;
    switch (h >> 6)
    {
      case 0: lice_detail::Set(d, v, t, p, a); break;
      case 1: lice_detail::Set(d, q, v, p, a); break;
      case 2: lice_detail::Set(d, p, v, t, a); break;
      case 3: lice_detail::Set(d, p, q, v, a); break;
      case 4: lice_detail::Set(d, t, p, v, a); break;
      default: lice_detail::Set(d, v, p, q, a); break;
    }
  }
};

// Source-alpha variants: the source pixel's own alpha scales the weight.
struct _LICE_CombinePixelsCopySourceAlphaNoClamp
{
  static inline void doPix(LICE_pixel_chan* d, int r, int g, int b, int a, int w)
  {
    if (!a) return;
    const int sw = lice_detail::SourceAlphaWeight(w, a), iw = 256 - sw;
    const int da = sw + d[LICE_PIXEL_A];
    lice_detail::Set(d, r + (d[LICE_PIXEL_R] - r) * iw / 256, g + (d[LICE_PIXEL_G] - g) * iw / 256,
                     b + (d[LICE_PIXEL_B] - b) * iw / 256, da < 255 ? da : 255);
  }
};

// Used instead of the previous one at full weight (note 255, not 256, in the blend).
struct _LICE_CombinePixelsCopySourceAlphaIgnoreAlphaParmNoClamp
{
  static inline void doPix(LICE_pixel_chan* d, int r, int g, int b, int a, int)
  {
    if (!a) return;
    if (a == 255)
    {
      lice_detail::Set(d, r, g, b, 255);
      return;
    }
    const int ia = 255 - a;
    const int da = a + d[LICE_PIXEL_A];
    lice_detail::Set(d, r + (d[LICE_PIXEL_R] - r) * ia / 256, g + (d[LICE_PIXEL_G] - g) * ia / 256,
                     b + (d[LICE_PIXEL_B] - b) * ia / 256, da < 255 ? da : 255);
  }
};

struct _LICE_CombinePixelsAddSourceAlpha
{
  static inline void doPix(LICE_pixel_chan* d, int r, int g, int b, int a, int w)
  {
    if (!a) return;
    _LICE_CombinePixelsAdd::doPix(d, r, g, b, a, lice_detail::SourceAlphaWeight(w, a));
  }
};

struct _LICE_CombinePixelsColorDodgeSourceAlpha
{
  static inline void doPix(LICE_pixel_chan* d, int r, int g, int b, int a, int w)
  {
    _LICE_CombinePixelsColorDodge::doPix(d, r, g, b, a, lice_detail::SourceAlphaWeight(w, a));
  }
};

struct _LICE_CombinePixelsMulSourceAlphaNoClamp
{
  static inline void doPix(LICE_pixel_chan* d, int r, int g, int b, int a, int w)
  {
    if (!a) return;
    _LICE_CombinePixelsMulNoClamp::doPix(d, r, g, b, a, lice_detail::SourceAlphaWeight(w, a));
  }
};

struct _LICE_CombinePixelsOverlaySourceAlpha
{
  static inline void doPix(LICE_pixel_chan* d, int r, int g, int b, int a, int w)
  {
    _LICE_CombinePixelsOverlay::doPix(d, r, g, b, a, lice_detail::SourceAlphaWeight(w, a));
  }
};

struct _LICE_CombinePixelsHSVAdjustSourceAlpha
{
  static inline void doPix(LICE_pixel_chan* d, int r, int g, int b, int a, int w)
  {
    _LICE_CombinePixelsHSVAdjust::doPix(d, r, g, b, a, lice_detail::SourceAlphaWeight(w, a));
  }
};

template <class C>
struct LICE_CombineTag
{
  using type = C;
};

// Calls f(LICE_CombineTag<Class>{}) with the combine class that the mode word's low byte and
// source-alpha bit select at weight w, so that callers instantiate one inner loop per class and
// decide once per call. Returns false (f not called) for a key without a class.
template <class F>
bool LICE_WithCombineClass(int mode, int w, F&& f)
{
  switch (mode & (LICE_BLIT_MODE_MASK | LICE_BLIT_USE_ALPHA))
  {
    case LICE_BLIT_MODE_COPY:
      if (w == 256) f(LICE_CombineTag<_LICE_CombinePixelsClobberNoClamp>{});
      else f(LICE_CombineTag<_LICE_CombinePixelsCopyNoClamp>{});
      return true;
    case LICE_BLIT_MODE_ADD: f(LICE_CombineTag<_LICE_CombinePixelsAdd>{}); return true;
    case LICE_BLIT_MODE_DODGE: f(LICE_CombineTag<_LICE_CombinePixelsColorDodge>{}); return true;
    case LICE_BLIT_MODE_MUL: f(LICE_CombineTag<_LICE_CombinePixelsMulNoClamp>{}); return true;
    case LICE_BLIT_MODE_OVERLAY: f(LICE_CombineTag<_LICE_CombinePixelsOverlay>{}); return true;
    case LICE_BLIT_MODE_HSVADJ: f(LICE_CombineTag<_LICE_CombinePixelsHSVAdjust>{}); return true;
    case LICE_BLIT_USE_ALPHA | LICE_BLIT_MODE_COPY:
      if (w == 256) f(LICE_CombineTag<_LICE_CombinePixelsCopySourceAlphaIgnoreAlphaParmNoClamp>{});
      else f(LICE_CombineTag<_LICE_CombinePixelsCopySourceAlphaNoClamp>{});
      return true;
    case LICE_BLIT_USE_ALPHA | LICE_BLIT_MODE_ADD:
      f(LICE_CombineTag<_LICE_CombinePixelsAddSourceAlpha>{});
      return true;
    case LICE_BLIT_USE_ALPHA | LICE_BLIT_MODE_DODGE:
      f(LICE_CombineTag<_LICE_CombinePixelsColorDodgeSourceAlpha>{});
      return true;
    case LICE_BLIT_USE_ALPHA | LICE_BLIT_MODE_MUL:
      f(LICE_CombineTag<_LICE_CombinePixelsMulSourceAlphaNoClamp>{});
      return true;
    case LICE_BLIT_USE_ALPHA | LICE_BLIT_MODE_OVERLAY:
      f(LICE_CombineTag<_LICE_CombinePixelsOverlaySourceAlpha>{});
      return true;
    case LICE_BLIT_USE_ALPHA | LICE_BLIT_MODE_HSVADJ:
      f(LICE_CombineTag<_LICE_CombinePixelsHSVAdjustSourceAlpha>{});
      return true;
    default: return false;
  }
}

// The class of a mode's low byte alone (lines, shapes and glyphs ignore the source-alpha bit):
// copy always blends (CopyNoClamp), 1-5 their class.
template <class F>
bool LICE_WithShapeCombineClass(int mode, F&& f)
{
  switch (mode & LICE_BLIT_MODE_MASK)
  {
    case LICE_BLIT_MODE_COPY: f(LICE_CombineTag<_LICE_CombinePixelsCopyNoClamp>{}); return true;
    case LICE_BLIT_MODE_ADD: f(LICE_CombineTag<_LICE_CombinePixelsAdd>{}); return true;
    case LICE_BLIT_MODE_DODGE: f(LICE_CombineTag<_LICE_CombinePixelsColorDodge>{}); return true;
    case LICE_BLIT_MODE_MUL: f(LICE_CombineTag<_LICE_CombinePixelsMulNoClamp>{}); return true;
    case LICE_BLIT_MODE_OVERLAY: f(LICE_CombineTag<_LICE_CombinePixelsOverlay>{}); return true;
    case LICE_BLIT_MODE_HSVADJ: f(LICE_CombineTag<_LICE_CombinePixelsHSVAdjust>{}); return true;
    default: return false;
  }
}

// Whole-pixel fast copy rules (k the colour, q the old pixel).
inline LICE_pixel LICE_PixHalf(LICE_pixel k, LICE_pixel q)
{
  return ((k >> 1) & 0x7F7F7F7F) + ((q >> 1) & 0x7F7F7F7F);
}
inline LICE_pixel LICE_PixQuarter(LICE_pixel k, LICE_pixel q)
{
  return ((k >> 2) & 0x3F3F3F3F) + ((q >> 2) & 0x3F3F3F3F) + ((q >> 1) & 0x7F7F7F7F);
}
inline LICE_pixel LICE_PixThreeQuarters(LICE_pixel k, LICE_pixel q)
{
  return ((k >> 1) & 0x7F7F7F7F) + ((k >> 2) & 0x3F3F3F3F) + ((q >> 2) & 0x3F3F3F3F);
}
