// The window layer's own text entry field and tooltips.
#include <algorithm>
#include <cstring>

#include "IGraphicsLinux.h"
#include "OverlayViews.h"

void IGraphicsLinux::CreateTextEntry(IControl* control, IText* text, IRECT* area, const char* str, IParam* param)
{
  if (!mWindow || !control || !area || mEdControl || mX.Broken()) return;
  const char* filter = nullptr;
  int maxLength = 0;
  if (param)
  {
    switch (param->Type())
    {
      case IParam::kParamBool:
      case IParam::kParamInt:
      case IParam::kParamEnum: filter = TextEntryField::kIntegerFilter; break;
      case IParam::kParamDouble: filter = TextEntryField::kDecimalFilter; break;
      default: filter = "\x7f"; break;  // a type without a filter of its own takes no characters
    }
    maxLength = control->GetTextEntryLength();
  }
  mField.Open(str, filter, maxLength);
  mEdControl = control;
  mEdParam = param;
  mEdRect = area->Intersect(IRECT(0, 0, Width(), Height()));
  mEdText = text ? *text : IText();
  HideTooltip();
  XSetInputFocus(mX.Get(), mWindow, RevertToParent, CurrentTime);
  DrawTextEntry();
  XFlush(mX.Get());
}

void IGraphicsLinux::ForceEndUserEdit()
{
  if (mEdControl) EndTextEntry(false);
}

void IGraphicsLinux::EndTextEntry(bool commit)
{
  IControl* control = mEdControl;
  IParam* param = mEdParam;
  const std::string text = mField.Text();
  mEdControl = nullptr;
  mEdParam = nullptr;
  mField.Open("", nullptr, 0);
  if (!control) return;
  if (commit)
  {
    if (param)
      SetFromStringAfterPrompt(control, param, text.c_str());
    else
      control->TextFromTextEntry(text.c_str());
  }
  SetAllControlsDirty();  // the field's pixels go; the controls below come back on the next tick
  if (mWindow && !mX.Broken() && mParent)
  {
    Window focus = 0;
    int revert = 0;
    XGetInputFocus(mX.Get(), &focus, &revert);
    if (focus == mWindow) XSetInputFocus(mX.Get(), mParent, RevertToParent, CurrentTime);
    XFlush(mX.Get());
  }
}

void IGraphicsLinux::DrawTextEntry()
{
  if (!mEdControl || mEdRect.Empty()) return;
  IRECT r = mEdRect;
  FillIRect(&mEdText.mTextEntryBGColor, &r);
  IText t = mEdText;
  t.mSize = static_cast<int>(mEdText.mSize * 0.9);
  t.mColor = mEdText.mTextEntryFGColor;
  // The field shows the text from its start; the caret sits after the characters before it.
  auto width = [&](const std::string& s) {
    IRECT m = r;
    if (s.empty()) return 0;
    if (DrawIText(&t, s.c_str(), &m, true)) return m.W();
    return TextEntryField::CountChars(s) * (t.mSize * 6 / 10);
  };
  const int textW = width(mField.Text());
  int x0 = r.L + 2;
  if (t.mAlign == IText::kAlignCenter) x0 = static_cast<int>(r.MW()) - textW / 2;
  if (t.mAlign == IText::kAlignRight) x0 = r.R - 2 - textW;
  IRECT textRect = r;
  DrawIText(&t, mField.Text().c_str(), &textRect);
  const int caretX = x0 + width(mField.Text().substr(0, mField.Caret()));
  if (caretX >= r.L && caretX < r.R) DrawVerticalLine(&t.mColor, caretX, r.T + 2, r.B - 3);
  DrawScreen(&r);
}

void IGraphicsLinux::UpdateTooltips()
{
  HideTooltip();
  mHoverTicks = 0;
}

void IGraphicsLinux::ShowTooltip(int controlIdx)
{
  mTooltipShown = true;  // once per hover, shown or not
  IControl* control = GetControl(controlIdx);
  if (!TooltipsEnabled() || !mWindow || !control || control->IsHidden() || control->GetTargetRECT()->Empty())
    return;
  const char* tip = control->GetTooltip();
  if (!tip || !*tip) return;
  Display* d = mX.Get();
  int rx = 0, ry = 0;
  Window child;
  XTranslateCoordinates(d, mWindow, DefaultRootWindow(d), mPrevX, mPrevY, &rx, &ry, &child);
  const TooltipView view(tip);
  const Screen* screen = DefaultScreenOfDisplay(d);
  const int x = std::max(0, std::min(rx + 12, WidthOfScreen(screen) - view.Width()));
  const int y = std::max(0, std::min(ry + 18, HeightOfScreen(screen) - view.Height()));
  if (!mTooltip.Open(d, x, y, view.Width(), view.Height())) return;
  view.Render(mTooltip.Bitmap());
  mTooltip.Map();
  XFlush(d);
}

void IGraphicsLinux::HideTooltip()
{
  mTooltipShown = false;
  mHoverTicks = 0;
  if (!mTooltip.Id()) return;
  if (mX.Broken())
    mTooltip.Abandon();
  else
  {
    mTooltip.Close();
    XFlush(mX.Get());
  }
}
