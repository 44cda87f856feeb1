#include "Hosts.h"

#include <cctype>
#include <cstring>

namespace
{
struct HostSearch
{
  const char* text; // lower case
  EHost host;
};

// Order matters: the first text contained in the name decides.
constexpr HostSearch kSearchOrder[] = {
  {"cubase", kHostCubase},
  {"reaper", kHostReaper},
  {"nuendo", kHostNuendo},
  {"cakewalk", kHostSonar},
  {"samplitude", kHostSamplitude},
  {"fruity", kHostFLStudio},
  {"live", kHostLive},
  {"melodyne", kHostMelodyne},
  {"vstmanlib", kHostVSTScanner},
  {"aulab", kHostAULab},
  {"garageband", kHostGarageBand},
  {"forte", kHostForte},
  {"chainer", kHostChainer},
  {"audition", kHostAudition},
  {"orion", kHostOrion},
  {"sawstudio", kHostSAWStudio},
  {"logic", kHostLogic},
  {"digital", kHostDigitalPerformer},
  {"audiomulch", kHostAudioMulch},
  {"presonus", kHostStudioOne},
  {"vst3plugintesthost", kHostVST3TestHost},
  {"protools", kHostProTools},
  {"ardour", kHostArdour},
  {"openmpt", kHostOpenMPT},
  {"renoise", kHostRenoise},
  {"standalone", kHostStandalone},
};

// Display names indexed by EHost value 0-30.
constexpr const char* kHostNames[] = {
  /* 0 */ "Unknown", "Reaper", "ProTools", "Cubase", "Nuendo",
  /* 5 */ "Sonar", "Vegas", "FLStudio", "Samplitude", "Live",
  /* 10 */ "Unknown", "Unknown", "Unknown", "VSTScanner", "AULab",
  /* 15 */ "Forte", "Chainer", "Audition", "Orion", "Unknown",
  /* 20 */ "SAWStudio", "Logic", "GarageBand", "DigitalPerformer", "Standalone",
  /* 25 */ "AudioMulch", "StudioOne", "VST3PluginTestHost", "Ardour", "Renoise",
  /* 30 */ "OpenMPT",
};
static_assert(sizeof(kHostNames) / sizeof(kHostNames[0]) == kHostOpenMPT + 1, "one name per host value");

char LowerChar(char c)
{
  return static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
}

// Whether name, lower-cased character by character, contains lowerText.
bool ContainsLower(const char* name, const char* lowerText)
{
  size_t n = std::strlen(lowerText);
  for (; *name; ++name)
  {
    size_t i = 0;
    while (i < n && name[i] && LowerChar(name[i]) == lowerText[i]) ++i;
    if (i == n) return true;
  }
  return false;
}
} // namespace

EHost LookUpHost(const char* name)
{
  if (!name) return kHostUnknown;
  for (const HostSearch& s : kSearchOrder)
  {
    if (ContainsLower(name, s.text)) return s.host;
  }
  return kHostUnknown;
}

void GetHostNameStr(EHost host, char* out)
{
  if (!out) return;
  int v = static_cast<int>(host);
  const char* name = (v >= 0 && v <= kHostOpenMPT) ? kHostNames[v] : kHostNames[kHostUnknown];
  std::strcpy(out, name);
}
