#pragma once
// One automatable parameter: its current value in plain units (decibels, hertz, an index), its
// range, step and display rules, and the conversions between the plain value and the
// normalised value in [0, 1] that hosts and editor controls exchange.
//
// Threads: initialisation happens once, in the effect's constructor. After that the current
// value may be read and written from two threads at once (the host's controller thread and the
// audio thread); it is held in an atomic. Everything else is read-only after initialisation.
// Real-time safe: every operation except the Init* calls and SetDisplayText.
//
// The current value is always finite and inside [min, max] once it has been set through
// SetNormalized or SetValue: NaN is ignored and infinities clamp to the range's ends.
// Numbers are formatted and parsed with a "." decimal point whatever the process locale.

#include <atomic>

#include "WDL_HeapBuf.h"

class IParam
{
public:
  enum EParamKind
  {
    kParamNone = 0,
    kParamBool = 1,
    kParamInt = 2,
    kParamEnum = 3,
    kParamDouble = 4
  };

  // Name, label, group and display texts hold at most this many characters; longer input is cut.
  static constexpr int kMaxTextLen = 31;
  // The display buffer every framework caller passes to GetDisplayForHost.
  static constexpr int kDisplayBufLen = 32;

  IParam();
  ~IParam() = default;
  IParam(const IParam&) = delete;
  IParam& operator=(const IParam&) = delete;

  // Initialisation: each sets the kind only while it is still kParamNone.
  void InitBool(const char* name, bool defaultVal, const char* label = "", const char* group = "");
  void InitEnum(const char* name, int defaultVal, int nEnums, const char* label = "", const char* group = "");
  void InitInt(const char* name, int defaultVal, int minVal, int maxVal, const char* label = "",
               const char* group = "");
  // A step of 0 or below is kept (no quantisation of the display precision); the range is
  // then widened to at least 1 so that it never collapses to a single point.
  void InitDouble(const char* name, double defaultVal, double minVal, double maxVal, double step,
                  const char* label = "", const char* group = "", double shape = 1.0);
  // Ignored when shape is 0 (or not finite).
  void SetShape(double shape);
  // Appends a text shown instead of the number for an integer value. Entries are never replaced.
  void SetDisplayText(int value, const char* text);

  // Conversions.
  double GetNormalized() const { return GetNormalized(Value()); }
  double GetNormalized(double plain) const;
  double GetNonNormalized(double normalized) const;
  void SetNormalized(double normalized);
  void SetValue(double plain);
  double GetNormalizedDefault() const;
  double DBToAmp() const;
  void GetBounds(double* lo, double* hi) const;

  // Writes the text for a value into out (outLen characters including the terminator; the text
  // is cut to fit). With normalized set, value is mapped to plain first with SetNormalized's step
  // rounding, so a host shows the value the parameter takes (0.7f on an integer 0..10 is 7).
  void GetDisplayForHost(double value, bool normalized, char* out, int outLen, bool withDisplayText = true) const;
  // The current value's text.
  void GetDisplayForHost(char* out, int outLen, bool withDisplayText = true) const
  {
    GetDisplayForHost(Value(), false, out, outLen, withDisplayText);
  }
  const char* GetDisplayText(int value) const;
  const char* GetNameForHost() const { return mName; }
  const char* GetLabelForHost() const;
  const char* GetParamGroupForHost() const { return mGroup; }
  int GetNDisplayTexts() const;
  // The text of entry idx and its value; "" (value untouched) for idx outside [0, count).
  const char* GetDisplayTextAtIdx(int idx, int* value = nullptr) const;
  // Finds the first entry whose text equals text exactly (case-sensitive).
  bool MapDisplayText(const char* text, int* value) const;

  EParamKind Type() const { return mKind; }
  double Value() const { return mValue.load(std::memory_order_relaxed); }
  bool Bool() const { return Value() >= 0.5; }
  int Int() const;
  double GetMin() const { return mMin; }
  double GetMax() const { return mMax; }
  double GetStep() const { return mStep; }
  double GetShape() const { return mShape; }
  double GetDefault() const { return mDefault; }
  int GetPrecision() const { return mDisplayPrecision; }
  bool GetNegateDisplay() const { return mNegateDisplay; }
  bool GetCanAutomate() const { return mCanAutomate; }
  void SetNegateDisplay(bool negate) { mNegateDisplay = negate; }
  void SetCanAutomate(bool canAutomate) { mCanAutomate = canAutomate; }

  // Truncates toward zero into the int range; NaN gives 0.
  static int TruncToInt(double v);

private:
  struct DisplayTextEntry
  {
    int mValue;
    char mText[kMaxTextLen + 1];
  };
  static_assert(sizeof(DisplayTextEntry) == 36, "display text entries are 36-byte records");

  void InitCommon(const char* name, const char* label, const char* group);
  void SetKind(EParamKind kind);
  void Store(double v) { mValue.store(v, std::memory_order_relaxed); }
  // The plain value a normalised one in [0, 1] sets: mapped through the shape, rounded to the step
  // (except for doubles) and kept at or below max.
  double PlainFromNormalized(double normalized) const;
  const DisplayTextEntry* Entries() const { return static_cast<const DisplayTextEntry*>(mDisplayTexts.Get()); }

  EParamKind mKind = kParamNone;
  std::atomic<double> mValue{0.0};
  double mMin = 0.0;
  double mMax = 1.0;
  double mStep = 1.0;
  double mShape = 1.0;
  double mDefault = 0.0;
  int mDisplayPrecision = 0;
  char mName[kMaxTextLen + 1] = {};
  char mLabel[kMaxTextLen + 1] = {};
  char mGroup[kMaxTextLen + 1] = {};
  bool mNegateDisplay = false;
  bool mCanAutomate = true;
  WDL_HeapBuf mDisplayTexts;
};
