#pragma once
// Writes planar double audio into a new file through libsndfile, atomically: the data goes to a
// hidden temporary file beside the target, which Commit() renames into place. A writer destroyed
// without Commit() removes its temporary file, so a failed render leaves nothing behind.
// Integer formats clip at full scale instead of wrapping. Single-threaded; errors as HostError.
#include "OutputFormat.h"
#include <string>
#include <vector>

typedef struct sf_private_tag SNDFILE;

namespace brelix {

class AudioFileWriter
{
public:
  AudioFileWriter(const std::string& path, const OutputFormat& format, int channels, int sampleRate);
  ~AudioFileWriter();

  AudioFileWriter(const AudioFileWriter&) = delete;
  AudioFileWriter& operator=(const AudioFileWriter&) = delete;

  void Write(const double* const* in, int frames);
  void Commit();
  const std::string& TemporaryPath() const { return mTempPath; }

private:
  std::string mPath;
  std::string mTempPath;
  SNDFILE* mFile = nullptr;
  int mChannels;
  bool mCommitted = false;
  std::vector<double> mInterleaved;
};

} // namespace brelix
