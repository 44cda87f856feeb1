#include "Brelix.h"

#include <cmath>
#include <limits>

#include "WDL_Version.h"

namespace
{
constexpr int kNumPresets = 1;
constexpr int kLatency = 0;
}  // namespace

Brelix::Brelix(IPlugInstanceInfo info)
  : BrelixBase(info, kNumParams, "1-1 2-2", kNumPresets, "Brelix", "", "Quorvane", MakePackedVersion(1, 0, 0),
               MakeFourCC("Brx1"), MakeFourCC("Qrvn"), kLatency, false, false, false, 0)
  , mCoeffRate(std::numeric_limits<double>::quiet_NaN())
{
  // The order of these calls is part of the effect's definition.
  GetParam(kBypass)->InitInt("BYPASS", 0, 0, 1, "", "");
  GetParam(kLink)->InitInt("LINK", 0, 0, 1, "", "");
  GetParam(kHpf)->InitInt("HPF", 0, 0, 3, "", "");
  GetParam(kLpf)->InitInt("LPF", 0, 0, 1, "", "");
  GetParam(kGain)->InitDouble("GAIN", 0.0, 0.0, 40.0, 0.01, "%", "", 1.0);
  GetParam(kGain)->SetShape(2.0);
  GetParam(kOut)->InitDouble("OUT", 0.0, -30.0, 30.0, 0.01, "%", "", 1.0);
  GetParam(kOut)->SetShape(1.0);
  GetParam(kModel)->InitInt("MODEL", 0, 0, 10, "%", "");

  AttachEditor();

  MakeDefaultPreset("-", kNumPresets);
}

Brelix::~Brelix() = default;

void Brelix::Reset()
{
  WDL_MutexLock lock(&mMutex);
}

void Brelix::OnParamChange(int paramIdx)
{
  WDL_MutexLock lock(&mMutex);
  switch (paramIdx)
  {
    case kGain:
      mDriveGain = std::pow(10.0, GetParam(kGain)->Value() / 20.0);
      break;
    case kOut:
      mOutputGain = std::pow(10.0, GetParam(kOut)->Value() / 20.0);
      break;
    default:
      break;
  }
}
