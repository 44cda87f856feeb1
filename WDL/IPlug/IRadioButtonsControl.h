#pragma once
// A row or column of buttons of which one is on: button i of n stands for the value
// i / (n - 1); a single button always stands for 0. The bitmap holds two frames, off then on.
//
// Threads: user-interface thread only; values from the plug-in arrive through the editor's
// last-value hand-over (IControl).
//
// Layout: buttons are one frame of the bitmap (W x H / frames) and spread evenly over the
// rectangle, the first at the top (vertical) or left (horizontal) and the last at the far edge.
// The reversed layout starts one spacing in from the far edge and steps back by a button plus
// a spacing, so its last button lies one spacing beyond the near edge, outside the rectangle:
// that part is neither cleared by the editor's redraws nor clickable (clicks reach the control
// only inside its rectangle). Lay reversed controls out with no spacing to avoid it.

#include <vector>

#include "IControl.h"

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
