// Knobs: the frame a value shows, drag and wheel arithmetic with and without fine adjustment,
// gearing, what each gesture sends to the host, and where the drawn knobs put their pixels.
#include <cmath>
#include <limits>

#include <gtest/gtest.h>

#include "ControlTestSupport.h"
#include "IKnobControls.h"

using namespace gfxtest;

namespace
{
constexpr double kPi = IKnobControl::kPi;

void ExpectAllFinite(const EditorPlug& plug)
{
  for (const auto& inform : plug.informs) EXPECT_TRUE(std::isfinite(inform.second)) << inform.first;
}
}  // namespace

TEST(KnobFrames, ValueToFrameOfA60FrameStrip)
{
  ControlEditor e;
  // 60 frames of 4 rows: frame k starts at source row 4 (k - 1).
  IBitmap strip = e.Strip(10, 4, 60);
  auto* knob = e.Add(new IKnobMultiControl(&e.plug, 20, 30, 3, &strip));
  EXPECT_EQ(*knob->GetRECT(), IRECT(20, 30, 30, 34));
  const struct
  {
    double value;
    int frame;
  } cases[] = {{0.0, 1}, {1.0, 60}, {0.5, 31}, {0.0254, 2}, {1.02, 60}, {-0.3, 1}, {1e300, 60}};
  for (const auto& c : cases)
  {
    knob->SetValue(c.value);
    e.DrawAll();
    EXPECT_EQ(e.SourceRow(20, 30), 4 * (c.frame - 1)) << c.value;
    EXPECT_EQ(e.SourceRow(20, 33), 4 * (c.frame - 1) + 3) << c.value;
  }
}

TEST(KnobDrag, VerticalDragWithGearingAndFineAdjustment)
{
  ControlEditor e;
  auto* knob = e.Add(new BareKnob(&e.plug, IRECT(10, 10, 40, 60), 3, kVertical, 4.0));
  knob->SetValueFromPlug(0.5);
  e.g.OnMouseDown(20, 30, &e.left);
  e.g.OnMouseDrag(20, 10, &e.left);  // up 20 of 50 pixels at gearing 4
  EXPECT_NEAR(knob->GetValue(), 0.6, 1e-12);
  e.g.OnMouseDrag(20, -10, &e.leftShift);  // fine: a tenth as far
  EXPECT_NEAR(knob->GetValue(), 0.61, 1e-12);
  e.g.OnMouseDrag(20, 10, &e.leftCtrl);  // down again, fine
  EXPECT_NEAR(knob->GetValue(), 0.6, 1e-12);
  e.g.OnMouseDrag(35, 10, &e.left);  // sideways moves a vertical knob by nothing
  EXPECT_NEAR(knob->GetValue(), 0.6, 1e-12);
  e.g.OnMouseDrag(35, -500, &e.left);  // far beyond the top: clamped before it is sent
  EXPECT_EQ(knob->GetValue(), 1.0);
  e.g.OnMouseUp(35, -500, &e.left);

  // One gesture: begin, a perform per drag step, end.
  EXPECT_EQ(e.plug.begins, std::vector<int>{3});
  EXPECT_EQ(e.plug.ends, std::vector<int>{3});
  ASSERT_EQ(e.plug.informs.size(), 5u);
  EXPECT_NEAR(e.plug.informs[0].second, 0.6, 1e-12);
  EXPECT_NEAR(e.plug.informs[1].second, 0.61, 1e-12);
  EXPECT_EQ(e.plug.informs[4].second, 1.0);
  EXPECT_EQ(e.plug.GetParam(3)->GetNormalized(), 1.0);
}

