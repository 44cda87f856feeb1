// Brelix's editor as the effect builds it: size, control list, images found from the module's
// own folder (this test runs from a folder shaped like a bundle), the meter feed and automation
// reaching every control through the processing path.
#include <cmath>
#include <limits>
#include <memory>

#include <gtest/gtest.h>

#include "Brelix.h"
#include "IBitmapControl.h"
#include "IKnobControls.h"
#include "ISwitchControls.h"
#include "TestHost.h"
#include "pluginterfaces/gui/iplugview.h"

using namespace Steinberg;
using namespace Steinberg::Vst;

namespace
{
// The strip a bitmap control or multi-frame knob draws from.
const IBitmap& BitmapOf(IControl* c)
{
  if (auto* knob = dynamic_cast<IKnobMultiControl*>(c)) return knob->GetBitmap();
  return dynamic_cast<IBitmapControl&>(*c).GetBitmap();
}

// An initialised, active Brelix driven through its VST3 interfaces, as a host does.
struct HostedBrelix
{
  HostedBrelix()
  {
    fx = new Brelix(IPlugInstanceInfo());
    EXPECT_EQ(fx->initialize(&host), kResultOk);
    ProcessSetup setup{kRealtime, kSample32, kBlock, 48000.0};
    EXPECT_EQ(fx->setupProcessing(setup), kResultOk);
    EXPECT_EQ(fx->setActive(true), kResultOk);
    editor = static_cast<IGraphics*>(fx->GetGUI());
  }
  ~HostedBrelix()
  {
    fx->setActive(false);
    fx->terminate();
    fx->release();
  }
  // One block of a loud stereo tone with the given parameter changes.
  void Process(vst3test::ParamChanges* changes, double amplitude = 0.0)
  {
    vst3test::AudioBlock<float> block({2}, {2}, kBlock);
    for (int c = 0; c < 2; ++c) block.FillInput(0, c, [&](int s) { return amplitude * std::sin(0.05 * s); });
    block.data.inputParameterChanges = changes;
    ASSERT_EQ(fx->process(block.data), kResultOk);
  }
  // Applies what processing pushed, as the editor's timer does.
  void Tick()
  {
    IRECT r;
    if (editor->IsDirty(&r)) editor->Draw(&r);
  }
  int Frame(int controlIdx)
  {
    IControl* c = editor->GetControl(controlIdx);
    return IBitmapControl::FrameFromValue(BitmapOf(c).N, c->GetValue());
  }

  static constexpr int kBlock = 256;
  HostApplication host;
  Brelix* fx = nullptr;
  IGraphics* editor = nullptr;
};

struct Expected
{
  int paramIdx;
  int x, y, frames, maxWidth;
};
}  // namespace

TEST(BrelixEditor, SizeControlsImagesAndMeterIndex)
{
  HostedBrelix b;
  ASSERT_NE(b.editor, nullptr);
  EXPECT_EQ(b.editor->Width(), 1129);
  EXPECT_EQ(b.editor->Height(), 214);
  IPlugView* view = b.fx->createView(ViewType::kEditor);
  ASSERT_NE(view, nullptr);
  ViewRect size;
  ASSERT_EQ(view->getSize(&size), kResultOk);
  EXPECT_EQ(size.getWidth(), 1129);
  EXPECT_EQ(size.getHeight(), 214);
  view->release();

  ASSERT_EQ(b.editor->NControls(), 9);
  EXPECT_EQ(b.fx->GetMeterControlIdx(), 8);
  // The background: the whole window.
  const IRECT* bg = b.editor->GetControl(0)->GetRECT();
  EXPECT_EQ(bg->L, 0);
  EXPECT_EQ(bg->T, 0);
  EXPECT_EQ(bg->R, 1129);
  EXPECT_EQ(bg->B, 214);
  const Expected expected[] = {
    {Brelix::kBypass, 1011, 56, 2, 118}, {Brelix::kLink, 2000, 2000, 2, 1000}, {Brelix::kHpf, 595, 34, 4, 193},
    {Brelix::kLpf, 788, 30, 2, 223},     {Brelix::kGain, 217, 31, 61, 160},     {Brelix::kModel, 27, 37, 11, 190},
    {Brelix::kOut, 406, 34, 61, 189},    {-1, 377, 44, 61, 29}};
  for (int i = 1; i <= 8; ++i)
  {
    SCOPED_TRACE(i);
    const Expected& e = expected[i - 1];
    IControl* c = b.editor->GetControl(i);
    EXPECT_EQ(c->ParamIdx(), e.paramIdx);
    if (i <= 4)
    {
      EXPECT_NE(dynamic_cast<ISwitchControl*>(c), nullptr);
    }
    else if (i <= 7)
    {
      EXPECT_NE(dynamic_cast<IKnobMultiControl*>(c), nullptr);
    }
    const IBitmap& bitmap = BitmapOf(c);
    ASSERT_NE(bitmap.mData, nullptr) << "image not found beside the module";
    EXPECT_EQ(bitmap.N, e.frames);
    EXPECT_EQ(bitmap.H % e.frames, 0);
    const IRECT* r = c->GetRECT();
    EXPECT_EQ(r->L, e.x);
    EXPECT_EQ(r->T, e.y);
    EXPECT_EQ(r->W(), bitmap.W);
    EXPECT_EQ(r->H(), bitmap.H / e.frames);
    EXPECT_LE(r->W(), e.maxWidth);
    if (i != 2)
    {
      EXPECT_LE(r->B, 214);
    }
  }
}

