#pragma once
// Last-resort clean-up for a render: when the process dies from a signal (a plug-in that
// crashes, Ctrl-C), the temporary output file is removed and a one-line message is printed, so
// that no half-written file is left behind. Async-signal-safe; one watched file at a time.
#include <string>

namespace brelix {

class CrashGuard
{
public:
  static void Install();
  static void Watch(const std::string& temporaryPath);
  static void Clear();
};

} // namespace brelix
