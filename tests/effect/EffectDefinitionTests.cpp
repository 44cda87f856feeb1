// The effect's identity, parameters, cached gains, default preset and creation.

#include <gtest/gtest.h>

#include <chrono>
#include <cstring>

#include "EffectTestSupport.h"
#include "IPreset.h"
#include "WDL_Version.h"

namespace
{
TEST(BrelixDefinition, Identity)
{
  BrelixOffline fx;
  EXPECT_STREQ("Brelix", fx.GetEffectName());
  EXPECT_STREQ("", fx.GetProductName());
  EXPECT_STREQ("Quorvane", fx.GetMfrName());
  EXPECT_EQ(0x42727831, fx.GetUniqueID());  // "Brx1"
  EXPECT_EQ(0x5172766E, fx.GetMfrID());     // "Qrvn"
  EXPECT_EQ(MakePackedVersion(1, 0, 0), fx.GetEffectVersion(false));
  EXPECT_EQ(0, fx.GetLatency());
  EXPECT_FALSE(fx.DoesMIDI());
  EXPECT_FALSE(fx.DoesStateChunks());
  EXPECT_FALSE(fx.IsInst());
  EXPECT_EQ(2, fx.NInChannels());
  EXPECT_EQ(2, fx.NOutChannels());
  EXPECT_TRUE(fx.LegalIO(1, 1));
  EXPECT_TRUE(fx.LegalIO(2, 2));
  EXPECT_FALSE(fx.LegalIO(1, 2));
  EXPECT_FALSE(fx.LegalIO(2, 1));
}

struct ParamRow
{
  int idx;
  const char* name;
  IParam::EParamKind kind;
  double min, max, step, shape;
  const char* label;
};

TEST(BrelixDefinition, TenParametersAsPublished)
{
  BrelixOffline fx;
  ASSERT_EQ(10, fx.NParams());
  const ParamRow rows[] = {
    {0, "", IParam::kParamNone, 0, 1, 1, 1, ""},
    {1, "GAIN", IParam::kParamDouble, 0, 40, 0.01, 2, "%"},
    {2, "OUT", IParam::kParamDouble, -30, 30, 0.01, 1, "%"},
    {3, "", IParam::kParamNone, 0, 1, 1, 1, ""},
    {4, "MODEL", IParam::kParamInt, 0, 10, 1, 1, "%"},
    {5, "LPF", IParam::kParamInt, 0, 1, 1, 1, ""},
    {6, "HPF", IParam::kParamInt, 0, 3, 1, 1, ""},
    {7, "LINK", IParam::kParamInt, 0, 1, 1, 1, ""},
    {8, "", IParam::kParamNone, 0, 1, 1, 1, ""},
    {9, "BYPASS", IParam::kParamInt, 0, 1, 1, 1, ""},
  };
  for (const ParamRow& row : rows)
  {
    SCOPED_TRACE(row.idx);
    const IParam* p = fx.GetParam(row.idx);
    EXPECT_STREQ(row.name, p->GetNameForHost());
    EXPECT_EQ(row.kind, p->Type());
    EXPECT_EQ(row.min, p->GetMin());
    EXPECT_EQ(row.max, p->GetMax());
    EXPECT_EQ(row.step, p->GetStep());
    EXPECT_EQ(row.shape, p->GetShape());
    EXPECT_EQ(0.0, p->GetDefault());
    EXPECT_EQ(0.0, p->Value());
    EXPECT_STREQ(row.label, p->GetLabelForHost());
    EXPECT_STREQ("", p->GetParamGroupForHost());
    EXPECT_EQ(0, p->GetNDisplayTexts());
  }
  EXPECT_EQ(2, fx.GetParam(Brelix::kGain)->GetPrecision());
  EXPECT_EQ(2, fx.GetParam(Brelix::kOut)->GetPrecision());
}

TEST(BrelixDefinition, GainsFollowTheDecibelParameters)
{
  BrelixOffline fx;
  EXPECT_EQ(1.0, fx.GetDriveGain());
  EXPECT_EQ(1.0, fx.GetOutputGain());
  fx.SetParam(Brelix::kGain, 40.0);
  EXPECT_EQ(100.0, fx.GetDriveGain());
  fx.SetParam(Brelix::kGain, 0.0);
  EXPECT_EQ(1.0, fx.GetDriveGain());
  fx.SetParam(Brelix::kOut, -30.0);
  EXPECT_EQ(0.031622776601683794, fx.GetOutputGain());
  fx.SetParam(Brelix::kOut, 30.0);
  EXPECT_EQ(31.622776601683793, fx.GetOutputGain());
  fx.SetParam(Brelix::kOut, 0.0);
  EXPECT_EQ(1.0, fx.GetOutputGain());
  // Values beyond the range arrive clamped by the parameter.
  fx.SetParam(Brelix::kGain, 1000.0);
  EXPECT_EQ(100.0, fx.GetDriveGain());
}

TEST(BrelixDefinition, NormalisedValuesFromTheEditor)
{
  BrelixOffline fx;
  fx.SetParameterFromGUI(Brelix::kGain, 0.5);  // shape 2: 40 * 0.5^2 = 10 dB
  EXPECT_EQ(10.0, fx.GetParam(Brelix::kGain)->Value());
  EXPECT_EQ(3.1622776601683795, fx.GetDriveGain());
  fx.SetParameterFromGUI(Brelix::kHpf, 0.5);  // 1.5 rounds up
  EXPECT_EQ(2.0, fx.GetParam(Brelix::kHpf)->Value());
  // Other parameters leave the cached gains alone.
  fx.SetParameterFromGUI(Brelix::kModel, 1.0);
  fx.SetParameterFromGUI(Brelix::kLink, 1.0);
  EXPECT_EQ(3.1622776601683795, fx.GetDriveGain());
  EXPECT_EQ(1.0, fx.GetOutputGain());
}

TEST(BrelixDefinition, DefaultPresetHoldsTheDefaults)
{
  BrelixOffline fx;
  ASSERT_EQ(1, fx.NPresets());
  EXPECT_STREQ("-", fx.GetPresetName(0));
  EXPECT_TRUE(fx.GetPreset(0)->mInitialized);

  fx.SetParam(Brelix::kGain, 23.0);
  fx.SetParam(Brelix::kOut, -7.5);
  fx.SetParam(Brelix::kModel, 6.0);
  fx.SetParam(Brelix::kHpf, 3.0);
  fx.SetParam(Brelix::kBypass, 1.0);
  ASSERT_TRUE(fx.RestorePreset(0));
  for (int i = 0; i < fx.NParams(); ++i) EXPECT_EQ(0.0, fx.GetParam(i)->Value()) << i;
  // Restoring runs the change handler, so the cached gains follow.
  EXPECT_EQ(1.0, fx.GetDriveGain());
  EXPECT_EQ(1.0, fx.GetOutputGain());
}

TEST(BrelixDefinition, ResetClearsNoHistory)
{
  BrelixOffline fx;
  ASSERT_TRUE(fx.Prepare(44100.0, 64));
  fx.SetParam(Brelix::kHpf, 1.0);
  Stereo in = Sine(64, 1000.0, 44100.0, 0.2), out(64);
  fx.Process(in.Ptrs(), out.Ptrs(), 64);
  const double y = fx.GetChannel(0).hp80.OutputHistory()[0];
  const double meter = fx.GetMeterLevel();
  ASSERT_NE(0.0, y);
  fx.Reset();
  EXPECT_EQ(y, fx.GetChannel(0).hp80.OutputHistory()[0]);
  EXPECT_EQ(meter, fx.GetMeterLevel());
}
}  // namespace
