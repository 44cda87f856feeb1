#pragma once
// The eleven saturation curves F(d) of the MODEL parameter.
//
// Thread: any; pure functions without state. Real-time safe: no allocation, locks or throws.
// Every curve is 0 at d = 0 with slope 1 there (its first-order term is tanh(d) or atan(d)); the
// even powers add an asymmetric part. Units: d is the driven sample (drive gain times input,
// linear amplitude); the result is linear amplitude.
//
// The arithmetic is fixed to the bit: a power d^n is d multiplied by itself from the left
// (d * d * ... * d), -d^n is the negated power, terms are summed in the order written, and
// products are formed from the left as written ("k1 f(..) * k2 g(..)" is ((k1 f) k2) g). tanh, sin and atan are
// the C library's double functions. Build with -ffp-contract=off (no fused multiply-add).

#include <cmath>

// The number of curves, the values of MODEL (0 to 10).
constexpr int kBrelixNumModels = 11;

// Powers d^2 ... d^N, each one product more than the last: p[n] = d^n for 2 <= n <= N.
template <int N>
struct BrelixPowers
{
  explicit BrelixPowers(double d)
  {
    p[0] = 1.0;
    p[1] = d;
    for (int n = 2; n <= N; ++n) p[n] = p[n - 1] * d;
  }
  double operator[](int n) const { return p[n]; }
  double p[N + 1];
};

template <int Model>
inline double BrelixCurve(double d);

template <>
inline double BrelixCurve<0>(double d)
{
  const BrelixPowers<7> p(d);
  return 0.05 * std::tanh(p[7]) + (std::sin(0.05 * std::tanh(p[2]) + 0.05 * std::tanh(p[3])) + std::tanh(d));
}

template <>
inline double BrelixCurve<1>(double d)
{
  const BrelixPowers<6> p(d);
  return (std::tanh(d) - std::sin(0.1 * std::tanh(p[3]) - 0.1 * std::tanh(p[4]))) - 0.1 * std::tanh(p[6]);
}

template <>
inline double BrelixCurve<2>(double d)
{
  const BrelixPowers<10> p(d);
  return (std::tanh(0.5 * std::tanh(p[4]) + 0.5 * std::tanh(p[10])) + std::atan(d)) - 0.3 * std::tanh(p[6]);
}

template <>
inline double BrelixCurve<3>(double d)
{
  const BrelixPowers<12> p(d);
  return std::atan(0.05 * std::atan(p[12]) * std::atan(p[2]) + 0.05 * std::tanh(p[2])) + std::atan(d);
}

template <>
inline double BrelixCurve<4>(double d)
{
  const BrelixPowers<7> p(d);
  return (0.1 * std::tanh(p[7]) + std::sin(0.5 * std::tanh(p[5]) * 0.1 * std::tanh(p[3]))) + std::atan(d);
}

template <>
inline double BrelixCurve<5>(double d)
{
  const BrelixPowers<7> p(d);
  return 0.05 * std::tanh(p[7]) + (std::atan(std::atan(0.05 * std::sin(p[2])) + 0.05 * std::tanh(p[2])) + std::atan(d));
}

template <>
inline double BrelixCurve<6>(double d)
{
  const BrelixPowers<6> p(d);
  return 0.1 * std::tanh(-p[6]) + (std::sin(0.1 * std::tanh(p[5]) + 0.3 * std::tanh(-p[3])) + std::atan(d));
}

template <>
inline double BrelixCurve<7>(double d)
{
  const BrelixPowers<6> p(d);
  return 0.01 * std::atan(-p[6]) + (std::tanh(d) - std::atan(0.01 * std::sin(-p[5]) + 0.01 * std::tanh(p[3])));
}

template <>
inline double BrelixCurve<8>(double d)
{
  const BrelixPowers<7> p(d);
  return 0.05 * std::tanh(-p[7]) + (std::atan(0.2 * std::tanh(-p[2]) + 0.05 * std::tanh(-p[2])) + std::atan(d));
}

template <>
inline double BrelixCurve<9>(double d)
{
  const BrelixPowers<6> p(d);
  return 0.07 * std::tanh(-p[6]) + (std::sin(-0.01 * std::tanh(p[5]) - 0.3 * std::tanh(-p[3])) + std::tanh(d));
}

template <>
inline double BrelixCurve<10>(double d)
{
  const BrelixPowers<7> p(d);
  return (std::atan(0.5 * std::tanh(-p[2]) - 0.1 * std::tanh(-p[2])) + std::atan(d)) - 0.05 * std::tanh(-p[7]);
}

// The curve of a MODEL value chosen at run time; a value outside 0-10 is clamped into range.
// For tools and set-up code; the signal path picks the curve once per block.
double BrelixCurveAt(int model, double d);
