#pragma once
// A source of planar double-precision audio read block by block: an audio file or the demo clip.
// Single-threaded.
#include <cstdint>

namespace brelix {

class AudioSource
{
public:
  virtual ~AudioSource() = default;
  virtual int Channels() const = 0;
  virtual double SampleRate() const = 0;     // Hz
  virtual int64_t Frames() const = 0;        // total length
  // Fills out[0..channels) with up to `frames` frames; returns how many were read (0 at the end).
  virtual int Read(double* const* out, int frames) = 0;
};

} // namespace brelix
