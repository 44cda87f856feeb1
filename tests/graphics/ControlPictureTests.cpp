// One of each drawing control, several at more than one value, drawn into an editor and compared
// with a committed reference picture; and the same editor takes values from the audio side
// without allocating. Placeholder images are drawn here with the raster library. Text in a
// font is left out: it depends on the fonts installed.
#include <array>
#include <cmath>

#include <gtest/gtest.h>

#include "../AllocationCount.h"
#include "ControlTestSupport.h"
#include "IFaderControl.h"
#include "IKnobControls.h"
#include "ISwitchControls.h"
#include "ITextControls.h"
#include "LiceTestSupport.h"

using namespace gfxtest;

namespace
{
constexpr double kPi = IKnobControl::kPi;

LICE_MemBitmap* Keep(ControlEditor& e, int w, int h)
{
  e.strips.push_back(std::make_unique<LICE_MemBitmap>(w, h));
  LICE_Clear(e.strips.back().get(), 0);
  return e.strips.back().get();
}

// n stacked frames of a round knob whose pointer sweeps 270 degrees.
IBitmap KnobStrip(ControlEditor& e, int size, int n)
{
  LICE_MemBitmap* b = Keep(e, size, size * n);
  const float r = size * 0.5f - 1.5f;
  for (int k = 0; k < n; ++k)
  {
    const float cx = size * 0.5f, cy = k * size + size * 0.5f;
    LICE_FillCircle(b, cx, cy, r, LICE_RGBA(70, 80, 95, 255), 1.0f, 0, true);
    LICE_Circle(b, cx, cy, r, LICE_RGBA(160, 170, 185, 255), 1.0f, 0, true);
    const double a = (-0.75 + 1.5 * k / (n - 1)) * kPi;
    LICE_Line(b, static_cast<int>(cx), static_cast<int>(cy), static_cast<int>(cx + std::sin(a) * (r - 2)),
              static_cast<int>(cy - std::cos(a) * (r - 2)), LICE_RGBA(255, 170, 40, 255), 1.0f, 0, true);
  }
  return IBitmap(b, size, size * n, n);
}

// n stacked frames of a lamp: dark when off, brighter with each further frame.
IBitmap LampStrip(ControlEditor& e, int w, int h, int n)
{
  LICE_MemBitmap* b = Keep(e, w, h * n);
  for (int k = 0; k < n; ++k)
  {
    const int level = n > 1 ? 40 + 200 * k / (n - 1) : 240;
    LICE_FillRect(b, 1, k * h + 1, w - 2, h - 2, LICE_RGBA(level, level / 3, 30, 255), 1.0f, 0);
    LICE_DrawRect(b, 0, k * h, w - 1, h - 1, LICE_RGBA(200, 200, 200, 255), 1.0f, 0);
  }
  return IBitmap(b, w, h * n, n);
}

// A bitmap font of 95 characters, 5 x 7: each shows its code's bits as a column of dots.
IBitmap DotFont(ControlEditor& e)
{
  LICE_MemBitmap* b = Keep(e, 5, 7 * 95);
  for (int c = 32; c < 127; ++c)
    for (int bit = 0; bit < 7; ++bit)
      if ((c >> bit) & 1) LICE_FillRect(b, 1, (c - 32) * 7 + 6 - bit, 3, 1, LICE_RGBA(120, 230, 140, 255), 1.0f, 0);
  return IBitmap(b, 5, 7 * 95, 95);
}

// The scene: knobs of every kind, faders, switches, radio buttons and bitmap text.
void BuildScene(ControlEditor& e)
{
  const IColor panel(255, 28, 32, 40);
  e.g.AttachPanelBackground(&panel);
  IBitmap knob = KnobStrip(e, 24, 16);
  const double knobValues[] = {0.0, 0.5, 1.0};
  for (int i = 0; i < 3; ++i)
    e.Add(new IKnobMultiControl(&e.plug, 8 + 30 * i, 8, 3, &knob))->SetValue(knobValues[i]);

  const IColor white(255, 240, 240, 240);
  e.Add(new IKnobLineControl(&e.plug, IRECT(100, 8, 124, 32), 3, &white, 3.0))->SetValue(0.25);
  e.Add(new IKnobLineControl(&e.plug, IRECT(130, 8, 154, 32), 3, &white, 0.0, 9.0))->SetValue(0.9);

  LICE_MemBitmap* pointer = Keep(e, 24, 24);
  LICE_FillCircle(pointer, 12, 12, 10, LICE_RGBA(90, 60, 120, 255), 1.0f, 0, true);
  LICE_FillRect(pointer, 11, 3, 3, 8, LICE_RGBA(250, 250, 250, 255), 1.0f, 0);
  IBitmap rotater(pointer, 24, 24);
  e.Add(new IKnobRotaterControl(&e.plug, 160, 8, 3, &rotater))->SetValue(0.75);

  LICE_MemBitmap* base = Keep(e, 24, 24);
  LICE_Clear(base, LICE_RGBA(40, 150, 220, 255));
  LICE_MemBitmap* mask = Keep(e, 24, 24);
  LICE_FillConvexPolygon(mask, std::array<int, 3>{12, 6, 18}.data(), std::array<int, 3>{0, 12, 12}.data(), 3,
                         LICE_RGBA(0, 0, 0, 255), 1.0f, 0);
  LICE_FillCircle(mask, 12, 12, 5, LICE_RGBA(0, 0, 0, 255), 1.0f, 0, true);
  LICE_MemBitmap* top = Keep(e, 24, 24);
  LICE_Circle(top, 12, 12, 10.5f, LICE_RGBA(230, 230, 230, 255), 1.0f, 0, true);
  IBitmap baseB(base, 24, 24), maskB(mask, 24, 24), topB(top, 24, 24);
  e.Add(new IKnobRotatingMaskControl(&e.plug, 192, 8, 3, &baseB, &maskB, &topB))->SetValue(0.3);

  IBitmap handle = LampStrip(e, 12, 8, 1);
  e.Add(new IFaderControl(&e.plug, 10, 44, 70, 3, &handle))->SetValue(0.7);
  IBitmap wideHandle = LampStrip(e, 8, 12, 1);
  e.Add(new IFaderControl(&e.plug, 30, 44, 80, 3, &wideHandle, kHorizontal))->SetValue(0.2);

  IBitmap lamp2 = LampStrip(e, 14, 14, 2), lamp3 = LampStrip(e, 14, 14, 3), lamp4 = LampStrip(e, 14, 14, 4);
  e.Add(new ISwitchControl(&e.plug, 30, 64, 0, &lamp2))->SetValue(1.0);
  e.Add(new ISwitchControl(&e.plug, 48, 64, 2, &lamp4))->SetValue(1.0 / 3);
  e.Add(new ISwitchPopUpControl(&e.plug, 66, 64, 1, &lamp4))->SetValue(2.0 / 3);
  e.Add(new ISwitchFramesControl(&e.plug, 84, 64, 1, &lamp3))->SetValue(0.5);
  e.Add(new IContactControl(&e.plug, 102, 64, 0, &lamp2));
  e.Add(new IInvisibleSwitchControl(&e.plug, IRECT(120, 64, 134, 78), 0))->SetValue(1.0);
  e.Add(new IBitmapOverlayControl(&e.plug, 138, 64, 0, &lamp2, IRECT(0, 0, 4, 4)))->SetValue(1.0);
  e.Add(new IBitmapOverlayControl(&e.plug, 156, 64, 0, &lamp2, IRECT(0, 0, 4, 4)))->SetValue(0.0);

  IBitmap radio = LampStrip(e, 10, 10, 2);
  e.Add(new IRadioButtonsControl(&e.plug, IRECT(180, 44, 190, 100), 1, 3, &radio))->SetValue(0.5);
  e.Add(new IRadioButtonsControl(&e.plug, IRECT(30, 88, 110, 98), 1, 4, &radio, kHorizontal))->SetValue(1.0);
  e.Add(new IRadioButtonsControl(&e.plug, IRECT(30, 102, 110, 112), 1, 4, &radio, kHorizontal, true))
    ->SetValue(1.0);

  IBitmap font = DotFont(e);
  const IText leftAligned(10, COLOR_BLACK, nullptr, IText::kStyleNormal, IText::kAlignLeft);
  e.Add(new IBitmapTextControl(&e.plug, IRECT(130, 84, 170, 120), &font, "Brelix 1.0", &leftAligned, 5, 7, 1, true));
  e.Add(new IBitmapTextControl(&e.plug, IRECT(8, 120, 230, 134), &font, "GAIN +4.50 dB", nullptr, 5, 7, 1));
}
}  // namespace

