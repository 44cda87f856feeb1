#include "V763k.h"

// The constructor zeroes the last input and output, the first 1 history slot and the first 2
// coefficients; the unused slots are never read and are zeroed too, so copies are well defined.
V763k::V763k()
  : mLastIn(0.0)
  , mLastOut(0.0)
  , mX{}
  , mY{}
  , mA{}
  , mB{}
{
}

// Each coefficient is a polynomial in r, summed from the highest power down to the constant;
// powers are repeated products (r2 = r * r, r3 = r2 * r, ...).
void V763k::Calc(double r)
{
  mA[0] = 1.79558011049724e-05 * r + 0.138121546961326;
  mA[1] = -1.79558011049724e-05 * r + 0.138121546961326;
  mB[0] = 6.9060773480663e-06 * r + 0.138121546961326;
  mB[1] = -6.9060773480663e-06 * r + 0.138121546961326;
}
