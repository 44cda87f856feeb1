#pragma once
// Pieces of the cached-font text shared by its files and its tests (internal to the raster
// library): the process-wide scratch bitmaps, glyph mask building and glyph blending.

#include "lice_text.h"

#include <vector>

namespace lice_text
{
// Process-wide scratch bitmaps (user-interface thread only). Each is made or enlarged to at least
// w x h; when it is (re)made its context gets white text, TRANSPARENT mode and a black background.
// Null when the bitmap cannot be made.
LICE_SysBitmap* GlyphScratch(int w, int h);
LICE_SysBitmap* NativeScratch(int w, int h);
void AddFontRef();
void ReleaseFontRef();  // the last release deletes both scratch bitmaps
int LiveFontCount();
bool ScratchBitmapsExist();

// Margin left of the glyph's origin when a character is rendered (and when native text is
// copied back), for ink that overhangs its cell.
inline int GlyphPad(int lineHeight) { return lineHeight < 16 ? 2 : lineHeight / 16 + 2; }

// A finished coverage mask: width x height bytes, rows `width` apart.
struct GlyphMask
{
  std::vector<unsigned char> bytes;
  int width = 0, height = 0;
  int leftExtent = 0;  // along the text direction, before the origin
};

// Builds a character's mask from its rendered coverage (w x h bytes, already inverted for
// LICE_FONT_FLAG_FX_INVERT) drawn `pad` pixels right of the origin: trims empty columns, turns
// it for vertical fonts and applies the monochrome, shadow and outline effects of `flags`.
// An all-empty coverage gives a 0-wide mask.
void BuildGlyphMask(const unsigned char* coverage, int w, int h, int pad, int flags, GlyphMask& out);

enum class GlyphRenderer
{
  Normal,  // coverage-weighted text colour
  Mono,    // every non-zero byte is full coverage
  Effect   // 255 text colour, other non-zero bytes (128) the effect colour, both full coverage
};

struct GlyphPaint
{
  LICE_pixel text = 0, effect = 0;
  float alpha = 1.0f;
  int mode = 0;  // low byte selects the combine rule; the source-alpha bit is ignored
  GlyphRenderer renderer = GlyphRenderer::Normal;
};

// Blends the part [sx0, sx1) x [sy0, sy1) of a w-wide mask, whose top-left lies at picture (x, y)
// of the bitmap; the part is clipped to the bitmap. Pixels of coverage 0 are never touched.
void BlendGlyph(LICE_IBitmap* bm, int x, int y, const unsigned char* mask, int w, const RECT& part,
                const GlyphPaint& paint);
// The same, plainly per pixel: the reference the specialised loops are tested against.
void BlendGlyphReference(LICE_IBitmap* bm, int x, int y, const unsigned char* mask, int w,
                         const RECT& part, const GlyphPaint& paint);
}  // namespace lice_text
