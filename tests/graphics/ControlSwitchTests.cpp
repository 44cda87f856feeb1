// Switches and radio buttons: stepping and wrapping, click areas, the popup, contact release,
// overlay target swapping, radio layouts in all four directions and the edits each press sends.
#include <cmath>

#include <gtest/gtest.h>

#include "ControlTestSupport.h"
#include "ISwitchControls.h"

using namespace gfxtest;

namespace
{
// The values a switch takes over presses at (x, y) through the editor.
std::vector<double> Presses(ControlEditor& e, int x, int y, int n)
{
  std::vector<double> values;
  for (int i = 0; i < n; ++i)
  {
    e.g.OnMouseDown(x, y, &e.left);
    e.g.OnMouseUp(x, y, &e.left);
    values.push_back(e.g.GetControl(e.g.GetMouseControlIdx(x, y))->GetValue());
  }
  return values;
}
}  // namespace

TEST(Switch, StepsThroughItsFramesAndWraps)
{
  ControlEditor e;
  IBitmap two(nullptr, 10, 20, 2), three(nullptr, 10, 30, 3), four(nullptr, 10, 40, 4), one(nullptr, 10, 10, 1);
  e.Add(new ISwitchControl(&e.plug, 0, 0, 0, &two));
  e.Add(new ISwitchControl(&e.plug, 20, 0, 1, &three));
  e.Add(new ISwitchControl(&e.plug, 40, 0, 2, &four));
  e.Add(new ISwitchControl(&e.plug, 60, 0, 3, &one));
  EXPECT_EQ(Presses(e, 5, 5, 3), (std::vector<double>{1.0, 0.0, 1.0}));
  EXPECT_EQ(Presses(e, 25, 5, 4), (std::vector<double>{0.5, 1.0, 0.0, 0.5}));
  const std::vector<double> fours = Presses(e, 45, 5, 5);
  EXPECT_NEAR(fours[0], 1.0 / 3, 1e-12);
  EXPECT_NEAR(fours[1], 2.0 / 3, 1e-12);
  EXPECT_NEAR(fours[2], 1.0, 1e-12);  // 1 / 3 three times stays within 1.001
  EXPECT_EQ(fours[3], 0.0);
  EXPECT_EQ(Presses(e, 65, 5, 3), (std::vector<double>{1.0, 0.0, 1.0}));
  // Every press is one gesture of its own with one perform.
  EXPECT_EQ(e.plug.begins.size(), 15u);
  EXPECT_EQ(e.plug.ends, e.plug.begins);
  EXPECT_EQ(e.plug.informs.size(), 15u);

  // A double-click is one more press; the right button presses too (outside VST3).
  auto* sw = static_cast<ISwitchControl*>(e.g.GetControl(0));
  sw->SetValue(0.0);
  e.g.OnMouseDblClick(5, 5, &e.left);
  EXPECT_EQ(sw->GetValue(), 1.0);
  sw->OnMouseDown(5, 5, &e.right);
  EXPECT_EQ(sw->GetValue(), 0.0);
}

TEST(Switch, DrawsTheFrameOfItsValue)
{
  ControlEditor e;
  IBitmap strip = e.Strip(6, 5, 4);
  auto* sw = e.Add(new ISwitchControl(&e.plug, 10, 10, 2, &strip));
  EXPECT_EQ(*sw->GetRECT(), IRECT(10, 10, 16, 15));
  for (int k = 0; k < 4; ++k)
  {
    sw->SetValue(k / 3.0);
    e.DrawAll();
    EXPECT_EQ(e.SourceRow(10, 10), 5 * k);
  }
}

