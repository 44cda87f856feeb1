#include "SwellContext.h"

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <new>
#include <utility>

#include "SwellFont.h"

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
  ctx->clip = {0, 0, w, h};
  return ctx;
}

void SWELL_DeleteGfxContext(HDC ctx)
{
  if (!ctx) return;
  SelectObject(ctx, nullptr);
  std::free(ctx->bits);
  delete ctx;
}

void* SWELL_GetCtxFrameBuffer(HDC ctx)
{
  return ctx ? ctx->bits : nullptr;
}

COLORREF SetTextColor(HDC ctx, COLORREF colour)
{
  if (!ctx) return 0;
  return std::exchange(ctx->textColour, colour & 0xFFFFFF);
}

COLORREF GetTextColor(HDC ctx)
{
  return ctx ? ctx->textColour : 0;
}

COLORREF SetBkColor(HDC ctx, COLORREF colour)
{
  if (!ctx) return 0;
  return std::exchange(ctx->bkColour, colour & 0xFFFFFF);
}

int SetBkMode(HDC ctx, int mode)
{
  if (!ctx || (mode != TRANSPARENT && mode != OPAQUE)) return 0;
  return std::exchange(ctx->bkMode, mode);
}

void SWELL_PushClipRegion(HDC ctx)
{
  if (ctx) ctx->clipStack.push_back(ctx->clip);
}

void SWELL_SetClipRegion(HDC ctx, const RECT* r)
{
  if (!ctx) return;
  RECT& c = ctx->clip;
  if (!r)
  {
    c = {0, 0, ctx->width, ctx->height};
    return;
  }
  c.left = std::max(c.left, r->left);
  c.top = std::max(c.top, r->top);
  c.right = std::max(c.left, std::min(c.right, r->right));
  c.bottom = std::max(c.top, std::min(c.bottom, r->bottom));
}

void SWELL_PopClipRegion(HDC ctx)
{
  if (!ctx || ctx->clipStack.empty()) return;
  ctx->clip = ctx->clipStack.back();
  ctx->clipStack.pop_back();
}

bool SWELL_GetClipRegion(HDC ctx, RECT* r)
{
  if (!r) return false;
  *r = ctx ? ctx->clip : RECT{};
  return ctx != nullptr;
}
