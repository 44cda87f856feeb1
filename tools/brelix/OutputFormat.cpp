#include "OutputFormat.h"

#include "HostError.h"
#include "Text.h"

#include <cctype>
#include <filesystem>
#include <sndfile.h>

using vst3host::HostError;

namespace brelix {

namespace {

struct Container
{
  const char* name;
  const char* extensions;  // space-separated, with spaces at both ends
  int format;
  int fixedSubtype;        // containers with one codec (no bit depth to choose); 0 otherwise
  const char* title;
};

const Container kContainers[] = {
  {"wav", " wav wave ", SF_FORMAT_WAV, 0, "WAV"},
  {"flac", " flac ", SF_FORMAT_FLAC, 0, "FLAC"},
  {"aiff", " aiff aif aifc ", SF_FORMAT_AIFF, 0, "AIFF"},
  {"ogg", " ogg oga ", SF_FORMAT_OGG, SF_FORMAT_VORBIS, "Ogg Vorbis"},
  {"caf", " caf ", SF_FORMAT_CAF, 0, "CAF"},
  {"w64", " w64 ", SF_FORMAT_W64, 0, "Wave64"},
  {"rf64", " rf64 ", SF_FORMAT_RF64, 0, "RF64"},
  {"au", " au snd ", SF_FORMAT_AU, 0, "AU"},
#ifdef SF_FORMAT_MPEG
  {"mp3", " mp3 ", SF_FORMAT_MPEG, SF_FORMAT_MPEG_LAYER_III, "MP3"},
#endif
};

struct Depth
{
  const char* name;
  int subtype;
  const char* title;
};

const Depth kDepths[] = {
  {"8", SF_FORMAT_PCM_U8, "8-bit PCM"},   {"16", SF_FORMAT_PCM_16, "16-bit PCM"},
  {"24", SF_FORMAT_PCM_24, "24-bit PCM"}, {"32", SF_FORMAT_PCM_32, "32-bit PCM"},
  {"float", SF_FORMAT_FLOAT, "32-bit float"}, {"double", SF_FORMAT_DOUBLE, "64-bit float"},
};

const char* SubtypeTitle(int subtype)
{
  for (const auto& d : kDepths)
    if (d.subtype == subtype)
      return d.title;
  switch (subtype)
  {
    case SF_FORMAT_PCM_S8: return "8-bit PCM";
    case SF_FORMAT_VORBIS: return "Vorbis";
#ifdef SF_FORMAT_MPEG_LAYER_III
    case SF_FORMAT_MPEG_LAYER_III: return "MPEG layer III";
#endif
    default: return "the input's encoding";
  }
}

bool Valid(int format, int channels, int sampleRate)
{
  SF_INFO info{};
  info.format = format;
  info.channels = channels;
  info.samplerate = sampleRate;
  return sf_format_check(&info) != 0;
}

} // namespace

std::string ContainerNames()
{
  std::string names;
  for (const auto& c : kContainers)
    names += (names.empty() ? "" : ", ") + std::string(c.name);
  return names;
}

std::string DepthNames()
{
  std::string names;
  for (const auto& d : kDepths)
    names += (names.empty() ? "" : ", ") + std::string(d.name);
  return names;
}

OutputFormat ResolveOutputFormat(const std::string& path, const std::string& container, const std::string& depth,
                                 int inputFormat, int channels, int sampleRate)
{
  const Container* chosen = nullptr;
  if (!container.empty())
  {
    for (const auto& c : kContainers)
      if (vst3host::EqualsIgnoringCase(container, c.name))
        chosen = &c;
    if (!chosen)
      throw HostError("unsupported output format '" + container + "' (use " + ContainerNames() + ")");
  }
  else
  {
    std::string ext = std::filesystem::path(path).extension().string();
    if (ext.empty())
      throw HostError("cannot tell the output format of '" + path + "': give it an extension (" +
                      ContainerNames() + ") or use --format");
    for (auto& ch : ext)
      ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
    const std::string key = " " + ext.substr(1) + " ";
    for (const auto& c : kContainers)
      if (std::string(c.extensions).find(key) != std::string::npos)
        chosen = &c;
    if (!chosen)
      throw HostError("unsupported output format '" + ext + "' (use " + ContainerNames() + ")");
  }

  OutputFormat result;
  if (chosen->fixedSubtype)
  {
    if (!depth.empty())
      throw HostError(std::string(chosen->title) + " output has no bit depth to choose (drop --bit-depth)");
    result.sndfileFormat = chosen->format | chosen->fixedSubtype;
  }
  else if (!depth.empty())
  {
    const Depth* d = nullptr;
    for (const auto& candidate : kDepths)
      if (depth == candidate.name)
        d = &candidate;
    if (!d)
      throw HostError("unsupported bit depth '" + depth + "' (use " + DepthNames() + ")");
    result.sndfileFormat = chosen->format | d->subtype;
  }
  else
  {
    const int inputSubtype = inputFormat & SF_FORMAT_SUBMASK;
    const bool keepInput = inputSubtype && Valid(chosen->format | inputSubtype, channels, sampleRate);
    result.sndfileFormat = chosen->format | (keepInput ? inputSubtype : SF_FORMAT_PCM_24);
  }

  const int subtype = result.sndfileFormat & SF_FORMAT_SUBMASK;
  result.description = std::string(chosen->title) + ", " + SubtypeTitle(subtype);
  if (!Valid(result.sndfileFormat, channels, sampleRate))
    throw HostError("unsupported output format: " + result.description + " cannot hold " + std::to_string(channels) +
                    "-channel audio at " + std::to_string(sampleRate) + " Hz");
  return result;
}

} // namespace brelix
