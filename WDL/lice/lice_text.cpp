// LICE_CachedFont: the font state, the glyph cache and rendering characters through the shim;
// the process-wide scratch bitmaps.
#include "lice_text_detail.h"

#include <algorithm>

namespace
{
// Plain pointers, not objects: nothing is torn down at exit or unload while fonts may live on.
LICE_SysBitmap* s_tempbitmap = nullptr;
LICE_SysBitmap* s_nativerender_tempbitmap = nullptr;
int s_tempbitmap_refcnt = 0;

constexpr int kMinGlyphScratch = 256;
constexpr int kMaxRenderLineHeight = 1023;
constexpr size_t kGlyphBytesStep = 65536;

LICE_SysBitmap* Scratch(LICE_SysBitmap*& bm, int w, int h)
{
  if (w < 1 || h < 1) return nullptr;
  if (!bm) bm = new LICE_SysBitmap();
  if (bm->getWidth() >= w && bm->getHeight() >= h && bm->getDC()) return bm;
  bm->resize(std::max(w, bm->getWidth()), std::max(h, bm->getHeight()));
  HDC dc = bm->getDC();
  if (!dc) return nullptr;
  ::SetTextColor(dc, RGB(255, 255, 255));
  ::SetBkMode(dc, TRANSPARENT);
  ::SetBkColor(dc, RGB(0, 0, 0));
  return bm;
}

// UTF-8 of a code below 0x10000 (1-3 bytes); returns the length.
int EncodeUtf8(unsigned short c, char* out)
{
  if (c < 0x80)
  {
    out[0] = (char)c;
    return 1;
  }
  if (c < 0x800)
  {
    out[0] = (char)(0xC0 | (c >> 6));
    out[1] = (char)(0x80 | (c & 0x3F));
    return 2;
  }
  out[0] = (char)(0xE0 | (c >> 12));
  out[1] = (char)(0x80 | ((c >> 6) & 0x3F));
  out[2] = (char)(0x80 | (c & 0x3F));
  return 3;
}
}  // namespace

LICE_SysBitmap* lice_text::GlyphScratch(int w, int h) { return Scratch(s_tempbitmap, w, h); }
LICE_SysBitmap* lice_text::NativeScratch(int w, int h) { return Scratch(s_nativerender_tempbitmap, w, h); }
void lice_text::AddFontRef() { ++s_tempbitmap_refcnt; }
int lice_text::LiveFontCount() { return s_tempbitmap_refcnt; }
bool lice_text::ScratchBitmapsExist() { return s_tempbitmap || s_nativerender_tempbitmap; }

void lice_text::ReleaseFontRef()
{
  if (--s_tempbitmap_refcnt > 0) return;
  s_tempbitmap_refcnt = 0;
  delete s_tempbitmap;
  delete s_nativerender_tempbitmap;
  s_tempbitmap = s_nativerender_tempbitmap = nullptr;
}

LICE_CachedFont::LICE_CachedFont() { lice_text::AddFontRef(); }

LICE_CachedFont::~LICE_CachedFont()
{
  if ((m_flags & LICE_FONT_FLAG_OWNS_HFONT) && m_font) DeleteObject(m_font);
  lice_text::ReleaseFontRef();
}

void LICE_CachedFont::SetFromHFont(HFONT font, int flags)
{
  if ((m_flags & LICE_FONT_FLAG_OWNS_HFONT) && m_font && m_font != font) DeleteObject(m_font);
  m_flags = flags;
  m_font = font;
  m_line_height = 0;
  if (font)
    if (LICE_SysBitmap* s = lice_text::GlyphScratch(kMinGlyphScratch, kMinGlyphScratch))
    {
      HGDIOBJ old = SelectObject(s->getDC(), font);
      TEXTMETRIC tm{};
      if (GetTextMetrics(s->getDC(), &tm)) m_line_height = std::max(tm.tmHeight, 0);
      SelectObject(s->getDC(), old);
    }
  for (charEnt& e : m_lowchars) e = charEnt();
  m_extracharlist.clear();
  m_glyph_bytes.clear();
  if (flags & LICE_FONT_FLAG_PRECALCALL)
    for (unsigned short c = 0; c < 128; ++c) RenderGlyph(c);
}

LICE_pixel LICE_CachedFont::SetTextColor(LICE_pixel color)
{
  std::swap(m_fg, color);
  return color;
}
LICE_pixel LICE_CachedFont::SetBkColor(LICE_pixel color)
{
  std::swap(m_bg, color);
  return color;
}
LICE_pixel LICE_CachedFont::SetEffectColor(LICE_pixel color)
{
  std::swap(m_effectcol, color);
  return color;
}
int LICE_CachedFont::SetBkMode(int mode)
{
  std::swap(m_bgmode, mode);
  return mode;
}
void LICE_CachedFont::SetCombineMode(int mode, float alpha)
{
  m_comb = mode;
  m_alpha = alpha;
}

LICE_CachedFont::charEnt* LICE_CachedFont::findChar(unsigned short c)
{
  if (c < 128) return &m_lowchars[c];
  auto it = std::lower_bound(m_extracharlist.begin(), m_extracharlist.end(), c,
                             [](const charEnt& e, unsigned short code) { return e.charid < code; });
  return it != m_extracharlist.end() && it->charid == c ? &*it : nullptr;
}

