// The process-wide bitmap cache: loading by id from the resource folder, sharing, retaining,
// releasing, scaling and cropping.
#include <filesystem>

#include <gtest/gtest.h>

#include "BitmapStorage.h"
#include "GraphicsTestSupport.h"
#include "LiceTestSupport.h"

using namespace gfxtest;

namespace
{
// A resource folder holding one 8 x 12 image "strip.png" of four frames stacked.
std::string MakeResourceDir()
{
  const std::string dir = lice_test::OutputDir() + "/resources";
  std::filesystem::create_directories(dir);
  auto strip = MakeCoordinateBitmap(8, 12);
  EXPECT_TRUE(lice_test::WritePng(dir + "/strip.png", strip.get()));
  return dir;
}
}  // namespace

TEST(Resources, LoadedBitmapsAreSharedAndSurviveRelease)
{
  const std::string dir = MakeResourceDir();
  EditorPlug plug;
  RecordingGraphics a(&plug, 50, 50), b(&plug, 50, 50);
  a.resourceDir = dir;
  b.resourceDir = dir + "/";
  // Only the last path component names the file.
  IBitmap first = a.LoadIBitmap(9101, "resources/img/strip.png", 4);
  ASSERT_NE(first.mData, nullptr);
  EXPECT_EQ(first.W, 8);
  EXPECT_EQ(first.H, 12);
  EXPECT_EQ(first.N, 4);
  EXPECT_EQ(first.FrameH(), 3);
  IBitmap second = b.LoadIBitmap(9101, "strip.png", 2, true);
  EXPECT_EQ(second.mData, first.mData);  // one raster bitmap per id
  EXPECT_EQ(second.N, 2);
  EXPECT_TRUE(second.mFramesAreHorizontal);

  // Releasing a shared bitmap would leave the other editor pointing at freed memory: it stays.
  a.ReleaseBitmap(&first);
  IBitmap again = b.LoadIBitmap(9101, "strip.png");
  EXPECT_EQ(again.mData, second.mData);
  EXPECT_EQ(static_cast<LICE_IBitmap*>(again.mData)->getWidth(), 8);
}

TEST(Resources, MissingImagesGiveAnEmptyBitmap)
{
  EditorPlug plug;
  RecordingGraphics g(&plug, 50, 50);
  g.resourceDir = lice_test::OutputDir();
  const int stored = BitmapStorage::Instance().Size();
  IBitmap missing = g.LoadIBitmap(9102, "no-such-file.png", 0);
  EXPECT_EQ(missing.mData, nullptr);
  EXPECT_EQ(missing.N, 1);  // frame counts below 1 count as 1
  EXPECT_EQ(g.LoadIBitmap(9103, nullptr).mData, nullptr);
  EXPECT_EQ(g.LoadIBitmap(9104, "").mData, nullptr);
  EXPECT_EQ(BitmapStorage::Instance().Size(), stored);  // nothing stored for a failure

  IBitmap scaled = g.ScaleBitmap(&missing, 10, 10);
  IRECT r(0, 0, 2, 2);
  IBitmap cropped = g.CropBitmap(&missing, &r);
  EXPECT_EQ(scaled.mData, nullptr);
  EXPECT_EQ(cropped.mData, nullptr);
}

TEST(Resources, ScaledAndCroppedBitmapsKeepTheirFrameLayout)
{
  EditorPlug plug;
  RecordingGraphics g(&plug, 50, 50);
  auto* src = MakeCoordinateBitmap(40, 10).release();
  IBitmap strip(src, 40, 10, 4, true);
  g.RetainBitmap(&strip);
  g.RetainBitmap(&strip);  // stored once: never deleted twice
  const int stored = BitmapStorage::Instance().Size();

  IBitmap scaled = g.ScaleBitmap(&strip, 80, 20);
  ASSERT_NE(scaled.mData, nullptr);
  EXPECT_EQ(scaled.W, 80);
  EXPECT_EQ(scaled.H, 20);
  EXPECT_EQ(scaled.N, 4);
  EXPECT_TRUE(scaled.mFramesAreHorizontal);
  EXPECT_EQ(scaled.FrameW(), 20);

  IRECT area(10, 2, 30, 8);
  IBitmap cropped = g.CropBitmap(&strip, &area);
  ASSERT_NE(cropped.mData, nullptr);
  EXPECT_EQ(cropped.W, 20);
  EXPECT_EQ(cropped.H, 6);
  EXPECT_TRUE(cropped.mFramesAreHorizontal);
  const LICE_pixel p = LICE_GetPixel(static_cast<LICE_IBitmap*>(cropped.mData), 0, 0);
  EXPECT_EQ(LICE_GETR(p), 10u);
  EXPECT_EQ(LICE_GETG(p), 2u);
  EXPECT_EQ(BitmapStorage::Instance().Size(), stored + 2);

  // Private bitmaps are deleted by release (ASan checks there is no double free).
  g.ReleaseBitmap(&scaled);
  g.ReleaseBitmap(&cropped);
  g.ReleaseBitmap(&strip);
  EXPECT_EQ(scaled.mData, nullptr);
  EXPECT_EQ(BitmapStorage::Instance().Size(), stored - 1);
}
