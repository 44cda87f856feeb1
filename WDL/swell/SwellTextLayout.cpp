#include "SwellTextLayout.h"

#include <algorithm>
#include <cstring>

#include "SwellFont.h"
#include "SwellUtf8.h"

namespace swell
{
namespace
{

constexpr long long kMaxLineWidth = 1 << 28;  // keeps every coordinate sum within int

void AddLine(TextLayout* out, size_t begin, size_t end)
{
  long long width = 0;
  for (size_t i = begin; i < end; ++i) width += out->items[i].advance;
  const int clamped = (int)std::min(width, kMaxLineWidth);
  out->lines.push_back({begin, end, clamped});
  out->width = std::max(out->width, clamped);
}

// Splits the paragraph items[begin, end) into lines no wider than wrapWidth where spaces allow;
// the spaces at a break belong to neither line.
void BreakParagraph(TextLayout* out, size_t begin, size_t end, int wrapWidth)
{
  const std::vector<LayoutItem>& items = out->items;
  size_t lineBegin = begin;
  size_t lastSpace = end;  // none on this line yet
  long long x = 0;
  for (size_t i = begin; i < end; ++i)
  {
    if (wrapWidth >= 0 && !items[i].space && x + items[i].advance > wrapWidth && lastSpace != end)
    {
      size_t lineEnd = lastSpace;
      while (lineEnd > lineBegin && items[lineEnd - 1].space) --lineEnd;
      AddLine(out, lineBegin, lineEnd);
      lineBegin = lastSpace + 1;
      while (lineBegin < i && items[lineBegin].space) ++lineBegin;
      lastSpace = end;
      x = 0;
      for (size_t j = lineBegin; j < i; ++j) x += items[j].advance;
    }
    if (items[i].space) lastSpace = i;
    x += items[i].advance;
  }
  AddLine(out, lineBegin, end);
}

}  // namespace

size_t TextLength(const char* text, int len)
{
  if (len < 0) return std::strlen(text);
  const void* zero = std::memchr(text, 0, (size_t)len);
  return zero ? (size_t)(static_cast<const char*>(zero) - text) : (size_t)len;
}

void LayoutText(HFONT font, const char* text, size_t len, unsigned int fmt, int wrapWidth,
                TextLayout* out)
{
  const auto* s = reinterpret_cast<const unsigned char*>(text);
  const bool prefixes = !(fmt & DT_NOPREFIX), singleLine = (fmt & DT_SINGLELINE) != 0;
  size_t paragraph = 0;
  bool underlineNext = false;
  for (size_t pos = 0; pos < len;)
  {
    unsigned int cp = 0;
    pos += (size_t)DecodeUtf8(s + pos, len - pos, &cp);
    if (prefixes && cp == '&')
    {
      if (pos >= len || s[pos] != '&')
      {
        underlineNext = true;
        continue;
      }
      ++pos;  // "&&" is a plain '&'
    }
    if (cp == '\n' && singleLine) cp = ' ';
    if (cp == '\n')
    {
      BreakParagraph(out, paragraph, out->items.size(), wrapWidth);
      paragraph = out->items.size();
      underlineNext = false;
      continue;
    }
    if (cp < 32 || cp == 127) continue;
    unsigned int glyph = 0;
    const int advance = GlyphAdvance(font, cp, &glyph);
    out->items.push_back({glyph, advance, cp == ' ', underlineNext});
    underlineNext = false;
  }
  if (paragraph < out->items.size())  // a final line feed adds no empty line
    BreakParagraph(out, paragraph, out->items.size(), wrapWidth);
}

}  // namespace swell
