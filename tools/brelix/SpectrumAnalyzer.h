#pragma once
// Spectra of audio through FFTW, with a 7-term Blackman-Harris window: its side lobes stay below
// −180 dB, so a tone leaks nothing measurable outside its main lobe of ±kMainLobeBins bins.
// Welch-averaged power spectra for measuring tones, and short-time level grids (spectrograms)
// for pictures. Single-threaded (FFTW's planner is not thread-safe); not for the audio thread.
#include <cstddef>
#include <cstdint>
#include <vector>

struct fftw_plan_s;

namespace brelix {

// Levels over time and frequency: column c is the frame starting at c × secondsPerColumn, bin b
// the frequency b × binHz (0 to Nyquist).
struct SpectrogramGrid
{
  int columns = 0;
  int bins = 0;
  double binHz = 0;
  double secondsPerColumn = 0;
  std::vector<float> levelDb;  // columns × bins, column by column; a full-scale sine peaks at 0 dB

  float At(int column, int bin) const { return levelDb[size_t(column) * size_t(bins) + size_t(bin)]; }
};

class SpectrumAnalyzer
{
public:
  static constexpr int kMainLobeBins = 7;     // half-width of a steady tone's main lobe
  static constexpr double kFloorDb = -240.0;  // the lowest level reported

  // size: the FFT length, a power of two from 64 to 2^20 (otherwise HostError).
  explicit SpectrumAnalyzer(int size);
  ~SpectrumAnalyzer();

  SpectrumAnalyzer(const SpectrumAnalyzer&) = delete;
  SpectrumAnalyzer& operator=(const SpectrumAnalyzer&) = delete;

  int Size() const { return mSize; }
  int Bins() const { return mSize / 2 + 1; }

  // Power per bin from 0 Hz to Nyquist as mean square (a tone's main-lobe bins sum to its mean
  // square, all bins to the signal's), averaged over segments overlapping by half and over the
  // channels. Needs frames ≥ Size(); `segments`, if given, receives how many were averaged.
  std::vector<double> PowerSpectrum(const std::vector<const double*>& channels, int64_t frames,
                                    int* segments = nullptr);

  // Frames of Size() samples, `hop` (≥ 1) apart, as long as they fit in `frames` (≥ Size()).
  SpectrogramGrid Spectrogram(const double* samples, int64_t frames, double sampleRate, int hop);

private:
  void Transform(const double* samples);  // |X|² of the windowed samples into mMagnitude2

  int mSize;
  std::vector<double> mWindow;
  double mWindowSum = 0, mWindowSquareSum = 0;
  double* mIn = nullptr;
  double* mOut = nullptr;  // interleaved complex, Bins() values
  fftw_plan_s* mPlan = nullptr;
  std::vector<double> mMagnitude2;
};

} // namespace brelix
