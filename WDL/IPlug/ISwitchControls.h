#pragma once
// Controls that step or pick a value by clicking. Each press pushes the new value to the
// plug-in (inside the host gesture the editor opens around the press).
//
// Threads: user-interface thread only; values from the plug-in arrive through the editor's
// last-value hand-over (IControl).
//
// ISwitchControl         one frame of a strip (as IBitmapControl); any press steps the value by
//                        1 / (frames - 1) (1 for a single frame) and wraps to 0 past 1. A
//                        double-click is one more press. Two frames toggle 0 <-> 1.
// ISwitchPopUpControl    a press opens the value prompt (a menu of the display texts).
// ISwitchFramesControl   the rectangle cut into one click area per frame; a press in area i
//                        selects i / (frames - 1). One frame always selects 0.
// IInvisibleSwitchControl draws nothing; a press toggles between 0 and 1.
// IContactControl        a switch that returns to 0 when the mouse is released.
// IBitmapOverlayControl  a switch that is invisible while off (value below 0.5) and then takes
//                        clicks on its target area instead of its own rectangle.
// IRadioButtonsControl   a row or column of buttons of which one is on: a press on button i of n
//                        selects i / (n - 1); a single button always selects 0.

#include <vector>

#include "IBitmapControl.h"

class ISwitchControl : public IBitmapControl
{
public:
  ISwitchControl(IPlugBase* plug, int x, int y, int paramIdx, const IBitmap* bitmap,
                 IChannelBlend::EBlendMethod blendMethod = IChannelBlend::kBlendNone)
    : IBitmapControl(plug, x, y, paramIdx, bitmap, blendMethod)
  {
  }

  void OnMouseDown(int x, int y, IMouseMod* mod) override;
  // One more press, with the press behaviour of the actual class.
  void OnMouseDblClick(int x, int y, IMouseMod* mod) override { OnMouseDown(x, y, mod); }
};

// Prompting is enabled: the press is nothing but the prompt.
class ISwitchPopUpControl : public ISwitchControl
{
public:
  ISwitchPopUpControl(IPlugBase* plug, int x, int y, int paramIdx, const IBitmap* bitmap,
                      IChannelBlend::EBlendMethod blendMethod = IChannelBlend::kBlendNone);

  void OnMouseDown(int x, int y, IMouseMod* mod) override;
};

class ISwitchFramesControl : public ISwitchControl
{
public:
  // The rectangle is one frame (laid out by the bitmap's own flag); the click areas lie side by
  // side with imagesAreHorizontal, stacked otherwise. Prompting is enabled.
  ISwitchFramesControl(IPlugBase* plug, int x, int y, int paramIdx, const IBitmap* bitmap,
                       bool imagesAreHorizontal = false,
                       IChannelBlend::EBlendMethod blendMethod = IChannelBlend::kBlendNone);

  void OnMouseDown(int x, int y, IMouseMod* mod) override;
  int NAreas() const { return static_cast<int>(mAreas.size()); }
  // Null outside the areas.
  const IRECT* GetArea(int i) const;

private:
  std::vector<IRECT> mAreas;
};

// Copy blend; prompting disabled.
class IInvisibleSwitchControl : public IControl
{
public:
  IInvisibleSwitchControl(IPlugBase* plug, const IRECT& rect, int paramIdx);

  void OnMouseDown(int x, int y, IMouseMod* mod) override;
  bool Draw(IGraphics*) override { return true; }
};

class IContactControl : public ISwitchControl
{
public:
  using ISwitchControl::ISwitchControl;

  void OnMouseUp(int x, int y, IMouseMod* mod) override;
};

class IBitmapOverlayControl : public ISwitchControl
{
public:
  // Starts off: clicks land on targetArea until the value reaches 0.5 and the control is drawn.
  IBitmapOverlayControl(IPlugBase* plug, int x, int y, int paramIdx, const IBitmap* bitmap, const IRECT& targetArea,
                        IChannelBlend::EBlendMethod blendMethod = IChannelBlend::kBlendNone);

  // Chooses the click area for the value, then draws the frame only while on.
  bool Draw(IGraphics* graphics) override;
  const IRECT& GetTargetArea() const { return mTargetArea; }

private:
  IRECT mTargetArea;
};

// Radio buttons: the bitmap holds two frames, off then on. Buttons are one frame (W x H / 2) and
// spread evenly over the rectangle, the first at the top (vertical) or left (horizontal) and the last at the far edge.
// The reversed layout starts one spacing in from the far edge and steps back by a button plus
// a spacing, so its last button lies one spacing beyond the near edge, outside the rectangle:
// that part is neither cleared by the editor's redraws nor clickable (clicks reach the control
// only inside its rectangle). Lay reversed controls out with no spacing to avoid it.
class IRadioButtonsControl : public IControl
{
public:
  // nButtons below 1 counts as 1.
  IRadioButtonsControl(IPlugBase* plug, const IRECT& rect, int paramIdx, int nButtons, const IBitmap* bitmap,
                       EDirection direction = kVertical, bool reverse = false);

  // Right button: the value prompt. Otherwise the first button under the mouse is chosen; the
  // value is pushed to the plug-in whether a button was hit or not.
  void OnMouseDown(int x, int y, IMouseMod* mod) override;
  bool Draw(IGraphics* graphics) override;

  int NButtons() const { return static_cast<int>(mButtons.size()); }
  const IRECT& GetButtonRECT(int i) const { return mButtons[static_cast<size_t>(i)]; }
  // The button that shows the value: round((n - 1) x value), kept within the buttons.
  int ActiveButton() const;

private:
  std::vector<IRECT> mButtons;
  IBitmap mBitmap;
};
