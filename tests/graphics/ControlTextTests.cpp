// Text controls: text from the plug-in, caption texts with labels and display texts, value and
// name displays fed by an edit (cut without splitting UTF-8), and bitmap-font text.
#include <cstring>

#include <gtest/gtest.h>

#include "ControlTestSupport.h"
#include "IKnobControls.h"
#include "IParam.h"
#include "ITextControls.h"

using namespace gfxtest;

namespace
{
// True when s is well-formed UTF-8 (no cut or stray continuation bytes).
bool ValidUtf8(const char* s)
{
  for (const unsigned char* p = reinterpret_cast<const unsigned char*>(s); *p;)
  {
    const int n = *p < 0x80 ? 1 : (*p >> 5) == 6 ? 2 : (*p >> 4) == 14 ? 3 : (*p >> 3) == 30 ? 4 : 0;
    if (!n) return false;
    for (int i = 1; i < n; ++i)
      if ((p[i] & 0xC0) != 0x80) return false;
    p += n;
  }
  return true;
}

// The draw bitmap's row y is clean after a pass; true when the control asks for another.
bool DirtyAfterPass(IGraphics& g, IControl* c)
{
  IRECT r(0, 0, g.Width(), g.Height());
  g.Draw(&r);
  return c->IsDirty();
}
}  // namespace

TEST(TextControl, SetTextFromPlugMarksDirtyOnlyForANewText)
{
  ControlEditor e;
  const IText style(14, COLOR_RED, "Sans", IText::kStyleBold, IText::kAlignLeft);
  auto* text = e.Add(new ITextControl(&e.plug, IRECT(0, 0, 80, 20), &style, "Ready"));
  EXPECT_STREQ(text->GetTextString(), "Ready");
  EXPECT_EQ(text->ParamIdx(), -1);
  EXPECT_TRUE(text->IsPromptDisabled());
  EXPECT_EQ(text->GetText()->mSize, 14);
  EXPECT_STREQ(text->GetText()->mFont, "Sans");
  EXPECT_EQ(text->GetText()->mAlign, IText::kAlignLeft);

  EXPECT_FALSE(DirtyAfterPass(e.g, text));
  text->SetTextFromPlug("Ready");
  EXPECT_FALSE(text->IsDirty());
  text->SetTextFromPlug("Busy");
  EXPECT_TRUE(text->IsDirty());
  EXPECT_STREQ(text->GetTextString(), "Busy");
  EXPECT_FALSE(DirtyAfterPass(e.g, text));
  text->SetTextFromPlug(nullptr);
  EXPECT_STREQ(text->GetTextString(), "");
  EXPECT_TRUE(text->IsDirty());

  ITextControl plain(&e.plug, IRECT(0, 0, 10, 10), nullptr);
  EXPECT_STREQ(plain.GetText()->mFont, "Monaco");
  EXPECT_STREQ(plain.GetTextString(), "");
}

TEST(TextControl, DrawsItsTextInsideItsRectangleAndNothingWhenEmpty)
{
  ControlEditor e;
  const IText style(14, COLOR_WHITE, nullptr, IText::kStyleNormal, IText::kAlignLeft);
  e.Add(new ITextControl(&e.plug, IRECT(10, 10, 110, 30), &style, "Gain"));
  auto* caption = e.Add(new ICaptionControl(&e.plug, IRECT(10, 40, 110, 60), 3, &style));
  e.Add(new ITextControl(&e.plug, IRECT(10, 70, 110, 90), &style, ""));
  e.DrawAll();
  auto painted = [&](const IRECT& r) {
    int n = 0;
    for (int y = r.T; y < r.B; ++y)
      for (int x = r.L; x < r.R; ++x) n += e.Painted(x, y);
    return n;
  };
  EXPECT_GT(painted(IRECT(10, 10, 40, 30)), 20);
  EXPECT_EQ(painted(IRECT(60, 10, 110, 30)), 0);  // four letters end well before the right edge
  EXPECT_GT(painted(IRECT(10, 40, 110, 60)), 20);
  EXPECT_STREQ(caption->GetTextString(), "0.00 dB");
  EXPECT_EQ(painted(IRECT(0, 70, 200, 100)), 0);
}

TEST(Caption, ShowsTheValueWithLabelOrDisplayText)
{
  ControlEditor e;
  const IText style;
  auto* gain = e.Add(new ICaptionControl(&e.plug, IRECT(0, 0, 60, 20), 3, &style));
  auto* bare = e.Add(new ICaptionControl(&e.plug, IRECT(0, 20, 60, 40), 3, &style, false));
  auto* model = e.Add(new ICaptionControl(&e.plug, IRECT(0, 40, 60, 60), 1, &style));
  auto* number = e.Add(new ICaptionControl(&e.plug, IRECT(0, 60, 60, 80), 1, &style));
  e.plug.GetParam(3)->SetValue(-2.5);
  e.plug.GetParam(1)->SetValue(2.0);
  e.DrawAll();
  EXPECT_STREQ(gain->GetTextString(), "-2.50 dB");
  EXPECT_STREQ(bare->GetTextString(), "-2.50");
  // A display text replaces the number and the label (which is then empty).
  EXPECT_STREQ(model->GetTextString(), "C ");
  e.plug.GetParam(1)->SetValue(3.0);  // no display text for 3
  e.DrawAll();
  EXPECT_STREQ(number->GetTextString(), "3 ");
}

