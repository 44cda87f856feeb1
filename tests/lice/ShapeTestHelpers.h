#pragma once
// Pixel-set and bitmap comparisons shared by the line, shape and glyph tests.

#include "LiceTestSupport.h"

#include <set>
#include <utility>

namespace lice_test
{
using PixelSet = std::set<std::pair<int, int>>;

// Picture positions whose pixel differs from `background`.
inline PixelSet Touched(LICE_IBitmap* bm, LICE_pixel background = 0)
{
  PixelSet s;
  for (int y = 0; y < bm->getHeight(); ++y)
    for (int x = 0; x < bm->getWidth(); ++x)
      if (PixelAt(bm, x, y) != background) s.insert({x, y});
  return s;
}

// Same pixels row by row in memory order (a flipped and an upright bitmap compare their memory).
inline bool SameMemory(LICE_IBitmap* a, LICE_IBitmap* b)
{
  for (int y = 0; y < a->getHeight(); ++y)
    for (int x = 0; x < a->getWidth(); ++x)
      if (a->getBits()[y * a->getRowSpan() + x] != b->getBits()[y * b->getRowSpan() + x]) return false;
  return true;
}

// Same pixels at every picture position.
inline bool SamePicture(LICE_IBitmap* a, LICE_IBitmap* b)
{
  for (int y = 0; y < a->getHeight(); ++y)
    for (int x = 0; x < a->getWidth(); ++x)
      if (PixelAt(a, x, y) != PixelAt(b, x, y)) return false;
  return true;
}
}  // namespace lice_test
