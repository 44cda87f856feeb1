#include "IBitmapControl.h"

#include "IGraphics.h"

namespace
{
IRECT FrameRect(int x, int y, const IBitmap* bitmap)
{
  return bitmap ? IRECT(x, y, x + bitmap->FrameW(), y + bitmap->FrameH()) : IRECT(x, y, x, y);
}
}  // namespace

IBitmapControl::IBitmapControl(IPlugBase* plug, int x, int y, int paramIdx, const IBitmap* bitmap,
                               IChannelBlend::EBlendMethod blendMethod)
  : IControl(plug, FrameRect(x, y, bitmap), paramIdx, blendMethod), mBitmap(bitmap ? *bitmap : IBitmap())
{
}

int IBitmapControl::FrameFromValue(int nFrames, double value)
{
  if (nFrames < 2 || !(value > 0.0)) return 1;
  if (value >= 1.0) return nFrames;
  const int i = static_cast<int>((nFrames - 1) * value + 0.5);
  return i < 0 ? 1 : (i >= nFrames ? nFrames : i + 1);
}

bool IBitmapControl::Draw(IGraphics* graphics)
{
  return graphics->DrawBitmap(&mBitmap, &mRECT, FrameFromValue(mBitmap.N, mValue), &mBlend);
}
