#include <gtest/gtest.h>

#include <cstring>
#include <thread>
#include <vector>

#include "TestPlug.h"

namespace
{
// Holds the plug-in mutex for one processing call, as the API binding does.
template <class F>
void Locked(IPlugBase& plug, F&& f)
{
  WDL_MutexLock lock(plug.GetMutex());
  f();
}

struct StereoBuffers
{
  explicit StereoBuffers(int n) : in0(n), in1(n), out0(n, -9.0), out1(n, -9.0)
  {
    for (int i = 0; i < n; ++i)
    {
      in0[i] = i + 1;
      in1[i] = -(i + 1);
    }
  }
  std::vector<double> in0, in1, out0, out1;
  double* ins[2] = {in0.data(), in1.data()};
  double* outs[2] = {out0.data(), out1.data()};
};

// A recording editor: what the instance pushes into it.
class RecordingEditor : public IPlugEditor
{
public:
  explicit RecordingEditor(int* deleted) : mDeleted(deleted) {}
  ~RecordingEditor() override { ++*mDeleted; }
  void SetParameterFromPlug(int idx, double value, bool normalized) override { calls.push_back({idx, value, normalized}); }
  void PrepDraw() override { ++prepDraws; }
  struct Call
  {
    int idx;
    double value;
    bool normalized;
  };
  std::vector<Call> calls;
  int prepDraws = 0;

private:
  int* mDeleted;
};
}  // namespace

TEST(PlugBaseChannels, ParsesChannelIOString)
{
  TestPlug plug(0, "1-1 2-2");
  EXPECT_EQ(2, plug.NChannelIO());
  EXPECT_EQ(2, plug.NInChannels());
  EXPECT_EQ(2, plug.NOutChannels());
  EXPECT_TRUE(plug.LegalIO(1, 1));
  EXPECT_TRUE(plug.LegalIO(2, 2));
  EXPECT_FALSE(plug.LegalIO(1, 2));
  EXPECT_TRUE(plug.LegalIO(-1, 2));
  EXPECT_TRUE(plug.LegalIO(2, -1));

  TestPlug trailing(0, "1-1 2-2 ");
  ASSERT_EQ(3, trailing.NChannelIO());
  EXPECT_EQ(0, trailing.GetChannelIO(2)->mIn);
  EXPECT_TRUE(trailing.LegalIO(0, 0));

  TestPlug none(0, nullptr);
  EXPECT_EQ(0, none.NChannelIO());
  EXPECT_EQ(0, none.NInChannels());
  EXPECT_FALSE(none.LegalIO(-1, -1));

  TestPlug inst(0, "0-2 0-4");
  EXPECT_EQ(0, inst.NInChannels());
  EXPECT_EQ(4, inst.NOutChannels());
}

TEST(PlugBaseChannels, ConnectionsAndLabels)
{
  TestPlug plug(0, "4-4");
  plug.SetInputChannelConnections(0, 4, true);
  plug.SetOutputChannelConnections(0, 4, false);
  plug.LimitToStereoIO();
  EXPECT_TRUE(plug.IsInChannelConnected(1));
  EXPECT_FALSE(plug.IsInChannelConnected(2));
  EXPECT_TRUE(plug.IsOutChannelConnected(3));
  EXPECT_FALSE(plug.IsOutChannelConnected(1));
  EXPECT_FALSE(plug.IsInChannelConnected(4));
  plug.SetInputChannelConnections(3, 100, true);  // cut at the channel count
  EXPECT_TRUE(plug.IsInChannelConnected(3));

  plug.SetInputLabel(1, "Right");
  plug.SetInputLabel(9, "ignored");
  plug.SetOutputLabel(0, nullptr);
  EXPECT_STREQ("Right", plug.GetInputLabel(1));
  EXPECT_STREQ("", plug.GetOutputLabel(0));

  plug.SetInputBusLabel(2, "ignored");
  EXPECT_STREQ("", plug.GetInputBusLabel(2));
  plug.SetInputBusLabel(0, "Main Input");
  plug.SetInputBusLabel(1, "Aux Input");
  plug.SetInputBusLabel(0, "Input");
  EXPECT_STREQ("Input", plug.GetInputBusLabel(0));
  EXPECT_STREQ("Aux Input", plug.GetInputBusLabel(1));
  plug.SetOutputBusLabel(5, "Output");  // stored as the first entry of an empty list
  EXPECT_STREQ("Output", plug.GetOutputBusLabel(0));
}

