// Bitmaps loaded once per process and shared by every editor through the bitmap storage.
#include <cstring>

#include "BitmapStorage.h"
#include "IGraphics.h"

LICE_IBitmap* IGraphics::OSLoadBitmap(int, const char* name)
{
  if (!name || !*name) return nullptr;
  const char* file = std::strrchr(name, '/');
  file = file ? file + 1 : name;
  WDL_String path;
  ResourcePath(&path);
  if (path.GetLength() && path.Get()[path.GetLength() - 1] != '/') path.Append("/");
  path.Append(file);
  return LICE_LoadPNG(path.Get());
}

IBitmap IGraphics::LoadIBitmap(int id, const char* name, int nStates, bool framesAreHorizontal)
{
  BitmapStorage& storage = BitmapStorage::Instance();
  LICE_IBitmap* bitmap = storage.Find(id);
  if (!bitmap)
  {
    bitmap = OSLoadBitmap(id, name);
    if (!bitmap) return IBitmap();
    if (!storage.Add(bitmap, id))
    {
      delete bitmap;
      return IBitmap();
    }
  }
  return IBitmap(bitmap, bitmap->getWidth(), bitmap->getHeight(), nStates, framesAreHorizontal);
}

void IGraphics::RetainBitmap(IBitmap* bitmap)
{
  if (bitmap && bitmap->mData) BitmapStorage::Instance().Add(static_cast<LICE_IBitmap*>(bitmap->mData));
}

void IGraphics::ReleaseBitmap(IBitmap* bitmap)
{
  if (bitmap && bitmap->mData && BitmapStorage::Instance().RemoveIfPrivate(static_cast<LICE_IBitmap*>(bitmap->mData)))
    *bitmap = IBitmap();
}

IBitmap IGraphics::ScaleBitmap(IBitmap* src, int w, int h)
{
  LICE_IBitmap* source = src ? static_cast<LICE_IBitmap*>(src->mData) : nullptr;
  if (!source || w <= 0 || h <= 0) return IBitmap();
  auto* scaled = new LICE_MemBitmap(w, h, 4);
  if (scaled->getWidth() != w || scaled->getHeight() != h || !BitmapStorage::Instance().Add(scaled))
  {
    delete scaled;
    return IBitmap();
  }
  LICE_ScaledBlit(scaled, source, 0, 0, w, h, 0.0f, 0.0f, static_cast<float>(src->W), static_cast<float>(src->H),
                  1.0f, LICE_BLIT_FILTER_BILINEAR);
  return IBitmap(scaled, w, h, src->N, src->mFramesAreHorizontal);
}

IBitmap IGraphics::CropBitmap(IBitmap* src, IRECT* r)
{
  LICE_IBitmap* source = src ? static_cast<LICE_IBitmap*>(src->mData) : nullptr;
  if (!source || !r || r->W() <= 0 || r->H() <= 0) return IBitmap();
  const int w = r->W(), h = r->H();
  auto* cropped = new LICE_MemBitmap(w, h, 4);
  if (cropped->getWidth() != w || cropped->getHeight() != h || !BitmapStorage::Instance().Add(cropped))
  {
    delete cropped;
    return IBitmap();
  }
  LICE_Clear(cropped, 0);  // parts of the area outside the source stay transparent
  LICE_Blit(cropped, source, 0, 0, r->L, r->T, w, h, 1.0f, LICE_BLIT_MODE_COPY);
  return IBitmap(cropped, w, h, src->N, src->mFramesAreHorizontal);
}
