#include "LinuxPaths.h"

#include <dlfcn.h>
#include <pwd.h>
#include <unistd.h>

#include <climits>
#include <cstdlib>
#include <fstream>

namespace LinuxPaths
{
namespace
{
std::string Parent(const std::string& path)
{
  const size_t slash = path.find_last_of('/');
  return slash == std::string::npos || slash == 0 ? std::string() : path.substr(0, slash);
}

std::string Leaf(const std::string& path)
{
  const size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string ConfigHomeOr(const std::string& home)
{
  const char* x = std::getenv("XDG_CONFIG_HOME");
  if (x && x[0] == '/') return x;
  return home.empty() ? std::string() : home + "/.config";
}
}  // namespace

std::string ModulePath()
{
  Dl_info info{};
  if (!dladdr(reinterpret_cast<void*>(&ModulePath), &info) || !info.dli_fname || !info.dli_fname[0]) return {};
  char resolved[PATH_MAX];
  if (realpath(info.dli_fname, resolved)) return resolved;
  return info.dli_fname;
}

std::string BundleResources(const std::string& modulePath)
{
  const std::string contents = Parent(Parent(modulePath));
  if (Leaf(contents) != "Contents" || Parent(contents).empty()) return {};
  return contents + "/Resources";
}

std::string PluginFolder(const std::string& modulePath)
{
  const std::string contents = Parent(Parent(modulePath));
  const std::string holder = Leaf(contents) == "Contents" ? Parent(Parent(contents)) : Parent(modulePath);
  return holder.empty() ? std::string("/") : holder + "/";
}

std::string Home()
{
  const char* home = std::getenv("HOME");
  if (home && *home) return home;
  if (const passwd* pw = getpwuid(getuid()); pw && pw->pw_dir) return pw->pw_dir;
  return {};
}

std::string ExpandTilde(const std::string& path)
{
  if (path == "~" || path.rfind("~/", 0) == 0) return Home() + path.substr(1);
  return path;
}

std::string Desktop()
{
  const std::string home = Home();
  std::ifstream dirs(ConfigHomeOr(home) + "/user-dirs.dirs");
  std::string line;
  while (std::getline(dirs, line))
  {
    const std::string key = "XDG_DESKTOP_DIR=";
    if (line.rfind(key, 0) != 0) continue;
    std::string value = line.substr(key.size());
    if (value.size() >= 2 && value.front() == '"' && value.back() == '"') value = value.substr(1, value.size() - 2);
    if (value.rfind("$HOME", 0) == 0) value = home + value.substr(5);
    if (!value.empty() && value[0] == '/') return value;
  }
  return home + "/Desktop";
}

std::string ConfigHome() { return ConfigHomeOr(Home()); }

std::string SystemConfig()
{
  if (const char* dirs = std::getenv("XDG_CONFIG_DIRS"))
  {
    std::string all(dirs);
    size_t start = 0;
    while (start < all.size())
    {
      size_t end = all.find(':', start);
      if (end == std::string::npos) end = all.size();
      const std::string entry = all.substr(start, end - start);
      if (!entry.empty() && entry[0] == '/') return entry;
      start = end + 1;
    }
  }
  return "/etc/xdg";
}
}  // namespace LinuxPaths