TEST(PlugBaseProcessing, CopyThroughDoubleAndFloat)
{
  TestPlug plug(0, "1-1 2-2");
  ASSERT_TRUE(plug.SetBlockSize(8));
  plug.SetInputChannelConnections(0, 2, true);
  plug.SetOutputChannelConnections(0, 2, true);
  StereoBuffers b(8);
  Locked(plug, [&] {
    plug.AttachInputBuffers(0, 2, b.ins, 8);
    plug.AttachOutputBuffers(0, 2, b.outs);
    EXPECT_TRUE(plug.ProcessBuffers(0.0, 8));
  });
  EXPECT_EQ(b.in0, b.out0);
  EXPECT_EQ(b.in1, b.out1);

  std::vector<float> fin0{0.5f, 0.25f, -1.f}, fin1{1.f, 2.f, 3.f}, fout0(3, 7.f), fout1(3, 7.f);
  float* fins[2] = {fin0.data(), fin1.data()};
  float* fouts[2] = {fout0.data(), fout1.data()};
  Locked(plug, [&] {
    plug.AttachInputBuffers(0, 2, fins, 3);
    plug.AttachOutputBuffers(0, 2, fouts);
    EXPECT_TRUE(plug.ProcessBuffers(0.f, 3));
  });
  EXPECT_EQ(fin0, fout0);
  EXPECT_EQ(fin1, fout1);
  Locked(plug, [&] { EXPECT_TRUE(plug.ProcessBuffersAccumulating(0.f, 3)); });
  EXPECT_EQ(2 * fin1[2], fout1[2]);
}

TEST(PlugBaseProcessing, UnconnectedInputsReadZerosAndExtraOutputsAreZeroed)
{
  TestPlug plug(0, "1-2");
  ASSERT_TRUE(plug.SetBlockSize(4));
  plug.SetInputChannelConnections(0, 1, true);
  plug.SetOutputChannelConnections(0, 2, true);
  StereoBuffers b(4);
  Locked(plug, [&] {
    plug.AttachInputBuffers(0, 1, b.ins, 4);
    plug.AttachOutputBuffers(0, 2, b.outs);
    plug.ProcessBuffers(0.0, 4);
  });
  EXPECT_EQ(b.in0, b.out0);
  EXPECT_EQ(std::vector<double>(4, 0.0), b.out1);

  // With only input 0 of 2 connected, attachment consumes only data[0].
  TestPlug two(0, "2-2");
  ASSERT_TRUE(two.SetBlockSize(4));
  two.SetInputChannelConnections(0, 1, true);
  two.SetOutputChannelConnections(0, 2, true);
  StereoBuffers c(4);
  double* onlyOne[1] = {c.in1.data()};
  Locked(two, [&] {
    two.AttachInputBuffers(0, 2, onlyOne, 4);
    two.AttachOutputBuffers(0, 2, c.outs);
    two.ProcessBuffers(0.0, 4);
  });
  EXPECT_EQ(c.in1, c.out0);
  EXPECT_EQ(std::vector<double>(4, 0.0), c.out1);
}

TEST(PlugBaseProcessing, DisconnectedChannelForgetsConvertedFloatData)
{
  TestPlug plug(0, "2-2");
  ASSERT_TRUE(plug.SetBlockSize(2));
  plug.SetInputChannelConnections(0, 2, true);
  plug.SetOutputChannelConnections(0, 2, true);
  std::vector<float> a{1.f, 2.f}, b{3.f, 4.f}, o0(2), o1(2);
  float* ins[2] = {a.data(), b.data()};
  float* outs[2] = {o0.data(), o1.data()};
  Locked(plug, [&] {
    plug.AttachInputBuffers(0, 2, ins, 2);
    plug.AttachOutputBuffers(0, 2, outs);
    plug.ProcessBuffers(0.f, 2);
  });
  plug.SetInputChannelConnections(1, 1, false);
  Locked(plug, [&] {
    plug.AttachInputBuffers(0, 2, ins, 2);
    plug.AttachOutputBuffers(0, 2, outs);
    plug.ProcessBuffers(0.f, 2);
  });
  EXPECT_EQ(a, o0);
  EXPECT_EQ(std::vector<float>(2, 0.f), o1);
}

