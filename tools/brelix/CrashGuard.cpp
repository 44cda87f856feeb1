#include "CrashGuard.h"

#include <csignal>
#include <algorithm>
#include <cstring>
#include <unistd.h>

namespace brelix {

namespace {

char gPath[4096];
volatile sig_atomic_t gWatching = 0;

void WriteText(const char* text)
{
  const ssize_t ignored = ::write(STDERR_FILENO, text, std::strlen(text));
  (void)ignored;
}

void OnSignal(int sig)
{
  if (gWatching)
    unlink(gPath);
  const bool interrupted = sig == SIGINT || sig == SIGTERM || sig == SIGHUP;
  WriteText(interrupted ? "\nbrelix: interrupted; no output written\n"
                        : "\nbrelix: error: the plug-in crashed (fatal signal); no output written\n");
  _exit(interrupted ? 130 : 70);
}

} // namespace

void CrashGuard::Install()
{
  struct sigaction sa;
  std::memset(&sa, 0, sizeof(sa));
  sa.sa_handler = OnSignal;
  sigemptyset(&sa.sa_mask);
  for (int sig : {SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGABRT, SIGINT, SIGTERM, SIGHUP})
    sigaction(sig, &sa, nullptr);
}

void CrashGuard::Watch(const std::string& temporaryPath)
{
  gWatching = 0;
  const size_t n = std::min(temporaryPath.size(), sizeof(gPath) - 1);
  std::memcpy(gPath, temporaryPath.data(), n);
  gPath[n] = 0;
  gWatching = n > 0;
}

void CrashGuard::Clear()
{
  gWatching = 0;
}

} // namespace brelix
