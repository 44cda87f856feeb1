// Value prompts: the enum menu and the text entry, and the text coming back.
#include <gtest/gtest.h>

#include "GraphicsTestSupport.h"
#include "IParam.h"

using namespace gfxtest;

TEST(Prompt, EnumShowsItsDisplayTextsWithTheCurrentOneChecked)
{
  EditorPlug plug;
  RecordingGraphics g(&plug, 200, 100);
  auto* c = new ProbeControl(&plug, IRECT(10, 10, 50, 30), 1);
  g.AttachControl(c);
  c->DisablePrompt(false);
  plug.GetParam(1)->SetValue(1.0);

  g.menuChoice = 2;
  c->PromptUserInput();
  ASSERT_EQ(g.menus.size(), 1u);
  EXPECT_EQ(g.menus[0].texts, (std::vector<std::string>{"A", "B", "C"}));
  EXPECT_EQ(g.menus[0].checked, (std::vector<bool>{false, true, false}));
  EXPECT_EQ(g.menus[0].area, IRECT(10, 10, 50, 30));  // the control's own rectangle
  EXPECT_DOUBLE_EQ(c->GetValue(), plug.GetParam(1)->GetNormalized(2.0));
  EXPECT_TRUE(c->GetRedrawPending());

  // Dismissed: nothing changes.
  const double before = c->GetValue();
  g.menuChoice = -1;
  c->PromptUserInput();
  EXPECT_EQ(c->GetValue(), before);
  EXPECT_TRUE(g.textEntries.empty());
}

TEST(Prompt, NumbersOpenATextEntryAtTheControlsCentre)
{
  EditorPlug plug;
  RecordingGraphics g(&plug, 200, 100);
  auto* c = new ProbeControl(&plug, IRECT(10, 10, 51, 31), 3);
  g.AttachControl(c);
  c->PromptUserInput();  // prompting starts disabled
  EXPECT_TRUE(g.textEntries.empty());
  c->DisablePrompt(false);
  plug.GetParam(3)->SetValue(2.5);
  c->PromptUserInput();
  ASSERT_EQ(g.textEntries.size(), 1u);
  EXPECT_EQ(g.textEntries[0].control, c);
  EXPECT_EQ(g.textEntries[0].text, "2.50");
  EXPECT_EQ(g.textEntries[0].area, IRECT(10, 12, 50, 28));  // cX = int(30.5), cY = int(20.5)
  IRECT area(1, 2, 3, 4);
  c->PromptUserInput(&area);
  EXPECT_EQ(g.textEntries.back().area, area);

  const IParam* p = plug.GetParam(3);
  g.SetFromStringAfterPrompt(c, plug.GetParam(3), "-4.5");
  EXPECT_DOUBLE_EQ(c->GetValue(), p->GetNormalized(-4.5));
  g.SetFromStringAfterPrompt(c, plug.GetParam(3), "junk");  // unparsable reads as 0
  EXPECT_DOUBLE_EQ(c->GetValue(), p->GetNormalized(0.0));
  plug.GetParam(3)->SetNegateDisplay(true);
  g.SetFromStringAfterPrompt(c, plug.GetParam(3), "3dB");
  EXPECT_DOUBLE_EQ(c->GetValue(), p->GetNormalized(-3.0));
  g.SetFromStringAfterPrompt(c, nullptr, "1");
  EXPECT_DOUBLE_EQ(c->GetValue(), p->GetNormalized(-3.0));
}

TEST(Prompt, EnumTextsMapToTheirIndex)
{
  EditorPlug plug;
  RecordingGraphics g(&plug, 200, 100);
  auto* c = new ProbeControl(&plug, IRECT(10, 10, 50, 30), 1);
  g.AttachControl(c);
  g.SetFromStringAfterPrompt(c, plug.GetParam(1), "C");
  EXPECT_DOUBLE_EQ(c->GetValue(), plug.GetParam(1)->GetNormalized(2.0));
  g.SetFromStringAfterPrompt(c, plug.GetParam(1), "nothing like it");
  EXPECT_DOUBLE_EQ(c->GetValue(), plug.GetParam(1)->GetNormalized(0.0));
}

TEST(Prompt, ATextEntryForARemovedControlIsIgnored)
{
  EditorPlug plug;
  RecordingGraphics g(&plug, 200, 100);
  int deaths = 0;
  auto* c = new ProbeControl(&plug, IRECT(10, 10, 50, 30), 3, &deaths);
  g.AttachControl(c);
  c->DisablePrompt(false);
  c->PromptUserInput();
  ASSERT_EQ(g.textEntries.size(), 1u);
  g.RemoveControls(0);
  EXPECT_EQ(deaths, 1);
  EXPECT_EQ(g.endUserEdits, 1);
  plug.informs.clear();
  g.SetFromStringAfterPrompt(g.textEntries[0].control, g.textEntries[0].param, "5");
  EXPECT_TRUE(plug.informs.empty());
}

TEST(Prompt, NullArgumentsAreIgnored)
{
  EditorPlug plug;
  RecordingGraphics g(&plug, 200, 100);
  auto* c = new ProbeControl(&plug, IRECT(10, 10, 50, 30), 1);
  g.AttachControl(c);
  IRECT r(0, 0, 1, 1);
  g.PromptUserInput(nullptr, plug.GetParam(1), &r);
  g.PromptUserInput(c, nullptr, &r);
  g.PromptUserInput(c, plug.GetParam(1), nullptr);
  EXPECT_TRUE(g.menus.empty());
  EXPECT_TRUE(g.textEntries.empty());
}