TEST(PlugBaseProcessing, AliasedBuffersGiveTheSameResult)
{
  // In place, and crossed: output 0 shares input 1's memory.
  TestPlug plug(0, "2-2", 0, 0);
  ASSERT_TRUE(plug.SetBlockSize(4));
  plug.SetInputChannelConnections(0, 2, true);
  plug.SetOutputChannelConnections(0, 2, true);
  std::vector<double> x{1, 2, 3, 4}, y{5, 6, 7, 8};
  double* ins[2] = {x.data(), y.data()};
  double* outs[2] = {y.data(), x.data()};
  Locked(plug, [&] {
    plug.AttachInputBuffers(0, 2, ins, 4);
    plug.AttachOutputBuffers(0, 2, outs);
    plug.ProcessBuffers(0.0, 4);
  });
  EXPECT_EQ((std::vector<double>{1, 2, 3, 4}), y);
  EXPECT_EQ((std::vector<double>{5, 6, 7, 8}), x);
}

TEST(PlugBaseProcessing, PassThroughWithLatencyDelaysEveryChannel)
{
  TestPlug plug(0, "1-1", 0, 3);
  ASSERT_TRUE(plug.CreateLatencyDelayLine());
  ASSERT_TRUE(plug.SetBlockSize(5));
  plug.SetInputChannelConnections(0, 1, true);
  plug.SetOutputChannelConnections(0, 1, true);
  std::vector<double> in{1, 2, 3, 4, 5}, out(5, -1);
  double* ins[1] = {in.data()};
  double* outs[1] = {out.data()};
  Locked(plug, [&] {
    plug.AttachInputBuffers(0, 1, ins, 5);
    plug.AttachOutputBuffers(0, 1, outs);
    plug.PassThroughBuffers(0.0, 5);
  });
  EXPECT_EQ((std::vector<double>{0, 0, 0, 1, 2}), out);
  Locked(plug, [&] { plug.PassThroughBuffers(0.0, 2); });
  EXPECT_EQ(3.0, out[0]);
  EXPECT_EQ(4.0, out[1]);

  // In place gives the same result.
  ASSERT_TRUE(plug.SetLatency(3));
  std::vector<double> io{1, 2, 3, 4, 5};
  double* ios[1] = {io.data()};
  Locked(plug, [&] {
    plug.AttachInputBuffers(0, 1, ios, 5);
    plug.AttachOutputBuffers(0, 1, ios);
    plug.PassThroughBuffers(0.0, 5);
  });
  EXPECT_EQ((std::vector<double>{0, 0, 0, 1, 2}), io);

  // Latency 0 falls back to copy-through.
  ASSERT_TRUE(plug.SetLatency(0));
  std::vector<double> in2{9, 8}, out2(2);
  double* ins2[1] = {in2.data()};
  double* outs2[1] = {out2.data()};
  Locked(plug, [&] {
    plug.AttachInputBuffers(0, 1, ins2, 2);
    plug.AttachOutputBuffers(0, 1, outs2);
    plug.PassThroughBuffers(0.0, 2);
  });
  EXPECT_EQ(in2, out2);
}

