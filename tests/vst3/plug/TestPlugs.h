#pragma once
// Two small plug-ins of the framework's own that exercise what Brelix does not: a sidechain
// effect that takes MIDI and has latency, parameter groups and several presets (TestFx), and an
// instrument with two stereo output buses (TestSynth). Their output is a plain function of the
// inputs, the parameters and the notes, so a test host can check processing from outside.

#include "IMidiMsg.h"
#include "IPlugVST3.h"

// Notes received during one block, applied at their sample offsets. Fixed size: no allocation.
class NoteLane
{
public:
  void Add(const IMidiMsg& msg);
  // Level from frame s on: the velocity / 127 of the last note-on, 0 after its note-off.
  double Next(int s);
  void EndBlock() { mCount = 0; mNext = 0; }

private:
  static constexpr int kMaxNotes = 64;
  IMidiMsg mNotes[kMaxNotes];
  int mCount = 0, mNext = 0;
  double mLevel = 0.0;
};

// Channel I/O "1-1 2-2 4-2": mono or stereo main input plus a stereo sidechain (inputs 2, 3).
// out[c] = in[c] * Gain * (1 + Drive / 40) * (1 + Mode) + Sidechain * (sc0 + sc1) + note level,
// all 0 while Enable is off.
class TestFx : public IPlugVST3
{
public:
  enum EParams { kGain = 0, kDrive, kMode, kSidechain, kEnable, kLocked, kLongName, kNumParams };
  static constexpr int kNumPresets = 4;  // the last one is left uninitialised
  static constexpr int kLatency = 3;

  explicit TestFx(IPlugInstanceInfo info);
  void ProcessDoubleReplacing(double** inputs, double** outputs, int nFrames) override;
  void ProcessMidiMsg(IMidiMsg* msg) override { mNotes.Add(*msg); }
  void OnParamChange(int paramIdx) override;
  void Reset() override;

  int mResets = 0;  // read by tests that drive the effect directly

private:
  double mFactor = 1.0;
  NoteLane mNotes;
};

// Channel I/O "0-4", an instrument: two stereo output buses. Output bus 0 carries the note
// level times Level, bus 1 that times Bus2.
class TestSynth : public IPlugVST3
{
public:
  enum EParams { kLevel = 0, kBus2, kNumParams };

  explicit TestSynth(IPlugInstanceInfo info);
  void ProcessDoubleReplacing(double** inputs, double** outputs, int nFrames) override;
  void ProcessMidiMsg(IMidiMsg* msg) override { mNotes.Add(*msg); }

private:
  NoteLane mNotes;
};
