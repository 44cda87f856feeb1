#include "Lettering.h"

#include "lice_text.h"

namespace faceplate
{

Lettering::Lettering(const char* face, int height, int weight, int tracking)
  : m_font(std::make_unique<LICE_CachedFont>()), m_tracking(tracking)
{
  HFONT font = CreateFont(height, 0, 0, 0, weight, 0, 0, 0, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                          CLIP_DEFAULT_PRECIS, ANTIALIASED_QUALITY, DEFAULT_PITCH, face);
  m_font->SetFromHFont(font, LICE_FONT_FLAG_OWNS_HFONT);
  m_font->SetTextColor(LICE_RGBA(255, 255, 255, 255));
}

Lettering::~Lettering() = default;

TextMask Lettering::Render(const std::string& utf8) const
{
  // Letter by letter when tracked, so that each advance can be widened.
  std::vector<std::string> pieces;
  if (m_tracking == 0)
    pieces.push_back(utf8);
  else
    for (size_t i = 0; i < utf8.size();)
    {
      unsigned short c;
      const int n = LICE_CachedFont::utf8char(utf8.c_str() + i, (int)(utf8.size() - i), &c);
      pieces.push_back(utf8.substr(i, n));
      i += n;
    }
  int width = 0, height = m_font->GetLineHeight();
  std::vector<int> lefts;
  for (const std::string& piece : pieces)
  {
    RECT r{0, 0, 0, 0};
    m_font->DrawText(nullptr, piece.c_str(), -1, &r, DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
    lefts.push_back(width);
    width += r.right + m_tracking;
    height = std::max(height, (int)r.bottom);
  }
  const int pad = 4;
  LICE_MemBitmap bmp(width + 2 * pad, height + 2 * pad);
  LICE_Clear(&bmp, LICE_RGBA(0, 0, 0, 255));
  for (size_t i = 0; i < pieces.size(); ++i)
  {
    RECT r{pad + lefts[i], pad, bmp.getWidth(), bmp.getHeight()};
    m_font->DrawText(&bmp, pieces[i].c_str(), -1, &r, DT_SINGLELINE | DT_NOPREFIX);
  }
  // Trim to the ink.
  int x0 = bmp.getWidth(), y0 = bmp.getHeight(), x1 = -1, y1 = -1;
  for (int y = 0; y < bmp.getHeight(); ++y)
    for (int x = 0; x < bmp.getWidth(); ++x)
      if (LICE_GETR(LICE_GetPixel(&bmp, x, y)))
      {
        x0 = std::min(x0, x), y0 = std::min(y0, y), x1 = std::max(x1, x), y1 = std::max(y1, y);
      }
  TextMask mask;
  if (x1 < 0) return mask;
  mask.w = x1 - x0 + 1;
  mask.h = y1 - y0 + 1;
  mask.coverage.resize((size_t)mask.w * mask.h);
  for (int y = 0; y < mask.h; ++y)
    for (int x = 0; x < mask.w; ++x)
      mask.coverage[(size_t)y * mask.w + x] = (unsigned char)LICE_GETR(LICE_GetPixel(&bmp, x0 + x, y0 + y));
  return mask;
}

void Print(Surface& s, const TextMask& text, double cx, double cy, Colour ink, double shadow)
{
  const int x = (int)std::floor(cx - text.w * 0.5 + 0.5), y = (int)std::floor(cy - text.h * 0.5 + 0.5);
  if (shadow > 0) s.Mask(text.coverage, text.w, text.h, x, y + 1, Rgb(0, 0, 0), shadow);
  s.Mask(text.coverage, text.w, text.h, x, y, ink, 1.0);
}

}  // namespace faceplate
