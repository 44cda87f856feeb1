// Construction, the control list, parameter synchronisation and the drawing passes.
#include "IGraphics.h"

#include "IBitmapControl.h"
#include "IPanelControl.h"
#include "IParam.h"

IGraphics::IGraphics(IPlugBase* plug, int w, int h, int fps)
  : mPlug(plug), mWidth(w > 0 ? w : 0), mHeight(h > 0 ? h : 0), mFPS(fps > 0 ? fps : kDefaultFPS)
{
}

IGraphics::~IGraphics()
{
  delete mKeyCatcher;
  mKeyCatcher = nullptr;
  {
    WDL_MutexLock lock(ListMutex());
    mControls.Empty(true);
  }
  delete mDrawBitmap;
  delete mTmpBitmap;
}

WDL_Mutex* IGraphics::ListMutex() const
{
  return mPlug ? mPlug->GetMutex() : nullptr;
}

void IGraphics::PrepDraw()
{
  delete mDrawBitmap;
  delete mTmpBitmap;
  mDrawBitmap = new LICE_SysBitmap(mWidth, mHeight);
  mTmpBitmap = new LICE_MemBitmap(0, 0, 4);
  ApplyValuesFromPlug();
}

LICE_IBitmap* IGraphics::GetDrawBitmap() const
{
  return mDrawBitmap;
}

LICE_pixel* IGraphics::GetBits()
{
  return mDrawBitmap ? mDrawBitmap->getBits() : nullptr;
}

void IGraphics::Resize(int w, int h)
{
  mWidth = w > 0 ? w : 0;
  mHeight = h > 0 ? h : 0;
  RemoveControls(0);
  delete mDrawBitmap;
  delete mTmpBitmap;
  mDrawBitmap = nullptr;
  mTmpBitmap = nullptr;
  PrepDraw();
  if (mPlug) mPlug->ResizeGraphics(mWidth, mHeight);
}

int IGraphics::AttachControl(IControl* control)
{
  if (!control) return -1;
  WDL_MutexLock lock(ListMutex());
  if (!mControls.Add(control))
  {
    delete control;
    return -1;
  }
  control->SetGUI(this);
  return mControls.GetSize() - 1;
}

void IGraphics::AttachBackground(int id, const char* name)
{
  IBitmap bitmap = LoadIBitmap(id, name, 1, false);
  InsertBackground(new IBitmapControl(mPlug, 0, 0, -1, &bitmap, IChannelBlend::kBlendCopy));
}

void IGraphics::AttachPanelBackground(const IColor* color)
{
  InsertBackground(new IPanelControl(mPlug, IRECT(0, 0, mWidth, mHeight), color));
}

void IGraphics::InsertBackground(IControl* background)
{
  WDL_MutexLock lock(ListMutex());
  if (!mControls.Insert(0, background))
  {
    delete background;
    return;
  }
  background->SetGUI(this);
  // The indices the mouse state refers to moved up by one.
  if (mMouseCapture >= 0) ++mMouseCapture;
  if (mMouseOver >= 0) ++mMouseOver;
}

void IGraphics::AttachKeyCatcher(IControl* control)
{
  if (control == mKeyCatcher) return;
  delete mKeyCatcher;
  mKeyCatcher = control;
  if (control) control->SetGUI(this);
}

void IGraphics::RemoveControls(int fromIdx)
{
  if (fromIdx < 0) fromIdx = 0;
  if (fromIdx >= mControls.GetSize()) return;
  // A text entry refers to its control: end it while the control still exists.
  ForceEndUserEdit();
  ReleaseMouseCapture();
  mMouseOver = -1;
  WDL_MutexLock lock(ListMutex());
  while (mControls.GetSize() > fromIdx) mControls.Delete(mControls.GetSize() - 1, true);
}

bool IGraphics::IsAttached(const IControl* control) const
{
  return control && (control == mKeyCatcher || mControls.Find(control) >= 0);
}

void IGraphics::SetStrictDrawing(bool strict)
{
  mStrict = strict;
  SetAllControlsDirty();
}

void IGraphics::AssignParamNameToolTips()
{
  for (int i = 0; i < mControls.GetSize(); ++i)
  {
    IControl* c = mControls.Get(i);
    if (const IParam* p = c->GetParam()) c->SetTooltip(p->GetNameForHost());
  }
}

// Parameter synchronisation

void IGraphics::SetParameterFromPlug(int paramIdx, double value, bool normalized)
{
  if (!normalized)
  {
    const IParam* p = mPlug ? mPlug->GetParam(paramIdx) : nullptr;
    if (!p || value != value) return;  // NaN; infinities clamp to the range's ends
    value = p->GetNormalized(value);
  }
  if (!IControl::SanitizeValue(&value)) return;
  IControl* const* controls = mControls.GetList();
  const int n = mControls.GetSize();
  for (int i = 0; i < n; ++i)
  {
    IControl* c = controls[i];
    if (c->ParamIdx() == paramIdx) c->PushValueFromPlug(value);
    const int auxIdx = c->AuxParamIdx(paramIdx);
    if (auxIdx >= 0) c->PushAuxValueFromPlug(auxIdx, value);
  }
}