TEST(BrelixEditor, NoPointOfTheWindowHitsLink)
{
  HostedBrelix b;
  for (int y = 0; y < 214; ++y)
    for (int x = 0; x < 1129; ++x) ASSERT_NE(b.editor->GetMouseControlIdx(x, y), 2) << x << "," << y;
}

TEST(BrelixEditor, MeterShowsTheFirstFrameAtSilenceAndTheLastFromLevelFour)
{
  HostedBrelix b;
  b.Process(nullptr, 0.0);
  b.Tick();
  EXPECT_EQ(b.fx->GetMeterLevel(), 0.0);
  EXPECT_EQ(b.Frame(8), 1);
  // A level of 4 (sent value 1) and above: the last frame. Straight into the hand-over, then
  // from the signal path with a loud input (its level is far above 4).
  b.editor->SetControlFromPlug(8, 4.0 * Brelix::kMeterScale);
  b.Tick();
  EXPECT_EQ(b.Frame(8), 61);
  b.editor->SetControlFromPlug(8, 0.0);
  b.Tick();
  EXPECT_EQ(b.Frame(8), 1);
  vst3test::ParamChanges gain;
  gain.Add(Brelix::kGain, 0, 1.0);
  for (int i = 0; i < 8; ++i) b.Process(i == 0 ? &gain : nullptr, 1.0);
  b.Tick();
  ASSERT_GE(b.fx->GetMeterLevel(), 4.0);
  EXPECT_EQ(b.Frame(8), 61);
  EXPECT_DOUBLE_EQ(b.editor->GetControl(8)->GetValue(), b.fx->GetMeterLevel() * Brelix::kMeterScale > 1.0
                                                            ? 1.0
                                                            : b.fx->GetMeterLevel() * Brelix::kMeterScale);
  // A non-finite input never reaches the meter control.
  vst3test::AudioBlock<float> block({2}, {2}, HostedBrelix::kBlock);
  block.FillInput(0, 0, [](int s) { return s % 2 ? std::numeric_limits<float>::infinity() : std::nanf(""); });
  ASSERT_EQ(b.fx->process(block.data), kResultOk);
  b.Tick();
  EXPECT_TRUE(std::isfinite(b.editor->GetControl(8)->GetValue()));
}

TEST(BrelixEditor, AutomationOfEveryParameterMovesItsControl)
{
  HostedBrelix b;
  b.Tick();
  struct Case
  {
    int control, paramIdx;
    double normalized;
    int frame;
  };
  const Case cases[] = {{1, Brelix::kBypass, 1.0, 2}, {2, Brelix::kLink, 1.0, 2},  {3, Brelix::kHpf, 2.0 / 3.0, 3},
                        {4, Brelix::kLpf, 1.0, 2},    {5, Brelix::kGain, 0.5, 31}, {6, Brelix::kModel, 0.7, 8},
                        {7, Brelix::kOut, 1.0, 61}};
  for (const Case& c : cases)
  {
    SCOPED_TRACE(c.paramIdx);
    const int before = b.Frame(c.control);
    vst3test::ParamChanges changes;
    changes.Add(static_cast<ParamID>(c.paramIdx), 0, c.normalized);
    b.Process(&changes);
    b.Tick();
    EXPECT_NE(b.Frame(c.control), before);
    EXPECT_EQ(b.Frame(c.control), c.frame);
  }
}
