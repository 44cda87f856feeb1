// The control list: indices, backgrounds, the key catcher, removal and Resize.
#include <gtest/gtest.h>

#include "GraphicsTestSupport.h"
#include "IBitmapControl.h"
#include "IPanelControl.h"

using namespace gfxtest;

TEST(ControlList, BackgroundsShiftEarlierControlsUp)
{
  EditorPlug plug;
  RecordingGraphics g(&plug, 100, 50);
  EXPECT_EQ(g.FPS(), IGraphics::kDefaultFPS);
  auto* a = new ProbeControl(&plug, IRECT(0, 0, 10, 10));
  auto* b = new ProbeControl(&plug, IRECT(10, 0, 20, 10));
  EXPECT_EQ(g.AttachControl(a), 0);
  EXPECT_EQ(g.AttachControl(b), 1);
  EXPECT_EQ(g.AttachControl(nullptr), -1);
  const IColor grey = COLOR_GRAY;
  g.AttachPanelBackground(&grey);
  ASSERT_EQ(g.NControls(), 3);
  EXPECT_EQ(g.GetControl(1), a);
  EXPECT_EQ(g.GetControl(2), b);
  auto* panel = dynamic_cast<IPanelControl*>(g.GetControl(0));
  ASSERT_NE(panel, nullptr);
  EXPECT_EQ(*panel->GetRECT(), IRECT(0, 0, 100, 50));
  EXPECT_EQ(panel->GetColor(), grey);
  EXPECT_EQ(panel->GetBlend()->mMethod, IChannelBlend::kBlendNone);
  EXPECT_EQ(a->GetGUI(), &g);

  // A missing image still gives a background: an empty bitmap control with the copy blend.
  g.AttachBackground(7001, "no-such-image.png");
  auto* bg = dynamic_cast<IBitmapControl*>(g.GetControl(0));
  ASSERT_NE(bg, nullptr);
  EXPECT_EQ(bg->GetBlend()->mMethod, IChannelBlend::kBlendCopy);
  EXPECT_EQ(bg->GetBitmap().mData, nullptr);
  EXPECT_EQ(bg->ParamIdx(), -1);
  EXPECT_EQ(g.GetControl(3), b);
}

TEST(ControlList, CaptureFollowsItsControlWhenABackgroundIsInserted)
{
  EditorPlug plug;
  RecordingGraphics g(&plug, 100, 50);
  auto* a = new ProbeControl(&plug, IRECT(0, 0, 10, 10), 3);
  g.AttachControl(a);
  IMouseMod left(true);
  g.OnMouseDown(5, 5, &left);
  EXPECT_EQ(g.GetMouseCapture(), 0);
  g.AttachPanelBackground(&COLOR_BLACK);
  EXPECT_EQ(g.GetMouseCapture(), 1);
  g.OnMouseDrag(7, 5, &left);
  EXPECT_EQ(a->events.back(), "drag 2 0");
}

TEST(ControlList, KeyCatcherIsOwnedAndReplaced)
{
  EditorPlug plug;
  int deaths = 0;
  {
    RecordingGraphics g(&plug, 100, 50);
    auto* first = new ProbeControl(&plug, IRECT(), -1, &deaths);
    g.AttachKeyCatcher(first);
    g.AttachKeyCatcher(first);  // the same one again changes nothing
    EXPECT_EQ(deaths, 0);
    EXPECT_EQ(g.GetKeyCatcher(), first);
    auto* second = new ProbeControl(&plug, IRECT(), -1, &deaths);
    g.AttachKeyCatcher(second);
    EXPECT_EQ(deaths, 1);  // the earlier one is deleted, not leaked
    g.AttachControl(new ProbeControl(&plug, IRECT(0, 0, 10, 10), -1, &deaths));
    g.Resize(200, 80);
    EXPECT_EQ(deaths, 2);  // the control went, the key catcher survives Resize
    EXPECT_EQ(g.GetKeyCatcher(), second);
  }
  EXPECT_EQ(deaths, 3);
}

TEST(ControlList, ResizeResetsMouseStateAndEndsTheGesture)
{
  EditorPlug plug;
  RecordingGraphics g(&plug, 100, 50);
  g.PrepDraw();
  g.HandleMouseOver(true);
  auto* knob = new ProbeControl(&plug, IRECT(0, 0, 10, 10), 2);
  g.AttachControl(knob);
  IMouseMod left(true);
  g.OnMouseOver(5, 5, &left);
  g.OnMouseDown(5, 5, &left);
  ASSERT_EQ(plug.begins, std::vector<int>{2});

  g.Resize(300, 120);
  EXPECT_EQ(g.NControls(), 0);
  EXPECT_EQ(g.GetMouseCapture(), -1);
  EXPECT_EQ(g.GetMouseOver(), -1);
  EXPECT_EQ(plug.ends, std::vector<int>{2});  // the open gesture ends with the capture
  EXPECT_EQ(g.endUserEdits, 1);               // a text entry would refer to a deleted control
  ASSERT_EQ(plug.resizes.size(), 1u);
  EXPECT_EQ(plug.resizes[0].a, 300);
  EXPECT_EQ(plug.resizes[0].b, 120);
  EXPECT_EQ(g.Width(), 300);
  EXPECT_EQ(g.Height(), 120);
  ASSERT_NE(g.GetDrawBitmap(), nullptr);
  EXPECT_EQ(g.GetDrawBitmap()->getWidth(), 300);

  // Events after the rebuild find nothing stale.
  g.OnMouseDrag(8, 8, &left);
  g.OnMouseUp(8, 8, &left);
  g.SetControlFromPlug(0, 0.5);
  EXPECT_EQ(plug.ends.size(), 1u);
}

TEST(ControlList, RemoveControlsKeepsTheEarlierOnes)
{
  EditorPlug plug;
  RecordingGraphics g(&plug, 100, 50);
  int deaths = 0;
  for (int i = 0; i < 4; ++i) g.AttachControl(new ProbeControl(&plug, IRECT(i * 10, 0, i * 10 + 10, 10), -1, &deaths));
  IMouseMod left(true);
  g.OnMouseDown(35, 5, &left);
  EXPECT_EQ(g.GetMouseCapture(), 3);
  g.RemoveControls(2);
  EXPECT_EQ(deaths, 2);
  EXPECT_EQ(g.NControls(), 2);
  EXPECT_EQ(g.GetMouseCapture(), -1);
  g.RemoveControls(5);  // nothing there
  EXPECT_EQ(g.NControls(), 2);
}

TEST(ControlList, TooltipsFromParameterNames)
{
  EditorPlug plug;
  RecordingGraphics g(&plug, 100, 50);
  auto* withParam = new ProbeControl(&plug, IRECT(0, 0, 10, 10), 1);
  auto* without = new ProbeControl(&plug, IRECT(0, 0, 10, 10));
  g.AttachControl(withParam);
  g.AttachControl(without);
  g.AssignParamNameToolTips();
  EXPECT_STREQ(withParam->GetTooltip(), "Enum");
  EXPECT_STREQ(without->GetTooltip(), "");
}
