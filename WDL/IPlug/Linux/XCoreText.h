#pragma once
// Text of the window layer's own small windows (menus, tooltips), drawn by the X server with
// its core fonts: a plain face (ISO 10646 "fixed" when present). Used only where the editor's
// bitmap text does not reach: those windows are not part of the draw bitmap.
//
// Threads: the user-interface thread. The font is loaded per object and freed with it.

#include <X11/Xlib.h>

class XCoreText
{
public:
  explicit XCoreText(Display* display);
  ~XCoreText();
  XCoreText(const XCoreText&) = delete;
  XCoreText& operator=(const XCoreText&) = delete;

  bool Ok() const { return mFont != nullptr; }
  // Pixels of the text's advance (an estimate of 7 per byte without a font).
  int Width(const char* text) const;
  // Ascent + descent (13 without a font).
  int Height() const;
  int Ascent() const;
  // Draws text with its top-left at (x, y) in the colour 0xRRGGBB (the visual's pixel value for
  // the 24-bit TrueColor windows these are).
  void Draw(Drawable drawable, int x, int y, const char* text, unsigned long pixel) const;

private:
  Display* mDisplay;
  XFontStruct* mFont = nullptr;
  GC mGC = nullptr;
};
