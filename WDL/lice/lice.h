#pragma once
// The raster library: 32-bit bitmaps in memory and everything that draws into them (pixel
// combining, rectangle operations, blits, lines and shapes, glyph masks, PNG decoding).
//
// Pixel: unsigned 32-bit, alpha in bits 24-31, red 16-23, green 8-15, blue 0-7 (in memory blue,
// green, red, alpha); channels are not premultiplied by alpha.
// Memory: rows of pixels `getRowSpan()` pixels apart; row 0 is the top row unless the bitmap
// reports itself flipped, in which case memory row 0 is the bottom row. Every operation honours
// the flag.
// Mode word (the `mode` argument of every drawing operation): low byte the combine mode
// (LICE_BLIT_MODE_*; 0xF0 and above select the channel-copy blit), 0x100 bilinear filtering,
// 0x10000 use source alpha. The `alpha` argument becomes the integer weight w = (int)(alpha * 256):
// 256 is full strength, 0 draws nothing, larger values are not clamped.
//
// Threads: no locking and no shared state (aside from the PNG loader list, which is built before
// main, and the resource folder). A bitmap must not be drawn into from two threads at once.
// Drawing never allocates except where a function says so; all integer arithmetic, no floating
// point per pixel.
// Safety: every operation clips to its bitmaps and returns at once for a null bitmap, a bitmap
// without memory, a weight of 0 or an empty clipped area; nothing is ever written outside a
// bitmap, whatever the coordinates.

#include "swell.h"

typedef unsigned int LICE_pixel;
typedef unsigned char LICE_pixel_chan;

#define LICE_RGBA(r, g, b, a) \
  (((LICE_pixel)(b) & 0xff) | (((LICE_pixel)(g) & 0xff) << 8) | (((LICE_pixel)(r) & 0xff) << 16) | \
   (((LICE_pixel)(a) & 0xff) << 24))
#define LICE_GETB(v) ((v) & 0xff)
#define LICE_GETG(v) (((v) >> 8) & 0xff)
#define LICE_GETR(v) (((v) >> 16) & 0xff)
#define LICE_GETA(v) ((v) >> 24)

// Byte positions of the channels inside a pixel in memory.
#define LICE_PIXEL_B 0
#define LICE_PIXEL_G 1
#define LICE_PIXEL_R 2
#define LICE_PIXEL_A 3

#define LICE_BLIT_MODE_MASK 0xff
#define LICE_BLIT_MODE_COPY 0
#define LICE_BLIT_MODE_ADD 1
#define LICE_BLIT_MODE_DODGE 2
#define LICE_BLIT_MODE_MUL 3
#define LICE_BLIT_MODE_OVERLAY 4
#define LICE_BLIT_MODE_HSVADJ 5
#define LICE_BLIT_MODE_CHANCOPY 0xf0  // | (dest byte << 2) | source byte
#define LICE_BLIT_FILTER_MASK 0xff00
#define LICE_BLIT_FILTER_NONE 0
#define LICE_BLIT_FILTER_BILINEAR 0x100
#define LICE_BLIT_USE_ALPHA 0x10000

// Largest width or height a bitmap may have: every allocation path also checks that
// width * height * 4 and the row span fit in signed 32-bit arithmetic.
#define LICE_MAX_BITMAP_SIDE 0x7FFFFFFC

class LICE_IBitmap
{
public:
  virtual ~LICE_IBitmap() = default;
  virtual LICE_pixel* getBits() = 0;  // memory row 0; null when there is no memory
  virtual int getWidth() = 0;
  virtual int getHeight() = 0;
  virtual int getRowSpan() = 0;  // in pixels
  virtual bool isFlipped() { return false; }
  virtual bool resize(int w, int h) = 0;  // false when nothing changed
  virtual HDC getDC() { return nullptr; }
  virtual INT_PTR Extended(int id, void* data)
  {
    (void)id;
    (void)data;
    return 0;
  }
};

// Plain memory: rows padded to the line alignment, pixel memory 64-byte aligned, grown by a
// quarter more than needed and reused when shrinking. New memory is not cleared. A size whose
// byte count does not fit in signed 32 bits, or an allocation that fails, leaves a 0 x 0 bitmap
// without memory.
class LICE_MemBitmap : public LICE_IBitmap
{
public:
  LICE_MemBitmap(int w = 0, int h = 0, unsigned int linealign = 4);
  ~LICE_MemBitmap() override;
  LICE_MemBitmap(const LICE_MemBitmap&) = delete;
  LICE_MemBitmap& operator=(const LICE_MemBitmap&) = delete;

