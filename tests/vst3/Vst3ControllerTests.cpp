// The edit-controller face: values and texts, units and programs, the state stream and edits.
#include <clocale>
#include <cmath>
#include <cstring>
#include <limits>
#include <random>

#include "TestPlugs.h"
#include "Vst3Fixture.h"
#include "public.sdk/source/common/memorystream.h"

using namespace vst3test;

namespace
{
constexpr ParamID kBypass = 0x62706173;
constexpr ParamID kPreset = 0x70727374;
const double kNaN = std::numeric_limits<double>::quiet_NaN();

class ControllerTest : public BundleTest
{
protected:
  void SetUp() override
  {
    LoadBundle(kFxBundle);
    inst = NewInstance();
    inst->ActivateDefaultBuses();
    ASSERT_EQ(inst->Setup(48000, 64), kResultOk);
  }
  void TearDown() override
  {
    other.reset();
    inst.reset();
    BundleTest::TearDown();
  }

  double Normalized(ParamID tag, Vst3Instance* i = nullptr) { return (i ? i : inst.get())->controller->getParamNormalized(tag); }
  tresult FromString(ParamID tag, const std::string& text, double& value)
  {
    std::u16string t = Widen(text);
    return inst->controller->getParamValueByString(tag, const_cast<TChar*>(reinterpret_cast<const TChar*>(t.c_str())), value);
  }
  void SetBypass(Vst3Instance& i, double value)
  {
    ParamChanges changes;
    changes.Add(kBypass, {value});
    ProcessData flush;
    flush.inputParameterChanges = &changes;
    ASSERT_EQ(i.processor->process(flush), kResultOk);
  }
  // Every framework parameter reads as a finite value in [0, 1].
  void ExpectSaneValues(Vst3Instance& i)
  {
    for (ParamID p = 0; p < TestFx::kNumParams; ++p)
    {
      double v = Normalized(p, &i);
      EXPECT_TRUE(std::isfinite(v) && v >= 0.0 && v <= 1.0) << "param " << p << " = " << v;
    }
  }

  std::unique_ptr<Vst3Instance> inst, other;
};

// A stream that takes at most `capacity` bytes.
class ShortStream : public IBStream, public HostRefCount
{
public:
  explicit ShortStream(int32 capacity) : mCapacity(capacity) {}
  tresult PLUGIN_API read(void*, int32, int32* numBytesRead) override
  {
    if (numBytesRead) *numBytesRead = 0;
    return kResultFalse;
  }
  tresult PLUGIN_API write(void*, int32 numBytes, int32* numBytesWritten) override
  {
    int32 n = std::min(numBytes, mCapacity - mSize);
    mSize += n;
    if (numBytesWritten) *numBytesWritten = n;
    return n > 0 ? kResultOk : kResultFalse;
  }
  tresult PLUGIN_API seek(int64, int32, int64*) override { return kResultFalse; }
  tresult PLUGIN_API tell(int64* pos) override
  {
    if (pos) *pos = mSize;
    return kResultOk;
  }
  tresult PLUGIN_API queryInterface(const TUID, void** obj) override
  {
    *obj = nullptr;
    return kNoInterface;
  }
  uint32 PLUGIN_API addRef() override { return AddRefImpl(); }
  uint32 PLUGIN_API release() override { return ReleaseImpl(); }

private:
  int32 mCapacity, mSize = 0;
};
}  // namespace

