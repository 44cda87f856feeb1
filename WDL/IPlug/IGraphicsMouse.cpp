// Hit testing, mouse and key routing, host gestures and value prompts.
//
// Host gestures stay balanced whatever the mouse does: the parameter whose gesture a press began
// is remembered and exactly that gesture is ended, once, by the release (or by anything that
// drops the capture). A press that begins nothing ends nothing.
#include <cstring>

#include "IGraphics.h"
#include "IParam.h"
#include "IPopupMenu.h"
#include "WDL_Number.h"

int IGraphics::SearchControl(int x, int y, bool mouseOver) const
{
  for (int i = mControls.GetSize() - 1; i >= 0; --i)
  {
    IControl* c = mControls.Get(i);
    if (c->IsHidden()) continue;
    if (c->IsGrayed() && !(mouseOver && c->GetMOWhenGrayed())) continue;
    if (c->IsHit(x, y)) return i;
  }
  return -1;
}

int IGraphics::GetMouseControlIdx(int x, int y, bool mouseOver)
{
  if (mMouseCapture >= 0) return mMouseCapture;
  return SearchControl(x, y, mouseOver);
}

void IGraphics::ClearCapture()
{
  mMouseCapture = mMouseX = mMouseY = -1;
}

void IGraphics::BeginGesture(int idx)
{
  IControl* c = mControls.Get(idx);
  if (mGestureParam >= 0 || !c || c->ParamIdx() < 0 || !mPlug) return;
  mGestureParam = c->ParamIdx();
  mPlug->BeginInformHostOfParamChange(mGestureParam);
}

void IGraphics::EndGesture()
{
  if (mGestureParam < 0) return;
  const int paramIdx = mGestureParam;
  mGestureParam = -1;
  if (mPlug) mPlug->EndInformHostOfParamChange(paramIdx);
}

void IGraphics::ReleaseMouseCapture()
{
  ClearCapture();
  EndGesture();
}

void IGraphics::OnMouseDown(int x, int y, IMouseMod* mod)
{
  IMouseMod none;
  if (!mod) mod = &none;
  // A second button pressed mid-drag keeps the open gesture when it lands on the same
  // parameter; anywhere else, that gesture ends first.
  const int captured = mMouseCapture;
  ClearCapture();
  const int idx = SearchControl(x, y, false);
  IControl* c = mControls.Get(idx);
  if (mGestureParam >= 0 && (!c || c->ParamIdx() != mGestureParam || idx != captured)) EndGesture();
  if (!c) return;
  mMouseCapture = idx;
  mMouseX = x;
  mMouseY = y;
  const int paramIdx = c->ParamIdx();
  if (mPlug && mPlug->GetAPI() == kAPIVST3 && paramIdx >= 0 && mod->R)
  {
    ReleaseMouseCapture();
    mPlug->PopupHostContextMenuForParam(paramIdx, x, y);
    return;
  }
  BeginGesture(idx);
  c->OnMouseDown(x, y, mod);
}

void IGraphics::OnMouseUp(int x, int y, IMouseMod* mod)
{
  IMouseMod none;
  if (!mod) mod = &none;
  const int idx = GetMouseControlIdx(x, y);
  ClearCapture();
  if (IControl* c = mControls.Get(idx)) c->OnMouseUp(x, y, mod);
  EndGesture();
}

void IGraphics::OnMouseDrag(int x, int y, IMouseMod* mod)
{
  IMouseMod none;
  if (!mod) mod = &none;
  IControl* c = mControls.Get(mMouseCapture);
  if (!c) return;
  const int dX = x - mMouseX, dY = y - mMouseY;
  if (dX == 0 && dY == 0) return;
  mMouseX = x;
  mMouseY = y;
  c->OnMouseDrag(x, y, dX, dY, mod);
}

bool IGraphics::OnMouseDblClick(int x, int y, IMouseMod* mod)
{
  IMouseMod none;
  if (!mod) mod = &none;
  ReleaseMouseCapture();
  const int idx = SearchControl(x, y, false);
  IControl* c = mControls.Get(idx);
  if (!c) return false;
  if (c->MouseDblAsSingleClick())
  {
    mMouseCapture = idx;
    mMouseX = x;
    mMouseY = y;
    BeginGesture(idx);
    c->OnMouseDown(x, y, mod);
    return true;
  }
  // Restoring the default is one complete edit.
  BeginGesture(idx);
  c->OnMouseDblClick(x, y, mod);
  EndGesture();
  return false;
}

