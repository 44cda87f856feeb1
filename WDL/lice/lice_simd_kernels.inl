// Source-alpha and bilinear row kernels over a vector type V (V128 for SSE2, V256 for AVX2), included by
// one translation unit per instruction set. Everything here has internal linkage, so that no
// function compiled for AVX2 can stand in for one of the baseline build.

namespace
{
// Colour channels: s + trunc((d - s) * f / 256) with f = 256 - g, computed as
// (s * g + d * f + (s > d ? 255 : 0)) >> 8: the sum never exceeds 65535, so it stays in unsigned
// 16-bit lanes, and the 255 turns the floor into the truncation toward zero of a negative
// difference. g is the source's weight: a + 1 at full weight (0 for a = 0, which leaves the
// pixel), w * (a + 1) >> 8 otherwise. Alpha: the destination alpha plus a (full) or g,
// saturated.
template <class V, bool Full>
inline bool SourceAlphaBlend(typename V::T sv, typename V::T dv, int w, typename V::T* result)
{
  using T = typename V::T;
  const T zero = V::zero(), amask = V::set32((int)0xFF000000), c255 = V::set16(255),
          one = V::set16(1), c256 = V::set16(256), wv = V::set16((short)w);
  if (V::noBits(sv, amask)) return false;  // all transparent: the destination stays
  T out[2], g[2];
  for (int h = 0; h < 2; ++h)
  {
    const T s16 = h ? V::unpackhi8(sv, zero) : V::unpacklo8(sv, zero);
    const T d16 = h ? V::unpackhi8(dv, zero) : V::unpacklo8(dv, zero);
    const T a16 = V::alpha16(s16);
    if (Full) g[h] = V::add16(V::add16(a16, one), V::cmpeq16(a16, zero));
    else g[h] = V::srli16_8(V::mullo16(V::add16(a16, one), wv));
    const T num = V::add16(V::add16(V::mullo16(s16, g[h]), V::mullo16(d16, V::sub16(c256, g[h]))),
                           V::and_(V::cmpgt16(s16, d16), c255));
    out[h] = V::srli16_8(num);
  }
  const T colour = V::packus16(out[0], out[1]);
  const T add = Full ? sv : V::packus16(g[0], g[1]);
  const T alpha = V::and_(V::addsu8(dv, add), amask);
  *result = V::or_(V::andnot(amask, colour), alpha);
  return true;
}

template <class V, bool Full>
inline void SourceAlphaBlock(uint32_t* d, const uint32_t* s, int w)
{
  typename V::T out;
  if (SourceAlphaBlend<V, Full>(V::load(s), V::load(d), w, &out)) V::store(d, out);
}

// The whole row. A row of at least one block ends with a block over its last V::kPixels pixels,
// blended from the pixels as they were before the row began: for the pixels it shares with the
// last whole block it gives what that block wrote, however source and destination overlap. A
// shorter row goes through a small copy, padded with transparent source pixels (which leave
// their destination as it is). Returns n.
template <class V, bool Full>
int SourceAlphaBlocks(uint32_t* d, const uint32_t* s, int n, int w)
{
  if (n < V::kPixels)
  {
    if (n <= 0) return 0;
    uint32_t ts[V::kPixels] = {}, td[V::kPixels] = {};
    std::memcpy(ts, s, (size_t)n * sizeof(uint32_t));
    std::memcpy(td, d, (size_t)n * sizeof(uint32_t));
    SourceAlphaBlock<V, Full>(td, ts, w);
    std::memcpy(d, td, (size_t)n * sizeof(uint32_t));
    return n;
  }
  const int last = n - V::kPixels;
  typename V::T tail;
  const bool tailBlended = (n % V::kPixels) != 0 &&
                           SourceAlphaBlend<V, Full>(V::load(s + last), V::load(d + last), w, &tail);
  for (int i = 0; i + V::kPixels <= n; i += V::kPixels) SourceAlphaBlock<V, Full>(d + i, s + i, w);
  if (tailBlended) V::store(d + last, tail);
  return n;
}
}  // namespace

