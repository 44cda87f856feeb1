#pragma once
// A progress bar on standard error for renders that take a while: drawn only when standard error
// is a terminal, only once the render has run for half a second, at most ten times a second, and
// erased by Finish(). Single-threaded.
#include <chrono>
#include <cstdint>

namespace brelix {

class ProgressBar
{
public:
  ProgressBar(bool wanted, int64_t total);
  ~ProgressBar() { Finish(); }

  void Update(int64_t done);
  void Finish();

private:
  bool mEnabled;
  bool mDrawn = false;
  int64_t mTotal;
  std::chrono::steady_clock::time_point mStart, mLastDraw;
};

} // namespace brelix
