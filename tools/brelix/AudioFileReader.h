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

  int channels() const override { return channels_; }
  double sampleRate() const override { return sampleRate_; }
  int64_t frames() const override { return frames_; }
  int read(double* const* out, int frames) override;

  int sndfileFormat() const { return format_; }  // SF_FORMAT_* container | subtype

private:
  std::string path_;
  SNDFILE* file_ = nullptr;
  int channels_ = 0;
  double sampleRate_ = 0;
  int64_t frames_ = 0;
  int format_ = 0;
  std::vector<double> interleaved_;
};

} // namespace brelix
