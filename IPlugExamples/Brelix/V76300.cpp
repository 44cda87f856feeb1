#include "V76300.h"

// The constructor zeroes the last input and output, the first 4 history slots and the first 5
// coefficients; the unused slots are never read and are zeroed too, so copies are well defined.
V76300::V76300()
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
void V76300::Calc(double r)
{
  const double r2 = r * r, r3 = r2 * r, r4 = r3 * r;
  mA[0] = 1.20275473057067e-20 * r4 + 2.22125411838863e-15 * r3 + 1.57031225260495e-10 * r2
        + 6.67902279713139e-06 * r + 0.0081068027183072;
  mA[1] = -4.81101892228267e-20 * r4 - 4.44250823677727e-15 * r3 + 1.33580455942628e-05 * r
        + 0.0324272108732288;
  mA[2] = 7.21652838342401e-20 * r4 - 3.14062450520989e-10 * r2 + 0.0486408163098432;
  mA[3] = -4.81101892228267e-20 * r4 + 4.44250823677727e-15 * r3 - 1.33580455942628e-05 * r
        + 0.0324272108732288;
  mA[4] = 1.20275473057067e-20 * r4 - 2.22125411838863e-15 * r3 + 1.57031225260495e-10 * r2
        - 6.67902279713139e-06 * r + 0.0081068027183072;
  mB[0] = 4.42189239180392e-06 * r;
  mB[1] = 8.84378478360785e-06 * r;
  mB[2] = 0.0;
  mB[3] = -8.84378478360785e-06 * r;
  mB[4] = -4.42189239180392e-06 * r;
}
