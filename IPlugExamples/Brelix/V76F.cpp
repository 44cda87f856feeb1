#include "V76F.h"

// The constructor zeroes the last input and output, the first 4 history slots and the first 5
// coefficients; the unused slots are never read and are zeroed too, so copies are well defined.
V76F::V76F()
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
void V76F::Calc(double r)
{
  const double r2 = r * r, r3 = r2 * r, r4 = r3 * r;
  mA[0] = 1.24124978334385e-20 * r4 + 2.24557847708913e-15 * r3 + 1.59458874477891e-10 * r2
        + 6.61768091773424e-06 * r + 0.00072435211446303;
  mA[1] = -4.96499913337539e-20 * r4 - 4.49115695417826e-15 * r3 + 1.32353618354685e-05 * r
        + 0.00289740845785212;
  mA[2] = 7.44749870006309e-20 * r4 - 3.18917748955783e-10 * r2 + 0.00434611268677818;
  mA[3] = -4.96499913337539e-20 * r4 + 4.49115695417826e-15 * r3 - 1.32353618354685e-05 * r
        + 0.00289740845785212;
  mA[4] = 1.24124978334385e-20 * r4 - 2.24557847708913e-15 * r3 + 1.59458874477891e-10 * r2
        - 6.61768091773424e-06 * r + 0.00072435211446303;
  mB[0] = 4.56341832111709e-06 * r;
  mB[1] = 9.12683664223418e-06 * r;
  mB[2] = 0.008;
  mB[3] = -9.12683664223418e-06 * r;
  mB[4] = -4.56341832111709e-06 * r;
}
