// LICE_CachedFont drawing: the text walk, measuring, aligning, drawing cached glyphs, and handing
// plain text to the shim (natively into a context, or through the scratch bitmap).
#include "lice_text_detail.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>

namespace
{
constexpr unsigned int kAlignFlags = DT_CENTER | DT_RIGHT | DT_VCENTER | DT_BOTTOM;
constexpr unsigned int kLiceFormatFlags = LICE_DT_NEEDALPHA | LICE_DT_USEFGALPHA;
constexpr int kEffectFlags = 0x1F7;  // vertical, pre-rendered, and every effect
constexpr int kNativeLineHeight = 255;
constexpr int64_t kFar = 1 << 28;  // coordinates are held within +-2^28 so that sums cannot overflow

int Held(int64_t v) { return (int)std::min(std::max(v, -kFar), kFar); }

// Characters of the text: carriage returns skipped, a line feed a new line (or a space when
// single-line). Stops at the length or at a zero byte.
class TextWalk
{
public:
  TextWalk(const char* s, int len, bool singleLine) : m_p(s), m_left(len < 0 ? -1 : len), m_single(singleLine) {}
  enum Item
  {
    End,
    Char,
    NewLine
  };
  Item next(unsigned short* c)
  {
    while (m_left != 0 && *m_p)
    {
      const int n = LICE_CachedFont::utf8char(m_p, m_left, c);
      m_p += n;
      if (m_left > 0) m_left -= n;
      if (*c == 13) continue;
      if (*c == 10)
      {
        if (!m_single) return NewLine;
        *c = ' ';
      }
      return Char;
    }
    return End;
  }

private:
  const char* m_p;
  int m_left;
  bool m_single;
};

struct Box
{
  int64_t l, t, r, b;
  bool empty() const { return l >= r || t >= b; }
};
Box Intersect(const Box& a, const Box& b)
{
  return {std::max(a.l, b.l), std::max(a.t, b.t), std::min(a.r, b.r), std::min(a.b, b.b)};
}

// Top-left of a w x h text block placed in rect by the alignment flags.
void Place(const RECT& r, int w, int h, unsigned int fmt, int64_t* x, int64_t* y)
{
  *x = r.left;
  *y = r.top;
  if (fmt & DT_CENTER) *x += ((int64_t)r.right - r.left - w) / 2;
  else if (fmt & DT_RIGHT) *x = (int64_t)r.right - w;
  if (fmt & DT_VCENTER) *y += ((int64_t)r.bottom - r.top - h) / 2;
  else if (fmt & DT_BOTTOM) *y = (int64_t)r.bottom - h;
}

COLORREF ToColorRef(LICE_pixel p) { return RGB(LICE_GETR(p), LICE_GETG(p), LICE_GETB(p)); }
}  // namespace

int LICE_CachedFont::DrawText(LICE_IBitmap* bm, const char* str, int strcnt, RECT* rect, unsigned int dtFlags)
{
  if (!str || !rect || (!bm && !(dtFlags & DT_CALCRECT))) return 0;
  if (!m_font)
  {
    if (dtFlags & DT_CALCRECT)
    {
      rect->right = rect->left;
      rect->bottom = rect->top;
    }
    return 0;
  }
  if (UseNative(dtFlags)) return DrawTextNative(bm, str, strcnt, rect, dtFlags);
  return DrawTextCached(bm, str, strcnt, rect, dtFlags);
}

bool LICE_CachedFont::UseNative(unsigned int dtFlags) const
{
  if (!m_font) return false;
  if (m_line_height > kNativeLineHeight) return true;
  return (m_flags & LICE_FONT_FLAG_FORCE_NATIVE) && !(m_flags & kEffectFlags) && !(dtFlags & kLiceFormatFlags) &&
         (m_lsadj == 0 || (dtFlags & DT_SINGLELINE));
}

void LICE_CachedFont::MeasureText(const char* str, int len, unsigned int dtFlags, int* w, int* h)
{
  const bool vertical = Vertical();
  int64_t u = 0, v = 0, along = 0, across = 0;
  TextWalk walk(str, len, (dtFlags & DT_SINGLELINE) != 0);
  unsigned short c;
  for (TextWalk::Item it; (it = walk.next(&c)) != TextWalk::End;)
  {
    if (it == TextWalk::NewLine)
    {
      u = 0;
      v = std::min(v + m_line_height + m_lsadj, kFar);
      continue;
    }
    const charEnt* e = CachedGlyph(c);
    if (!e) continue;
    const int alongLen = vertical ? e->height : e->width, acrossLen = vertical ? e->width : e->height;
    along = std::max({along, u + e->advance, u + alongLen - e->left_extent});
    across = std::max(across, v + acrossLen);
    u = std::min(u + e->advance, kFar);
  }
  *w = Held(vertical ? across : along);
  *h = Held(vertical ? along : across);
}

