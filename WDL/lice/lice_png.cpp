// PNG decoding through libpng: every colour type and bit depth becomes 8-bit A, R, G, B rows that
// are written straight into the target bitmap and then rewritten as pixel values.
#include "lice.h"

#include <png.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>
#include <strings.h>

namespace
{
// Decoded images are refused above this size on a side, before anything is allocated for them;
// no editor image comes near it.
constexpr png_uint_32 kMaxPngSide = 16384;

struct MemorySource
{
  const png_byte* data;
  size_t left;
};

// Running out of data is a stream error, not a reason to invent zero bytes.
void ReadFromMemory(png_structp png, png_bytep out, size_t len)
{
  auto* src = static_cast<MemorySource*>(png_get_io_ptr(png));
  if (len > src->left) png_error(png, "PNG data ends early");
  std::memcpy(out, src->data, len);
  src->data += len;
  src->left -= len;
}

// libpng's messages stay out of the host's standard error; an error still ends the decode.
void OnError(png_structp png, png_const_charp) { png_longjmp(png, 1); }
void OnWarning(png_structp, png_const_charp) {}

// Requests the transformations that turn any PNG into 8-bit A, R, G, B per pixel.
void RequestArgb(png_structp png, png_infop info)
{
  const int colorType = png_get_color_type(png, info);
  const int bitDepth = png_get_bit_depth(png, info);
  bool hasAlpha = (colorType & PNG_COLOR_MASK_ALPHA) != 0;
  if (colorType == PNG_COLOR_TYPE_PALETTE) png_set_palette_to_rgb(png);
  if (colorType == PNG_COLOR_TYPE_GRAY && bitDepth < 8) png_set_expand_gray_1_2_4_to_8(png);
  if (png_get_valid(png, info, PNG_INFO_tRNS))
  {
    png_set_tRNS_to_alpha(png);
    hasAlpha = true;
  }
  if (bitDepth == 16) png_set_strip_16(png);
  if (bitDepth < 8) png_set_packing(png);
  if (colorType == PNG_COLOR_TYPE_GRAY || colorType == PNG_COLOR_TYPE_GRAY_ALPHA)
    png_set_gray_to_rgb(png);
  if (hasAlpha)
    png_set_swap_alpha(png);
  else
    png_set_filler(png, 0xff, PNG_FILLER_BEFORE);
  png_set_interlace_handling(png);
}

// A, R, G, B bytes in memory become A << 24 | R << 16 | G << 8 | B.
void ArgbBytesToPixels(LICE_pixel* row, int width)
{
  auto* bytes = reinterpret_cast<const unsigned char*>(row);
  for (int x = 0; x < width; ++x, bytes += 4)
    row[x] = (LICE_pixel)bytes[0] << 24 | (LICE_pixel)bytes[1] << 16 |
             (LICE_pixel)bytes[2] << 8 | bytes[3];
}

// Decodes from `file` or, when it is null, from `memory`. Nothing with a destructor lives in
// this frame: a libpng error jumps back to the setjmp below, which releases everything.
LICE_IBitmap* Decode(FILE* file, MemorySource* memory, LICE_IBitmap* bmp)
{
  png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, OnError, OnWarning);
  if (!png) return nullptr;
  png_infop info = png_create_info_struct(png);
  if (!info)
  {
    png_destroy_read_struct(&png, nullptr, nullptr);
    return nullptr;
  }
  LICE_IBitmap* volatile made = nullptr;
  png_bytep* volatile rows = nullptr;
  if (setjmp(png_jmpbuf(png)))
  {
    png_destroy_read_struct(&png, &info, nullptr);
    std::free(rows);
    delete made;
    return nullptr;
  }

  if (file)
    png_init_io(png, file);
  else
    png_set_read_fn(png, memory, ReadFromMemory);
  png_set_user_limits(png, kMaxPngSide, kMaxPngSide);  // checked when the header is read
  png_read_info(png, info);
  const int width = (int)png_get_image_width(png, info);
  const int height = (int)png_get_image_height(png, info);

  RequestArgb(png, info);
  png_read_update_info(png, info);
  if (png_get_rowbytes(png, info) != (size_t)width * 4) png_error(png, "unexpected row layout");

  if (bmp)
    bmp->resize(width, height);
  else
    made = new (std::nothrow) LICE_MemBitmap(width, height);
  LICE_IBitmap* const target = bmp ? bmp : made;
  if (!target || target->getWidth() != width || target->getHeight() != height ||
      !target->getBits() || target->getRowSpan() < width)
    png_error(png, "the bitmap cannot take the image");

  // Image row 0 is the picture's top row, the last memory row of a bottom-up bitmap.
  rows = static_cast<png_bytep*>(std::malloc(sizeof(png_bytep) * (size_t)height));
  if (!rows) png_error(png, "out of memory");
  LICE_pixel* const bits = target->getBits();
  const ptrdiff_t span = target->getRowSpan();
  const bool flipped = target->isFlipped();
  for (int y = 0; y < height; ++y)
    rows[y] = reinterpret_cast<png_bytep>(bits + (flipped ? height - 1 - y : y) * span);
  png_read_image(png, rows);

  png_destroy_read_struct(&png, &info, nullptr);
  std::free(rows);
  for (int y = 0; y < height; ++y) ArgbBytesToPixels(bits + y * span, width);
  return target;
}

class LICE_PNGLoader
{
public:
  LICE_PNGLoader()
  {
    m_rec.loadfunc = loadfunc;
    m_rec.get_extlist = get_extlist;
    m_rec._next = LICE_ImageLoader_list;
    LICE_ImageLoader_list = &m_rec;
  }

  // With the check flag only a path whose last extension is ".png" (any case) is opened.
  static LICE_IBitmap* loadfunc(const char* path, bool checkFileName, LICE_IBitmap* bmp)
  {
    if (!path) return nullptr;
    if (checkFileName)
    {
      const char* ext = path + std::strlen(path);
      while (ext > path && *ext != '.' && *ext != '/' && *ext != '\\') --ext;
      if (strcasecmp(ext, ".png") != 0) return nullptr;
    }
    return LICE_LoadPNG(path, bmp);
  }

  static const char* get_extlist() { return "PNG files (*.PNG)\0*.PNG\0"; }

private:
  LICE_ImageLoaderRec m_rec{};
};

LICE_PNGLoader s_pngLoader;  // registered when the module loads
}  // namespace

// Constant-initialised, so it is null before any loader's constructor runs.
LICE_ImageLoaderRec* LICE_ImageLoader_list = nullptr;

LICE_IBitmap* LICE_LoadPNG(const char* filename, LICE_IBitmap* bmp)
{
  if (!filename) return nullptr;
  FILE* file = std::fopen(filename, "rb");
  if (!file) return nullptr;
  LICE_IBitmap* result = Decode(file, nullptr, bmp);
  std::fclose(file);
  return result;
}

LICE_IBitmap* LICE_LoadPNGFromMemory(const void* data, int len, LICE_IBitmap* bmp)
{
  if (!data || len < 8) return nullptr;
  MemorySource src{static_cast<const png_byte*>(data), (size_t)len};
  if (png_sig_cmp(src.data, 0, 8) != 0) return nullptr;
  return Decode(nullptr, &src, bmp);
}

LICE_IBitmap* LICE_LoadPNGFromResource(void*, const char*, LICE_IBitmap*) { return nullptr; }
