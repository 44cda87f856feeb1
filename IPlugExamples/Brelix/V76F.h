#pragma once
// V76F: preamp filter model of order 4:
// the output stage, always in the path; runs at twice the sample rate (Calc(2 fs)).
// Numerator k r (1 + 2z^-1 - 2z^-3 - z^-4) plus the constant b2 = 0.008: DC passes at -3.22 dB.

#include "PreampFilter.h"

struct V76FCoefficients
{
  static void Calc(double r, double* a, double* b);
};

using V76F = PreampFilter<4, V76FCoefficients>;
