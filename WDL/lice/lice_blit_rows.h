#pragma once
// Row operations of the plain blit (internal). A row operation combines n source pixels into n
// destination pixels; `parm` is the weight w, or for the channel copy the mode's low four bits.
// Each reads the source pixels of a block before writing the destination pixels of that block,
// so a destination that starts at or before its source in the same memory row is safe; the
// caller handles every other overlap. The fast forms give results identical to CombineRow with
// the matching class, which stays here as their reference.

#include "lice.h"
#include "lice_combine.h"

namespace lice_detail
{
using BlitRowFn = void (*)(LICE_pixel* d, const LICE_pixel* s, int n, int parm);

template <class C>
void CombineRow(LICE_pixel* d, const LICE_pixel* s, int n, int w)
{
  for (int i = 0; i < n; ++i)
  {
    const LICE_pixel p = s[i];
    C::doPix((LICE_pixel_chan*)(d + i), LICE_GETR(p), LICE_GETG(p), LICE_GETB(p), LICE_GETA(p), w);
  }
}

void CopyRow(LICE_pixel* d, const LICE_pixel* s, int n, int);  // memmove
void HalfRow(LICE_pixel* d, const LICE_pixel* s, int n, int);  // LICE_PixHalf per pixel

// CombineRow of _LICE_CombinePixelsCopySourceAlphaIgnoreAlphaParmNoClamp (any w), and of
// _LICE_CombinePixelsCopySourceAlphaNoClamp for 1 <= w <= 255, in SIMD (SSE2, or AVX2 when the
// processor has it).
void SourceAlphaRowFull(LICE_pixel* d, const LICE_pixel* s, int n, int w);
void SourceAlphaRowPartial(LICE_pixel* d, const LICE_pixel* s, int n, int w);

// The row operation for a blit with this mode and alpha, and its parm; null when the call
// draws nothing (alpha 0, a weight below the mode's range, or a mode without a rule).
BlitRowFn PickBlitRow(int mode, float alpha, int& parm);
}  // namespace lice_detail