  LICE_pixel* getBits() override;
  int getWidth() override { return m_width; }
  int getHeight() override { return m_height; }
  int getRowSpan() override;
  bool resize(int w, int h) override;

  int getAllocSize() const { return m_allocsize; }  // bytes, without the alignment slack

private:
  LICE_pixel* m_fb = nullptr;
  int m_width = 0, m_height = 0;
  int m_allocsize = 0;
  int m_linealign = 0;
};

// Memory owned by a drawing context of the shim, so that the window layer and the text renderer
// can use it. Rows are padded to a multiple of 4 pixels; the context is reused while it is large
// enough. A failed context leaves a 0 x 0 bitmap.
class LICE_SysBitmap : public LICE_IBitmap
{
public:
  LICE_SysBitmap(int w = 0, int h = 0);
  ~LICE_SysBitmap() override;
  LICE_SysBitmap(const LICE_SysBitmap&) = delete;
  LICE_SysBitmap& operator=(const LICE_SysBitmap&) = delete;

  LICE_pixel* getBits() override { return m_bits; }
  int getWidth() override { return m_width; }
  int getHeight() override { return m_height; }
  int getRowSpan() override { return m_allocw; }
  bool resize(int w, int h) override;
  HDC getDC() override { return m_dc; }

private:
  int m_width = 0, m_height = 0;
  HDC m_dc = nullptr;
  LICE_pixel* m_bits = nullptr;
  int m_allocw = 0;
  int m_alloch = 0;
};

// Bitmaps and rectangle operations.
void LICE_Clear(LICE_IBitmap* dest, LICE_pixel color);
void LICE_ClearRect(LICE_IBitmap* dest, int x, int y, int w, int h, LICE_pixel mask = 0,
                    LICE_pixel orbits = 0);
void LICE_FillRect(LICE_IBitmap* dest, int x, int y, int w, int h, LICE_pixel color,
                   float alpha = 1.0f, int mode = 0);
void LICE_PutPixel(LICE_IBitmap* dest, int x, int y, LICE_pixel color, float alpha, int mode);
LICE_pixel LICE_GetPixel(LICE_IBitmap* dest, int x, int y);
void LICE_Copy(LICE_IBitmap* dest, LICE_IBitmap* src);
void LICE_ProcessRect(LICE_IBitmap* dest, int x, int y, int w, int h,
                      void (*procFunc)(LICE_pixel* p, void* parm), void* parm);
void LICE_MultiplyAddRect(LICE_IBitmap* dest, int x, int y, int w, int h, float rsc, float gsc,
                          float bsc, float asc, float radd, float gadd, float badd, float aadd);
void LICE_SetAlphaFromColorMask(LICE_IBitmap* dest, LICE_pixel color);
void LICE_SimpleFill(LICE_IBitmap* dest, int x, int y, LICE_pixel newcolor,
                     LICE_pixel comparemask, LICE_pixel keepmask);

// Blits. A source and destination may be the same bitmap, with overlapping areas: the result is
// always the picture given by reading every source pixel before writing any.
void LICE_Blit(LICE_IBitmap* dest, LICE_IBitmap* src, int dstx, int dsty, const RECT* srcrect,
               float alpha, int mode);
void LICE_Blit(LICE_IBitmap* dest, LICE_IBitmap* src, int dstx, int dsty, int srcx, int srcy,
               int srcw, int srch, float alpha, int mode);
void LICE_ScaledBlit(LICE_IBitmap* dest, LICE_IBitmap* src, int dstx, int dsty, int dstw,
                     int dsth, float srcx, float srcy, float srcw, float srch, float alpha,
                     int mode);
void LICE_RotatedBlit(LICE_IBitmap* dest, LICE_IBitmap* src, int dstx, int dsty, int dstw,
                      int dsth, float srcx, float srcy, float srcw, float srch, float angle,
                      bool cliptosourcerect, float alpha, int mode, float rotxcent = 0.0f,
                      float rotycent = 0.0f);
void LICE_Blur(LICE_IBitmap* dest, LICE_IBitmap* src, int dstx, int dsty, int srcx, int srcy,
               int srcw, int srch);

// Lines and shapes: one colour, clipped to the bitmap; coordinates in pixels, y downwards.
bool LICE_ClipLine(int* x1, int* y1, int* x2, int* y2, int xlo, int ylo, int xhi, int yhi);
void LICE_Line(LICE_IBitmap* dest, int x1, int y1, int x2, int y2, LICE_pixel color, float alpha,
               int mode, bool aa);
