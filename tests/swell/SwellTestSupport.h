#pragma once
// Shared helpers of the drawing shim's tests: font files, contexts, fonts, pixel scans, PNGs.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "swell.h"

namespace swelltest
{

#define DEJAVU_DIR "/usr/share/fonts/truetype/dejavu/"
extern const char* const kFontFiles[];  // every font file the tests rely on

// Fails with the names of missing font files (and the packages that carry them).
::testing::AssertionResult FontFilesPresent();

// Base fixture: checks the font files before every test.
class SwellTest : public ::testing::Test
{
protected:
  void SetUp() override { ASSERT_TRUE(FontFilesPresent()); }
};

// A memory context that frees itself (and deletes the font it made).
struct Canvas
{
  Canvas(int w, int h) : dc(SWELL_CreateMemContext(nullptr, w, h)), w(w), h(h) {}
  ~Canvas()
  {
    SWELL_DeleteGfxContext(dc);
    if (font) DeleteObject(font);
  }
  Canvas(const Canvas&) = delete;
  Canvas& operator=(const Canvas&) = delete;

  // Creates and selects a font (positive height = cell height), TRANSPARENT white text.
  HFONT Use(const char* face, int height, int weight = FW_NORMAL, int quality = DEFAULT_QUALITY,
            int escapement = 0, int italic = 0);
  unsigned int* Bits() const { return static_cast<unsigned int*>(SWELL_GetCtxFrameBuffer(dc)); }
  unsigned int& At(int x, int y) const { return Bits()[y * w + x]; }
  void Fill(unsigned int pixel) const;
  // Bounding box of the pixels that differ from `background` (empty when none).
  RECT Changed(unsigned int background = 0) const;
  int Count(unsigned int background = 0) const;  // pixels that differ from background

  HDC dc;
  int w, h;
  HFONT font = nullptr;
};

int Width(const RECT& r);
int Height(const RECT& r);
// Extent of text through DrawText's DT_CALCRECT with `fmt` (from a rectangle at 0,0 of width wrap).
RECT Measure(HDC dc, const char* text, unsigned int fmt = DT_NOPREFIX, int len = -1, int wrap = 0);

// Compares the canvas with ref/<name>.png (per-channel tolerance); BRELIX_UPDATE_REFS=1 rewrites the
// reference. On failure writes <name>.actual.png and <name>.diff.png into the build directory.
::testing::AssertionResult MatchesReference(const Canvas& canvas, const std::string& name,
                                            int tolerance);

}  // namespace swelltest
