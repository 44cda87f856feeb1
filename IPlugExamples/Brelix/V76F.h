#pragma once
// V76F: preamp filter model of order 4:
// the output stage, always in the path; runs at twice the sample rate (Calc(2 fs)).
// Numerator k r (1 + 2z^-1 - 2z^-3 - z^-4) plus the constant b2 = 0.008: DC passes at -3.22 dB.
//
// A direct-form-I recursive filter whose coefficients are polynomials in the running rate.
// Thread: the audio thread (one object per channel; not shared). Real-time safe: Calc and
// Process never allocate, lock or throw. Units: Calc takes the running rate in hertz; Process
// takes and returns one sample as a double (linear amplitude). Only the constructor clears the
// histories: Calc leaves them unchanged, and nothing else resets them. No subnormal flushing,
// no clamping.

#include "DirectFormI.h"

class V76F
{
public:
  static constexpr int kOrder = 4;

  V76F();

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

inline double V76F::Process(double x)
{
  mLastIn = x;
  return mLastOut = DirectFormIStep<kOrder>(x, mX, mY, mA, mB);
}
