#pragma once
// The image strips of the controls: every frame drawn on its own transparent surface (the editor
// composites it over the faceplate with source alpha) and stacked top to bottom.

#include "Surface.h"

namespace faceplate
{

// Knob strips (GAIN, OUT: skirted knobs; MODEL: chicken-head): frame i points at the angle of
// value i / (frames - 1).
Surface DrawKnobStrip(int image);
// HPF: the chicken-head selector at each of its four positions.
Surface DrawSelectorStrip(int image);
// LPF: the toggle down (off), then up (on).
Surface DrawToggleStrip(int image);
// BYPASS and LINK: the lamp button dark, then lit.
Surface DrawLampStrip(int image, Colour hue);
// The meter: an LED column, frame i lit to i / (frames - 1) of its height.
Surface DrawMeterStrip(int image);

}  // namespace faceplate
