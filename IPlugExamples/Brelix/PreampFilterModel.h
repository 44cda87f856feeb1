#pragma once
// The constants of one preamp filter model, and the one evaluator that turns them into the
// filter's coefficients at the rate r (hertz) it runs at.
//
// Every coefficient a0..aN and b0..bN is a polynomial in r. Its constants are stored highest power
// first: row[0] multiplies r^degree, row[degree] is the constant term; a 0 constant is an absent
// term. The evaluator sums the present terms in exactly that order (left to right), each term
// being the constant times its power of r; powers are repeated products (r2 = r * r,
// r3 = r2 * r, ...), or std::pow(r, k) for the numerators of a model marked powNumerator.
//
// Thread: any; the evaluator is a pure function. Real-time safe: no allocation, locks or throws.
// Build with -ffp-contract=off (no fused multiply-add), as brelix_filters is.

struct PreampFilterModel
{
  static constexpr int kMaxOrder = 8;
  static constexpr int kMaxDegree = 6;

  int order;          // N: the filter uses a0..aN and b0..bN
  int degree;         // the highest power of r in the table
  bool powNumerator;  // numerator powers computed with std::pow rather than repeated products
  double a[kMaxOrder + 1][kMaxDegree + 1];
  double b[kMaxOrder + 1][kMaxDegree + 1];
};

// Writes a[0..order] and b[0..order] of `model` at the rate r.
void CalcPreampFilterCoefficients(const PreampFilterModel& model, double r, double* a, double* b);
