#pragma once
// The process-wide store of raster bitmaps shared by every editor: images loaded by resource id
// (one bitmap per id, handed to every editor that asks) and bitmaps handed over with id -1
// (retained, scaled or cropped ones, private to whoever made them). The store owns every bitmap
// in it and deletes them when the process ends.
//
// Threads: any thread; every operation holds the store's recursive mutex. Not real-time safe.

#include "WDL_Mutex.h"
#include "WDL_PtrList.h"

class LICE_IBitmap;

class BitmapStorage
{
public:
  static constexpr int kPrivateId = -1;

  // The one store of the process, made on first use.
  static BitmapStorage& Instance();

  // Takes ownership. A bitmap already stored is not stored twice. False when the list could not
  // grow (the caller keeps the bitmap).
  bool Add(LICE_IBitmap* bitmap, int id = kPrivateId);
  // The first bitmap stored under id, or null.
  LICE_IBitmap* Find(int id);
  // Deletes bitmap when it is stored as private (id -1). Shared bitmaps, loaded by id, stay:
  // other editors hold them. Returns whether it was deleted.
  bool RemoveIfPrivate(LICE_IBitmap* bitmap);
  int Size();

  ~BitmapStorage();

private:
  struct Entry
  {
    int mId;
    LICE_IBitmap* mBitmap;
  };

  BitmapStorage() = default;
  int IndexOf(const LICE_IBitmap* bitmap) const;

  WDL_Mutex mMutex;
  WDL_PtrList<Entry> mEntries;
};
