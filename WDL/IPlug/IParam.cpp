#include "IParam.h"

#include <climits>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "WDL_Number.h"
#include "WDL_String.h"

static void CopyText(char* dst, const char* src)
{
  WDL_CopyText(dst, IParam::kMaxTextLen + 1, src);
}

IParam::IParam() = default;

int IParam::TruncToInt(double v)
{
  if (std::isnan(v)) return 0;
  if (v >= static_cast<double>(INT_MAX)) return INT_MAX;
  if (v <= static_cast<double>(INT_MIN)) return INT_MIN;
  return static_cast<int>(v);
}

int IParam::Int() const
{
  return TruncToInt(Value());
}

void IParam::SetKind(EParamKind kind)
{
  if (mKind == kParamNone) mKind = kind;
}

void IParam::InitCommon(const char* name, const char* label, const char* group)
{
  CopyText(mName, name);
  CopyText(mLabel, label);
  CopyText(mGroup, group);
}

void IParam::InitBool(const char* name, bool defaultVal, const char* label, const char* group)
{
  SetKind(kParamBool);
  InitCommon(name, label, group);
  mDefault = defaultVal ? 1.0 : 0.0;
  Store(mDefault);
  mMin = 0.0;
  mMax = 1.0;
  mStep = 1.0;
  mShape = 1.0;
  mDisplayPrecision = 0;
  SetDisplayText(0, "off");
  SetDisplayText(1, "on");
}

void IParam::InitEnum(const char* name, int defaultVal, int nEnums, const char* label, const char* group)
{
  SetKind(kParamEnum);
  InitCommon(name, label, group);
  mDefault = defaultVal;
  Store(mDefault);
  mMin = 0.0;
  mMax = nEnums - 1 > 1 ? nEnums - 1 : 1;
  mStep = 1.0;
  mShape = 1.0;
  mDisplayPrecision = 0;
}

void IParam::InitInt(const char* name, int defaultVal, int minVal, int maxVal, const char* label,
                     const char* group)
{
  SetKind(kParamInt);
  InitCommon(name, label, group);
  mDefault = defaultVal;
  Store(mDefault);
  mMin = minVal;
  // In double arithmetic, so that minVal == INT_MAX cannot overflow.
  mMax = static_cast<double>(minVal) + 1.0 > maxVal ? static_cast<double>(minVal) + 1.0 : maxVal;
  mStep = 1.0;
  mShape = 1.0;
  mDisplayPrecision = 0;
}

void IParam::InitDouble(const char* name, double defaultVal, double minVal, double maxVal, double step,
                        const char* label, const char* group, double shape)
{
  SetKind(kParamDouble);
  InitCommon(name, label, group);
  mDefault = defaultVal;
  Store(mDefault);
  mMin = minVal;
  mMax = minVal + step > maxVal ? minVal + step : maxVal;
  // A step of 0 or below would leave an empty range and a division by zero in every conversion.
  if (!(mMax > mMin)) mMax = mMin + 1.0;
  mStep = step;
  mDisplayPrecision = 0;
  if (step != std::floor(step))
  {
    mDisplayPrecision = 1;
    double s = step * 10.0;
    while (s != std::floor(s) && mDisplayPrecision < 6)
    {
      ++mDisplayPrecision;
      s *= 10.0;
    }
  }
  SetShape(shape);
}

void IParam::SetShape(double shape)
{
  if (shape != 0.0 && std::isfinite(shape)) mShape = shape;
}

void IParam::SetDisplayText(int value, const char* text)
{
  int n = mDisplayTexts.GetSize();
  auto* p = static_cast<DisplayTextEntry*>(mDisplayTexts.Resize(n + static_cast<int>(sizeof(DisplayTextEntry))));
  if (!p) return;
  DisplayTextEntry* e = p + n / static_cast<int>(sizeof(DisplayTextEntry));
  e->mValue = value;
  CopyText(e->mText, text);
}

double IParam::GetNormalized(double plain) const
{
  // NaN is read as min, so that no caller is ever handed a NaN by the conversion.
  double v = !(plain >= mMin) ? mMin : (plain < mMax ? plain : mMax);
  return std::pow((v - mMin) / (mMax - mMin), 1.0 / mShape);
}

double IParam::GetNonNormalized(double normalized) const
{
  return mMin + (mMax - mMin) * std::pow(normalized, mShape);
}

void IParam::SetNormalized(double normalized)
{
  if (std::isnan(normalized)) return;
  // Clamped first: a negative value from a host or a file must not reach below min.
  if (normalized < 0.0) normalized = 0.0;
  if (normalized > 1.0) normalized = 1.0;
  Store(PlainFromNormalized(normalized));
}

double IParam::PlainFromNormalized(double normalized) const
{
  double v = GetNonNormalized(normalized);
  if (mKind != kParamDouble) v = std::floor(v / mStep + 0.5) * mStep;
  return v > mMax ? mMax : v;
}

void IParam::SetValue(double plain)
{
  if (std::isnan(plain)) return;
  Store(plain < mMin ? mMin : (plain < mMax ? plain : mMax));
}

double IParam::GetNormalizedDefault() const
{
  return std::pow((mDefault - mMin) / (mMax - mMin), 1.0 / mShape);
}

double IParam::DBToAmp() const
{
  return std::exp(Value() * 0.1151292546497);
}

void IParam::GetBounds(double* lo, double* hi) const
{
  if (lo) *lo = mMin;
  if (hi) *hi = mMax;
}

void IParam::GetDisplayForHost(double value, bool normalized, char* out, int outLen, bool withDisplayText) const
{
  if (!out || outLen < 1) return;
  if (normalized) value = PlainFromNormalized(value);
  if (withDisplayText && GetNDisplayTexts() > 0)
  {
    const char* text = GetDisplayText(TruncToInt(value));
    if (*text)
    {
      std::snprintf(out, static_cast<size_t>(outLen), "%s", text);
      return;
    }
  }
  if (mNegateDisplay) value = -value;
  if (mDisplayPrecision != 0)
    WDL_FormatFixed(value, mDisplayPrecision, out, outLen);
  else
    std::snprintf(out, static_cast<size_t>(outLen), "%d", TruncToInt(value));
}

const char* IParam::GetDisplayText(int value) const
{
  int n = GetNDisplayTexts();
  const DisplayTextEntry* e = Entries();
  for (int i = 0; i < n; ++i)
    if (e[i].mValue == value) return e[i].mText;
  return "";
}

const char* IParam::GetLabelForHost() const
{
  return *GetDisplayText(Int()) ? "" : mLabel;
}

int IParam::GetNDisplayTexts() const
{
  return mDisplayTexts.GetSize() / static_cast<int>(sizeof(DisplayTextEntry));
}

const char* IParam::GetDisplayTextAtIdx(int idx, int* value) const
{
  if (idx < 0 || idx >= GetNDisplayTexts()) return "";
  const DisplayTextEntry& e = Entries()[idx];
  if (value) *value = e.mValue;
  return e.mText;
}

bool IParam::MapDisplayText(const char* text, int* value) const
{
  if (!text) return false;
  int n = GetNDisplayTexts();
  const DisplayTextEntry* e = Entries();
  for (int i = 0; i < n; ++i)
    if (!std::strcmp(e[i].mText, text))
    {
      if (value) *value = e[i].mValue;
      return true;
    }
  return false;
}
