// AVX2 kernels (with FMA), compiled with -mavx2 -mfma and called only after a run-time check. This file includes
// nothing but the kernels' declarations and the intrinsics, so that no shared inline function
// is ever compiled here with AVX2 instructions.
#include "lice_simd.h"

#include <cstring>

#include <immintrin.h>

namespace
{
struct V256
{
  using T = __m256i;
  static constexpr int kPixels = 8;
  static T zero() { return _mm256_setzero_si256(); }
  static T set16(short v) { return _mm256_set1_epi16(v); }
  static T set32(int v) { return _mm256_set1_epi32(v); }
  static T load(const uint32_t* p) { return _mm256_loadu_si256((const __m256i*)p); }
  static void store(uint32_t* p, T v) { _mm256_storeu_si256((__m256i*)p, v); }
  static bool noBits(T a, T mask) { return _mm256_testz_si256(a, mask) != 0; }
  // Unpacking and packing work within 128-bit lanes, which keeps the pixel order.
  static T unpacklo8(T a, T b) { return _mm256_unpacklo_epi8(a, b); }
  static T unpackhi8(T a, T b) { return _mm256_unpackhi_epi8(a, b); }
  static T alpha16(T p) { return _mm256_shufflehi_epi16(_mm256_shufflelo_epi16(p, 0xFF), 0xFF); }
  static T add16(T a, T b) { return _mm256_add_epi16(a, b); }
  static T sub16(T a, T b) { return _mm256_sub_epi16(a, b); }
  static T mullo16(T a, T b) { return _mm256_mullo_epi16(a, b); }
  static T srli16_8(T a) { return _mm256_srli_epi16(a, 8); }
  static T cmpeq16(T a, T b) { return _mm256_cmpeq_epi16(a, b); }
  static T cmpgt16(T a, T b) { return _mm256_cmpgt_epi16(a, b); }
  static T and_(T a, T b) { return _mm256_and_si256(a, b); }
  static T andnot(T a, T b) { return _mm256_andnot_si256(a, b); }
  static T or_(T a, T b) { return _mm256_or_si256(a, b); }
  static T packus16(T a, T b) { return _mm256_packus_epi16(a, b); }
  static T addsu8(T a, T b) { return _mm256_adds_epu8(a, b); }
};
}  // namespace

#include "lice_simd_kernels.inl"

namespace lice_detail
{
int SourceAlphaFullBlocksAvx2(uint32_t* d, const uint32_t* s, int n, int w)
{
  return SourceAlphaBlocks<V256, true>(d, s, n, w);
}

int SourceAlphaPartialBlocksAvx2(uint32_t* d, const uint32_t* s, int n, int w)
{
  return SourceAlphaBlocks<V256, false>(d, s, n, w);
}

// Two pixels per step, one in each 128-bit lane, in single precision: every product and partial
// sum of the bilinear weighting is an integer below 2^24, so the arithmetic (fused or not) is
// exact.
void BilinearStoreRowAvx2(uint32_t* d, int n, const uint32_t* r0, const uint32_t* r1,
                          const int32_t* xs, const int32_t* fxs, unsigned fy)
{
  const __m256i fyv = _mm256_set1_epi32((int)fy);
  const __m256 fyf = _mm256_set1_ps((float)fy), restf = _mm256_set1_ps((float)(65536 - fy));
  const __m256i spread = _mm256_setr_epi32(0, 0, 0, 0, 1, 1, 1, 1);
  const __m256i gather = _mm256_setr_epi32(0, 4, 0, 4, 0, 4, 0, 4);
  for (int i = 0; i < n; i += 2)
  {
    // An odd last pixel is computed twice in both lanes and stored once.
    const int j = i + 1 < n ? i + 1 : i;
    const int x0 = xs[i], x1 = xs[j];
    const __m128i top = _mm_unpacklo_epi32(_mm_loadl_epi64((const __m128i*)(r0 + x0)),
                                           _mm_loadl_epi64((const __m128i*)(r0 + x1)));
    const __m128i bot = _mm_unpacklo_epi32(_mm_loadl_epi64((const __m128i*)(r1 + x0)),
                                           _mm_loadl_epi64((const __m128i*)(r1 + x1)));
    const __m256 p00 = _mm256_cvtepi32_ps(_mm256_cvtepu8_epi32(top));
    const __m256 p10 = _mm256_cvtepi32_ps(_mm256_cvtepu8_epi32(_mm_srli_si128(top, 8)));
    const __m256 p01 = _mm256_cvtepi32_ps(_mm256_cvtepu8_epi32(bot));
    const __m256 p11 = _mm256_cvtepi32_ps(_mm256_cvtepu8_epi32(_mm_srli_si128(bot, 8)));
    const __m128i fx2 = _mm_unpacklo_epi32(_mm_cvtsi32_si128(fxs[i]), _mm_cvtsi32_si128(fxs[j]));
    const __m256i fx = _mm256_permutevar8x32_epi32(_mm256_castsi128_si256(fx2), spread);
    // fx * fy < 2^32: the logical shift reads the product as unsigned. The other weights follow
    // in single precision, exact for integers this small.
    const __m256 w11 = _mm256_cvtepi32_ps(_mm256_srli_epi32(_mm256_mullo_epi32(fx, fyv), 16));
    const __m256 fxf = _mm256_cvtepi32_ps(fx);
    const __m256 w10 = _mm256_sub_ps(fxf, w11), w01 = _mm256_sub_ps(fyf, w11);
    const __m256 w00 = _mm256_add_ps(_mm256_sub_ps(restf, fxf), w11);
    __m256 acc = _mm256_mul_ps(p00, w00);
    acc = _mm256_fmadd_ps(p10, w10, acc);
    acc = _mm256_fmadd_ps(p01, w01, acc);
    acc = _mm256_fmadd_ps(p11, w11, acc);
    __m256i v = _mm256_srli_epi32(_mm256_cvttps_epi32(acc), 16);
    v = _mm256_packus_epi16(_mm256_packus_epi32(v, v), v);  // bytes of each lane's pixel first
    v = _mm256_permutevar8x32_epi32(v, gather);
    if (j > i)
      _mm_storel_epi64((__m128i*)(d + i), _mm256_castsi256_si128(v));
    else
      d[i] = (uint32_t)_mm256_cvtsi256_si32(v);
  }
}
}  // namespace lice_detail