TEST_F(ControllerTest, ValuesOfReservedAndUnknownTags)
{
  IEditController* c = inst->controller;
  EXPECT_EQ(c->getParamNormalized(kPreset), 0.0);
  EXPECT_EQ(c->getParamNormalized(9999), 0.0);
  EXPECT_EQ(c->setParamNormalized(kBypass, 1.0), kResultFalse);
  EXPECT_EQ(c->setParamNormalized(kPreset, 0.5), kResultFalse);
  EXPECT_EQ(c->setParamNormalized(9999, 0.5), kResultFalse);
  EXPECT_EQ(c->getParamNormalized(kBypass), 0.0);

  EXPECT_EQ(c->setParamNormalized(TestFx::kGain, 0.75), kResultOk);
  EXPECT_DOUBLE_EQ(c->getParamNormalized(TestFx::kGain), 0.75);
  EXPECT_NE(c->setParamNormalized(TestFx::kGain, kNaN), kResultOk);
  EXPECT_DOUBLE_EQ(c->getParamNormalized(TestFx::kGain), 0.75);
  EXPECT_EQ(c->setParamNormalized(TestFx::kGain, 3.0), kResultOk);
  EXPECT_DOUBLE_EQ(c->getParamNormalized(TestFx::kGain), 1.0);
  // Integer parameters round to their steps.
  EXPECT_EQ(c->setParamNormalized(TestFx::kLocked, 0.33), kResultOk);
  EXPECT_DOUBLE_EQ(c->getParamNormalized(TestFx::kLocked), 0.3);

  EXPECT_DOUBLE_EQ(c->plainParamToNormalized(TestFx::kGain, 1.5), 0.75);
  EXPECT_DOUBLE_EQ(c->plainParamToNormalized(TestFx::kGain, 99.0), 1.0);
  EXPECT_DOUBLE_EQ(c->plainParamToNormalized(TestFx::kDrive, 10.0), 0.5);  // shape 2
  EXPECT_EQ(c->plainParamToNormalized(9999, 42.0), 42.0);
  EXPECT_EQ(c->plainParamToNormalized(kBypass, 7.0), 7.0);

  EXPECT_DOUBLE_EQ(c->normalizedParamToPlain(TestFx::kGain, 0.25), 0.5);
  EXPECT_DOUBLE_EQ(c->normalizedParamToPlain(TestFx::kDrive, 0.5), 10.0);
  EXPECT_DOUBLE_EQ(c->normalizedParamToPlain(TestFx::kGain, 2.0), 2.0);
  EXPECT_DOUBLE_EQ(c->normalizedParamToPlain(TestFx::kGain, kNaN), 0.0);
  EXPECT_EQ(c->normalizedParamToPlain(kBypass, 1.0), 1.0);
  EXPECT_EQ(c->normalizedParamToPlain(kBypass, -1.0), 0.0);
  EXPECT_EQ(c->normalizedParamToPlain(kBypass, kNaN), 0.0);
}

TEST_F(ControllerTest, TextsForValues)
{
  EXPECT_EQ(inst->ParamText(TestFx::kGain, 0.5), "1.000");
  EXPECT_EQ(inst->ParamText(TestFx::kMode, 0.5), "Warm");
  EXPECT_EQ(inst->ParamText(TestFx::kMode, 1.0), "Hot");
  EXPECT_EQ(inst->ParamText(TestFx::kEnable, 0.0), "off");
  EXPECT_EQ(inst->ParamText(TestFx::kLocked, 0.3), "3");
  EXPECT_EQ(inst->ParamText(TestFx::kLongName, 0.0), "-5.0");
  EXPECT_EQ(inst->ParamText(kBypass, 1.0), "<false>");
  EXPECT_EQ(inst->ParamText(kPreset, 0.0), "<false>");
  EXPECT_EQ(inst->ParamText(9999, 0.0), "<false>");
  // Values outside [0, 1] are read at the range's ends; nothing overflows the host's string.
  EXPECT_EQ(inst->ParamText(TestFx::kGain, kNaN), "0.000");
  EXPECT_EQ(inst->ParamText(TestFx::kGain, 1e300), "2.000");
  EXPECT_EQ(inst->ParamText(TestFx::kLongName, -7.0), "-5.0");
  EXPECT_EQ(inst->controller->getParamStringByValue(TestFx::kGain, 0.5, nullptr), kInvalidArgument);
}

