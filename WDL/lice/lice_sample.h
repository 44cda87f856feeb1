#pragma once
// Source sampling shared by the scaled and rotated blits (internal): 16.16 fixed-point
// positions, the bilinear weighting and how a sampled pixel is put into the destination.

#include "lice.h"
#include "lice_combine.h"
#include "lice_surface.h"

#include <cmath>
#include <type_traits>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace lice_detail
{
// floor(v * 65536), held within +-2^52 (NaN gives 0) so that position arithmetic stays in 64 bits.
inline long long ToFixed16(double v)
{
  if (!(v == v)) return 0;
  const double f = std::floor(v * 65536.0), lim = 4503599627370496.0;
  return (long long)(f > lim ? lim : (f < -lim ? -lim : f));
}

// (int)v truncated toward zero, held within the int range (NaN gives 0).
inline int ToIntClamped(double v)
{
  if (!(v == v)) return 0;
  if (v >= 2147483647.0) return 2147483647;
  if (v <= -2147483648.0) return -2147483647 - 1;
  return (int)v;
}

// The four neighbours p00 (x, y), p10 (x + 1, y), p01 (x, y + 1), p11 (x + 1, y + 1) weighted
// by the 16-bit fractions: w11 = fx * fy >> 16, w00 = 65536 - fx - fy + w11, w10 = fx - w11,
// w01 = fy - w11; each channel is the weighted sum >> 16. The plain form is the reference.
inline LICE_pixel BilinearPixelRef(LICE_pixel p00, LICE_pixel p10, LICE_pixel p01, LICE_pixel p11,
                                   unsigned fx, unsigned fy)
{
  const unsigned w11 = (fx * fy) >> 16, w00 = 65536 - fx - fy + w11, w10 = fx - w11,
                 w01 = fy - w11;
  LICE_pixel out = 0;
  for (int c = 0; c < 32; c += 8)
  {
    const unsigned v = ((p00 >> c) & 255) * w00 + ((p10 >> c) & 255) * w10 +
                       ((p01 >> c) & 255) * w01 + ((p11 >> c) & 255) * w11;
    out |= (v >> 16) << c;
  }
  return out;
}

#if defined(__SSE2__)
// In single precision: every product and partial sum is an integer below 2^24, so the float
// arithmetic is exact and the result identical to the reference.
inline __m128 ChannelsAsFloat(LICE_pixel p)
{
  const __m128i z = _mm_setzero_si128();
  return _mm_cvtepi32_ps(_mm_unpacklo_epi16(_mm_unpacklo_epi8(_mm_cvtsi32_si128((int)p), z), z));
}

inline LICE_pixel BilinearPixel(LICE_pixel p00, LICE_pixel p10, LICE_pixel p01, LICE_pixel p11,
                                unsigned fx, unsigned fy)
{
  const unsigned w11 = (fx * fy) >> 16;
  __m128 acc = _mm_mul_ps(ChannelsAsFloat(p00), _mm_set1_ps((float)(65536 - fx - fy + w11)));
  acc = _mm_add_ps(acc, _mm_mul_ps(ChannelsAsFloat(p10), _mm_set1_ps((float)(fx - w11))));
  acc = _mm_add_ps(acc, _mm_mul_ps(ChannelsAsFloat(p01), _mm_set1_ps((float)(fy - w11))));
  acc = _mm_add_ps(acc, _mm_mul_ps(ChannelsAsFloat(p11), _mm_set1_ps((float)w11)));
  __m128i v = _mm_srli_epi32(_mm_cvttps_epi32(acc), 16);
  v = _mm_packs_epi32(v, v);
  return (LICE_pixel)_mm_cvtsi128_si32(_mm_packus_epi16(v, v));
}
#else
inline LICE_pixel BilinearPixel(LICE_pixel p00, LICE_pixel p10, LICE_pixel p01, LICE_pixel p11,
                                unsigned fx, unsigned fy)
{
  return BilinearPixelRef(p00, p10, p01, p11, fx, fy);
}
#endif

// Puts a sampled pixel with combine class C at weight w; the full-weight copy is a store.
template <class C>
struct PutPixel
{
  static inline void put(LICE_pixel* d, LICE_pixel s, int w)
  {
    if constexpr (std::is_same_v<C, _LICE_CombinePixelsClobberNoClamp>)
      *d = s;
    else
      C::doPix((LICE_pixel_chan*)d, LICE_GETR(s), LICE_GETG(s), LICE_GETB(s), LICE_GETA(s), w);
  }
};

// The whole-pixel half rule of nearest copies at weight 128.
struct PutHalf
{
  static inline void put(LICE_pixel* d, LICE_pixel s, int) { *d = LICE_PixHalf(*d, s); }
};

// Samplers over a source area [0, width) x [0, height) of a surface; setRow is called once per
// destination row with the source row and its fraction, at(x, fx) once per pixel.
struct NearestSampler
{
  const Surface* s;
  const LICE_pixel* r = nullptr;
  void setRow(int y, unsigned) { r = s->row(y); }
  LICE_pixel at(int x, unsigned) const { return r[x]; }
};

// Neighbours beyond the last column or row are the pixel itself: in the last column this leaves
// the vertical pair, in the last row the horizontal pair, at the last pixel the pixel.
struct BilinearSampler
{
  const Surface* s;
  const LICE_pixel *r0 = nullptr, *r1 = nullptr;
  unsigned fy = 0;
  void setRow(int y, unsigned f)
  {
    r0 = s->row(y);
    r1 = y + 1 < s->height ? s->row(y + 1) : r0;
    fy = f;
  }
  LICE_pixel at(int x, unsigned fx) const
  {
    const int x1 = x + 1 < s->width ? x + 1 : x;
    return BilinearPixel(r0[x], r0[x1], r1[x], r1[x1], fx, fy);
  }
};

// Mean of the (2R + 1)^2 window around the pixel, over the window pixels inside the source.
template <int R>
struct BoxSampler
{
  const Surface* s;
  int y = 0;
  void setRow(int row, unsigned) { y = row; }
  LICE_pixel at(int x, unsigned) const
  {
    unsigned sum[4] = {0, 0, 0, 0}, n = 0;
    const int y0 = y - R < 0 ? 0 : y - R, y1 = y + R >= s->height ? s->height - 1 : y + R;
    const int x0 = x - R < 0 ? 0 : x - R, x1 = x + R >= s->width ? s->width - 1 : x + R;
    for (int yy = y0; yy <= y1; ++yy)
    {
      const LICE_pixel* r = s->row(yy);
      for (int xx = x0; xx <= x1; ++xx, ++n)
        for (int c = 0; c < 4; ++c) sum[c] += (r[xx] >> (8 * c)) & 255;
    }
    return (sum[0] / n) | ((sum[1] / n) << 8) | ((sum[2] / n) << 16) | ((sum[3] / n) << 24);
  }
};
}  // namespace lice_detail
