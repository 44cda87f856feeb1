#pragma once
// A rectangle filled with one colour; no parameter. The editor's panel background is one.
// User-interface thread only.

#include "IControl.h"

class IPanelControl : public IControl
{
public:
  IPanelControl(IPlugBase* plug, const IRECT& rect, const IColor* color);

  bool Draw(IGraphics* graphics) override;
  const IColor& GetColor() const { return mColor; }

protected:
  IColor mColor;
};
