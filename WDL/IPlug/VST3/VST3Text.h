#pragma once
// Conversions between the framework's 8-bit texts and the host's UTF-16 strings, character by
// character (each byte becomes one code unit; code units above 0xFF become '?'). Both always
// write a terminated text that fits the destination. Real-time safe, free of shared state.

#include "pluginterfaces/base/ftypes.h"

// Copies src into dst, which holds dstLen code units (a String128 holds 128).
inline void CopyToUTF16(Steinberg::char16* dst, int dstLen, const char* src)
{
  if (!dst || dstLen < 1) return;
  int i = 0;
  for (; src && src[i] && i < dstLen - 1; ++i) dst[i] = static_cast<Steinberg::char16>(static_cast<unsigned char>(src[i]));
  dst[i] = 0;
}

// Copies the UTF-16 text src into dst, which holds dstLen bytes.
inline void CopyFromUTF16(char* dst, int dstLen, const Steinberg::char16* src)
{
  if (!dst || dstLen < 1) return;
  int i = 0;
  for (; src && src[i] && i < dstLen - 1; ++i) dst[i] = src[i] <= 0xFF ? static_cast<char>(src[i]) : '?';
  dst[i] = 0;
}
