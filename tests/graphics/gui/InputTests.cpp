// Mouse, wheel and keys through XTest and through the host's onKeyDown, as a user plays the
// embedded editor: the host sees begin/perform/end edits with the values of the gestures.
#include <gtest/gtest.h>
#include "GuiTestHost.h"

#include <X11/extensions/XTest.h>
#include <X11/keysym.h>


using namespace guitest;
using Edit = vst3test::ComponentHandler::Edit;

namespace
{
std::vector<Edit> EditsOf(const GuiHost& host, Vst::ParamID tag)
{
  std::vector<Edit> out;
  for (const Edit& e : host.handler->mEdits)
    if (e.mTag == tag) out.push_back(e);
  return out;
}
}  // namespace

TEST(GuiInput, KnobDragIsOneGestureWithTheDraggedValue)
{
  GuiHost host;
  ASSERT_TRUE(host.Open());
  const IRECT k = GuiFx::KnobRect();
  host.MoveTo(35, 60);
  host.Pump(30);
  host.Press(1);
  host.Pump(30);
  for (int dy = 5; dy <= 40; dy += 5)
  {
    host.MoveTo(35, 60 - dy);
    host.Pump(15);
  }
  host.Release(1);
  host.Pump(50);
  const auto edits = EditsOf(host, TestFx::kGain);
  ASSERT_GE(edits.size(), 3u);
  EXPECT_EQ(edits.front().mKind, 'b');
  EXPECT_EQ(edits.back().mKind, 'e');
  for (size_t i = 1; i + 1 < edits.size(); ++i) EXPECT_EQ(edits[i].mKind, 'p');
  // 40 pixels up on a 100-pixel knob at gearing 4: +0.1 from 0.5.
  const double expected = 0.5 + 40.0 / k.H() / 4.0;
  EXPECT_NEAR(edits[edits.size() - 2].mValue, expected, 1e-9);
  EXPECT_NEAR(host.fx->GetParam(TestFx::kGain)->GetNormalized(), expected, 1e-3);

  // The wheel: one step up, one down, each a perform; horizontal buttons 6/7 do nothing.
  host.handler->mEdits.clear();
  host.Click(35, 60, 4);
  const size_t afterUp = EditsOf(host, TestFx::kGain).size();
  EXPECT_GE(afterUp, 1u);
  const double up = host.fx->GetParam(TestFx::kGain)->GetNormalized();
  EXPECT_GT(up, expected);
  host.Click(35, 60, 6);
  host.Click(35, 60, 7);
  EXPECT_EQ(EditsOf(host, TestFx::kGain).size(), afterUp);
  host.Click(35, 60, 5);
  EXPECT_LT(host.fx->GetParam(TestFx::kGain)->GetNormalized(), up);
}

TEST(GuiInput, ClicksStepTheFourPositionSwitchQuickOrSlow)
{
  GuiHost host;
  ASSERT_TRUE(host.Open());
  const int x = GuiFx::kSwitchX + 10, y = GuiFx::kSwitchY + 10;
  // Quick clicks arrive as double clicks, which this switch takes as single ones.
  for (int i = 0; i < 4; ++i) host.Click(x, y);
  host.Pump(450);
  host.Click(x, y);
  std::vector<double> performed;
  for (const Edit& e : EditsOf(host, TestFx::kLocked))
    if (e.mKind == 'p') performed.push_back(e.mValue);
  ASSERT_EQ(performed.size(), 5u);
  // From Locked's default 3 of 0..10 (0.3) in steps of a third, back to 0 past the end.
  const double expected[5] = {0.3 + 1.0 / 3, 0.3 + 2.0 / 3, 0.0, 1.0 / 3, 2.0 / 3};
  for (int i = 0; i < 5; ++i) EXPECT_NEAR(performed[i], expected[i], 1e-9) << i;
}

TEST(GuiInput, RightClickReleasesOurGrabForTheHostMenu)
{
  GuiHost host;
  ASSERT_TRUE(host.Open());
  host.Click(35, 60, 3);
  EXPECT_EQ(host.handler->mMenusPoppedUp, 1);
  EXPECT_EQ(host.handler->mMenuParam, static_cast<Vst::ParamID>(TestFx::kGain));
  EXPECT_EQ(host.handler->grabResult, GrabSuccess);
  EXPECT_TRUE(EditsOf(host, TestFx::kGain).empty());

  // Super + left click is a right-flagged click too; Control + left is not.
  const KeyCode super = XKeysymToKeycode(host.display, XK_Super_L);
  XTestFakeKeyEvent(host.display, super, True, CurrentTime);
  host.Click(35, 60, 1);
  XTestFakeKeyEvent(host.display, super, False, CurrentTime);
  host.Pump(20);
  EXPECT_EQ(host.handler->mMenusPoppedUp, 2);
  EXPECT_EQ(host.handler->grabResult, GrabSuccess);
  const KeyCode control = XKeysymToKeycode(host.display, XK_Control_L);
  XTestFakeKeyEvent(host.display, control, True, CurrentTime);
  host.Click(35, 60, 1);
  XTestFakeKeyEvent(host.display, control, False, CurrentTime);
  host.Pump(20);
  EXPECT_EQ(host.handler->mMenusPoppedUp, 2);
}

