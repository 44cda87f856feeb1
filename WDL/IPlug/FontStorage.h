#pragma once
// The process-wide store of cached fonts shared by every editor, keyed by a text style's size,
// orientation, style and exact face name (colour, alignment and quality are not part of the
// key: styles that differ only there share the first font made). The store owns its fonts and
// deletes them when the process ends.
//
// Threads: any thread; every operation holds the store's recursive mutex. Not real-time safe.

#include "IPlugStructs.h"
#include "WDL_Mutex.h"
#include "WDL_PtrList.h"

class LICE_CachedFont;

class FontStorage
{
public:
  // The one store of the process, made on first use.
  static FontStorage& Instance();

  // The font stored for the text style's key, or null.
  LICE_CachedFont* Find(const IText* text);
  // Takes ownership; false when the list could not grow (the caller keeps the font).
  bool Add(const IText* text, LICE_CachedFont* font);
  int Size();

  ~FontStorage();

private:
  struct Entry
  {
    int mSize, mOrientation, mStyle;
    char mFace[sizeof(IText::mFont)];
    LICE_CachedFont* mFont;
  };

  FontStorage() = default;

  WDL_Mutex mMutex;
  WDL_PtrList<Entry> mEntries;
};
