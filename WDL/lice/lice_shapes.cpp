// Arcs (pieces of the circle clipped to each quarter) and rounded rectangles.
#include "lice_shape_ops.h"

using namespace lice_detail;

namespace
{
constexpr double kPi = 3.14159265358979323846;
constexpr double kTwoPi = 2.0 * kPi;
constexpr double kQuarter = kPi / 2.0;
constexpr int64_t kCoordLimit = int64_t(1) << 30;

int RoundToPixel(double v) { return (int)ClampTrunc(std::floor(v + 0.5), -kCoordLimit, kCoordLimit); }

// One piece of an arc inside a single quarter: the circle clipped to the box of its two ends,
// widened by one pixel (the anti-aliased outside) except towards the centre row or column.
void ArcPiece(const Target& t, float cx, float cy, float r, double a0, double a1, LICE_pixel color,
              float alpha, int mode, bool aa)
{
  const int x0 = RoundToPixel(cx + r * std::sin(a0)), x1 = RoundToPixel(cx + r * std::sin(a1));
  const int y0 = RoundToPixel(cy - r * std::cos(a0)), y1 = RoundToPixel(cy - r * std::cos(a1));
  const int icx = RoundToPixel(cx), icy = RoundToPixel(cy);
  const int xmax = std::max(x0, x1), ymax = std::max(y0, y1);
  const int clip[4] = {std::max(std::min(x0, x1), 0), std::max(std::min(y0, y1), 0),
                       std::min(xmax + (xmax == icx ? 1 : 2), t.w),
                       std::min(ymax + (ymax == icy ? 1 : 2), t.h)};
  CircleMem(t, cx, cy, r, color, alpha, mode, aa, false, false, clip);
}
}  // namespace

void LICE_Arc(LICE_IBitmap* dest, float cx, float cy, float r, float minAngle, float maxAngle,
              LICE_pixel color, float alpha, int mode, bool aa)
{
  Target t;
  if (!GetTarget(dest, t) || !std::isfinite(cx) || !std::isfinite(cy) || !(r >= 0.0f)) return;
  if (std::isnan(minAngle) || std::isnan(maxAngle)) return;
  double a0 = minAngle, a1 = maxAngle;
  if (t.flipped)
  {
    cy = t.h - 1 - cy;
    a0 = kPi - a0;
    a1 = kPi - a1;
  }
  if (a0 > a1) std::swap(a0, a1);
  const int full[4] = {0, 0, t.w, t.h};
  if (a1 - a0 >= kTwoPi)
  {
    CircleMem(t, cx, cy, r, color, alpha, mode, aa, false, true, full);
    return;
  }
  if (!std::isfinite(a0) || !std::isfinite(a1)) return;
  if (std::fabs(a0) >= kTwoPi || std::fabs(a1) >= kTwoPi)
  {
    const double shift = a0 - std::fmod(a0, kTwoPi);
    a0 -= shift;
    a1 -= shift;
  }
  for (double k = std::floor(a0 / kQuarter), s = a0;; ++k)
  {
    const double e = std::min(a1, (k + 1.0) * kQuarter);
    if (e > s || a0 == a1) ArcPiece(t, cx, cy, r, s, e, color, alpha, mode, aa);
    if (e >= a1) break;
    s = e;
  }
}

void LICE_RoundRect(LICE_IBitmap* dest, float x, float y, float w, float h, int cornerradius,
                    LICE_pixel color, float alpha, int mode, bool aa)
{
  if (!std::isfinite(x) || !std::isfinite(y) || !std::isfinite(w) || !std::isfinite(h)) return;
  // Far beyond any bitmap; keeps every sum below within int.
  const float lim = (float)(1 << 29);
  x = std::clamp(x, -lim, lim);
  y = std::clamp(y, -lim, lim);
  w = std::clamp(w, -lim, lim);
  h = std::clamp(h, -lim, lim);
  const float r = std::floor(std::min({(float)cornerradius, w / 2, h / 2}));
  if (cornerradius <= 0 || r < 2)
  {
    LICE_DrawRect(dest, (int)x, (int)y, (int)w, (int)h, color, alpha, mode);
    return;
  }
  LICE_Line(dest, (int)(x + r), (int)y, (int)(x + w - r), (int)y, color, alpha, mode, aa);
  LICE_Line(dest, (int)(x + r - 1), (int)(y + h), (int)(x + w - r), (int)(y + h), color, alpha, mode,
            aa);
  LICE_Line(dest, (int)(x + w), (int)(y + r), (int)(x + w), (int)(y + h - r), color, alpha, mode, aa);
  LICE_Line(dest, (int)x, (int)(y + r - 1), (int)x, (int)(y + h - r), color, alpha, mode, aa);
  const float q = (float)kQuarter;
  LICE_Arc(dest, x + r, y + r, r, -q, 0, color, alpha, mode, aa);
  LICE_Arc(dest, x + w - r, y + r, r, 0, q, color, alpha, mode, aa);
  LICE_Arc(dest, x + w - r, y + h - r, r, q, 2 * q, color, alpha, mode, aa);
  LICE_Arc(dest, x + r, y + h - r, r, 2 * q, 3 * q, color, alpha, mode, aa);
}
