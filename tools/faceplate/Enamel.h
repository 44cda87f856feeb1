#pragma once
// The faceplate's painted steel: grey-green hammertone enamel lit from above, with rolled edges.

#include "Surface.h"

namespace faceplate
{

// Colour of the bare enamel at a pixel centre of a w x h plate (before any printing).
Colour EnamelAt(double x, double y, int w, int h);
// Smooth value noise 0..1 on a lattice of `cell` pixels (deterministic for a seed).
double ValueNoise(double x, double y, double cell, unsigned seed);

}  // namespace faceplate
