// Values from the plug-in: last-value slots applied on the user-interface pass, aux parameters,
// non-finite values, display controls and clamping.
#include <cmath>
#include <limits>

#include <gtest/gtest.h>

#include "GraphicsTestSupport.h"
#include "IParam.h"

using namespace gfxtest;

namespace
{
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();
}  // namespace

TEST(HandOver, PushedValuesApplyAtTheNextPass)
{
  EditorPlug plug;
  RecordingGraphics g(&plug, 200, 100);
  auto* a = new ProbeControl(&plug, IRECT(0, 0, 10, 10), 3);
  auto* b = new ProbeControl(&plug, IRECT(10, 0, 20, 10), 3);
  auto* meter = new ProbeControl(&plug, IRECT(20, 0, 30, 10));
  g.AttachControl(a);
  g.AttachControl(b);
  const int meterIdx = g.AttachControl(meter);

  g.SetParameterFromPlug(3, 0.3, true);
  EXPECT_EQ(a->GetValue(), 0.0);  // not yet: the audio side only stores
  IRECT r(0, 0, 200, 100);
  g.Draw(&r);
  EXPECT_EQ(a->GetValue(), 0.3);
  EXPECT_EQ(b->GetValue(), 0.3);  // every control bound to the parameter follows
  EXPECT_EQ(a->GetDefaultValue(), 0.3);
  EXPECT_FALSE(a->IsDirty());  // the first value counts as unchanged

  // Plain values are normalised with the parameter.
  g.SetParameterFromPlug(3, 5.0, false);
  r.Clear();
  EXPECT_TRUE(g.IsDirty(&r));
  EXPECT_DOUBLE_EQ(a->GetValue(), plug.GetParam(3)->GetNormalized(5.0));
  EXPECT_EQ(a->GetDefaultValue(), 0.3);

  g.SetControlFromPlug(meterIdx, 1.7);  // a meter's value is not clamped on arrival
  g.SetControlFromPlug(99, 0.5);
  g.SetControlFromPlug(-1, 0.5);
  g.ApplyValuesFromPlug();
  EXPECT_EQ(meter->GetValue(), 1.7);
}

TEST(HandOver, NonFiniteValuesNeverReachAControl)
{
  EditorPlug plug;
  RecordingGraphics g(&plug, 200, 100);
  auto* c = new ProbeControl(&plug, IRECT(0, 0, 10, 10), 3);
  c->AddAuxParam(2);
  g.AttachControl(c);
  g.SetParameterFromPlug(3, 0.4, true);
  g.SetParameterFromPlug(2, 0.6, true);
  g.ApplyValuesFromPlug();

  g.SetParameterFromPlug(3, kNaN, true);
  g.SetParameterFromPlug(3, kNaN, false);
  g.SetParameterFromPlug(2, kNaN, true);
  g.SetControlFromPlug(0, kNaN);
  g.ApplyValuesFromPlug();
  EXPECT_EQ(c->GetValue(), 0.4);
  EXPECT_EQ(c->GetAuxParam(0)->mValue, 0.6);

  g.SetControlFromPlug(0, kInf);
  g.ApplyValuesFromPlug();
  EXPECT_EQ(c->GetValue(), 1.0);
  g.SetParameterFromPlug(3, -kInf, true);
  g.SetParameterFromPlug(2, kInf, true);
  g.ApplyValuesFromPlug();
  EXPECT_EQ(c->GetValue(), 0.0);
  EXPECT_EQ(c->GetAuxParam(0)->mValue, 1.0);
  g.SetParameterFromPlug(3, kInf, false);  // plain infinity: the range's end
  g.ApplyValuesFromPlug();
  EXPECT_EQ(c->GetValue(), 1.0);

  c->SetValueFromUserInput(kNaN);
  c->SetValueFromPlug(kNaN);
  EXPECT_EQ(c->GetValue(), 1.0);
  c->SetValueFromUserInput(-kInf);
  EXPECT_EQ(c->GetValue(), 0.0);
  for (const auto& inform : plug.informs) EXPECT_TRUE(std::isfinite(inform.second));
}

