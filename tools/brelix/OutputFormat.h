#pragma once
// Chooses the libsndfile format of an output file: the container from the file's extension (or
// an explicit name), the sample format from an explicit bit depth, else the input's when the
// container can hold it, else 24-bit PCM. Pure functions; errors as vst3host::HostError.
#include <string>

namespace brelix {

struct OutputFormat
{
  int sndfileFormat = 0;     // SF_FORMAT_* container | subtype
  std::string description;   // "WAV, 24-bit PCM"
};

// container: "" (from the extension), wav, flac, aiff, ogg, caf, w64, rf64, au (and mp3 when
// libsndfile supports it). depth: "" (automatic), 8, 16, 24, 32, float, double.
// inputFormat: the input file's SF_FORMAT_* value, 0 without an input file.
OutputFormat ResolveOutputFormat(const std::string& path, const std::string& container, const std::string& depth,
                                 int inputFormat, int channels, int sampleRate);

// The names accepted for containers and depths, for help and error texts.
std::string ContainerNames();
std::string DepthNames();

} // namespace brelix