void IGraphics::OnMouseWheel(int x, int y, IMouseMod* mod, int d)
{
  IMouseMod none;
  if (!mod) mod = &none;
  const int idx = GetMouseControlIdx(x, y);
  IControl* c = mControls.Get(idx);
  if (!c) return;
  // One wheel step is one complete edit, unless it comes inside a drag's own gesture.
  const bool ownGesture = mGestureParam < 0;
  if (ownGesture) BeginGesture(idx);
  c->OnMouseWheel(x, y, mod, d);
  if (ownGesture) EndGesture();
}

bool IGraphics::OnMouseOver(int x, int y, IMouseMod* mod)
{
  IMouseMod none;
  if (!mod) mod = &none;
  if (!mHandleMouseOver) return false;
  const int idx = GetMouseControlIdx(x, y, true);
  IControl* c = mControls.Get(idx);
  if (!c) return true;
  mMouseX = x;
  mMouseY = y;
  c->OnMouseOver(x, y, mod);
  if (mMouseOver >= 0 && mMouseOver != idx)
    if (IControl* previous = mControls.Get(mMouseOver)) previous->OnMouseOut();
  mMouseOver = idx;
  return true;
}

void IGraphics::OnMouseOut()
{
  for (int i = 0; i < mControls.GetSize(); ++i) mControls.Get(i)->OnMouseOut();
  mMouseOver = -1;
}

bool IGraphics::OnKeyDown(int x, int y, int key)
{
  int idx = GetMouseControlIdx(x, y);
  if (idx < 0) idx = 0;
  if (idx > 0) return mControls.Get(idx)->OnKeyDown(x, y, key);
  return mKeyCatcher ? mKeyCatcher->OnKeyDown(x, y, key) : false;
}

int IGraphics::GetParamIdxForPTAutomation(int x, int y)
{
  const int idx = GetMouseControlIdx(x, y);
  const IControl* c = idx > 0 ? mControls.Get(idx) : nullptr;
  mLastClickedParam = c ? c->ParamIdx() : -1;
  return mLastClickedParam;
}

int IGraphics::GetLastClickedParamForPTAutomation()
{
  const int paramIdx = mLastClickedParam;
  mLastClickedParam = -1;
  return paramIdx;
}

// Prompts

void IGraphics::PromptUserInput(IControl* control, IParam* param, IRECT* area)
{
  if (!control || !param || !area) return;
  const int nTexts = param->GetNDisplayTexts();
  const IParam::EParamKind kind = param->Type();
  if (kind == IParam::kParamEnum || (kind == IParam::kParamBool && nTexts > 0))
  {
    char current[IParam::kDisplayBufLen];
    param->GetDisplayForHost(param->Value(), false, current, sizeof(current), true);
    IPopupMenu menu;
    for (int i = 0; i < nTexts; ++i)
    {
      const char* text = param->GetDisplayTextAtIdx(i);
      menu.AddItem(text, -1, std::strcmp(text, current) == 0 ? IPopupMenuItem::kItemChecked : 0);
    }
    IPopupMenu* chosen = CreateIPopupMenu(&menu, area);
    if (chosen && chosen->GetChosenItemIdx() >= 0 && chosen->GetChosenItemIdx() < chosen->GetNItems())
      control->SetValueFromUserInput(param->GetNormalized(chosen->GetChosenItemIdx()));
    return;
  }
  char current[IParam::kDisplayBufLen];
  param->GetDisplayForHost(param->Value(), false, current, sizeof(current), false);
  CreateTextEntry(control, control->GetText(), area, current, param);
}

void IGraphics::SetFromStringAfterPrompt(IControl* control, IParam* param, const char* text)
{
  if (!param || !IsAttached(control)) return;
  if (!text) text = "";
  double value = 0.0;
  const IParam::EParamKind kind = param->Type();
  if (kind == IParam::kParamBool || kind == IParam::kParamEnum)
  {
    int idx = 0;
    if (!param->MapDisplayText(text, &idx)) idx = 0;
    value = idx;
  }
  else
  {
    const char* rest = nullptr;
    if (!WDL_ParseDouble(text, &value, &rest)) value = 0.0;
    if (param->GetNegateDisplay()) value = -value;
  }
  control->SetValueFromUserInput(param->GetNormalized(value));
}
