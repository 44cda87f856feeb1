// DrawText and text measuring: lays the text out unturned (u along the baseline, v downward),
// turns the block by the font's quarter turns and places it in the rectangle.

#include <algorithm>

#include "SwellContext.h"
#include "SwellFont.h"
#include "SwellPaint.h"
#include "SwellTextLayout.h"

using namespace swell;

namespace
{

constexpr int kFar = 1 << 28;

int Align(int lo, int hi, int size, bool centre, bool far)
{
  if (centre) return lo + (hi - lo - size) / 2;
  return far ? hi - size : lo;
}

// Maps text-block coordinates (pixel corners) to the context for a block of w x h turned by `turns`
// quarter turns counter-clockwise, whose turned bounding box has its top-left at (x, y).
struct Placement
{
  int x, y, w, h, turns;

  void Map(int u, int v, int* px, int* py) const
  {
    switch (turns)
    {
      case 1: *px = x + v, *py = y + w - u; break;
      case 2: *px = x + w - u, *py = y + h - v; break;
      case 3: *px = x + h - v, *py = y + u; break;
      default: *px = x + u, *py = y + v; break;
    }
  }

  RECT MapRect(int u0, int v0, int u1, int v1) const
  {
    int x0, y0, x1, y1;
    Map(u0, v0, &x0, &y0);
    Map(u1, v1, &x1, &y1);
    return {std::min(x0, x1), std::min(y0, y1), std::max(x0, x1), std::max(y0, y1)};
  }
};

int LineOffset(const TextLayout& layout, const LayoutLine& line, unsigned int fmt)
{
  return Align(0, layout.width, line.width, (fmt & DT_CENTER) != 0, (fmt & DT_RIGHT) != 0);
}

void PaintLines(HDC ctx, HFONT font, const TextLayout& layout, const Placement& place,
                const RECT& clip, unsigned int fmt)
{
  const TEXTMETRIC& tm = font->tm;
  if (ctx->bkMode == OPAQUE)
  {
    const unsigned int bk = OpaquePixel(ctx->bkColour);
    for (size_t i = 0; i < layout.lines.size(); ++i)
    {
      const int u = LineOffset(layout, layout.lines[i], fmt), v = (int)i * tm.tmHeight;
      FillPixels(ctx, place.MapRect(u, v, u + layout.lines[i].width, v + tm.tmHeight), clip, bk);
    }
  }

  const unsigned int colour = OpaquePixel(ctx->textColour);
  for (size_t i = 0; i < layout.lines.size(); ++i)
  {
    const LayoutLine& line = layout.lines[i];
    int u = LineOffset(layout, line, fmt);
    const int baseline = (int)i * tm.tmHeight + tm.tmAscent;
    for (size_t k = line.begin; k < line.end; ++k)
    {
      const LayoutItem& item = layout.items[k];
      // Glyphs far outside the clip (ink may overhang its cell by up to a line height) are skipped.
      const int lineTop = baseline - tm.tmAscent, margin = tm.tmHeight;
      const RECT reach = Intersect(
          place.MapRect(u - margin, lineTop - margin, u + item.advance + margin, lineTop + 2 * margin), clip);
      if (reach.right <= reach.left || reach.bottom <= reach.top)
      {
        u += item.advance;
        continue;
      }
      int left = 0, top = 0;
      if (const FT_Bitmap* bitmap = item.space ? nullptr : RenderGlyph(font, item.glyph, &left, &top))
      {
        const int u0 = u + left, v0 = baseline - top;
        const RECT to = place.MapRect(u0, v0, u0 + (int)bitmap->width, v0 + (int)bitmap->rows);
        BlendCoverage(ctx, *bitmap, place.turns, to, clip, colour);
      }
      if (item.underline || tm.tmUnderlined)
      {
        const int v = baseline + font->underlineOffset;
        FillPixels(ctx, place.MapRect(u, v, u + item.advance, v + font->underlineThickness), clip, colour);
      }
      if (tm.tmStruckOut)
      {
        const int v = baseline - font->strikeOffset;
        FillPixels(ctx, place.MapRect(u, v, u + item.advance, v + font->strikeThickness), clip, colour);
      }
      u += item.advance;
    }
  }
}

}  // namespace

int DrawText(HDC ctx, const char* utf8, int len, RECT* r, unsigned int fmt)
{
  if (!ctx || !ctx->font || !utf8 || !r) return 0;
  // Coordinates beyond +-2^28 pixels are clamped, so that no sum below can overflow.
  auto clamp = [](int v) { return std::min(std::max(v, -kFar), kFar); };
  const RECT rc{clamp(r->left), clamp(r->top), clamp(r->right), clamp(r->bottom)};
  HFONT font = ctx->font;
  const size_t bytes = TextLength(utf8, len);
  const bool sideways = (font->quarterTurns & 1) != 0;

  std::lock_guard<std::mutex> guard(FontLock());
  int wrapWidth = -1;
  if ((fmt & DT_WORDBREAK) && !(fmt & DT_SINGLELINE))
    wrapWidth = std::max(0, sideways ? rc.bottom - rc.top : rc.right - rc.left);
  TextLayout layout;
  LayoutText(font, utf8, bytes, fmt, wrapWidth, &layout);

  const int blockW = layout.width;
  const int blockH = (int)std::min((long long)layout.lines.size() * font->tm.tmHeight, (long long)kFar);
  const int boxW = sideways ? blockH : blockW, boxH = sideways ? blockW : blockH;
  if (fmt & DT_CALCRECT)
  {
    r->right = rc.left + boxW;
    r->bottom = rc.top + boxH;
    return boxH;
  }
  if (layout.lines.empty()) return 0;

  const Placement place{Align(rc.left, rc.right, boxW, (fmt & DT_CENTER) != 0, (fmt & DT_RIGHT) != 0),
                        Align(rc.top, rc.bottom, boxH, (fmt & DT_VCENTER) != 0, (fmt & DT_BOTTOM) != 0),
                        blockW, blockH, font->quarterTurns};
  RECT clip = Intersect(ctx->clip, {0, 0, ctx->width, ctx->height});
  if (!(fmt & DT_NOCLIP)) clip = Intersect(clip, rc);
  if (clip.right > clip.left && clip.bottom > clip.top) PaintLines(ctx, font, layout, place, clip, fmt);
  return boxH;
}

bool GetTextExtentPoint32(HDC ctx, const char* utf8, int len, SIZE* size)
{
  if (!size) return false;
  *size = SIZE{};
  if (!ctx || !ctx->font || !utf8) return false;
  std::lock_guard<std::mutex> guard(FontLock());
  TextLayout layout;
  LayoutText(ctx->font, utf8, TextLength(utf8, len), DT_SINGLELINE | DT_NOPREFIX, -1, &layout);
  *size = {layout.width, ctx->font->tm.tmHeight};
  return true;
}