TEST(KnobDrag, HorizontalDragFollowsX)
{
  ControlEditor e;
  auto* knob = e.Add(new BareKnob(&e.plug, IRECT(0, 0, 80, 20), 3, kHorizontal, 2.0));
  e.g.OnMouseDown(10, 10, &e.left);
  e.g.OnMouseDrag(26, 50, &e.left);  // right 16 of 80 at gearing 2; the vertical move is ignored
  EXPECT_NEAR(knob->GetValue(), 0.1, 1e-12);
  e.g.OnMouseDrag(18, 50, &e.leftShift);
  EXPECT_NEAR(knob->GetValue(), 0.1 - 0.005, 1e-12);
  e.g.OnMouseUp(18, 50, &e.left);
  EXPECT_EQ(e.plug.begins, std::vector<int>{3});
  EXPECT_EQ(e.plug.ends, std::vector<int>{3});
  EXPECT_EQ(e.plug.informs.size(), 2u);

  // Any direction other than vertical acts as horizontal.
  auto* odd = e.Add(new BareKnob(&e.plug, IRECT(100, 0, 180, 20), 2, static_cast<EDirection>(5), 2.0));
  odd->OnMouseDrag(110, 10, 16, -30, &e.left);
  EXPECT_NEAR(odd->GetValue(), 0.1, 1e-12);
}

TEST(KnobDrag, GearingZeroAndFlatKnobsNeverSendNaN)
{
  ControlEditor e;
  const double nan = std::numeric_limits<double>::quiet_NaN();
  auto* zero = e.Add(new BareKnob(&e.plug, IRECT(0, 0, 20, 50), 3, kVertical, 0.0));
  auto* notFinite = e.Add(new BareKnob(&e.plug, IRECT(20, 0, 40, 50), 3, kVertical, nan));
  auto* reversed = e.Add(new BareKnob(&e.plug, IRECT(40, 0, 60, 50), 2, kVertical, -5.0));
  auto* flat = e.Add(new BareKnob(&e.plug, IRECT(60, 0, 80, 0), 1, kVertical, 4.0));
  auto* narrow = e.Add(new BareKnob(&e.plug, IRECT(90, 0, 90, 10), 0, kHorizontal, 4.0));
  EXPECT_EQ(zero->GetGearing(), IKnobControl::kDefaultGearing);
  EXPECT_EQ(notFinite->GetGearing(), IKnobControl::kDefaultGearing);
  EXPECT_EQ(reversed->GetGearing(), -5.0);  // a negative gearing turns the other way, finitely
  zero->SetGearing(0.0);
  EXPECT_EQ(zero->GetGearing(), IKnobControl::kDefaultGearing);

  zero->OnMouseDrag(5, 5, 0, -20, &e.left);
  EXPECT_NEAR(zero->GetValue(), 0.1, 1e-12);
  reversed->OnMouseDrag(45, 5, 0, -25, &e.left);
  EXPECT_EQ(reversed->GetValue(), 0.0);  // turned down and clamped
  reversed->OnMouseDrag(45, 5, 0, 25, &e.left);
  EXPECT_NEAR(reversed->GetValue(), 0.1, 1e-12);

  // No height (or width) to measure a drag by: nothing changes and nothing is sent.
  const size_t sent = e.plug.informs.size();
  flat->SetValueFromPlug(0.4);
  flat->OnMouseDrag(65, 0, 3, -7, &e.left);
  flat->OnMouseDrag(65, 0, 0, 0, &e.left);
  narrow->OnMouseDrag(90, 0, 5, 0, &e.left);
  narrow->OnMouseDrag(90, 0, 0, 0, &e.left);
  EXPECT_EQ(flat->GetValue(), 0.4);
  EXPECT_EQ(narrow->GetValue(), 0.0);
  EXPECT_EQ(e.plug.informs.size(), sent);
  ExpectAllFinite(e.plug);
}

TEST(KnobWheel, StepsWithAndWithoutFineAdjustment)
{
  ControlEditor e;
  auto* knob = e.Add(new IKnobMultiControl(&e.plug, 0, 0, 3, nullptr));
  knob->SetRECT(IRECT(0, 0, 30, 30));
  knob->SetTargetRECT(IRECT(0, 0, 30, 30));
  knob->SetValueFromPlug(0.5);
  e.g.OnMouseWheel(10, 10, &e.left, 3);
  EXPECT_NEAR(knob->GetValue(), 0.53, 1e-12);
  e.g.OnMouseWheel(10, 10, &e.leftCtrl, 3);
  EXPECT_NEAR(knob->GetValue(), 0.533, 1e-12);
  e.g.OnMouseWheel(10, 10, &e.leftShift, -2);
  EXPECT_NEAR(knob->GetValue(), 0.531, 1e-12);
  e.g.OnMouseWheel(10, 10, &e.left, -100);
  EXPECT_EQ(knob->GetValue(), 0.0);
  // Each wheel step is one complete edit.
  EXPECT_EQ(e.plug.begins, (std::vector<int>{3, 3, 3, 3}));
  EXPECT_EQ(e.plug.ends, (std::vector<int>{3, 3, 3, 3}));
  ASSERT_EQ(e.plug.informs.size(), 4u);
  EXPECT_EQ(e.plug.informs.back().second, 0.0);
}

