// Source-alpha block kernel over a vector type V (V128 for SSE2, V256 for AVX2), included by
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
inline void SourceAlphaBlock(uint32_t* d, const uint32_t* s, int w)
{
  using T = typename V::T;
  const T zero = V::zero(), amask = V::set32((int)0xFF000000), c255 = V::set16(255),
          one = V::set16(1), c256 = V::set16(256), wv = V::set16((short)w);
  const T sv = V::load(s);
  if (V::noBits(sv, amask)) return;  // all transparent
  const T dv = V::load(d);
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
  V::store(d, V::or_(V::andnot(amask, colour), alpha));
}

// The whole row: the last partial block goes through a small copy, padded with transparent
// source pixels (which leave their destination as it is). Returns n.
template <class V, bool Full>
int SourceAlphaBlocks(uint32_t* d, const uint32_t* s, int n, int w)
{
  int i = 0;
  for (; i + V::kPixels <= n; i += V::kPixels) SourceAlphaBlock<V, Full>(d + i, s + i, w);
  if (i < n)
  {
    uint32_t ts[V::kPixels] = {}, td[V::kPixels] = {};
    std::memcpy(ts, s + i, (size_t)(n - i) * sizeof(uint32_t));
    std::memcpy(td, d + i, (size_t)(n - i) * sizeof(uint32_t));
    SourceAlphaBlock<V, Full>(td, ts, w);
    std::memcpy(d + i, td, (size_t)(n - i) * sizeof(uint32_t));
  }
  return n;
}
}  // namespace
