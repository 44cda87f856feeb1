#pragma once
// A Win32-style drawing shim for Linux: memory drawing contexts over 32-bit frame buffers, fonts
// on FreeType 2 matched by fontconfig, and Win32's DrawText. The raster library's system bitmap
// and the cached-font text are its clients.
//
// Threads: text drawing belongs to the user-interface thread. A context belongs to one thread at a
// time; fonts may be shared between contexts. The process-wide font state (FreeType library, face
// cache) is created on first use and guarded by one internal lock, so editors of different host
// windows cannot corrupt it, but drawing is never real-time safe (it locks and allocates).
// Pixel layout: 32 bits per pixel, alpha in bits 24-31, red 16-23, green 8-15, blue 0-7; rows of
// `w` pixels, row 0 at the top.
// Alpha: text, underlines and OPAQUE backgrounds write alpha 0xFF into every pixel they touch (as
// on a screen), and leave every other pixel exactly as it was.
// Blending: a glyph pixel of coverage c (0-255) becomes, per colour channel,
//   dst' = (dst * (255 - c) + colour * c + 127) / 255   (integer division: rounded to nearest),
// so c = 255 writes the colour exactly and c = 0 leaves the pixel untouched.
// Text: UTF-8. Malformed bytes are drawn as the character of the same value (Latin-1), and
// decoding never reads past the given length or a terminating zero. No kerning, no font fallback
// (characters missing from the face draw its "missing glyph" box); control characters other than
// line feed draw nothing.

#include <cstdint>

typedef intptr_t INT_PTR;
typedef unsigned int COLORREF;  // Win32 order: 0x00BBGGRR (red in the low byte)

#define RGB(r, g, b) ((COLORREF)(((r) & 0xFF) | (((g) & 0xFF) << 8) | (((b) & 0xFF) << 16)))
#define GetRValue(c) ((int)((c) & 0xFF))
#define GetGValue(c) ((int)(((c) >> 8) & 0xFF))
#define GetBValue(c) ((int)(((c) >> 16) & 0xFF))

struct RECT
{
  int left, top, right, bottom;
};

struct SIZE
{
  int cx, cy;
};

// Text metrics of a font in pixels. tmHeight = tmAscent + tmDescent is the line height DrawText uses;
// tmInternalLeading = tmHeight - em size.
struct TEXTMETRIC
{
  int tmHeight;
  int tmAscent;
  int tmDescent;
  int tmInternalLeading;
  int tmExternalLeading;  // always 0
  int tmAveCharWidth;
  int tmMaxCharWidth;
  int tmWeight;           // of the face used (400 regular, 700 bold), synthetic emboldening included
  int tmItalic;           // non-zero for an italic/oblique face or a synthetic slant
  int tmUnderlined;
  int tmStruckOut;
};

struct HDC__;
typedef HDC__* HDC;
struct HGDIOBJ__;
typedef HGDIOBJ__* HGDIOBJ;
typedef HGDIOBJ HFONT;  // fonts are the only drawing objects

#define DT_TOP 0x0
#define DT_LEFT 0x0
#define DT_CENTER 0x1
#define DT_RIGHT 0x2
#define DT_VCENTER 0x4
#define DT_BOTTOM 0x8
#define DT_WORDBREAK 0x10
#define DT_SINGLELINE 0x20
#define DT_NOCLIP 0x100
#define DT_CALCRECT 0x400
#define DT_NOPREFIX 0x800

#define TRANSPARENT 1
#define OPAQUE 2

#define FW_DONTCARE 0
#define FW_NORMAL 400
#define FW_BOLD 700

// Quality: NONANTIALIASED_QUALITY renders 1-bit glyphs (coverage only 0 or 255); every other value,
// DEFAULT_QUALITY included, renders anti-aliased grey-scale glyphs (CLEARTYPE_QUALITY too: the
// frame buffer's sub-pixel order is unknown, and the cached font reads one channel as coverage).
#define DEFAULT_QUALITY 0
#define NONANTIALIASED_QUALITY 3
#define ANTIALIASED_QUALITY 4
#define CLEARTYPE_QUALITY 5

#define DEFAULT_CHARSET 1
#define OUT_DEFAULT_PRECIS 0
#define CLIP_DEFAULT_PRECIS 0
#define DEFAULT_PITCH 0

// Fonts whose |height| or |width| exceeds this many pixels are refused.
#define SWELL_MAX_FONT_SIZE 2000

// ---- Memory contexts ----

// Makes a memory context of w x h pixels whose frame buffer is zero-filled. `hdc` (a context to be
// compatible with) is ignored. Returns null for w or h below 1, for sizes whose byte count does not
// fit in a signed 32-bit int, and when memory runs out. A new context has no font, text colour
// black, background colour white, mode OPAQUE (as Win32) and a clip rectangle of the whole buffer.
HDC SWELL_CreateMemContext(HDC hdc, int w, int h);

// Frees the context and its frame buffer (the selected font is deselected, not deleted). Null is
// ignored.
void SWELL_DeleteGfxContext(HDC ctx);