TEST_F(ControllerTest, ValuesFromTexts)
{
  double v = -1.0;
  ASSERT_EQ(FromString(TestFx::kGain, "1.5", v), kResultOk);
  EXPECT_DOUBLE_EQ(v, 0.75);
  ASSERT_EQ(FromString(TestFx::kGain, " 0.5 x", v), kResultOk);  // a trailing unit is ignored
  EXPECT_DOUBLE_EQ(v, 0.25);
  ASSERT_EQ(FromString(TestFx::kGain, "12", v), kResultOk);      // clamped into the range
  EXPECT_DOUBLE_EQ(v, 1.0);
  ASSERT_EQ(FromString(TestFx::kMode, "Warm", v), kResultOk);     // a display text
  EXPECT_DOUBLE_EQ(v, 0.5);
  ASSERT_EQ(FromString(kBypass, "on", v), kResultOk);
  EXPECT_DOUBLE_EQ(v, 1.0);

  v = 0.125;
  for (const char* bad : {"abc", "", "nan", "inf", "-", "."})
  {
    EXPECT_EQ(FromString(TestFx::kGain, bad, v), kResultFalse) << bad;
    EXPECT_EQ(v, 0.125) << bad;
  }
  EXPECT_EQ(FromString(9999, "1", v), kResultFalse);
  EXPECT_EQ(inst->controller->getParamValueByString(TestFx::kGain, nullptr, v), kInvalidArgument);
  EXPECT_EQ(inst->controller->getParamValueByString(kPreset, nullptr, v), kInvalidArgument);
}

TEST_F(ControllerTest, NumbersUseADecimalPointWhateverTheLocale)
{
  const char* previous = std::setlocale(LC_NUMERIC, nullptr);
  std::string saved = previous ? previous : "C";
  bool switched = std::setlocale(LC_NUMERIC, "de_DE.UTF-8") || std::setlocale(LC_NUMERIC, "fr_FR.UTF-8");
  double v = 0.0;
  tresult parsed = FromString(TestFx::kGain, "0.5", v);
  std::string text = inst->ParamText(TestFx::kGain, 0.25);
  std::setlocale(LC_NUMERIC, saved.c_str());
  if (!switched) GTEST_SKIP() << "no locale with a decimal comma is installed";
  ASSERT_EQ(parsed, kResultOk);
  EXPECT_DOUBLE_EQ(v, 0.25);
  EXPECT_EQ(text, "0.500");
}

TEST_F(ControllerTest, UnitsFollowTheParameterGroups)
{
  IUnitInfo* u = inst->units;
  ASSERT_EQ(u->getUnitCount(), 3);
  UnitInfo info = {};
  ASSERT_EQ(u->getUnitInfo(0, info), kResultOk);
  EXPECT_EQ(info.id, kRootUnitId);
  EXPECT_EQ(info.parentUnitId, kNoParentUnitId);
  EXPECT_EQ(Narrow(info.name), "Root Unit");
  EXPECT_EQ(info.programListId, kNoProgramListId);
  ASSERT_EQ(u->getUnitInfo(1, info), kResultOk);
  EXPECT_EQ(info.id, 1);
  EXPECT_EQ(info.parentUnitId, kRootUnitId);
  EXPECT_EQ(Narrow(info.name), "Amp");
  ASSERT_EQ(u->getUnitInfo(2, info), kResultOk);
  EXPECT_EQ(Narrow(info.name), "Character");
  EXPECT_EQ(u->getUnitInfo(3, info), kResultFalse);
  EXPECT_EQ(u->getUnitInfo(-1, info), kResultFalse);
  EXPECT_EQ(u->getSelectedUnit(), kRootUnitId);
  EXPECT_EQ(u->selectUnit(1), kNotImplemented);
  UnitID unit = 5;
  EXPECT_EQ(u->getUnitByBus(kAudio, kInput, 0, 0, unit), kNotImplemented);
  EXPECT_EQ(u->setUnitProgramData(0, 0, nullptr), kNotImplemented);
}

