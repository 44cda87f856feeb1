// Drawing operations: each translates the framework's colour, rectangle and blend into one call
// of the raster library on the draw bitmap. The raster library clips to the bitmap; float
// coordinates are checked here, since a non-finite one cannot be turned into a pixel.
#include <cmath>

#include "IGraphics.h"

namespace
{
bool Finite(float a, float b = 0.0f, float c = 0.0f, float d = 0.0f, float e = 0.0f)
{
  return std::isfinite(a) && std::isfinite(b) && std::isfinite(c) && std::isfinite(d) && std::isfinite(e);
}

// Rounds a finite coordinate to a pixel, clamped far outside any bitmap but inside int.
int ToPixel(double v)
{
  constexpr double kLimit = 1 << 28;
  if (!(v > -kLimit)) return -(1 << 28);
  if (v > kLimit) return 1 << 28;
  return static_cast<int>(v);
}

LICE_IBitmap* Raster(const IBitmap* bitmap)
{
  return bitmap ? static_cast<LICE_IBitmap*>(bitmap->mData) : nullptr;
}
}  // namespace

int IGraphics::BlendMode(const IChannelBlend* blend)
{
  if (!blend) return LICE_BLIT_USE_ALPHA;
  switch (blend->mMethod)
  {
    case IChannelBlend::kBlendCopy: return LICE_BLIT_MODE_COPY;
    case IChannelBlend::kBlendAdd: return LICE_BLIT_MODE_ADD | LICE_BLIT_USE_ALPHA;
    case IChannelBlend::kBlendDodge: return LICE_BLIT_MODE_DODGE | LICE_BLIT_USE_ALPHA;
    default: return LICE_BLIT_MODE_COPY | LICE_BLIT_USE_ALPHA;
  }
}

bool IGraphics::DrawBitmap(IBitmap* bitmap, IRECT* dest, int srcX, int srcY, const IChannelBlend* blend)
{
  LICE_IBitmap* src = Raster(bitmap);
  if (!src || !dest || !mDrawBitmap) return true;
  const IRECT r = dest->Intersect(mDrawRECT);
  if (r.Empty()) return true;
  LICE_Blit(mDrawBitmap, src, r.L, r.T, srcX + r.L - dest->L, srcY + r.T - dest->T, r.W(), r.H(),
            BlendWeight(blend), BlendMode(blend));
  return true;
}

bool IGraphics::DrawBitmap(IBitmap* bitmap, IRECT* dest, int frame, const IChannelBlend* blend)
{
  if (!bitmap) return true;
  int srcX = 0, srcY = 0;
  if (frame >= 2 && bitmap->N >= 2)
  {
    const double offset = (frame - 1.0) * (bitmap->mFramesAreHorizontal ? bitmap->W : bitmap->H) / bitmap->N + 0.5;
    (bitmap->mFramesAreHorizontal ? srcX : srcY) = ToPixel(offset);
  }
  return DrawBitmap(bitmap, dest, srcX, srcY, blend);
}

bool IGraphics::DrawRotatedBitmap(IBitmap* bitmap, int destCtrX, int destCtrY, double angle, int yOffset,
                                  const IChannelBlend* blend)
{
  LICE_IBitmap* src = Raster(bitmap);
  if (!src || !mDrawBitmap || !std::isfinite(angle)) return true;
  const int W = bitmap->W, H = bitmap->H;
  const int mode = LICE_BLIT_FILTER_BILINEAR | BlendMode(blend);
  LICE_RotatedBlit(mDrawBitmap, src, destCtrX - W / 2, destCtrY - H / 2, W, H, 0.0f, 0.0f, static_cast<float>(W),
                   static_cast<float>(H), static_cast<float>(angle), false, BlendWeight(blend), mode, 0.0f,
                   static_cast<float>(yOffset));
  return true;
}

