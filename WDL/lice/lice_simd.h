#pragma once
// Vector kernels of the blits (internal). The SSE2 forms are the x86-64 baseline; AVX2 forms
// (with FMA) are chosen at run time when the processor has them. Every kernel gives results identical to
// the per-pixel rules (lice_combine.h, BilinearPixelRef), which the tests check.

#include <cstdint>

namespace lice_detail
{
// Source-alpha copy of whole vector blocks of pixels: the IgnoreAlphaParm rule (full weight)
// or the CopySourceAlpha rule at weight 1 <= w <= 255. Return how many leading pixels of the n
// they did (the caller does the rest with the per-pixel rule).
using SourceAlphaBlocksFn = int (*)(uint32_t* d, const uint32_t* s, int n, int w);
SourceAlphaBlocksFn SourceAlphaFullBlocks();
SourceAlphaBlocksFn SourceAlphaPartialBlocks();

// Bilinear samples stored into d[0 .. n): pixel i from source column xs[i] and its right
// neighbour with the 16-bit fraction fxs[i], rows r0 and r1 (r1 = r0 on the last row) with
// fraction fy. Every xs[i] + 1 must lie inside the row. Null when no vector form is available
// (processors without SSE2).
using BilinearRowFn = void (*)(uint32_t* d, int n, const uint32_t* r0, const uint32_t* r1,
                               const int32_t* xs, const int32_t* fxs, unsigned fy);
BilinearRowFn BilinearStoreRow();

// The forms behind those choices, for the tests. The AVX2 ones are built in their own
// translation unit with -mavx2: call them only when HasAvx2Kernels().
bool HasAvx2Kernels();
int SourceAlphaFullBlocksSse2(uint32_t* d, const uint32_t* s, int n, int w);
int SourceAlphaPartialBlocksSse2(uint32_t* d, const uint32_t* s, int n, int w);
int SourceAlphaFullBlocksAvx2(uint32_t* d, const uint32_t* s, int n, int w);
int SourceAlphaPartialBlocksAvx2(uint32_t* d, const uint32_t* s, int n, int w);
void BilinearStoreRowSse2(uint32_t* d, int n, const uint32_t* r0, const uint32_t* r1,
                          const int32_t* xs, const int32_t* fxs, unsigned fy);
void BilinearStoreRowAvx2(uint32_t* d, int n, const uint32_t* r0, const uint32_t* r1,
                          const int32_t* xs, const int32_t* fxs, unsigned fy);
}  // namespace lice_detail
