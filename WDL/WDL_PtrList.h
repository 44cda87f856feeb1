#pragma once
// Ordered list of pointers to T. The list never owns its elements by itself: each removing
// call says whether the removed elements are deleted (with delete) or only dropped.
// Growth failures leave the list as it was and are reported by the adding calls.
// Not thread-safe.

#include "WDL_HeapBuf.h"

template <class T>
class WDL_PtrList
{
public:
  WDL_PtrList() : mBuf(64 * static_cast<int>(sizeof(T*))) {}
  WDL_PtrList(const WDL_PtrList&) = delete;
  WDL_PtrList& operator=(const WDL_PtrList&) = delete;

  int GetSize() const { return mBuf.GetSize(); }
  T* const* GetList() const { return mBuf.Get(); }

  // Null for an index outside the list.
  T* Get(int idx) const { return (idx >= 0 && idx < GetSize()) ? mBuf.Get()[idx] : nullptr; }

  // Returns the first index of p, or -1.
  int Find(const T* p) const
  {
    for (int i = 0; i < GetSize(); ++i)
      if (mBuf.Get()[i] == p) return i;
    return -1;
  }

  // Appends p; returns p, or null when the list could not grow.
  T* Add(T* p) { return Insert(GetSize(), p); }

  // Inserts p at idx, clamped into [0, size]; returns p, or null when the list could not grow.
  T* Insert(int idx, T* p)
  {
    int n = GetSize();
    if (idx < 0) idx = 0;
    if (idx > n) idx = n;
    T** list = mBuf.Resize(n + 1);
    if (!list) return nullptr;
    for (int i = n; i > idx; --i) list[i] = list[i - 1];
    list[idx] = p;
    return p;
  }

  // Replaces the element at idx (which must lie in the list); returns false otherwise.
  bool Set(int idx, T* p)
  {
    if (idx < 0 || idx >= GetSize()) return false;
    mBuf.Get()[idx] = p;
    return true;
  }

  // Removes the element at idx, deleting it when wantDelete is set. Outside the list: nothing.
  void Delete(int idx, bool wantDelete = false)
  {
    int n = GetSize();
    if (idx < 0 || idx >= n) return;
    T** list = mBuf.Get();
    T* p = list[idx];
    for (int i = idx; i < n - 1; ++i) list[i] = list[i + 1];
    mBuf.Resize(n - 1);
    if (wantDelete) delete p;
  }

  // Removes every element, last to first, deleting each when wantDelete is set.
  void Empty(bool wantDelete = false)
  {
    if (wantDelete)
      for (int i = GetSize() - 1; i >= 0; --i)
      {
        T* p = mBuf.Get()[i];
        mBuf.Resize(i);
        delete p;
      }
    mBuf.Resize(0);
  }

private:
  WDL_TypedBuf<T*> mBuf;
};
