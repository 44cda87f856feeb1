#pragma once
// Packed versions: a signed 32-bit integer with the major number in bits 16-31, the minor in
// bits 8-15 and the patch in bits 0-7. Decimal form major * 10000 + minor * 100 + patch; text
// form "v%d.%d.%d". Free of shared state.

// Packs a version; minor and patch are cut to 8 bits.
constexpr int MakePackedVersion(int major, int minor, int patch)
{
  return static_cast<int>((static_cast<unsigned>(major) << 16) | ((static_cast<unsigned>(minor) & 0xff) << 8) |
                          (static_cast<unsigned>(patch) & 0xff));
}

void GetVersionParts(int version, int* major, int* minor, int* patch);
int GetDecimalVersion(int version);
// Writes "v%d.%d.%d" into out, which must hold at least 32 characters.
void GetVersionStr(int version, char* out);
