#pragma once
// Growable heap buffers.
//
// WDL_HeapBuf holds untyped bytes; WDL_TypedBuf<T> holds a run of trivially copyable T.
// Resizing keeps the contents up to the smaller size and reserves memory in steps of the
// granularity (4096 bytes unless the owner sets another), so that small growth does not
// reallocate every time. A failed allocation leaves the buffer at its previous size and
// contents and makes Resize return null; nothing throws.
// Not thread-safe: the owner serialises access.

#include <cstddef>
#include <type_traits>

class WDL_HeapBuf
{
public:
  static constexpr int kDefaultGranularity = 4096;

  explicit WDL_HeapBuf(int granularity = kDefaultGranularity);
  ~WDL_HeapBuf();
  WDL_HeapBuf(const WDL_HeapBuf&) = delete;
  WDL_HeapBuf& operator=(const WDL_HeapBuf&) = delete;

  void* Get() const { return mSize ? mBuf : nullptr; }
  int GetSize() const { return mSize; }
  int GetGranularity() const { return mGranularity; }
  void SetGranularity(int granularity) { mGranularity = granularity > 0 ? granularity : kDefaultGranularity; }

  // Sets the size in bytes. Returns the (possibly moved) memory, or null when the size is
  // negative or memory could not be had; in that case nothing changes. Resize(0) returns null
  // and keeps the reservation.
  void* Resize(int newSize);

  // Reserves at least nBytes without changing the size. Returns false on failure.
  bool Reserve(int nBytes);

  // Frees the memory; the size becomes 0.
  void Free();

private:
  void* mBuf = nullptr;
  int mSize = 0;
  int mAlloc = 0;
  int mGranularity;
};

template <class T>
class WDL_TypedBuf
{
  static_assert(std::is_trivially_copyable<T>::value, "WDL_TypedBuf holds plain data only");

public:
  explicit WDL_TypedBuf(int granularity = WDL_HeapBuf::kDefaultGranularity) : mHeap(granularity) {}

  T* Get() const { return static_cast<T*>(mHeap.Get()); }
  int GetSize() const { return mHeap.GetSize() / static_cast<int>(sizeof(T)); }

  // Sets the number of elements; see WDL_HeapBuf::Resize.
  T* Resize(int n)
  {
    if (n < 0 || static_cast<size_t>(n) > static_cast<size_t>(0x7fffffff) / sizeof(T)) return nullptr;
    return static_cast<T*>(mHeap.Resize(n * static_cast<int>(sizeof(T))));
  }
  bool Reserve(int n)
  {
    if (n < 0 || static_cast<size_t>(n) > static_cast<size_t>(0x7fffffff) / sizeof(T)) return false;
    return mHeap.Reserve(n * static_cast<int>(sizeof(T)));
  }
  void Free() { mHeap.Free(); }

private:
  WDL_HeapBuf mHeap;
};
