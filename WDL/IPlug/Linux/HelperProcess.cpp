#include "HelperProcess.h"

#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <mutex>

extern char** environ;

namespace
{
std::mutex s_lock;
std::vector<pid_t> s_started;

// Spawns argv with stdin from /dev/null, stdout to outFd (or /dev/null when -1).
bool Spawn(const std::vector<std::string>& argv, int outFd, int closeFd, pid_t* pid)
{
  if (argv.empty()) return false;
  std::vector<char*> args;
  for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
  args.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  if (outFd >= 0)
    posix_spawn_file_actions_adddup2(&actions, outFd, 1);
  else
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  if (closeFd >= 0) posix_spawn_file_actions_addclose(&actions, closeFd);
  posix_spawnattr_t attr;
  posix_spawnattr_init(&attr);
  // The child starts with default signal handling whatever the host set.
  sigset_t all;
  sigfillset(&all);
  posix_spawnattr_setsigdefault(&attr, &all);
  sigset_t none;
  sigemptyset(&none);
  posix_spawnattr_setsigmask(&attr, &none);
  posix_spawnattr_setflags(&attr, POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETSIGMASK);
  const int err = posix_spawnp(pid, args[0], &actions, &attr, args.data(), environ);
  posix_spawnattr_destroy(&attr);
  posix_spawn_file_actions_destroy(&actions);
  return err == 0;
}
}  // namespace

bool HelperProcess::IsInstalled(const char* name)
{
  const char* path = std::getenv("PATH");
  if (!name || !*name || !path) return false;
  std::string dirs(path);
  size_t start = 0;
  while (start <= dirs.size())
  {
    size_t end = dirs.find(':', start);
    if (end == std::string::npos) end = dirs.size();
    std::string file = (end > start ? dirs.substr(start, end - start) : std::string(".")) + "/" + name;
    struct stat st{};
    if (stat(file.c_str(), &st) == 0 && S_ISREG(st.st_mode) && access(file.c_str(), X_OK) == 0) return true;
    start = end + 1;
  }
  return false;
}

HelperProcess::Result HelperProcess::Run(const std::vector<std::string>& argv, const std::function<void()>& tick,
                                         int tickMs)
{
  Result result;
  // posix_spawnp reports a missing program only through the child's exit status, which a host
  // that ignores SIGCHLD takes away: look for it first, so "not installed" is known at once.
  if (argv.empty() || !IsInstalled(argv[0].c_str())) return result;
  int fds[2];
  if (pipe2(fds, O_CLOEXEC) != 0) return result;
  pid_t pid = -1;
  result.started = Spawn(argv, fds[1], fds[0], &pid);
  close(fds[1]);
  if (!result.started)
  {
    close(fds[0]);
    return result;
  }
  char buf[4096];
  for (;;)
  {
    pollfd p{fds[0], POLLIN, 0};
    const int n = poll(&p, 1, tick ? tickMs : -1);
    if (n < 0 && errno == EINTR) continue;
    if (n == 0)
    {
      if (tick) tick();
      continue;
    }
    const ssize_t got = read(fds[0], buf, sizeof buf);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) break;
    if (result.output.size() < (1u << 20)) result.output.append(buf, static_cast<size_t>(got));
  }
  close(fds[0]);
  int status = 0;
  pid_t waited;
  do
    waited = waitpid(pid, &status, 0);
  while (waited < 0 && errno == EINTR);
  if (waited == pid && WIFEXITED(status)) result.exitStatus = WEXITSTATUS(status);
  return result;
}

bool HelperProcess::Start(const std::vector<std::string>& argv)
{
  if (argv.empty() || !IsInstalled(argv[0].c_str())) return false;
  pid_t pid = -1;
  if (!Spawn(argv, -1, -1, &pid)) return false;
  std::lock_guard<std::mutex> lock(s_lock);
  s_started.push_back(pid);
  return true;
}

void HelperProcess::ReapStarted()
{
  std::lock_guard<std::mutex> lock(s_lock);
  s_started.erase(std::remove_if(s_started.begin(), s_started.end(),
                                 [](pid_t pid) {
                                   int status = 0;
                                   const pid_t r = waitpid(pid, &status, WNOHANG);
                                   return r == pid || (r < 0 && errno == ECHILD);
                                 }),
                  s_started.end());
}
