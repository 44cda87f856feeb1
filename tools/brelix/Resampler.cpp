#include "Resampler.h"

#include "HostError.h"

#include <algorithm>
#include <soxr.h>
#include <string>

using vst3host::HostError;

namespace brelix {

Resampler::Resampler(double inputRate, double outputRate, int channels, int maxInputFrames, int maxOutputFrames,
                     Input input)
: mChannels(channels), mMaxInput(maxInputFrames), mMaxOutput(maxOutputFrames), mInput(std::move(input)),
  mInterleavedIn(size_t(maxInputFrames) * channels), mInterleavedOut(size_t(maxOutputFrames) * channels)
{
  const soxr_io_spec_t io = soxr_io_spec(SOXR_FLOAT64_I, SOXR_FLOAT64_I);
  const soxr_quality_spec_t quality = soxr_quality_spec(SOXR_VHQ | SOXR_LINEAR_PHASE, 0);
  const soxr_runtime_spec_t runtime = soxr_runtime_spec(1);
  soxr_error_t error = nullptr;
  mSoxr = soxr_create(inputRate, outputRate, unsigned(channels), &error, &io, &quality, &runtime);
  if (!error)
    error = soxr_set_input_fn(mSoxr, &Resampler::Pull, this, size_t(mMaxInput));
  if (error)
  {
    soxr_delete(mSoxr);
    throw HostError(std::string("cannot resample from ") + std::to_string(long(inputRate)) + " to " +
                    std::to_string(long(outputRate)) + " Hz: " + error);
  }
}

Resampler::~Resampler()
{
  soxr_delete(mSoxr);
}

// Runs inside soxr: exceptions must not cross its C frames, so a failure ends the input and is
// rethrown by Read().
size_t Resampler::Pull(void* self, const void** data, size_t frames)
{
  Resampler& r = *static_cast<Resampler*>(self);
  try
  {
    const double* const* planar = nullptr;
    const int got = r.mInput(planar, int(std::min<size_t>(frames, size_t(r.mMaxInput))));
    double* to = r.mInterleavedIn.data();
    for (int i = 0; i < got; ++i)
      for (int c = 0; c < r.mChannels; ++c)
        *to++ = planar[c][i];
    *data = r.mInterleavedIn.data();
    return size_t(got);
  }
  catch (...)
  {
    r.mError = std::current_exception();
    *data = nullptr;
    return 0;
  }
}

void Resampler::Read(double* const* out, int frames)
{
  if (frames < 0 || frames > mMaxOutput)
    throw HostError("internal error: " + std::to_string(frames) + " frames exceed the resampler's block");
  const size_t done = frames > 0 ? soxr_output(mSoxr, mInterleavedOut.data(), size_t(frames)) : 0;
  if (mError)
    std::rethrow_exception(mError);
  if (const soxr_error_t error = soxr_error(mSoxr))
    throw HostError(std::string("resampling failed: ") + error);
  if (done != size_t(frames))
    throw HostError("internal error: the resampler's input ended early");
  const double* from = mInterleavedOut.data();
  for (int i = 0; i < frames; ++i)
    for (int c = 0; c < mChannels; ++c)
      out[c][i] = *from++;
}

} // namespace brelix
