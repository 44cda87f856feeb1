#include "IPlugParameter.h"

#include <cmath>

#include "IParam.h"
#include "VST3Text.h"
#include "WDL_Number.h"

using namespace Steinberg;
using namespace Steinberg::Vst;

static double ClampNormalized(double v)
{
  return v > 0.0 ? (v < 1.0 ? v : 1.0) : 0.0;  // NaN gives 0
}

IPlugParameter::IPlugParameter(IParam* param, ParamID tag, UnitID unitID) : mParam(param)
{
  CopyToUTF16(info.title, 128, param->GetNameForHost());
  info.shortTitle[0] = 0;
  CopyToUTF16(info.units, 128, param->GetLabelForHost());
  info.stepCount = param->Type() == IParam::kParamDouble ? 0 : IParam::TruncToInt(param->GetMax() - param->GetMin());
  // A default outside the range would give the host a value outside [0, 1] (or NaN).
  info.defaultNormalizedValue = ClampNormalized(param->GetNormalizedDefault());
  info.id = tag;
  info.unitId = unitID;
  info.flags = param->GetCanAutomate() ? ParameterInfo::kCanAutomate : 0;
  valueNormalized = info.defaultNormalizedValue;
  precision = param->GetPrecision();
}

void IPlugParameter::toString(ParamValue normalized, String128 text) const
{
  char display[IParam::kDisplayBufLen];
  mParam->GetDisplayForHost(ClampNormalized(normalized), true, display, sizeof(display), true);
  CopyToUTF16(text, 128, display);
}

bool IPlugParameter::fromString(const TChar* text, ParamValue& normalized) const
{
  if (!text) return false;
  char str[128];
  CopyFromUTF16(str, sizeof(str), text);
  int listValue = 0;
  if (mParam->MapDisplayText(str, &listValue))
  {
    normalized = mParam->GetNormalized(listValue);
    return true;
  }
  double plain = 0.0;
  const char* rest = nullptr;
  if (!WDL_ParseDouble(str, &plain, &rest)) return false;
  normalized = mParam->GetNormalized(plain);
  return true;
}

ParamValue IPlugParameter::toPlain(ParamValue normalized) const
{
  return mParam->GetNonNormalized(ClampNormalized(normalized));
}

ParamValue IPlugParameter::toNormalized(ParamValue plain) const
{
  return mParam->GetNormalized(plain);
}
