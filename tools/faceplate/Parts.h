#pragma once
// Hardware drawn on surfaces, each centred at a point: the knobs, the selector and toggle
// switches, the lamp buttons and screws. Knob strips, switch images and the faceplate share them,
// so each part looks the same wherever it appears.

#include "Light.h"
#include "Surface.h"

namespace faceplate
{

// A black skirted knob (skirt radius 30) with a white index line at `angle` and a brushed
// aluminium cap; with its shadow.
void DrawSkirtedKnob(Surface& s, Vec2 centre, double angle);
// A black chicken-head pointer knob (nose 34 pixels long) turned to `angle`; with its shadow.
void DrawChickenHead(Surface& s, Vec2 centre, double angle);
// A bat-handle toggle on a round chrome bushing, the lever up when `up`.
void DrawToggle(Surface& s, Vec2 centre, bool up);
// A square lamp push-button with a round jewel of `hue` (lit or dark); the bezel is `size` wide.
void DrawLampButton(Surface& s, Vec2 centre, double size, Colour hue, bool lit);
// A slotted panel screw of radius r, its slot at `angle`.
void DrawScrew(Surface& s, Vec2 centre, double r, double angle);

}  // namespace faceplate
