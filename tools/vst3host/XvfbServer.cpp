#include "XvfbServer.h"

#include "HostError.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>


extern char** environ;

namespace vst3host {
namespace {

constexpr int kStartTimeoutMs = 10000;

} // namespace

XvfbServer::XvfbServer(int width, int height)
{
  int fds[2];
  if (pipe2(fds, O_CLOEXEC) != 0) throw HostError("cannot start Xvfb: no pipe");
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, fds[1], 3);  // dup2 clears close-on-exec
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);  // its probing of taken numbers
  const std::string screen = std::to_string(width) + "x" + std::to_string(height) + "x24";
  const char* argv[] = {"Xvfb", "-displayfd", "3", "-screen", "0", screen.c_str(), "-nolisten", "tcp", nullptr};
  const int spawned = posix_spawnp(&mPid, "Xvfb", &actions, nullptr, const_cast<char**>(argv), environ);
  posix_spawn_file_actions_destroy(&actions);
  close(fds[1]);
  if (spawned != 0)
  {
    close(fds[0]);
    mPid = -1;
    throw HostError("cannot start Xvfb (install the xvfb package, or name a display with --display)");
  }
  // The number, then a newline in a write of its own: read up to the newline, since a server
  // whose newline finds the pipe closed gives up.
  std::string number;
  char c = 0;
  pollfd p{fds[0], POLLIN, 0};
  while (number.size() < 16 && poll(&p, 1, kStartTimeoutMs) > 0 && read(fds[0], &c, 1) == 1 && c != '\n')
    number += c;
  close(fds[0]);
  const bool got = c == '\n' && !number.empty();
  if (!got)
  {
    kill(mPid, SIGKILL);
    waitpid(mPid, nullptr, 0);
    mPid = -1;
    throw HostError("Xvfb did not start");
  }
  mDisplay = ":" + number;
}

XvfbServer::~XvfbServer() { Stop(); }

void XvfbServer::Stop()
{
  if (mPid <= 0) return;
  const pid_t pid = mPid;
  mPid = -1;
  kill(pid, SIGTERM);
  // Give it a moment to remove its lock file and socket, then insist.
  for (int i = 0; i < 100; ++i)
  {
    if (waitpid(pid, nullptr, WNOHANG) == pid) return;
    usleep(20000);
  }
  kill(pid, SIGKILL);
  waitpid(pid, nullptr, 0);
}

} // namespace vst3host
