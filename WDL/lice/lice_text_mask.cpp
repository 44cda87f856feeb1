// From a character's rendered coverage to its cached mask: column trimming, quarter turns for
// vertical fonts, and the monochrome, shadow and outline effects.
#include "lice_text_detail.h"

#include <algorithm>

namespace
{
constexpr int kMonoThreshold = 130;
constexpr unsigned char kEffectPixel = 128;

// Shadow: an empty pixel whose left, upper-left or upper neighbour is ink. Outline: an empty
// pixel with ink among its four neighbours. Reads only the thresholded ink (255).
void MarkEffect(std::vector<unsigned char>& m, int w, int h, bool shadow)
{
  const std::vector<unsigned char> ink(m);
  auto isInk = [&](int x, int y) { return x >= 0 && y >= 0 && x < w && y < h && ink[(size_t)y * w + x] == 255; };
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
    {
      unsigned char& p = m[(size_t)y * w + x];
      if (p) continue;
      const bool mark = shadow ? isInk(x - 1, y) || isInk(x - 1, y - 1) || isInk(x, y - 1)
                               : isInk(x - 1, y) || isInk(x + 1, y) || isInk(x, y - 1) || isInk(x, y + 1);
      if (mark) p = kEffectPixel;
    }
}
}  // namespace

void lice_text::BuildGlyphMask(const unsigned char* coverage, int w, int h, int pad, int flags, GlyphMask& out)
{
  out = GlyphMask();
  if (!coverage || w < 1 || h < 1) return;

  int left = w, right = 0;  // first and one-past-last non-empty column over all rows
  for (int y = 0; y < h; ++y)
  {
    const unsigned char* row = coverage + (size_t)y * w;
    int x = 0;
    while (x < w && !row[x]) ++x;
    if (x == w) continue;
    left = std::min(left, x);
    int e = w;
    while (!row[e - 1]) --e;
    right = std::max(right, e);
  }
  if (left >= right) return;  // nothing visible

  // Shadow and outline pixels fall one pixel beyond the ink: keep a column each side for them
  // (the render margin leaves empty columns there), so that the effect is not cut at the edges.
  const int effects = flags & (LICE_FONT_FLAG_FX_SHADOW | LICE_FONT_FLAG_FX_OUTLINE);
  if (effects)
  {
    left = std::max(left - 1, 0);
    right = std::min(right + 1, w);
  }

  const int cw = right - left;
  std::vector<unsigned char> m((size_t)cw * h);
  for (int y = 0; y < h; ++y) std::copy_n(coverage + (size_t)y * w + left, cw, m.begin() + (size_t)y * cw);
  int mw = cw, mh = h;

  if (flags & LICE_FONT_FLAG_VERTICAL)
  {
    // Clockwise (reading downwards): mask (u, v) goes to (h - 1 - v, u); bottom-up the other way
    // round: (v, cw - 1 - u).
    const bool up = (flags & LICE_FONT_FLAG_VERTICAL_BOTTOMUP) != 0;
    std::vector<unsigned char> turned(m.size());
    for (int v = 0; v < h; ++v)
      for (int u = 0; u < cw; ++u)
      {
        const int x = up ? v : h - 1 - v, y = up ? cw - 1 - u : u;
        turned[(size_t)y * h + x] = m[(size_t)v * cw + u];
      }
    m.swap(turned);
    mw = h;
    mh = cw;
  }

  if (flags & (LICE_FONT_FLAG_FX_MONO | effects))
    for (unsigned char& b : m) b = b > kMonoThreshold ? 255 : 0;
  if (effects) MarkEffect(m, mw, mh, (flags & LICE_FONT_FLAG_FX_SHADOW) != 0);

  out.bytes.swap(m);
  out.width = mw;
  out.height = mh;
  out.leftExtent = pad - left;
}
