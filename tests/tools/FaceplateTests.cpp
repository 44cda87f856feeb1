// The editor's images: the committed files are the generator's current output, they fit the
// editor's layout, and each printed scale mark sits where the frame shown for its value points.
#include "IBitmapControl.h"
#include "Images.h"
#include "PanelLayout.h"

#include <gtest/gtest.h>

#include <stdlib.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <memory>
#include <string>

using namespace faceplate;
namespace fs = std::filesystem;

namespace
{
constexpr double kPi = 3.14159265358979323846;

std::unique_ptr<LICE_IBitmap> LoadCommitted(int image)
{
  const std::string path = std::string(BRELIX_IMAGE_DIR) + "/" + Place(image).file;
  return std::unique_ptr<LICE_IBitmap>(LICE_LoadPNG(path.c_str()));
}

// Position, frame count and size limit of each image's control, as the effect's editor places
// them (its control list), independent of the generator's own table.
struct EditorSlot
{
  int image, id, frames, x, y, maxW;
};
const EditorSlot kEditor[] = {
  {kGainImage, 101, 61, 217, 31, 160},  {kBackgroundImage, 102, 1, 0, 0, 1129},
  {kModelImage, 103, 11, 27, 37, 190},  {kOutImage, 104, 61, 406, 34, 189},
  {kBypassImage, 105, 2, 1011, 56, 118}, {kHpfImage, 106, 4, 595, 34, 193},
  {kMeterImage, 107, 61, 377, 44, 29},   {kLpfImage, 108, 2, 788, 30, 223},
  {kLinkImage, 109, 2, 2000, 2000, 1 << 20},
};

double Brightness(LICE_pixel p) { return LICE_GETA(p) < 255 ? 0.0 : (LICE_GETR(p) + LICE_GETG(p) + LICE_GETB(p)) / 3.0; }

// Direction (pointer angle) of the white index line of a knob frame: the mean direction of its
// bright pixels around the pointer's centre (on the skirt only, for the knobs with a metal cap).
double PointerAngle(LICE_IBitmap* strip, int image, int frame)
{
  const ImagePlace& p = Place(image);
  const double cx = FrameCentreX(p), cy = FrameCentreY(p);
  const double inner = image == kGainImage || image == kOutImage ? 23.0 : 12.0;
  double sx = 0, sy = 0;
  for (int y = 0; y < p.frameH; ++y)
    for (int x = 0; x < p.frameW; ++x)
    {
      const double dx = x + 0.5 - cx, dy = y + 0.5 - cy, r = std::hypot(dx, dy);
      const double b = Brightness(LICE_GetPixel(strip, x, (frame - 1) * p.frameH + y));
      if (r < inner || r > 28.0 || b < 200.0) continue;
      sx += b * dx / r;
      sy += b * dy / r;
    }
  return std::atan2(sx, -sy);
}

// Angle of the printed tick nearest to `expected` on the faceplate: the brightness-weighted mean
// angle along the tick ring within 4 degrees either side.
double TickAngle(LICE_IBitmap* bg, int image, double expected)
{
  const ImagePlace& p = Place(image);
  const double r = TickRadius(image) + 3.5, step = 0.05 * kPi / 180.0, half = 4.0 * kPi / 180.0;
  double lowest = 1e9;
  for (double a = expected - half; a <= expected + half; a += step)
    lowest = std::min(lowest, Brightness(LICE_GetPixel(bg, (int)(PanelCentreX(p) + std::sin(a) * r),
                                                       (int)(PanelCentreY(p) - std::cos(a) * r))));
  double sum = 0, weight = 0;
  for (double a = expected - half; a <= expected + half; a += step)
  {
    const double w = Brightness(LICE_GetPixel(bg, (int)(PanelCentreX(p) + std::sin(a) * r),
                                             (int)(PanelCentreY(p) - std::cos(a) * r))) - lowest;
    sum += w * a;
    weight += w;
  }
  return weight > 0 ? sum / weight : 1e9;
}

double Degrees(double radians) { return radians * 180.0 / kPi; }

// Pixels of a frame in a bright, saturated colour (a lit lamp or segment; not chrome or paint).
int GlowingPixels(LICE_IBitmap* strip, const ImagePlace& p, int frame)
{
  int n = 0;
  for (int y = 0; y < p.frameH; ++y)
    for (int x = 0; x < p.frameW; ++x)
    {
      const LICE_pixel px = LICE_GetPixel(strip, x, (frame - 1) * p.frameH + y);
      const int hi = std::max({LICE_GETR(px), LICE_GETG(px), LICE_GETB(px)});
      const int lo = std::min({LICE_GETR(px), LICE_GETG(px), LICE_GETB(px)});
      n += LICE_GETA(px) == 255 && hi > 160 && hi - lo > 90;
    }
  return n;
}
}  // namespace

