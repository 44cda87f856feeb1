#pragma once
// V763k: preamp filter model of order 1:
// the 3 kHz high-frequency shelf of LPF 1; runs at the sample rate (Calc(fs)).
// First-order shelf: gain 1 at DC, 0.3846 at the Nyquist frequency at every rate.

#include "PreampFilter.h"

struct V763kCoefficients
{
  static void Calc(double r, double* a, double* b);
};

using V763k = PreampFilter<1, V763kCoefficients>;
