// The baseline (SSE2) vector kernels and the run-time choice of the AVX2 ones.
#include "lice_simd.h"

#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>

namespace
{
struct V128
{
  using T = __m128i;
  static constexpr int kPixels = 4;
  static T zero() { return _mm_setzero_si128(); }
  static T set16(short v) { return _mm_set1_epi16(v); }
  static T set32(int v) { return _mm_set1_epi32(v); }
  static T load(const uint32_t* p) { return _mm_loadu_si128((const __m128i*)p); }
  static void store(uint32_t* p, T v) { _mm_storeu_si128((__m128i*)p, v); }
  static bool noBits(T a, T mask) { return _mm_movemask_epi8(_mm_cmpeq_epi32(_mm_and_si128(a, mask), _mm_setzero_si128())) == 0xFFFF; }
  static T unpacklo8(T a, T b) { return _mm_unpacklo_epi8(a, b); }
  static T unpackhi8(T a, T b) { return _mm_unpackhi_epi8(a, b); }
  static T alpha16(T p) { return _mm_shufflehi_epi16(_mm_shufflelo_epi16(p, 0xFF), 0xFF); }
  static T add16(T a, T b) { return _mm_add_epi16(a, b); }
  static T sub16(T a, T b) { return _mm_sub_epi16(a, b); }
  static T mullo16(T a, T b) { return _mm_mullo_epi16(a, b); }
  static T srli16_8(T a) { return _mm_srli_epi16(a, 8); }
  static T cmpeq16(T a, T b) { return _mm_cmpeq_epi16(a, b); }
  static T cmpgt16(T a, T b) { return _mm_cmpgt_epi16(a, b); }
  static T and_(T a, T b) { return _mm_and_si128(a, b); }
  static T andnot(T a, T b) { return _mm_andnot_si128(a, b); }
  static T or_(T a, T b) { return _mm_or_si128(a, b); }
  static T packus16(T a, T b) { return _mm_packus_epi16(a, b); }
  static T addsu8(T a, T b) { return _mm_adds_epu8(a, b); }
  static T xor_(T a, T b) { return _mm_xor_si128(a, b); }
  static T add32(T a, T b) { return _mm_add_epi32(a, b); }
  static T unpacklo16(T a, T b) { return _mm_unpacklo_epi16(a, b); }
  static T unpackhi16(T a, T b) { return _mm_unpackhi_epi16(a, b); }
  static T madd16(T a, T b) { return _mm_madd_epi16(a, b); }
  static T mulhiu16(T a, T b) { return _mm_mulhi_epu16(a, b); }
  static T srli32_16(T a) { return _mm_srli_epi32(a, 16); }
  static T packs32(T a, T b) { return _mm_packs_epi32(a, b); }
  template <int Imm>
  static T shuffle32(T a) { return _mm_shuffle_epi32(a, Imm); }
  // Pixels xs[k] and xs[k] + 1 of row r, k = 0 .. 3, as the vectors of left and right neighbours.
  static void loadPairs(const uint32_t* r, const int32_t* xs, T& left, T& right)
  {
    const __m128 a = _mm_castsi128_ps(_mm_unpacklo_epi64(_mm_loadl_epi64((const __m128i*)(r + xs[0])),
                                                         _mm_loadl_epi64((const __m128i*)(r + xs[1]))));
    const __m128 b = _mm_castsi128_ps(_mm_unpacklo_epi64(_mm_loadl_epi64((const __m128i*)(r + xs[2])),
                                                         _mm_loadl_epi64((const __m128i*)(r + xs[3]))));
    left = _mm_castps_si128(_mm_shuffle_ps(a, b, _MM_SHUFFLE(2, 0, 2, 0)));
    right = _mm_castps_si128(_mm_shuffle_ps(a, b, _MM_SHUFFLE(3, 1, 3, 1)));
  }
};
}  // namespace

#include "lice_simd_kernels.inl"
#endif

namespace lice_detail
{
bool HasAvx2Kernels()
{
#if defined(LICE_HAVE_AVX2_KERNELS)
  static const bool has = __builtin_cpu_supports("avx2");
  return has;
#else
  return false;
#endif
}

// Without SSE2 (other processors) the callers use the per-pixel rules for the whole row.
int SourceAlphaFullBlocksSse2(uint32_t* d, const uint32_t* s, int n, int w)
{
#if defined(__SSE2__)
  return SourceAlphaBlocks<V128, true>(d, s, n, w);
#else
  return 0;
#endif
}

int SourceAlphaPartialBlocksSse2(uint32_t* d, const uint32_t* s, int n, int w)
{
#if defined(__SSE2__)
  return SourceAlphaBlocks<V128, false>(d, s, n, w);
#else
  return 0;
#endif
}

#if defined(__SSE2__)

SourceAlphaBlocksFn SourceAlphaFullBlocks()
{
#if defined(LICE_HAVE_AVX2_KERNELS)
  if (HasAvx2Kernels()) return &SourceAlphaFullBlocksAvx2;
#endif
  return &SourceAlphaFullBlocksSse2;
}

SourceAlphaBlocksFn SourceAlphaPartialBlocks()
{
#if defined(LICE_HAVE_AVX2_KERNELS)
  if (HasAvx2Kernels()) return &SourceAlphaPartialBlocksAvx2;
#endif
  return &SourceAlphaPartialBlocksSse2;
}

void BilinearStoreRowSse2(uint32_t* d, int n, const uint32_t* r0, const uint32_t* r1,
                          const int32_t* xs, const int32_t* fxs, unsigned fy)
{
  BilinearRow<V128>(d, n, r0, r1, xs, fxs, fy);
}
#endif

BilinearRowFn BilinearStoreRow()
{
#if defined(LICE_HAVE_AVX2_KERNELS)
  if (HasAvx2Kernels()) return &BilinearStoreRowAvx2;
#endif
#if defined(__SSE2__)
  return &BilinearStoreRowSse2;
#else
  return nullptr;
#endif
}
}  // namespace lice_detail
