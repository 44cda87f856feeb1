#include "WDL_Version.h"

#include <cstdio>

void GetVersionParts(int version, int* major, int* minor, int* patch)
{
  unsigned v = static_cast<unsigned>(version);
  if (major) *major = static_cast<int>(v >> 16);
  if (minor) *minor = static_cast<int>((v >> 8) & 0xff);
  if (patch) *patch = static_cast<int>(v & 0xff);
}

int GetDecimalVersion(int version)
{
  int major, minor, patch;
  GetVersionParts(version, &major, &minor, &patch);
  return major * 10000 + minor * 100 + patch;
}

void GetVersionStr(int version, char* out)
{
  int major, minor, patch;
  GetVersionParts(version, &major, &minor, &patch);
  std::snprintf(out, 32, "v%d.%d.%d", major, minor, patch);
}
