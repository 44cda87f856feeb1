#include "LiceTestSupport.h"

#include <png.h>

#include <sys/stat.h>
#include <unistd.h>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>

namespace lice_test
{

GuardedBitmap::GuardedBitmap(int w, int h, bool flipped, int span, int guard)
    : m_reqSpan(span), m_guard(guard), m_flipped(flipped)
{
  build(w, h);
}

void GuardedBitmap::build(int w, int h)
{
  if (w <= 0 || h <= 0 || (long long)w * h > (1 << 24))
  {
    m_buf.clear();
    m_bits = nullptr;
    m_w = m_h = m_span = 0;
    return;
  }
  m_w = w;
  m_h = h;
  m_span = std::max(m_reqSpan, w);
  if (m_reqSpan <= 0) m_span = w + 3;
  m_buf.assign((size_t)m_guard * 2 + (size_t)m_span * h, kGuard);
  m_bits = m_buf.data() + m_guard;
  for (int y = 0; y < h; ++y)
    std::fill(m_bits + (size_t)y * m_span, m_bits + (size_t)y * m_span + w, 0u);
}

bool GuardedBitmap::resize(int w, int h)
{
  if (w == m_w && h == m_h) return false;
  if (!guardsIntact()) m_damagedBefore = true;
  build(w, h);
  return true;
}

bool GuardedBitmap::guardsIntact() const
{
  if (m_damagedBefore) return false;
  if (m_buf.empty()) return true;
  for (int i = 0; i < m_guard; ++i)
    if (m_buf[i] != kGuard || m_buf[m_buf.size() - 1 - i] != kGuard) return false;
  for (int y = 0; y < m_h; ++y)
    for (int x = m_w; x < m_span; ++x)
      if (m_bits[(size_t)y * m_span + x] != kGuard) return false;
  return true;
}

void GuardedBitmap::fillRandom(uint32_t seed)
{
  uint32_t s = seed * 2654435761u + 1;
  for (int y = 0; y < m_h; ++y)
    for (int x = 0; x < m_w; ++x)
    {
      s ^= s << 13;
      s ^= s >> 17;
      s ^= s << 5;
      m_bits[(size_t)y * m_span + x] = s;
    }
}

int PngImage::channels() const
{
  switch (colorType)
  {
    case PNG_COLOR_TYPE_GRAY_ALPHA:
      return 2;
    case PNG_COLOR_TYPE_RGB:
      return 3;
    case PNG_COLOR_TYPE_RGB_ALPHA:
      return 4;
    default:
      return 1;  // grey, palette
  }
}

namespace
{
void AppendBytes(png_structp png, png_bytep data, size_t len)
{
  auto* out = static_cast<std::vector<uint8_t>*>(png_get_io_ptr(png));
  out->insert(out->end(), data, data + len);
}

void NoFlush(png_structp) {}

// Packs one row of samples as the PNG stores it: sub-byte depths most significant bits first,
// 16-bit samples big-endian.
std::vector<uint8_t> PackRow(const PngImage& img, int y)
{
  const int n = img.width * img.channels();
  const uint16_t* s = img.samples.data() + (size_t)y * n;
  std::vector<uint8_t> row(((size_t)n * img.bitDepth + 7) / 8, 0);
  for (int i = 0; i < n; ++i)
  {
    if (img.bitDepth == 16)
    {
      row[2 * i] = (uint8_t)(s[i] >> 8);
      row[2 * i + 1] = (uint8_t)s[i];
    }
    else if (img.bitDepth == 8)
      row[i] = (uint8_t)s[i];
    else
    {
      const int bit = i * img.bitDepth;
      const int shift = 8 - img.bitDepth - bit % 8;
      row[bit / 8] |= (uint8_t)((s[i] & ((1 << img.bitDepth) - 1)) << shift);
    }
  }
  return row;
}

// Runs the libpng writer; kept free of objects with destructors because of the long jump.
bool EncodeInto(const PngImage& img, std::vector<png_color>& pal, std::vector<png_bytep>& ptrs,
                std::vector<uint8_t>* out)
{
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  if (!png) return false;
  png_infop info = png_create_info_struct(png);
  if (!info || setjmp(png_jmpbuf(png)))
  {
    png_destroy_write_struct(&png, &info);
    return false;
  }
  png_set_write_fn(png, out, AppendBytes, NoFlush);
  if (img.compressionLevel >= 0) png_set_compression_level(png, img.compressionLevel);
  png_set_IHDR(png, info, img.width, img.height, img.bitDepth, img.colorType,
               img.interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  if (img.colorType == PNG_COLOR_TYPE_PALETTE)
  {
    png_set_PLTE(png, info, pal.data(), (int)pal.size());
    if (!img.paletteAlpha.empty())
      png_set_tRNS(png, info, img.paletteAlpha.data(), (int)img.paletteAlpha.size(), nullptr);
  }
  else if (img.hasTrnsColor)
  {
    png_color_16 c{};
    c.gray = img.trnsGray;
    c.red = img.trnsRed;
    c.green = img.trnsGreen;
    c.blue = img.trnsBlue;
    png_set_tRNS(png, info, nullptr, 0, &c);
  }
  png_write_info(png, info);
  png_write_image(png, ptrs.data());
  png_write_end(png, nullptr);
  png_destroy_write_struct(&png, &info);
  return true;
}
}  // namespace

std::vector<uint8_t> EncodePng(const PngImage& img)
{
  std::vector<uint8_t> out;
  if (img.width <= 0 || img.height <= 0 ||
      img.samples.size() != (size_t)img.width * img.height * img.channels())
    return out;
  std::vector<std::vector<uint8_t>> rows;
  std::vector<png_bytep> ptrs;
  for (int y = 0; y < img.height; ++y) rows.push_back(PackRow(img, y));
  for (auto& r : rows) ptrs.push_back(r.data());
  std::vector<png_color> pal(img.palette.size() / 3);
  for (size_t i = 0; i < pal.size(); ++i)
    pal[i] = {img.palette[3 * i], img.palette[3 * i + 1], img.palette[3 * i + 2]};
  out.reserve(1024);
  if (!EncodeInto(img, pal, ptrs, &out)) out.clear();
  return out;
}

LICE_pixel PixelAt(LICE_IBitmap* bmp, int x, int y)
{
  const int row = bmp->isFlipped() ? bmp->getHeight() - 1 - y : y;
  return bmp->getBits()[(size_t)row * bmp->getRowSpan() + x];
}

PngImage ImageFromBitmap(LICE_IBitmap* bmp)
{
  PngImage img;
  img.width = bmp->getWidth();
  img.height = bmp->getHeight();
  img.colorType = PNG_COLOR_TYPE_RGB_ALPHA;
  img.bitDepth = 8;
  img.samples.reserve((size_t)img.width * img.height * 4);
  for (int y = 0; y < img.height; ++y)
    for (int x = 0; x < img.width; ++x)
    {
      const LICE_pixel p = PixelAt(bmp, x, y);
      img.samples.insert(img.samples.end(), {(uint16_t)LICE_GETR(p), (uint16_t)LICE_GETG(p),
                                             (uint16_t)LICE_GETB(p), (uint16_t)LICE_GETA(p)});
    }
  return img;
}

bool WriteFile(const std::string& path, const std::vector<uint8_t>& bytes)
{
  FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return false;
  const bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
  return std::fclose(f) == 0 && ok;
}

bool WritePng(const std::string& path, LICE_IBitmap* bmp)
{
  const std::vector<uint8_t> bytes = EncodePng(ImageFromBitmap(bmp));
  return !bytes.empty() && WriteFile(path, bytes);
}

bool ReadPngReference(const std::string& path, LICE_MemBitmap* out)
{
  png_image image;
  std::memset(&image, 0, sizeof image);
  image.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_file(&image, path.c_str())) return false;
  image.format = PNG_FORMAT_BGRA;  // the raster library's byte order
  out->resize((int)image.width, (int)image.height);
  if (out->getWidth() != (int)image.width || out->getHeight() != (int)image.height)
  {
    png_image_free(&image);
    return false;
  }
  const int ok =
      png_image_finish_read(&image, nullptr, out->getBits(), out->getRowSpan() * 4, nullptr);
  return ok != 0;
}

void Upscale(LICE_IBitmap* src, int factor, LICE_MemBitmap* out)
{
  out->resize(src->getWidth() * factor, src->getHeight() * factor);
  for (int y = 0; y < out->getHeight(); ++y)
    for (int x = 0; x < out->getWidth(); ++x)
      out->getBits()[(size_t)y * out->getRowSpan() + x] = PixelAt(src, x / factor, y / factor);
}

TempDir::TempDir()
{
  char tmpl[] = "/tmp/lice_test_XXXXXX";
  m_path = mkdtemp(tmpl) ? tmpl : "";
}

TempDir::~TempDir()
{
  std::error_code ec;
  if (!m_path.empty()) std::filesystem::remove_all(m_path, ec);
}

std::string SourceDir() { return LICE_TEST_SOURCE_DIR; }

std::string OutputDir()
{
  const std::string dir = LICE_TEST_OUTPUT_DIR;
  mkdir(dir.c_str(), 0755);
  return dir;
}

bool UpdatingReferences()
{
  const char* update = std::getenv("BRELIX_UPDATE_REFS");
  return update && std::strcmp(update, "1") == 0;
}

::testing::AssertionResult MatchesReference(LICE_IBitmap* bmp, const std::string& name,
                                            int tolerance)
{
  const std::string refPath = SourceDir() + "/ref/" + name + ".png";
  if (UpdatingReferences())
  {
    if (!WritePng(refPath, bmp)) return ::testing::AssertionFailure() << "cannot write " << refPath;
    std::printf("reference written: %s\n", refPath.c_str());
    return ::testing::AssertionSuccess();
  }

  const int w = bmp->getWidth(), h = bmp->getHeight();
  LICE_MemBitmap ref;
  const bool haveRef = ReadPngReference(refPath, &ref);
  long long differing = 0;
  int worst = 0;
  LICE_MemBitmap diff(w, h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
    {
      const LICE_pixel a = PixelAt(bmp, x, y);
      const LICE_pixel e =
          haveRef && x < ref.getWidth() && y < ref.getHeight() ? PixelAt(&ref, x, y) : ~a;
      int d = 0;
      for (int shift = 0; shift < 32; shift += 8)
        d = std::max(d, std::abs((int)((a >> shift) & 0xff) - (int)((e >> shift) & 0xff)));
      worst = std::max(worst, d);
      if (d > tolerance) ++differing;
      // Matching pixels as a dim grey copy of the picture, differences in red by size.
      const int grey = (LICE_GETR(a) + LICE_GETG(a) + LICE_GETB(a)) / 12;
      diff.getBits()[(size_t)y * diff.getRowSpan() + x] =
          d > tolerance ? LICE_RGBA(128 + d / 2, 0, 0, 255) : LICE_RGBA(grey, grey, grey, 255);
    }
  const bool sizeMatches = haveRef && ref.getWidth() == w && ref.getHeight() == h;
  if (sizeMatches && differing == 0) return ::testing::AssertionSuccess();

  const std::string actualPath = OutputDir() + "/" + name + ".actual.png";
  const std::string diffPath = OutputDir() + "/" + name + ".diff.png";
  WritePng(actualPath, bmp);
  WritePng(diffPath, &diff);
  std::printf("actual: %s\ndiff:   %s\n", actualPath.c_str(), diffPath.c_str());
  auto failure = ::testing::AssertionFailure();
  if (!haveRef)
    return failure << "no readable reference " << refPath
                   << " (BRELIX_UPDATE_REFS=1 writes it); actual: " << actualPath;
  if (!sizeMatches)
    return failure << "size " << w << "x" << h << " differs from the reference's " << ref.getWidth()
                   << "x" << ref.getHeight() << "; actual: " << actualPath;
  return failure << differing << " pixels differ from " << refPath << " by more than " << tolerance
                 << " (largest channel difference " << worst << "); actual: " << actualPath
                 << ", diff: " << diffPath;
}

}  // namespace lice_test
