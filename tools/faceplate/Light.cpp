#include "Light.h"

namespace faceplate
{

namespace
{
const Vec3 kLight = Normalise({-0.45, -0.7, 0.9});
const Vec3 kHalf = Normalise({kLight.x, kLight.y, kLight.z + 1.0});  // viewer straight above
}  // namespace

Vec3 Normalise(Vec3 v)
{
  const double len = std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z);
  return len > 0 ? Vec3{v.x / len, v.y / len, v.z / len} : Vec3{};
}

Colour Lit(const Material& m, Vec3 n)
{
  const double lambert = std::max(0.0, n.x * kLight.x + n.y * kLight.y + n.z * kLight.z);
  const double h = std::max(0.0, n.x * kHalf.x + n.y * kHalf.y + n.z * kHalf.z);
  const double shine = m.specular > 0 ? m.specular * std::pow(h, m.shininess) : 0.0;
  const double k = m.ambient + m.diffuse * lambert;
  return {m.albedo.r * k + shine, m.albedo.g * k + shine, m.albedo.b * k + shine};
}

double FacingLight(Vec2 d)
{
  const double len = std::sqrt(kLight.x * kLight.x + kLight.y * kLight.y);
  return Dot(d, {kLight.x / len, kLight.y / len});
}

}  // namespace faceplate