TEST(SwitchPopUp, PressOpensTheDisplayTextMenu)
{
  ControlEditor e;
  IBitmap strip(nullptr, 10, 40, 4);
  auto* sw = e.Add(new ISwitchPopUpControl(&e.plug, 0, 0, 1, &strip));
  EXPECT_FALSE(sw->IsPromptDisabled());
  e.g.menuChoice = 2;
  e.g.OnMouseDown(5, 5, &e.left);
  e.g.OnMouseUp(5, 5, &e.left);
  ASSERT_EQ(e.g.menus.size(), 1u);
  EXPECT_EQ(e.g.menus[0].texts, (std::vector<std::string>{"A", "B", "C"}));
  EXPECT_EQ(e.g.menus[0].area, *sw->GetRECT());
  EXPECT_DOUBLE_EQ(sw->GetValue(), e.plug.GetParam(1)->GetNormalized(2));
  EXPECT_DOUBLE_EQ(e.plug.GetParam(1)->Value(), 2.0);
  // A dismissed menu leaves the value; the press still ends its gesture.
  e.g.menuChoice = -1;
  e.g.OnMouseDblClick(5, 5, &e.left);
  EXPECT_EQ(e.g.menus.size(), 2u);
  EXPECT_DOUBLE_EQ(e.plug.GetParam(1)->Value(), 2.0);
  EXPECT_EQ(e.plug.ends, e.plug.begins);
}

TEST(SwitchFrames, ClickAreasSelectTheirFrame)
{
  ControlEditor e;
  IBitmap stacked(nullptr, 20, 160, 4);  // frames of 20 x 40
  auto* sw = e.Add(new ISwitchFramesControl(&e.plug, 0, 0, 3, &stacked));
  EXPECT_FALSE(sw->IsPromptDisabled());
  ASSERT_EQ(sw->NAreas(), 4);
  EXPECT_EQ(*sw->GetArea(0), IRECT(0, 0, 20, 10));
  EXPECT_EQ(*sw->GetArea(3), IRECT(0, 30, 20, 40));
  EXPECT_EQ(sw->GetArea(4), nullptr);
  e.g.OnMouseDown(10, 25, &e.left);
  EXPECT_NEAR(sw->GetValue(), 2.0 / 3, 1e-12);
  e.g.OnMouseDown(10, 39, &e.left);
  EXPECT_EQ(sw->GetValue(), 1.0);
  e.g.OnMouseDown(10, 0, &e.left);
  EXPECT_EQ(sw->GetValue(), 0.0);
  e.g.OnMouseUp(10, 0, &e.left);

  // Side by side, over a width of 30 cut in 4: steps of 7.5 pixels.
  IBitmap wide(nullptr, 30, 40, 4);
  auto* across = e.Add(new ISwitchFramesControl(&e.plug, 50, 0, 2, &wide, true));
  ASSERT_EQ(across->NAreas(), 4);
  EXPECT_EQ(*across->GetArea(1), IRECT(57, 0, 64, 10));
  EXPECT_EQ(*across->GetArea(2), IRECT(65, 0, 72, 10));
  across->OnMouseDown(66, 5, &e.left);
  EXPECT_NEAR(across->GetValue(), 2.0 / 3, 1e-12);
  across->OnMouseDown(64, 5, &e.left);  // between two areas: the value stays, and is still sent
  EXPECT_NEAR(across->GetValue(), 2.0 / 3, 1e-12);
  EXPECT_NEAR(e.plug.informs.back().second, 2.0 / 3, 1e-12);

  // One frame: one area that always selects 0, never 0 / 0.
  IBitmap single(nullptr, 10, 10, 1);
  auto* one = e.Add(new ISwitchFramesControl(&e.plug, 100, 0, 0, &single));
  one->SetValue(1.0);
  one->OnMouseDown(105, 5, &e.left);
  EXPECT_EQ(one->GetValue(), 0.0);
  for (const auto& inform : e.plug.informs) EXPECT_TRUE(std::isfinite(inform.second));
}

TEST(InvisibleSwitch, TogglesAndDrawsNothing)
{
  ControlEditor e;
  auto* sw = e.Add(new IInvisibleSwitchControl(&e.plug, IRECT(0, 0, 20, 20), 0));
  EXPECT_EQ(sw->GetBlend()->mMethod, IChannelBlend::kBlendCopy);
  EXPECT_TRUE(sw->IsPromptDisabled());
  EXPECT_EQ(Presses(e, 5, 5, 3), (std::vector<double>{1.0, 0.0, 1.0}));
  sw->SetValue(0.4);
  sw->OnMouseDown(5, 5, &e.left);
  EXPECT_EQ(sw->GetValue(), 1.0);
  e.DrawAll();
  EXPECT_FALSE(e.Painted(5, 5));
}

