#include "Shapes.h"

namespace faceplate
{

double UnevenCapsule(Vec2 p, Vec2 a, double ra, Vec2 b, double rb)
{
  // In a frame with a at the origin and b on the positive y axis at distance h.
  const Vec2 ab = b - a;
  const double h = Length(ab);
  const Vec2 axis = ab * (1.0 / h), across = {axis.y, -axis.x};
  const Vec2 q = {std::fabs(Dot(p - a, across)), Dot(p - a, axis)};
  const double sb = (ra - rb) / h, ca = std::sqrt(1.0 - sb * sb);
  const double k = Dot(q, {-sb, ca});
  if (k < 0.0) return Length(q) - ra;
  if (k > ca * h) return Length(q - Vec2{0.0, h}) - rb;
  return Dot(q, {ca, sb}) - ra;
}

}  // namespace faceplate
