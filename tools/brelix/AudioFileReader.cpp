#include "AudioFileReader.h"

#include "HostError.h"

#include <filesystem>
#include <sndfile.h>

using vst3host::HostError;

namespace brelix {

AudioFileReader::AudioFileReader(const std::string& path) : mPath(path)
{
  std::error_code ec;
  if (!std::filesystem::exists(path, ec))
    throw HostError("input '" + path + "' does not exist");
  if (std::filesystem::is_directory(path, ec))
    throw HostError("input '" + path + "' is a directory, not an audio file");

  SF_INFO info{};
  mFile = sf_open(path.c_str(), SFM_READ, &info);
  if (!mFile)
    throw HostError("cannot read input '" + path + "': " + sf_strerror(nullptr));
  if (info.channels < 1 || info.samplerate < 1)
  {
    sf_close(mFile);
    mFile = nullptr;
    throw HostError("cannot read input '" + path + "': it holds no audio channels");
  }
  mChannels = info.channels;
  mSampleRate = info.samplerate;
  mFrames = info.frames;
  mFormat = info.format;
}

AudioFileReader::~AudioFileReader()
{
  if (mFile)
    sf_close(mFile);
}

int AudioFileReader::Read(double* const* out, int frames)
{
  if (frames <= 0)
    return 0;
  mInterleaved.resize(size_t(frames) * mChannels);
  const sf_count_t got = sf_readf_double(mFile, mInterleaved.data(), frames);
  if (got < 0 || (got < frames && sf_error(mFile) != SF_ERR_NO_ERROR))
    throw HostError("cannot read input '" + mPath + "': " + sf_strerror(mFile));
  for (sf_count_t i = 0; i < got; ++i)
    for (int c = 0; c < mChannels; ++c)
      out[c][i] = mInterleaved[size_t(i) * mChannels + c];
  return static_cast<int>(got);
}

} // namespace brelix
