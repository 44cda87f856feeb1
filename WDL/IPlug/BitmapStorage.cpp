#include "BitmapStorage.h"

#include "lice.h"

BitmapStorage& BitmapStorage::Instance()
{
  static BitmapStorage storage;
  return storage;
}

BitmapStorage::~BitmapStorage()
{
  for (int i = mEntries.GetSize() - 1; i >= 0; --i) delete mEntries.Get(i)->mBitmap;
  mEntries.Empty(true);
}

int BitmapStorage::IndexOf(const LICE_IBitmap* bitmap) const
{
  for (int i = 0; i < mEntries.GetSize(); ++i)
    if (mEntries.Get(i)->mBitmap == bitmap) return i;
  return -1;
}

bool BitmapStorage::Add(LICE_IBitmap* bitmap, int id)
{
  if (!bitmap) return false;
  WDL_MutexLock lock(&mMutex);
  if (IndexOf(bitmap) >= 0) return true;
  auto* entry = new Entry{id, bitmap};
  if (mEntries.Add(entry)) return true;
  delete entry;
  return false;
}

LICE_IBitmap* BitmapStorage::Find(int id)
{
  WDL_MutexLock lock(&mMutex);
  for (int i = 0; i < mEntries.GetSize(); ++i)
    if (mEntries.Get(i)->mId == id) return mEntries.Get(i)->mBitmap;
  return nullptr;
}

bool BitmapStorage::RemoveIfPrivate(LICE_IBitmap* bitmap)
{
  WDL_MutexLock lock(&mMutex);
  const int idx = IndexOf(bitmap);
  if (idx < 0 || mEntries.Get(idx)->mId != kPrivateId) return false;
  delete mEntries.Get(idx)->mBitmap;
  mEntries.Delete(idx, true);
  return true;
}

int BitmapStorage::Size()
{
  WDL_MutexLock lock(&mMutex);
  return mEntries.GetSize();
}
