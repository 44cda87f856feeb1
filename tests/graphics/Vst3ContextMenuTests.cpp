// A right-click over a parameter control of an editor attached to a VST3 instance reaches the
// host's context menu through IComponentHandler3, for the first open view.
#include <gtest/gtest.h>

#include "GraphicsTestSupport.h"
#include "TestHost.h"
#include "TestPlugs.h"
#include "public.sdk/source/common/pluginview.h"

using namespace gfxtest;
using namespace vst3test;

TEST(Vst3ContextMenu, RightClickOpensTheHostMenuWithoutAGesture)
{
  auto hostApp = std::make_unique<HostApplication>();
  auto* fx = new TestFx(IPlugInstanceInfo());
  ASSERT_EQ(fx->initialize(hostApp.get()), kResultOk);
  ComponentHandler handler;
  ASSERT_EQ(fx->setComponentHandler(&handler), kResultOk);

  auto* g = new RecordingGraphics(fx, 200, 100);
  g->AttachControl(new ProbeControl(fx, IRECT(10, 10, 50, 50), TestFx::kDrive));
  fx->AttachGraphics(g);
  EXPECT_EQ(fx->GetGUI(), g);

  IMouseMod right(false, true);
  g->OnMouseDown(20, 30, &right);  // no view open yet: no menu
  g->OnMouseUp(20, 30, &right);
  EXPECT_EQ(handler.mMenusPoppedUp, 0);

  auto* view = new Steinberg::CPluginView();
  fx->AddView(view);
  g->OnMouseDown(20, 30, &right);
  g->OnMouseUp(20, 30, &right);
  EXPECT_EQ(handler.mMenusPoppedUp, 1);
  EXPECT_EQ(handler.mMenuParam, static_cast<ParamID>(TestFx::kDrive));
  EXPECT_EQ(handler.mMenuX, 20);
  EXPECT_EQ(handler.mMenuY, 30);
  EXPECT_TRUE(handler.mEdits.empty());  // no begin, no end
  EXPECT_EQ(g->GetMouseCapture(), -1);

  // A left drag is one gesture with the value performed in between.
  IMouseMod left(true);
  g->OnMouseDown(20, 30, &left);
  g->GetControl(0)->SetValue(0.5);
  g->GetControl(0)->SetDirty(true);
  g->OnMouseUp(20, 30, &left);
  ASSERT_EQ(handler.mEdits.size(), 3u);
  EXPECT_EQ(handler.mEdits[0].mKind, 'b');
  EXPECT_EQ(handler.mEdits[1].mKind, 'p');
  EXPECT_EQ(handler.mEdits[2].mKind, 'e');
  EXPECT_EQ(handler.mEdits[2].mTag, static_cast<ParamID>(TestFx::kDrive));

  fx->RemoveView(view);
  view->release();
  ASSERT_EQ(fx->terminate(), kResultOk);
  fx->release();
}
