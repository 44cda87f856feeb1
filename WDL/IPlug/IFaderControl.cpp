#include "IFaderControl.h"

#include <cmath>

#include "IGraphics.h"
#include "IKnobControls.h"

namespace
{
IRECT TravelRect(int x, int y, int length, const IBitmap& handle, EDirection direction)
{
  return direction == kVertical ? IRECT(x, y, x + handle.W, y + length) : IRECT(x, y, x + length, y + handle.H);
}
}  // namespace

IFaderControl::IFaderControl(IPlugBase* plug, int x, int y, int length, int paramIdx, const IBitmap* bitmap,
                             EDirection direction, bool onlyHandle)
  : IControl(plug, TravelRect(x, y, length, bitmap ? *bitmap : IBitmap(), direction), paramIdx), mLen(length),
    mBitmap(bitmap ? *bitmap : IBitmap()), mDirection(direction), mOnlyHandle(onlyHandle)
{
  mHandleHeadroom = direction == kVertical ? mBitmap.H : mBitmap.W;
}

IRECT IFaderControl::GetHandleRECT(double v) const
{
  if (!(v >= 0.0)) v = mValue;
  v = v < 0.0 ? 0.0 : (v > 1.0 ? 1.0 : v);  // keeps the offset a defined int
  const int span = Span() > 0 ? Span() : 0;
  if (mDirection == kVertical)
  {
    const int offset = static_cast<int>(span * (1.0 - v));
    return IRECT(mRECT.L, mRECT.T + offset, mRECT.L + mBitmap.W, mRECT.T + offset + mBitmap.H);
  }
  const int offset = static_cast<int>(v * span);
  return IRECT(mRECT.L + offset, mRECT.T, mRECT.L + offset + mBitmap.W, mRECT.T + mBitmap.H);
}

bool IFaderControl::Draw(IGraphics* graphics)
{
  IRECT handle = GetHandleRECT(mValue);
  return graphics->DrawBitmap(&mBitmap, &handle, 1, &mBlend);
}

bool IFaderControl::IsHit(int x, int y)
{
  return mOnlyHandle ? GetHandleRECT().Contains(x, y) : mTargetRECT.Contains(x, y);
}

void IFaderControl::OnMouseDown(int x, int y, IMouseMod* mod)
{
  if (mod && mod->R)
    PromptUserInput();
  else
    SnapToMouse(x, y);
}

void IFaderControl::OnMouseDrag(int x, int y, int, int, IMouseMod*)
{
  SnapToMouse(x, y);
}

void IFaderControl::OnMouseWheel(int, int, IMouseMod* mod, int d)
{
  mValue += IKnobControl::WheelStep(mod, d);
  SetDirty(true);
}

void IFaderControl::SnapToMouse(int x, int y)
{
  const int span = Span();
  if (span <= 0) return;
  const int half = mHandleHeadroom / 2;
  if (mDirection == kVertical)
    mValue = 1.0 - static_cast<double>(y - mRECT.T - half) / span;
  else
    mValue = static_cast<double>(x - mRECT.L - half) / span;
  SetDirty(true);
}