TEST(KnobLine, LineRunsFromInnerToOuterRadiusAtTheValuesAngle)
{
  ControlEditor e;
  const IColor red(255, 255, 0, 0);
  // Centre (60, 60); an outer radius of 0 becomes half the width, 20. Left at 0, right at 1.
  auto* knob = e.Add(new IKnobLineControl(&e.plug, IRECT(40, 40, 80, 80), 3, &red, 6.0, 0.0, -kPi / 2, kPi / 2));
  EXPECT_EQ(knob->GetBlend()->mMethod, IChannelBlend::kBlendCopy);
  knob->SetValue(0.0);
  e.DrawAll();
  EXPECT_EQ(e.g.GetPoint(47, 60), red);
  EXPECT_FALSE(e.Painted(57, 60));  // inside the inner radius
  EXPECT_FALSE(e.Painted(73, 60));
  knob->SetValue(1.0);
  e.DrawAll();
  EXPECT_EQ(e.g.GetPoint(73, 60), red);
  EXPECT_FALSE(e.Painted(47, 60));
  knob->SetValue(0.5);  // straight up
  e.DrawAll();
  EXPECT_EQ(e.g.GetPoint(60, 45), red);
  EXPECT_FALSE(e.Painted(60, 75));
  EXPECT_FALSE(e.Painted(60, 38));  // beyond the outer radius
}

TEST(KnobRotater, BitmapTurnsAboutTheRectangleCentre)
{
  ControlEditor e;
  IBitmap bitmap = e.Strip(20, 20, 1);
  auto* knob = e.Add(new IKnobRotaterControl(&e.plug, 30, 30, 3, &bitmap, 0.0, kPi));
  EXPECT_EQ(*knob->GetRECT(), IRECT(30, 30, 50, 50));
  int sx, sy;
  knob->SetValue(0.0);  // upright: the top-left pixel shows the source's top-left
  e.DrawAll();
  SourceOf(e.g, 32, 33, &sx, &sy);
  EXPECT_NEAR(sx, 2, 1);
  EXPECT_NEAR(sy, 3, 1);
  knob->SetValue(1.0);  // half a turn: the source's bottom-right
  e.DrawAll();
  SourceOf(e.g, 32, 33, &sx, &sy);
  EXPECT_NEAR(sx, 17, 1);
  EXPECT_NEAR(sy, 16, 1);
}

TEST(KnobRotatingMask, MaskTurnsByDegreesAndCutsTheBase)
{
  ControlEditor e;
  IBitmap base = e.Solid(20, 20, LICE_RGBA(0, 0, 255, 255));
  IBitmap top = e.Solid(20, 20, LICE_RGBA(0, 0, 0, 0));
  // The mask opens a bar from the top edge to the centre.
  IBitmap mask = e.Solid(20, 20, LICE_RGBA(0, 0, 0, 0));
  LICE_FillRect(static_cast<LICE_IBitmap*>(mask.mData), 8, 0, 4, 10, LICE_RGBA(0, 0, 0, 255), 1.0f, 0);
  auto* knob = e.Add(new IKnobRotatingMaskControl(&e.plug, 100, 50, 3, &base, &mask, &top, 0.0, 180.0));
  EXPECT_EQ(*knob->GetRECT(), IRECT(100, 50, 120, 70));
  knob->SetValue(0.0);
  e.DrawAll();
  EXPECT_EQ(e.g.GetPoint(110, 53).B, 255);
  EXPECT_FALSE(e.Painted(110, 66));
  EXPECT_FALSE(e.Painted(103, 53));
  knob->SetValue(1.0);  // 180 degrees: the bar points down
  e.DrawAll();
  EXPECT_EQ(e.g.GetPoint(110, 66).B, 255);
  EXPECT_FALSE(e.Painted(110, 53));
}
