#include "PngWriter.h"

#include <png.h>

#include <cstdio>
#include <vector>

namespace faceplate
{

namespace
{
// Kept free of objects with destructors: libpng reports errors with a long jump.
bool Encode(FILE* file, int w, int h, png_bytep* rows)
{
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  if (!png) return false;
  png_infop info = png_create_info_struct(png);
  if (!info || setjmp(png_jmpbuf(png)))
  {
    png_destroy_write_struct(&png, &info);
    return false;
  }
  png_init_io(png, file);
  png_set_compression_level(png, 9);
  png_set_filter(png, PNG_FILTER_TYPE_BASE, PNG_ALL_FILTERS);
  png_set_IHDR(png, info, w, h, 8, PNG_COLOR_TYPE_RGB_ALPHA, PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_write_info(png, info);
  png_write_image(png, rows);
  png_write_end(png, nullptr);
  png_destroy_write_struct(&png, &info);
  return true;
}
}  // namespace

bool WritePng(LICE_IBitmap* bmp, const char* path)
{
  const int w = bmp->getWidth(), h = bmp->getHeight();
  if (w <= 0 || h <= 0) return false;
  std::vector<png_byte> bytes((size_t)w * h * 4);
  std::vector<png_bytep> rows(h);
  for (int y = 0; y < h; ++y)
  {
    rows[y] = &bytes[(size_t)y * w * 4];
    for (int x = 0; x < w; ++x)
    {
      const LICE_pixel p = LICE_GetPixel(bmp, x, y);
      png_bytep o = rows[y] + x * 4;
      o[0] = (png_byte)LICE_GETR(p);
      o[1] = (png_byte)LICE_GETG(p);
      o[2] = (png_byte)LICE_GETB(p);
      o[3] = (png_byte)LICE_GETA(p);
    }
  }
  FILE* file = std::fopen(path, "wb");
  if (!file) return false;
  const bool encoded = Encode(file, w, h, rows.data());
  const bool closed = std::fclose(file) == 0;
  if (encoded && closed) return true;
  std::remove(path);
  return false;
}

}  // namespace faceplate
