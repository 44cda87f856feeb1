#pragma once
// Base of every element of the editor: one rectangle on the editor's surface, optionally one
// plug-in parameter (plus auxiliary parameters it follows), a normalised value in [0, 1] and
// the flags by which the editor decides whether to draw it and whether it can be clicked.
//
// Threads: everything runs on the user-interface thread except PushValueFromPlug and
// PushAuxValueFromPlug, which the editor calls from the audio thread too. Those two only store
// the value in a last-value slot (one atomic store each, real-time safe); the editor's drawing
// pass takes each slot with one atomic exchange and applies it here on the user-interface
// thread (SetValueFromPlug, SetAuxParamValueFromPlug), so a value pushed while the control is
// drawn is applied at the next pass and the last value pushed is the one finally drawn.
//
// Values: NaN is ignored by every setter; infinities become 0 or 1.
// Ownership: the editor owns its attached controls. The value and name display controls are
// attached controls too and are not owned by the control that points at them.

#include <atomic>
#include <limits>

#include "IPlugStructs.h"
#include "WDL_PtrList.h"
#include "WDL_String.h"

class IGraphics;
class IParam;
class IPlugBase;

// A value handed from any thread to the user-interface thread, where only the last one counts.
// Store is one atomic store; Take empties the slot with one atomic exchange. NaN marks the
// empty slot, which is why callers never store NaN.
class ILastValueSlot
{
public:
  void Store(double v) { mValue.store(v, std::memory_order_release); }
  // True and the last value stored since the previous Take, or false when none was.
  bool Take(double* v);

private:
  std::atomic<double> mValue{kEmpty};
  static constexpr double kEmpty = __builtin_nan("");
};

class IControl
{
public:
  // A further parameter the control follows: its last value and the parameter's index.
  struct AuxParam
  {
    double mValue = 0.0;
    int mParamIdx;
    ILastValueSlot mFromPlug;
    explicit AuxParam(int idx) : mParamIdx(idx) {}
  };

  IControl(IPlugBase* plug, const IRECT& rect, int paramIdx = -1,
           IChannelBlend::EBlendMethod blendMethod = IChannelBlend::kBlendNone);
  IControl(const IControl&) = delete;
  IControl& operator=(const IControl&) = delete;

  // Virtual operations, in slot order.
  virtual ~IControl();
  // Right button: PromptUserInput(); otherwise nothing.
  virtual void OnMouseDown(int x, int y, IMouseMod* mod);
  virtual void OnMouseUp(int, int, IMouseMod*) {}
  virtual void OnMouseDrag(int, int, int, int, IMouseMod*) {}
  // Restores the default value (once one was set) and pushes it to the plug-in.
  virtual void OnMouseDblClick(int x, int y, IMouseMod* mod);
  virtual void OnMouseWheel(int, int, IMouseMod*, int) {}
  virtual bool OnKeyDown(int, int, int) { return false; }
  virtual void OnMouseOver(int, int, IMouseMod*) {}
  virtual void OnMouseOut() {}
  virtual bool Draw(IGraphics* graphics) = 0;
  // The first value also becomes the default (and is drawn, but asks for no extra pass); a
  // changed value marks the control dirty and keeps it dirty for one more pass.
  virtual void SetValueFromPlug(double value);
  // A changed value marks the control dirty and pushes it to the plug-in.
  virtual void SetValueFromUserInput(double value);
  virtual void TextFromTextEntry(const char*) {}
  virtual void Hide(bool hide);
  virtual void GrayOut(bool gray);
  virtual bool IsHit(int x, int y) { return mTargetRECT.Contains(x, y); }
  // Clamps the value, marks the control dirty and, with pushParamToPlug, sets the parameter
  // (telling the host) and refreshes the value and name display controls.
  virtual void SetDirty(bool pushParamToPlug = true);
  // Dirty stays set only when a redraw was pending.
  virtual void SetClean();
  virtual bool IsDirty() { return mDirty; }
  virtual void OnGUIIdle() {}
  virtual void SetAuxParamValueFromPlug(int auxIdx, double value);
  // Text shown by a text control; the base shows no text. Display controls are fed through it.
  virtual void SetTextFromPlug(const char*) {}

  // Any thread (the audio thread included): real-time safe hand-over of a value from the
  // plug-in; applied on the user-interface thread by ApplyValuesFromPlug. NaN is ignored.
  // Inline: the meter pushes once per audio frame.
  void PushValueFromPlug(double value)
  {
    if (SanitizeValue(&value)) mFromPlug.Store(value);
  }
  void PushAuxValueFromPlug(int auxIdx, double value);
  // User-interface thread: applies the values pushed since the last call.
  // True when a value was waiting (whether or not it changed anything).
  bool ApplyValuesFromPlug();

