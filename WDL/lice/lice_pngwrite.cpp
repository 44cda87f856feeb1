// PNG encoding through libpng: 8-bit RGB or RGBA rows, no time or text chunks and a fixed
// compression level, so the same pixels always give the same file.
#include "lice.h"

#include <png.h>

#include <cstdio>
#include <vector>

namespace
{
void OnError(png_structp png, png_const_charp) { png_longjmp(png, 1); }
void OnWarning(png_structp, png_const_charp) {}

// Kept free of objects with destructors because of the long jump.
bool Encode(FILE* file, LICE_IBitmap* bm, bool wantAlpha, png_bytep* rows)
{
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, OnError, OnWarning);
  if (!png) return false;
  png_infop info = png_create_info_struct(png);
  if (!info || setjmp(png_jmpbuf(png)))
  {
    png_destroy_write_struct(&png, &info);
    return false;
  }
  png_init_io(png, file);
  png_set_compression_level(png, 9);
  png_set_IHDR(png, info, static_cast<png_uint_32>(bm->getWidth()), static_cast<png_uint_32>(bm->getHeight()), 8,
               wantAlpha ? PNG_COLOR_TYPE_RGB_ALPHA : PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_write_info(png, info);
  png_write_image(png, rows);
  png_write_end(png, nullptr);
  png_destroy_write_struct(&png, &info);
  return true;
}
}  // namespace

bool LICE_WritePNG(const char* filename, LICE_IBitmap* bm, bool wantAlpha)
{
  if (!filename || !bm || !bm->getBits() || bm->getWidth() <= 0 || bm->getHeight() <= 0) return false;
  const int w = bm->getWidth(), h = bm->getHeight(), span = bm->getRowSpan();
  const int channels = wantAlpha ? 4 : 3;
  std::vector<png_byte> pixels(static_cast<size_t>(w) * h * channels);
  std::vector<png_bytep> rows(h);
  for (int y = 0; y < h; ++y)
  {
    const LICE_pixel* src = bm->getBits() + static_cast<size_t>(bm->isFlipped() ? h - 1 - y : y) * span;
    png_bytep out = rows[y] = pixels.data() + static_cast<size_t>(y) * w * channels;
    for (int x = 0; x < w; ++x, out += channels)
    {
      out[0] = static_cast<png_byte>(LICE_GETR(src[x]));
      out[1] = static_cast<png_byte>(LICE_GETG(src[x]));
      out[2] = static_cast<png_byte>(LICE_GETB(src[x]));
      if (wantAlpha) out[3] = static_cast<png_byte>(LICE_GETA(src[x]));
    }
  }
  FILE* file = std::fopen(filename, "wb");
  if (!file) return false;
  const bool encoded = Encode(file, bm, wantAlpha, rows.data());
  const bool closed = std::fclose(file) == 0;
  if (!encoded || !closed) std::remove(filename);
  return encoded && closed;
}
