#pragma once
// The one-sample step shared by the preamp filter models: a direct-form-I recursive filter of
// order N over the histories x[n-1..n-N], y[n-1..n-N] and the coefficients a0..aN, b0..bN.
//
// y = (b0 x + b1 x[n-1] + ... + bN x[n-N] - a1 y[n-1] - ... - aN y[n-N]) / a0, summed in exactly
// this order, then both histories shift one place towards the older end. No flushing, no
// clamping. Real-time safe; the loops unroll fully for the fixed order.

template <int N>
inline double DirectFormIStep(double x, double* xHist, double* yHist, const double* a, const double* b)
{
  // Every history slot is loaded once before the sum and stored once after it.
  double xs[N], ys[N];
#pragma GCC unroll 8
  for (int i = 0; i < N; ++i)
  {
    xs[i] = xHist[i];
    ys[i] = yHist[i];
  }
  double sum = b[0] * x;
#pragma GCC unroll 8
  for (int i = 1; i <= N; ++i) sum += b[i] * xs[i - 1];
#pragma GCC unroll 8
  for (int i = 1; i <= N; ++i) sum -= a[i] * ys[i - 1];
  const double y = sum / a[0];
  xHist[0] = x;
  yHist[0] = y;
#pragma GCC unroll 8
  for (int i = 1; i < N; ++i)
  {
    xHist[i] = xs[i - 1];
    yHist[i] = ys[i - 1];
  }
  return y;
}
