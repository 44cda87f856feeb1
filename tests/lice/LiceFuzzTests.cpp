// Seeded fuzzing of the PNG memory loader with truncated, bit-flipped and random input derived
// from valid images, meant for the sanitizer build: no crash, no access outside the target (guard
// bands checked after every call), no leak. BRELIX_FUZZ_SEED=N repeats or varies a run.
#include "LiceFuzz.h"

#include <png.h>
#include <zlib.h>

#include <cstdio>
#include <cstring>
#include <memory>

using namespace lice_test;

namespace
{
constexpr int kPngCases = 3000;

// Valid images of every kind to start the mutations from.
std::vector<std::vector<uint8_t>> PngCorpus(Fuzzer& fz)
{
  const int formats[][2] = {{PNG_COLOR_TYPE_GRAY, 1},      {PNG_COLOR_TYPE_GRAY, 4},
                            {PNG_COLOR_TYPE_GRAY, 16},     {PNG_COLOR_TYPE_GRAY_ALPHA, 8},
                            {PNG_COLOR_TYPE_RGB, 8},       {PNG_COLOR_TYPE_RGB, 16},
                            {PNG_COLOR_TYPE_RGB_ALPHA, 8}, {PNG_COLOR_TYPE_RGB_ALPHA, 16},
                            {PNG_COLOR_TYPE_PALETTE, 2},   {PNG_COLOR_TYPE_PALETTE, 8}};
  std::vector<std::vector<uint8_t>> corpus;
  for (const auto& f : formats)
    for (bool interlaced : {false, true})
    {
      PngImage img;
      img.width = 1 + fz.below(24);
      img.height = 1 + fz.below(24);
      img.colorType = f[0];
      img.bitDepth = f[1];
      img.interlaced = interlaced;
      img.compressionLevel = (int)fz.below(10);
      if (img.colorType == PNG_COLOR_TYPE_PALETTE)
      {
        for (int i = 0; i < (3 << img.bitDepth); ++i) img.palette.push_back((uint8_t)fz.next());
        img.paletteAlpha = {0, 99, 255};
      }
      for (size_t i = 0; i < (size_t)img.width * img.height * img.channels(); ++i)
        img.samples.push_back((uint16_t)(fz.next() & ((1u << img.bitDepth) - 1)));
      corpus.push_back(EncodePng(img));
    }
  return corpus;
}

// Recomputes every chunk's checksum that can be found, so that mutations reach past libpng's
// checksum test into the chunk parsers and the decompressor.
void FixChecksums(std::vector<uint8_t>& d)
{
  size_t at = 8;
  while (at + 12 <= d.size())
  {
    const size_t len =
        (size_t)d[at] << 24 | (size_t)d[at + 1] << 16 | (size_t)d[at + 2] << 8 | d[at + 3];
    if (len > d.size() - at - 12) break;
    const uLong crc = crc32(0, &d[at + 4], (uInt)len + 4);
    for (int i = 0; i < 4; ++i) d[at + 8 + len + i] = (uint8_t)(crc >> (24 - 8 * i));
    at += 12 + len;
  }
}

std::vector<uint8_t> Mutate(Fuzzer& fz, std::vector<uint8_t> d)
{
  switch (fz.below(6))
  {
    case 0:
      d.resize(fz.below((uint32_t)d.size() + 1));
      break;  // truncated
    case 1:   // bit flips
      for (int n = 1 + (int)fz.below(8); n > 0; --n)
        d[fz.below((uint32_t)d.size())] ^= (uint8_t)(1u << fz.below(8));
      break;
    case 2:  // bytes overwritten, mostly past the signature
      for (int n = 1 + (int)fz.below(4); n > 0; --n)
        d[8 + fz.below((uint32_t)d.size() - 8)] = (uint8_t)fz.next();
      break;
    case 3:  // a run of random bytes
    {
      const size_t at = 8 + fz.below((uint32_t)d.size() - 8);
      for (size_t i = at; i < d.size() && i < at + 1 + fz.below(64); ++i) d[i] = (uint8_t)fz.next();
      break;
    }
    case 4:  // random data behind the signature
      d.resize(8 + fz.below(300));
      for (size_t i = 8; i < d.size(); ++i) d[i] = (uint8_t)fz.next();
      break;
    default:  // a block duplicated or removed
    {
      const size_t at = fz.below((uint32_t)d.size()), len = fz.below(40);
      if (fz.below(2))
        d.insert(d.begin() + at, d.begin() + at, d.begin() + std::min(d.size(), at + len));
      else
        d.erase(d.begin() + at, d.begin() + std::min(d.size(), at + len));
    }
  }
  if (fz.below(2)) FixChecksums(d);
  return d;
}

// The header's claimed area, so that the few mutations claiming huge images decode into a
// bounded target instead of a fresh bitmap (which would allocate up to a gigabyte).
double ClaimedPixels(const std::vector<uint8_t>& d)
{
  if (d.size() < 24) return 0;
  auto be32 = [&](size_t at)
  { return (long long)d[at] << 24 | d[at + 1] << 16 | d[at + 2] << 8 | d[at + 3]; };
  return (double)be32(16) * (double)be32(20);
}
}  // namespace

TEST(LiceFuzz, PngMemoryLoaderSurvivesDamagedInput)
{
  Fuzzer fz("png");
  const std::vector<std::vector<uint8_t>> corpus = PngCorpus(fz);
  int decoded = 0;
  for (int n = 0; n < kPngCases; ++n)
  {
    std::vector<uint8_t> data = Mutate(fz, corpus[fz.below((uint32_t)corpus.size())]);
    if (n % 10 == 0) data.resize(std::min<size_t>(data.size(), fz.below(9)));  // short buffers
    const bool fresh = fz.chance(50) && ClaimedPixels(data) < (1 << 22);
    GuardedBitmap target((int)fz.below(8), (int)fz.below(8), fz.chance(50), 0, 64);
    LICE_IBitmap* got =
        LICE_LoadPNGFromMemory(data.data(), (int)data.size(), fresh ? nullptr : &target);
    std::unique_ptr<LICE_IBitmap> made(got != &target ? got : nullptr);
    if (got) ++decoded;
    ASSERT_TRUE(target.guardsIntact()) << "case " << n;
    if (got)
    {
      ASSERT_GT(got->getWidth(), 0) << "case " << n;
      ASSERT_NE(got->getBits(), nullptr) << "case " << n;
    }
  }
  // Some mutations (a damaged ancillary chunk, a dropped end chunk) leave decodable images.
  std::printf("%d of %d damaged inputs decoded\n", decoded, kPngCases);
  EXPECT_GT(decoded, 0);
  EXPECT_LT(decoded, kPngCases);
}
