#include "TextTestSupport.h"

#include <algorithm>
#include <fstream>

namespace lice_text_test
{

::testing::AssertionResult FontFilesPresent()
{
  static const char* const files[] = {"/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf",
                                      "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf",
                                      "/usr/share/fonts/truetype/dejavu/DejaVuSansMono.ttf"};
  std::string missing;
  for (const char* f : files)
    if (!std::ifstream(f).good()) missing += std::string(" ") + f;
  if (missing.empty()) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << "missing font files (install fonts-dejavu-core):" << missing;
}

HFONT MakeFont(int height, const char* face, int weight, int quality, int width)
{
  return CreateFont(height, width, 0, 0, weight, 0, 0, 0, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                    CLIP_DEFAULT_PRECIS, quality, DEFAULT_PITCH, face);
}

std::unique_ptr<LICE_CachedFont> MakeCached(int height, int flags, const char* face, int weight, int quality)
{
  auto font = std::make_unique<LICE_CachedFont>();
  font->SetFromHFont(MakeFont(height, face, weight, quality), flags | LICE_FONT_FLAG_OWNS_HFONT);
  font->SetTextColor(0xFFFFFFFF);
  return font;
}

int Measure(LICE_IFont* font, const char* text, unsigned int fmt, int* w, int* h, int len)
{
  RECT r{0, 0, 0, 0};
  const int ret = font->DrawText(nullptr, text, len, &r, fmt | DT_CALCRECT);
  *w = r.right - r.left;
  *h = r.bottom - r.top;
  return ret;
}

RECT Changed(LICE_IBitmap* bmp, LICE_pixel background)
{
  RECT r{bmp->getWidth(), bmp->getHeight(), 0, 0};
  for (int y = 0; y < bmp->getHeight(); ++y)
    for (int x = 0; x < bmp->getWidth(); ++x)
      if (lice_test::PixelAt(bmp, x, y) != background)
      {
        r.left = std::min(r.left, x);
        r.top = std::min(r.top, y);
        r.right = std::max(r.right, x + 1);
        r.bottom = std::max(r.bottom, y + 1);
      }
  return r.left < r.right ? r : RECT{0, 0, 0, 0};
}

int CountChanged(LICE_IBitmap* bmp, LICE_pixel background)
{
  int n = 0;
  for (int y = 0; y < bmp->getHeight(); ++y)
    for (int x = 0; x < bmp->getWidth(); ++x) n += lice_test::PixelAt(bmp, x, y) != background;
  return n;
}

bool SamePixels(LICE_IBitmap* a, LICE_IBitmap* b)
{
  if (a->getWidth() != b->getWidth() || a->getHeight() != b->getHeight()) return false;
  for (int y = 0; y < a->getHeight(); ++y)
    for (int x = 0; x < a->getWidth(); ++x)
      if (lice_test::PixelAt(a, x, y) != lice_test::PixelAt(b, x, y)) return false;
  return true;
}

}  // namespace lice_text_test