namespace
{
// Bilinear samples of V::kPixels pixels with exact 16-bit integer arithmetic. With
// d10 = p10 - p00, d01 = p01 - p00, D = p00 - p10 - p01 + p11 and the weights moved into the
// signed range (sfx = fx - 32768, sfy = fy - 32768, s11 = w11 - 32768), the weighted sum is
//   32768 * (p00 + p11) + sfx * d10 + sfy * d01 + s11 * D
// = sfx * d10 + sfy * d01  +  s11 * D + 16384 * (2 * (p00 + p11)),
// two multiply-add pairs whose factors fit 16 bits and whose sums fit 32 bits: the result is
// bit for bit the one of the per-pixel rule. Pixel k of a 128-bit lane lives in lane word pairs
// 2k, 2k + 1 of the weights W1 = (sfx, sfy) and W2 = (s11, 16384).
template <class V>
inline typename V::T BilinearHalf(typename V::T p00, typename V::T p10, typename V::T p01,
                                  typename V::T p11, typename V::T w1a, typename V::T w2a,
                                  typename V::T w1b, typename V::T w2b)
{
  using T = typename V::T;
  const T d10 = V::sub16(p10, p00), d01 = V::sub16(p01, p00);
  const T dd = V::sub16(V::sub16(p11, p01), d10), s = V::add16(V::add16(p00, p11), V::add16(p00, p11));
  const T a = V::add32(V::madd16(V::unpacklo16(d10, d01), w1a), V::madd16(V::unpacklo16(dd, s), w2a));
  const T b = V::add32(V::madd16(V::unpackhi16(d10, d01), w1b), V::madd16(V::unpackhi16(dd, s), w2b));
  return V::packs32(V::srli32_16(a), V::srli32_16(b));
}

template <class V>
inline void BilinearBlock(uint32_t* d, const uint32_t* r0, const uint32_t* r1, const int32_t* xs,
                          const int32_t* fxs, typename V::T fyHigh, typename V::T fyLow)
{
  using T = typename V::T;
  const T zero = V::zero(), flip = V::set32(0x8000), half = V::set32(16384 << 16);
  T p00, p10, p01, p11;
  V::loadPairs(r0, xs, p00, p10);
  V::loadPairs(r1, xs, p01, p11);
  const T fx = V::load((const uint32_t*)fxs);
  const T w11 = V::mulhiu16(fx, fyLow);  // (fx * fy) >> 16 in the low word, 0 above
  const T w1 = V::or_(V::xor_(fx, flip), fyHigh), w2 = V::or_(V::xor_(w11, flip), half);
  const T lo = BilinearHalf<V>(V::unpacklo8(p00, zero), V::unpacklo8(p10, zero),
                               V::unpacklo8(p01, zero), V::unpacklo8(p11, zero),
                               V::template shuffle32<0x00>(w1), V::template shuffle32<0x00>(w2),
                               V::template shuffle32<0x55>(w1), V::template shuffle32<0x55>(w2));
  const T hi = BilinearHalf<V>(V::unpackhi8(p00, zero), V::unpackhi8(p10, zero),
                               V::unpackhi8(p01, zero), V::unpackhi8(p11, zero),
                               V::template shuffle32<0xAA>(w1), V::template shuffle32<0xAA>(w2),
                               V::template shuffle32<0xFF>(w1), V::template shuffle32<0xFF>(w2));
  V::store(d, V::packus16(lo, hi));
}

// The whole row; the last partial block repeats its last column and stores only its own pixels.
template <class V>
void BilinearRow(uint32_t* d, int n, const uint32_t* r0, const uint32_t* r1, const int32_t* xs,
                 const int32_t* fxs, unsigned fy)
{
  const typename V::T fyLow = V::set32((int)fy), fyHigh = V::set32((int)((fy ^ 0x8000u) << 16));
  int i = 0;
  for (; i + V::kPixels <= n; i += V::kPixels)
    BilinearBlock<V>(d + i, r0, r1, xs + i, fxs + i, fyHigh, fyLow);
  if (i < n)
  {
    uint32_t td[V::kPixels];
    int32_t tx[V::kPixels], tf[V::kPixels];
    for (int k = 0; k < V::kPixels; ++k)
    {
      const int j = i + k < n ? i + k : n - 1;
      tx[k] = xs[j];
      tf[k] = fxs[j];
    }
    BilinearBlock<V>(td, r0, r1, tx, tf, fyHigh, fyLow);
    std::memcpy(d + i, td, (size_t)(n - i) * sizeof(uint32_t));
  }
}
}  // namespace