LICE_CachedFont::charEnt* LICE_CachedFont::CachedGlyph(unsigned short c)
{
  charEnt* e = findChar(c);
  if (e && e->base_offset) return e;
  return RenderGlyph(c) ? findChar(c) : nullptr;
}

bool LICE_CachedFont::RenderGlyph(unsigned short c)
{
  if (!m_font || m_line_height > kMaxRenderLineHeight) return false;
  charEnt* e = findChar(c);
  const bool added = !e;
  if (!e && (m_flags & LICE_FONT_FLAG_PRECALCALL)) return false;

  const int side = std::max(m_line_height, 1) * 2 + 8;
  LICE_SysBitmap* s = lice_text::GlyphScratch(side, side);
  if (!s) return false;
  HDC dc = s->getDC();
  HGDIOBJ old = SelectObject(dc, m_font);
  char utf[3];
  const int n = EncodeUtf8(c, utf);
  RECT r{0, 0, 0, 0};
  ::DrawText(dc, utf, n, &r, DT_CALCRECT | DT_NOPREFIX | DT_SINGLELINE);
  const int pad = lice_text::GlyphPad(m_line_height);
  const int advance = std::max(r.right - r.left, 0);
  // The drawn area is cut to the scratch bitmap in both directions.
  const int w = std::min(advance + 2 * pad, s->getWidth()), h = std::min(r.bottom - r.top, s->getHeight());
  lice_text::GlyphMask mask;
  if (advance >= 1 && h >= 1)
  {
    LICE_FillRect(s, 0, 0, w, h, 0, 1.0f, LICE_BLIT_MODE_COPY);
    RECT at{pad, 0, pad + advance, h};
    ::DrawText(dc, utf, n, &at, DT_NOCLIP | DT_NOPREFIX | DT_SINGLELINE);
    if (m_flags & LICE_FONT_FLAG_FX_BLUR) LICE_Blur(s, s, 0, 0, 0, 0, w, h);
    std::vector<unsigned char> coverage((size_t)w * h);
    const LICE_pixel* bits = s->getBits();
    const bool invert = (m_flags & LICE_FONT_FLAG_FX_INVERT) != 0;
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x)
      {
        const int red = (int)LICE_GETR(bits[(size_t)y * s->getRowSpan() + x]);
        coverage[(size_t)y * w + x] = (unsigned char)(invert ? 255 - red : red);
      }
    lice_text::BuildGlyphMask(coverage.data(), w, h, pad, m_flags, mask);
  }
  SelectObject(dc, old);

  if (added)
  {
    charEnt fresh;
    fresh.charid = c;
    m_extracharlist.push_back(fresh);
    e = &m_extracharlist.back();
  }
  e->charid = c;
  e->advance = advance >= 1 && h >= 1 ? advance : 0;
  e->width = mask.width;
  e->height = mask.height;
  e->left_extent = mask.leftExtent;
  e->base_offset = -1;
  if (mask.bytes.empty() && e->advance)  // a blank character still takes a line's height
  {
    e->width = Vertical() ? h : 0;
    e->height = Vertical() ? 0 : h;
    e->left_extent = 0;
  }
  if (!mask.bytes.empty())
  {
    const size_t at = m_glyph_bytes.size(), need = at + mask.bytes.size();
    if (need > m_glyph_bytes.capacity()) m_glyph_bytes.reserve((need + kGlyphBytesStep - 1) / kGlyphBytesStep * kGlyphBytesStep);
    m_glyph_bytes.insert(m_glyph_bytes.end(), mask.bytes.begin(), mask.bytes.end());
    e->base_offset = (int)at + 1;
  }
  if (added && m_extracharlist.size() > 1)
    std::sort(m_extracharlist.begin(), m_extracharlist.end(),
              [](const charEnt& a, const charEnt& b) { return a.charid < b.charid; });
  return true;
}

int LICE_CachedFont::utf8char(const char* ptr, int avail, unsigned short* charOut)
{
  if (!ptr || !avail)
  {
    if (charOut) *charOut = 0;
    return 0;
  }
  const unsigned char* p = reinterpret_cast<const unsigned char*>(ptr);
  const unsigned int lead = p[0];
  unsigned short out = (unsigned short)lead;
  int n = 1;
  // A continuation byte is 0x80-0xBF; a zero terminator fails the test, so nothing past it is read.
  auto cont = [&](int i) { return (avail < 0 || i < avail) && (p[i] & 0xC0) == 0x80; };
  if (lead >= 0xC2 && lead <= 0xDF && cont(1))
  {
    out = (unsigned short)(((lead & 0x1F) << 6) | (p[1] & 0x3F));
    n = 2;
  }
  else if (lead >= 0xE0 && lead <= 0xEF && cont(1) && cont(2))
  {
    out = (unsigned short)(((lead & 0x0F) << 12) | ((p[1] & 0x3F) << 6) | (p[2] & 0x3F));
    n = 3;
  }
  else if (lead >= 0xF0 && lead <= 0xF4 && cont(1) && cont(2) && cont(3))
  {
    out = ' ';
    n = 4;
  }
  if (charOut) *charOut = out;
  return n;
}
