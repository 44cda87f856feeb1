#include "FontStorage.h"

#include <cstring>

#include "lice_text.h"

FontStorage& FontStorage::Instance()
{
  static FontStorage storage;
  return storage;
}

FontStorage::~FontStorage()
{
  for (int i = mEntries.GetSize() - 1; i >= 0; --i) delete mEntries.Get(i)->mFont;
  mEntries.Empty(true);
}

LICE_CachedFont* FontStorage::Find(const IText* text)
{
  WDL_MutexLock lock(&mMutex);
  for (int i = 0; i < mEntries.GetSize(); ++i)
  {
    const Entry* e = mEntries.Get(i);
    if (e->mSize == text->mSize && e->mOrientation == text->mOrientation && e->mStyle == text->mStyle &&
        std::strncmp(e->mFace, text->mFont, sizeof(e->mFace)) == 0)
      return e->mFont;
  }
  return nullptr;
}

bool FontStorage::Add(const IText* text, LICE_CachedFont* font)
{
  auto* e = new Entry{text->mSize, text->mOrientation, text->mStyle, {}, font};
  std::memcpy(e->mFace, text->mFont, sizeof(e->mFace));
  e->mFace[sizeof(e->mFace) - 1] = 0;
  WDL_MutexLock lock(&mMutex);
  if (mEntries.Add(e)) return true;
  delete e;
  return false;
}

int FontStorage::Size()
{
  WDL_MutexLock lock(&mMutex);
  return mEntries.GetSize();
}
