#pragma once
// Knobs: controls turned by dragging and by the mouse wheel. IKnobControl holds the drag and
// wheel arithmetic every knob shares; the others only draw: a line (IKnobLineControl), a rotated
// bitmap (IKnobRotaterControl), one frame of an image strip (IKnobMultiControl) or a rotating
// alpha mask between two layers (IKnobRotatingMaskControl).
//
// Threads: user-interface thread only. Values from the plug-in arrive through the editor's
// last-value hand-over (IControl), so nothing here runs on the audio thread.
//
// Drag: a vertical knob rises by dY / -(height) / gearing (dragging up increases it), a
// horizontal one by dX / width / gearing; shift or control divides the step by ten. A gearing
// of 4 sweeps the whole range over four times the knob's height. Wheel: d x 0.01 per step,
// d x 0.001 with shift or control. Every drag and wheel step pushes the clamped value to the
// plug-in. A step that would not be finite (a rectangle of zero height or width) changes
// nothing; a gearing of 0 or a non-finite one is replaced by kDefaultGearing.

#include "IControl.h"

class IKnobControl : public IControl
{
public:
  static constexpr double kDefaultGearing = 4.0;
  static constexpr double kPi = 3.14159265358979323846;

  IKnobControl(IPlugBase* plug, const IRECT& rect, int paramIdx = -1, EDirection direction = kVertical,
               double gearing = kDefaultGearing);

  void OnMouseDrag(int x, int y, int dX, int dY, IMouseMod* mod) override;
  void OnMouseWheel(int x, int y, IMouseMod* mod, int d) override;

  EDirection GetDirection() const { return mDirection; }
  double GetGearing() const { return mGearing; }
  void SetGearing(double gearing) { mGearing = SaneGearing(gearing); }

  // The value change of d wheel steps; shared with the fader.
  static double WheelStep(const IMouseMod* mod, int d);

protected:
  static double SaneGearing(double gearing);

  EDirection mDirection;
  double mGearing;
};

// A line from innerRadius to outerRadius around the rectangle's centre, at the angle
// minAngle + value x (maxAngle - minAngle) (radians, 0 straight up, positive clockwise). An outer
// radius of exactly 0 becomes half the rectangle's width. Copy blend at full weight.
class IKnobLineControl : public IKnobControl
{
public:
  IKnobLineControl(IPlugBase* plug, const IRECT& rect, int paramIdx, const IColor* color, double innerRadius = 0.0,
                   double outerRadius = 0.0, double minAngle = -0.75 * kPi, double maxAngle = 0.75 * kPi,
                   EDirection direction = kVertical, double gearing = kDefaultGearing);

  bool Draw(IGraphics* graphics) override;

protected:
  IColor mColor;
  float mMinAngle, mMaxAngle, mInnerRadius, mOuterRadius;
};

// The whole bitmap rotated about the rectangle's centre (moved yOffset pixels down) by
// minAngle + value x (maxAngle - minAngle) radians. The rectangle is one frame of the bitmap at
// (x, y).
class IKnobRotaterControl : public IKnobControl
{
public:
  IKnobRotaterControl(IPlugBase* plug, int x, int y, int paramIdx, const IBitmap* bitmap,
                      double minAngle = -0.75 * kPi, double maxAngle = 0.75 * kPi,
                      int yOffset = 0, EDirection direction = kVertical, double gearing = kDefaultGearing);

  bool Draw(IGraphics* graphics) override;

protected:
  IBitmap mBitmap;
  double mMinAngle, mMaxAngle;
  int mYOffset;
};

// One frame of an image strip, chosen by the value as for IBitmapControl (value 0: frame 1,
// value 1 and above: the last frame). The rectangle is one frame at (x, y).
class IKnobMultiControl : public IKnobControl
{
public:
  IKnobMultiControl(IPlugBase* plug, int x, int y, int paramIdx, const IBitmap* bitmap,
                    EDirection direction = kVertical, double gearing = kDefaultGearing);

  bool Draw(IGraphics* graphics) override;
  const IBitmap& GetBitmap() const { return mBitmap; }

protected:
  IBitmap mBitmap;
};

// The mask's alpha, rotated by minAngle + value x (maxAngle - minAngle) degrees, cut into the
// base bitmap, with the top bitmap rotated over it; drawn at (x, y) with the base bitmap's size,
// which is also the rectangle.
class IKnobRotatingMaskControl : public IKnobControl
{
public:
  IKnobRotatingMaskControl(IPlugBase* plug, int x, int y, int paramIdx, const IBitmap* base, const IBitmap* mask,
                           const IBitmap* top, double minAngle = -135.0, double maxAngle = 135.0,
                           EDirection direction = kVertical, double gearing = kDefaultGearing);

  bool Draw(IGraphics* graphics) override;

protected:
  IBitmap mBase, mMask, mTop;
  double mMinAngle, mMaxAngle;
};