// First pixel of the frame buffer (row 0, the top row); null for a null context. The memory stays
// valid until the context is deleted.
void* SWELL_GetCtxFrameBuffer(HDC ctx);

// ---- Fonts ----

// Makes a font. height > 0: cell height (tmHeight, ascent + descent) in pixels, met exactly;
// height < 0: em size -height pixels; 0: a cell height of 16. width > 0 stretches the glyphs
// horizontally so that the average character width is `width`; 0 keeps the face's proportions.
// escapement: direction of the text in tenths of a degree counter-clockwise, rounded to the nearest
// quarter turn (0, 900, 1800, 2700: exact pixel rotations); orientation is ignored (it follows
// escapement, as in Win32's compatible mode). weight: 1-1000 as in Win32 (0 = FW_NORMAL), matched
// to the face's nearest weight; italic != 0 asks for italic. A face lacking bold or italic is
// emboldened or slanted where fontconfig's configuration says so. underline and
// strikeout draw lines. charset, precisions and pitch are ignored. face: a family name matched by
// fontconfig (its best match stands in for a missing face: "Monaco" gives a monospace face such
// as DejaVu Sans Mono, "Helvetica" a sans face); null or "" gives the default sans face.
// Returns null when |height| or |width| exceeds SWELL_MAX_FONT_SIZE or fontconfig finds no usable
// scalable face at all. The caller owns the font and frees it with DeleteObject.
HFONT CreateFont(int height, int width, int escapement, int orientation, int weight, int italic,
                 int underline, int strikeout, int charset, int outprecision, int clipprecision,
                 int quality, int pitchandfamily, const char* face);

// Selects a font into the context; returns the font selected before (null if none, for a null
// context, or when that font had been deleted and is freed now). Selecting null deselects.
HGDIOBJ SelectObject(HDC ctx, HGDIOBJ obj);

// Deletes a font. A font still selected into a context stays usable there and is freed when the
// last context deselects it (or is deleted). Returns false for null.
bool DeleteObject(HGDIOBJ obj);

// Metrics of the selected font; false (and *tm zeroed) without a font.
bool GetTextMetrics(HDC ctx, TEXTMETRIC* tm);

// Family name of the face actually used by the selected font (e.g. "DejaVu Sans Mono"), copied with
// a terminator into buf (at most n bytes). Returns the length copied; 0 without a font.
int GetTextFace(HDC ctx, int n, char* buf);

// ---- Text ----

COLORREF SetTextColor(HDC ctx, COLORREF colour);  // returns the previous colour
COLORREF GetTextColor(HDC ctx);
COLORREF SetBkColor(HDC ctx, COLORREF colour);    // returns the previous colour
int SetBkMode(HDC ctx, int mode);                 // TRANSPARENT or OPAQUE; returns the previous mode

// Draws (or with DT_CALCRECT measures) UTF-8 text in r with the selected font. len < 0: up to the
// terminating zero; otherwise at most len bytes, stopping early at a zero byte.
// Lines: a line feed starts a new line (a space with DT_SINGLELINE); carriage returns are skipped.
// DT_WORDBREAK also breaks lines at spaces where the next word would pass the rectangle's extent
// along the text direction (a longer word is not split). Each line is tmHeight high.
// Prefixes (without DT_NOPREFIX): "&x" draws x underlined, "&&" draws "&", a final "&" is dropped.
// The text block (the widest line by the line count, turned by the escapement) is placed in r by
// DT_CENTER/DT_RIGHT (else left) and DT_VCENTER/DT_BOTTOM (else top; unlike Win32 also without
// DT_SINGLELINE), with integer halving: centred x = left + (width(r) - width) / 2. Within the block,
// lines are aligned the same way. DT_CALCRECT sets r->right = left + block width and r->bottom =
// top + block height, and draws nothing. Drawing is clipped to the context, its clip rectangle
// and r (not r with DT_NOCLIP). OPAQUE mode first fills each line's box with the background colour.
// Returns the block's height (0 for a null context, font, text or rectangle, or empty text).
int DrawText(HDC ctx, const char* utf8, int len, RECT* r, unsigned int fmt);

// Width and height of one line of text (no prefixes, line feeds as spaces), unturned. False and
// a zero size without a font.
bool GetTextExtentPoint32(HDC ctx, const char* utf8, int len, SIZE* size);

// ---- Clip stack ----
// The context's clip rectangle starts as the whole buffer. SWELL_SetClipRegion intersects it with r
// (null resets it to the whole buffer); SWELL_PushClipRegion saves it, SWELL_PopClipRegion restores
// the last saved one (without a saved one, nothing happens).
void SWELL_PushClipRegion(HDC ctx);
void SWELL_SetClipRegion(HDC ctx, const RECT* r);
void SWELL_PopClipRegion(HDC ctx);
// The current clip rectangle; false (and an empty rectangle) for a null context.
bool SWELL_GetClipRegion(HDC ctx, RECT* r);
