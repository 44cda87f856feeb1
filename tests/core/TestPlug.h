#pragma once
// A concrete plug-in instance for framework tests: implements the host-facing pure operations
// by recording what the framework tells the host, and records OnParamChange calls.

#include <utility>
#include <vector>

#include "ByteChunk.h"
#include "IMidiMsg.h"
#include "IPlugBase.h"
#include "WDL_String.h"

class TestPlug : public IPlugBase
{
public:
  explicit TestPlug(int nParams = 4, const char* channelIO = "1-1 2-2", int nPresets = 2, int latency = 0,
                    bool doesChunks = false)
    : IPlugBase(nParams, channelIO, nPresets, "TestPlug", "TestProduct", "TestMaker", 0x010203, MakeFourCC("Tpl1"), MakeFourCC("Tmkr"),
                latency, false, doesChunks, false, kAPIVST3)
  {
  }

  // Gives the parameters one of each kind: bool, enum (4 entries), int (-3..3), double with shape.
  void InitStandardParams()
  {
    if (NParams() > 0) GetParam(0)->InitBool("Bool", false);
    if (NParams() > 1) GetParam(1)->InitEnum("Enum", 1, 4);
    if (NParams() > 2) GetParam(2)->InitInt("Int", 0, -3, 3);
    if (NParams() > 3) GetParam(3)->InitDouble("Double", 0.0, -10.0, 10.0, 0.01, "dB", "", 2.0);
  }

  // Gives every parameter one of the four kinds in turn (the kinds of InitStandardParams), so
  // that any count of parameters covers all of them; enum entries get display texts. Only the
  // first n parameters when n is given.
  void InitCyclicParams(int n = -1)
  {
    for (int i = 0; i < NParams() && (n < 0 || i < n); ++i)
    {
      IParam* p = GetParam(i);
      switch (i % 4)
      {
        case 0: p->InitBool("Bool", i % 8 == 0); break;
        case 1:
          p->InitEnum("Enum", 1, 4);
          p->SetDisplayText(0, "A");
          p->SetDisplayText(1, "B");
          break;
        case 2: p->InitInt("Int", 0, -3, 3); break;
        default: p->InitDouble("Double", 0.0, -10.0, 10.0, 0.01, "dB", "", 2.0); break;
      }
    }
  }

  void OnParamChange(int paramIdx) override
  {
    IPlugBase::OnParamChange(paramIdx);
    paramChanges.push_back(paramIdx);
  }

  void BeginInformHostOfParamChange(int idx) override { begins.push_back(idx); }
  void InformHostOfParamChange(int idx, double normalizedValue) override { informs.emplace_back(idx, normalizedValue); }
  void EndInformHostOfParamChange(int idx) override { ends.push_back(idx); }
  void InformHostOfProgramChange() override { ++programChanges; }
  int GetSamplePos() override { return 0; }
  double GetTempo() override { return tempo; }
  void GetTimeSig(int* num, int* den) override
  {
    *num = 4;
    *den = 4;
  }
  void GetTime(ITimeInfo*) override {}
  void ResizeGraphics(int, int) override {}
  bool SendMidiMsg(IMidiMsg* msg) override
  {
    if (msg) sentMidi.push_back(*msg);
    return midiResult;
  }


  std::vector<int> paramChanges, begins, ends;
  std::vector<std::pair<int, double>> informs;
  std::vector<IMidiMsg> sentMidi;
  int programChanges = 0;
  double tempo = 120.0;
  bool midiResult = true;
};

// A plug-in with state beyond its parameters: a text stored ahead of the parameter values.
// Does state chunks, so program and bank files take their chunk forms.
class TestChunkPlug : public TestPlug
{
public:
  explicit TestChunkPlug(int nParams = 4, int nPresets = 2) : TestPlug(nParams, "1-1 2-2", nPresets, 0, true)
  {
    InitCyclicParams();
  }

  bool SerializeState(ByteChunk* chunk) override
  {
    return chunk->PutString(extra.Get()) >= 0 && SerializeParams(chunk);
  }

  int UnserializeState(ByteChunk* chunk, int startPos) override
  {
    WDL_String text;
    int pos = chunk->GetString(&text, startPos);
    if (pos < 0) return -1;
    pos = UnserializeParams(chunk, pos);
    if (pos >= 0) extra = text;
    return pos;
  }

  WDL_String extra{"extra"};
};
