#pragma once
// The font object behind HFONT and its glyph access (internal to the shim). Glyph functions
// require swell::FontLock() held; they use the face's glyph slot, shared by all fonts of a face.

#include <string>

#include "SwellFontLibrary.h"
#include "swell.h"

struct HGDIOBJ__
{
  FT_Face face = nullptr;  // shared through the face cache
  FT_Size size = nullptr;  // this font's scale of the face
  std::string family;
  bool mono = false;       // 1-bit rendering
  bool embolden = false;   // synthetic bold
  bool transformed = false;
  FT_Matrix transform{0x10000, 0, 0, 0x10000};  // synthetic slant
  int quarterTurns = 0;    // counter-clockwise, 0-3; glyphs are turned as pixels when drawn
  TEXTMETRIC tm{};
  int underlineOffset = 0, underlineThickness = 1;  // top of the line, pixels below the baseline
  int strikeOffset = 0, strikeThickness = 1;        // top of the line, pixels above the baseline
  int selections = 0;      // contexts that have the font selected
  bool deleted = false;    // DeleteObject called while selected
  short asciiAdvance[128];  // advance widths of codes 0-127, -1 until known
};

namespace swell
{

// Horizontal advance in whole pixels of a character (0 when it cannot be loaded); *glyph gets its
// glyph index (0: the face's missing glyph).
int GlyphAdvance(HFONT font, unsigned int codepoint, unsigned int* glyph);

// Renders an unturned glyph (slanted when synthetic) into the face's slot; null when it cannot be.
// The bitmap's top-left pixel lies at (origin x + *left, origin y - *top), y downward.
const FT_Bitmap* RenderGlyph(HFONT font, unsigned int glyph, int* left, int* top);

}  // namespace swell
