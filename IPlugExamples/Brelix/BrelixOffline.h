#pragma once
// The effect without a host, for tools, tests and benchmarks that run it directly: the host
// operations of the plug-in base answer as a host without transport would (tempo 0, sample
// position 0, 4/4), and notifications meant for a host go nowhere.
//
// Threads and real-time safety: as Brelix. Not part of the plug-in bundle. While the effect
// derives from IPlugBase this supplies the base's pure operations; once it derives from the
// VST3 binding, the binding supplies them and this class only keeps tools independent of it.

#include "Brelix.h"

class BrelixOffline : public Brelix
{
public:
  // Prepares processing: both channels connected, blocks of up to maxBlockSize frames at
  // sampleRate, and every cached value taken from the parameters (as a host's preset restore
  // would). Returns false when the scratch buffers could not be sized.
  bool Prepare(double sampleRate, int maxBlockSize)
  {
    SetInputChannelConnections(0, NInChannels(), true);
    SetOutputChannelConnections(0, NOutChannels(), true);
    SetSampleRate(sampleRate);
    if (!SetBlockSize(maxBlockSize)) return false;
    OnParamReset();
    Reset();
    return true;
  }

  // Sets a parameter from a plain value as a host or restored state would (clamped into its
  // range) and runs the change handler.
  void SetParam(int paramIdx, double plainValue)
  {
    WDL_MutexLock lock(GetMutex());
    if (IParam* p = GetParam(paramIdx))
    {
      p->SetValue(plainValue);
      OnParamChange(paramIdx);
    }
  }

  // Runs one block of two channels through the effect under the plug-in mutex.
  void Process(double** inputs, double** outputs, int nFrames)
  {
    WDL_MutexLock lock(GetMutex());
    ProcessDoubleReplacing(inputs, outputs, nFrames);
  }

  void BeginInformHostOfParamChange(int) override {}
  void InformHostOfParamChange(int, double) override {}
  void EndInformHostOfParamChange(int) override {}
  void InformHostOfProgramChange() override {}
  int GetSamplePos() override { return 0; }
  double GetTempo() override { return 0.0; }
  void GetTimeSig(int* numerator, int* denominator) override
  {
    if (numerator) *numerator = 4;
    if (denominator) *denominator = 4;
  }
  void GetTime(ITimeInfo*) override {}
  void ResizeGraphics(int, int) override {}
  bool SendMidiMsg(IMidiMsg*) override { return false; }
};
