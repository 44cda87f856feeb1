#pragma once
// Growable, heap-owned, zero-terminated 8-bit string. Get() never returns null: a string that
// was never set reads as "". Allocation failures leave the previous text in place.
// Not thread-safe.

#include <cstdarg>

#include "WDL_HeapBuf.h"

class WDL_String
{
public:
  WDL_String() = default;
  explicit WDL_String(const char* text, int maxLen = -1) { Set(text, maxLen); }
  WDL_String(const WDL_String& other) { Set(other.Get()); }
  WDL_String& operator=(const WDL_String& other)
  {
    if (this != &other) Set(other.Get());
    return *this;
  }

  const char* Get() const;
  int GetLength() const;

  // Copies at most maxLen characters of text (all of it when maxLen < 0); null sets "".
  bool Set(const char* text, int maxLen = -1);
  bool Append(const char* text, int maxLen = -1);
  // printf-style; the result is cut to maxLen characters.
  bool SetFormatted(int maxLen, const char* fmt, ...) __attribute__((format(printf, 3, 4)));
  bool AppendFormatted(int maxLen, const char* fmt, ...) __attribute__((format(printf, 3, 4)));
  // Cuts the text to at most newLen characters.
  void SetLen(int newLen);
  // Removes count characters at position pos (clamped to the text).
  void DeleteSub(int pos, int count);

private:
  bool AppendFormattedV(int maxLen, const char* fmt, va_list args);
  WDL_HeapBuf mHeap{256};
};

// Copies at most srcLen bytes of src (all of it up to its terminator when srcLen < 0; null reads
// as "") into the fixed field dst of dstSize bytes, always zero-terminated. A cut never splits a
// UTF-8 character. src need not be terminated within srcLen bytes.
void WDL_CopyText(char* dst, int dstSize, const char* src, int srcLen = -1);
