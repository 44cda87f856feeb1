#pragma once
// The preamp filter models: direct-form-I recursive filters of order N whose coefficients are
// polynomials in the rate at which they run, so that one set of constants serves every rate.
// Each model (V76F, V7680, V76300, V7680300, V763k) is this class over its own table of
// constants (PreampFilterModel); one evaluator computes the coefficients of every model.
//
// Thread: the audio thread (one object per channel; not shared). Real-time safe: Calc and
// Process never allocate, lock or throw. Units: Calc takes the running rate in hertz; Process
// takes and returns one sample as a double (linear amplitude). Only the constructor clears the
// histories: Calc leaves them unchanged, and nothing else resets them. No subnormal flushing,
// no clamping.

#include "PreampFilterModel.h"

template <const PreampFilterModel& Model>
class PreampFilter
{
  static constexpr int N = Model.order;

public:
  static_assert(N >= 1 && N <= PreampFilterModel::kMaxOrder, "the histories hold eight samples");
  static_assert(Model.degree >= 1 && Model.degree <= PreampFilterModel::kMaxDegree, "powers up to r^6");
  static constexpr int kOrder = N;

  // Every history slot and coefficient starts at 0 (the unused slots too, so copies are well
  // defined).
  PreampFilter() = default;

  // Computes the coefficients for the running rate r (hertz); the histories are unchanged.
  void Calc(double r) { CalcPreampFilterCoefficients(Model, r, mA, mB); }

  // y = (b0 x + b1 x[n-1] + ... + bN x[n-N] - a1 y[n-1] - ... - aN y[n-N]) / a0, summed in exactly
  // this order; then both histories shift one place towards the older end.
  inline double Process(double x);

  // Read-only views for tests and diagnostics.
  double LastInput() const { return mLastIn; }
  double LastOutput() const { return mLastOut; }
  const double* InputHistory() const { return mX; }   // x[n-1], x[n-2], ...
  const double* OutputHistory() const { return mY; }  // y[n-1], y[n-2], ...
  const double* A() const { return mA; }              // a0 ... aN
  const double* B() const { return mB; }              // b0 ... bN

private:
  double mLastIn = 0.0;
  double mLastOut = 0.0;
  double mX[8] = {};
  double mY[8] = {};
  double mA[9] = {};
  double mB[9] = {};
};

template <const PreampFilterModel& Model>
inline double PreampFilter<Model>::Process(double x)
{
  // Every history slot is loaded once before the sum and stored once after it, so that in a
  // loop the histories stay in registers; the loops unroll fully for the fixed order.
  double xs[N], ys[N];
#pragma GCC unroll 8
  for (int i = 0; i < N; ++i)
  {
    xs[i] = mX[i];
    ys[i] = mY[i];
  }
  double sum = mB[0] * x;
#pragma GCC unroll 8
  for (int i = 1; i <= N; ++i) sum += mB[i] * xs[i - 1];
#pragma GCC unroll 8
  for (int i = 1; i <= N; ++i) sum -= mA[i] * ys[i - 1];
  const double y = sum / mA[0];
  mX[0] = x;
  mY[0] = y;
#pragma GCC unroll 8
  for (int i = 1; i < N; ++i)
  {
    mX[i] = xs[i - 1];
    mY[i] = ys[i - 1];
  }
  mLastIn = x;
  mLastOut = y;
  return y;
}
