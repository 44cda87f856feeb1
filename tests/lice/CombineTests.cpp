// Combine rules against pixels worked out by hand, and the choice of rule from the mode word.
#include "lice_combine.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <type_traits>

namespace
{
struct Src
{
  int r, g, b, a;
};

// The destination pixel after one doPix of class C.
template <class C>
LICE_pixel Apply(LICE_pixel dest, Src s, int w)
{
  C::doPix((LICE_pixel_chan*)&dest, s.r, s.g, s.b, s.a, w);
  return dest;
}

// Pixels are written 0xAARRGGBB below; each expectation is worked out channel by channel in the
// comment beside it ("/" truncates toward zero).
TEST(Combine, ClobberWritesAllFourChannelsWhateverTheWeight)
{
  EXPECT_EQ(Apply<_LICE_CombinePixelsClobberNoClamp>(0x11223344, {0xAA, 0xBB, 0xCC, 0xDD}, 17),
            0xDDAABBCCu);
}

TEST(Combine, CopyBlendsTowardTheSourceAndTruncatesTowardZero)
{
  // A200 R100 G0 B255 under r50 g255 b0 a100 at w 64 (iw 192):
  // R 50 + 50*192/256 = 87; G 255 - 48960/256 = 255 - 191 = 64; B 191; A 100 + 75 = 175.
  EXPECT_EQ(Apply<_LICE_CombinePixelsCopyNoClamp>(0xC86400FFu, {50, 255, 0, 100}, 64),
            0xAF5740BFu);
  // w 300 (iw -44): R 50 - 8 = 42; G 255 + 43 = 298 -> stored low byte 42; B -43 -> 213;
  // A 100 - 17 = 83. The clamping twin keeps 255 and 0.
  EXPECT_EQ(Apply<_LICE_CombinePixelsCopyNoClamp>(0xC86400FFu, {50, 255, 0, 100}, 300),
            0x532A2AD5u);
  EXPECT_EQ(Apply<_LICE_CombinePixelsCopyClamp>(0xC86400FFu, {50, 255, 0, 100}, 300),
            0x532AFF00u);
  EXPECT_EQ(Apply<_LICE_CombinePixelsCopyNoClamp>(0x12345678u, {1, 2, 3, 4}, 256), 0x04010203u);
}

TEST(Combine, AddSaturates)
{
  // A10 R200 G5 B0 plus r100 g3 b255 a20: at w 128 R 250, G 5 + 1, B 127, A 20;
  // at 256 R 300 -> 255, G 8, B 255, A 30.
  EXPECT_EQ(Apply<_LICE_CombinePixelsAdd>(0x0AC80500u, {100, 3, 255, 20}, 128), 0x14FA067Fu);
  EXPECT_EQ(Apply<_LICE_CombinePixelsAdd>(0x0AC80500u, {100, 3, 255, 20}, 256), 0x1EFF08FFu);
  EXPECT_EQ(Apply<_LICE_CombinePixelsAdd>(0x0AC80500u, {100, 3, 255, 20}, 1), 0x0AC80500u);
}

TEST(Combine, ColorDodgeDividesByTheInvertedSource)
{
  // A100 R100 G200 B0 with r128 g255 b50 a255 at w 256: R 25600/128 = 200; G t = 255 ->
  // clamp(200*256) = 255; B 0; A t = 255 -> 255.
  EXPECT_EQ(Apply<_LICE_CombinePixelsColorDodge>(0x6464C800u, {128, 255, 50, 255}, 256),
            0xFFC8FF00u);
  // At w 128: R t 64 -> 25600/192 = 133; G t 127 -> 51200/129 = 396 -> 255; A t 127 ->
  // 25600/129 = 198.
  EXPECT_EQ(Apply<_LICE_CombinePixelsColorDodge>(0x6464C800u, {128, 255, 50, 255}, 128),
            0xC685FF00u);
}

TEST(Combine, MultiplyScalesByTheSourceAndWrapsOnlyWithoutClamp)
{
  // A255 R200 G100 B0 times r128 g255 b0 a0 at w 256: R 128*256*200 >> 16 = 100; G 99; A 0.
  EXPECT_EQ(Apply<_LICE_CombinePixelsMulNoClamp>(0xFFC86400u, {128, 255, 0, 0}, 256), 0x00646300u);
  // At w 128 (offset 32768): R 49152*200 >> 16 = 150; G 65408*100 >> 16 = 99; A 32768*255 >> 16
  // = 127.
  EXPECT_EQ(Apply<_LICE_CombinePixelsMulNoClamp>(0xFFC86400u, {128, 255, 0, 0}, 128), 0x7F966300u);
  // At w -256 (offset 131072) with a black source: R 400 -> low byte 144 or clamped 255;
  // G 200; A (65792 * 255) >> 16 = 255.
  EXPECT_EQ(Apply<_LICE_CombinePixelsMulNoClamp>(0xFFC86400u, {0, 0, 0, 255}, -256), 0xFF90C800u);
  EXPECT_EQ(Apply<_LICE_CombinePixelsMulClamp>(0xFFC86400u, {0, 0, 0, 255}, -256), 0xFFFFC800u);
}

TEST(Combine, OverlayFollowsItsQuadraticRule)
{
  // A255 R100 G200 B0 with r200 g50 b255 a128, w 256: R ((-7200 + 51200) * 100) >> 15 = 134;
  // G ((15600 + 12800) * 200) >> 15 = 173; B 0; A (32768 * 255) >> 15 = 255.
  EXPECT_EQ(Apply<_LICE_CombinePixelsOverlay>(0xFF64C800u, {200, 50, 255, 128}, 256), 0xFF86AD00u);
  // w 128 (o 16384): R ((-3600 + 25600 + 16384) * 100) >> 15 = 117; G ((7800 + 6400 + 16384) *
  // 200) >> 15 = 186; A 255.
  EXPECT_EQ(Apply<_LICE_CombinePixelsOverlay>(0xFF64C800u, {200, 50, 255, 128}, 128), 0xFF75BA00u);
}

TEST(Combine, HsvAdjustTurnsHueAndSetsValueAndSaturation)
{
  // A neutral source (128, 128, 128) keeps pure red; the alpha becomes the source's.
  EXPECT_EQ(Apply<_LICE_CombinePixelsHSVAdjust>(0x4DFF0000u, {128, 128, 128, 200}, 256), 0xC8FF0000u);
  // r 255 turns the hue by 256 * 190 / 256 = 190 of 384: sector 2, fraction 62 -> (p, v, t) with
  // v 255, s 255: p 0, t = 255 * (16384 - 510) >> 14 = 247.
  EXPECT_EQ(Apply<_LICE_CombinePixelsHSVAdjust>(0x4DFF0000u, {255, 128, 128, 200}, 256), 0xC800FFF7u);
  // Grey 100 with b 192: value 100 + 256 * 64 / 128 = 228, no chroma.
  EXPECT_EQ(Apply<_LICE_CombinePixelsHSVAdjust>(0xFF646464u, {128, 128, 192, 9}, 256), 0x09E4E4E4u);
  // R200 G100 B100 with g 255 at w 128: s = 100 * 326 / 256 + 127 = 254, v 200:
  // p = t = (200 * 128) >> 14 = 1.
  EXPECT_EQ(Apply<_LICE_CombinePixelsHSVAdjust>(0xFFC86464u, {128, 255, 128, 50}, 128), 0x32C80101u);
  // Value to zero: black.
  EXPECT_EQ(Apply<_LICE_CombinePixelsHSVAdjust>(0xFFFF0000u, {128, 128, 0, 255}, 256), 0xFF000000u);
}

TEST(Combine, SourceAlphaCopyUsesTheScaledWeight)
{
  // w 128, a 127: w' = 128 * 128 / 256 = 64, iw 192. A100 R0 G255 B100 under r255 g0 b100:
  // R 255 - 191 = 64; G 191; B 100; A min(255, 64 + 100) = 164.
  EXPECT_EQ(Apply<_LICE_CombinePixelsCopySourceAlphaNoClamp>(0x6400FF64u, {255, 0, 100, 127}, 128),
            0xA440BF64u);
  EXPECT_EQ(Apply<_LICE_CombinePixelsCopySourceAlphaNoClamp>(0x6400FF64u, {255, 0, 100, 0}, 128),
            0x6400FF64u);
  // Full weight: a 0 leaves, a 255 writes the colour opaque, a 128 blends with 127/256:
  // R 255 - 126 = 129; G 126; B 10; A min(255, 328).
  using Full = _LICE_CombinePixelsCopySourceAlphaIgnoreAlphaParmNoClamp;
  EXPECT_EQ(Apply<Full>(0x12345678u, {1, 2, 3, 0}, 256), 0x12345678u);
  EXPECT_EQ(Apply<Full>(0x12345678u, {1, 2, 3, 255}, 256), 0xFF010203u);
  EXPECT_EQ(Apply<Full>(0xC800FF0Au, {255, 0, 10, 128}, 256), 0xFF817E0Au);
  EXPECT_EQ(Apply<Full>(0x1000FF0Au, {255, 0, 10, 128}, 256), 0x90817E0Au);
}

TEST(Combine, SourceAlphaVariantsOfTheOtherModes)
{
  // Add, a 63 at w 256: w' 64. A10 R100 G0 B250 plus r200 g100 b10: R 150, G 25, B 252,
  // A 10 + 63 * 64 / 256 = 25. Alpha 0 leaves the pixel.
  EXPECT_EQ(Apply<_LICE_CombinePixelsAddSourceAlpha>(0x0A6400FAu, {200, 100, 10, 63}, 256),
            0x199619FCu);
  EXPECT_EQ(Apply<_LICE_CombinePixelsAddSourceAlpha>(0x0A6400FAu, {200, 100, 10, 0}, 256),
            0x0A6400FAu);
  // Dodge, a 127: w' 128. R t 127 -> 25600/129 = 198; G 100; B t 64 -> 133; A t 63 -> 66.
  EXPECT_EQ(Apply<_LICE_CombinePixelsColorDodgeSourceAlpha>(0x32646464u, {255, 0, 128, 127}, 256),
            0x42C66485u);
  // Multiply, a 255 (w' 256): R 100, G 99, A (255 * 256 * 255) >> 16 = 254; a 0 leaves.
  EXPECT_EQ(Apply<_LICE_CombinePixelsMulSourceAlphaNoClamp>(0xFFC86400u, {128, 255, 0, 255}, 256),
            0xFE646300u);
  EXPECT_EQ(Apply<_LICE_CombinePixelsMulSourceAlphaNoClamp>(0xFFC86400u, {128, 255, 0, 0}, 256),
            0xFFC86400u);
  // Overlay also applies at a 0 (w' 1, o 32640): 255 becomes ((128 * 255 / 256 + 32640) * 255)
  // >> 15 = 254, G 100 stays 100.
  EXPECT_EQ(Apply<_LICE_CombinePixelsOverlaySourceAlpha>(0xFFFF6400u, {0, 200, 0, 0}, 256),
            0xFEFE6400u);
  // HSV adjust at a 0 takes the source alpha 0.
  EXPECT_EQ(Apply<_LICE_CombinePixelsHSVAdjustSourceAlpha>(0xFFFF0000u, {128, 128, 128, 0}, 256),
            0x00FF0000u);
}

TEST(Combine, FastCopyRulesOnWholePixels)
{
  const LICE_pixel k = 0xFFFFFFFF, q = 0xFF000000;
  EXPECT_EQ(LICE_PixHalf(k, q), 0xFE7F7F7Fu);
  EXPECT_EQ(LICE_PixQuarter(k, q), 0xFD3F3F3Fu);        // 3F3F3F3F + 3F000000 + 7F000000
  EXPECT_EQ(LICE_PixThreeQuarters(k, q), 0xFDBEBEBEu);  // 7F7F7F7F + 3F3F3F3F + 3F000000
}

TEST(Combine, AlphaWeightTruncatesAndStaysBounded)
{
  EXPECT_EQ(LICE_AlphaWeight(1.0), 256);
  EXPECT_EQ(LICE_AlphaWeight(0.5), 128);
  EXPECT_EQ(LICE_AlphaWeight(0.999), 255);
  EXPECT_EQ(LICE_AlphaWeight(1.0 / 256), 1);
  EXPECT_EQ(LICE_AlphaWeight(0.003), 0);
  EXPECT_EQ(LICE_AlphaWeight(-0.5), -128);
  EXPECT_EQ(LICE_AlphaWeight(2.0), 512);
  EXPECT_EQ(LICE_AlphaWeight(1e30), 2048);
  EXPECT_EQ(LICE_AlphaWeight(-1e30), -2048);
  EXPECT_EQ(LICE_AlphaWeight(std::nan("")), 0);
}

template <class C>
std::string Name()
{
  if (std::is_same_v<C, _LICE_CombinePixelsClobberNoClamp>) return "clobber";
  if (std::is_same_v<C, _LICE_CombinePixelsCopyNoClamp>) return "copy";
  if (std::is_same_v<C, _LICE_CombinePixelsAdd>) return "add";
  if (std::is_same_v<C, _LICE_CombinePixelsColorDodge>) return "dodge";
  if (std::is_same_v<C, _LICE_CombinePixelsMulNoClamp>) return "mul";
  if (std::is_same_v<C, _LICE_CombinePixelsOverlay>) return "overlay";
  if (std::is_same_v<C, _LICE_CombinePixelsHSVAdjust>) return "hsv";
  if (std::is_same_v<C, _LICE_CombinePixelsCopySourceAlphaIgnoreAlphaParmNoClamp>) return "sa-full";
  if (std::is_same_v<C, _LICE_CombinePixelsCopySourceAlphaNoClamp>) return "sa-copy";
  if (std::is_same_v<C, _LICE_CombinePixelsAddSourceAlpha>) return "sa-add";
  if (std::is_same_v<C, _LICE_CombinePixelsColorDodgeSourceAlpha>) return "sa-dodge";
  if (std::is_same_v<C, _LICE_CombinePixelsMulSourceAlphaNoClamp>) return "sa-mul";
  if (std::is_same_v<C, _LICE_CombinePixelsOverlaySourceAlpha>) return "sa-overlay";
  if (std::is_same_v<C, _LICE_CombinePixelsHSVAdjustSourceAlpha>) return "sa-hsv";
  return "?";
}

std::string Chosen(int mode, int w)
{
  std::string name = "none";
  LICE_WithCombineClass(mode, w, [&](auto tag) { name = Name<typename decltype(tag)::type>(); });
  return name;
}

TEST(Combine, ModeWordSelectsTheClass)
{
  EXPECT_EQ(Chosen(0, 256), "clobber");
  EXPECT_EQ(Chosen(0, 255), "copy");
  EXPECT_EQ(Chosen(0, 300), "copy");
  EXPECT_EQ(Chosen(LICE_BLIT_FILTER_BILINEAR, 256), "clobber");
  EXPECT_EQ(Chosen(1, 10), "add");
  EXPECT_EQ(Chosen(2, 10), "dodge");
  EXPECT_EQ(Chosen(3, 10), "mul");
  EXPECT_EQ(Chosen(4 | LICE_BLIT_FILTER_BILINEAR, 10), "overlay");
  EXPECT_EQ(Chosen(5, 10), "hsv");
  EXPECT_EQ(Chosen(LICE_BLIT_USE_ALPHA, 256), "sa-full");
  EXPECT_EQ(Chosen(LICE_BLIT_USE_ALPHA, 128), "sa-copy");
  EXPECT_EQ(Chosen(LICE_BLIT_USE_ALPHA | 1, 256), "sa-add");
  EXPECT_EQ(Chosen(LICE_BLIT_USE_ALPHA | 2, 256), "sa-dodge");
  EXPECT_EQ(Chosen(LICE_BLIT_USE_ALPHA | 3, 256), "sa-mul");
  EXPECT_EQ(Chosen(LICE_BLIT_USE_ALPHA | 4, 256), "sa-overlay");
  EXPECT_EQ(Chosen(LICE_BLIT_USE_ALPHA | 5, 256), "sa-hsv");
  EXPECT_EQ(Chosen(6, 256), "none");
  EXPECT_EQ(Chosen(0xF3, 256), "none");
  EXPECT_EQ(Chosen(LICE_BLIT_USE_ALPHA | 6, 256), "none");
}
}  // namespace
