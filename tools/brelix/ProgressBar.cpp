#include "ProgressBar.h"

#include <cstdio>
#include <unistd.h>

namespace brelix {

ProgressBar::ProgressBar(bool wanted, int64_t total)
: mEnabled(wanted && total > 0 && isatty(STDERR_FILENO)), mTotal(total), mStart(std::chrono::steady_clock::now()),
  mLastDraw(mStart)
{
}

void ProgressBar::Update(int64_t done)
{
  if (!mEnabled)
    return;
  const auto now = std::chrono::steady_clock::now();
  if (now - mStart < std::chrono::milliseconds(500) || now - mLastDraw < std::chrono::milliseconds(100))
    return;
  mLastDraw = now;
  constexpr int kWidth = 40;
  const double fraction = done >= mTotal ? 1.0 : static_cast<double>(done) / static_cast<double>(mTotal);
  const int filled = static_cast<int>(fraction * kWidth);
  char bar[kWidth + 1];
  for (int i = 0; i < kWidth; ++i)
    bar[i] = i < filled ? '#' : '-';
  bar[kWidth] = 0;
  std::fprintf(stderr, "\r[%s] %3d%%", bar, static_cast<int>(fraction * 100));
  std::fflush(stderr);
  mDrawn = true;
}

void ProgressBar::Finish()
{
  if (mDrawn)
    std::fprintf(stderr, "\r\033[K");
  mDrawn = false;
  mEnabled = false;
}

} // namespace brelix
