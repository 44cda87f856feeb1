#include "SpectrumAnalyzer.h"

#include "HostError.h"

#include <algorithm>
#include <cmath>
#include <fftw3.h>
#include <string>

using vst3host::HostError;

namespace brelix {

namespace {

// Albrecht's 7-term Blackman-Harris window (periodic form, for spectra).
std::vector<double> BlackmanHarris7(int size)
{
  static const double a[] = {0.27105140069342, 0.43329793923448, 0.21812299954311, 0.06592544638803,
                             0.01081174209837, 0.00077658482522, 0.00001388721735};
  std::vector<double> w(size_t(size), 0.0);
  for (int n = 0; n < size; ++n)
    for (int k = 0; k < 7; ++k)
      w[size_t(n)] += (k % 2 ? -a[k] : a[k]) * std::cos(2.0 * M_PI * k * n / size);
  return w;
}

} // namespace

SpectrumAnalyzer::SpectrumAnalyzer(int size) : mSize(size)
{
  if (size < 64 || size > (1 << 20) || (size & (size - 1)))
    throw HostError("cannot analyse with " + std::to_string(size) + "-point transforms (a power of two, 64 to 2^20)");
  mWindow = BlackmanHarris7(size);
  for (double w : mWindow)
  {
    mWindowSum += w;
    mWindowSquareSum += w * w;
  }
  mIn = fftw_alloc_real(size_t(size));
  fftw_complex* out = fftw_alloc_complex(size_t(Bins()));
  mOut = &out[0][0];
  mPlan = fftw_plan_dft_r2c_1d(size, mIn, out, FFTW_ESTIMATE);
  mMagnitude2.resize(size_t(Bins()));
}

SpectrumAnalyzer::~SpectrumAnalyzer()
{
  fftw_destroy_plan(mPlan);
  fftw_free(mIn);
  fftw_free(mOut);
}

void SpectrumAnalyzer::Transform(const double* samples)
{
  for (int i = 0; i < mSize; ++i)
    mIn[i] = samples[i] * mWindow[size_t(i)];
  fftw_execute(mPlan);
  for (int k = 0; k < Bins(); ++k)
    mMagnitude2[size_t(k)] = mOut[2 * k] * mOut[2 * k] + mOut[2 * k + 1] * mOut[2 * k + 1];
}

std::vector<double> SpectrumAnalyzer::PowerSpectrum(const std::vector<const double*>& channels, int64_t frames,
                                                    int* segments)
{
  if (channels.empty() || frames < mSize)
    throw HostError("internal error: too little audio for a " + std::to_string(mSize) + "-point spectrum");
  std::vector<double> power(size_t(Bins()), 0.0);
  const int64_t hop = mSize / 2;
  int count = 0;
  for (const double* channel : channels)
    for (int64_t start = 0; start + mSize <= frames; start += hop, ++count)
    {
      Transform(channel + start);
      for (size_t k = 0; k < power.size(); ++k)
        power[k] += mMagnitude2[k];
    }
  // One-sided: every bin but DC and Nyquist stands for its negative-frequency twin too.
  const double scale = 1.0 / (double(mSize) * mWindowSquareSum * count);
  for (size_t k = 0; k < power.size(); ++k)
    power[k] *= (k == 0 || k + 1 == power.size() ? 1.0 : 2.0) * scale;
  if (segments)
    *segments = count / int(channels.size());
  return power;
}

SpectrogramGrid SpectrumAnalyzer::Spectrogram(const double* samples, int64_t frames, double sampleRate, int hop)
{
  if (frames < mSize || hop < 1)
    throw HostError("internal error: too little audio for a " + std::to_string(mSize) + "-point spectrogram");
  SpectrogramGrid grid;
  grid.columns = int((frames - mSize) / hop + 1);
  grid.bins = Bins();
  grid.binHz = sampleRate / mSize;
  grid.secondsPerColumn = hop / sampleRate;
  grid.levelDb.resize(size_t(grid.columns) * size_t(grid.bins));
  // A sine of amplitude A centred on a bin has |X| = A × (sum of the window) / 2 there.
  const double scale = 2.0 / mWindowSum;
  for (int c = 0; c < grid.columns; ++c)
  {
    Transform(samples + int64_t(c) * hop);
    for (int k = 0; k < grid.bins; ++k)
    {
      const double level = scale * std::sqrt(mMagnitude2[size_t(k)]);
      grid.levelDb[size_t(c) * size_t(grid.bins) + size_t(k)] =
        float(level > 0 ? std::max(kFloorDb, 20.0 * std::log10(level)) : kFloorDb);
    }
  }
  return grid;
}

} // namespace brelix
