#pragma once
// Breaking DrawText's input into lines of glyphs (internal to the shim).

#include <cstddef>
#include <vector>

#include "swell.h"

namespace swell
{

struct LayoutItem
{
  unsigned int glyph;
  int advance;
  bool space;
  bool underline;  // marked by a '&' prefix
};

struct LayoutLine
{
  size_t begin, end;  // items
  int width;
};

struct TextLayout
{
  std::vector<LayoutItem> items;
  std::vector<LayoutLine> lines;
  int width = 0;  // of the widest line
};

// Lays out len bytes of UTF-8 text (no zero byte among them) with the DrawText rules for line
// feeds, carriage returns, prefixes (DT_NOPREFIX, DT_SINGLELINE) and word breaks at wrapWidth
// pixels (wrapWidth < 0: no word breaks). Requires FontLock() held.
void LayoutText(HFONT font, const char* text, size_t len, unsigned int fmt, int wrapWidth,
                TextLayout* out);

// Bytes of text DrawText reads: up to the terminator (len < 0) or len bytes, stopping at a zero.
size_t TextLength(const char* text, int len);

}  // namespace swell