TEST(Faceplate, CommittedImagesAreTheGeneratorsOutput)
{
  // fontconfig would quietly stand in another face for a missing one.
  for (const char* font : {"DejaVuSans-Bold.ttf", "DejaVuSansCondensed-Bold.ttf", "DejaVuSerif-Bold.ttf"})
    ASSERT_TRUE(fs::exists(fs::path("/usr/share/fonts/truetype/dejavu") / font))
      << font << " is missing: install fonts-dejavu-core and fonts-dejavu-extra";
  std::string pattern = (fs::temp_directory_path() / "brelix-faceplate-XXXXXX").string();
  ASSERT_NE(mkdtemp(pattern.data()), nullptr);
  const fs::path dir = pattern;
  std::string error;
  ASSERT_TRUE(WriteImages(dir.string(), &error)) << error;
  for (int i = 0; i < kImageCount; ++i)
  {
    SCOPED_TRACE(Place(i).file);
    std::unique_ptr<LICE_IBitmap> fresh(LICE_LoadPNG((dir / Place(i).file).c_str()));
    std::unique_ptr<LICE_IBitmap> committed = LoadCommitted(i);
    ASSERT_TRUE(fresh && committed);
    ASSERT_EQ(fresh->getWidth(), committed->getWidth());
    ASSERT_EQ(fresh->getHeight(), committed->getHeight());
    int differing = 0, firstX = -1, firstY = -1;
    for (int y = 0; y < fresh->getHeight(); ++y)
      for (int x = 0; x < fresh->getWidth(); ++x)
        if (LICE_GetPixel(fresh.get(), x, y) != LICE_GetPixel(committed.get(), x, y) && differing++ == 0)
          firstX = x, firstY = y;
    EXPECT_EQ(differing, 0) << "first at (" << firstX << ", " << firstY
                            << "); regenerate with: cmake --build build --target brelix_images";
  }
  fs::remove_all(dir);
}

TEST(Faceplate, ImagesFitTheEditorLayout)
{
  IRECT rects[kImageCount];
  for (const EditorSlot& slot : kEditor)
  {
    const ImagePlace& p = Place(slot.image);
    SCOPED_TRACE(p.file);
    EXPECT_EQ(p.id, slot.id);
    EXPECT_EQ(p.frames, slot.frames);
    EXPECT_EQ(p.x, slot.x);
    EXPECT_EQ(p.y, slot.y);
    std::unique_ptr<LICE_IBitmap> bmp = LoadCommitted(slot.image);
    ASSERT_TRUE(bmp);
    EXPECT_EQ(bmp->getWidth(), p.frameW);
    EXPECT_EQ(bmp->getHeight(), p.frameH * slot.frames);  // equal frames, stacked
    EXPECT_LE(bmp->getWidth(), slot.maxW);
    rects[slot.image] = IRECT(slot.x, slot.y, slot.x + bmp->getWidth(), slot.y + bmp->getHeight() / slot.frames);
  }
  EXPECT_EQ(rects[kBackgroundImage].W(), kPanelW);
  EXPECT_EQ(rects[kBackgroundImage].H(), kPanelH);
  for (int a = 0; a < kImageCount; ++a)
  {
    if (a == kBackgroundImage || a == kLinkImage) continue;
    EXPECT_LE(rects[a].R, kPanelW) << Place(a).file;
    EXPECT_LE(rects[a].B, kPanelH) << Place(a).file;
    for (int b = a + 1; b < kImageCount; ++b)
    {
      if (b == kBackgroundImage || b == kLinkImage) continue;
      const bool apart = rects[a].R <= rects[b].L || rects[b].R <= rects[a].L || rects[a].B <= rects[b].T ||
                         rects[b].B <= rects[a].T;
      EXPECT_TRUE(apart) << Place(a).file << " overlaps " << Place(b).file;
    }
  }
}

