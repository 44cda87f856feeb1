#include "LiceTestSupport.h"

#include <png.h>
#include <zlib.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <random>
#include <string>

using namespace lice_test;
namespace fs = std::filesystem;

namespace
{
std::string Slurp(const std::string& path)
{
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

// Builds an image of the given format with seeded sample values (extremes included).
PngImage MakeImage(int colorType, int bitDepth, int w = 13, int h = 7, uint32_t seed = 1)
{
  PngImage img;
  img.width = w;
  img.height = h;
  img.colorType = colorType;
  img.bitDepth = bitDepth;
  const int maxValue = (1 << bitDepth) - 1;
  std::mt19937 rng(seed);
  if (colorType == PNG_COLOR_TYPE_PALETTE)
  {
    const int entries = 1 << bitDepth;
    for (int i = 0; i < entries * 3; ++i) img.palette.push_back((uint8_t)rng());
  }
  const size_t n = (size_t)w * h * img.channels();
  for (size_t i = 0; i < n; ++i)
    img.samples.push_back(i < 2 ? (i ? maxValue : 0) : (uint16_t)(rng() % (maxValue + 1)));
  return img;
}

// What the decoder must produce for pixel i, worked out from the PNG rules.
LICE_pixel Expected(const PngImage& img, size_t i)
{
  const int c = img.channels();
  const uint16_t* s = img.samples.data() + i * c;
  // Grey below 8 bits is scaled to the full range; 16 bits keep their high byte.
  auto to8 = [&](uint16_t v) -> int
  {
    if (img.bitDepth == 16) return v >> 8;
    if (img.bitDepth == 8) return v;
    return v * 255 / ((1 << img.bitDepth) - 1);
  };
  switch (img.colorType)
  {
    case PNG_COLOR_TYPE_GRAY:
    {
      const int g = to8(s[0]);
      const bool clear = img.hasTrnsColor && s[0] == img.trnsGray;
      return LICE_RGBA(g, g, g, clear ? 0 : 255);
    }
    case PNG_COLOR_TYPE_GRAY_ALPHA:
      return LICE_RGBA(to8(s[0]), to8(s[0]), to8(s[0]), to8(s[1]));
    case PNG_COLOR_TYPE_RGB:
    {
      const bool clear =
          img.hasTrnsColor && s[0] == img.trnsRed && s[1] == img.trnsGreen && s[2] == img.trnsBlue;
      return LICE_RGBA(to8(s[0]), to8(s[1]), to8(s[2]), clear ? 0 : 255);
    }
    case PNG_COLOR_TYPE_RGB_ALPHA:
      return LICE_RGBA(to8(s[0]), to8(s[1]), to8(s[2]), to8(s[3]));
    default:
    {
      const uint8_t* p = &img.palette[s[0] * 3];
      const int a = s[0] < img.paletteAlpha.size() ? img.paletteAlpha[s[0]] : 255;
      return LICE_RGBA(p[0], p[1], p[2], a);
    }
  }
}

::testing::AssertionResult DecodedAsExpected(const PngImage& img, LICE_IBitmap* bmp)
{
  if (!bmp) return ::testing::AssertionFailure() << "no bitmap";
  if (bmp->getWidth() != img.width || bmp->getHeight() != img.height)
    return ::testing::AssertionFailure() << "size " << bmp->getWidth() << "x" << bmp->getHeight();
  for (int y = 0; y < img.height; ++y)
    for (int x = 0; x < img.width; ++x)
    {
      const LICE_pixel want = Expected(img, (size_t)y * img.width + x);
      if (PixelAt(bmp, x, y) != want)
        return ::testing::AssertionFailure() << "pixel (" << x << ", " << y << ") is " << std::hex
                                             << PixelAt(bmp, x, y) << ", expected " << want;
    }
  return ::testing::AssertionSuccess();
}

LICE_IBitmap* FromMemory(const std::vector<uint8_t>& bytes, LICE_IBitmap* bmp = nullptr)
{
  return LICE_LoadPNGFromMemory(bytes.data(), (int)bytes.size(), bmp);
}

struct Format
{
  int colorType, bitDepth;
  const char* name;
};
const Format kFormats[] = {
    {PNG_COLOR_TYPE_GRAY, 1, "grey 1"},
    {PNG_COLOR_TYPE_GRAY, 2, "grey 2"},
    {PNG_COLOR_TYPE_GRAY, 4, "grey 4"},
    {PNG_COLOR_TYPE_GRAY, 8, "grey 8"},
    {PNG_COLOR_TYPE_GRAY, 16, "grey 16"},
    {PNG_COLOR_TYPE_GRAY_ALPHA, 8, "grey+alpha 8"},
    {PNG_COLOR_TYPE_GRAY_ALPHA, 16, "grey+alpha 16"},
    {PNG_COLOR_TYPE_RGB, 8, "rgb 8"},
    {PNG_COLOR_TYPE_RGB, 16, "rgb 16"},
    {PNG_COLOR_TYPE_RGB_ALPHA, 8, "rgba 8"},
    {PNG_COLOR_TYPE_RGB_ALPHA, 16, "rgba 16"},
    {PNG_COLOR_TYPE_PALETTE, 1, "palette 1"},
    {PNG_COLOR_TYPE_PALETTE, 2, "palette 2"},
    {PNG_COLOR_TYPE_PALETTE, 4, "palette 4"},
    {PNG_COLOR_TYPE_PALETTE, 8, "palette 8"},
};
}  // namespace

TEST(PngDecode, EveryColourTypeAndBitDepthPlainAndInterlaced)
{
  for (const Format& f : kFormats)
    for (bool interlaced : {false, true})
    {
      // Interlaced images large enough that every one of the seven passes has pixels.
      PngImage img = interlaced ? MakeImage(f.colorType, f.bitDepth, 37, 23, 7)
                                : MakeImage(f.colorType, f.bitDepth);
      img.interlaced = interlaced;
      const std::vector<uint8_t> bytes = EncodePng(img);
      ASSERT_FALSE(bytes.empty()) << f.name;
      std::unique_ptr<LICE_IBitmap> bmp(FromMemory(bytes));
      EXPECT_TRUE(DecodedAsExpected(img, bmp.get())) << f.name << (interlaced ? " interlaced" : "");
    }
}

TEST(PngDecode, TransparencyChunkBecomesAlpha)
{
  for (int depth : {1, 2, 4, 8})
  {
    PngImage img = MakeImage(PNG_COLOR_TYPE_PALETTE, depth);
    img.paletteAlpha = {0};  // entry 0 clear, entries past the table opaque
    if (depth > 1) img.paletteAlpha = {0, 128, 255};
    std::unique_ptr<LICE_IBitmap> bmp(FromMemory(EncodePng(img)));
    EXPECT_TRUE(DecodedAsExpected(img, bmp.get())) << "palette " << depth;
  }
  for (int depth : {1, 2, 4, 8, 16})
  {
    PngImage img = MakeImage(PNG_COLOR_TYPE_GRAY, depth);
    img.hasTrnsColor = true;
    img.trnsGray = img.samples[1];  // the largest value
    std::unique_ptr<LICE_IBitmap> bmp(FromMemory(EncodePng(img)));
    EXPECT_TRUE(DecodedAsExpected(img, bmp.get())) << "grey " << depth;
    EXPECT_EQ(LICE_GETA(PixelAt(bmp.get(), 1, 0)), 0u);
  }
  for (int depth : {8, 16})
  {
    PngImage img = MakeImage(PNG_COLOR_TYPE_RGB, depth);
    img.hasTrnsColor = true;
    img.trnsRed = img.samples[3];
    img.trnsGreen = img.samples[4];
    img.trnsBlue = img.samples[5];
    std::unique_ptr<LICE_IBitmap> bmp(FromMemory(EncodePng(img)));
    EXPECT_TRUE(DecodedAsExpected(img, bmp.get())) << "rgb " << depth;
    EXPECT_EQ(LICE_GETA(PixelAt(bmp.get(), 1, 0)), 0u);
  }
}

TEST(PngDecode, SixteenBitChannelsKeepTheirHighByte)
{
  PngImage img = MakeImage(PNG_COLOR_TYPE_RGB_ALPHA, 16, 1, 1);
  img.samples = {0x12ff, 0x3480, 0x00ff, 0xfe01};
  std::unique_ptr<LICE_IBitmap> bmp(FromMemory(EncodePng(img)));
  ASSERT_TRUE(bmp);
  EXPECT_EQ(PixelAt(bmp.get(), 0, 0), 0xfe123400u);
}

TEST(PngDecode, TargetsOfEveryLayoutReceiveThePictureUpright)
{
  for (bool interlaced : {false, true})
  {
    PngImage img = MakeImage(PNG_COLOR_TYPE_RGB_ALPHA, 8, 9, 6, 3);
    img.interlaced = interlaced;
    const std::vector<uint8_t> bytes = EncodePng(img);
    TempDir dir;
    const std::string path = dir.file("image.png");
    ASSERT_TRUE(WriteFile(path, bytes));

    FlippedBitmap flippedMem, flippedFile;
    EXPECT_EQ(FromMemory(bytes, &flippedMem), &flippedMem);
    EXPECT_TRUE(DecodedAsExpected(img, &flippedMem)) << "memory, bottom-up";
    EXPECT_EQ(LICE_LoadPNG(path.c_str(), &flippedFile), &flippedFile);
    EXPECT_TRUE(DecodedAsExpected(img, &flippedFile)) << "file, bottom-up";

    GuardedBitmap guarded(3, 3, false, 20), guardedUp(4, 4, true, 11);
    EXPECT_EQ(FromMemory(bytes, &guarded), &guarded);
    EXPECT_TRUE(DecodedAsExpected(img, &guarded)) << "row span above the width";
    EXPECT_TRUE(guarded.guardsIntact());
    EXPECT_EQ(LICE_LoadPNG(path.c_str(), &guardedUp), &guardedUp);
    EXPECT_TRUE(DecodedAsExpected(img, &guardedUp)) << "padded, bottom-up";
    EXPECT_TRUE(guardedUp.guardsIntact());

    LICE_SysBitmap sys(40, 40);
    EXPECT_EQ(LICE_LoadPNG(path.c_str(), &sys), &sys);
    EXPECT_TRUE(DecodedAsExpected(img, &sys)) << "system bitmap";

    std::unique_ptr<LICE_IBitmap> made(LICE_LoadPNG(path.c_str()));
    EXPECT_TRUE(DecodedAsExpected(img, made.get())) << "new bitmap";
  }
}

TEST(PngDecode, ShortOrForeignBuffersAreRefused)
{
  const std::vector<uint8_t> bytes = EncodePng(MakeImage(PNG_COLOR_TYPE_GRAY, 8));
  EXPECT_EQ(LICE_LoadPNGFromMemory(bytes.data(), 7, nullptr), nullptr);
  EXPECT_EQ(LICE_LoadPNGFromMemory(bytes.data(), -1, nullptr), nullptr);
  EXPECT_EQ(LICE_LoadPNGFromMemory(nullptr, 100, nullptr), nullptr);
  std::vector<uint8_t> bad = bytes;
  bad[1] = 'Q';
  EXPECT_EQ(FromMemory(bad), nullptr);
  EXPECT_EQ(LICE_LoadPNG(nullptr), nullptr);
  EXPECT_EQ(LICE_LoadPNG("/nonexistent/brelix/image.png"), nullptr);
  EXPECT_EQ(LICE_LoadPNGFromResource(nullptr, "image.png"), nullptr);

  TempDir dir;
  ASSERT_TRUE(WriteFile(dir.file("text.png"), {'h', 'e', 'l', 'l', 'o', ' ', 'p', 'n', 'g', '\n'}));
  EXPECT_EQ(LICE_LoadPNG(dir.file("text.png").c_str()), nullptr);
  EXPECT_EQ(LICE_LoadPNG(dir.path().c_str()), nullptr) << "a folder";
}

// Every cut of a stored (uncompressed) image must fail: a reader that invented zero bytes would
// hand back an image whose last rows were never in the data.
TEST(PngDecode, TruncatedDataFailsWithoutLeaksInBothForms)
{
  PngImage img = MakeImage(PNG_COLOR_TYPE_RGB, 8, 16, 16, 5);
  img.compressionLevel = 0;
  const std::vector<uint8_t> bytes = EncodePng(img);
  TempDir dir;
  const std::string path = dir.file("cut.png");
  const size_t iend = 12;  // a missing end chunk alone is harmless
  for (size_t len = 8; len < bytes.size() - iend; len += 3)
  {
    const std::vector<uint8_t> cut(bytes.begin(), bytes.begin() + len);
    LICE_MemBitmap target(2, 2);
    EXPECT_EQ(FromMemory(cut, &target), nullptr) << "memory, " << len << " bytes";
    EXPECT_EQ(FromMemory(cut), nullptr) << "memory, new bitmap, " << len << " bytes";
    ASSERT_TRUE(WriteFile(path, cut));
    EXPECT_EQ(LICE_LoadPNG(path.c_str(), &target), nullptr) << "file, " << len << " bytes";
  }
  std::unique_ptr<LICE_IBitmap> whole(FromMemory(bytes));
  EXPECT_TRUE(DecodedAsExpected(img, whole.get()));
}

TEST(PngDecode, StreamErrorsMidImageFailWithoutLeaks)
{
  PngImage img = MakeImage(PNG_COLOR_TYPE_RGB_ALPHA, 8, 32, 32, 9);
  img.interlaced = true;
  const std::vector<uint8_t> bytes = EncodePng(img);
  // Damage the compressed data halfway through the image, then repair the chunk's checksum so
  // that libpng gets as far as inflating it.
  std::vector<uint8_t> bad = bytes;
  const size_t idat = 8 + 25;  // after the signature and the header chunk
  size_t len = 0;
  for (int i = 0; i < 4; ++i) len = len << 8 | bad[idat + i];
  ASSERT_EQ(std::memcmp(&bad[idat + 4], "IDAT", 4), 0);
  for (size_t i = idat + 8 + len / 2; i < idat + 8 + len; ++i) bad[i] ^= 0x5a;
  const uLong crc = crc32(0, &bad[idat + 4], (uInt)len + 4);
  for (int i = 0; i < 4; ++i) bad[idat + 8 + len + i] = (uint8_t)(crc >> (24 - 8 * i));
  LICE_MemBitmap target;
  EXPECT_EQ(FromMemory(bad, &target), nullptr);
  EXPECT_EQ(FromMemory(bad), nullptr);
  // A wrong checksum alone is an error too.
  bad = bytes;
  bad[idat + 8 + len] ^= 1;
  EXPECT_EQ(FromMemory(bad), nullptr);
}

TEST(PngDecode, SidesAbove16384AreRefusedBeforeAllocating)
{
  for (int w : {16384, 16385})
  {
    PngImage wide = MakeImage(PNG_COLOR_TYPE_GRAY, 1, w, 1);
    PngImage tall = MakeImage(PNG_COLOR_TYPE_GRAY, 1, 1, w);
    GuardedBitmap target(5, 5);
    LICE_IBitmap* got = FromMemory(EncodePng(wide), &target);
    std::unique_ptr<LICE_IBitmap> gotTall(FromMemory(EncodePng(tall)));
    if (w == 16384)
    {
      EXPECT_EQ(got, &target);
      EXPECT_TRUE(DecodedAsExpected(tall, gotTall.get()));
    }
    else
    {
      EXPECT_EQ(got, nullptr);
      EXPECT_EQ(target.getWidth(), 5) << "refused before the target was resized";
      EXPECT_EQ(gotTall, nullptr);
    }
  }
}

TEST(PngLoaderList, PngRecordHeadsTheListAndChecksTheExtension)
{
  ASSERT_NE(LICE_ImageLoader_list, nullptr);
  const LICE_ImageLoaderRec& rec = *LICE_ImageLoader_list;
  const char expected[] = "PNG files (*.PNG)\0*.PNG\0";  // and the literal's own terminator
  EXPECT_EQ(std::memcmp(rec.get_extlist(), expected, sizeof expected), 0);

  const std::vector<uint8_t> bytes = EncodePng(MakeImage(PNG_COLOR_TYPE_GRAY, 1));
  TempDir dir;
  for (const char* name : {"upper.PNG", "mixed.pNg", "image.png.bak", "noextension", "dir.png"})
    ASSERT_TRUE(WriteFile(dir.file(name), bytes));
  fs::remove(dir.file("dir.png"));
  fs::create_directory(dir.file("dir.png"));
  ASSERT_TRUE(WriteFile(dir.file("dir.png/png"), bytes));

  auto loads = [&](const char* name, bool check)
  {
    std::unique_ptr<LICE_IBitmap> bmp(rec.loadfunc(dir.file(name).c_str(), check, nullptr));
    return bmp != nullptr;
  };
  EXPECT_TRUE(loads("upper.PNG", true));
  EXPECT_TRUE(loads("mixed.pNg", true));
  EXPECT_FALSE(loads("image.png.bak", true));
  EXPECT_FALSE(loads("noextension", true));
  EXPECT_FALSE(loads("dir.png/png", true)) << "the extension ends at a path separator";
  EXPECT_TRUE(loads("image.png.bak", false));
  EXPECT_TRUE(loads("dir.png/png", false));
  EXPECT_EQ(rec.loadfunc(nullptr, true, nullptr), nullptr);
}

// The reference comparison reads pictures back exactly, whatever their alpha, and reports a
// mismatch with the actual and diff images written out.
TEST(PngTestSupport, ReferencesRoundTripExactlyAndMismatchesAreReported)
{
  GuardedBitmap picture(23, 9, true);
  picture.fillRandom(42);
  TempDir dir;
  ASSERT_TRUE(WritePng(dir.file("round.png"), &picture));
  LICE_MemBitmap back;
  ASSERT_TRUE(ReadPngReference(dir.file("round.png"), &back));
  ASSERT_EQ(back.getWidth(), 23);
  ASSERT_EQ(back.getHeight(), 9);
  for (int y = 0; y < 9; ++y)
    for (int x = 0; x < 23; ++x) ASSERT_EQ(PixelAt(&back, x, y), PixelAt(&picture, x, y));

  if (UpdatingReferences()) GTEST_SKIP() << "references are being written";
  const std::string name = "support-mismatch-check";
  EXPECT_FALSE(MatchesReference(&picture, name)) << "there is no such reference";
  EXPECT_TRUE(fs::exists(OutputDir() + "/" + name + ".actual.png"));
  EXPECT_TRUE(fs::exists(OutputDir() + "/" + name + ".diff.png"));
}

TEST(PngEncode, RoundTripsEveryLayoutAndIsDeterministic)
{
  TempDir dir;
  std::mt19937 rng(11);
  LICE_MemBitmap src(37, 23);
  for (int y = 0; y < 23; ++y)
    for (int x = 0; x < 37; ++x) src.getBits()[y * src.getRowSpan() + x] = static_cast<LICE_pixel>(rng());
  FlippedBitmap flipped;
  flipped.resize(37, 23);
  for (int y = 0; y < 23; ++y)
    for (int x = 0; x < 37; ++x) LICE_PutPixel(&flipped, x, y, LICE_GetPixel(&src, x, y), 1.0f, LICE_BLIT_MODE_COPY);

  for (bool alpha : {false, true})
    for (LICE_IBitmap* bm : {static_cast<LICE_IBitmap*>(&src), static_cast<LICE_IBitmap*>(&flipped)})
    {
      const std::string a = dir.file("a.png"), b = dir.file("b.png");
      ASSERT_TRUE(LICE_WritePNG(a.c_str(), bm, alpha));
      ASSERT_TRUE(LICE_WritePNG(b.c_str(), bm, alpha));
      EXPECT_EQ(Slurp(a), Slurp(b)) << "the same pixels give the same bytes";
      std::unique_ptr<LICE_IBitmap> back(LICE_LoadPNG(a.c_str()));
      ASSERT_TRUE(back);
      ASSERT_EQ(back->getWidth(), 37);
      ASSERT_EQ(back->getHeight(), 23);
      for (int y = 0; y < 23; ++y)
        for (int x = 0; x < 37; ++x)
        {
          const LICE_pixel want = LICE_GetPixel(&src, x, y) | (alpha ? 0 : LICE_RGBA(0, 0, 0, 255));
          ASSERT_EQ(LICE_GetPixel(back.get(), x, y), want) << x << "," << y << " alpha " << alpha;
        }
    }

  LICE_MemBitmap empty;
  EXPECT_FALSE(LICE_WritePNG(dir.file("e.png").c_str(), &empty));
  EXPECT_FALSE(fs::exists(dir.file("e.png")));
  EXPECT_FALSE(LICE_WritePNG((dir.file("missing") + "/x.png").c_str(), &src));
}
