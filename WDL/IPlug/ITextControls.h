#pragma once
// Controls that show text: a fixed or plug-in-set string in a font (ITextControl), the current
// value of a parameter with its label (ICaptionControl), and a string drawn from a bitmap font
// (IBitmapTextControl).
//
// Threads: user-interface thread only, SetTextFromPlug included (it stores a copy of the text,
// which may allocate). Values from the plug-in arrive through the editor's last-value hand-over
// (IControl); a caption formats its text while it is drawn, never when the value arrives. A
// value display control (IControl::SetValDisplayControl) is fed on the user-interface thread.

#include "IControl.h"
#include "WDL_String.h"

class ITextControl : public IControl
{
public:
  // No parameter; prompting disabled. The text style is copied; null keeps the default style.
  ITextControl(IPlugBase* plug, const IRECT& rect, const IText* text, const char* str = "");

  // A different text is stored and marks the control dirty; the same text changes nothing.
  void SetTextFromPlug(const char* str) override;
  const char* GetTextString() const { return mStr.Get(); }
  // Draws the text in the rectangle with the style; an empty text draws nothing.
  bool Draw(IGraphics* graphics) override;

protected:
  WDL_String mStr;
};

// Shows the parameter's display text for its current value (display texts included), followed
// by a space and the parameter's label when showParamLabel is set. Any press or a double-click
// opens the value prompt once prompting is enabled (DisablePrompt(false)); it starts disabled.
class ICaptionControl : public ITextControl
{
public:
  ICaptionControl(IPlugBase* plug, const IRECT& rect, int paramIdx, const IText* text, bool showParamLabel = true);

  void OnMouseDown(int x, int y, IMouseMod* mod) override;
  void OnMouseDblClick(int x, int y, IMouseMod* mod) override;
  bool Draw(IGraphics* graphics) override;

private:
  bool mShowParamLabel;
};

// Text from a bitmap font: one frame per character from the space (code 32) on, charWidth x
// charHeight pixels, charOffset pixels apart; aligned by the style's alignment, centred
// vertically with vCenter and wrapped onto further lines with multiLine.
class IBitmapTextControl : public ITextControl
{
public:
  IBitmapTextControl(IPlugBase* plug, const IRECT& rect, const IBitmap* font, const char* str = "",
                     const IText* text = nullptr, int charWidth = 6, int charHeight = 12, int charOffset = 0,
                     bool multiLine = false, bool vCenter = true);

  bool Draw(IGraphics* graphics) override;

private:
  int mCharWidth, mCharHeight, mCharOffset;
  IBitmap mFontBitmap;
  bool mMultiLine, mVCentre;
};
