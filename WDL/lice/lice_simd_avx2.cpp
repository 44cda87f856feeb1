// AVX2 kernels, compiled with -mavx2 and called only after a run-time check. This file includes
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
  static T xor_(T a, T b) { return _mm256_xor_si256(a, b); }
  static T add32(T a, T b) { return _mm256_add_epi32(a, b); }
  static T unpacklo16(T a, T b) { return _mm256_unpacklo_epi16(a, b); }
  static T unpackhi16(T a, T b) { return _mm256_unpackhi_epi16(a, b); }
  static T madd16(T a, T b) { return _mm256_madd_epi16(a, b); }
  static T mulhiu16(T a, T b) { return _mm256_mulhi_epu16(a, b); }
  static T srli32_16(T a) { return _mm256_srli_epi32(a, 16); }
  static T packs32(T a, T b) { return _mm256_packs_epi32(a, b); }
  template <int Imm>
  static T shuffle32(T a) { return _mm256_shuffle_epi32(a, Imm); }
  // Pixels xs[k] and xs[k] + 1 of row r, k = 0 .. 7, as the vectors of left and right neighbours.
  static void loadPairs(const uint32_t* r, const int32_t* xs, T& left, T& right)
  {
    auto pair = [&](int k) { return _mm_loadl_epi64((const __m128i*)(r + xs[k])); };
    const __m256 a = _mm256_castsi256_ps(_mm256_inserti128_si256(
      _mm256_castsi128_si256(_mm_unpacklo_epi64(pair(0), pair(1))), _mm_unpacklo_epi64(pair(4), pair(5)), 1));
    const __m256 b = _mm256_castsi256_ps(_mm256_inserti128_si256(
      _mm256_castsi128_si256(_mm_unpacklo_epi64(pair(2), pair(3))), _mm_unpacklo_epi64(pair(6), pair(7)), 1));
    left = _mm256_castps_si256(_mm256_shuffle_ps(a, b, _MM_SHUFFLE(2, 0, 2, 0)));
    right = _mm256_castps_si256(_mm256_shuffle_ps(a, b, _MM_SHUFFLE(3, 1, 3, 1)));
  }
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

void BilinearStoreRowAvx2(uint32_t* d, int n, const uint32_t* r0, const uint32_t* r1,
                          const int32_t* xs, const int32_t* fxs, unsigned fy)
{
  BilinearRow<V256>(d, n, r0, r1, xs, fxs, fy);
}
}  // namespace lice_detail
