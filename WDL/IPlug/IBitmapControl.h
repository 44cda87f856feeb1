#pragma once
// One frame of an image strip, chosen by the control's value: value 0 shows frame 1, value 1
// (and above) the last frame, each frame covering an equal band of values. The editor's bitmap
// background is one (no parameter, copy blend). User-interface thread only.

#include "IControl.h"

class IBitmapControl : public IControl
{
public:
  // The rectangle is at (x, y) with the size of one frame.
  IBitmapControl(IPlugBase* plug, int x, int y, int paramIdx, const IBitmap* bitmap,
                 IChannelBlend::EBlendMethod blendMethod = IChannelBlend::kBlendNone);
  IBitmapControl(IPlugBase* plug, int x, int y, const IBitmap* bitmap,
                 IChannelBlend::EBlendMethod blendMethod = IChannelBlend::kBlendNone)
    : IBitmapControl(plug, x, y, -1, bitmap, blendMethod)
  {
  }

  bool Draw(IGraphics* graphics) override;
  const IBitmap& GetBitmap() const { return mBitmap; }

  // The frame (1..nFrames) that shows value; also used by knobs and switches. Values beyond
  // the ends (and infinities) show the first or last frame; NaN shows the first.
  static int FrameFromValue(int nFrames, double value);

protected:
  IBitmap mBitmap;
};
