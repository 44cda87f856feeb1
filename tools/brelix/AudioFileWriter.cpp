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
: path_(path), channels_(channels)
{
  std::error_code ec;
  if (std::filesystem::is_directory(path, ec))
    throw HostError("output '" + path + "' is a directory");
  const std::filesystem::path target(path);
  const std::filesystem::path dir = target.parent_path().empty() ? std::filesystem::path(".") : target.parent_path();
  tempPath_ = (dir / ("." + target.filename().string() + ".brelix-XXXXXX")).string();
  const int fd = mkstemp(tempPath_.data());
  if (fd < 0)
  {
    tempPath_.clear();
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
  file_ = sf_open_fd(fd, SFM_WRITE, &info, SF_TRUE);
  if (!file_)
  {
    const std::string why = sf_strerror(nullptr);
    close(fd);
    std::remove(tempPath_.c_str());
    tempPath_.clear();
    throw HostError("cannot write output '" + path + "' as " + format.description + ": " + why);
  }
  sf_command(file_, SFC_SET_CLIPPING, nullptr, SF_TRUE);
}

AudioFileWriter::~AudioFileWriter()
{
  if (file_)
    sf_close(file_);
  if (!committed_ && !tempPath_.empty())
    std::remove(tempPath_.c_str());
}

void AudioFileWriter::write(const double* const* in, int frames)
{
  if (frames <= 0)
    return;
  interleaved_.resize(size_t(frames) * channels_);
  for (int i = 0; i < frames; ++i)
    for (int c = 0; c < channels_; ++c)
      interleaved_[size_t(i) * channels_ + c] = in[c][i];
  if (sf_writef_double(file_, interleaved_.data(), frames) != frames)
    throw HostError("cannot write output '" + path_ + "': " + sf_strerror(file_));
}

void AudioFileWriter::commit()
{
  sf_write_sync(file_);
  const int closed = sf_close(file_);
  file_ = nullptr;
  if (closed != 0)
    throw HostError("cannot write output '" + path_ + "': " + sf_error_number(closed));
  if (std::rename(tempPath_.c_str(), path_.c_str()) != 0)
    throw HostError("cannot write output '" + path_ + "': " + std::strerror(errno));
  committed_ = true;
}

} // namespace brelix
