#include "lice_blit_rows.h"

#include <array>
#include <cstring>
#include <utility>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace lice_detail
{
void CopyRow(LICE_pixel* d, const LICE_pixel* s, int n, int)
{
  std::memmove(d, s, (size_t)n * sizeof(LICE_pixel));
}

void HalfRow(LICE_pixel* d, const LICE_pixel* s, int n, int)
{
  for (int i = 0; i < n; ++i) d[i] = LICE_PixHalf(d[i], s[i]);
}

namespace
{
// Destination byte D takes source byte S.
template <int D, int S>
void ChannelCopyRow(LICE_pixel* d, const LICE_pixel* s, int n, int)
{
  for (int i = 0; i < n; ++i)
    d[i] = (d[i] & ~(0xFFu << (8 * D))) | (((s[i] >> (8 * S)) & 0xFF) << (8 * D));
}

template <int... I>
constexpr std::array<BlitRowFn, 16> ChannelCopyTable(std::integer_sequence<int, I...>)
{
  return {{&ChannelCopyRow<(I >> 2) & 3, I & 3>...}};
}
constexpr std::array<BlitRowFn, 16> kChannelCopy =
  ChannelCopyTable(std::make_integer_sequence<int, 16>{});

#if defined(__SSE2__)
// s + (d - s) * f / 256 per 16-bit lane, the division truncating toward zero, for |d - s| <= 255
// and 0 <= f <= 256: the magnitude's product fits 16 unsigned bits, the sign is put back after.
inline __m128i Lerp16(__m128i s, __m128i d, __m128i f)
{
  const __m128i diff = _mm_sub_epi16(d, s);
  const __m128i sign = _mm_srai_epi16(diff, 15);
  const __m128i mag = _mm_sub_epi16(_mm_xor_si128(diff, sign), sign);
  const __m128i q = _mm_srli_epi16(_mm_mullo_epi16(mag, f), 8);
  return _mm_add_epi16(s, _mm_sub_epi16(_mm_xor_si128(q, sign), sign));
}

inline __m128i BroadcastAlpha16(__m128i p16)
{
  return _mm_shufflehi_epi16(_mm_shufflelo_epi16(p16, 0xFF), 0xFF);
}

// Four pixels: colour s + (d - s) * f / 256 with f from the source alpha, alpha the saturated
// sum of the destination alpha and `addA` (bytes), pixels with source alpha 0 unchanged.
template <class Factor>
inline __m128i SourceAlpha4(__m128i s, __m128i d, Factor factor)
{
  const __m128i zero = _mm_setzero_si128();
  const __m128i amask = _mm_set1_epi32((int)0xFF000000);
  const __m128i sl = _mm_unpacklo_epi8(s, zero), sh = _mm_unpackhi_epi8(s, zero);
  __m128i addl, addh;
  const __m128i fl = factor(BroadcastAlpha16(sl), addl), fh = factor(BroadcastAlpha16(sh), addh);
  const __m128i colour = _mm_packus_epi16(Lerp16(sl, _mm_unpacklo_epi8(d, zero), fl),
                                          Lerp16(sh, _mm_unpackhi_epi8(d, zero), fh));
  const __m128i alpha = _mm_and_si128(_mm_adds_epu8(_mm_packus_epi16(addl, addh), d), amask);
  const __m128i res = _mm_or_si128(_mm_andnot_si128(amask, colour), alpha);
  const __m128i keep = _mm_cmpeq_epi32(_mm_and_si128(s, amask), zero);
  return _mm_or_si128(_mm_and_si128(keep, d), _mm_andnot_si128(keep, res));
}

template <class C, class Factor>
void SourceAlphaRowSse2(LICE_pixel* d, const LICE_pixel* s, int n, int w, Factor factor)
{
  const __m128i amask = _mm_set1_epi32((int)0xFF000000);
  int i = 0;
  for (; i + 4 <= n; i += 4)
  {
    const __m128i sv = _mm_loadu_si128((const __m128i*)(s + i));
    const __m128i alphas = _mm_cmpeq_epi32(_mm_and_si128(sv, amask), _mm_setzero_si128());
    if (_mm_movemask_epi8(alphas) == 0xFFFF) continue;  // all transparent
    const __m128i dv = _mm_loadu_si128((const __m128i*)(d + i));
    _mm_storeu_si128((__m128i*)(d + i), SourceAlpha4(sv, dv, factor));
  }
  CombineRow<C>(d + i, s + i, n - i, w);
}
#endif
}  // namespace

void SourceAlphaRowFull(LICE_pixel* d, const LICE_pixel* s, int n, int w)
{
#if defined(__SSE2__)
  // Factor 255 - a; the alpha adds a.
  SourceAlphaRowSse2<_LICE_CombinePixelsCopySourceAlphaIgnoreAlphaParmNoClamp>(
    d, s, n, w, [](__m128i a16, __m128i& add) {
      add = a16;
      return _mm_sub_epi16(_mm_set1_epi16(255), a16);
    });
#else
  CombineRow<_LICE_CombinePixelsCopySourceAlphaIgnoreAlphaParmNoClamp>(d, s, n, w);
#endif
}

void SourceAlphaRowPartial(LICE_pixel* d, const LICE_pixel* s, int n, int w)
{
#if defined(__SSE2__)
  // w' = w * (a + 1) / 256 (at most 255 for w <= 255); factor 256 - w'; the alpha adds w'.
  const __m128i wv = _mm_set1_epi16((short)w);
  SourceAlphaRowSse2<_LICE_CombinePixelsCopySourceAlphaNoClamp>(
    d, s, n, w, [wv](__m128i a16, __m128i& add) {
      add = _mm_srli_epi16(_mm_mullo_epi16(_mm_add_epi16(a16, _mm_set1_epi16(1)), wv), 8);
      return _mm_sub_epi16(_mm_set1_epi16(256), add);
    });
#else
  CombineRow<_LICE_CombinePixelsCopySourceAlphaNoClamp>(d, s, n, w);
#endif
}

BlitRowFn PickBlitRow(int mode, float alpha, int& parm)
{
  parm = 0;
  if (alpha == 0.0f) return nullptr;
  if ((mode & LICE_BLIT_MODE_MASK) >= LICE_BLIT_MODE_CHANCOPY)
  {
    parm = mode & 15;
    return kChannelCopy[(size_t)parm];
  }
  const int key = mode & (LICE_BLIT_MODE_MASK | LICE_BLIT_USE_ALPHA);
  if (key == LICE_BLIT_MODE_COPY && alpha == 1.0f) return &CopyRow;
  if (key == LICE_BLIT_MODE_COPY && alpha == 0.5f) return &HalfRow;
  const int w = LICE_AlphaWeight(alpha);
  parm = w;
  if (w == 0 || (key == LICE_BLIT_MODE_COPY && w < 1)) return nullptr;
  if (key == (LICE_BLIT_USE_ALPHA | LICE_BLIT_MODE_COPY))
  {
    if (w == 256) return &SourceAlphaRowFull;
    if (w >= 1 && w <= 255) return &SourceAlphaRowPartial;
  }
  BlitRowFn fn = nullptr;
  LICE_WithCombineClass(mode, w, [&](auto tag) { fn = &CombineRow<typename decltype(tag)::type>; });
  return fn;
}
}  // namespace lice_detail
