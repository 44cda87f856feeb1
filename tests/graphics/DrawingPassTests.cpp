// Dirty accumulation and both drawing rules.
#include <gtest/gtest.h>

#include "GraphicsTestSupport.h"

using namespace gfxtest;

namespace
{
struct Editor
{
  EditorPlug plug;
  RecordingGraphics g{&plug, 200, 100};
  std::vector<ProbeControl*> c;

  ProbeControl* Add(const IRECT& r, int paramIdx = -1)
  {
    auto* control = new ProbeControl(&plug, r, paramIdx);
    g.AttachControl(control);
    c.push_back(control);
    return control;
  }
  void DrawAll()
  {
    IRECT r(0, 0, 200, 100);
    g.Draw(&r);
    for (auto* control : c) control->draws = 0;
    g.screenCopies.clear();
  }
};
}  // namespace

TEST(DrawingPass, EmptyEditorCopiesNothing)
{
  EditorPlug plug;
  RecordingGraphics g(&plug, 200, 100);
  IRECT r(0, 0, 10, 10);
  EXPECT_TRUE(g.Draw(&r));
  EXPECT_TRUE(g.screenCopies.empty());
  IRECT dirty;
  EXPECT_FALSE(g.IsDirty(&dirty));
}

TEST(DrawingPass, DirtyAreaIsTheUnionOfDirtyControls)
{
  Editor e;
  e.Add(IRECT(0, 0, 200, 100));
  auto* a = e.Add(IRECT(10, 10, 20, 20));
  auto* b = e.Add(IRECT(50, 30, 60, 90));
  IRECT r;
  EXPECT_TRUE(e.g.IsDirty(&r));  // every control starts dirty
  EXPECT_EQ(r, IRECT(0, 0, 200, 100));
  e.DrawAll();
  r.Clear();
  EXPECT_FALSE(e.g.IsDirty(&r));
  a->SetDirty(false);
  b->Hide(true);  // hidden controls are asked too
  EXPECT_TRUE(e.g.IsDirty(&r));
  EXPECT_EQ(r, IRECT(10, 10, 60, 90));
}

TEST(DrawingPass, StrictDrawsWhatMeetsTheAreaAndCleansEverything)
{
  Editor e;
  auto* bg = e.Add(IRECT(0, 0, 200, 100));
  auto* touching = e.Add(IRECT(40, 40, 50, 50));
  auto* apart = e.Add(IRECT(60, 60, 70, 70));
  auto* hidden = e.Add(IRECT(0, 0, 40, 40));
  hidden->Hide(true);
  e.DrawAll();

  // The area's right and bottom edges touch the control's left and top: it is redrawn.
  IRECT r(0, 0, 40, 40);
  EXPECT_TRUE(e.g.Draw(&r));
  EXPECT_EQ(bg->draws, 1);
  EXPECT_EQ(touching->draws, 1);
  EXPECT_EQ(apart->draws, 0);
  EXPECT_EQ(hidden->draws, 0);
  ASSERT_EQ(e.g.screenCopies.size(), 1u);
  EXPECT_EQ(e.g.screenCopies[0], IRECT(0, 0, 40, 40));
  IRECT d;
  EXPECT_FALSE(e.g.IsDirty(&d));  // the hidden one was cleaned too
}

TEST(DrawingPass, RedrawPendingDrawsOneMorePass)
{
  Editor e;
  auto* c = e.Add(IRECT(10, 10, 20, 20));
  e.g.SetControlFromPlug(0, 0.25);  // the first value becomes the default, unchanged
  e.DrawAll();
  e.g.SetControlFromPlug(0, 0.5);
  e.g.SetControlFromPlug(0, 0.75);  // only the last value counts
  IRECT r;
  ASSERT_TRUE(e.g.IsDirty(&r));
  EXPECT_EQ(c->GetValue(), 0.75);
  e.g.Draw(&r);
  r.Clear();
  ASSERT_TRUE(e.g.IsDirty(&r));
  e.g.Draw(&r);
  EXPECT_EQ(c->draws, 2);
  r.Clear();
  EXPECT_FALSE(e.g.IsDirty(&r));
}

