// Text drawn from a bitmap font: one frame per character, starting with the space (code 32 is
// frame 1), all frames charWidth x charHeight.
#include <cstring>

#include "IGraphics.h"

bool DrawBitmapedText(IGraphics* graphics, IBitmap* fontBitmap, IRECT* r, IText* text, IChannelBlend* blend,
                      const char* str, bool vCenter, bool multiline, int charWidth, int charHeight, int charOffset)
{
  if (!graphics || !fontBitmap || !r || !text || !str || !*str || charWidth <= 0) return true;
  const long nChars = static_cast<long>(std::strlen(str));
  const int y0 = r->T + (vCenter ? (r->B - charHeight - r->T) / 2 : 0);
  const long textWidth = static_cast<long>(charWidth) * nChars;
  long x0 = r->L;
  if (text->mAlign == IText::kAlignRight)
    x0 = r->R - textWidth;
  else if (text->mAlign == IText::kAlignCenter)
    x0 = r->L + (r->W() - textWidth) / 2;
  const long available = r->W();
  if (available <= 0) return true;

  long perLine = available / charWidth, nLines = 1;
  if (multiline && textWidth > available)
    nLines = textWidth / available + 1;
  else if (multiline)
    perLine = nChars;
  if (perLine <= 0) return true;

  const char* p = str;
  for (long line = 0; line < nLines && *p; ++line)
  {
    long x = x0;
    const int top = y0 + static_cast<int>(line) * charHeight;
    for (long i = 0; i < perLine && *p; ++i, ++p)
    {
      IRECT dest(static_cast<int>(x), top, static_cast<int>(x + charWidth), top + charHeight);
      graphics->DrawBitmap(fontBitmap, &dest, static_cast<unsigned char>(*p) - 31, blend);
      x += charWidth + charOffset;
    }
  }
  return true;
}