TEST(PlugBaseBuffers, FrameCountsBeyondTheBlockSizeAreRefused)
{
  TestPlug plug(0, "2-2");
  ASSERT_TRUE(plug.SetBlockSize(4));
  plug.SetInputChannelConnections(0, 1, true);  // input 1 reads its 4-sample scratch buffer
  plug.SetOutputChannelConnections(0, 2, true);
  StereoBuffers b(64);
  Locked(plug, [&] {
    plug.AttachInputBuffers(0, 2, b.ins, 64);
    plug.AttachOutputBuffers(0, 2, b.outs);
    EXPECT_FALSE(plug.ProcessBuffers(0.0, 64));
    EXPECT_FALSE(plug.PassThroughBuffers(0.0, 64));
    EXPECT_FALSE(plug.ProcessBuffers(0.0, -1));
  });
  EXPECT_EQ(std::vector<double>(64, 0.0), b.out0);
  EXPECT_EQ(std::vector<double>(64, 0.0), b.out1);

  std::vector<float> f(64, 1.f), fo(64, 5.f);
  float* fins[2] = {f.data(), f.data()};
  float* fouts[2] = {fo.data(), fo.data()};
  Locked(plug, [&] {
    plug.AttachInputBuffers(0, 2, fins, 64);  // converts at most the block size
    plug.AttachOutputBuffers(0, 2, fouts);
    EXPECT_FALSE(plug.ProcessBuffers(0.f, 64));
    EXPECT_FALSE(plug.ProcessBuffersAccumulating(0.f, 64));
  });
  EXPECT_EQ(std::vector<float>(64, 0.f), fo);

  TestPlug fresh(0, "1-1");  // block size 0 until set up
  fresh.SetInputChannelConnections(0, 1, true);
  fresh.SetOutputChannelConnections(0, 1, true);
  Locked(fresh, [&] {
    fresh.AttachInputBuffers(0, 1, b.ins, 16);
    fresh.AttachOutputBuffers(0, 1, b.outs);
    EXPECT_FALSE(fresh.ProcessBuffers(0.0, 16));
    EXPECT_TRUE(fresh.ProcessBuffers(0.0, 0));
  });
}

TEST(PlugBaseBuffers, BlockSizeAndLatencyChanges)
{
  TestPlug plug(0, "1-1", 0, 2);
  ASSERT_TRUE(plug.CreateLatencyDelayLine());
  ASSERT_TRUE(plug.SetBlockSize(4));
  EXPECT_FALSE(plug.SetBlockSize(-1));
  EXPECT_EQ(4, plug.GetBlockSize());
  EXPECT_FALSE(plug.SetLatency(-5));
  EXPECT_EQ(2, plug.GetLatency());
  EXPECT_FALSE(plug.SetLatency(0x7fffffff));  // more memory than a buffer can count
  EXPECT_EQ(2, plug.GetLatency());

  // The same size keeps the scratch contents; a new size zeroes them.
  plug.SetInputChannelConnections(0, 1, true);
  plug.SetOutputChannelConnections(0, 1, true);
  std::vector<float> in{1, 2, 3, 4}, out(4);
  float* ins[1] = {in.data()};
  float* outs[1] = {out.data()};
  Locked(plug, [&] { plug.AttachInputBuffers(0, 1, ins, 4); });
  ASSERT_TRUE(plug.SetBlockSize(4));
  Locked(plug, [&] {
    plug.AttachOutputBuffers(0, 1, outs);
    plug.ProcessBuffers(0.f, 4);
  });
  EXPECT_EQ(in, out);
  ASSERT_TRUE(plug.SetBlockSize(6));
  Locked(plug, [&] { plug.ProcessBuffers(0.f, 4); });
  EXPECT_EQ(std::vector<float>(4, 0.f), out);
}

TEST(PlugBaseParams, SetParameterFromGUIRoundsAndInformsUnrounded)
{
  TestPlug plug;
  plug.InitStandardParams();
  plug.SetParameterFromGUI(2, 0.55);
  EXPECT_EQ(0.0, plug.GetParam(2)->Value());  // -3 + 6 * 0.55 = 0.3 rounds to 0
  ASSERT_EQ(1u, plug.informs.size());
  EXPECT_EQ(0.55, plug.informs[0].second);
  EXPECT_EQ(std::vector<int>{2}, plug.paramChanges);
  plug.SetParameterFromGUI(99, 0.5);  // ignored
  EXPECT_EQ(1u, plug.informs.size());

  plug.paramChanges.clear();
  plug.OnParamReset();
  EXPECT_EQ((std::vector<int>{0, 1, 2, 3}), plug.paramChanges);
  plug.informs.clear();
  plug.DirtyParameters();
  ASSERT_EQ(4u, plug.informs.size());
  EXPECT_EQ(1.0 / 3.0, plug.informs[1].second);
}

