#include "ISwitchControls.h"

#include "IGraphics.h"

namespace
{
// Sets *value to i / (n - 1) (0 for a single area) for the first of the n areas that holds the
// point; false when none does.
bool PickArea(const std::vector<IRECT>& areas, int x, int y, double* value)
{
  const int n = static_cast<int>(areas.size());
  for (int i = 0; i < n; ++i)
  {
    if (areas[static_cast<size_t>(i)].Contains(x, y))
    {
      *value = n >= 2 ? static_cast<double>(i) / (n - 1) : 0.0;
      return true;
    }
  }
  return false;
}
}  // namespace

void ISwitchControl::OnMouseDown(int, int, IMouseMod*)
{
  mValue += mBitmap.N >= 2 ? 1.0 / (mBitmap.N - 1) : 1.0;
  if (mValue > 1.001) mValue = 0.0;
  SetDirty(true);
}

ISwitchPopUpControl::ISwitchPopUpControl(IPlugBase* plug, int x, int y, int paramIdx, const IBitmap* bitmap,
                                         IChannelBlend::EBlendMethod blendMethod)
  : ISwitchControl(plug, x, y, paramIdx, bitmap, blendMethod)
{
  mDisablePrompt = false;
}

void ISwitchPopUpControl::OnMouseDown(int, int, IMouseMod*)
{
  PromptUserInput();
  SetDirty(true);
}

ISwitchFramesControl::ISwitchFramesControl(IPlugBase* plug, int x, int y, int paramIdx, const IBitmap* bitmap,
                                           bool imagesAreHorizontal, IChannelBlend::EBlendMethod blendMethod)
  : ISwitchControl(plug, x, y, paramIdx, bitmap, blendMethod)
{
  mDisablePrompt = false;
  const int n = mBitmap.N >= 1 ? mBitmap.N : 1;
  mAreas.reserve(static_cast<size_t>(n));
  if (imagesAreHorizontal)
  {
    const float step = static_cast<float>(mRECT.W()) / n;
    for (int i = 0; i < n; ++i)
    {
      const int left = mRECT.L + static_cast<int>(i * step);
      mAreas.emplace_back(left, mRECT.T, static_cast<int>(left + step), mRECT.B);
    }
  }
  else
  {
    const float step = static_cast<float>(mRECT.H()) / n;
    for (int i = 0; i < n; ++i)
    {
      const int top = mRECT.T + static_cast<int>(i * step);
      mAreas.emplace_back(mRECT.L, top, mRECT.R, static_cast<int>(top + step));
    }
  }
}

const IRECT* ISwitchFramesControl::GetArea(int i) const
{
  return i >= 0 && i < NAreas() ? &mAreas[static_cast<size_t>(i)] : nullptr;
}

void ISwitchFramesControl::OnMouseDown(int x, int y, IMouseMod*)
{
  PickArea(mAreas, x, y, &mValue);
  SetDirty(true);
}

IInvisibleSwitchControl::IInvisibleSwitchControl(IPlugBase* plug, const IRECT& rect, int paramIdx)
  : IControl(plug, rect, paramIdx, IChannelBlend::kBlendCopy)
{
}

void IInvisibleSwitchControl::OnMouseDown(int, int, IMouseMod*)
{
  mValue = mValue < 0.5 ? 1.0 : 0.0;
  SetDirty(true);
}

void IContactControl::OnMouseUp(int, int, IMouseMod*)
{
  mValue = 0.0;
  SetDirty(true);
}

IBitmapOverlayControl::IBitmapOverlayControl(IPlugBase* plug, int x, int y, int paramIdx, const IBitmap* bitmap,
                                             const IRECT& targetArea, IChannelBlend::EBlendMethod blendMethod)
  : ISwitchControl(plug, x, y, paramIdx, bitmap, blendMethod), mTargetArea(targetArea)
{
  mTargetRECT = mTargetArea;
}

bool IBitmapOverlayControl::Draw(IGraphics* graphics)
{
  if (mValue < 0.5)
  {
    mTargetRECT = mTargetArea;
    return true;
  }
  mTargetRECT = mRECT;
  return IBitmapControl::Draw(graphics);
}

IRadioButtonsControl::IRadioButtonsControl(IPlugBase* plug, const IRECT& rect, int paramIdx, int nButtons,
                                           const IBitmap* bitmap, EDirection direction, bool reverse)
  : IControl(plug, rect, paramIdx), mBitmap(bitmap ? *bitmap : IBitmap())
{
  const int n = nButtons >= 1 ? nButtons : 1;
  const int w = mBitmap.W, h = mBitmap.H / (mBitmap.N >= 1 ? mBitmap.N : 1);
  // The spacing between buttons; a single button has none.
  const int room = direction == kVertical ? rect.H() - n * h : rect.W() - n * w;
  const int gap = n >= 2 ? static_cast<int>(static_cast<double>(room) / (n - 1)) : 0;
  mButtons.reserve(static_cast<size_t>(n));
  for (int i = 0; i < n; ++i)
  {
    if (direction == kVertical)
    {
      const int top = reverse ? rect.B - h - gap - i * (h + gap) : rect.T + i * (h + gap);
      mButtons.emplace_back(rect.L, top, rect.L + w, top + h);
    }
    else
    {
      const int left = reverse ? rect.R - w - gap - i * (w + gap) : rect.L + i * (w + gap);
      mButtons.emplace_back(left, rect.T, left + w, rect.T + h);
    }
  }
}

void IRadioButtonsControl::OnMouseDown(int x, int y, IMouseMod* mod)
{
  if (mod && mod->R)
  {
    PromptUserInput();
    return;
  }
  PickArea(mButtons, x, y, &mValue);
  SetDirty(true);
}

int IRadioButtonsControl::ActiveButton() const
{
  const int n = NButtons();
  const double v = mValue < 0.0 ? 0.0 : (mValue > 1.0 ? 1.0 : mValue);  // keeps the int defined
  const int k = static_cast<int>((n - 1) * v + 0.5);
  return k < 0 ? 0 : (k > n - 1 ? n - 1 : k);
}

bool IRadioButtonsControl::Draw(IGraphics* graphics)
{
  const int active = ActiveButton();
  for (int i = 0; i < NButtons(); ++i)
    graphics->DrawBitmap(&mBitmap, &mButtons[static_cast<size_t>(i)], i == active ? 2 : 1, &mBlend);
  return true;
}