TEST_F(ControllerTest, FactoryPresetsAreDescribedButNotCounted)
{
  IUnitInfo* u = inst->units;
  EXPECT_EQ(u->getProgramListCount(), 0);
  ProgramListInfo list = {};
  ASSERT_EQ(u->getProgramListInfo(0, list), kResultOk);
  EXPECT_EQ(list.id, static_cast<ProgramListID>(kPreset));
  EXPECT_EQ(Narrow(list.name), "Factory Presets");
  EXPECT_EQ(list.programCount, TestFx::kNumPresets);
  EXPECT_EQ(u->getProgramListInfo(1, list), kResultFalse);
  EXPECT_EQ(u->getProgramListInfo(-1, list), kResultFalse);

  String128 name = {};
  ASSERT_EQ(u->getProgramName(kPreset, 0, name), kResultOk);
  EXPECT_EQ(Narrow(name), "Unity");
  ASSERT_EQ(u->getProgramName(kPreset, 1, name), kResultOk);
  EXPECT_EQ(Narrow(name), "Loud");
  // A 255-character name is cut to what the host's string holds.
  ASSERT_EQ(u->getProgramName(kPreset, 2, name), kResultOk);
  EXPECT_EQ(Narrow(name), std::string(127, 'N'));
  EXPECT_EQ(u->getProgramName(kPreset, 4, name), kResultFalse);
  EXPECT_EQ(u->getProgramName(kPreset, -1, name), kResultFalse);
  EXPECT_EQ(u->getProgramName(0, 0, name), kResultFalse);
  EXPECT_EQ(u->getProgramInfo(kPreset, 0, "key", name), kNotImplemented);
  EXPECT_EQ(u->hasProgramPitchNames(kPreset, 0), kNotImplemented);
  EXPECT_EQ(u->getProgramPitchName(kPreset, 0, 60, name), kNotImplemented);
}

TEST_F(ControllerTest, StateIsTheParameterChunkFollowedByTheBypassFlag)
{
  std::vector<char> bytes;
  ASSERT_TRUE(inst->SaveState(bytes));
  ASSERT_EQ(bytes.size(), 8u * TestFx::kNumParams + 4u);
  double gain = 0.0;
  std::memcpy(&gain, bytes.data(), 8);
  EXPECT_EQ(gain, 1.0);
  EXPECT_EQ(std::vector<char>(bytes.end() - 4, bytes.end()), std::vector<char>(4, 0));

  SetBypass(*inst, 1.0);
  ASSERT_TRUE(inst->SaveState(bytes));
  EXPECT_EQ(std::vector<char>(bytes.end() - 4, bytes.end()), (std::vector<char>{1, 0, 0, 0}));

  // The component's own pair stores nothing.
  MemoryStream stream;
  EXPECT_EQ(inst->component->getState(&stream), kNotImplemented);
  EXPECT_EQ(inst->component->setState(&stream), kNotImplemented);
  EXPECT_EQ(stream.getSize(), 0);
}

TEST_F(ControllerTest, StateRoundTripRestoresValuesAndBypass)
{
  IEditController* c = inst->controller;
  c->setParamNormalized(TestFx::kGain, 0.8);
  c->setParamNormalized(TestFx::kMode, 1.0);
  c->setParamNormalized(TestFx::kLongName, 0.65);
  SetBypass(*inst, 1.0);
  std::vector<char> bytes;
  ASSERT_TRUE(inst->SaveState(bytes));

  other = NewInstance();
  ASSERT_EQ(other->LoadState(bytes), kResultOk);
  for (ParamID p = 0; p < TestFx::kNumParams; ++p) EXPECT_EQ(Normalized(p, other.get()), Normalized(p)) << p;
  EXPECT_EQ(Normalized(kBypass, other.get()), 1.0);
  std::vector<char> again;
  ASSERT_TRUE(other->SaveState(again));
  EXPECT_EQ(again, bytes);
}