TEST(Faceplate, EveryKnobMarkMeetsThePointerOfTheFrameShownForIt)
{
  std::unique_ptr<LICE_IBitmap> bg = LoadCommitted(kBackgroundImage);
  ASSERT_TRUE(bg);
  const struct
  {
    int image;
    std::vector<ScaleMark> marks;
  } scales[] = {{kGainImage, GainScale()}, {kOutImage, OutScale()}, {kModelImage, ModelScale()}};
  for (const auto& scale : scales)
  {
    std::unique_ptr<LICE_IBitmap> strip = LoadCommitted(scale.image);
    ASSERT_TRUE(strip);
    for (const ScaleMark& m : scale.marks)
    {
      SCOPED_TRACE(std::string(Place(scale.image).file) + " mark " + std::to_string(m.value));
      const int frame = IBitmapControl::FrameFromValue(Place(scale.image).frames, m.value);
      const double pointer = PointerAngle(strip.get(), scale.image, frame);
      EXPECT_NEAR(Degrees(TickAngle(bg.get(), scale.image, pointer)), Degrees(pointer), 1.0);
      EXPECT_NEAR(Degrees(pointer), Degrees(KnobAngle(m.value)), 2.5);  // within half a frame
    }
  }
  // GAIN's square law: 10 dB is at half travel, straight up.
  EXPECT_NEAR(Degrees(KnobAngle(GainScale()[3].value)), 0.0, 1e-9);
  EXPECT_EQ(GainScale()[3].label, "10");
}

TEST(Faceplate, SelectorPositionsMeetTheirLegends)
{
  std::unique_ptr<LICE_IBitmap> bg = LoadCommitted(kBackgroundImage), strip = LoadCommitted(kHpfImage);
  ASSERT_TRUE(bg && strip);
  for (int position = 0; position < 4; ++position)
  {
    // A click steps the switch by a third; the frame shown for that value points at its legend.
    const int frame = IBitmapControl::FrameFromValue(4, position / 3.0);
    EXPECT_EQ(frame, position + 1);
    const double pointer = PointerAngle(strip.get(), kHpfImage, frame);
    EXPECT_NEAR(Degrees(pointer), Degrees(SelectorAngle(position, 4)), 1.0);
    EXPECT_NEAR(Degrees(TickAngle(bg.get(), kHpfImage, pointer)), Degrees(pointer), 1.0);
  }
}

TEST(Faceplate, SwitchAndMeterFramesShowTheirState)
{
  // BYPASS and LINK lamps: the second frame is lit.
  for (int image : {kBypassImage, kLinkImage})
  {
    std::unique_ptr<LICE_IBitmap> strip = LoadCommitted(image);
    ASSERT_TRUE(strip);
    EXPECT_EQ(GlowingPixels(strip.get(), Place(image), 1), 0) << Place(image).file;
    EXPECT_GT(GlowingPixels(strip.get(), Place(image), 2), 100) << Place(image).file;
  }
  // LPF toggle: lever down when off, up when on (chrome above or below the bushing).
  std::unique_ptr<LICE_IBitmap> lpf = LoadCommitted(kLpfImage);
  ASSERT_TRUE(lpf);
  const ImagePlace& lp = Place(kLpfImage);
  auto leverBelow = [&](int frame) {
    int above = 0, below = 0;
    for (int y = 0; y < lp.frameH; ++y)
      for (int x = 0; x < lp.frameW; ++x)
      {
        const bool opaque = LICE_GETA(LICE_GetPixel(lpf.get(), x, (frame - 1) * lp.frameH + y)) > 200;
        if (opaque && y + 0.5 < FrameCentreY(lp) - 18) ++above;
        if (opaque && y + 0.5 > FrameCentreY(lp) + 18) ++below;
      }
    return below > above;
  };
  EXPECT_TRUE(leverBelow(1));
  EXPECT_FALSE(leverBelow(2));
  // Meter: no segment lit at frame 1, brighter with every step up, every segment lit at the end.
  std::unique_ptr<LICE_IBitmap> vu = LoadCommitted(kMeterImage);
  ASSERT_TRUE(vu);
  const ImagePlace& mp = Place(kMeterImage);
  EXPECT_EQ(GlowingPixels(vu.get(), mp, 1), 0);
  double previous = -1;
  for (int frame = 1; frame <= mp.frames; ++frame)
  {
    double light = 0;
    for (int y = 0; y < mp.frameH; ++y)
      for (int x = 0; x < mp.frameW; ++x) light += Brightness(LICE_GetPixel(vu.get(), x, (frame - 1) * mp.frameH + y));
    EXPECT_GT(light, previous) << "frame " << frame;
    previous = light;
  }
  // Lit, a segment is bright over most of its width: 14 segments of 16 x 5 pixels.
  EXPECT_GT(GlowingPixels(vu.get(), mp, mp.frames), 14 * 16 * 3);
}