bool LICE_CachedFont::DrawGlyphEntry(LICE_IBitmap* bm, const charEnt& e, int x, int y, const RECT& clip, float alpha)
{
  if (e.base_offset <= 0 || e.width < 1 || e.height < 1) return false;
  const size_t first = (size_t)e.base_offset - 1;
  if (first + (size_t)e.width * e.height > m_glyph_bytes.size()) return false;
  int64_t mx = x, my = y;
  if (!Vertical()) mx -= e.left_extent;
  else if (BottomUp()) my += e.left_extent - e.height;  // the glyph lies above the pen
  else my -= e.left_extent;
  const Box cell = Intersect({mx, my, mx + e.width, my + e.height}, {clip.left, clip.top, clip.right, clip.bottom});
  if (cell.empty()) return false;
  if (m_bgmode == 1)
    LICE_FillRect(bm, (int)cell.l, (int)cell.t, (int)(cell.r - cell.l), (int)(cell.b - cell.t), m_bg, alpha,
                  m_comb & ~LICE_BLIT_USE_ALPHA);
  lice_text::GlyphPaint paint;
  paint.text = m_fg;
  paint.effect = m_effectcol;
  paint.alpha = alpha;
  paint.mode = m_comb;
  if (m_flags & LICE_FONT_FLAG_FX_MONO) paint.renderer = lice_text::GlyphRenderer::Mono;
  else if (m_flags & (LICE_FONT_FLAG_FX_SHADOW | LICE_FONT_FLAG_FX_OUTLINE)) paint.renderer = lice_text::GlyphRenderer::Effect;
  const RECT part{(int)(cell.l - mx), (int)(cell.t - my), (int)(cell.r - mx), (int)(cell.b - my)};
  lice_text::BlendGlyph(bm, (int)mx, (int)my, m_glyph_bytes.data() + first, e.width, part, paint);
  return true;
}

bool LICE_CachedFont::DrawGlyph(LICE_IBitmap* bm, unsigned short c, int xpos, int ypos, RECT* clipR)
{
  if (!bm || !m_font) return false;
  RECT clip{0, 0, bm->getWidth(), bm->getHeight()};
  if (clipR)
    clip = {std::max(clip.left, clipR->left), std::max(clip.top, clipR->top), std::min(clip.right, clipR->right),
            std::min(clip.bottom, clipR->bottom)};
  const charEnt* e = CachedGlyph(c);
  return e && DrawGlyphEntry(bm, *e, xpos, ypos, clip, m_alpha);
}

int LICE_CachedFont::DrawTextCached(LICE_IBitmap* bm, const char* str, int len, RECT* rect, unsigned int dtFlags)
{
  if (dtFlags & DT_CALCRECT)
  {
    int w, h;
    MeasureText(str, len, dtFlags, &w, &h);
    rect->right = Held((int64_t)rect->left + w);
    rect->bottom = Held((int64_t)rect->top + h);
    return Vertical() ? w : h;
  }
  float alpha = m_alpha;
  if (dtFlags & LICE_DT_USEFGALPHA) alpha *= (float)LICE_GETA(m_fg) / 255.0f;
  if (alpha == 0.0f) return 0;

  const RECT r{Held(rect->left), Held(rect->top), Held(rect->right), Held(rect->bottom)};
  int tw = 0, th = 0;
  if ((dtFlags & kAlignFlags) || BottomUp()) MeasureText(str, len, dtFlags, &tw, &th);
  int64_t x0, y0;
  Place(r, tw, th, dtFlags, &x0, &y0);
  if (BottomUp()) y0 += th;

  Box clip{0, 0, bm->getWidth(), bm->getHeight()};
  if (!(dtFlags & DT_NOCLIP)) clip = Intersect(clip, {r.left, r.top, r.right, r.bottom});
  if (clip.empty()) return 0;
  const RECT clipRect{(int)clip.l, (int)clip.t, (int)clip.r, (int)clip.b};

  const bool vertical = Vertical(), up = BottomUp();
  int64_t u = 0, v = 0, across = 0;  // pen along and across the text direction
  TextWalk walk(str, len, (dtFlags & DT_SINGLELINE) != 0);
  unsigned short c;
  for (TextWalk::Item it; (it = walk.next(&c)) != TextWalk::End;)
  {
    if (it == TextWalk::NewLine)
    {
      u = 0;
      v = std::min(v + m_line_height + m_lsadj, kFar);
      continue;
    }
    const charEnt* e = CachedGlyph(c);
    if (!e) continue;
    const int64_t px = vertical ? x0 + v : x0 + u, py = vertical ? (up ? y0 - u : y0 + u) : y0 + v;
    if (std::abs(px) < kFar && std::abs(py) < kFar) DrawGlyphEntry(bm, *e, (int)px, (int)py, clipRect, alpha);
    across = std::max(across, v + (vertical ? e->width : e->height));
    u = std::min(u + e->advance, kFar);
  }
  return Held(across);
}

