#pragma once
// Shared fixtures of the effect tests: an editor that records meter values, signal makers and
// a stereo buffer pair.

#include <cmath>
#include <cstdint>
#include <cstring>
#include <random>
#include <utility>
#include <vector>

#include "BrelixOffline.h"

// Records what the effect sends to its editor.
class MeterRecorder : public IPlugEditor
{
public:
  explicit MeterRecorder(std::vector<std::pair<int, double>>* sink) : mSink(sink) {}
  void SetParameterFromPlug(int, double, bool) override {}
  void PrepDraw() override {}
  void SetControlFromPlug(int controlIdx, double value) override { mSink->emplace_back(controlIdx, value); }

private:
  std::vector<std::pair<int, double>>* mSink;
};

// Two channels of n samples, with the double** views the effect takes.
struct Stereo
{
  explicit Stereo(int n) : l(static_cast<size_t>(n)), r(static_cast<size_t>(n)) {}
  std::vector<double> l, r;
  double* ptr[2] = {nullptr, nullptr};
  double** Ptrs()
  {
    ptr[0] = l.data();
    ptr[1] = r.data();
    return ptr;
  }
  double** PtrsAt(int offset)
  {
    ptr[0] = l.data() + offset;
    ptr[1] = r.data() + offset;
    return ptr;
  }
  int Size() const { return static_cast<int>(l.size()); }
};

inline Stereo Sine(int n, double hz, double fs, double amplitude, double rightPhase = 0.0)
{
  Stereo s(n);
  const double w = 2.0 * 3.14159265358979323846 * hz / fs;
  for (int i = 0; i < n; ++i)
  {
    s.l[static_cast<size_t>(i)] = amplitude * std::sin(w * i);
    s.r[static_cast<size_t>(i)] = amplitude * std::sin(w * i + rightPhase);
  }
  return s;
}

// Music-like test material: two sines and noise, with level swings that reach the curves' knees.
inline Stereo Material(int n, double fs, unsigned seed, double amplitude = 0.3)
{
  std::mt19937 rng(seed);
  std::uniform_real_distribution<double> noise(-1.0, 1.0);
  Stereo s(n);
  const double pi = 3.14159265358979323846;
  for (int i = 0; i < n; ++i)
  {
    const double env = 0.5 + 0.5 * std::sin(2.0 * pi * 3.0 * i / fs);
    const double v = std::sin(2.0 * pi * 110.0 * i / fs) + 0.5 * std::sin(2.0 * pi * 1870.0 * i / fs);
    s.l[static_cast<size_t>(i)] = amplitude * env * (v + 0.2 * noise(rng));
    s.r[static_cast<size_t>(i)] = amplitude * (1.0 - env) * (v + 0.2 * noise(rng));
  }
  return s;
}

inline bool SameBits(double a, double b)
{
  return std::memcmp(&a, &b, sizeof a) == 0;
}

inline double PeakOf(const std::vector<double>& v, size_t from)
{
  double p = 0.0;
  for (size_t i = from; i < v.size(); ++i) p = std::fabs(v[i]) > p ? std::fabs(v[i]) : p;
  return p;
}
