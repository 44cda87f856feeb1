#pragma once
// The built-in demo: a four-bar groove at 120 BPM in A minor (kick, snare, hats, a sine bass,
// a soft pad and a plucked lead) whose clean tones make a saturator's harmonics easy to hear.
// Every sample is a pure function of its index, so the clip is bit-for-bit the same on every
// run and any length can be produced (the four bars repeat every 8 seconds). Peaks near −3 dBFS.
// Single-threaded.
#include "AudioSource.h"

namespace brelix {

class DemoClip : public AudioSource
{
public:
  // channels: 1 (a mono mix) or 2.
  explicit DemoClip(double sampleRate = 48000.0, int channels = 2, double seconds = 8.0);

  int Channels() const override { return mChannels; }
  double SampleRate() const override { return mSampleRate; }
  int64_t Frames() const override { return mFrames; }
  int Read(double* const* out, int frames) override;

  // The stereo sample at frame n.
  void SampleAt(int64_t n, double& left, double& right) const;

private:
  double mSampleRate;
  int mChannels;
  int64_t mFrames;
  int64_t mPosition = 0;
};

} // namespace brelix
