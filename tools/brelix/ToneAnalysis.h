#pragma once
// What a steady tone is made of, read from a power spectrum (SpectrumAnalyzer::PowerSpectrum):
// its fundamental, its harmonics below Nyquist, the noise floor, and everything else, which for
// a tone through a nonlinear processor is aliasing (harmonics above Nyquist folded back).
//
// How the bins are shared out:
// - The fundamental, each harmonic below Nyquist and DC (harmonic 0) own the bins within
//   kOwnBins of their centre: the window's main lobe plus two bins for frequency error.
// - The noise floor is the median power of the bins they do not own. Lines are few and narrow,
//   so they leave the median where broadband noise (dither, quantisation) puts it. It is never
//   taken below kDynamicRangeDb under the tone's peak bin, where the window's leakage begins.
// - A line is a bin outside those at least kLineAboveFloorDb above the floor; it owns the bins
//   within kOwnBins of it. Aliasing is the power of all lines' bins above the floor; bins of no
//   line are noise and count nowhere.
// Powers are mean squares above the floor (a sine of amplitude A: A²/2). Not real-time.
#include <vector>

namespace brelix {

struct ToneAnalysis
{
  static constexpr int kOwnBins = 9;
  static constexpr double kLineAboveFloorDb = 15.0;
  static constexpr double kToneAboveFloorDb = 30.0;  // weaker: no steady tone
  static constexpr double kDynamicRangeDb = 170.0;

  struct Component
  {
    double hz = 0;
    double power = 0;
  };

  bool found = false;               // a tone stands out; the rest is meaningful only then
  Component fundamental;
  std::vector<Component> harmonics;  // the 2nd, 3rd, … below Nyquist
  double floorPerBin = 0;
  double aliasingPower = 0;
  int aliasingLines = 0;
  Component strongestLine;          // of the aliasing lines

  double HarmonicPower() const;

  // power: bins from 0 Hz to Nyquist, binHz apart. fundamentalHz: where to look for the tone
  // (0: the strongest bin above DC). Throws HostError when the fundamental asked for is not
  // above the lowest frequency this resolution can separate from DC nor below Nyquist.
  static ToneAnalysis Analyze(const std::vector<double>& power, double binHz, double fundamentalHz);
  static double LowestFundamentalHz(double binHz) { return (2 * kOwnBins + 1) * binHz; }
};

} // namespace brelix
