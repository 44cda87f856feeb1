#include "ITextControls.h"

#include <cstring>

#include "IGraphics.h"
#include "IParam.h"

ITextControl::ITextControl(IPlugBase* plug, const IRECT& rect, const IText* text, const char* str)
  : IControl(plug, rect), mStr(str)
{
  if (text) mText = *text;
}

void ITextControl::SetTextFromPlug(const char* str)
{
  if (!str) str = "";
  if (std::strcmp(str, mStr.Get()) == 0) return;
  SetDirty(false);
  mStr.Set(str);
}

bool ITextControl::Draw(IGraphics* graphics)
{
  if (!*mStr.Get()) return true;
  return graphics->DrawIText(&mText, mStr.Get(), &mRECT);
}

ICaptionControl::ICaptionControl(IPlugBase* plug, const IRECT& rect, int paramIdx, const IText* text,
                                 bool showParamLabel)
  : ITextControl(plug, rect, text), mShowParamLabel(showParamLabel)
{
  mParamIdx = paramIdx;
}

void ICaptionControl::OnMouseDown(int, int, IMouseMod* mod)
{
  if (mod && (mod->L || mod->R)) PromptUserInput();
}

void ICaptionControl::OnMouseDblClick(int, int, IMouseMod*)
{
  PromptUserInput();
}

bool ICaptionControl::Draw(IGraphics* graphics)
{
  if (const IParam* param = GetParam())
  {
    char text[kValueTextLen];
    FormatValueText(param, mShowParamLabel, text);
    if (std::strcmp(text, mStr.Get()) != 0) mStr.Set(text);
  }
  return ITextControl::Draw(graphics);
}

IBitmapTextControl::IBitmapTextControl(IPlugBase* plug, const IRECT& rect, const IBitmap* font, const char* str,
                                       const IText* text, int charWidth, int charHeight, int charOffset,
                                       bool multiLine, bool vCenter)
  : ITextControl(plug, rect, text, str), mCharWidth(charWidth), mCharHeight(charHeight), mCharOffset(charOffset),
    mFontBitmap(font ? *font : IBitmap()), mMultiLine(multiLine), mVCentre(vCenter)
{
}

bool IBitmapTextControl::Draw(IGraphics* graphics)
{
  if (!*mStr.Get()) return true;
  return DrawBitmapedText(graphics, &mFontBitmap, &mRECT, &mText, &mBlend, mStr.Get(), mVCentre, mMultiLine,
                          mCharWidth, mCharHeight, mCharOffset);
}
