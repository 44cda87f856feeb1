#include "ToneAnalysis.h"

#include "HostError.h"
#include "SpectrumAnalyzer.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

using vst3host::HostError;

namespace brelix {

namespace {

std::string Hz(double f)
{
  char text[32];
  std::snprintf(text, sizeof(text), "%.2f Hz", f);
  return text;
}

// Power above the floor of bins [from, to), and their power-weighted mean frequency.
ToneAnalysis::Component Measure(const std::vector<double>& power, int from, int to, double floor, double binHz)
{
  double sum = 0, excess = 0, moment = 0;
  for (int k = from; k < to; ++k)
  {
    sum += power[size_t(k)];
    moment += k * power[size_t(k)];
    excess += power[size_t(k)] - floor;
  }
  ToneAnalysis::Component c;
  c.hz = sum > 0 ? moment / sum * binHz : from * binHz;
  c.power = std::max(0.0, excess);
  return c;
}

} // namespace

double ToneAnalysis::HarmonicPower() const
{
  double sum = 0;
  for (const auto& h : harmonics)
    sum += h.power;
  return sum;
}

ToneAnalysis ToneAnalysis::Analyze(const std::vector<double>& power, double binHz, double fundamentalHz)
{
  const int bins = int(power.size());
  const double nyquist = (bins - 1) * binHz;
  if (fundamentalHz > 0 && (fundamentalHz < LowestFundamentalHz(binHz) || fundamentalHz >= nyquist))
    throw HostError("the fundamental must lie from " + Hz(LowestFundamentalHz(binHz)) + " to below " + Hz(nyquist) +
                    " for this file, not at " + Hz(fundamentalHz));
  ToneAnalysis a;
  if (bins <= 2 * kOwnBins + 1)
    return a;

  // The peak: near the frequency asked for, else the strongest bin clear of DC.
  int from = kOwnBins + 1, to = bins;
  if (fundamentalHz > 0)
  {
    const int centre = int(std::lround(fundamentalHz / binHz));
    from = std::max(from, centre - kOwnBins);
    to = std::min(bins, centre + kOwnBins + 1);
  }
  const int peak = int(std::max_element(power.begin() + from, power.begin() + to) - power.begin());
  const int lobe = SpectrumAnalyzer::kMainLobeBins;
  const double f0 = Measure(power, std::max(0, peak - lobe), std::min(bins, peak + lobe + 1), 0, binHz).hz;
  if (f0 < LowestFundamentalHz(binHz))
    return a;

  // Bins owned by DC, the fundamental and its harmonics below Nyquist.
  std::vector<char> owned(size_t(bins), 0);
  std::vector<std::pair<int, int>> ranges;  // [from, to) per harmonic number
  for (int h = 0;; ++h)
  {
    const int centre = int(std::lround(h * f0 / binHz));
    if (centre >= bins - 1)
      break;
    ranges.emplace_back(std::max(0, centre - kOwnBins), std::min(bins, centre + kOwnBins + 1));
    std::fill(owned.begin() + ranges.back().first, owned.begin() + ranges.back().second, 1);
  }

  std::vector<double> rest;
  for (int k = 0; k < bins; ++k)
    if (!owned[size_t(k)])
      rest.push_back(power[size_t(k)]);
  if (!rest.empty())
  {
    std::nth_element(rest.begin(), rest.begin() + rest.size() / 2, rest.end());
    a.floorPerBin = rest[rest.size() / 2];
  }
  a.floorPerBin = std::max(a.floorPerBin, power[size_t(peak)] * std::pow(10.0, -kDynamicRangeDb / 10));
  if (!(power[size_t(peak)] > 0) || power[size_t(peak)] < a.floorPerBin * std::pow(10.0, kToneAboveFloorDb / 10))
    return a;

  a.found = true;
  a.fundamental = Measure(power, ranges[1].first, ranges[1].second, a.floorPerBin, binHz);
  for (size_t h = 2; h < ranges.size(); ++h)
  {
    Component c = Measure(power, ranges[h].first, ranges[h].second, a.floorPerBin, binHz);
    c.hz = double(h) * f0;
    a.harmonics.push_back(c);
  }

  // Lines: bins well above the floor, each with its main lobe, outside the harmonics' bins.
  const double threshold = a.floorPerBin * std::pow(10.0, kLineAboveFloorDb / 10);
  std::vector<char> line(size_t(bins), 0);
  for (int k = 0; k < bins; ++k)
    if (!owned[size_t(k)] && power[size_t(k)] > threshold && power[size_t(k)] > 0)
      for (int j = std::max(0, k - kOwnBins); j < std::min(bins, k + kOwnBins + 1); ++j)
        line[size_t(j)] = !owned[size_t(j)];
  for (int k = 0; k < bins;)
  {
    if (!line[size_t(k)])
    {
      ++k;
      continue;
    }
    int end = k;
    while (end < bins && line[size_t(end)])
      ++end;
    const Component c = Measure(power, k, end, a.floorPerBin, binHz);
    a.aliasingPower += c.power;
    ++a.aliasingLines;
    if (c.power > a.strongestLine.power)
      a.strongestLine = c;
    k = end;
  }
  return a;
}

} // namespace brelix