void LICE_DrawRect(LICE_IBitmap* dest, int x, int y, int w, int h, LICE_pixel color,
                   float alpha = 1.0f, int mode = 0);
void LICE_Circle(LICE_IBitmap* dest, float cx, float cy, float r, LICE_pixel color, float alpha,
                 int mode, bool aa);
void LICE_FillCircle(LICE_IBitmap* dest, float cx, float cy, float r, LICE_pixel color,
                     float alpha, int mode, bool aa);
void LICE_Arc(LICE_IBitmap* dest, float cx, float cy, float r, float minAngle, float maxAngle,
              LICE_pixel color, float alpha, int mode, bool aa);
void LICE_RoundRect(LICE_IBitmap* dest, float x, float y, float w, float h, int cornerradius,
                    LICE_pixel color, float alpha, int mode, bool aa);
void LICE_FillTrapezoid(LICE_IBitmap* dest, int x1a, int x1b, int y1, int x2a, int x2b, int y2,
                        LICE_pixel color, float alpha, int mode);
void LICE_FillConvexPolygon(LICE_IBitmap* dest, const int* x, const int* y, int npoints,
                            LICE_pixel color, float alpha, int mode);
void LICE_FillTriangle(LICE_IBitmap* dest, int x1, int y1, int x2, int y2, int x3, int y3,
                       LICE_pixel color, float alpha, int mode);

// Glyph masks: 8-bit coverage (0 untouched, 255 full) blended with one colour, clipped to the
// bitmap. `span` is the row step of the mask in bytes; a negative span walks the rows from the
// last to the first. The mono form holds one bit per pixel, most significant bit first.
void LICE_DrawGlyphEx(LICE_IBitmap* dest, int x, int y, LICE_pixel color,
                      const LICE_pixel_chan* alphas, int glyph_w, int glyph_span, int glyph_h,
                      float alpha, int mode);
void LICE_DrawGlyph(LICE_IBitmap* dest, int x, int y, LICE_pixel color,
                    const LICE_pixel_chan* alphas, int glyph_w, int glyph_h, float alpha,
                    int mode);
void LICE_DrawMonoGlyph(LICE_IBitmap* dest, int x, int y, LICE_pixel color,
                        const unsigned char* alphas, int glyph_w, int glyph_span, int glyph_h,
                        float alpha, int mode);

// PNG decoding (libpng). With a target bitmap it is resized to the image and filled; without one a
// new LICE_MemBitmap is returned, owned by the caller. Null on any failure (a caller's bitmap may
// keep the size it was resized to). Images above 16384 pixels on a side are refused. Bottom-up
// targets receive the picture the right way up. Any thread, one decode per target at a time.
LICE_IBitmap* LICE_LoadPNG(const char* filename, LICE_IBitmap* bmp = nullptr);
LICE_IBitmap* LICE_LoadPNGFromMemory(const void* data, int len, LICE_IBitmap* bmp = nullptr);
// `name`'s last path component, from the bundle's Contents/Resources (the bundle found from this
// module's own path, Contents/<arch>/module). Null when the module is not inside a bundle and no
// folder was set, and for names over 400 characters.
LICE_IBitmap* LICE_LoadPNGFromNamedResource(const char* name, LICE_IBitmap* bmp = nullptr);
// Makes the named loader read from `dir` instead of the bundle's resource folder (tests, and
// programs that use the library outside a bundle); null or "" goes back to the bundle's folder.
// Thread-safe.
void LICE_SetResourcePath(const char* dir);
// PNG encoding: 8-bit RGB (or RGBA with wantAlpha; the alpha byte as stored), top row first,
// deterministic (no time stamp, fixed compression). False, leaving no file behind, when the
// bitmap has no pixels or the file cannot be written.
bool LICE_WritePNG(const char* filename, LICE_IBitmap* bm, bool wantAlpha = false);
// No resource mechanism on this platform: always null.
LICE_IBitmap* LICE_LoadPNGFromResource(void* instance, const char* name,
                                       LICE_IBitmap* bmp = nullptr);

// The process-wide image loader list; the PNG loader is put at its head when the module loads.
struct LICE_ImageLoaderRec
{
  LICE_IBitmap* (*loadfunc)(const char* filename, bool checkFileName, LICE_IBitmap* bmpbase);
  const char* (*get_extlist)();  // double-zero-terminated description/pattern pairs
  LICE_ImageLoaderRec* _next;
};
extern LICE_ImageLoaderRec* LICE_ImageLoader_list;
