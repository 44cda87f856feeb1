#include "WDL_BesselFilter.h"

#include <cmath>

namespace
{
// Eighth-order Bessel low-pass poles normalised to a -3 dB frequency of 1 rad/s: sigma +/- i omega.
const double kPoles[4][2] = {
  {-1.7574084004017807, 0.272867575102548},
  {-1.636939418126819, 0.8227956251396226},
  {-1.3738412176373478, 1.3883565758775174},
  {-0.8928697188471307, 1.9983258436412903},
};
} // namespace

void WDL_BesselFilterCoeffs::Calc(double alpha)
{
  const double w = alpha * 6.283185307179586;

  // z-plane poles in the order p1, p1*, p2, p2*, ...
  double pr[kOrder], pi[kOrder];
  for (int k = 0; k < 4; ++k)
  {
    const double e = std::exp(kPoles[k][0] * w);
    const double ow = kPoles[k][1] * w;
    pr[2 * k] = e * std::cos(ow);
    pi[2 * k] = e * std::sin(ow);
    pr[2 * k + 1] = e * std::cos(ow);
    pi[2 * k + 1] = e * std::sin(-ow);
  }

  // Q(z) = prod (z - p), q[0] the constant term: new q_j = old q_(j-1) - p * old q_j.
  double qr[kOrder + 1] = {1.0}, qi[kOrder + 1] = {0.0};
  for (int k = 0; k < kOrder; ++k)
  {
    for (int j = kOrder; j >= 0; --j)
    {
      const double mr = pr[k] * qr[j] - pi[k] * qi[j];
      const double mi = pr[k] * qi[j] + pi[k] * qr[j];
      const double lr = j > 0 ? qr[j - 1] : 0.0;
      const double li = j > 0 ? qi[j - 1] : 0.0;
      qr[j] = lr - mr;
      qi[j] = li - mi;
    }
  }

  // c0 = |Q(1)|, through 1 / |1 / Q(1)|.
  double sr = qr[0], si = qi[0];
  for (int j = 1; j <= kOrder; ++j)
  {
    sr += qr[j];
    si += qi[j];
  }
  const double d = sr * sr + si * si;
  c[0] = 1.0 / std::hypot(sr / d, -si / d);

  for (int j = 1; j <= kOrder; ++j) c[j] = -qr[kOrder - j] / qr[kOrder];
}
