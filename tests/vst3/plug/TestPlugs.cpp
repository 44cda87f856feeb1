#include "TestPlugs.h"

#include <string>

#include "IPlugVST3Entry.h"

void NoteLane::Add(const IMidiMsg& msg)
{
  if (mCount < kMaxNotes) mNotes[mCount++] = msg;
}

double NoteLane::Next(int s)
{
  while (mNext < mCount && mNotes[mNext].mOffset <= s)
  {
    const IMidiMsg& m = mNotes[mNext++];
    if (m.StatusMsg() == IMidiMsg::kNoteOn && m.Velocity() > 0)
      mLevel = m.Velocity() / 127.0;
    else if (m.StatusMsg() == IMidiMsg::kNoteOn || m.StatusMsg() == IMidiMsg::kNoteOff)
      mLevel = 0.0;
  }
  return mLevel;
}

TestFx::TestFx(IPlugInstanceInfo info)
  : IPlugVST3(info, kNumParams, "1-1 2-2 4-2", kNumPresets, "IPlugTestFx", "IPlug Tests", "Brelix Tests",
              0x00010203, MakeFourCC("TFx1"), MakeFourCC("BrxT"), kLatency, true, false, false, 2)
{
  GetParam(kGain)->InitDouble("Gain", 1.0, 0.0, 2.0, 0.001, "x", "Amp");
  GetParam(kDrive)->InitDouble("Drive", 0.0, 0.0, 40.0, 0.01, "dB", "Amp", 2.0);
  GetParam(kMode)->InitEnum("Mode", 0, 3, "", "Character");
  GetParam(kMode)->SetDisplayText(0, "Clean");
  GetParam(kMode)->SetDisplayText(1, "Warm");
  GetParam(kMode)->SetDisplayText(2, "Hot");
  GetParam(kSidechain)->InitDouble("Sidechain", 0.5, 0.0, 1.0, 0.01);
  GetParam(kEnable)->InitBool("Enable", true);
  GetParam(kLocked)->InitInt("Locked", 3, 0, 10, "", "Character");
  GetParam(kLocked)->SetCanAutomate(false);
  GetParam(kLongName)->InitDouble("A parameter name far too long for its field", -1.0, -5.0, 5.0, 0.5, "u");

  MakeDefaultPreset("Unity", 1);
  GetParam(kGain)->SetValue(2.0);
  GetParam(kMode)->SetValue(2.0);
  MakePresetFromNamedParams("Loud", 0);
  GetParam(kGain)->SetValue(0.5);
  MakePresetFromNamedParams(std::string(255, 'N').c_str(), 0);
  GetParam(kGain)->SetValue(1.0);
  GetParam(kMode)->SetValue(0.0);
  OnParamReset();
}

void TestFx::OnParamChange(int)
{
  WDL_MutexLock lock(&mMutex);
  mFactor = GetParam(kGain)->Value() * (1.0 + GetParam(kDrive)->Value() / 40.0) * (1.0 + GetParam(kMode)->Value());
}

void TestFx::Reset()
{
  WDL_MutexLock lock(&mMutex);
  ++mResets;
}

void TestFx::ProcessDoubleReplacing(double** inputs, double** outputs, int nFrames)
{
  const bool enabled = GetParam(kEnable)->Bool();
  const double scMix = GetParam(kSidechain)->Value();
  for (int s = 0; s < nFrames; ++s)
  {
    // Every input of the frame is read before an output is written: buffers may alias.
    double in0 = inputs[0][s], in1 = inputs[1][s];
    double sc = scMix * (inputs[2][s] + inputs[3][s]);
    double note = mNotes.Next(s);
    outputs[0][s] = enabled ? in0 * mFactor + sc + note : 0.0;
    outputs[1][s] = enabled ? in1 * mFactor + sc + note : 0.0;
  }
  mNotes.EndBlock();
}

TestSynth::TestSynth(IPlugInstanceInfo info)
  : IPlugVST3(info, kNumParams, "0-4", 0, "IPlugTestSynth", "IPlug Tests", "Brelix Tests", 0x00010000, MakeFourCC("TSy1"),
              MakeFourCC("BrxT"), 0, true, false, true, 0)
{
  GetParam(kLevel)->InitDouble("Level", 0.5, 0.0, 1.0, 0.01);
  GetParam(kBus2)->InitDouble("Bus2", 0.25, 0.0, 1.0, 0.01);
}

void TestSynth::ProcessDoubleReplacing(double**, double** outputs, int nFrames)
{
  const double level = GetParam(kLevel)->Value(), bus2 = GetParam(kBus2)->Value();
  for (int s = 0; s < nFrames; ++s)
  {
    double v = mNotes.Next(s) * level;
    outputs[0][s] = outputs[1][s] = v;
    outputs[2][s] = outputs[3][s] = v * bus2;
  }
  mNotes.EndBlock();
}
