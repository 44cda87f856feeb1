// Text drawn and measured with fonts from the process-wide font storage.
#include "FontStorage.h"
#include "IGraphics.h"
#include "lice_text.h"

namespace
{
int PlatformQuality(int quality)
{
  switch (quality)
  {
    case IText::kQualityDefault: return 0;
    case IText::kQualityAntiAlias:
    case IText::kQualityClearType: return 4;
    default: return 3;  // non-antialiased
  }
}
}  // namespace

LICE_CachedFont* IGraphics::CacheFont(IText* text)
{
  if (!text) return nullptr;
  FontStorage& storage = FontStorage::Instance();
  if (LICE_CachedFont* found = storage.Find(text))
  {
    text->mCached = found;
    return found;
  }
  auto* font = new LICE_CachedFont();
  // Escapement in tenths of a degree; the same direction for any whole number of turns.
  const int escapement = (text->mOrientation % 360) * 10;
  int h = text->mSize;
  for (int attempt = 0; attempt < 2; ++attempt)
  {
    const int height = h > 2 ? h : 2;
    HFONT platformFont = CreateFont(height, 0, escapement, escapement, text->mStyle == IText::kStyleBold ? 700 : 400,
                                    text->mStyle == IText::kStyleItalic, 0, 0, 0, 0, 0,
                                    PlatformQuality(text->mQuality), 0, text->mFont);
    if (!platformFont)
    {
      delete font;
      return nullptr;
    }
    font->SetFromHFont(platformFont, LICE_FONT_FLAG_OWNS_HFONT | LICE_FONT_FLAG_FORCE_NATIVE);
    const int lineHeight = font->GetLineHeight();
    // A font whose line height is not the size asked for is made once more, scaled so that
    // its line height comes closer; a line height of 0 cannot be scaled and is kept.
    if (attempt == 1 || lineHeight == height || lineHeight <= 0) break;
    const double s = text->mSize;
    const double s2 = text->mSize < 2 ? 4.0 : s * s;
    const double scaled = s2 / lineHeight + 0.5;
    h = scaled < 1e6 ? static_cast<int>(scaled) : 1000000;
  }
  if (!storage.Add(text, font))
  {
    delete font;
    return nullptr;
  }
  text->mCached = font;
  return font;
}

bool IGraphics::DrawIText(IText* text, const char* str, IRECT* r, bool measure)
{
  return DrawIText(mDrawBitmap, text, str, r, measure);
}

bool IGraphics::DrawIText(LICE_IBitmap* dest, IText* text, const char* str, IRECT* r, bool measure)
{
  if (!str || !*str) return true;
  if (!text || !r) return false;
  LICE_CachedFont* font = text->mCached ? static_cast<LICE_CachedFont*>(text->mCached) : CacheFont(text);
  if (!font) return false;
  font->SetTextColor(text->mColor.ToPixel());
  unsigned fmt = DT_NOCLIP;
  if (text->mAlign == IText::kAlignCenter)
    fmt |= DT_CENTER;
  else if (text->mAlign == IText::kAlignRight)
    fmt |= DT_RIGHT;
  if (text->mColor.A < 255) fmt |= LICE_DT_USEFGALPHA;

  if (!measure)
  {
    RECT area = {r->L, r->T, r->R, r->B};
    if (dest) font->DrawText(dest, str, -1, &area, fmt);
    return true;
  }
  RECT extent = {0, 0, 0, 0};
  font->DrawText(dest, str, -1, &extent, fmt | DT_CALCRECT);
  const int width = extent.right - extent.left, height = extent.bottom - extent.top;
  if (text->mAlign == IText::kAlignCenter)
  {
    r->L = static_cast<int>((r->L + r->R) * 0.5) - width / 2;
    r->R = r->L + width;
  }
  else if (text->mAlign == IText::kAlignRight)
    r->L = r->R - width;
  else
    r->R = r->L + width;
  r->B = r->T + height;
  return true;
}

bool IGraphics::MeasureIText(IText* text, char* str, IRECT* r)
{
  return DrawIText(text, str, r, true);
}
