#include "SwellContext.h"

#include <climits>
#include <cstdlib>
#include <new>

HDC SWELL_CreateMemContext(HDC, int w, int h)
{
  if (w < 1 || h < 1) return nullptr;
  if ((long long)w * h > INT_MAX / 4) return nullptr;
  auto* bits = static_cast<unsigned int*>(std::calloc((size_t)w * h, sizeof(unsigned int)));
  if (!bits) return nullptr;
  HDC ctx = new (std::nothrow) HDC__;
  if (!ctx)
  {
    std::free(bits);
    return nullptr;
  }
  ctx->bits = bits;
  ctx->width = w;
  ctx->height = h;
  return ctx;
}

void SWELL_DeleteGfxContext(HDC ctx)
{
  if (!ctx) return;
  std::free(ctx->bits);
  delete ctx;
}

void* SWELL_GetCtxFrameBuffer(HDC ctx)
{
  return ctx ? ctx->bits : nullptr;
}