TEST_F(ControllerTest, ControllerStateWinsWhateverTheOrderOfRestoring)
{
  inst->controller->setParamNormalized(TestFx::kGain, 0.9);
  SetBypass(*inst, 1.0);
  std::vector<char> bytes;
  ASSERT_TRUE(inst->SaveState(bytes));
  MemoryStream componentState;
  inst->component->getState(&componentState);

  for (bool controllerFirst : {true, false})
  {
    SCOPED_TRACE(controllerFirst);
    other = NewInstance();
    auto restoreComponent = [&] {
      componentState.seek(0, IBStream::kIBSeekSet, nullptr);
      other->component->setState(&componentState);
      componentState.seek(0, IBStream::kIBSeekSet, nullptr);
      other->controller->setComponentState(&componentState);
    };
    if (!controllerFirst) restoreComponent();
    ASSERT_EQ(other->LoadState(bytes), kResultOk);
    if (controllerFirst) restoreComponent();
    // The host's set-up after a reload keeps the restored bypass.
    ASSERT_EQ(other->Setup(44100, 256), kResultOk);
    EXPECT_DOUBLE_EQ(Normalized(TestFx::kGain, other.get()), 0.9);
    EXPECT_EQ(Normalized(kBypass, other.get()), 1.0);
  }
}

TEST_F(ControllerTest, StreamWithoutTheBypassRestoresValuesAndReportsFailure)
{
  inst->controller->setParamNormalized(TestFx::kGain, 0.3);
  std::vector<char> bytes;
  ASSERT_TRUE(inst->SaveState(bytes));
  bytes.resize(bytes.size() - 4);

  other = NewInstance();
  ASSERT_EQ(other->Setup(48000, 64), kResultOk);
  SetBypass(*other, 1.0);
  ASSERT_EQ(Normalized(kBypass, other.get()), 1.0);
  EXPECT_EQ(other->LoadState(bytes), kResultFalse);
  EXPECT_DOUBLE_EQ(Normalized(TestFx::kGain, other.get()), 0.3);
  EXPECT_EQ(Normalized(kBypass, other.get()), 1.0);
}

TEST_F(ControllerTest, StreamCutInsideAValueKeepsEveryValueSane)
{
  for (ParamID p = 0; p < TestFx::kNumParams; ++p) inst->controller->setParamNormalized(p, 0.9);
  std::vector<char> full;
  ASSERT_TRUE(inst->SaveState(full));

  other = NewInstance();
  std::vector<char> cut(full.begin(), full.begin() + 8 * 2 + 4);  // half of value 2
  EXPECT_EQ(other->LoadState(cut), kResultFalse);
  EXPECT_DOUBLE_EQ(Normalized(0, other.get()), 0.9);
  EXPECT_DOUBLE_EQ(Normalized(1, other.get()), 0.9);
  EXPECT_DOUBLE_EQ(Normalized(3, other.get()), 0.5);  // not reached: keeps its value
  ExpectSaneValues(*other);

  for (size_t n = 0; n < full.size(); ++n)
  {
    SCOPED_TRACE(n);
    EXPECT_EQ(other->LoadState(std::vector<char>(full.begin(), full.begin() + static_cast<long>(n))), kResultFalse);
    ExpectSaneValues(*other);
  }
}

