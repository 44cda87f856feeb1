#include "AudioFileReader.h"

#include "HostError.h"

#include <filesystem>
#include <sndfile.h>

using vst3host::HostError;

namespace brelix {

AudioFileReader::AudioFileReader(const std::string& path) : path_(path)
{
  std::error_code ec;
  if (!std::filesystem::exists(path, ec))
    throw HostError("input '" + path + "' does not exist");
  if (std::filesystem::is_directory(path, ec))
    throw HostError("input '" + path + "' is a directory, not an audio file");

  SF_INFO info{};
  file_ = sf_open(path.c_str(), SFM_READ, &info);
  if (!file_)
    throw HostError("cannot read input '" + path + "': " + sf_strerror(nullptr));
  if (info.channels < 1 || info.samplerate < 1)
  {
    sf_close(file_);
    file_ = nullptr;
    throw HostError("cannot read input '" + path + "': it holds no audio channels");
  }
  channels_ = info.channels;
  sampleRate_ = info.samplerate;
  frames_ = info.frames;
  format_ = info.format;
}

AudioFileReader::~AudioFileReader()
{
  if (file_)
    sf_close(file_);
}

int AudioFileReader::read(double* const* out, int frames)
{
  if (frames <= 0)
    return 0;
  interleaved_.resize(size_t(frames) * channels_);
  const sf_count_t got = sf_readf_double(file_, interleaved_.data(), frames);
  if (got < 0 || (got < frames && sf_error(file_) != SF_ERR_NO_ERROR))
    throw HostError("cannot read input '" + path_ + "': " + sf_strerror(file_));
  for (sf_count_t i = 0; i < got; ++i)
    for (int c = 0; c < channels_; ++c)
      out[c][i] = interleaved_[size_t(i) * channels_ + c];
  return static_cast<int>(got);
}

} // namespace brelix
