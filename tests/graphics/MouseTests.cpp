// Hit testing, mouse routes, capture and drag deltas, double-clicks, keys and host gestures.
#include <gtest/gtest.h>

#include "GraphicsTestSupport.h"

using namespace gfxtest;

namespace
{
struct Editor
{
  explicit Editor(EAPI api = kAPIVST3) : plug(api) {}
  EditorPlug plug;
  RecordingGraphics g{&plug, 200, 100};
  ProbeControl* Add(const IRECT& r, int paramIdx = -1)
  {
    auto* control = new ProbeControl(&plug, r, paramIdx);
    g.AttachControl(control);
    return control;
  }
  IMouseMod left{true}, right{false, true};
};
}  // namespace

TEST(HitTest, TopmostVisibleUngrayedControlWins)
{
  Editor e;
  e.Add(IRECT(0, 0, 200, 100));
  e.Add(IRECT(10, 10, 50, 50));
  auto* top = e.Add(IRECT(30, 30, 60, 60));
  EXPECT_EQ(e.g.GetMouseControlIdx(40, 40), 2);
  EXPECT_EQ(e.g.GetMouseControlIdx(20, 20), 1);
  EXPECT_EQ(e.g.GetMouseControlIdx(60, 60), 0);  // R and B lie outside
  EXPECT_EQ(e.g.GetMouseControlIdx(250, 20), -1);
  top->Hide(true);
  EXPECT_EQ(e.g.GetMouseControlIdx(40, 40), 1);
  top->Hide(false);
  top->GrayOut(true);
  EXPECT_EQ(e.g.GetMouseControlIdx(40, 40), 1);
  EXPECT_EQ(e.g.GetMouseControlIdx(40, 40, true), 1);
  top->SetMOWhenGrayed(true);
  EXPECT_EQ(e.g.GetMouseControlIdx(40, 40), 1);
  EXPECT_EQ(e.g.GetMouseControlIdx(40, 40, true), 2);
}

TEST(HitTest, GrayedControlsTakeNoClicksWheelOrKeys)
{
  Editor e;
  auto* bg = e.Add(IRECT(0, 0, 200, 100));
  auto* c = e.Add(IRECT(10, 10, 50, 50), 3);
  c->GrayOut(true);
  EXPECT_EQ(c->GetBlend()->mWeight, 0.25f);
  e.g.OnMouseDown(20, 20, &e.left);
  e.g.OnMouseUp(20, 20, &e.left);
  e.g.OnMouseWheel(20, 20, &e.left, 1);
  EXPECT_FALSE(e.g.OnKeyDown(20, 20, 'a'));  // goes to the background's side: no key catcher
  EXPECT_TRUE(c->events.empty());
  EXPECT_EQ(bg->events, (std::vector<std::string>{"down", "up", "wheel 1"}));
  EXPECT_TRUE(e.plug.begins.empty());
  c->GrayOut(false);
  EXPECT_EQ(c->GetBlend()->mWeight, 1.0f);
}

TEST(Mouse, CaptureAndDragDeltas)
{
  Editor e;
  auto* c = e.Add(IRECT(10, 10, 50, 50));
  auto* other = e.Add(IRECT(60, 10, 90, 50));
  e.g.OnMouseDrag(20, 20, &e.left);  // no capture: nothing
  e.g.OnMouseDown(20, 20, &e.left);
  EXPECT_EQ(e.g.GetMouseCapture(), 0);
  e.g.OnMouseDrag(20, 20, &e.left);  // same position: not delivered
  e.g.OnMouseDrag(25, 17, &e.left);
  e.g.OnMouseDrag(70, 17, &e.left);  // the captured control keeps the mouse over another
  e.g.OnMouseUp(70, 17, &e.left);
  EXPECT_EQ(c->events, (std::vector<std::string>{"down", "drag 5 -3", "drag 45 0", "up"}));
  EXPECT_TRUE(other->events.empty());
  EXPECT_EQ(e.g.GetMouseCapture(), -1);
  e.g.OnMouseDown(150, 80, &e.left);  // nothing hit: no capture
  EXPECT_EQ(e.g.GetMouseCapture(), -1);
}