TEST(GuiInput, KeysFromTheHostGoThroughTheKeyTable)
{
  GuiHost host;
  ASSERT_TRUE(host.Open());
  IPlugView* view = host.mView;
  // Characters and the SDK's virtual key codes (7 space, 12 up, 11 left).
  EXPECT_EQ(view->onKeyDown('q', 0, 0), kResultOk);
  EXPECT_EQ(view->onKeyDown('Q', 0, 0), kResultOk);
  EXPECT_EQ(view->onKeyDown('5', 0, 0), kResultOk);
  EXPECT_EQ(view->onKeyDown(0, 12, 0), kResultOk);
  EXPECT_EQ(view->onKeyDown(0, 11, 0), kResultOk);
  EXPECT_EQ(view->onKeyDown(',', 0, 0), kResultFalse);  // not in the table: the host keeps it
  EXPECT_EQ(view->onKeyDown(0, 7, 0), kResultFalse);    // space: the editor did not use it
  EXPECT_EQ(host.fx->keys, (std::vector<int>{31, 31, 10, 1, 3, 0}));
}

TEST(GuiInput, KeysReachTheWindowWhileItHasFocus)
{
  GuiHost host;
  ASSERT_TRUE(host.Open());
  host.MoveTo(150, 140);  // over the background: the key catcher's
  host.Pump(30);
  XSetInputFocus(host.display, host.Child(), RevertToParent, CurrentTime);
  host.Key(XK_q);
  host.Key(XK_q, true);
  host.Key(XK_7);
  host.Key(XK_Down);
  host.Key(XK_comma);
  host.Pump(60);
  EXPECT_EQ(host.fx->keys, (std::vector<int>{31, 31, 12, 2}));
}

TEST(GuiInput, TextEntryTypedAndCommitted)
{
  GuiHost host;
  ASSERT_TRUE(host.Open());
  IGraphicsLinux* g = host.fx->Editor();
  const IRECT r = GuiFx::DriveRect();
  host.Click(r.L + 10, r.T + 5);
  ASSERT_TRUE(g->TextEntryOpen());
  EXPECT_EQ(g->TextField().Text(), "0.00");
  for (int i = 0; i < 4; ++i) host.Key(XK_BackSpace);
  host.Type("12,5");  // the comma is refused
  host.Key(XK_Left);
  host.Key(XK_period);
  host.Pump(30);
  EXPECT_EQ(g->TextField().Text(), "12.5");
  host.Key(XK_Return);
  host.Pump(30);
  EXPECT_FALSE(g->TextEntryOpen());
  EXPECT_NEAR(host.fx->GetParam(TestFx::kDrive)->Value(), 12.5, 1e-9);

  // Escape cancels; the wheel cancels; the host's keys edit an open field.
  host.Click(r.L + 10, r.T + 5);
  ASSERT_TRUE(g->TextEntryOpen());
  host.Type("9");
  host.Key(XK_Escape);
  host.Pump(30);
  EXPECT_FALSE(g->TextEntryOpen());
  EXPECT_NEAR(host.fx->GetParam(TestFx::kDrive)->Value(), 12.5, 1e-9);
  host.Click(r.L + 10, r.T + 5);
  ASSERT_TRUE(g->TextEntryOpen());
  EXPECT_EQ(host.mView->onKeyDown(0, 10, 0), kResultOk);  // Home
  EXPECT_EQ(host.mView->onKeyDown('3', 0, 0), kResultOk);
  EXPECT_EQ(g->TextField().Text().substr(0, 3), "312");
  EXPECT_EQ(host.mView->onKeyDown(0, 4, 0), kResultOk);  // Return
  EXPECT_FALSE(g->TextEntryOpen());
  EXPECT_NEAR(host.fx->GetParam(TestFx::kDrive)->Value(), 40.0, 1e-9);  // clamped to the range
}
