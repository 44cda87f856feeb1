#include "XCoreText.h"

#include <cstring>

XCoreText::XCoreText(Display* display) : mDisplay(display)
{
  static const char* const kFaces[] = {"-misc-fixed-medium-r-normal--13-*-*-*-*-*-iso10646-1",
                                       "-misc-fixed-medium-r-semicondensed--13-*-*-*-*-*-iso8859-1", "fixed"};
  for (const char* face : kFaces)
    if ((mFont = XLoadQueryFont(display, face))) break;
}

XCoreText::~XCoreText()
{
  if (mGC) XFreeGC(mDisplay, mGC);
  if (mFont) XFreeFont(mDisplay, mFont);
}

int XCoreText::Width(const char* text) const
{
  const int n = text ? static_cast<int>(std::strlen(text)) : 0;
  return mFont ? XTextWidth(mFont, text, n) : 7 * n;
}

int XCoreText::Height() const { return mFont ? mFont->ascent + mFont->descent : 13; }

int XCoreText::Ascent() const { return mFont ? mFont->ascent : 10; }

void XCoreText::Draw(Drawable drawable, int x, int y, const char* text, unsigned long pixel) const
{
  if (!mFont || !text || !*text) return;
  GC& gc = const_cast<GC&>(mGC);
  if (!gc) gc = XCreateGC(mDisplay, drawable, 0, nullptr);
  XSetFont(mDisplay, gc, mFont->fid);
  XSetForeground(mDisplay, gc, pixel);
  XDrawString(mDisplay, drawable, gc, x, y + mFont->ascent, text, static_cast<int>(std::strlen(text)));
}
