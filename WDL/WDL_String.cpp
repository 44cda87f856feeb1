#include "WDL_String.h"

#include <cstdio>
#include <cstring>

const char* WDL_String::Get() const
{
  const char* p = static_cast<const char*>(mHeap.Get());
  return p ? p : "";
}

int WDL_String::GetLength() const
{
  return static_cast<int>(std::strlen(Get()));
}

bool WDL_String::Set(const char* text, int maxLen)
{
  if (!text) text = "";
  // With a maximum, text need not be terminated within it.
  size_t n = maxLen >= 0 ? strnlen(text, static_cast<size_t>(maxLen)) : std::strlen(text);
  if (n >= 0x7fffffff) return false;
  // text may point into our own buffer: copy through memmove after growing.
  const char* own = static_cast<const char*>(mHeap.Get());
  long long offset = (own && text >= own && text < own + mHeap.GetSize()) ? text - own : -1;
  char* p = static_cast<char*>(mHeap.Resize(static_cast<int>(n) + 1));
  if (!p) return false;
  std::memmove(p, offset >= 0 ? p + offset : text, n);
  p[n] = 0;
  return true;
}

bool WDL_String::Append(const char* text, int maxLen)
{
  if (!text) return true;
  size_t n = maxLen >= 0 ? strnlen(text, static_cast<size_t>(maxLen)) : std::strlen(text);
  int old = GetLength();
  if (static_cast<long long>(old) + n >= 0x7fffffff) return false;
  const char* own = static_cast<const char*>(mHeap.Get());
  long long offset = (own && text >= own && text < own + mHeap.GetSize()) ? text - own : -1;
  char* p = static_cast<char*>(mHeap.Resize(old + static_cast<int>(n) + 1));
  if (!p) return false;
  std::memmove(p + old, offset >= 0 ? p + offset : text, n);
  p[old + n] = 0;
  return true;
}

bool WDL_String::AppendFormattedV(int maxLen, const char* fmt, va_list args)
{
  if (maxLen < 0) return false;
  int old = GetLength();
  va_list copy;
  va_copy(copy, args);
  int need = std::vsnprintf(nullptr, 0, fmt, copy);
  va_end(copy);
  if (need < 0) return false;
  if (need > maxLen) need = maxLen;
  if (static_cast<long long>(old) + need >= 0x7fffffff) return false;
  char* p = static_cast<char*>(mHeap.Resize(old + need + 1));
  if (!p) return false;
  std::vsnprintf(p + old, static_cast<size_t>(need) + 1, fmt, args);
  return true;
}

// The arguments may point into this string: format into a temporary first.
bool WDL_String::SetFormatted(int maxLen, const char* fmt, ...)
{
  WDL_String formatted;
  va_list args;
  va_start(args, fmt);
  bool ok = formatted.AppendFormattedV(maxLen, fmt, args);
  va_end(args);
  return ok && Set(formatted.Get());
}

bool WDL_String::AppendFormatted(int maxLen, const char* fmt, ...)
{
  WDL_String formatted;
  va_list args;
  va_start(args, fmt);
  bool ok = formatted.AppendFormattedV(maxLen, fmt, args);
  va_end(args);
  return ok && Append(formatted.Get());
}

void WDL_String::SetLen(int newLen)
{
  char* p = static_cast<char*>(mHeap.Get());
  if (!p) return;
  if (newLen < 0) newLen = 0;
  if (newLen < GetLength()) p[newLen] = 0;
}

void WDL_String::DeleteSub(int pos, int count)
{
  char* p = static_cast<char*>(mHeap.Get());
  int len = GetLength();
  if (!p || pos < 0 || pos >= len || count <= 0) return;
  if (count > len - pos) count = len - pos;
  std::memmove(p + pos, p + pos + count, static_cast<size_t>(len - pos - count) + 1);
}

void WDL_CopyText(char* dst, int dstSize, const char* src, int srcLen)
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
