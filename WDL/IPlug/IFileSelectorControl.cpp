#include "IFileSelectorControl.h"

#include <string>

IFileSelectorControl::IFileSelectorControl(IPlugBase* plug, const IRECT& rect, int paramIdx, const IBitmap* bitmap,
                                           EFileAction action, const char* dir, const char* extensions)
  : IControl(plug, rect, paramIdx), mBitmap(bitmap ? *bitmap : IBitmap()), mDir(dir), mExtensions(extensions),
    mAction(action)
{
}

void IFileSelectorControl::OnMouseDown(int, int, IMouseMod*)
{
  IGraphics* graphics = GetGUI();
  if (!mPlug || !graphics) return;
  mState = kSelecting;
  SetDirty(false);
  std::string extensions = mExtensions.Get();  // the dialog takes a writable list
  graphics->PromptForFile(&mFile, mAction, &mDir, extensions.data());
  mValue += 1.0;
  if (mValue > 1.0) mValue = 0.0;
  mState = kDone;
  SetDirty(true);
}

bool IFileSelectorControl::Draw(IGraphics* graphics)
{
  if (mState == kSelecting) return graphics->DrawBitmap(&mBitmap, &mRECT, 0, 0, nullptr);
  return true;
}

bool IFileSelectorControl::IsDirty()
{
  if (mDirty) return true;
  if (mState != kDone) return false;
  mState = kNone;
  return true;
}

void IFileSelectorControl::GetLastSelectedFileForPlug(WDL_String* file) const
{
  if (file) file->Set(mFile.Get());
}

void IFileSelectorControl::SetLastSelectedFileFromPlug(const char* file)
{
  mFile.Set(file);
}