TEST(ControlPicture, OneOfEachControlAtSeveralValues)
{
  ControlEditor e(240, 140);
  BuildScene(e);
  IRECT r(0, 0, 240, 140);
  e.g.Draw(&r);
  LICE_MemBitmap big;
  lice_test::Upscale(e.g.GetDrawBitmap(), 3, &big);
  lice_test::WritePng(lice_test::OutputDir() + "/controls_x3.png", &big);
  EXPECT_TRUE(lice_test::MatchesReference(e.g.GetDrawBitmap(), "controls"));
}

TEST(ControlHandOver, ValuesFromTheAudioSideAllocateNothing)
{
  if (!alloc_count::Available()) GTEST_SKIP() << "needs a sanitizer build to see allocations";
  ControlEditor e(240, 140);
  BuildScene(e);
  const IText style;
  auto* caption = e.Add(new ICaptionControl(&e.plug, IRECT(0, 0, 40, 10), 3, &style));
  e.Add(new ITextControl(&e.plug, IRECT(0, 0, 40, 10), &style, "text"));
  ASSERT_TRUE(alloc_count::Start());
  for (int step = 0; step < 20; ++step)
  {
    for (int p = 0; p < e.plug.NParams(); ++p) e.g.SetParameterFromPlug(p, step / 19.0, true);
    for (int c = 0; c < e.g.NControls(); ++c) e.g.SetControlFromPlug(c, 1.0 - step / 19.0);
  }
  EXPECT_EQ(alloc_count::Stop(), 0);
  // The user-interface pass applies them; the caption formats its text only then.
  e.plug.GetParam(3)->SetValue(10.0);
  IRECT r;
  EXPECT_TRUE(e.g.IsDirty(&r));
  e.g.Draw(&r);
  EXPECT_EQ(caption->GetValue(), 0.0);
  EXPECT_STREQ(caption->GetTextString(), "10.00 dB");
}
