#pragma once
// A press opens the editor's file dialog; the chosen file is kept for the plug-in to read.
// While the dialog is open the control shows its bitmap (when the window layer draws during
// the dialog); after a selection it asks for one more drawing pass so that the bitmap is
// cleared again. Each selection also steps the value 0 -> 1 -> 0 and pushes it, so that the
// plug-in sees a change.
//
// Threads: user-interface thread only, the plug-in's calls to GetLastSelectedFileForPlug and
// SetLastSelectedFileFromPlug included (they copy strings, which may allocate).

#include "IControl.h"
#include "IGraphics.h"
#include "WDL_String.h"

class IFileSelectorControl : public IControl
{
public:
  enum EState
  {
    kNone = 0,
    kSelecting = 1,
    kDone = 2
  };

  // dir is the folder the dialog starts in (updated by the dialog); extensions are separated by
  // spaces ("wav aif").
  IFileSelectorControl(IPlugBase* plug, const IRECT& rect, int paramIdx, const IBitmap* bitmap, EFileAction action,
                       const char* dir = "", const char* extensions = "");

  // Nothing without a plug-in or an editor.
  void OnMouseDown(int x, int y, IMouseMod* mod) override;
  // The bitmap at the rectangle while selecting; nothing otherwise.
  bool Draw(IGraphics* graphics) override;
  // Also true once after a selection (the state returns to none).
  bool IsDirty() override;

  // The file last chosen (empty when the dialog was cancelled).
  void GetLastSelectedFileForPlug(WDL_String* file) const;
  void SetLastSelectedFileFromPlug(const char* file);
  EState GetState() const { return mState; }
  const char* GetDir() const { return mDir.Get(); }

private:
  IBitmap mBitmap;
  WDL_String mDir, mFile, mExtensions;
  EFileAction mAction;
  EState mState = kNone;
};
