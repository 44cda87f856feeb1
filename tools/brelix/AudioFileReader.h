#pragma once
// Reads any audio file libsndfile understands (WAV, FLAC, AIFF, Ogg, …) as planar doubles in
// the range of ±1.0 full scale. Single-threaded. Errors are reported as vst3host::HostError.
#include "AudioSource.h"
#include <string>
#include <vector>

typedef struct sf_private_tag SNDFILE;

namespace brelix {

class AudioFileReader : public AudioSource
{
public:
  explicit AudioFileReader(const std::string& path);
  ~AudioFileReader() override;

  AudioFileReader(const AudioFileReader&) = delete;
  AudioFileReader& operator=(const AudioFileReader&) = delete;

  int Channels() const override { return mChannels; }
  double SampleRate() const override { return mSampleRate; }
  int64_t Frames() const override { return mFrames; }
  int Read(double* const* out, int frames) override;

  int SndfileFormat() const { return mFormat; }  // SF_FORMAT_* container | subtype

private:
  std::string mPath;
  SNDFILE* mFile = nullptr;
  int mChannels = 0;
  double mSampleRate = 0;
  int64_t mFrames = 0;
  int mFormat = 0;
  std::vector<double> mInterleaved;
};

} // namespace brelix
