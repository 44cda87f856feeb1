#pragma once
// V763k: preamp filter model of order 1:
// the 3 kHz high-frequency shelf of LPF 1; runs at the sample rate (Calc(fs)).
// First-order shelf: gain 1 at DC, 0.3846 at the Nyquist frequency at every rate.
//
// A direct-form-I recursive filter whose coefficients are polynomials in the running rate.
// Thread: the audio thread (one object per channel; not shared). Real-time safe: Calc and
// Process never allocate, lock or throw. Units: Calc takes the running rate in hertz; Process
// takes and returns one sample as a double (linear amplitude). Only the constructor clears the
// histories: Calc leaves them unchanged, and nothing else resets them. No subnormal flushing,
// no clamping.

#include "DirectFormI.h"

class V763k
{
public:
  static constexpr int kOrder = 1;

  V763k();

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

inline double V763k::Process(double x)
{
  mLastIn = x;
  return mLastOut = DirectFormIStep<kOrder>(x, mX, mY, mA, mB);
}
