// Named images: the file of that name in the resource folder of the bundle this module was
// loaded from (Bundle.vst3/Contents/<arch>/Module.so -> Bundle.vst3/Contents/Resources/), or in
// the folder set with LICE_SetResourcePath.
#include "lice.h"

#include <dlfcn.h>
#include <unistd.h>

#include <climits>
#include <cstring>
#include <mutex>
#include <string>

namespace
{
constexpr size_t kMaxNameLength = 400;
constexpr size_t kMaxBundlePath = 1536;

std::mutex s_overrideLock;
std::string s_override;

std::string ParentOf(const std::string& path)
{
  const size_t slash = path.find_last_of('/');
  if (slash == std::string::npos || slash == 0) return std::string();
  return path.substr(0, slash);
}

std::string LeafOf(const std::string& path)
{
  const size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

// The resource folder of the bundle holding this module, or empty when the module does not sit
// in a bundle's Contents/<arch>/ folder.
std::string BundleResourceDir()
{
  Dl_info dl{};
  if (!dladdr(reinterpret_cast<void*>(&LICE_LoadPNGFromNamedResource), &dl) || !dl.dli_fname ||
      !dl.dli_fname[0])
    return std::string();
  std::string module = dl.dli_fname;
  if (module[0] != '/')
  {
    char cwd[PATH_MAX];
    if (!getcwd(cwd, sizeof cwd)) return std::string();
    module = std::string(cwd) + "/" + module;
  }
  const std::string contents = ParentOf(ParentOf(module));
  const std::string bundle = ParentOf(contents);
  if (LeafOf(contents) != "Contents" || bundle.empty() || bundle.size() > kMaxBundlePath)
    return std::string();
  return contents + "/Resources";
}

std::string ResourceDir()
{
  {
    std::lock_guard<std::mutex> lock(s_overrideLock);
    if (!s_override.empty()) return s_override;
  }
  return BundleResourceDir();
}
}  // namespace

void LICE_SetResourcePath(const char* dir)
{
  std::lock_guard<std::mutex> lock(s_overrideLock);
  s_override = dir ? dir : "";
  while (s_override.size() > 1 && s_override.back() == '/') s_override.pop_back();
}

LICE_IBitmap* LICE_LoadPNGFromNamedResource(const char* name, LICE_IBitmap* bmp)
{
  if (!name || strnlen(name, kMaxNameLength + 1) > kMaxNameLength) return nullptr;
  // Only the last path component counts: nothing outside the resource folder is reachable.
  const std::string leaf = LeafOf(name);
  if (leaf.empty() || leaf == "." || leaf == "..") return nullptr;
  const std::string dir = ResourceDir();
  if (dir.empty()) return nullptr;
  const std::string path = dir + "/" + leaf;
  if (path.size() >= PATH_MAX) return nullptr;
  return LICE_LoadPNG(path.c_str(), bmp);
}