bool IGraphics::DrawRotatedMask(IBitmap* base, IBitmap* mask, IBitmap* top, int x, int y, double angle,
                                const IChannelBlend* blend)
{
  LICE_IBitmap *baseSrc = Raster(base), *maskSrc = Raster(mask), *topSrc = Raster(top);
  if (!baseSrc || !mDrawBitmap || !std::isfinite(angle)) return true;
  if (!mTmpBitmap) mTmpBitmap = new LICE_MemBitmap(0, 0, 4);
  const int W = base->W, H = base->H;
  LICE_Copy(mTmpBitmap, baseSrc);
  LICE_ClearRect(mTmpBitmap, 0, 0, W, H, 0xFFFFFF, 0);
  const float radians = static_cast<float>(angle * 3.141592653589793 / 180.0);
  const float xCentre = (W & 1) ? -0.5f : 0.0f;
  const float fW = static_cast<float>(W), fH = static_cast<float>(H);
  if (maskSrc)
    LICE_RotatedBlit(mTmpBitmap, maskSrc, 0, 0, W, H, 0.0f, 0.0f, fW, fH, radians, true, 1.0f,
                     LICE_BLIT_MODE_ADD | LICE_BLIT_FILTER_BILINEAR | LICE_BLIT_USE_ALPHA, xCentre, 0.0f);
  if (topSrc)
    LICE_RotatedBlit(mTmpBitmap, topSrc, 0, 0, W, H, 0.0f, 0.0f, fW, fH, radians, true, 1.0f,
                     LICE_BLIT_MODE_COPY | LICE_BLIT_FILTER_BILINEAR | LICE_BLIT_USE_ALPHA, xCentre, 0.0f);
  IBitmap composed(mTmpBitmap, W, H);
  IRECT dest(x, y, x + W, y + H);
  return DrawBitmap(&composed, &dest, 0, 0, blend);
}

bool IGraphics::DrawPoint(const IColor* color, float x, float y, const IChannelBlend* blend, bool)
{
  if (!color || !Finite(x, y)) return true;
  LICE_PutPixel(mDrawBitmap, ToPixel(x + 0.5f), ToPixel(y + 0.5f), color->ToPixel(), BlendWeight(blend),
                BlendMode(blend));
  return true;
}

bool IGraphics::ForcePixel(const IColor* color, int x, int y)
{
  if (!color || !mDrawBitmap || x < 0 || y < 0 || x >= mDrawBitmap->getWidth() || y >= mDrawBitmap->getHeight())
    return true;
  LICE_pixel* bits = mDrawBitmap->getBits();
  if (bits) bits[static_cast<long>(y) * mDrawBitmap->getRowSpan() + x] = color->ToPixel();
  return true;
}

bool IGraphics::DrawLine(const IColor* color, float x1, float y1, float x2, float y2, const IChannelBlend* blend,
                         bool aa)
{
  if (!color || !Finite(x1, y1, x2, y2)) return true;
  LICE_Line(mDrawBitmap, ToPixel(x1), ToPixel(y1), ToPixel(x2), ToPixel(y2), color->ToPixel(), BlendWeight(blend),
            BlendMode(blend), aa);
  return true;
}

bool IGraphics::DrawArc(const IColor* color, float cx, float cy, float r, float minAngle, float maxAngle,
                        const IChannelBlend* blend, bool aa)
{
  if (!color || !Finite(cx, cy, r, minAngle, maxAngle)) return true;
  LICE_Arc(mDrawBitmap, cx, cy, r, minAngle, maxAngle, color->ToPixel(), BlendWeight(blend), BlendMode(blend), aa);
  return true;
}

bool IGraphics::DrawCircle(const IColor* color, float cx, float cy, float r, const IChannelBlend* blend, bool aa)
{
  if (!color || !Finite(cx, cy, r)) return true;
  LICE_Circle(mDrawBitmap, cx, cy, r, color->ToPixel(), BlendWeight(blend), BlendMode(blend), aa);
  return true;
}

bool IGraphics::RoundRect(const IColor* color, IRECT* r, const IChannelBlend* blend, int cornerRadius, bool aa)
{
  if (!color || !r) return true;
  LICE_RoundRect(mDrawBitmap, static_cast<float>(r->L), static_cast<float>(r->T), static_cast<float>(r->W()),
                 static_cast<float>(r->H()), cornerRadius, color->ToPixel(), BlendWeight(blend), BlendMode(blend), aa);
  return true;
}

bool IGraphics::FillRoundRect(const IColor* color, IRECT* r, const IChannelBlend* blend, int cr, bool aa)
{
  if (!color || !r) return true;
  const LICE_pixel pixel = color->ToPixel();
  const float weight = BlendWeight(blend);
  const int mode = BlendMode(blend);
  LICE_FillRect(mDrawBitmap, r->L + cr, r->T, r->W() - 2 * cr, r->H(), pixel, weight, mode);
  LICE_FillRect(mDrawBitmap, r->L, r->T + cr, cr, r->H() - 2 * cr, pixel, weight, mode);
  LICE_FillRect(mDrawBitmap, r->R - cr, r->T + cr, cr, r->H() - 2 * cr, pixel, weight, mode);
  const float radius = static_cast<float>(cr);
  const float left = static_cast<float>(r->L + cr), right = static_cast<float>(r->R - cr - 1);
  const float top = static_cast<float>(r->T + cr), bottom = static_cast<float>(r->B - cr - 1);
  LICE_FillCircle(mDrawBitmap, left, top, radius, pixel, weight, mode, aa);
  LICE_FillCircle(mDrawBitmap, right, bottom, radius, pixel, weight, mode, aa);
  LICE_FillCircle(mDrawBitmap, right, top, radius, pixel, weight, mode, aa);
  LICE_FillCircle(mDrawBitmap, left, bottom, radius, pixel, weight, mode, aa);
  return true;
}