TEST(Mouse, DoubleClickRules)
{
  Editor e;
  auto* knob = e.Add(IRECT(10, 10, 50, 50), 3);
  auto* button = e.Add(IRECT(60, 10, 90, 50), 1);
  button->SetDblAsSingleClick(true);
  e.g.SetParameterFromPlug(3, 0.3, true);
  e.g.ApplyValuesFromPlug();
  EXPECT_EQ(knob->GetDefaultValue(), 0.3);
  knob->SetValue(0.8);

  // A double-click restores the default, as one complete host edit, and captures nothing.
  EXPECT_FALSE(e.g.OnMouseDblClick(20, 20, &e.left));
  EXPECT_EQ(knob->GetValue(), 0.3);
  EXPECT_EQ(e.g.GetMouseCapture(), -1);
  EXPECT_EQ(e.plug.begins, std::vector<int>{3});
  EXPECT_EQ(e.plug.ends, std::vector<int>{3});
  ASSERT_FALSE(e.plug.informs.empty());
  EXPECT_EQ(e.plug.informs.back().first, 3);
  EXPECT_DOUBLE_EQ(e.plug.informs.back().second, 0.3);
  e.g.OnMouseUp(20, 20, &e.left);  // the second release ends nothing more
  EXPECT_EQ(e.plug.ends.size(), 1u);

  // Double-click as single click: a press with capture and its gesture, ended by the release.
  EXPECT_TRUE(e.g.OnMouseDblClick(70, 20, &e.left));
  EXPECT_EQ(button->events.front(), "down");
  EXPECT_EQ(e.g.GetMouseCapture(), 1);
  EXPECT_EQ(e.plug.begins, (std::vector<int>{3, 1}));
  e.g.OnMouseUp(70, 20, &e.left);
  EXPECT_EQ(e.plug.ends, (std::vector<int>{3, 1}));
  EXPECT_FALSE(e.g.OnMouseDblClick(150, 90, &e.left));
}

TEST(Mouse, GesturesStayBalanced)
{
  Editor e;
  auto* knob = e.Add(IRECT(10, 10, 50, 50), 3);
  auto* other = e.Add(IRECT(60, 10, 90, 50), 2);
  auto* plain = e.Add(IRECT(100, 10, 120, 50));

  // Press, drag, a second button mid-drag on the same control, release: one gesture.
  e.g.OnMouseDown(20, 20, &e.left);
  e.g.OnMouseDrag(22, 20, &e.left);
  IMouseMod both(true, false, true);
  e.g.OnMouseDown(22, 20, &both);
  e.g.OnMouseUp(22, 20, &e.left);
  EXPECT_EQ(e.plug.begins, std::vector<int>{3});
  EXPECT_EQ(e.plug.ends, std::vector<int>{3});

  // A press elsewhere while a gesture is open ends it before the new one begins.
  e.g.OnMouseDown(20, 20, &e.left);
  e.g.OnMouseDown(70, 20, &e.left);
  e.g.OnMouseUp(70, 20, &e.left);
  EXPECT_EQ(e.plug.begins, (std::vector<int>{3, 3, 2}));
  EXPECT_EQ(e.plug.ends, (std::vector<int>{3, 3, 2}));

  // A control without a parameter begins nothing; its release ends nothing.
  e.g.OnMouseDown(110, 20, &e.left);
  e.g.OnMouseUp(110, 20, &e.left);
  EXPECT_EQ(e.plug.begins.size(), 3u);
  EXPECT_EQ(e.plug.ends.size(), 3u);

  // One wheel step is one complete gesture; inside a drag it joins the drag's gesture.
  e.g.OnMouseWheel(20, 20, &e.left, 2);
  EXPECT_EQ(e.plug.begins.back(), 3);
  EXPECT_EQ(e.plug.ends.back(), 3);
  EXPECT_EQ(e.plug.begins.size(), 4u);
  EXPECT_EQ(e.plug.ends.size(), 4u);
  EXPECT_EQ(knob->events.back(), "wheel 2");
  e.g.OnMouseDown(70, 20, &e.left);
  e.g.OnMouseWheel(70, 20, &e.left, -1);
  e.g.OnMouseUp(70, 20, &e.left);
  EXPECT_EQ(e.plug.begins.size(), 5u);
  EXPECT_EQ(e.plug.ends.size(), 5u);
  EXPECT_EQ(other->events.back(), "up");

  // Releasing with nothing captured, over a parameter control, ends nothing.
  e.g.OnMouseUp(20, 20, &e.left);
  EXPECT_EQ(e.plug.ends.size(), 5u);
  EXPECT_TRUE(plain->events.size() == 2u);
}

