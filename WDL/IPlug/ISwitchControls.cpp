#include "ISwitchControls.h"

#include "IGraphics.h"

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
  const int n = NAreas();
  for (int i = 0; i < n; ++i)
  {
    if (mAreas[static_cast<size_t>(i)].Contains(x, y))
    {
      mValue = n >= 2 ? static_cast<double>(i) / (n - 1) : 0.0;
      break;
    }
  }
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
