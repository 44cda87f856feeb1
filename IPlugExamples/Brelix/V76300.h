#pragma once
// V76300: preamp filter model of order 4:
// the 300 Hz high-pass model of HPF 2; runs at the sample rate (Calc(fs)).
// Numerator k r (1 + 2z^-1 - 2z^-3 - z^-4); zero at DC.

#include "PreampFilter.h"

struct V76300Coefficients
{
  static void Calc(double r, double* a, double* b);
};

using V76300 = PreampFilter<4, V76300Coefficients>;