TEST(Mouse, RightClickInTheVst3BindingOpensTheHostMenuOnly)
{
  Editor e(kAPIVST3);
  auto* knob = e.Add(IRECT(10, 10, 50, 50), 3);
  auto* plain = e.Add(IRECT(60, 10, 90, 50));
  e.g.OnMouseDown(20, 30, &e.right);
  ASSERT_EQ(e.plug.contextMenus.size(), 1u);
  EXPECT_EQ(e.plug.contextMenus[0].a, 3);
  EXPECT_EQ(e.plug.contextMenus[0].b, 20);
  EXPECT_EQ(e.plug.contextMenus[0].c, 30);
  EXPECT_EQ(e.g.GetMouseCapture(), -1);
  e.g.OnMouseUp(20, 30, &e.right);  // a right-click that began nothing ends nothing
  EXPECT_TRUE(e.plug.begins.empty());
  EXPECT_TRUE(e.plug.ends.empty());
  EXPECT_EQ(knob->events, std::vector<std::string>{"up"});

  // Without a parameter the control gets the press itself.
  e.g.OnMouseDown(70, 30, &e.right);
  EXPECT_EQ(plain->events, std::vector<std::string>{"down"});
  EXPECT_EQ(e.plug.contextMenus.size(), 1u);
}

TEST(Mouse, RightClickElsewherePromptsInsideAGesture)
{
  Editor e(kAPIVST2);
  auto* knob = e.Add(IRECT(10, 10, 50, 50), 3);
  knob->DisablePrompt(false);
  e.g.OnMouseDown(20, 30, &e.right);
  e.g.OnMouseUp(20, 30, &e.right);
  EXPECT_TRUE(e.plug.contextMenus.empty());
  EXPECT_EQ(e.g.textEntries.size(), 1u);
  EXPECT_EQ(e.plug.begins, std::vector<int>{3});
  EXPECT_EQ(e.plug.ends, std::vector<int>{3});
}

TEST(Mouse, MouseOverAndOut)
{
  Editor e;
  auto* a = e.Add(IRECT(10, 10, 50, 50));
  auto* b = e.Add(IRECT(60, 10, 90, 50));
  EXPECT_FALSE(e.g.OnMouseOver(20, 20, &e.left));  // not asked for
  e.g.HandleMouseOver(true);
  EXPECT_TRUE(e.g.OnMouseOver(20, 20, &e.left));
  EXPECT_TRUE(e.g.OnMouseOver(150, 20, &e.left));  // nothing there: nothing changes
  EXPECT_EQ(e.g.GetMouseOver(), 0);
  EXPECT_TRUE(e.g.OnMouseOver(70, 20, &e.left));
  EXPECT_EQ(a->events, (std::vector<std::string>{"over", "out"}));
  EXPECT_EQ(b->events, std::vector<std::string>{"over"});
  e.g.OnMouseOut();
  EXPECT_EQ(e.g.GetMouseOver(), -1);
  EXPECT_EQ(b->events.back(), "out");
}

TEST(Keys, RoutedToTheControlOrTheKeyCatcher)
{
  Editor e;
  e.Add(IRECT(0, 0, 200, 100));
  auto* c = e.Add(IRECT(10, 10, 50, 50));
  EXPECT_FALSE(e.g.OnKeyDown(100, 80, 'x'));  // over the background, no key catcher
  auto* catcher = new ProbeControl(&e.plug, IRECT());
  e.g.AttachKeyCatcher(catcher);
  EXPECT_TRUE(e.g.OnKeyDown(100, 80, 'x'));   // background
  EXPECT_TRUE(e.g.OnKeyDown(500, 500, 'y'));  // nothing
  EXPECT_TRUE(e.g.OnKeyDown(20, 20, 'z'));    // the control
  EXPECT_EQ(catcher->events, (std::vector<std::string>{"key 120", "key 121"}));
  EXPECT_EQ(c->events, std::vector<std::string>{"key 122"});
}

TEST(Automation, ParameterUnderTheMouse)
{
  Editor e;
  e.Add(IRECT(0, 0, 200, 100), 2);  // index 0 never counts
  e.Add(IRECT(10, 10, 50, 50), 3);
  EXPECT_EQ(e.g.GetParamIdxForPTAutomation(20, 20), 3);
  EXPECT_EQ(e.g.GetLastClickedParamForPTAutomation(), 3);
  EXPECT_EQ(e.g.GetLastClickedParamForPTAutomation(), -1);
  EXPECT_EQ(e.g.GetParamIdxForPTAutomation(150, 80), -1);
  EXPECT_EQ(e.g.GetParamIdxForPTAutomation(500, 500), -1);
}