TEST(Caption, PressesPromptOnceEnabled)
{
  ControlEditor e;
  const IText style;
  auto* caption = e.Add(new ICaptionControl(&e.plug, IRECT(10, 10, 51, 31), 3, &style));
  EXPECT_TRUE(caption->IsPromptDisabled());
  caption->OnMouseDown(20, 20, &e.left);
  EXPECT_TRUE(e.g.textEntries.empty());
  caption->DisablePrompt(false);
  caption->OnMouseDown(20, 20, &e.left);
  caption->OnMouseDblClick(20, 20, &e.left);
  caption->OnMouseDown(20, 20, &e.right);
  IMouseMod noButton;
  caption->OnMouseDown(20, 20, &noButton);
  ASSERT_EQ(e.g.textEntries.size(), 3u);
  EXPECT_EQ(e.g.textEntries[0].area, IRECT(10, 12, 50, 28));  // 40 x 16 about the centre
  e.g.SetFromStringAfterPrompt(caption, e.plug.GetParam(3), "4.5");
  EXPECT_NEAR(e.plug.GetParam(3)->Value(), 4.5, 1e-9);
}

TEST(ValueDisplay, AnEditFeedsTheValueAndNameTexts)
{
  ControlEditor e;
  const IText style;
  auto* knob = e.Add(new BareKnob(&e.plug, IRECT(0, 0, 20, 50), 3));
  auto* value = e.Add(new ITextControl(&e.plug, IRECT(30, 0, 90, 20), &style));
  auto* name = e.Add(new ITextControl(&e.plug, IRECT(30, 20, 90, 40), &style));
  knob->SetValDisplayControl(value);
  knob->SetNameDisplayControl(name);
  knob->SetValueFromPlug(0.5);
  EXPECT_STREQ(value->GetTextString(), "");  // a value from the plug-in edits nothing
  knob->OnMouseDrag(5, 5, 0, -20, &e.left);
  EXPECT_STREQ(value->GetTextString(), "-2.80 dB");  // 0.6 on a shape of 2: -10 + 20 x 0.36
  EXPECT_STREQ(name->GetTextString(), "Double");
}

TEST(ValueDisplay, LongUtf8TextsAreCutOnCharacterBoundaries)
{
  TestPlug plug(1);
  // 20 two-byte characters: 40 bytes for both the display text and the label.
  std::string wide;
  for (int i = 0; i < 20; ++i) wide += "\xC3\xA9";
  plug.GetParam(0)->InitDouble("Wide", 0.0, 0.0, 1.0, 0.01, wide.c_str());
  char text[IControl::kValueTextLen];
  IControl::FormatValueText(plug.GetParam(0), true, text);
  EXPECT_TRUE(ValidUtf8(text));
  EXPECT_LT(std::strlen(text), sizeof(text));
  EXPECT_EQ(std::strncmp(text, "0.00 \xC3\xA9", 7), 0);
  EXPECT_EQ(std::strlen(text), 5u + 30u);  // the label keeps 15 whole characters of 31 bytes

  plug.GetParam(0)->InitEnum("Choice", 0, 2);
  plug.GetParam(0)->SetDisplayText(0, wide.c_str());
  IControl::FormatValueText(plug.GetParam(0), false, text);
  EXPECT_TRUE(ValidUtf8(text));
  EXPECT_EQ(std::strlen(text), 30u);
}

TEST(BitmapText, DrawsEachCharacterFromItsFrame)
{
  ControlEditor e;
  // 95 frames of 4 x 6, from the space on: "!" is frame 2 (rows 6-11), "#" frame 4 (rows 18-23).
  IBitmap font = e.Strip(4, 6, 95);
  const IText left(10, COLOR_BLACK, nullptr, IText::kStyleNormal, IText::kAlignLeft);
  auto* text = e.Add(new IBitmapTextControl(&e.plug, IRECT(10, 10, 50, 16), &font, "!#", &left, 4, 6, 2));
  e.DrawAll();
  EXPECT_EQ(e.SourceRow(10, 10), 6);
  EXPECT_EQ(e.SourceRow(16, 10), 18);  // after 4 pixels and a spacing of 2
  EXPECT_FALSE(e.Painted(14, 10));
  text->SetTextFromPlug("#");
  EXPECT_TRUE(text->IsDirty());
  e.DrawAll();
  EXPECT_EQ(e.SourceRow(10, 15), 23);
  EXPECT_FALSE(e.Painted(16, 10));

  // Centred vertically in a taller area, wrapped onto a second line.
  auto* wrapped = e.Add(new IBitmapTextControl(&e.plug, IRECT(100, 40, 108, 60), &font, "!!#", &left, 4, 6, 0,
                                               true, true));
  e.DrawAll();
  EXPECT_EQ(e.SourceRow(100, 47), 6);  // y0 = 40 + (20 - 6) / 2
  EXPECT_EQ(e.SourceRow(100, 53), 18);
  EXPECT_FALSE(e.Painted(100, 46));
  wrapped->SetTextFromPlug("");
  e.DrawAll();
  EXPECT_FALSE(e.Painted(100, 47));
}
