#include "Strips.h"

#include "PanelLayout.h"
#include "Parts.h"

namespace faceplate
{

namespace
{
// Draws each frame with `draw(frameSurface, centre, index)` and stacks them.
template <class DrawFrame>
Surface Stack(int image, DrawFrame&& draw)
{
  const ImagePlace& p = Place(image);
  Surface strip(p.frameW, p.frameH * p.frames);
  for (int i = 0; i < p.frames; ++i)
  {
    Surface frame(p.frameW, p.frameH);
    draw(frame, Vec2{FrameCentreX(p), FrameCentreY(p)}, i);
    strip.Draw(frame, 0, i * p.frameH);
  }
  return strip;
}
}  // namespace

Surface DrawKnobStrip(int image)
{
  const int frames = Place(image).frames;
  return Stack(image, [&](Surface& s, Vec2 c, int i) {
    const double angle = KnobAngle(FrameShowsValue(i, frames));
    if (image == kModelImage)
      DrawChickenHead(s, c, angle);
    else
      DrawSkirtedKnob(s, c, angle);
  });
}

Surface DrawSelectorStrip(int image)
{
  const int frames = Place(image).frames;
  return Stack(image, [&](Surface& s, Vec2 c, int i) { DrawChickenHead(s, c, SelectorAngle(i, frames)); });
}

Surface DrawToggleStrip(int image)
{
  return Stack(image, [&](Surface& s, Vec2 c, int i) { DrawToggle(s, c, i == 1); });
}

Surface DrawLampStrip(int image, Colour hue)
{
  const double size = Place(image).frameW < 60 ? 30.0 : 44.0;
  return Stack(image, [&](Surface& s, Vec2 c, int i) { DrawLampButton(s, c, size, hue, i == 1); });
}

Surface DrawMeterStrip(int image)
{
  const ImagePlace& place = Place(image);
  const int leds = 14;
  const double w = place.frameW, h = place.frameH;
  const double ledW = w - 12.0, pitch = (h - 12.0) / leds, ledH = pitch - 2.2;
  return Stack(image, [&](Surface& s, Vec2, int i) {
    // Bezel and a recessed black window.
    auto bezel = [&](Vec2 p) { return RoundBox(p, {w * 0.5, h * 0.5}, {w * 0.5 - 0.5, h * 0.5 - 0.5}, 5.0); };
    auto window = [&](Vec2 p) { return RoundBox(p, {w * 0.5, h * 0.5}, {w * 0.5 - 4.0, h * 0.5 - 4.0}, 2.5); };
    s.Fill(0, 0, w, h, [&](double x, double y) {
      const Vec2 p = {x, y};
      const Material metal{Rgb(64, 64, 66), 0.45, 0.55, 0.35, 24.0};
      return Paint{Lit(metal, BevelNormal(bezel, p, 3.0, 1.2)), Coverage(bezel(p))};
    });
    s.Fill(0, 0, w, h, [&](double x, double y) {
      const Vec2 p = {x, y};
      const double shade = 0.55 + 0.45 * std::clamp((y - 4.0) / 6.0, 0.0, 1.0);  // lip shadow
      return Paint{Scale(Rgb(16, 17, 16), shade), Coverage(window(p))};
    });
    const double level = FrameShowsValue(i, place.frames) * leds;
    for (int k = 0; k < leds; ++k)
    {
      const Colour hue = k >= leds - 2 ? Rgb(255, 60, 40) : k >= leds - 5 ? Rgb(255, 180, 40) : Rgb(90, 235, 80);
      const double on = std::clamp(level - k, 0.0, 1.0);
      const double cy = h - 6.0 - pitch * (k + 0.5);
      auto led = [&](Vec2 p) { return RoundBox(p, {w * 0.5, cy}, {ledW * 0.5, ledH * 0.5}, 1.2); };
      // Glow into the window around a lit segment, then the segment itself.
      if (on > 0)
        s.Fill(3, cy - pitch, w - 3, cy + pitch, [&](double x, double y) {
          const Vec2 p = {x, y};
          return Paint{hue, 0.35 * on * Soft(led(p) - 1.0, 2.0) * Coverage(window(p))};
        });
      s.Fill(0, cy - pitch, w, cy + pitch, [&](double x, double y) {
        const Vec2 p = {x, y};
        const double core = 1.0 - std::min(1.0, std::fabs(y - cy) / (ledH * 0.5 + 0.5));
        const Colour dark = Scale(hue, 0.2), lit = Mix(hue, Rgb(255, 255, 230), 0.45 * core);
        return Paint{Mix(dark, lit, on), Coverage(led(p))};
      });
    }
  });
}

}  // namespace faceplate
