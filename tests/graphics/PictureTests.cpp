// A whole editor drawn into its bitmap and compared with a committed reference picture: a
// background image loaded from the resource folder, bitmap controls of vertical and horizontal
// strips at several values, with source alpha, additive blend, a grayed control and a panel.
#include <filesystem>

#include <gtest/gtest.h>

#include "GraphicsTestSupport.h"
#include "IBitmapControl.h"
#include "IPanelControl.h"
#include "LiceTestSupport.h"

using namespace gfxtest;

namespace
{
void Put(LICE_IBitmap* b, int x, int y, LICE_pixel p)
{
  b->getBits()[y * b->getRowSpan() + x] = p;
}

// A diagonal gradient with a grid every 16 pixels.
std::unique_ptr<LICE_MemBitmap> Background(int w, int h)
{
  auto b = std::make_unique<LICE_MemBitmap>(w, h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
    {
      const bool grid = x % 16 == 0 || y % 16 == 0;
      Put(b.get(), x, y, grid ? LICE_RGBA(90, 90, 110, 255) : LICE_RGBA(30 + x / 2, 40 + y, 70, 255));
    }
  return b;
}

// n frames of w x h stacked (or side by side): frame k shows a bar filled to k / (n - 1), with a
// soft transparent edge so that source alpha shows.
std::unique_ptr<LICE_MemBitmap> BarStrip(int w, int h, int n, bool horizontal)
{
  auto b = std::make_unique<LICE_MemBitmap>(horizontal ? w * n : w, horizontal ? h : h * n);
  for (int k = 0; k < n; ++k)
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x)
      {
        const int level = (h - 2) * k / (n - 1);
        const bool border = x == 0 || y == 0 || x == w - 1 || y == h - 1;
        const bool lit = h - 1 - y <= level;
        LICE_pixel p = border ? LICE_RGBA(220, 220, 220, 255)
                              : (lit ? LICE_RGBA(40 + 200 * y / h, 220 - 150 * y / h, 60, 255)
                                     : LICE_RGBA(0, 0, 0, 96));
        Put(b.get(), horizontal ? k * w + x : x, horizontal ? y : k * h + y, p);
      }
  return b;
}
}  // namespace

TEST(Picture, EditorWithBackgroundAndBitmapControls)
{
  const std::string dir = lice_test::OutputDir() + "/picture-resources";
  std::filesystem::create_directories(dir);
  ASSERT_TRUE(lice_test::WritePng(dir + "/bg.png", Background(160, 100).get()));

  EditorPlug plug;
  RecordingGraphics& g = *new RecordingGraphics(&plug, 160, 100);  // the plug-in will own it
  g.resourceDir = dir;
  auto* vertical = BarStrip(16, 60, 9, false).release();
  auto* horizontal = BarStrip(12, 40, 5, true).release();
  IBitmap vStrip(vertical, vertical->getWidth(), vertical->getHeight(), 9);
  IBitmap hStrip(horizontal, horizontal->getWidth(), horizontal->getHeight(), 5, true);
  g.RetainBitmap(&vStrip);
  g.RetainBitmap(&hStrip);

  const IColor panelColor(160, 250, 240, 200);
  g.AttachControl(new IPanelControl(&plug, IRECT(110, 10, 150, 90), &panelColor));
  const int meter = g.AttachControl(new IBitmapControl(&plug, 10, 20, &vStrip));
  g.AttachControl(new IBitmapControl(&plug, 30, 20, 3, &vStrip));
  g.AttachControl(new IBitmapControl(&plug, 50, 20, 3, &vStrip, IChannelBlend::kBlendAdd));
  g.AttachControl(new IBitmapControl(&plug, 70, 40, 2, &hStrip));
  g.AttachControl(new IBitmapControl(&plug, 90, 40, 2, &hStrip, IChannelBlend::kBlendCopy));
  g.AttachControl(new IBitmapControl(&plug, 120, 30, -1, &hStrip));
  g.AttachBackground(9201, "img/bg.png");
  plug.AttachGraphics(&g);  // pushes every parameter, prepares the bitmaps, takes ownership
  ASSERT_EQ(g.NControls(), 8);
  EXPECT_EQ(*g.GetControl(0)->GetRECT(), IRECT(0, 0, 160, 100));
  EXPECT_EQ(*g.GetControl(2)->GetRECT(), IRECT(10, 20, 26, 80));
  EXPECT_EQ(*g.GetControl(5)->GetRECT(), IRECT(70, 40, 82, 80));

  g.SetControlFromPlug(meter + 1, 0.8);
  g.SetParameterFromPlug(3, 2.5, false);
  g.SetParameterFromPlug(2, 0.75, true);
  g.SetControlFromPlug(7, 0.5);
  g.GetControl(7)->GrayOut(true);
  IRECT r;
  ASSERT_TRUE(g.IsDirty(&r));
  EXPECT_EQ(r, IRECT(0, 0, 160, 100));
  g.Draw(&r);

  LICE_MemBitmap big;
  lice_test::Upscale(g.GetDrawBitmap(), 3, &big);
  lice_test::WritePng(lice_test::OutputDir() + "/editor_scene_x3.png", &big);
  EXPECT_TRUE(lice_test::MatchesReference(g.GetDrawBitmap(), "editor_scene"));
}