bool IGraphics::FillIRect(const IColor* color, IRECT* r, const IChannelBlend* blend)
{
  if (!color || !r) return true;
  LICE_FillRect(mDrawBitmap, r->L, r->T, r->W(), r->H(), color->ToPixel(), BlendWeight(blend), BlendMode(blend));
  return true;
}

bool IGraphics::FillCircle(const IColor* color, int cx, int cy, float r, const IChannelBlend* blend, bool aa)
{
  if (!color || !Finite(r)) return true;
  LICE_FillCircle(mDrawBitmap, static_cast<float>(cx), static_cast<float>(cy), r, color->ToPixel(),
                  BlendWeight(blend), BlendMode(blend), aa);
  return true;
}

bool IGraphics::FillTriangle(const IColor* color, int x1, int y1, int x2, int y2, int x3, int y3,
                             IChannelBlend* blend)
{
  if (!color) return true;
  LICE_FillTriangle(mDrawBitmap, x1, y1, x2, y2, x3, y3, color->ToPixel(), BlendWeight(blend), BlendMode(blend));
  return true;
}

bool IGraphics::FillIConvexPolygon(const IColor* color, int* x, int* y, int npoints, const IChannelBlend* blend)
{
  if (!color || !x || !y || npoints < 1) return true;
  LICE_FillConvexPolygon(mDrawBitmap, x, y, npoints, color->ToPixel(), BlendWeight(blend), BlendMode(blend));
  return true;
}

bool IGraphics::DrawRect(const IColor* color, IRECT* r)
{
  if (!color || !r) return true;
  const LICE_pixel pixel = color->ToPixel();
  LICE_Line(mDrawBitmap, r->L, r->T, r->R, r->T, pixel, 1.0f, 0, false);
  LICE_Line(mDrawBitmap, r->L, r->B, r->R, r->B, pixel, 1.0f, 0, false);
  LICE_Line(mDrawBitmap, r->L, r->T, r->L, r->B, pixel, 1.0f, 0, false);
  LICE_Line(mDrawBitmap, r->R, r->T, r->R, r->B, pixel, 1.0f, 0, false);
  return true;
}

bool IGraphics::DrawVerticalLine(const IColor* color, int xi, int yLo, int yHi)
{
  if (color) LICE_Line(mDrawBitmap, xi, yLo, xi, yHi, color->ToPixel(), 1.0f, 0, false);
  return true;
}

bool IGraphics::DrawHorizontalLine(const IColor* color, int yi, int xLo, int xHi)
{
  if (color) LICE_Line(mDrawBitmap, xLo, yi, xHi, yi, color->ToPixel(), 1.0f, 0, false);
  return true;
}

namespace
{
float Fraction(float f)
{
  return f > 0.0f ? (f < 1.0f ? f : 1.0f) : 0.0f;  // NaN reads as 0
}
}  // namespace

bool IGraphics::DrawVerticalLine(const IColor* color, IRECT* r, float x)
{
  if (!r) return true;
  const int xi = r->L + ToPixel(r->W() * static_cast<double>(Fraction(x)));
  return DrawVerticalLine(color, xi, r->T, r->B);
}

bool IGraphics::DrawHorizontalLine(const IColor* color, IRECT* r, float y)
{
  if (!r) return true;
  const int yi = r->B - ToPixel(r->H() * static_cast<double>(Fraction(y)));
  return DrawHorizontalLine(color, yi, r->L, r->R);
}

bool IGraphics::DrawRadialLine(const IColor* color, float cx, float cy, float angle, float rMin, float rMax,
                               const IChannelBlend* blend, bool aa)
{
  const float s = std::sin(angle), c = std::cos(angle);
  return DrawLine(color, cx + rMin * s, cy - rMin * c, cx + rMax * s, cy - rMax * c, blend, aa);
}

IColor IGraphics::GetPoint(int x, int y)
{
  if (!mDrawBitmap || x < 0 || y < 0 || x >= mDrawBitmap->getWidth() || y >= mDrawBitmap->getHeight())
    return COLOR_TRANSPARENT;
  const LICE_pixel p = LICE_GetPixel(mDrawBitmap, x, y);
  return IColor(static_cast<int>(LICE_GETA(p)), static_cast<int>(LICE_GETR(p)), static_cast<int>(LICE_GETG(p)),
                static_cast<int>(LICE_GETB(p)));
}
