#include "AudioFileWriter.h"

#include "HostError.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <sndfile.h>
#include <sys/stat.h>
#include <unistd.h>

using vst3host::HostError;

namespace brelix {

AudioFileWriter::AudioFileWriter(const std::string& path, const OutputFormat& format, int channels, int sampleRate)
: mPath(path), mChannels(channels)
{
  std::error_code ec;
  if (std::filesystem::is_directory(path, ec))
    throw HostError("output '" + path + "' is a directory");
  const std::filesystem::path target(path);
  const std::filesystem::path dir = target.parent_path().empty() ? std::filesystem::path(".") : target.parent_path();
  mTempPath = (dir / ("." + target.filename().string() + ".brelix-XXXXXX")).string();
  const int fd = mkstemp(mTempPath.data());
  if (fd < 0)
  {
    mTempPath.clear();
    throw HostError("cannot write output '" + path + "': " + std::strerror(errno));
  }
  // mkstemp creates the file private; give it the permissions of any new file.
  const mode_t mask = umask(0);
  umask(mask);
  fchmod(fd, 0666 & ~mask);

  SF_INFO info{};
  info.channels = channels;
  info.samplerate = sampleRate;
  info.format = format.sndfileFormat;
  mFile = sf_open_fd(fd, SFM_WRITE, &info, SF_TRUE);
  if (!mFile)
  {
    const std::string why = sf_strerror(nullptr);
    close(fd);
    std::remove(mTempPath.c_str());
    mTempPath.clear();
    throw HostError("cannot write output '" + path + "' as " + format.description + ": " + why);
  }
  sf_command(mFile, SFC_SET_CLIPPING, nullptr, SF_TRUE);
}

AudioFileWriter::~AudioFileWriter()
{
  if (mFile)
    sf_close(mFile);
  if (!mCommitted && !mTempPath.empty())
    std::remove(mTempPath.c_str());
}

void AudioFileWriter::Write(const double* const* in, int frames)
{
  if (frames <= 0)
    return;
  mInterleaved.resize(size_t(frames) * mChannels);
  for (int i = 0; i < frames; ++i)
    for (int c = 0; c < mChannels; ++c)
      mInterleaved[size_t(i) * mChannels + c] = in[c][i];
  if (sf_writef_double(mFile, mInterleaved.data(), frames) != frames)
    throw HostError("cannot write output '" + mPath + "': " + sf_strerror(mFile));
}

void AudioFileWriter::Commit()
{
  sf_write_sync(mFile);
  const int closed = sf_close(mFile);
  mFile = nullptr;
  if (closed != 0)
    throw HostError("cannot write output '" + mPath + "': " + sf_error_number(closed));
  if (std::rename(mTempPath.c_str(), mPath.c_str()) != 0)
    throw HostError("cannot write output '" + mPath + "': " + std::strerror(errno));
  mCommitted = true;
}

} // namespace brelix
