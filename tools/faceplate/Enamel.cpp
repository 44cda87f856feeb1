#include "Enamel.h"

#include <cmath>

namespace faceplate
{

namespace
{
double Hash(int x, int y, unsigned seed)
{
  unsigned h = (unsigned)x * 374761393u + (unsigned)y * 668265263u + seed * 2246822519u;
  h = (h ^ (h >> 13)) * 1274126177u;
  h ^= h >> 16;
  return (h & 0xFFFF) / 65535.0;
}
double Smooth(double t) { return t * t * (3.0 - 2.0 * t); }
}  // namespace

double ValueNoise(double x, double y, double cell, unsigned seed)
{
  const double fx = x / cell, fy = y / cell;
  const int ix = (int)std::floor(fx), iy = (int)std::floor(fy);
  const double tx = Smooth(fx - ix), ty = Smooth(fy - iy);
  const double a = Hash(ix, iy, seed), b = Hash(ix + 1, iy, seed);
  const double c = Hash(ix, iy + 1, seed), d = Hash(ix + 1, iy + 1, seed);
  return a + (b - a) * tx + (c - a) * ty + (a - b - c + d) * tx * ty;
}

Colour EnamelAt(double x, double y, int w, int h)
{
  const Colour top = Rgb(112, 128, 118), bottom = Rgb(92, 107, 98);
  Colour c = Mix(top, bottom, y / h);
  // Hammertone: soft dimples of two sizes, and a faint grain.
  const double dimples = 0.6 * ValueNoise(x, y, 7.0, 1) + 0.4 * ValueNoise(x, y, 3.0, 2) - 0.5;
  const double grain = ValueNoise(x, y, 1.0, 3) - 0.5;
  c = Scale(c, 1.0 + 0.05 * dimples + 0.018 * grain);
  // Rolled edges: bright along the top and left, dark along the bottom and right.
  const double edge = 3.0;
  const double left = x, right = w - x, upper = y, lower = h - y;
  double k = 0.0;
  if (upper < edge) k += 0.22 * (1.0 - upper / edge);
  if (left < edge) k += 0.12 * (1.0 - left / edge);
  if (lower < edge) k -= 0.35 * (1.0 - lower / edge);
  if (right < edge) k -= 0.22 * (1.0 - right / edge);
  return k >= 0 ? Mix(c, Rgb(235, 240, 236), k) : Mix(c, Rgb(0, 0, 0), -k);
}

}  // namespace faceplate
