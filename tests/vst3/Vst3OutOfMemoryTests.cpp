// The binding's entry points when memory runs out, or a hook throws: the host gets a result code,
// never an exception, and nothing is left half-built. This binary replaces the global operator
// new with one that can be told to fail, so that every allocation of a call fails in turn.
#include <gtest/gtest.h>

#include <cstdlib>
#include <new>
#include <stdexcept>

#include "Brelix.h"
#include "TestPlugs.h"
#include "public.sdk/source/common/memorystream.h"

using namespace Steinberg;
using namespace Steinberg::Vst;

namespace
{
// Allocations still allowed before the next one fails; negative: none fails.
long gAllocationsLeft = -1;
long gFailures = 0;

void* Allocate(std::size_t n)
{
  if (gAllocationsLeft == 0)
  {
    gAllocationsLeft = -1;
    ++gFailures;
    throw std::bad_alloc();
  }
  if (gAllocationsLeft > 0) --gAllocationsLeft;
  if (void* p = std::malloc(n ? n : 1)) return p;
  throw std::bad_alloc();
}
}  // namespace

void* operator new(std::size_t n) { return Allocate(n); }
void* operator new[](std::size_t n) { return Allocate(n); }
void* operator new(std::size_t n, const std::nothrow_t&) noexcept
{
  try
  {
    return Allocate(n);
  }
  catch (const std::bad_alloc&)
  {
    return nullptr;
  }
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }

namespace
{
// Runs call with the allocation after `allowed` more failing; returns its result.
template <class Call>
tresult WithFailingAllocation(long allowed, Call&& call)
{
  gAllocationsLeft = allowed;
  tresult result = call();
  gAllocationsLeft = -1;
  return result;
}

// What a host sees of an instance's set-up.
struct Shape
{
  int32 audioIn, audioOut, eventIn, params, units;
  SpeakerArrangement in0, out0;

  bool operator==(const Shape& o) const
  {
    return audioIn == o.audioIn && audioOut == o.audioOut && eventIn == o.eventIn && params == o.params &&
           units == o.units && in0 == o.in0 && out0 == o.out0;
  }
};

Shape ShapeOf(IPlugVST3* plug)
{
  Shape s{plug->getBusCount(kAudio, kInput), plug->getBusCount(kAudio, kOutput), plug->getBusCount(kEvent, kInput),
          plug->getParameterCount(), plug->getUnitCount(), 0, 0};
  plug->getBusArrangement(kInput, 0, s.in0);
  plug->getBusArrangement(kOutput, 0, s.out0);
  return s;
}

constexpr Shape kNothingBuilt = {0, 0, 0, 0, 1, 0, 0};

// initialize with each of its allocations failing in turn: every failure answers kOutOfMemory
// and leaves the instance as it was, and a second initialize then builds it whole.
template <class Plug>
void ExpectInitializeSurvivesEveryFailure()
{
  Shape whole;
  {
    IPtr<IPlugVST3> plug = owned(static_cast<IPlugVST3*>(new Plug(IPlugInstanceInfo())));
    ASSERT_EQ(plug->initialize(nullptr), kResultOk);
    whole = ShapeOf(plug);
    plug->terminate();
  }
  const long failuresBefore = gFailures;
  long allowed = 0;
  for (;; ++allowed)
  {
    ASSERT_LT(allowed, 100000) << "initialize never finished";
    IPtr<IPlugVST3> plug = owned(static_cast<IPlugVST3*>(new Plug(IPlugInstanceInfo())));
    tresult result = WithFailingAllocation(allowed, [&] { return plug->initialize(nullptr); });
    if (result == kResultOk)
    {
      EXPECT_TRUE(ShapeOf(plug) == whole);
      plug->terminate();
      break;
    }
    ASSERT_EQ(result, kOutOfMemory) << "allocation " << allowed;
    EXPECT_TRUE(ShapeOf(plug) == kNothingBuilt) << "allocation " << allowed;
    ASSERT_EQ(plug->initialize(nullptr), kResultOk) << "allocation " << allowed;
    EXPECT_TRUE(ShapeOf(plug) == whole) << "allocation " << allowed;
    plug->terminate();
  }
  EXPECT_GT(allowed, 10) << "initialize builds buses and a parameter list";
  EXPECT_EQ(gFailures - failuresBefore, allowed);
}
}  // namespace

TEST(Vst3OutOfMemory, InitializeOfBrelixFailsCleanlyAtEveryAllocation)
{
  ExpectInitializeSurvivesEveryFailure<Brelix>();
}

TEST(Vst3OutOfMemory, InitializeOfASidechainMidiEffectWithGroupsFailsCleanlyAtEveryAllocation)
{
  ExpectInitializeSurvivesEveryFailure<TestFx>();
}

TEST(Vst3OutOfMemory, SetBusArrangementsKeepsTheBusesWhenMemoryRunsOut)
{
  IPtr<IPlugVST3> plug = owned(static_cast<IPlugVST3*>(new Brelix(IPlugInstanceInfo())));
  ASSERT_EQ(plug->initialize(nullptr), kResultOk);
  const Shape stereo = ShapeOf(plug);
  ASSERT_EQ(stereo.in0, SpeakerArr::kStereo);
  SpeakerArrangement mono = SpeakerArr::kMono;

  long allowed = 0;
  for (;; ++allowed)
  {
    ASSERT_LT(allowed, 1000);
    SpeakerArrangement in = mono, out = mono;
    tresult result = WithFailingAllocation(allowed, [&] { return plug->setBusArrangements(&in, 1, &out, 1); });
    if (result == kResultTrue) break;
    ASSERT_EQ(result, kOutOfMemory) << "allocation " << allowed;
    EXPECT_TRUE(ShapeOf(plug) == stereo) << "allocation " << allowed;
  }
  EXPECT_GT(allowed, 0) << "new buses were made";
  const Shape now = ShapeOf(plug);
  EXPECT_EQ(now.in0, SpeakerArr::kMono);
  EXPECT_EQ(now.out0, SpeakerArr::kMono);
  EXPECT_EQ(now.audioIn, 1);
  EXPECT_EQ(now.audioOut, 1);
  plug->terminate();
}

namespace
{
// An effect whose hooks throw, as an effect's own code might.
class ThrowingFx : public TestFx
{
public:
  ThrowingFx() : TestFx(IPlugInstanceInfo()) {}
  void Reset() override { throw std::runtime_error("reset"); }
  void OnActivate(bool) override { throw std::bad_alloc(); }
  bool SerializeState(ByteChunk*) override { throw std::runtime_error("state"); }
};
}  // namespace

TEST(Vst3OutOfMemory, ExceptionsFromHooksBecomeResultCodes)
{
  IPtr<IPlugVST3> plug = owned(static_cast<IPlugVST3*>(new ThrowingFx));
  ASSERT_EQ(plug->initialize(nullptr), kResultOk);
  ProcessSetup setup{kRealtime, kSample32, 512, 48000.0};
  EXPECT_EQ(plug->setupProcessing(setup), kInternalError);
  EXPECT_EQ(plug->setActive(true), kOutOfMemory);
  IEditController* controller = plug;
  MemoryStream stream;
  EXPECT_EQ(controller->getState(&stream), kInternalError);
  EXPECT_EQ(controller->setState(&stream), kInternalError);
  plug->terminate();
}
