#pragma once
// V7680300: preamp filter model of order 6:
// the combined 80 Hz and 300 Hz high-pass model of HPF 3; runs at the sample rate.
// Numerator k r^3 (1 - z^-2)^3 (r^3 computed with pow); zero at DC.
//
// A direct-form-I recursive filter whose coefficients are polynomials in the running rate.
// Thread: the audio thread (one object per channel; not shared). Real-time safe: Calc and
// Process never allocate, lock or throw. Units: Calc takes the running rate in hertz; Process
// takes and returns one sample as a double (linear amplitude). Only the constructor clears the
// histories: Calc leaves them unchanged, and nothing else resets them. No subnormal flushing,
// no clamping.

#include "DirectFormI.h"

class V7680300
{
public:
  static constexpr int kOrder = 6;

  V7680300();

  // Computes the coefficients for the running rate r (hertz); the histories are unchanged.
  void Calc(double r);

  // Runs one sample: y = (b0 x + b1 x[n-1] + ... + bN x[n-N] - a1 y[n-1] - ... - aN y[n-N]) / a0,
  // summed in exactly this order, then shifts both histories.
  inline double Process(double x);

  // Read-only views for tests and diagnostics.
  double LastInput() const { return mLastIn; }
  double LastOutput() const { return mLastOut; }
  const double* InputHistory() const { return mX; }  // x[n-1], x[n-2], ...
  const double* OutputHistory() const { return mY; } // y[n-1], y[n-2], ...
  const double* A() const { return mA; }             // a0 ... aN
  const double* B() const { return mB; }             // b0 ... bN

private:
  double mLastIn;
  double mLastOut;
  double mX[8];
  double mY[8];
  double mA[9];
  double mB[9];
};

inline double V7680300::Process(double x)
{
  mLastIn = x;
  return mLastOut = DirectFormIStep<kOrder>(x, mX, mY, mA, mB);
}