void IGraphics::ApplyValuesFromPlug(IRECT* newlyDirty)
{
  for (int i = 0; i < mControls.GetSize(); ++i)
  {
    IControl* c = mControls.Get(i);
    if (c->ApplyValuesFromPlug() && newlyDirty) *newlyDirty = newlyDirty->Union(*c->GetRECT());
  }
}

void IGraphics::SetParameterFromGUI(int paramIdx, double normalizedValue)
{
  for (int i = 0; i < mControls.GetSize(); ++i)
  {
    IControl* c = mControls.Get(i);
    if (c->ParamIdx() == paramIdx) c->SetValueFromUserInput(normalizedValue);
  }
}

void IGraphics::ClampControl(int paramIdx, double lo, double hi, bool normalized)
{
  if (!normalized)
  {
    const IParam* p = mPlug ? mPlug->GetParam(paramIdx) : nullptr;
    if (!p) return;
    lo = p->GetNormalized(lo);
    hi = p->GetNormalized(hi);
  }
  for (int i = 0; i < mControls.GetSize(); ++i)
  {
    IControl* c = mControls.Get(i);
    if (c->ParamIdx() == paramIdx) c->Clamp(lo, hi);
  }
}

void IGraphics::HideControl(int paramIdx, bool hide)
{
  for (int i = 0; i < mControls.GetSize(); ++i)
    if (mControls.Get(i)->ParamIdx() == paramIdx) mControls.Get(i)->Hide(hide);
}

void IGraphics::GrayOutControl(int paramIdx, bool gray)
{
  for (int i = 0; i < mControls.GetSize(); ++i)
    if (mControls.Get(i)->ParamIdx() == paramIdx) mControls.Get(i)->GrayOut(gray);
}

void IGraphics::SetAllControlsDirty()
{
  for (int i = 0; i < mControls.GetSize(); ++i) mControls.Get(i)->SetDirty(false);
}

// Drawing passes

IRECT IGraphics::ClipToEditor(const IRECT& r) const
{
  return r.Intersect(IRECT(0, 0, mWidth, mHeight));
}

bool IGraphics::IsDirty(IRECT* r)
{
  ApplyValuesFromPlug();
  bool dirty = false;
  IRECT area = *r;
  for (int i = 0; i < mControls.GetSize(); ++i)
  {
    IControl* c = mControls.Get(i);
    if (c->IsDirty())
    {
      area = area.Union(*c->GetRECT());
      dirty = true;
    }
  }
  *r = ClipToEditor(area);
  return dirty;
}

bool IGraphics::Draw(IRECT* r)
{
  const int n = mControls.GetSize();
  if (!n) return true;
  // Values pushed since IsDirty measured r may dirty controls outside it: their areas join this
  // pass, which would otherwise clean them (or draw them off screen) without showing them.
  ApplyValuesFromPlug(r);
  *r = ClipToEditor(*r);
  if (mStrict)
    DrawStrict(*r);
  else
    DrawNonStrict();
  mDrawRECT.Clear();
  return r->Empty() || DrawScreen(r);
}

void IGraphics::DrawStrict(const IRECT& area)
{
  mDrawRECT = area;
  for (int i = 0; i < mControls.GetSize(); ++i)
  {
    IControl* c = mControls.Get(i);
    if (!c->IsHidden() && area.Intersects(*c->GetRECT())) c->Draw(this);
    c->SetClean();
  }
}

void IGraphics::DrawNonStrict()
{
  const int n = mControls.GetSize();
  IControl* background = mControls.Get(0);
  if (background->IsDirty())
  {
    mDrawRECT = ClipToEditor(*background->GetRECT());
    for (int i = 0; i < n; ++i)
    {
      IControl* c = mControls.Get(i);
      if (i == 0 || !c->IsHidden())
      {
        c->Draw(this);
        c->SetClean();
      }
    }
    return;
  }
  for (int j = 1; j < n; ++j)
  {
    IControl* dirty = mControls.Get(j);
    if (!dirty->IsDirty()) continue;
    mDrawRECT = ClipToEditor(*dirty->GetRECT());
    if (!mDrawRECT.Empty())
    {
      for (int k = 0; k < n; ++k)
      {
        IControl* c = mControls.Get(k);
        if (!c->IsHidden() && (k == j || c->GetRECT()->Intersects(mDrawRECT))) c->Draw(this);
      }
    }
    dirty->SetClean();
  }
}

void IGraphics::OnGUIIdle()
{
  for (int i = 0; i < mControls.GetSize(); ++i) mControls.Get(i)->OnGUIIdle();
}