int LICE_CachedFont::DrawTextNative(LICE_IBitmap* bm, const char* str, int len, RECT* rect, unsigned int dtFlags)
{
  const unsigned int fmt = (dtFlags & ~kLiceFormatFlags) | DT_NOPREFIX;
  if (HDC dc = bm ? bm->getDC() : nullptr)
  {
    HGDIOBJ old = SelectObject(dc, m_font);
    const COLORREF oldText = ::SetTextColor(dc, ToColorRef(m_fg));
    const int oldMode = ::SetBkMode(dc, m_bgmode == 1 ? OPAQUE : TRANSPARENT);
    const COLORREF oldBk = ::SetBkColor(dc, ToColorRef(m_bg));
    const int ret = ::DrawText(dc, str, len, rect, fmt);
    ::SetBkColor(dc, oldBk);
    ::SetBkMode(dc, oldMode);
    ::SetTextColor(dc, oldText);
    SelectObject(dc, old);
    return ret;
  }

  // A memory bitmap: measure, copy the text's area into the scratch bitmap, draw there, copy back.
  LICE_SysBitmap* s = lice_text::NativeScratch(16, 16);
  if (!s) return 0;
  const RECT r{Held(rect->left), Held(rect->top), Held(rect->right), Held(rect->bottom)};
  HGDIOBJ old = SelectObject(s->getDC(), m_font);
  RECT m{0, 0, r.right - r.left, r.bottom - r.top};
  ::DrawText(s->getDC(), str, len, &m, (fmt & ~kAlignFlags) | DT_CALCRECT);
  SelectObject(s->getDC(), old);
  const int tw = m.right - m.left, th = m.bottom - m.top;
  if (dtFlags & DT_CALCRECT)
  {
    rect->right = Held((int64_t)rect->left + tw);
    rect->bottom = Held((int64_t)rect->top + th);
    return th;
  }
  int64_t x, y;
  Place(r, tw, th, dtFlags, &x, &y);
  Box area = Intersect({x, y, x + tw, y + th}, {0, 0, bm->getWidth(), bm->getHeight()});
  if (!(dtFlags & DT_NOCLIP)) area = Intersect(area, {r.left, r.top, r.right, r.bottom});
  area.l -= std::min<int64_t>(std::max<int64_t>(area.l, 0), lice_text::GlyphPad(m_line_height));
  if (area.empty()) return 0;
  const int aw = (int)(area.r - area.l), ah = (int)(area.b - area.t);
  if (!(s = lice_text::NativeScratch(aw, ah))) return 0;
  HDC dc = s->getDC();
  LICE_Blit(s, bm, 0, 0, (int)area.l, (int)area.t, aw, ah, 1.0f, LICE_BLIT_MODE_COPY);
  old = SelectObject(dc, m_font);
  ::SetTextColor(dc, ToColorRef(m_fg));
  ::SetBkMode(dc, m_bgmode == 1 ? OPAQUE : TRANSPARENT);
  ::SetBkColor(dc, ToColorRef(m_bg));
  RECT at{(int)(x - area.l), (int)(y - area.t), (int)(x - area.l) + tw, (int)(y - area.t) + th};
  ::DrawText(dc, str, len, &at, (fmt & ~DT_CALCRECT) | DT_NOCLIP);
  ::SetTextColor(dc, RGB(255, 255, 255));
  ::SetBkMode(dc, TRANSPARENT);
  ::SetBkColor(dc, RGB(0, 0, 0));
  SelectObject(dc, old);
  LICE_Blit(bm, s, (int)area.l, (int)area.t, 0, 0, aw, ah, m_alpha, LICE_BLIT_MODE_COPY);
  return th;
}