TEST(HandOver, AuxParametersFollowTheirOwnSlots)
{
  EditorPlug plug;
  RecordingGraphics g(&plug, 200, 100);
  auto* c = new ProbeControl(&plug, IRECT(0, 0, 10, 10), 3);
  c->AddAuxParam(0);
  c->AddAuxParam(2);
  EXPECT_EQ(c->AuxParamIdx(2), 1);
  EXPECT_EQ(c->AuxParamIdx(3), -1);
  EXPECT_EQ(c->GetAuxParam(0)->mValue, 0.0);
  g.AttachControl(c);
  IRECT r(0, 0, 200, 100);
  g.Draw(&r);
  g.Draw(&r);

  // A user edit of the main value is not undone by a later aux push.
  g.SetParameterFromPlug(3, 0.2, true);
  g.ApplyValuesFromPlug();
  c->SetValueFromUserInput(0.9);
  g.SetParameterFromPlug(2, 0.7, true);
  g.ApplyValuesFromPlug();
  EXPECT_EQ(c->GetValue(), 0.9);
  EXPECT_EQ(c->GetAuxParam(1)->mValue, 0.7);
  EXPECT_TRUE(c->IsDirty());
  EXPECT_TRUE(c->GetRedrawPending());

  plug.informs.clear();
  c->SetAllAuxParamsFromGUI();
  ASSERT_EQ(plug.informs.size(), 2u);
  EXPECT_EQ(plug.informs[0].first, 0);
  EXPECT_EQ(plug.informs[1].first, 2);
  EXPECT_EQ(plug.informs[1].second, 0.7);

  // SetParameterFromGUI visits bound controls only, never aux entries.
  g.SetParameterFromGUI(2, 0.1);
  EXPECT_EQ(c->GetAuxParam(1)->mValue, 0.7);
  g.SetParameterFromGUI(3, 0.5);
  EXPECT_EQ(c->GetValue(), 0.5);
}

TEST(HandOver, DisplayControlsShowValueAndName)
{
  EditorPlug plug;
  RecordingGraphics g(&plug, 200, 100);
  auto* knob = new ProbeControl(&plug, IRECT(0, 0, 10, 10), 3);
  auto* value = new ProbeControl(&plug, IRECT(0, 10, 10, 20));
  auto* name = new ProbeControl(&plug, IRECT(0, 20, 10, 30));
  g.AttachControl(knob);
  g.AttachControl(value);
  g.AttachControl(name);
  knob->SetValDisplayControl(value);
  knob->SetNameDisplayControl(name);
  knob->SetValue(1.0);
  knob->SetDirty(false);  // no push: display controls untouched
  EXPECT_EQ(value->shownText, "");
  knob->SetDirty(true);
  EXPECT_EQ(value->shownText, "10.00 dB");
  EXPECT_EQ(name->shownText, "Double");
}

TEST(HandOver, ClampHideAndGraySelectByParameter)
{
  EditorPlug plug;
  RecordingGraphics g(&plug, 200, 100);
  auto* a = new ProbeControl(&plug, IRECT(0, 0, 10, 10), 3);
  auto* b = new ProbeControl(&plug, IRECT(0, 0, 10, 10), 2);
  g.AttachControl(a);
  g.AttachControl(b);
  g.ClampControl(3, 0.2, 0.6, true);
  a->SetValue(0.9);
  a->SetDirty(false);
  EXPECT_EQ(a->GetValue(), 0.6);
  g.ClampControl(3, -10.0, 0.0, false);
  a->SetValue(0.9);
  a->SetDirty(false);
  EXPECT_DOUBLE_EQ(a->GetValue(), plug.GetParam(3)->GetNormalized(0.0));
  g.HideControl(2, true);
  g.GrayOutControl(3, true);
  EXPECT_TRUE(b->IsHidden());
  EXPECT_FALSE(a->IsHidden());
  EXPECT_TRUE(a->IsGrayed());
  EXPECT_FALSE(b->IsGrayed());
}

TEST(HandOver, AFirstValueArrivingAfterADrawIsDrawn)
{
  EditorPlug plug;
  RecordingGraphics g(&plug, 200, 100);
  auto* meter = new ProbeControl(&plug, IRECT(0, 0, 10, 10));
  auto* still = new ProbeControl(&plug, IRECT(10, 0, 20, 10));
  g.AttachControl(meter);
  g.AttachControl(still);
  IRECT r(0, 0, 200, 100);
  g.Draw(&r);
  g.SetControlFromPlug(0, 0.6);
  g.SetControlFromPlug(1, 0.0);  // the value already shown
  r.Clear();
  ASSERT_TRUE(g.IsDirty(&r));
  EXPECT_EQ(r, IRECT(0, 0, 10, 10));
  EXPECT_EQ(meter->GetDefaultValue(), 0.6);
  EXPECT_EQ(still->GetDefaultValue(), 0.0);
  g.Draw(&r);
  EXPECT_EQ(meter->draws, 2);
  r.Clear();
  EXPECT_FALSE(g.IsDirty(&r));  // no extra pass asked for
}