  // Opens the value prompt (a menu of display texts, else a text entry) when the control has a
  // parameter and prompting is enabled: over the control for a menu, in a 40 x 16 box at its
  // centre for a text entry, or over the given area.
  void PromptUserInput();
  void PromptUserInput(IRECT* area);

  // Auxiliary parameters: add them before the control is attached.
  void AddAuxParam(int paramIdx);
  // Index of the first entry for the parameter, or -1.
  int AuxParamIdx(int paramIdx) const;
  // Null for an index outside the entries.
  AuxParam* GetAuxParam(int auxIdx) const { return mAuxParams.Get(auxIdx); }
  int NAuxParams() const { return mAuxParams.GetSize(); }
  // Each entry's value to the plug-in, in order.
  void SetAllAuxParamsFromGUI();

  // Accessors.
  IPlugBase* GetPlug() const { return mPlug; }
  IGraphics* GetGUI() const { return mGraphics; }
  int ParamIdx() const { return mParamIdx; }
  void SetParamIdx(int paramIdx) { mParamIdx = paramIdx; }
  // The parameter, or null without one.
  IParam* GetParam() const;
  double GetValue() const { return mValue; }
  void SetValue(double value);
  double GetDefaultValue() const { return mDefaultValue; }
  void SetDefaultValue(double value);
  double GetClampLo() const { return mClampLo; }
  double GetClampHi() const { return mClampHi; }
  void Clamp(double lo, double hi);
  const IRECT* GetRECT() const { return &mRECT; }
  void SetRECT(const IRECT& r) { mRECT = r; }
  const IRECT* GetTargetRECT() const { return &mTargetRECT; }
  void SetTargetRECT(const IRECT& r) { mTargetRECT = r; }
  bool IsHidden() const { return mHide; }
  bool IsGrayed() const { return mGrayed; }
  bool GetMOWhenGrayed() const { return mMOWhenGrayed; }
  void SetMOWhenGrayed(bool allow) { mMOWhenGrayed = allow; }
  bool MouseDblAsSingleClick() const { return mDblAsSingleClick; }
  void SetDblAsSingleClick(bool single) { mDblAsSingleClick = single; }
  bool GetRedrawPending() const { return mRedraw; }
  void SetRedrawPending(bool pending) { mRedraw = pending; }
  // Prompting is disabled until a control enables it.
  void DisablePrompt(bool disable) { mDisablePrompt = disable; }
  bool IsPromptDisabled() const { return mDisablePrompt; }
  IChannelBlend* GetBlend() { return &mBlend; }
  IText* GetText() { return &mText; }
  void SetText(const IText& text) { mText = text; }
  int GetTextEntryLength() const { return mTextEntryLength; }
  void SetTextEntryLength(int len) { mTextEntryLength = len; }
  IControl* GetValDisplayControl() const { return mValDisplayControl; }
  void SetValDisplayControl(IControl* c) { mValDisplayControl = c; }
  IControl* GetNameDisplayControl() const { return mNameDisplayControl; }
  void SetNameDisplayControl(IControl* c) { mNameDisplayControl = c; }
  const char* GetTooltip() const { return mTooltip.Get(); }
  void SetTooltip(const char* text) { mTooltip.Set(text); }

  // Called by the editor that takes the control.
  void SetGUI(IGraphics* graphics) { mGraphics = graphics; }

  // NaN gives false; infinities become 0 (negative) or 1 (positive); finite values pass.
  static bool SanitizeValue(double* value)
  {
    constexpr double kMax = std::numeric_limits<double>::max();
    const double v = *value;
    if (v != v) return false;
    if (v > kMax) *value = 1.0;
    else if (v < -kMax) *value = 0.0;
    return true;
  }

  // The text a value display shows: the parameter's display text of its current value (display
  // texts included), then, withLabel, one space and its label; each part cut to 31 bytes
  // without splitting a UTF-8 character. out holds kValueTextLen bytes.
  static constexpr int kValueTextLen = 64;
  static void FormatValueText(const IParam* param, bool withLabel, char* out);

protected:
  int mTextEntryLength = 7;
  IText mText;
  IPlugBase* mPlug;
  IRECT mRECT;
  IRECT mTargetRECT;
  int mParamIdx;
  WDL_PtrList<AuxParam> mAuxParams;
  double mValue = 0.0;
  double mDefaultValue = -1.0;
  double mClampLo = 0.0, mClampHi = 1.0;
  bool mDirty = true;
  bool mHide = false;
  bool mGrayed = false;
  bool mRedraw = false;
  bool mDisablePrompt = true;
  bool mDblAsSingleClick = false;
  bool mMOWhenGrayed = false;
  IChannelBlend mBlend;
  IControl* mValDisplayControl = nullptr;
  IControl* mNameDisplayControl = nullptr;
  WDL_String mTooltip;

private:
  void UpdateDisplayControls();

  IGraphics* mGraphics = nullptr;  // the editor that owns the control, once attached
  ILastValueSlot mFromPlug;
};