TEST(Contact, ReadsOneWhileHeldAndZeroAfterReleaseAnywhere)
{
  ControlEditor e;
  IBitmap strip(nullptr, 10, 20, 2);
  auto* contact = e.Add(new IContactControl(&e.plug, 0, 0, 0, &strip));
  e.g.OnMouseDown(5, 5, &e.left);
  EXPECT_EQ(contact->GetValue(), 1.0);
  e.g.OnMouseDrag(150, 90, &e.left);
  EXPECT_EQ(contact->GetValue(), 1.0);
  e.g.OnMouseUp(150, 90, &e.left);  // released far outside: the captured control still hears it
  EXPECT_EQ(contact->GetValue(), 0.0);
  // Both edits fall inside one gesture.
  EXPECT_EQ(e.plug.begins, std::vector<int>{0});
  EXPECT_EQ(e.plug.ends, std::vector<int>{0});
  ASSERT_EQ(e.plug.informs.size(), 2u);
  EXPECT_EQ(e.plug.informs[0].second, 1.0);
  EXPECT_EQ(e.plug.informs[1].second, 0.0);
}

TEST(BitmapOverlay, TakesClicksOnTheTargetWhileOffAndOnItselfWhileOn)
{
  ControlEditor e;
  IBitmap strip = e.Strip(20, 20, 2);
  const IRECT target(100, 50, 120, 60);
  auto* overlay = e.Add(new IBitmapOverlayControl(&e.plug, 10, 10, 0, &strip, target));
  EXPECT_EQ(*overlay->GetTargetRECT(), target);  // starts off
  e.g.OnMouseDown(15, 15, &e.left);  // its own rectangle takes nothing while off
  EXPECT_EQ(overlay->GetValue(), 0.0);
  e.g.OnMouseDown(110, 55, &e.left);
  e.g.OnMouseUp(110, 55, &e.left);
  EXPECT_EQ(overlay->GetValue(), 1.0);
  e.DrawAll();  // on: drawn, and the target becomes its own rectangle
  EXPECT_EQ(*overlay->GetTargetRECT(), *overlay->GetRECT());
  EXPECT_EQ(e.SourceRow(10, 10), 20);
  EXPECT_EQ(e.g.GetMouseControlIdx(110, 55), -1);
  e.g.OnMouseDown(15, 15, &e.left);
  e.g.OnMouseUp(15, 15, &e.left);
  EXPECT_EQ(overlay->GetValue(), 0.0);
  e.DrawAll();  // off: nothing drawn, clicks back on the target
  EXPECT_FALSE(e.Painted(10, 10));
  EXPECT_EQ(*overlay->GetTargetRECT(), target);
}

TEST(RadioButtons, LayoutInAllFourDirections)
{
  ControlEditor e;
  IBitmap buttons(nullptr, 10, 16, 2);  // buttons of 10 x 8
  // 3 buttons over 40 pixels: 16 to spare, a spacing of 8.
  IRadioButtonsControl down(&e.plug, IRECT(0, 10, 10, 50), 0, 3, &buttons);
  EXPECT_EQ(down.GetButtonRECT(0), IRECT(0, 10, 10, 18));
  EXPECT_EQ(down.GetButtonRECT(1), IRECT(0, 26, 10, 34));
  EXPECT_EQ(down.GetButtonRECT(2), IRECT(0, 42, 10, 50));
  // Reversed: the first button one spacing in from the bottom, the last one spacing above the top.
  IRadioButtonsControl up(&e.plug, IRECT(0, 10, 10, 50), 0, 3, &buttons, kVertical, true);
  EXPECT_EQ(up.GetButtonRECT(0), IRECT(0, 34, 10, 42));
  EXPECT_EQ(up.GetButtonRECT(1), IRECT(0, 18, 10, 26));
  EXPECT_EQ(up.GetButtonRECT(2), IRECT(0, 2, 10, 10));
  // 4 buttons of width 10 over 55 pixels: 15 to spare, a spacing of int(5).
  IRadioButtonsControl right(&e.plug, IRECT(20, 0, 75, 8), 0, 4, &buttons, kHorizontal);
  EXPECT_EQ(right.GetButtonRECT(0), IRECT(20, 0, 30, 8));
  EXPECT_EQ(right.GetButtonRECT(3), IRECT(65, 0, 75, 8));
  IRadioButtonsControl left(&e.plug, IRECT(20, 0, 75, 8), 0, 4, &buttons, kHorizontal, true);
  EXPECT_EQ(left.GetButtonRECT(0), IRECT(60, 0, 70, 8));
  EXPECT_EQ(left.GetButtonRECT(3), IRECT(15, 0, 25, 8));
  // One button: no spacing to divide, placed at the start (or one button from the far edge).
  IRadioButtonsControl single(&e.plug, IRECT(0, 0, 10, 30), 0, 1, &buttons);
  ASSERT_EQ(single.NButtons(), 1);
  EXPECT_EQ(single.GetButtonRECT(0), IRECT(0, 0, 10, 8));
  IRadioButtonsControl singleUp(&e.plug, IRECT(0, 0, 10, 30), 0, 1, &buttons, kVertical, true);
  EXPECT_EQ(singleUp.GetButtonRECT(0), IRECT(0, 22, 10, 30));
  IRadioButtonsControl none(&e.plug, IRECT(0, 0, 10, 30), 0, 0, &buttons);
  EXPECT_EQ(none.NButtons(), 1);
}

