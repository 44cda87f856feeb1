#include "IControl.h"

#include <cmath>
#include <cstring>

#include "IGraphics.h"
#include "IParam.h"
#include "IPlugBase.h"

bool ILastValueSlot::Take(double* v)
{
  const double taken = mValue.exchange(kEmpty, std::memory_order_acquire);
  if (std::isnan(taken)) return false;
  *v = taken;
  return true;
}

IControl::IControl(IPlugBase* plug, const IRECT& rect, int paramIdx, IChannelBlend::EBlendMethod blendMethod)
  : mPlug(plug), mRECT(rect), mTargetRECT(rect), mParamIdx(paramIdx), mBlend(blendMethod, 1.0f)
{
}

IControl::~IControl()
{
  mAuxParams.Empty(true);
}

void IControl::OnMouseDown(int, int, IMouseMod* mod)
{
  if (mod && mod->R) PromptUserInput();
}

void IControl::OnMouseDblClick(int, int, IMouseMod*)
{
  if (mDefaultValue < 0.0) return;
  mValue = mDefaultValue;
  SetDirty(true);
}

void IControl::SetValueFromPlug(double value)
{
  if (!SanitizeValue(&value)) return;
  if (mDefaultValue < 0.0)
  {
    // The first value becomes the default and counts as unchanged; but a control already drawn
    // with another value (a meter whose first value comes from the audio thread after the
    // editor was shown) must still be drawn with it.
    if (value != mValue) mDirty = true;
    mDefaultValue = mValue = value;
    return;
  }
  if (value != mValue)
  {
    mValue = value;
    SetDirty(false);
    mRedraw = true;
  }
}

void IControl::SetValueFromUserInput(double value)
{
  if (!SanitizeValue(&value) || value == mValue) return;
  mValue = value;
  SetDirty(true);
  mRedraw = true;
}

void IControl::Hide(bool hide)
{
  mHide = hide;
  mRedraw = true;
  SetDirty(false);
}

void IControl::GrayOut(bool gray)
{
  mGrayed = gray;
  mBlend.mWeight = gray ? 0.25f : 1.0f;
  SetDirty(false);
}

void IControl::SetDirty(bool pushParamToPlug)
{
  if (std::isnan(mValue)) mValue = mClampLo;  // a subclass's arithmetic went wrong
  if (mValue < mClampLo)
    mValue = mClampLo;
  else if (mValue > mClampHi)
    mValue = mClampHi;
  mDirty = true;
  if (pushParamToPlug && mPlug && mParamIdx >= 0)
  {
    mPlug->SetParameterFromGUI(mParamIdx, mValue);
    UpdateDisplayControls();
  }
}

void IControl::UpdateDisplayControls()
{
  const IParam* param = GetParam();
  if (!param) return;
  if (mValDisplayControl)
  {
    char text[kValueTextLen];
    FormatValueText(param, true, text);
    mValDisplayControl->SetTextFromPlug(text);
  }
  if (mNameDisplayControl) mNameDisplayControl->SetTextFromPlug(param->GetNameForHost());
}

void IControl::FormatValueText(const IParam* param, bool withLabel, char* out)
{
  static_assert(kValueTextLen >= 2 * IParam::kDisplayBufLen, "room for both parts and the space");
  char display[IParam::kDisplayBufLen];
  param->GetDisplayForHost(display, sizeof(display), true);
  WDL_CopyText(out, IParam::kDisplayBufLen, display);
  if (!withLabel) return;
  const size_t used = std::strlen(out);
  out[used] = ' ';
  WDL_CopyText(out + used + 1, IParam::kDisplayBufLen, param->GetLabelForHost());
}

void IControl::SetClean()
{
  mDirty = mRedraw;
  mRedraw = false;
}

void IControl::SetAuxParamValueFromPlug(int auxIdx, double value)
{
  AuxParam* aux = mAuxParams.Get(auxIdx);
  if (!aux || !SanitizeValue(&value) || aux->mValue == value) return;
  aux->mValue = value;
  SetDirty(false);
  mRedraw = true;
}

void IControl::PushAuxValueFromPlug(int auxIdx, double value)
{
  AuxParam* aux = mAuxParams.Get(auxIdx);
  if (aux && SanitizeValue(&value)) aux->mFromPlug.Store(value);
}

bool IControl::ApplyValuesFromPlug()
{
  double v;
  bool applied = false;
  if (mFromPlug.Take(&v))
  {
    SetValueFromPlug(v);
    applied = true;
  }
  for (int i = 0; i < mAuxParams.GetSize(); ++i)
    if (mAuxParams.Get(i)->mFromPlug.Take(&v))
    {
      SetAuxParamValueFromPlug(i, v);
      applied = true;
    }
  return applied;
}

IParam* IControl::GetParam() const
{
  return (mPlug && mParamIdx >= 0) ? mPlug->GetParam(mParamIdx) : nullptr;
}

void IControl::PromptUserInput()
{
  IParam* param = GetParam();
  if (!param || mDisablePrompt || !mGraphics) return;
  IRECT area = mRECT;
  if (param->GetNDisplayTexts() <= 0)
  {
    const int cX = static_cast<int>(mRECT.MW());
    const int cY = static_cast<int>(mRECT.MH());
    area = IRECT(cX - 20, cY - 8, cX + 20, cY + 8);
  }
  mGraphics->PromptUserInput(this, param, &area);
  mRedraw = true;
}

void IControl::PromptUserInput(IRECT* area)
{
  IParam* param = GetParam();
  if (!param || mDisablePrompt || !mGraphics || !area) return;
  mGraphics->PromptUserInput(this, param, area);
  mRedraw = true;
}

void IControl::AddAuxParam(int paramIdx)
{
  auto* aux = new AuxParam(paramIdx);
  if (!mAuxParams.Add(aux)) delete aux;
}

int IControl::AuxParamIdx(int paramIdx) const
{
  for (int i = 0; i < mAuxParams.GetSize(); ++i)
    if (mAuxParams.Get(i)->mParamIdx == paramIdx) return i;
  return -1;
}

void IControl::SetAllAuxParamsFromGUI()
{
  if (!mPlug) return;
  for (int i = 0; i < mAuxParams.GetSize(); ++i)
  {
    const AuxParam* aux = mAuxParams.Get(i);
    mPlug->SetParameterFromGUI(aux->mParamIdx, aux->mValue);
  }
}

void IControl::SetValue(double value)
{
  if (SanitizeValue(&value)) mValue = value;
}

void IControl::SetDefaultValue(double value)
{
  if (SanitizeValue(&value)) mDefaultValue = value;
}

void IControl::Clamp(double lo, double hi)
{
  if (SanitizeValue(&lo) && SanitizeValue(&hi))
  {
    mClampLo = lo;
    mClampHi = hi;
  }
}
