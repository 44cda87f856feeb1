#pragma once
// Safe UTF-8 decoding for the shim's text functions (internal to the shim).

#include <cstddef>

namespace swell
{

// Decodes the character at s (avail >= 1 readable bytes) and returns the bytes it used (1-4);
// never reads beyond s[avail - 1]. Malformed input (a stray continuation byte, a truncated,
// overlong or surrogate sequence, a code above U+10FFFF) gives the first byte's own value, length 1.
inline int DecodeUtf8(const unsigned char* s, size_t avail, unsigned int* cp)
{
  const unsigned int lead = s[0];
  *cp = lead;
  int n;
  unsigned int v, minimum;
  if (lead < 0x80) return 1;
  if (lead >= 0xC2 && lead <= 0xDF) n = 2, v = lead & 0x1F, minimum = 0x80;
  else if (lead >= 0xE0 && lead <= 0xEF) n = 3, v = lead & 0x0F, minimum = 0x800;
  else if (lead >= 0xF0 && lead <= 0xF4) n = 4, v = lead & 0x07, minimum = 0x10000;
  else return 1;
  if ((size_t)n > avail) return 1;
  for (int i = 1; i < n; ++i)
  {
    if ((s[i] & 0xC0) != 0x80) return 1;
    v = (v << 6) | (s[i] & 0x3F);
  }
  if (v < minimum || v > 0x10FFFF || (v >= 0xD800 && v <= 0xDFFF)) return 1;
  *cp = v;
  return n;
}

}  // namespace swell
