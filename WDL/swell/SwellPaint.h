#pragma once
// Pixel writing for the shim's text: opaque fills and coverage blending (internal to the shim).

#include "SwellFontLibrary.h"
#include "swell.h"

namespace swell
{

// A COLORREF (0x00BBGGRR) as an opaque pixel (0xFFRRGGBB).
inline unsigned int OpaquePixel(COLORREF c)
{
  return 0xFF000000u | (c & 0xFF) << 16 | (c & 0xFF00) | (c >> 16 & 0xFF);
}

// The pixel dst covered by `colour` (an opaque pixel) at coverage 1-255, rounded to nearest.
inline unsigned int BlendPixel(unsigned int dst, unsigned int colour, unsigned int coverage)
{
  const unsigned int keep = 255 - coverage;
  unsigned int out = 0xFF000000u;
  for (int shift = 0; shift < 24; shift += 8)
    out |= (((dst >> shift & 0xFF) * keep + (colour >> shift & 0xFF) * coverage + 127) / 255) << shift;
  return out;
}

// Intersection of two rectangles (empty ones keep right >= left, bottom >= top).
RECT Intersect(const RECT& a, const RECT& b);

// Sets every pixel of r inside clip (itself inside the buffer) to `colour`.
void FillPixels(HDC ctx, const RECT& r, const RECT& clip, unsigned int colour);

// Blends a FreeType grey-scale or 1-bit bitmap turned by `turns` quarter turns counter-clockwise
// into `to` (the turned bitmap's place: its size is the bitmap's, sides swapped for odd turns),
// inside clip.
void BlendCoverage(HDC ctx, const FT_Bitmap& bitmap, int turns, const RECT& to, const RECT& clip,
                   unsigned int colour);

}  // namespace swell
