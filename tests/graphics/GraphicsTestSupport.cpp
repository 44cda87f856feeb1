#include "GraphicsTestSupport.h"

namespace gfxtest
{
std::unique_ptr<LICE_MemBitmap> MakeCoordinateBitmap(int w, int h)
{
  auto bitmap = std::make_unique<LICE_MemBitmap>(w, h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) bitmap->getBits()[y * bitmap->getRowSpan() + x] = LICE_RGBA(x & 255, y & 255, 0, 255);
  return bitmap;
}
}  // namespace gfxtest
