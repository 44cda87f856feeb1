#pragma once
// Eighth-order all-pole Bessel low-pass: the coefficient calculator and its one-sample stage.
// The effect recomputes the coefficients with Calc(0.0625) and clears the stage
// history before every sample, so in the effect the stage is a fixed gain of c0.
//
// Thread: the audio thread (or any single thread per object). Real-time safe: no allocation,
// no locks, no exceptions. Units: alpha is the cutoff frequency divided by the sample rate;
// values in (0, 0.5) are meaningful, others are not used by the effect and give unspecified
// coefficients.

#include <cstdint>
#include <cstring>

class WDL_BesselFilterCoeffs
{
public:
  enum { kOrder = 8 };

  // Overwrites c[0] ... c[8] for the cutoff alpha (cutoff / sample rate).
  void Calc(double alpha);

  // c[0] is the input gain; c[1] ... c[8] weight the eight previous outputs, c[1] the newest.
  // The filter y[n] = c0 x[n] + c1 y[n-1] + ... + c8 y[n-8] has a gain of 1 at DC.
  double c[kOrder + 1] = {};
};

// One channel's stage: nine outputs h[0] (newest) ... h[8]. Never cleared implicitly.
class WDL_BesselFilterStage
{
public:
  void Reset() { std::memset(hist, 0, sizeof(hist)); }

  // Shifts the history one place towards the older end, forms
  // y = c0 x + c1 h[1] + ... + c8 h[8] (summed in this order), flushes a zero or subnormal y
  // to +0.0, stores it in h[0] and returns it.
  inline double Process(double x, const WDL_BesselFilterCoeffs& k)
  {
    double* h = hist;
    const double* c = k.c;
    h[8] = h[7];
    h[7] = h[6];
    h[6] = h[5];
    h[5] = h[4];
    h[4] = h[3];
    h[3] = h[2];
    h[2] = h[1];
    h[1] = h[0];
    double y = c[0] * x + c[1] * h[1] + c[2] * h[2] + c[3] * h[3] + c[4] * h[4] + c[5] * h[5] +
               c[6] * h[6] + c[7] * h[7] + c[8] * h[8];
    std::uint64_t bits;
    std::memcpy(&bits, &y, sizeof(bits));
    if ((bits & 0x7FF0000000000000ull) == 0) y = 0.0;
    h[0] = y;
    return y;
  }

  double Output() const { return hist[0]; }

  double hist[WDL_BesselFilterCoeffs::kOrder + 1] = {};
};
