#include "ProgressBar.h"

#include <cstdio>
#include <unistd.h>

namespace brelix {

ProgressBar::ProgressBar(bool wanted, int64_t total)
: enabled_(wanted && total > 0 && isatty(STDERR_FILENO)), total_(total), start_(std::chrono::steady_clock::now()),
  lastDraw_(start_)
{
}

void ProgressBar::update(int64_t done)
{
  if (!enabled_)
    return;
  const auto now = std::chrono::steady_clock::now();
  if (now - start_ < std::chrono::milliseconds(500) || now - lastDraw_ < std::chrono::milliseconds(100))
    return;
  lastDraw_ = now;
  constexpr int kWidth = 40;
  const double fraction = done >= total_ ? 1.0 : static_cast<double>(done) / static_cast<double>(total_);
  const int filled = static_cast<int>(fraction * kWidth);
  char bar[kWidth + 1];
  for (int i = 0; i < kWidth; ++i)
    bar[i] = i < filled ? '#' : '-';
  bar[kWidth] = 0;
  std::fprintf(stderr, "\r[%s] %3d%%", bar, static_cast<int>(fraction * 100));
  std::fflush(stderr);
  drawn_ = true;
}

void ProgressBar::finish()
{
  if (drawn_)
    std::fprintf(stderr, "\r\033[K");
  drawn_ = false;
  enabled_ = false;
}

} // namespace brelix
