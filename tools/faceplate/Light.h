#pragma once
// One light for every image: from the upper left, above the panel. Surfaces are lit with a
// Lambert term and a Blinn highlight, so knobs, screws, lamps and engravings read as parts of
// one object under one lamp.

#include "Shapes.h"
#include "Surface.h"

namespace faceplate
{

struct Vec3
{
  double x = 0, y = 0, z = 1;
};
Vec3 Normalise(Vec3 v);

struct Material
{
  Colour albedo;
  double ambient = 0.35;
  double diffuse = 0.65;
  double specular = 0.0;
  double shininess = 20.0;
};

// The colour of a surface with this normal (z towards the viewer).
Colour Lit(const Material& m, Vec3 normal);
// How strongly a flat direction in the picture faces the light (-1..1): for conical and
// brushed surfaces.
double FacingLight(Vec2 direction);

// Surface normal of a raised shape with a rounded bevel `width` pixels wide whose steepest slope
// (at the very edge) is `slope`; flat (0, 0, 1) further in. A negative slope gives a recess.
template <class Shape>
Vec3 BevelNormal(const Shape& shape, Vec2 p, double width, double slope)
{
  const double depth = -shape(p);
  if (depth >= width) return {0, 0, 1};
  const Vec2 g = Gradient(shape, p);
  const double s = slope * (1.0 - std::max(depth, 0.0) / width);
  return Normalise({g.x * s, g.y * s, 1.0});
}

}  // namespace faceplate
