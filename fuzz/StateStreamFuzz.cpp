// The controller state stream of Brelix, as a host hands it to setState through IEditController.
// Input: one byte, the most bytes the stream hands out per read (0: all it is asked for), then
// the stream. After the call every parameter must be finite and in range, an empty stream must
// leave the state as it was, a refused stream must leave the bypass as it was, an accepted one
// must read back as it is written, and the effect must then process to finite output.
#include <cmath>
#include <cstring>
#include <vector>

#include "Brelix.h"
#include "FuzzSupport.h"
#include "pluginterfaces/base/ibstream.h"

using namespace Steinberg;
using namespace Steinberg::Vst;

namespace
{
// A read-only stream over the input that hands out at most `piece` bytes per read.
class PieceStream : public IBStream
{
public:
  PieceStream(const uint8_t* data, size_t size, int piece) : mData(data), mSize(static_cast<int64>(size)), mPiece(piece) {}

  tresult PLUGIN_API read(void* buffer, int32 numBytes, int32* numBytesRead) override
  {
    int64 n = numBytes < 0 ? 0 : numBytes;
    if (mPiece > 0 && n > mPiece) n = mPiece;
    if (n > mSize - mPos) n = mSize - mPos;
    if (n > 0) std::memcpy(buffer, mData + mPos, static_cast<size_t>(n));
    mPos += n;
    if (numBytesRead) *numBytesRead = static_cast<int32>(n);
    return kResultOk;
  }
  tresult PLUGIN_API write(void*, int32, int32*) override { return kResultFalse; }
  tresult PLUGIN_API seek(int64 pos, int32 mode, int64* result) override
  {
    int64 to = mode == kIBSeekSet ? pos : mode == kIBSeekCur ? mPos + pos : mSize + pos;
    if (to < 0 || to > mSize) return kResultFalse;
    mPos = to;
    if (result) *result = mPos;
    return kResultOk;
  }
  tresult PLUGIN_API tell(int64* pos) override
  {
    if (pos) *pos = mPos;
    return kResultOk;
  }
  tresult PLUGIN_API queryInterface(const TUID, void** obj) override
  {
    *obj = nullptr;
    return kNoInterface;
  }
  uint32 PLUGIN_API addRef() override { return 1; }
  uint32 PLUGIN_API release() override { return 1; }

private:
  const uint8_t* mData;
  int64 mSize, mPos = 0;
  int mPiece;
};

// One block of a stereo tone through the processor; every output sample must be finite.
void ProcessOneBlock(IPlugVST3* plug)
{
  constexpr int kFrames = 64;
  ProcessSetup setup{kRealtime, kSample32, kFrames, 48000.0};
  FUZZ_CHECK(plug->setupProcessing(setup) == kResultOk);
  FUZZ_CHECK(plug->setActive(true) == kResultOk);
  float in[2][kFrames], out[2][kFrames];
  for (int s = 0; s < kFrames; ++s) in[0][s] = in[1][s] = static_cast<float>(0.8 * std::sin(0.2 * s));
  float* inPtr[2] = {in[0], in[1]};
  float* outPtr[2] = {out[0], out[1]};
  AudioBusBuffers inBus, outBus;
  inBus.numChannels = outBus.numChannels = 2;
  inBus.channelBuffers32 = inPtr;
  outBus.channelBuffers32 = outPtr;
  ProcessData data;
  data.processMode = kRealtime;
  data.symbolicSampleSize = kSample32;
  data.numSamples = kFrames;
  data.numInputs = data.numOutputs = 1;
  data.inputs = &inBus;
  data.outputs = &outBus;
  FUZZ_CHECK(plug->process(data) == kResultOk);
  for (auto& channel : out)
    for (float v : channel) FUZZ_CHECK(std::isfinite(v), "output sample");
  plug->setActive(false);
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
  if (size < 1) return 0;
  const int piece = data[0];
  ++data;
  --size;

  IPtr<IPlugVST3> plug = owned(static_cast<IPlugVST3*>(new Brelix(IPlugInstanceInfo())));
  FUZZ_CHECK(plug->initialize(nullptr) == kResultOk);
  IEditController* controller = plug;

  const std::vector<unsigned char> before = SetDistinctState(controller);
  FUZZ_CHECK(before.size() == 8u * Brelix::kNumParams + 4);

  PieceStream stream(data, size, piece);
  const tresult result = controller->setState(&stream);
  CheckParameters(*plug);
  const std::vector<unsigned char> after = ControllerState(controller);
  FUZZ_CHECK(after.size() == before.size());
  if (size == 0) FUZZ_CHECK(after == before, "an empty stream changes nothing");
  if (result != kResultOk)
    FUZZ_CHECK(std::memcmp(after.data() + after.size() - 4, before.data() + before.size() - 4, 4) == 0,
               "a refused stream keeps the bypass");
  else
  {
    SetControllerState(controller, after);
    FUZZ_CHECK(ControllerState(controller) == after, "the state reads back as written");
  }

  ProcessOneBlock(plug);
  CheckParameters(*plug);
  plug->terminate();
  return 0;
}
