#pragma once
// Cached-font text: draws UTF-8 text into raster bitmaps with a font of the drawing shim. Each
// character is rendered once through the shim into an 8-bit coverage mask (white on black, the
// red channel read as coverage) and kept in the font's glyph cache; text is then drawn by
// blending masks with the font's colour, alpha and combine mode. Plain opaque text may instead be
// handed to the shim whole ("native" drawing).
//
// Threads: text drawing belongs to the user-interface thread. A font carries its colours and a
// lazily filled glyph cache, and all fonts share process-wide scratch bitmaps and a live-font
// count without any locking: create, use and destroy every LICE_CachedFont on that one thread.
// Not real-time safe: rendering a glyph allocates and calls the shim.
// Ownership: the platform font given to SetFromHFont stays the caller's unless the flags hold
// LICE_FONT_FLAG_OWNS_HFONT, in which case the cached font deletes it when it is replaced or the
// cached font is destroyed.
// Colours are raster pixels (0xAARRGGBB); coordinates are picture pixels, y downwards, in the
// target bitmap (bottom-up bitmaps included). Drawing never writes outside the bitmap.
// Text: UTF-8 of 1-3 bytes (codes up to 0xFFFF); a 4-byte sequence draws as one space; any
// malformed byte draws as the character of its own value. Decoding never reads past the given
// length or a terminating zero.

#include "lice.h"

#include <vector>

// Font flags (SetFromHFont).
#define LICE_FONT_FLAG_VERTICAL 0x1           // glyphs turned clockwise, the pen moves down
#define LICE_FONT_FLAG_VERTICAL_BOTTOMUP 0x2  // with VERTICAL: turned the other way, pen moves up
#define LICE_FONT_FLAG_PRECALCALL 0x4         // render codes 0-127 at once, never any other code
#define LICE_FONT_FLAG_FX_BLUR 0x10
#define LICE_FONT_FLAG_FX_INVERT 0x20
#define LICE_FONT_FLAG_FX_MONO 0x40           // coverage above 130 becomes full, the rest none
#define LICE_FONT_FLAG_FX_SHADOW 0x80         // effect colour below and right of the glyph
#define LICE_FONT_FLAG_FX_OUTLINE 0x100       // effect colour around the glyph
#define LICE_FONT_FLAG_OWNS_HFONT 0x200
#define LICE_FONT_FLAG_FORCE_NATIVE 0x400

// DrawText format flags of the raster library's own, beside the shim's DT_* flags (DT_CENTER,
// DT_RIGHT, DT_VCENTER, DT_BOTTOM, DT_SINGLELINE, DT_NOCLIP, DT_CALCRECT, DT_NOPREFIX).
#define LICE_DT_NEEDALPHA 0x80000000u   // alpha must be written: never drawn natively
#define LICE_DT_USEFGALPHA 0x40000000u  // the text colour's alpha scales the font's alpha

class LICE_IFont
{
public:
  virtual ~LICE_IFont() = default;
  virtual void SetFromHFont(HFONT font, int flags = 0) = 0;
  virtual LICE_pixel SetTextColor(LICE_pixel color) = 0;  // each setter returns the old value
  virtual LICE_pixel SetBkColor(LICE_pixel color) = 0;
  virtual LICE_pixel SetEffectColor(LICE_pixel color) = 0;
  virtual int SetBkMode(int mode) = 0;  // 1 (opaque) fills each glyph's cell first
  virtual void SetCombineMode(int mode, float alpha = 1.0f) = 0;
  virtual int DrawText(LICE_IBitmap* bm, const char* str, int strcnt, RECT* rect, unsigned int dtFlags) = 0;
  virtual LICE_pixel GetTextColor() = 0;
  virtual HFONT GetHFont() = 0;
  virtual int GetLineHeight() = 0;
  virtual bool DrawGlyph(LICE_IBitmap* bm, unsigned short c, int xpos, int ypos, RECT* clipR) = 0;
};

class LICE_CachedFont : public LICE_IFont
{
public:
  LICE_CachedFont();
  ~LICE_CachedFont() override;
  LICE_CachedFont(const LICE_CachedFont&) = delete;
  LICE_CachedFont& operator=(const LICE_CachedFont&) = delete;

  // Takes the platform font (null clears the font), reads its line height and empties the cache.
  // With LICE_FONT_FLAG_PRECALCALL renders codes 0-127 now.
  void SetFromHFont(HFONT font, int flags = 0) override;
  LICE_pixel SetTextColor(LICE_pixel color) override;
  LICE_pixel SetBkColor(LICE_pixel color) override;
  LICE_pixel SetEffectColor(LICE_pixel color) override;
  int SetBkMode(int mode) override;
  // Mode word as everywhere in the library (the source-alpha bit is ignored); alpha 1.0 = opaque.
  void SetCombineMode(int mode, float alpha = 1.0f) override;

