#include "SwellPaint.h"

#include <algorithm>

#include "SwellContext.h"

namespace swell
{
namespace
{

int Width(const RECT& r)
{
  return r.right - r.left;
}

int Height(const RECT& r)
{
  return r.bottom - r.top;
}

template <bool Mono>
unsigned int Coverage(const FT_Bitmap& bitmap, int column, int row)
{
  const unsigned char* line = bitmap.buffer + (size_t)row * (size_t)bitmap.pitch;
  if (Mono) return (line[column >> 3] >> (7 - (column & 7)) & 1) * 255u;
  return line[column];
}

// Walks the destination pixels of `area` (inside `to`) and fetches each one's coverage from the
// bitmap pixel that turns onto it, so quarter turns are exact pixel rotations.
template <bool Mono, int Turns>
void BlendTurned(HDC ctx, const FT_Bitmap& bitmap, const RECT& to, const RECT& area, unsigned int colour)
{
  for (int py = area.top; py < area.bottom; ++py)
  {
    unsigned int* dst = ctx->bits + (size_t)py * (size_t)ctx->width;
    for (int px = area.left; px < area.right; ++px)
    {
      int column = px - to.left, row = py - to.top;
      if (Turns == 1) column = to.bottom - 1 - py, row = px - to.left;
      if (Turns == 2) column = to.right - 1 - px, row = to.bottom - 1 - py;
      if (Turns == 3) column = py - to.top, row = to.right - 1 - px;
      const unsigned int c = Coverage<Mono>(bitmap, column, row);
      if (c == 255)
        dst[px] = colour;
      else if (c)
        dst[px] = BlendPixel(dst[px], colour, c);
    }
  }
}

template <bool Mono>
void BlendWithTurns(HDC ctx, const FT_Bitmap& bitmap, int turns, const RECT& to, const RECT& area,
                    unsigned int colour)
{
  static void (*const kByTurns[4])(HDC, const FT_Bitmap&, const RECT&, const RECT&, unsigned int) = {
      BlendTurned<Mono, 0>, BlendTurned<Mono, 1>, BlendTurned<Mono, 2>, BlendTurned<Mono, 3>};
  kByTurns[turns & 3](ctx, bitmap, to, area, colour);
}

}  // namespace

RECT Intersect(const RECT& a, const RECT& b)
{
  RECT r{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
         std::min(a.bottom, b.bottom)};
  r.right = std::max(r.right, r.left);
  r.bottom = std::max(r.bottom, r.top);
  return r;
}

void FillPixels(HDC ctx, const RECT& r, const RECT& clip, unsigned int colour)
{
  const RECT area = Intersect(r, clip);
  for (int py = area.top; py < area.bottom; ++py)
    std::fill(ctx->bits + (size_t)py * (size_t)ctx->width + area.left,
              ctx->bits + (size_t)py * (size_t)ctx->width + area.right, colour);
}

void BlendCoverage(HDC ctx, const FT_Bitmap& bitmap, int turns, const RECT& to, const RECT& clip,
                   unsigned int colour)
{
  // Rendered bitmaps flow downward (positive pitch); anything else is not ours to draw.
  if (!bitmap.buffer || bitmap.pitch <= 0) return;
  const bool sideways = (turns & 1) != 0;
  if (Width(to) != (int)(sideways ? bitmap.rows : bitmap.width) ||
      Height(to) != (int)(sideways ? bitmap.width : bitmap.rows))
    return;
  const RECT area = Intersect(to, clip);
  if (bitmap.pixel_mode == FT_PIXEL_MODE_MONO)
    BlendWithTurns<true>(ctx, bitmap, turns, to, area, colour);
  else if (bitmap.pixel_mode == FT_PIXEL_MODE_GRAY)
    BlendWithTurns<false>(ctx, bitmap, turns, to, area, colour);
}

}  // namespace swell
