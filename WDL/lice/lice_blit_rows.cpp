#include "lice_blit_rows.h"

#include "lice_simd.h"

#include <array>
#include <cstring>
#include <utility>

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
}  // namespace

void SourceAlphaRowFull(LICE_pixel* d, const LICE_pixel* s, int n, int w)
{
  static const SourceAlphaBlocksFn blocks = SourceAlphaFullBlocks();
  const int done = blocks(d, s, n, w);
  CombineRow<_LICE_CombinePixelsCopySourceAlphaIgnoreAlphaParmNoClamp>(d + done, s + done, n - done, w);
}

void SourceAlphaRowPartial(LICE_pixel* d, const LICE_pixel* s, int n, int w)
{
  static const SourceAlphaBlocksFn blocks = SourceAlphaPartialBlocks();
  const int done = blocks(d, s, n, w);
  CombineRow<_LICE_CombinePixelsCopySourceAlphaNoClamp>(d + done, s + done, n - done, w);
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
