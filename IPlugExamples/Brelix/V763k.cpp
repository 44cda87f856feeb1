#include "V763k.h"

// Each coefficient is a polynomial in r, summed from the highest power down to the constant;
// powers are repeated products (r2 = r * r, r3 = r2 * r, ...).
void V763kCoefficients::Calc(double r, double* a, double* b)
{
  a[0] = 1.79558011049724e-05 * r + 0.138121546961326;
  a[1] = -1.79558011049724e-05 * r + 0.138121546961326;
  b[0] = 6.9060773480663e-06 * r + 0.138121546961326;
  b[1] = -6.9060773480663e-06 * r + 0.138121546961326;
}
