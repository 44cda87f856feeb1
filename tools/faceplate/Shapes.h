#pragma once
// Signed distances of simple shapes (negative inside, in pixels) and what the painters make of
// them: anti-aliased coverage, soft shadows and bevelled surface normals. A shape is any callable
// double(Vec2); distances need only be exact near the edge.

#include <algorithm>
#include <cmath>

namespace faceplate
{

struct Vec2
{
  double x = 0, y = 0;
};
inline Vec2 operator+(Vec2 a, Vec2 b) { return {a.x + b.x, a.y + b.y}; }
inline Vec2 operator-(Vec2 a, Vec2 b) { return {a.x - b.x, a.y - b.y}; }
inline Vec2 operator*(Vec2 a, double k) { return {a.x * k, a.y * k}; }
inline double Dot(Vec2 a, Vec2 b) { return a.x * b.x + a.y * b.y; }
inline double Length(Vec2 a) { return std::sqrt(Dot(a, a)); }

// Unit vector of a pointer angle (0 up, clockwise positive; y grows downwards).
inline Vec2 Direction(double angle) { return {std::sin(angle), -std::cos(angle)}; }
// `p` expressed in a frame turned by `angle` about `centre` (its y axis along the pointer).
inline Vec2 Unrotate(Vec2 p, Vec2 centre, double angle)
{
  const Vec2 d = p - centre, up = Direction(angle), right = {-up.y, up.x};
  return {Dot(d, right), -Dot(d, up)};
}

inline double Circle(Vec2 p, Vec2 centre, double r) { return Length(p - centre) - r; }
// A stroke of radius r around the segment a-b (round ends).
inline double Capsule(Vec2 p, Vec2 a, Vec2 b, double r)
{
  const Vec2 ab = b - a, ap = p - a;
  const double t = std::clamp(Dot(ap, ab) / Dot(ab, ab), 0.0, 1.0);
  return Length(ap - ab * t) - r;
}
// A rectangle of half-size `half` centred on `centre` with corners rounded by r.
inline double RoundBox(Vec2 p, Vec2 centre, Vec2 half, double r)
{
  const double qx = std::fabs(p.x - centre.x) - half.x + r, qy = std::fabs(p.y - centre.y) - half.y + r;
  const double outside = Length({std::max(qx, 0.0), std::max(qy, 0.0)});
  return outside + std::min(std::max(qx, qy), 0.0) - r;
}
// The hull of a circle of radius ra at a and one of radius rb at b: a tapered stroke, a teardrop.
double UnevenCapsule(Vec2 p, Vec2 a, double ra, Vec2 b, double rb);

inline double Union(double a, double b) { return std::min(a, b); }
inline double Cut(double a, double b) { return std::max(a, -b); }  // a without b

// Coverage of a pixel by a shape whose edge is `d` away from its centre.
inline double Coverage(double d) { return std::clamp(0.5 - d, 0.0, 1.0); }
// A soft edge: 1 well inside, 0 beyond `blur` outside, smooth in between.
inline double Soft(double d, double blur)
{
  const double t = std::clamp(0.5 - d / (2.0 * blur), 0.0, 1.0);
  return t * t * (3.0 - 2.0 * t);
}

// The outward gradient of a shape at p (unit length where the distance is well formed).
template <class Shape>
Vec2 Gradient(const Shape& shape, Vec2 p)
{
  const double e = 0.25;
  const Vec2 g = {shape({p.x + e, p.y}) - shape({p.x - e, p.y}), shape({p.x, p.y + e}) - shape({p.x, p.y - e})};
  const double len = Length(g);
  return len > 0 ? g * (1.0 / len) : Vec2{};
}

}  // namespace faceplate