TEST(DrawingPass, NonStrictDirtyBackgroundRedrawsEveryVisibleControl)
{
  Editor e;
  auto* bg = e.Add(IRECT(0, 0, 200, 100));
  auto* a = e.Add(IRECT(10, 10, 20, 20));
  auto* hidden = e.Add(IRECT(30, 10, 40, 20));
  e.g.SetStrictDrawing(false);
  hidden->Hide(true);
  IRECT r(0, 0, 200, 100);
  e.g.Draw(&r);
  EXPECT_EQ(bg->draws, 1);
  EXPECT_EQ(a->draws, 1);
  EXPECT_EQ(hidden->draws, 0);
  EXPECT_FALSE(bg->IsDirty());
  EXPECT_TRUE(hidden->IsDirty());  // hidden controls are left dirty
}

TEST(DrawingPass, NonStrictDirtyControlRedrawsWhatItMeets)
{
  Editor e;
  auto* bg = e.Add(IRECT(0, 0, 200, 100));
  auto* a = e.Add(IRECT(10, 10, 30, 30));
  auto* over = e.Add(IRECT(25, 25, 50, 50));
  auto* far = e.Add(IRECT(100, 10, 120, 30));
  auto* hidden = e.Add(IRECT(12, 12, 14, 14));
  e.g.SetStrictDrawing(false);
  e.DrawAll();
  hidden->Hide(true);
  e.DrawAll();
  e.DrawAll();  // hiding asked for two passes; the hidden one is cleaned without being drawn
  EXPECT_FALSE(hidden->IsDirty());

  a->SetDirty(false);
  IRECT r(0, 0, 1, 1);
  e.g.Draw(&r);
  EXPECT_EQ(bg->draws, 1);
  EXPECT_EQ(a->draws, 1);
  EXPECT_EQ(over->draws, 1);
  EXPECT_EQ(far->draws, 0);
  EXPECT_EQ(hidden->draws, 0);
  EXPECT_FALSE(a->IsDirty());
  ASSERT_EQ(e.g.screenCopies.size(), 1u);
  EXPECT_EQ(e.g.screenCopies[0], IRECT(0, 0, 1, 1));
}

TEST(DrawingPass, AreasAreClippedToTheEditor)
{
  Editor e;
  e.Add(IRECT(0, 0, 200, 100));
  auto* offEditor = e.Add(IRECT(2000, 2000, 2030, 2040), 0);  // like Brelix's LINK switch
  e.g.SetParameterFromPlug(0, 0.0, true);  // the first value becomes the default
  e.DrawAll();
  e.g.SetParameterFromPlug(0, 1.0, true);
  IRECT r;
  EXPECT_TRUE(e.g.IsDirty(&r));
  EXPECT_TRUE(r.Empty());
  r = IRECT(-50, -50, 5000, 5000);
  EXPECT_TRUE(e.g.Draw(&r));
  EXPECT_EQ(r, IRECT(0, 0, 200, 100));
  ASSERT_EQ(e.g.screenCopies.size(), 1u);
  EXPECT_EQ(e.g.screenCopies[0], IRECT(0, 0, 200, 100));
  EXPECT_EQ(offEditor->draws, 0);
  EXPECT_EQ(offEditor->GetValue(), 1.0);

  // Non-strict: the off-editor control is cleaned without drawing or copying anything there.
  e.g.SetStrictDrawing(false);
  e.DrawAll();
  offEditor->SetDirty(false);
  IRECT none;
  e.g.Draw(&none);
  EXPECT_EQ(offEditor->draws, 0);
  EXPECT_FALSE(offEditor->IsDirty());
  EXPECT_TRUE(e.g.screenCopies.empty());
}