TEST(RadioButtons, PressChoosesAButtonAndOneButtonIsAlwaysZero)
{
  ControlEditor e;
  IBitmap buttons(nullptr, 10, 16, 2);
  auto* radio = e.Add(new IRadioButtonsControl(&e.plug, IRECT(0, 10, 10, 50), 3, 3, &buttons));
  auto* single = e.Add(new IRadioButtonsControl(&e.plug, IRECT(50, 0, 60, 30), 2, 1, &buttons));
  e.g.OnMouseDown(5, 30, &e.left);
  EXPECT_EQ(radio->GetValue(), 0.5);
  e.g.OnMouseDown(5, 45, &e.left);
  EXPECT_EQ(radio->GetValue(), 1.0);
  e.g.OnMouseDown(5, 21, &e.left);  // in a spacing: unchanged
  EXPECT_EQ(radio->GetValue(), 1.0);
  e.g.OnMouseUp(5, 21, &e.left);
  single->SetValue(0.7);
  e.g.OnMouseDown(55, 3, &e.left);
  e.g.OnMouseUp(55, 3, &e.left);
  EXPECT_EQ(single->GetValue(), 0.0);
  for (const auto& inform : e.plug.informs) EXPECT_TRUE(std::isfinite(inform.second));
  single->SetValue(1.0);
  EXPECT_EQ(single->ActiveButton(), 0);
}

TEST(RadioButtons, DrawsTheActiveButtonOnAndTheOthersOff)
{
  ControlEditor e;
  IBitmap buttons = e.Strip(10, 8, 2);
  auto* radio = e.Add(new IRadioButtonsControl(&e.plug, IRECT(0, 10, 10, 50), 3, 3, &buttons));
  const int tops[] = {10, 26, 42};
  const struct
  {
    double value;
    int active;
  } cases[] = {{0.5, 1}, {0.0, 0}, {0.24, 0}, {0.26, 1}, {1.0, 2}, {3.0, 2}, {-2.0, 0}, {1e300, 2}};
  for (const auto& c : cases)
  {
    radio->SetValue(c.value);
    EXPECT_EQ(radio->ActiveButton(), c.active) << c.value;
    e.DrawAll();
    for (int i = 0; i < 3; ++i) EXPECT_EQ(e.SourceRow(0, tops[i]), i == c.active ? 8 : 0) << c.value << " " << i;
  }
}

TEST(RadioButtons, RightButtonPrompts)
{
  EditorPlug plug(kAPIVST2);
  UtilityGraphics g(&plug, 100, 100);
  IBitmap buttons(nullptr, 10, 16, 2);
  auto* radio = new IRadioButtonsControl(&plug, IRECT(0, 0, 10, 40), 1, 4, &buttons);
  radio->DisablePrompt(false);
  g.AttachControl(radio);
  g.menuChoice = 2;
  IMouseMod right(false, true);
  g.OnMouseDown(5, 5, &right);
  g.OnMouseUp(5, 5, &right);
  ASSERT_EQ(g.menus.size(), 1u);
  EXPECT_NEAR(radio->GetValue(), 2.0 / 3, 1e-12);
  EXPECT_EQ(plug.GetParam(1)->Value(), 2.0);
}