TEST_F(ControllerTest, DamagedStreamsNeverGiveInsaneValues)
{
  other = NewInstance();
  std::vector<char> bytes(8u * TestFx::kNumParams + 4u);
  const double specials[] = {kNaN, std::numeric_limits<double>::infinity(), -std::numeric_limits<double>::infinity(),
                             1e308, -1e308, 5e-324};
  for (double special : specials)
  {
    for (int p = 0; p < TestFx::kNumParams; ++p) std::memcpy(bytes.data() + 8 * p, &special, 8);
    EXPECT_EQ(other->LoadState(bytes), kResultOk);
    ExpectSaneValues(*other);
  }
  std::mt19937 rng(42);
  for (int round = 0; round < 200; ++round)
  {
    for (char& b : bytes) b = static_cast<char>(rng());
    other->LoadState(bytes);
    ExpectSaneValues(*other);
  }
  EXPECT_EQ(other->controller->setState(nullptr), kInvalidArgument);
}

TEST_F(ControllerTest, GetStateFailsWhenTheStreamDoesNotTakeEverything)
{
  ShortStream none(0), partial(20), enough(1000);
  EXPECT_EQ(inst->controller->getState(&none), kResultFalse);
  EXPECT_EQ(inst->controller->getState(&partial), kResultFalse);
  EXPECT_EQ(inst->controller->getState(&enough), kResultOk);
  EXPECT_EQ(inst->controller->getState(nullptr), kInvalidArgument);
  EXPECT_EQ(none.RefCount(), 1);
}

TEST_F(ControllerTest, ComponentHandlerIsHeldUntilTerminate)
{
  ComponentHandler handler;
  ASSERT_EQ(inst->controller->setComponentHandler(&handler), kResultOk);
  EXPECT_GE(handler.RefCount(), 2);
  ASSERT_EQ(inst->component->terminate(), kResultOk);
  EXPECT_EQ(handler.RefCount(), 1);
  ASSERT_EQ(inst->component->initialize(host), kResultOk);
}

// The framework's notifications, which only the editor makes, on an instance made in-process.
TEST(ControllerEdits, FrameworkNotificationsReachTheComponentHandler)
{
  auto hostApp = std::make_unique<HostApplication>();
  HostApplication* host = hostApp.get();
  auto* fx = new TestFx(IPlugInstanceInfo());
  ASSERT_EQ(fx->initialize(host), kResultOk);

  // Without a handler the notifications are lost, harmlessly.
  fx->SetParameterFromGUI(TestFx::kGain, 0.25);
  EXPECT_FALSE(fx->PopupHostContextMenuForParam(TestFx::kGain, 10, 20));

  ComponentHandler handler;
  ASSERT_EQ(fx->setComponentHandler(&handler), kResultOk);
  fx->BeginInformHostOfParamChange(TestFx::kMode);
  fx->SetParameterFromGUI(TestFx::kMode, 0.6);
  fx->EndInformHostOfParamChange(TestFx::kMode);
  ASSERT_EQ(handler.mEdits.size(), 3u);
  EXPECT_EQ(handler.mEdits[0].mKind, 'b');
  EXPECT_EQ(handler.mEdits[1].mKind, 'p');
  EXPECT_EQ(handler.mEdits[1].mTag, static_cast<ParamID>(TestFx::kMode));
  EXPECT_EQ(handler.mEdits[1].mValue, 0.6);  // the control's unrounded value
  EXPECT_EQ(handler.mEdits[2].mKind, 'e');
  EXPECT_DOUBLE_EQ(fx->getParamNormalized(TestFx::kMode), 0.5);

  ASSERT_TRUE(fx->SetLatency(7));
  EXPECT_EQ(handler.mRestarts, std::vector<int32>{kLatencyChanged});
  EXPECT_EQ(fx->getLatencySamples(), 7u);
  EXPECT_FALSE(fx->SetLatency(-1));
  EXPECT_EQ(handler.mRestarts.size(), 1u);

  // No editor view is open: no menu.
  EXPECT_FALSE(fx->PopupHostContextMenuForParam(TestFx::kGain, 10, 20));
  EXPECT_EQ(handler.mMenusPoppedUp, 0);

  ASSERT_EQ(fx->terminate(), kResultOk);
  EXPECT_EQ(handler.RefCount(), 1);
  fx->release();
}
