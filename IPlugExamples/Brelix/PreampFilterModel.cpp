#include "PreampFilterModel.h"

#include <cmath>

namespace
{
// The present terms of one row, highest power first; an empty row is 0.
double Polynomial(const double* row, int degree, const double* powers)
{
  double sum = 0.0;
  bool any = false;
  for (int k = 0; k <= degree; ++k)
  {
    if (row[k] == 0.0) continue;
    const int power = degree - k;
    const double term = power == 0 ? row[k] : row[k] * powers[power];
    sum = any ? sum + term : term;
    any = true;
  }
  return sum;
}
}  // namespace

void CalcPreampFilterCoefficients(const PreampFilterModel& model, double r, double* a, double* b)
{
  constexpr int kPowers = PreampFilterModel::kMaxDegree + 1;
  double products[kPowers], pows[kPowers];
  products[0] = pows[0] = 1.0;
  products[1] = r;
  for (int k = 2; k < kPowers; ++k) products[k] = products[k - 1] * r;
  for (int k = 1; k < kPowers; ++k) pows[k] = model.powNumerator ? std::pow(r, k) : products[k];

  for (int j = 0; j <= model.order; ++j)
  {
    a[j] = Polynomial(model.a[j], model.degree, products);
    b[j] = Polynomial(model.b[j], model.degree, pows);
  }
}
