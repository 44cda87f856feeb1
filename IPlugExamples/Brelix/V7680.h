#pragma once
// V7680: preamp filter model of order 6:
// the 80 Hz high-pass model of HPF 1; runs at the sample rate (Calc(fs)).
// Numerator k r^3 (1 - z^-2)^3 (r^3 computed with pow); zero at DC.

#include "PreampFilter.h"

struct V7680Coefficients
{
  static void Calc(double r, double* a, double* b);
};

using V7680 = PreampFilter<6, V7680Coefficients>;
