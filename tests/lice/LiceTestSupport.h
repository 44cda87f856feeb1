#pragma once
// Shared helpers of the raster tests: bitmaps with unusual layouts (bottom-up, guarded), a PNG
// encoder for any colour type and bit depth, and comparison against committed reference images.
//
// References live in tests/lice/ref/NAME.png (the source dir comes from the build). A mismatch
// writes NAME.actual.png and NAME.diff.png into the test output dir and prints their paths; with
// BRELIX_UPDATE_REFS=1 in the environment the reference is (re)written instead.

#include "lice.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace lice_test
{

// A memory bitmap whose memory row 0 is the picture's bottom row.
class FlippedBitmap : public LICE_MemBitmap
{
public:
  using LICE_MemBitmap::LICE_MemBitmap;
  bool isFlipped() override { return true; }
};

// Pixels inside a larger buffer: `guard` pixels of a known pattern before the first and after the
// last memory row, and the pattern also in each row's padding (span - width pixels), so that a
// test can prove that nothing outside the bitmap was written. Resizing rebuilds the buffer with
// fresh guards (the old guards are checked first; see guardsIntact()).
class GuardedBitmap : public LICE_IBitmap
{
public:
  static constexpr LICE_pixel kGuard = 0xA5C30F5Au;

  // span 0 means width + 3 (always some padding); a 0 x 0 bitmap has no memory.
  GuardedBitmap(int w, int h, bool flipped = false, int span = 0, int guard = 256);

  LICE_pixel* getBits() override { return m_bits; }
  int getWidth() override { return m_w; }
  int getHeight() override { return m_h; }
  int getRowSpan() override { return m_span; }
  bool isFlipped() override { return m_flipped; }
  bool resize(int w, int h) override;

  // True while every guard pixel (bands and row padding) still holds kGuard, including those of
  // buffers dropped by earlier resizes.
  bool guardsIntact() const;
  // Fills the visible pixels with a seeded pseudo-random pattern.
  void fillRandom(uint32_t seed);

private:
  void build(int w, int h);

  std::vector<LICE_pixel> m_buf;
  LICE_pixel* m_bits = nullptr;
  int m_w = 0, m_h = 0, m_span = 0, m_reqSpan = 0, m_guard = 0;
  bool m_flipped = false;
  bool m_damagedBefore = false;
};

// One PNG image to encode: samples per pixel are 1 (grey or palette index), 2 (grey, alpha),
// 3 (RGB) or 4 (RGBA), each a value of `bitDepth` bits, rows top-down.
struct PngImage
{
  int width = 0, height = 0;
  int colorType = 0;  // PNG_COLOR_TYPE_*
  int bitDepth = 8;
  bool interlaced = false;
  int compressionLevel = -1;  // zlib level; 0 stores the rows uncompressed
  std::vector<uint16_t> samples;
  std::vector<uint8_t> palette;       // r, g, b triples (palette images)
  std::vector<uint8_t> paletteAlpha;  // tRNS for palette images
  bool hasTrnsColor = false;          // tRNS for grey or RGB images
  uint16_t trnsGray = 0, trnsRed = 0, trnsGreen = 0, trnsBlue = 0;

  int channels() const;
};

// Encodes through libpng; empty on failure.
std::vector<uint8_t> EncodePng(const PngImage& img);
// An 8-bit RGBA image of the bitmap's picture (honouring the flipped flag).
PngImage ImageFromBitmap(LICE_IBitmap* bmp);
bool WriteFile(const std::string& path, const std::vector<uint8_t>& bytes);
bool WritePng(const std::string& path, LICE_IBitmap* bmp);
// Decodes a PNG into 8-bit pixels without the library under test; false on failure.
bool ReadPngReference(const std::string& path, LICE_MemBitmap* out);

// Pixel at picture position (x, y), honouring the flipped flag; no clipping.
LICE_pixel PixelAt(LICE_IBitmap* bmp, int x, int y);
// Nearest-neighbour upscaled copy, for looking at small pictures.
void Upscale(LICE_IBitmap* src, int factor, LICE_MemBitmap* out);

// A fresh folder below /tmp, removed with everything in it when the object goes.
class TempDir
{
public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  std::string file(const std::string& name) const { return m_path + "/" + name; }
  const std::string& path() const { return m_path; }

private:
  std::string m_path;
};

std::string SourceDir();  // tests/lice in the source tree
std::string OutputDir();  // created on first use

// True when BRELIX_UPDATE_REFS=1: references are being (re)written.
bool UpdatingReferences();
// Compares `bmp` with ref/NAME.png; channels may differ by up to `tolerance`.
::testing::AssertionResult MatchesReference(LICE_IBitmap* bmp, const std::string& name,
                                            int tolerance = 0);

}  // namespace lice_test
