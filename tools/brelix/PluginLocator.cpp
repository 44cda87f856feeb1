#include "PluginLocator.h"

#include "HostError.h"

#include <cstdlib>
#include <filesystem>
#include <vector>

namespace fs = std::filesystem;

namespace brelix {

std::string DefaultPluginPath()
{
  std::vector<std::string> installed;
  if (const char* home = std::getenv("HOME"))
    installed.push_back(std::string(home) + "/.vst3/Brelix.vst3");
  installed.push_back("/usr/local/lib/vst3/Brelix.vst3");
  installed.push_back("/usr/lib/vst3/Brelix.vst3");
  const std::string built = BRELIX_BUILD_BUNDLE;

  std::error_code ec;
  const std::string self = fs::read_symlink("/proc/self/exe", ec).string();
  const bool inBuildTree = !ec && self.rfind(std::string(BRELIX_BUILD_DIR) + "/", 0) == 0;

  std::vector<std::string> candidates;
  if (inBuildTree)
    candidates.push_back(built);
  candidates.insert(candidates.end(), installed.begin(), installed.end());
  if (!inBuildTree)
    candidates.push_back(built);

  std::string looked;
  for (const auto& c : candidates)
  {
    if (fs::exists(c, ec))
      return c;
    looked += (looked.empty() ? "" : ", ") + c;
  }
  throw vst3host::HostError("no Brelix.vst3 found (looked in " + looked + "): build it or pass --plugin PATH.vst3");
}

} // namespace brelix
