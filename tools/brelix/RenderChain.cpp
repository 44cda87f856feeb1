#include "RenderChain.h"

#include "HostError.h"
#include "Resampler.h"

#include <algorithm>
#include <chrono>
#include <string>
#include <vector>

using namespace vst3host;

namespace brelix {

namespace {

struct PlanarBuffer
{
  PlanarBuffer(int channels, int frames) : data(channels, std::vector<double>(size_t(frames)))
  {
    for (auto& ch : data)
      pointers.push_back(ch.data());
  }
  std::vector<std::vector<double>> data;
  std::vector<double*> pointers;
};

// The plain render: the plug-in at the file's rate, in full blocks but the last, which ends where
// output length plus latency does.
class DirectChain final : public RenderChain
{
public:
  DirectChain(HostProcessor& processor, const Setup& setup, Input input, ParameterChanges* changes)
  : RenderChain(processor, setup, std::move(input), changes), mIn(setup.channels, setup.blockSize),
    mOut(setup.channels, setup.blockSize), mTotal(setup.frames + processor.LatencySamples())
  {
  }

  void Render(double* const* out, int frames) override
  {
    for (int done = 0; done < frames;)
    {
      while (mPos == mLen)
        NextBlock();
      const int n = std::min(frames - done, mLen - mPos);
      for (int c = 0; c < mSetup.channels; ++c)
        std::copy(mOut.pointers[c] + mPos, mOut.pointers[c] + mPos + n, out[c] + done);
      done += n;
      mPos += n;
    }
  }

private:
  void NextBlock()
  {
    const int64_t left = mTotal - mProcessed;
    const int frames = left > 0 ? int(std::min<int64_t>(mSetup.blockSize, left)) : mSetup.blockSize;
    mInput(mIn.pointers.data(), frames);
    mPos = RunPlugin(mIn.pointers.data(), mOut.pointers.data(), frames);
    mLen = frames;
    mProcessed += frames;
  }

  PlanarBuffer mIn, mOut;
  int64_t mTotal;
  int64_t mProcessed = 0;
  int mPos = 0, mLen = 0;  // the unread part of mOut
};

// The plug-in at N × the rate between two resamplers. The downsampler pulls the plug-in's output,
// which pulls the upsampler's, which pulls the input: each runs when the next one needs data.
// The plug-in's latency is dropped at its own rate, so it need not be a multiple of N.
class OversampledChain final : public RenderChain
{
public:
  OversampledChain(HostProcessor& processor, const Setup& setup, Input input, ParameterChanges* changes)
  : RenderChain(processor, setup, std::move(input), changes), mIn(setup.channels, setup.blockSize),
    mHighIn(setup.channels, PluginBlockSize(setup)), mHighOut(setup.channels, PluginBlockSize(setup)),
    mUnread(size_t(setup.channels)),
    mUp(setup.sampleRate, PluginRate(setup), setup.channels, setup.blockSize, PluginBlockSize(setup),
        [this](const double* const*& planar, int frames) {
          mInput(mIn.pointers.data(), frames);
          planar = mIn.pointers.data();
          return frames;
        }),
    mDown(PluginRate(setup), setup.sampleRate, setup.channels, PluginBlockSize(setup), setup.blockSize,
          [this](const double* const*& planar, int frames) { return PluginOutput(planar, frames); })
  {
  }

  void Render(double* const* out, int frames) override { mDown.Read(out, frames); }

private:
  int PluginOutput(const double* const*& planar, int frames)
  {
    const int block = PluginBlockSize(mSetup);
    while (mPos == block)
    {
      mUp.Read(mHighIn.pointers.data(), block);
      mPos = RunPlugin(mHighIn.pointers.data(), mHighOut.pointers.data(), block);
    }
    const int n = std::min(frames, block - mPos);
    for (int c = 0; c < mSetup.channels; ++c)
      mUnread[c] = mHighOut.pointers[c] + mPos;
    planar = mUnread.data();
    mPos += n;
    return n;
  }

  PlanarBuffer mIn, mHighIn, mHighOut;
  std::vector<const double*> mUnread;
  int mPos = PluginBlockSize(mSetup);  // read position in mHighOut; at the end: run the next block
  Resampler mUp, mDown;
};

} // namespace

RenderChain::RenderChain(HostProcessor& processor, const Setup& setup, Input input, ParameterChanges* changes)
: mProcessor(processor), mSetup(setup), mInput(std::move(input)), mFirstBlockChanges(changes),
  mLatencyLeft(processor.LatencySamples())
{
}

std::unique_ptr<RenderChain> RenderChain::Create(HostProcessor& processor, const Setup& setup, Input input,
                                                 ParameterChanges* firstBlockChanges)
{
  if (!IsFactor(setup.factor))
    throw HostError("cannot oversample by " + std::to_string(setup.factor) + " (1, 2, 4 or 8)");
  const ProcessSettings& ps = processor.Settings();
  if (ps.channels != setup.channels || ps.sampleRate != PluginRate(setup) || ps.maxBlockSize < PluginBlockSize(setup))
    throw HostError("internal error: the plug-in is not set up for this render");
  if (setup.factor == 1)
    return std::make_unique<DirectChain>(processor, setup, std::move(input), firstBlockChanges);
  return std::make_unique<OversampledChain>(processor, setup, std::move(input), firstBlockChanges);
}

int RenderChain::RunPlugin(const double* const* in, double* const* out, int frames)
{
  const auto started = std::chrono::steady_clock::now();
  mProcessor.Process(in, out, frames, mFirstBlockChanges);
  mProcessSeconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
  mFirstBlockChanges = nullptr;
  const int dropped = int(std::min<int64_t>(frames, mLatencyLeft));
  mLatencyLeft -= dropped;
  return dropped;
}

} // namespace brelix
