#include "Parts.h"

namespace faceplate
{

namespace
{

const Colour kBakelite = Rgb(38, 36, 35);
const Colour kIndexWhite = Rgb(240, 236, 222);

// A soft shadow of `shape` cast down and to the right (away from the light).
template <class Shape>
void Shadow(Surface& s, const Shape& shape, Vec2 centre, double reach, double offset, double blur,
            double strength)
{
  const Vec2 shift = {offset * 0.55, offset};
  s.Fill(centre.x - reach, centre.y - reach, centre.x + reach + offset, centre.y + reach + offset * 1.5,
         [&](double x, double y) {
           return Paint{Rgb(0, 0, 0), strength * Soft(shape(Vec2{x, y} - shift), blur)};
         });
}

// Paints a raised shape of one material with a rounded bevel.
template <class Shape, class Albedo>
void Raised(Surface& s, const Shape& shape, Vec2 centre, double reach, double bevel, double slope,
            Material m, Albedo&& albedo)
{
  s.Fill(centre.x - reach, centre.y - reach, centre.x + reach, centre.y + reach, [&](double x, double y) {
    const Vec2 p = {x, y};
    const double d = shape(p);
    if (d > 0.5) return Paint{};
    m.albedo = albedo(p);
    return Paint{Lit(m, BevelNormal(shape, p, bevel, slope)), Coverage(d)};
  });
}

// Fine concentric brushing: a pseudo-random brightness for each radius band.
double Brushing(double radius)
{
  const unsigned band = (unsigned)(radius * 4.0);
  unsigned h = band * 2654435761u;
  h ^= h >> 15;
  h *= 2246822519u;
  h ^= h >> 13;
  return (h & 1023) / 1023.0 - 0.5;
}
}  // namespace

void DrawSkirtedKnob(Surface& s, Vec2 c, double angle)
{
  const double skirtR = 30.0, bodyR = 22.0, capR = 15.0;
  auto skirt = [&](Vec2 p) { return Circle(p, c, skirtR); };
  auto body = [&](Vec2 p) { return Circle(p, c, bodyR); };
  Shadow(s, skirt, c, skirtR + 6, 3.0, 3.5, 0.55);

  Material bakelite{kBakelite, 0.45, 0.55, 0.35, 28.0};
  // The skirt is a shallow cone: its slope catches the light on the upper-left side.
  s.Fill(c.x - skirtR - 1, c.y - skirtR - 1, c.x + skirtR + 1, c.y + skirtR + 1, [&](double x, double y) {
    const Vec2 p = {x, y};
    const double d = skirt(p);
    if (d > 0.5) return Paint{};
    const Vec2 g = Gradient(skirt, p);
    const double edge = std::max(0.0, 2.0 - (-d)) / 2.0;  // rounded rim
    const Vec3 n = Normalise({g.x * (0.45 + 1.4 * edge), g.y * (0.45 + 1.4 * edge), 1.0});
    return Paint{Lit(bakelite, n), Coverage(d)};
  });
  // Index line on the skirt, from the body to the rim.
  const Vec2 dir = Direction(angle);
  auto index = [&](Vec2 p) { return Capsule(p, c + dir * (bodyR + 0.5), c + dir * (skirtR - 2.0), 1.5); };
  s.Fill(c.x - skirtR, c.y - skirtR, c.x + skirtR, c.y + skirtR, [&](double x, double y) {
    return Paint{kIndexWhite, Coverage(index({x, y}))};
  });
  // The body stands above the skirt: a short shadow on the skirt, then a rounded top.
  Shadow(s, body, c, bodyR + 4, 1.5, 1.5, 0.5);
  Raised(s, body, c, bodyR + 1, 5.0, 1.6, Material{kBakelite, 0.42, 0.58, 0.5, 30.0},
         [&](Vec2) { return kBakelite; });
  // Brushed aluminium cap, slightly sunk into the body, with the bow-tie highlight of
  // concentric brushing facing the light.
  auto cap = [&](Vec2 p) { return Circle(p, c, capR); };
  s.Fill(c.x - capR - 1, c.y - capR - 1, c.x + capR + 1, c.y + capR + 1, [&](double x, double y) {
    const Vec2 p = {x, y}, d = p - c;
    const double r = Length(d), cov = Coverage(cap(p));
    if (cov <= 0) return Paint{};
    const Vec2 u = r > 0 ? d * (1.0 / r) : Vec2{0, -1};
    const Vec2 tangent = {-u.y, u.x};
    const double sheen = std::pow(std::fabs(FacingLight(tangent)), 6.0);
    double v = 0.55 + 0.35 * sheen + 0.05 * Brushing(r);
    if (r > capR - 1.6) v *= 0.72 + 0.28 * (0.5 - 0.5 * FacingLight(u));  // chamfered edge
    return Paint{Mix(Rgb(120, 122, 124), Rgb(236, 238, 240), std::clamp(v, 0.0, 1.0)), cov};
  });
  // A short index line on the cap too, so the pointer reads at any angle.
  auto capIndex = [&](Vec2 p) { return Capsule(p, c + dir * 6.0, c + dir * (capR - 2.5), 1.0); };
  s.Fill(c.x - capR, c.y - capR, c.x + capR, c.y + capR, [&](double x, double y) {
    return Paint{Rgb(30, 30, 30), 0.85 * Coverage(capIndex({x, y}))};
  });
}

void DrawChickenHead(Surface& s, Vec2 c, double angle)
{
  const Material bakelite{kBakelite, 0.42, 0.58, 0.45, 26.0};
  const Vec2 dir = Direction(angle);
  // A round skirt under a teardrop pointer.
  auto skirt = [&](Vec2 p) { return Circle(p, c, 21.0); };
  auto pointer = [&](Vec2 p) { return UnevenCapsule(p, c - dir * 9.0, 12.5, c + dir * 30.5, 3.4); };
  auto whole = [&](Vec2 p) { return Union(skirt(p), pointer(p)); };
  const double reach = 37.0;
  Shadow(s, whole, c, reach, 3.5, 3.5, 0.55);
  Raised(s, skirt, c, 22.0, 4.0, 0.9, bakelite, [&](Vec2) { return kBakelite; });
  Shadow(s, pointer, c, reach, 1.5, 1.5, 0.45);
  Raised(s, pointer, c, reach, 6.0, 1.5, bakelite, [&](Vec2) { return kBakelite; });
  // Engraved white line along the nose.
  auto line = [&](Vec2 p) { return Capsule(p, c + dir * 4.0, c + dir * 29.0, 1.3); };
  s.Fill(c.x - reach, c.y - reach, c.x + reach, c.y + reach, [&](double x, double y) {
    return Paint{kIndexWhite, Coverage(line({x, y}))};
  });
}

namespace
{
// Polished chrome seen as a reflection of a bright ceiling: `facing` is how much the surface
// faces up towards the light (-1..1).
Colour Chrome(double facing, double rim)
{
  const double band = std::exp(-(facing - 0.55) * (facing - 0.55) / 0.08);
  const double v = 0.22 + 0.3 * (0.5 + 0.5 * facing) + 0.5 * band;
  return Scale(Mix(Rgb(150, 156, 164), Rgb(255, 255, 255), std::clamp(v - 0.5, 0.0, 1.0)),
               std::clamp(v, 0.0, 1.0) * (1.0 - 0.45 * rim));
}
}  // namespace

void DrawToggle(Surface& s, Vec2 c, bool up)
{
  const Material chrome{Rgb(150, 152, 156), 0.35, 0.6, 0.9, 40.0};
  // Knurled mounting nut and bushing.
  auto nut = [&](Vec2 p) { return Circle(p, c, 15.0); };
  Shadow(s, nut, c, 20.0, 2.0, 2.5, 0.5);
  Raised(s, nut, c, 16.0, 4.0, 1.2, chrome, [&](Vec2 p) {
    const Vec2 d = p - c;
    const double a = std::atan2(d.y, d.x);
    const double knurl = std::fabs(Length(d) - 12.8) < 2.4 ? 0.12 * std::cos(a * 36.0) : 0.0;
    return Scale(Rgb(150, 152, 156), 1.0 + knurl);
  });
  auto bushing = [&](Vec2 p) { return Circle(p, c, 8.5); };
  Raised(s, bushing, c, 10.0, 3.0, 1.4, chrome, [&](Vec2) { return Rgb(165, 167, 170); });
  auto hole = [&](Vec2 p) { return Circle(p, c, 4.0); };
  s.Fill(c.x - 5, c.y - 5, c.x + 5, c.y + 5, [&](double x, double y) {
    return Paint{Rgb(20, 20, 22), Coverage(hole({x, y}))};
  });
  // The bat handle leans towards the top (on) or the bottom (off), widening to a ball end.
  const double tip = 27.0, ballR = 6.2;
  const Vec2 toward = {0.0, up ? -1.0 : 1.0}, tipCentre = c + toward * tip;
  auto lever = [&](Vec2 p) {
    return Union(UnevenCapsule(p, c, 3.6, tipCentre, 5.2), Circle(p, tipCentre, ballR));
  };
  Shadow(s, lever, c + toward * (tip * 0.5), tip * 0.5 + 9.0, 4.0, 3.0, 0.45);
  s.Fill(c.x - 10, c.y - tip - 10, c.x + 10, c.y + tip + 10, [&](double x, double y) {
    const Vec2 p = {x, y};
    const double d = lever(p);
    if (d > 0.5) return Paint{};
    const Vec2 fromTip = p - tipCentre;
    const double rr = Length(fromTip) / ballR;
    if (rr < 1.0)  // the ball: a small sphere
    {
      const Vec3 n = Normalise({fromTip.x / ballR, fromTip.y / ballR, std::sqrt(1.0 - rr * rr)});
      return Paint{Chrome(-n.y * 0.8 - n.x * 0.4 + n.z * 0.3, rr * rr), Coverage(d)};
    }
    // The bar: a cylinder, its surface turning across the width.
    const double along = std::clamp(Dot(p - c, toward) / tip, 0.0, 1.0);
    const double half = 3.6 + 1.6 * along;
    const double t = std::clamp((p.x - c.x) / half, -1.0, 1.0);
    return Paint{Chrome(-t * 0.7 + (up ? 0.35 : -0.1), t * t), Coverage(d)};
  });
}

void DrawLampButton(Surface& s, Vec2 c, double size, Colour hue, bool lit)
{
  const double half = size * 0.5, lensR = size * 0.34;
  auto bezel = [&](Vec2 p) { return RoundBox(p, c, {half, half}, size * 0.16); };
  Shadow(s, bezel, c, half + 6.0, 3.0, 3.0, 0.5);
  Raised(s, bezel, c, half + 1.0, 4.0, 1.3, Material{Rgb(58, 58, 60), 0.45, 0.55, 0.4, 24.0},
         [&](Vec2) { return Rgb(58, 58, 60); });
  // Chrome ring holding the jewel.
  auto ring = [&](Vec2 p) { return Circle(p, c, lensR + 3.0); };
  Raised(s, ring, c, lensR + 4.0, 3.0, 1.6, Material{Rgb(170, 172, 176), 0.35, 0.6, 0.8, 40.0},
         [&](Vec2) { return Rgb(170, 172, 176); });
  // Faceted jewel: a dome whose colour glows from within when lit.
  auto lens = [&](Vec2 p) { return Circle(p, c, lensR); };
  s.Fill(c.x - lensR - 1, c.y - lensR - 1, c.x + lensR + 1, c.y + lensR + 1, [&](double x, double y) {
    const Vec2 p = {x, y}, d = p - c;
    const double cov = Coverage(lens(p));
    if (cov <= 0) return Paint{};
    const double r = std::min(1.0, Length(d) / lensR);
    const Vec3 n = Normalise({d.x / lensR, d.y / lensR, std::sqrt(1.0 - r * r) + 0.2});
    Colour base = lit ? Mix(Mix(hue, Rgb(255, 255, 235), 0.55), hue, r * r) : Scale(hue, 0.28 + 0.1 * (1.0 - r));
    const double facet = 0.06 * std::cos(std::atan2(d.y, d.x) * 8.0) * r;
    base = Scale(base, 1.0 + facet);
    const Colour shaded = Lit(Material{base, lit ? 1.0 : 0.5, lit ? 0.0 : 0.5, 0.7, 60.0}, n);
    return Paint{shaded, cov};
  });
}

void DrawScrew(Surface& s, Vec2 c, double r, double angle)
{
  auto head = [&](Vec2 p) { return Circle(p, c, r); };
  Shadow(s, head, c, r + 3.0, 1.2, 1.5, 0.45);
  Raised(s, head, c, r + 1.0, r * 0.7, 1.3, Material{Rgb(168, 168, 164), 0.4, 0.6, 0.6, 30.0},
         [&](Vec2) { return Rgb(168, 168, 164); });
  const Vec2 dir = Direction(angle);
  auto slot = [&](Vec2 p) { return Capsule(p, c - dir * (r - 1.2), c + dir * (r - 1.2), 0.9); };
  s.Fill(c.x - r, c.y - r, c.x + r, c.y + r, [&](double x, double y) {
    return Paint{Rgb(40, 40, 40), 0.9 * Coverage(slot({x, y}))};
  });
}

}  // namespace faceplate
