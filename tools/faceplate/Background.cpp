#include "Background.h"

#include "Enamel.h"
#include "Lettering.h"
#include "PanelLayout.h"
#include "Parts.h"

#include "swell.h"

namespace faceplate
{

namespace
{
const Colour kPaint = Rgb(242, 238, 224);  // silk-screen white, a little warm
constexpr double kTitleY = 170.0;          // one line of titles under the controls

Vec2 Centre(int image) { return {PanelCentreX(Place(image)), PanelCentreY(Place(image))}; }

// A printed stroke from radius r0 to r1 along `angle`.
void Tick(Surface& s, Vec2 c, double angle, double r0, double r1, double width)
{
  const Vec2 dir = Direction(angle), a = c + dir * r0, b = c + dir * r1;
  s.Fill(std::min(a.x, b.x) - 3, std::min(a.y, b.y) - 3, std::max(a.x, b.x) + 3, std::max(a.y, b.y) + 3,
         [&](double x, double y) { return Paint{kPaint, Coverage(Capsule({x, y}, a, b, width * 0.5))}; });
}

// A printed arc of radius r and the given width between two pointer angles.
void Arc(Surface& s, Vec2 c, double r, double from, double to, double width)
{
  s.Fill(c.x - r - 2, c.y - r - 2, c.x + r + 2, c.y + r + 2, [&](double x, double y) {
    const Vec2 d = Vec2{x, y} - c;
    const double angle = std::atan2(d.x, -d.y);
    if (angle < from || angle > to)
    {
      const Vec2 e0 = c + Direction(from) * r, e1 = c + Direction(to) * r;
      const double cap = std::min(Length(Vec2{x, y} - e0), Length(Vec2{x, y} - e1)) - width * 0.5;
      return Paint{kPaint, Coverage(cap)};
    }
    return Paint{kPaint, Coverage(std::fabs(Length(d) - r) - width * 0.5)};
  });
}

// Places a label outside radius `r` along `angle`: its box's nearest side faces the centre.
void LabelAt(Surface& s, const TextMask& text, Vec2 c, double angle, double r)
{
  const Vec2 dir = Direction(angle);
  const double reach = r + std::fabs(dir.x) * text.w * 0.5 + std::fabs(dir.y) * text.h * 0.5;
  Print(s, text, c.x + dir.x * reach, c.y + dir.y * reach, kPaint);
}

// A knob scale: an arc, long ticks at labelled marks, short ones between, each at the angle of
// the frame the editor shows for the mark's value.
void KnobScale(Surface& s, const Lettering& font, int image, const std::vector<ScaleMark>& marks)
{
  const double inner = TickRadius(image), labelR = inner + 9.0;
  const Vec2 c = Centre(image);
  const int frames = Place(image).frames;
  Arc(s, c, inner, KnobAngle(0.0), KnobAngle(1.0), 1.2);
  for (const ScaleMark& m : marks)
  {
    const double angle = KnobAngle(ShownValue(m.value, frames));
    Tick(s, c, angle, inner, inner + (m.label.empty() ? 4.0 : 7.0), m.label.empty() ? 1.2 : 1.8);
    if (!m.label.empty()) LabelAt(s, font.Render(m.label), c, angle, labelR);
  }
}

// An engraved groove from top to bottom: a dark cut with a lit lower-right edge.
void Groove(Surface& s, double x, double y0, double y1)
{
  s.Fill(x - 2, y0, x + 2, y1, [&](double px, double) {
    return Paint{Rgb(0, 0, 0), 0.3 * Coverage(std::fabs(px - x) - 0.5)};
  });
  s.Fill(x - 1, y0, x + 3, y1, [&](double px, double) {
    return Paint{Rgb(255, 255, 255), 0.16 * Coverage(std::fabs(px - x - 1.0) - 0.5)};
  });
}

void Title(Surface& s, const Lettering& font, int image, const char* text)
{
  Print(s, font.Render(text), Centre(image).x, kTitleY, kPaint);
}
}  // namespace

Surface DrawBackground()
{
  Surface s(kPanelW, kPanelH);
  s.Fill(0, 0, kPanelW, kPanelH, [&](double x, double y) { return Paint{EnamelAt(x, y, kPanelW, kPanelH), 1.0}; });

  const Lettering numbers("DejaVu Sans Condensed", 14, FW_BOLD);
  const Lettering titles("DejaVu Sans", 15, FW_BOLD, 2);
  const Lettering small("DejaVu Sans Condensed", 13, FW_BOLD, 1);

  KnobScale(s, numbers, kGainImage, GainScale());
  KnobScale(s, numbers, kOutImage, OutScale());
  KnobScale(s, numbers, kModelImage, ModelScale());

  // HPF selector: a tick and a legend at each of its four positions.
  const char* const hpf[] = {"OFF", "80", "300", "80+300"};
  const Vec2 hc = Centre(kHpfImage);
  for (int i = 0; i < 4; ++i)
  {
    const double angle = SelectorAngle(i, 4);
    Tick(s, hc, angle, TickRadius(kHpfImage), TickRadius(kHpfImage) + 6.0, 1.8);
    LabelAt(s, small.Render(hpf[i]), hc, angle, TickRadius(kHpfImage) + 10.0);
  }
  Arc(s, hc, TickRadius(kHpfImage), SelectorAngle(0, 4), SelectorAngle(3, 4), 1.2);

  // LPF toggle: on is up.
  const Vec2 lc = Centre(kLpfImage);
  Print(s, small.Render("ON"), lc.x, lc.y - 46.0, kPaint);
  Print(s, small.Render("OFF"), lc.x, lc.y + 45.0, kPaint);

  // Grooves between the sections: MODEL | GAIN, meter, OUT | HPF, LPF | BYPASS.
  for (double x : {201.0, 580.0, 979.0}) Groove(s, x, 26.0, 188.0);

  Title(s, titles, kModelImage, "MODEL");
  Title(s, titles, kGainImage, "GAIN dB");
  Title(s, titles, kOutImage, "OUT dB");
  Title(s, titles, kHpfImage, "HPF");
  Title(s, titles, kLpfImage, "LPF");
  Title(s, titles, kBypassImage, "BYPASS");
  Print(s, small.Render("LEVEL"), Centre(kMeterImage).x, kTitleY, kPaint);

  // Maker and product, above the bypass button.
  const double bx = Centre(kBypassImage).x - 4.0;  // clear of the corner screw
  const Lettering product("DejaVu Serif", 30, FW_BOLD);
  const Lettering maker("DejaVu Sans", 12, FW_BOLD, 3);
  Print(s, product.Render("Brelix"), bx, 28.0, kPaint, 0.45);
  Print(s, maker.Render("QUORVANE"), bx, 50.0, kPaint);

  // Corner screws, their slots turned at random-looking fixed angles.
  const double inset = 12.5;
  DrawScrew(s, {inset, inset}, 6.0, 0.6);
  DrawScrew(s, {kPanelW - inset, inset}, 6.0, -0.3);
  DrawScrew(s, {inset, kPanelH - inset}, 6.0, 1.2);
  DrawScrew(s, {kPanelW - inset, kPanelH - inset}, 6.0, 0.15);
  return s;
}

}  // namespace faceplate
