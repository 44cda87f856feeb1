#include "DemoClip.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace brelix {

namespace {

constexpr double kTwoPi = 6.283185307179586;
constexpr double kBeat = 0.5;          // seconds per beat at 120 BPM
constexpr double kBar = 4 * kBeat;
constexpr double kLoop = 4 * kBar;
constexpr double kMasterGain = 0.5;

// Chord roots of the four bars (Am, F, C, G) and their triads, as MIDI notes.
constexpr int kChords[4][3] = {{57, 60, 64}, {53, 57, 60}, {48, 52, 55}, {55, 59, 62}};
constexpr int kBassSteps[8] = {0, 0, 12, 0, 7, 0, 12, 0};  // eighth-note offsets from the root
constexpr int kLead[16] = {69, 72, 76, 74, 72, 69, 65, 67, 64, 67, 72, 71, 67, 74, 71, 69};

double MidiToHz(int note)
{
  return 440.0 * std::pow(2.0, (note - 69) / 12.0);
}

// White noise in [-1, 1) as a hash of the sample index: stateless and reproducible.
double Noise(int64_t n)
{
  uint64_t x = static_cast<uint64_t>(n) * 0x9E3779B97F4A7C15ull;
  x ^= x >> 30;
  x *= 0xBF58476D1CE4E5B9ull;
  x ^= x >> 27;
  x *= 0x94D049BB133111EBull;
  x ^= x >> 31;
  return static_cast<double>(x >> 11) * (2.0 / 9007199254740992.0) - 1.0;
}

// Attack/release gate for a note of `length` seconds, `t` seconds in.
double Gate(double t, double length, double attack, double release)
{
  if (t < 0 || t >= length)
    return 0;
  return std::min({1.0, t / attack, (length - t) / release});
}

} // namespace

DemoClip::DemoClip(double sampleRate, int channels, double seconds)
: mSampleRate(sampleRate), mChannels(channels < 2 ? 1 : 2), mFrames(static_cast<int64_t>(seconds * sampleRate))
{
}

void DemoClip::SampleAt(int64_t n, double& left, double& right) const
{
  const double t = std::fmod(static_cast<double>(n) / mSampleRate, kLoop);
  const int bar = static_cast<int>(t / kBar) % 4;
  const double inBar = t - bar * kBar;
  const double inBeat = std::fmod(t, kBeat);
  const int beat = static_cast<int>(inBar / kBeat);
  const int64_t loopSample = static_cast<int64_t>(t * mSampleRate);

  double l = 0, r = 0;

  // Kick on 1 and 3: a sine swept from 150 Hz down to 50 Hz.
  if (beat % 2 == 0)
  {
    const double k = 0.9 * std::exp(-inBeat * 9.0) *
                     std::sin(kTwoPi * (50.0 * inBeat + 100.0 / 30.0 * (1.0 - std::exp(-30.0 * inBeat))));
    l += k;
    r += k;
  }
  // Snare on 2 and 4: noise burst over a 180 Hz body.
  else
  {
    const double s = 0.3 * Noise(loopSample) * std::exp(-inBeat * 18.0) +
                     0.3 * std::sin(kTwoPi * 180.0 * inBeat) * std::exp(-inBeat * 25.0);
    l += s;
    r += s;
  }
  // Hats on every eighth: differentiated noise (bright), panned right.
  const double inEighth = std::fmod(t, kBeat / 2);
  const double hat = 0.08 * (Noise(loopSample) - Noise(loopSample - 1)) * std::exp(-inEighth * 60.0);
  l += 0.4 * hat;
  r += hat;

  // Bass: clean sine eighths on the chord root, an octave and a fifth above it.
  const int eighth = static_cast<int>(inBar / (kBeat / 2));
  const double bassHz = MidiToHz(kChords[bar][0] - 12 + kBassSteps[eighth]);
  const double bass = 0.35 * Gate(inEighth, kBeat / 2, 0.004, 0.01) * std::exp(-inEighth * 3.0) *
                      std::sin(kTwoPi * bassHz * t);
  l += bass;
  r += bass;

  // Pad: soft saw triads (five harmonics), slightly detuned between the sides.
  const double padGate = Gate(inBar, kBar, 0.08, 0.08);
  for (int v = 0; v < 3; ++v)
  {
    const double f = MidiToHz(kChords[bar][v]);
    for (int h = 1; h <= 5; ++h)
    {
      const double a = 0.03 * padGate / h;
      l += a * std::sin(kTwoPi * h * f * 1.001 * t);
      r += a * std::sin(kTwoPi * h * f * 0.999 * t);
    }
  }

  // Lead: a plucked, slightly vibrato quarter-note line, left of centre.
  const int step = static_cast<int>(t / kBeat) % 16;
  const double leadHz = MidiToHz(kLead[step] + 12);
  const double vibrato = 1.0 + 0.003 * std::sin(kTwoPi * 5.0 * t);
  const double phase = kTwoPi * leadHz * vibrato * inBeat;
  const double lead = 0.16 * Gate(inBeat, kBeat, 0.01, 0.02) * std::exp(-inBeat * 2.5) *
                      (std::sin(phase) + std::sin(3 * phase) / 9.0);
  l += lead;
  r += 0.6 * lead;

  left = kMasterGain * l;
  right = kMasterGain * r;
}

int DemoClip::Read(double* const* out, int frames)
{
  const int count = static_cast<int>(std::min<int64_t>(frames, mFrames - mPosition));
  for (int i = 0; i < count; ++i)
  {
    double l, r;
    SampleAt(mPosition + i, l, r);
    if (mChannels == 1)
      out[0][i] = 0.5 * (l + r);
    else
    {
      out[0][i] = l;
      out[1][i] = r;
    }
  }
  mPosition += std::max(count, 0);
  return std::max(count, 0);
}

} // namespace brelix
