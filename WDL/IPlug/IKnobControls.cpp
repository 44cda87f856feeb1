#include "IKnobControls.h"

#include <cmath>

#include "IBitmapControl.h"
#include "IGraphics.h"

namespace
{
IRECT FrameRect(int x, int y, const IBitmap& bitmap)
{
  return IRECT(x, y, x + bitmap.FrameW(), y + bitmap.FrameH());
}

IBitmap Copy(const IBitmap* bitmap)
{
  return bitmap ? *bitmap : IBitmap();
}
}  // namespace

IKnobControl::IKnobControl(IPlugBase* plug, const IRECT& rect, int paramIdx, EDirection direction, double gearing)
  : IControl(plug, rect, paramIdx), mDirection(direction), mGearing(SaneGearing(gearing))
{
}

double IKnobControl::SaneGearing(double gearing)
{
  return std::isfinite(gearing) && gearing != 0.0 ? gearing : kDefaultGearing;
}

void IKnobControl::OnMouseDrag(int, int, int dX, int dY, IMouseMod* mod)
{
  double gearing = mGearing;
  if (mod && (mod->C || mod->S)) gearing *= 10.0;
  // Any direction other than vertical acts as horizontal.
  const double step = mDirection == kVertical ? dY / static_cast<double>(mRECT.T - mRECT.B) / gearing
                                              : dX / static_cast<double>(mRECT.R - mRECT.L) / gearing;
  if (!std::isfinite(step)) return;
  mValue += step;
  SetDirty(true);
}

double IKnobControl::WheelStep(const IMouseMod* mod, int d)
{
  return d * (mod && (mod->C || mod->S) ? 0.001 : 0.01);
}

void IKnobControl::OnMouseWheel(int, int, IMouseMod* mod, int d)
{
  mValue += WheelStep(mod, d);
  SetDirty(true);
}

IKnobLineControl::IKnobLineControl(IPlugBase* plug, const IRECT& rect, int paramIdx, const IColor* color,
                                   double innerRadius, double outerRadius, double minAngle, double maxAngle,
                                   EDirection direction, double gearing)
  : IKnobControl(plug, rect, paramIdx, direction, gearing), mColor(color ? *color : COLOR_BLACK),
    mMinAngle(static_cast<float>(minAngle)), mMaxAngle(static_cast<float>(maxAngle)),
    mInnerRadius(static_cast<float>(innerRadius)),
    mOuterRadius(outerRadius == 0.0 ? 0.5f * static_cast<float>(rect.W()) : static_cast<float>(outerRadius))
{
  mBlend = IChannelBlend(IChannelBlend::kBlendCopy, 1.0f);
}

bool IKnobLineControl::Draw(IGraphics* graphics)
{
  const double angle = mMinAngle + mValue * (mMaxAngle - mMinAngle);
  const float s = static_cast<float>(std::sin(angle)), c = static_cast<float>(std::cos(angle));
  const float cx = mRECT.MW(), cy = mRECT.MH();
  return graphics->DrawLine(&mColor, cx + s * mInnerRadius, cy - c * mInnerRadius, cx + s * mOuterRadius,
                            cy - c * mOuterRadius, &mBlend, true);
}

IKnobRotaterControl::IKnobRotaterControl(IPlugBase* plug, int x, int y, int paramIdx, const IBitmap* bitmap,
                                         double minAngle, double maxAngle, int yOffset, EDirection direction,
                                         double gearing)
  : IKnobControl(plug, FrameRect(x, y, Copy(bitmap)), paramIdx, direction, gearing), mBitmap(Copy(bitmap)),
    mMinAngle(minAngle), mMaxAngle(maxAngle), mYOffset(yOffset)
{
}

bool IKnobRotaterControl::Draw(IGraphics* graphics)
{
  const int cX = (mRECT.L + mRECT.R) / 2, cY = (mRECT.T + mRECT.B) / 2;
  const double angle = mMinAngle + mValue * (mMaxAngle - mMinAngle);
  return graphics->DrawRotatedBitmap(&mBitmap, cX, cY, angle, mYOffset, &mBlend);
}

IKnobMultiControl::IKnobMultiControl(IPlugBase* plug, int x, int y, int paramIdx, const IBitmap* bitmap,
                                     EDirection direction, double gearing)
  : IKnobControl(plug, FrameRect(x, y, Copy(bitmap)), paramIdx, direction, gearing), mBitmap(Copy(bitmap))
{
}

bool IKnobMultiControl::Draw(IGraphics* graphics)
{
  return graphics->DrawBitmap(&mBitmap, &mRECT, IBitmapControl::FrameFromValue(mBitmap.N, mValue), &mBlend);
}

IKnobRotatingMaskControl::IKnobRotatingMaskControl(IPlugBase* plug, int x, int y, int paramIdx, const IBitmap* base,
                                                   const IBitmap* mask, const IBitmap* top, double minAngle,
                                                   double maxAngle, EDirection direction, double gearing)
  : IKnobControl(plug, IRECT(x, y, x + Copy(base).W, y + Copy(base).H), paramIdx, direction, gearing),
    mBase(Copy(base)), mMask(Copy(mask)), mTop(Copy(top)), mMinAngle(minAngle), mMaxAngle(maxAngle)
{
}

bool IKnobRotatingMaskControl::Draw(IGraphics* graphics)
{
  const double angle = mMinAngle + mValue * (mMaxAngle - mMinAngle);
  return graphics->DrawRotatedMask(&mBase, &mMask, &mTop, mRECT.L, mRECT.T, angle, &mBlend);
}
