#pragma once
// Shared pieces of the cached-font text tests: the font files they rely on, fonts made through
// the shim, and bitmap scans.

#include "LiceTestSupport.h"
#include "lice_text.h"

#include <memory>
#include <string>

namespace lice_text_test
{

// Fails with the names of missing font files (and the package that carries them).
::testing::AssertionResult FontFilesPresent();

class TextTest : public ::testing::Test
{
protected:
  void SetUp() override { ASSERT_TRUE(FontFilesPresent()); }
};

// A shim font (positive height = cell height); the caller owns it.
HFONT MakeFont(int height, const char* face = "DejaVu Sans", int weight = FW_NORMAL,
               int quality = DEFAULT_QUALITY, int width = 0);
// A cached font that owns its shim font, white text.
std::unique_ptr<LICE_CachedFont> MakeCached(int height, int flags = 0, const char* face = "DejaVu Sans",
                                            int weight = FW_NORMAL, int quality = DEFAULT_QUALITY);

// Extent through DrawText's DT_CALCRECT from a rectangle at (0, 0); returns DrawText's result.
int Measure(LICE_IFont* font, const char* text, unsigned int fmt, int* w, int* h, int len = -1);

// Bounding box of the pixels that differ from `background` (right/bottom exclusive; empty when none).
RECT Changed(LICE_IBitmap* bmp, LICE_pixel background);
int CountChanged(LICE_IBitmap* bmp, LICE_pixel background);
bool SamePixels(LICE_IBitmap* a, LICE_IBitmap* b);

}  // namespace lice_text_test