  // Draws, or with DT_CALCRECT measures, `strcnt` bytes of UTF-8 (-1: up to the terminating zero)
  // in `rect`. Line feeds start new lines (spaces with DT_SINGLELINE), carriage returns are
  // skipped. DT_CALCRECT sets rect's right and bottom to its left and top plus the text's extent
  // (bm may be null then). Drawing aligns the text by DT_CENTER/DT_RIGHT/DT_VCENTER/DT_BOTTOM
  // (centred: left + (rect width - text width) / 2) and clips to rect and the bitmap (the bitmap
  // only with DT_NOCLIP). Returns the text's height (its width for vertical fonts); 0 when nothing
  // can be drawn (no bitmap, no font, no text, zero alpha, empty clip).
  int DrawText(LICE_IBitmap* bm, const char* str, int strcnt, RECT* rect, unsigned int dtFlags) override;

  LICE_pixel GetTextColor() override { return m_fg; }
  HFONT GetHFont() override { return m_font; }
  int GetLineHeight() override { return m_line_height; }

  // Draws character c with its origin at (xpos, ypos) (its cell's top-left corner on the pen line),
  // clipped to clipR (null: the whole bitmap); renders it first when it is not cached yet.
  // Returns whether anything was drawn.
  bool DrawGlyph(LICE_IBitmap* bm, unsigned short c, int xpos, int ypos, RECT* clipR) override;

  // Pixels added to the line height between lines (may be negative).
  void SetLineSpacingAdjust(int amt) { m_lsadj = amt; }
  int GetLineSpacingAdjust() const { return m_lsadj; }
  int GetFlags() const { return m_flags; }
  // Bytes of coverage masks held by the cache (grows as characters are rendered).
  int GetCachedGlyphBytes() const { return (int)m_glyph_bytes.size(); }

  // Decodes one character of UTF-8 from `ptr`, reading at most `avail` bytes (avail < 0: up to a
  // terminating zero). Returns the bytes used (1-4; 0 when avail is 0 or ptr is null). 2- and
  // 3-byte sequences give their code, a 4-byte sequence (lead 0xF0-0xF4) gives a space (32), and
  // anything else (a stray continuation byte, a broken or truncated sequence) gives the first
  // byte's own value with length 1.
  static int utf8char(const char* ptr, int avail, unsigned short* charOut);

private:
  struct charEnt
  {
    int base_offset = 0;  // 1 + position in m_glyph_bytes; 0 not rendered; -1 nothing to draw
    int width = 0, height = 0;
    int advance = 0;
    unsigned short charid = 0;
    int left_extent = 0;  // how far the mask starts before the origin along the text direction
  };

  charEnt* findChar(unsigned short c);
  bool RenderGlyph(unsigned short c);
  charEnt* CachedGlyph(unsigned short c);  // finds or renders; null when it cannot be rendered
  bool Vertical() const { return (m_flags & LICE_FONT_FLAG_VERTICAL) != 0; }
  bool BottomUp() const { return (m_flags & (LICE_FONT_FLAG_VERTICAL | LICE_FONT_FLAG_VERTICAL_BOTTOMUP)) == 3; }
  bool UseNative(unsigned int dtFlags) const;
  int DrawTextNative(LICE_IBitmap* bm, const char* str, int len, RECT* rect, unsigned int dtFlags);
  int DrawTextCached(LICE_IBitmap* bm, const char* str, int len, RECT* rect, unsigned int dtFlags);
  // Extent of the text in picture pixels (characters that cannot be rendered are skipped).
  void MeasureText(const char* str, int len, unsigned int dtFlags, int* w, int* h);
  bool DrawGlyphEntry(LICE_IBitmap* bm, const charEnt& e, int x, int y, const RECT& clip, float alpha);

  LICE_pixel m_fg = 0, m_bg = 0xFFFFFFFF, m_effectcol = 0xFFFFFFFF;
  int m_bgmode = 0;
  int m_comb = 0;
  float m_alpha = 1.0f;
  int m_flags = 0;
  int m_line_height = 0;
  int m_lsadj = 0;
  charEnt m_lowchars[128];
  std::vector<charEnt> m_extracharlist;  // codes >= 128, sorted by code
  std::vector<unsigned char> m_glyph_bytes;
  HFONT m_font = nullptr;
};
