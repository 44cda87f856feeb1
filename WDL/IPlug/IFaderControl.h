#pragma once
// A handle bitmap that slides along a straight travel. The handle's centre follows the mouse on
// press and drag; the wheel moves it as it moves a knob (IKnobControl::WheelStep).
//
// Threads: user-interface thread only; values from the plug-in arrive through the editor's
// last-value hand-over (IControl).
//
// Geometry: the rectangle is the travel: (x, y, x + length, y + handle H) for a horizontal
// fader, (x, y, x + handle W, y + length) for a vertical one; any direction other than
// kVertical acts as horizontal. The handle moves over length - handle size pixels, value 1 at
// the right or the top. A fader whose handle leaves no travel keeps its value when pressed or
// dragged (there is no position to read) and draws the handle at the start.

#include "IControl.h"

class IFaderControl : public IControl
{
public:
  // With onlyHandle, only the handle takes clicks; otherwise the whole travel does.
  IFaderControl(IPlugBase* plug, int x, int y, int length, int paramIdx, const IBitmap* bitmap,
                EDirection direction = kVertical, bool onlyHandle = false);

  bool Draw(IGraphics* graphics) override;
  bool IsHit(int x, int y) override;
  // Right button: the value prompt; otherwise the handle jumps to the mouse.
  void OnMouseDown(int x, int y, IMouseMod* mod) override;
  void OnMouseDrag(int x, int y, int dX, int dY, IMouseMod* mod) override;
  void OnMouseWheel(int x, int y, IMouseMod* mod, int d) override;
  // Sets the value that puts the handle's centre at (x, y) and pushes it to the plug-in.
  virtual void SnapToMouse(int x, int y);

  // The handle's rectangle at value v, or at the current value when v is negative (or NaN).
  // Values beyond [0, 1] keep the handle at the ends of its travel.
  IRECT GetHandleRECT(double v = -1.0) const;
  int GetLength() const { return mLen; }
  int GetHandleHeadroom() const { return mHandleHeadroom; }
  EDirection GetDirection() const { return mDirection; }

protected:
  int Span() const { return mLen - mHandleHeadroom; }

  int mLen;
  int mHandleHeadroom;  // the handle's size along the travel
  IBitmap mBitmap;
  EDirection mDirection;
  bool mOnlyHandle;
};
