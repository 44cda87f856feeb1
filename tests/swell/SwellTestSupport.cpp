#include "SwellTestSupport.h"

#include <png.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>

namespace swelltest
{

const char* const kFontFiles[] = {
    DEJAVU_DIR "DejaVuSans.ttf",          DEJAVU_DIR "DejaVuSans-Bold.ttf",
    DEJAVU_DIR "DejaVuSansMono.ttf",      DEJAVU_DIR "DejaVuSansMono-Bold.ttf",
    DEJAVU_DIR "DejaVuSerif.ttf",         DEJAVU_DIR "DejaVuSerif-Bold.ttf",
    DEJAVU_DIR "DejaVuSans-Oblique.ttf",  DEJAVU_DIR "DejaVuSansMono-Oblique.ttf",
    DEJAVU_DIR "DejaVuMathTeXGyre.ttf",   nullptr};

::testing::AssertionResult FontFilesPresent()
{
  std::string missing;
  for (const char* const* f = kFontFiles; *f; ++f)
    if (!std::ifstream(*f).good()) missing += std::string(" ") + *f;
  if (missing.empty()) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure()
         << "missing font files (install fonts-dejavu-core and fonts-dejavu-extra):" << missing;
}

HFONT Canvas::Use(const char* face, int height, int weight, int quality, int escapement, int italic)
{
  if (font) DeleteObject(font);
  font = CreateFont(height, 0, escapement, escapement, weight, italic, 0, 0, DEFAULT_CHARSET,
                    OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, quality, DEFAULT_PITCH, face);
  SelectObject(dc, font);
  SetTextColor(dc, RGB(255, 255, 255));
  SetBkMode(dc, TRANSPARENT);
  return font;
}

void Canvas::Fill(unsigned int pixel) const
{
  std::fill(Bits(), Bits() + w * h, pixel);
}

RECT Canvas::Changed(unsigned int background) const
{
  RECT box{w, h, 0, 0};
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      if (At(x, y) != background)
        box = {std::min(box.left, x), std::min(box.top, y), std::max(box.right, x + 1),
               std::max(box.bottom, y + 1)};
  return box.right > box.left ? box : RECT{};
}

int Canvas::Count(unsigned int background) const
{
  return (int)std::count_if(Bits(), Bits() + w * h, [&](unsigned int p) { return p != background; });
}

int Width(const RECT& r)
{
  return r.right - r.left;
}

int Height(const RECT& r)
{
  return r.bottom - r.top;
}

RECT Measure(HDC dc, const char* text, unsigned int fmt, int len, int wrap)
{
  RECT r{0, 0, wrap, 0};
  DrawText(dc, text, len, &r, fmt | DT_CALCRECT);
  return r;
}

namespace
{

bool WritePng(const std::string& path, const unsigned int* pixels, int w, int h)
{
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  image.width = (png_uint_32)w;
  image.height = (png_uint_32)h;
  image.format = PNG_FORMAT_BGRA;  // 0xAARRGGBB in little-endian memory
  return png_image_write_to_file(&image, path.c_str(), 0, pixels, w * 4, nullptr) != 0;
}

bool ReadPng(const std::string& path, std::vector<unsigned int>* pixels, int* w, int* h)
{
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_file(&image, path.c_str())) return false;
  image.format = PNG_FORMAT_BGRA;
  pixels->assign((size_t)image.width * image.height, 0);
  *w = (int)image.width;
  *h = (int)image.height;
  return png_image_finish_read(&image, nullptr, pixels->data(), 0, nullptr) != 0;
}

int ChannelDifference(unsigned int a, unsigned int b)
{
  int worst = 0;
  for (int shift = 0; shift < 32; shift += 8)
    worst = std::max(worst, std::abs((int)(a >> shift & 0xFF) - (int)(b >> shift & 0xFF)));
  return worst;
}

}  // namespace

::testing::AssertionResult MatchesReference(const Canvas& canvas, const std::string& name, int tolerance)
{
  const std::string ref = std::string(SWELL_REF_DIR) + "/" + name + ".png";
  const char* update = std::getenv("BRELIX_UPDATE_REFS");
  if (update && std::string(update) == "1")
  {
    if (!WritePng(ref, canvas.Bits(), canvas.w, canvas.h))
      return ::testing::AssertionFailure() << "cannot write " << ref;
    return ::testing::AssertionSuccess() << "rewrote " << ref;
  }
  std::vector<unsigned int> expected;
  int w = 0, h = 0;
  if (!ReadPng(ref, &expected, &w, &h))
    return ::testing::AssertionFailure() << "cannot read reference " << ref;
  if (w != canvas.w || h != canvas.h)
    return ::testing::AssertionFailure() << ref << " is " << w << "x" << h;

  std::vector<unsigned int> diff(expected.size(), 0xFF000000);
  int bad = 0, worst = 0;
  for (size_t i = 0; i < expected.size(); ++i)
  {
    const int d = ChannelDifference(expected[i], canvas.Bits()[i]);
    worst = std::max(worst, d);
    if (d > tolerance)
    {
      ++bad;
      diff[i] = 0xFFFF0000 | (unsigned int)std::min(255, d * 4) << 8;
    }
  }
  if (bad == 0) return ::testing::AssertionSuccess();
  const std::string out = std::string(SWELL_OUT_DIR) + "/" + name;
  WritePng(out + ".actual.png", canvas.Bits(), canvas.w, canvas.h);
  WritePng(out + ".diff.png", diff.data(), w, h);
  return ::testing::AssertionFailure() << bad << " pixels of " << name << " differ by more than "
                                       << tolerance << " (worst " << worst << "); see " << out
                                       << ".actual.png and .diff.png";
}

}  // namespace swelltest
