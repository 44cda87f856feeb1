#pragma once
// A very-high-quality, linear-phase stream resampler (libsoxr) for planar double audio, pulling
// its input through a callback as it needs it. The output is time-aligned with the input: soxr
// removes its filters' delay, so at an integer ratio N input frame n lands exactly on output frame
// n × N, and back. Below 0.45 × the lower rate the pass band is flat to better than −170 dB.
// Single-threaded. Buffers are sized at construction; Read() allocates nothing of its own (soxr's
// internal queues settle within the first blocks). Errors as vst3host::HostError.
#include <exception>
#include <functional>
#include <vector>

struct soxr;

namespace brelix {

class Resampler
{
public:
  // Points `planar` at channel buffers holding up to `frames` input frames and returns how many
  // (at least 1); the buffers must stay valid until the next call.
  using Input = std::function<int(const double* const*& planar, int frames)>;

  Resampler(double inputRate, double outputRate, int channels, int maxInputFrames, int maxOutputFrames,
            Input input);
  ~Resampler();

  Resampler(const Resampler&) = delete;
  Resampler& operator=(const Resampler&) = delete;

  // Writes exactly `frames` (≤ maxOutputFrames) output frames into out[0..channels).
  void Read(double* const* out, int frames);

private:
  static size_t Pull(void* self, const void** data, size_t frames);

  soxr* mSoxr = nullptr;
  int mChannels;
  int mMaxInput;
  int mMaxOutput;
  Input mInput;
  std::vector<double> mInterleavedIn, mInterleavedOut;  // soxr pulls interleaved frames
  std::exception_ptr mError;
};

} // namespace brelix
