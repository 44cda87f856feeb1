#include "WDL_HeapBuf.h"

#include <climits>
#include <cstdlib>

WDL_HeapBuf::WDL_HeapBuf(int granularity)
  : mGranularity(granularity > 0 ? granularity : kDefaultGranularity)
{
}

WDL_HeapBuf::~WDL_HeapBuf()
{
  std::free(mBuf);
}

bool WDL_HeapBuf::Reserve(int nBytes)
{
  if (nBytes < 0) return false;
  if (nBytes <= mAlloc) return true;
  // Round up to the granularity in 64-bit arithmetic so huge requests fail instead of wrapping.
  long long want = (static_cast<long long>(nBytes) + mGranularity - 1) / mGranularity * mGranularity;
  if (want > INT_MAX) want = nBytes;
  void* p = std::realloc(mBuf, static_cast<size_t>(want));
  if (!p) return false;
  mBuf = p;
  mAlloc = static_cast<int>(want);
  return true;
}

void* WDL_HeapBuf::Resize(int newSize)
{
  if (newSize < 0 || !Reserve(newSize)) return nullptr;
  mSize = newSize;
  return Get();
}

void WDL_HeapBuf::Free()
{
  std::free(mBuf);
  mBuf = nullptr;
  mSize = mAlloc = 0;
}