TEST(PlugBaseParams, EditorAttachmentAndRedraw)
{
  int deleted = 0;
  {
    TestPlug plug;
    plug.InitStandardParams();
    plug.RedrawParamControls();  // nothing attached: nothing happens
    plug.AttachGraphics(nullptr);
    auto* editor = new RecordingEditor(&deleted);
    plug.AttachGraphics(editor);
    EXPECT_EQ(editor, plug.GetGUI());
    ASSERT_EQ(4u, editor->calls.size());
    EXPECT_TRUE(editor->calls[1].normalized);
    EXPECT_EQ(1.0 / 3.0, editor->calls[1].value);
    EXPECT_EQ(1, editor->prepDraws);
    editor->calls.clear();
    plug.RedrawParamControls();
    ASSERT_EQ(4u, editor->calls.size());
    EXPECT_FALSE(editor->calls[1].normalized);
    EXPECT_EQ(1.0, editor->calls[1].value);
  }
  EXPECT_EQ(1, deleted);  // the instance owns its editor
}

TEST(PlugBaseParams, ParameterWritesFromAnotherThreadDuringProcessing)
{
  TestPlug plug;
  plug.InitStandardParams();
  ASSERT_TRUE(plug.SetBlockSize(16));
  plug.SetInputChannelConnections(0, 2, true);
  plug.SetOutputChannelConnections(0, 2, true);
  StereoBuffers b(16);
  std::thread ui([&] {
    for (int i = 0; i < 2000; ++i) plug.SetParameterFromGUI(i % 4, (i % 10) / 9.0);
  });
  for (int i = 0; i < 2000; ++i)
    Locked(plug, [&] {
      plug.AttachInputBuffers(0, 2, b.ins, 16);
      plug.AttachOutputBuffers(0, 2, b.outs);
      plug.ProcessBuffers(0.0, 16);
    });
  ui.join();
  EXPECT_EQ(b.in0, b.out0);
}

TEST(PlugBaseInfo, IdentityVersionsAndHost)
{
  TestPlug plug;
  EXPECT_STREQ("TestPlug", plug.GetEffectName());
  EXPECT_EQ(0x010203, plug.GetEffectVersion(false));
  EXPECT_EQ(10203, plug.GetEffectVersion(true));
  char buf[32];
  plug.GetEffectVersionStr(buf);
  EXPECT_STREQ("v1.2.3", buf);
  EXPECT_STREQ("VST3", plug.GetAPIString());
  EXPECT_STREQ("x64", plug.GetArchString());
  EXPECT_EQ(kHostUninit, plug.GetHost());
  plug.SetHost("REAPER", 0x050000);
  EXPECT_EQ(kHostReaper, plug.GetHost());
  EXPECT_EQ(50000, plug.GetHostVersion(true));
  plug.GetHostVersionStr(buf);
  EXPECT_STREQ("v5.0.0", buf);

  plug.SetSampleRate(48000);
  plug.tempo = 120;
  EXPECT_EQ(24000.0, plug.GetSamplesPerBeat());
  plug.tempo = 0;
  EXPECT_EQ(0.0, plug.GetSamplesPerBeat());
}

TEST(PlugBaseInfo, MidiHelpers)
{
  TestPlug plug;
  WDL_TypedBuf<IMidiMsg> msgs;
  msgs.Resize(3);
  for (int i = 0; i < 3; ++i) msgs.Get()[i].MakeNoteOnMsg(60 + i, 100, i, 0);
  EXPECT_TRUE(plug.SendMidiMsgs(&msgs));
  EXPECT_EQ(3u, plug.sentMidi.size());
  plug.midiResult = false;
  EXPECT_FALSE(plug.SendMidiMsgs(&msgs));
  EXPECT_EQ(6u, plug.sentMidi.size());  // every message is still sent
  IMidiMsg m;
  m.MakeNoteOffMsg(64, 0, 1);
  plug.ProcessMidiMsg(&m);
  EXPECT_EQ(64, plug.sentMidi.back().NoteNumber());
  char name[8] = "x";
  EXPECT_FALSE(plug.MidiNoteName(60, name));
  EXPECT_STREQ("", name);
}
