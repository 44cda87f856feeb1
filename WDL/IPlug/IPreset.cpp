#include "IPreset.h"

#include <cstring>

void IPreset::CopyName(char* dst, int dstSize, const char* src, int srcLen)
{
  if (!dst || dstSize < 1) return;
  int limit = dstSize - 1;
  int n = 0;
  while (src && n < limit && (srcLen < 0 || n < srcLen) && src[n]) ++n;
  // Cut short: back up to the first byte of a UTF-8 character that the field cannot hold.
  if (n == limit && (srcLen < 0 || n < srcLen) && src[n])
    while (n > 0 && (static_cast<unsigned char>(src[n]) & 0xC0) == 0x80) --n;
  if (n) std::memmove(dst, src, static_cast<size_t>(n));
  dst[n] = '\0';
}
