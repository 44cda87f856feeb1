#pragma once
// V7680300: preamp filter model of order 6:
// the combined 80 Hz and 300 Hz high-pass model of HPF 3; runs at the sample rate.
// Numerator k r^3 (1 - z^-2)^3 (r^3 computed with pow); zero at DC.

#include "PreampFilter.h"

struct V7680300Coefficients
{
  static void Calc(double r, double* a, double* b);
};

using V7680300 = PreampFilter<6, V7680300Coefficients>;
