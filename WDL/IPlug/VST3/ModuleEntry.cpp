// The module's outer shell on Linux: ModuleEntry/ModuleExit, GetPluginFactory and the creation
// of instances. The only symbols a bundle exports are the three entry points defined here.
#include <dlfcn.h>

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <new>

#include "IPlugVST3.h"
#include "IPlugVST3Entry.h"
#include "PluginFactory.h"
#include "WDL_Mutex.h"
#include "WDL_String.h"
#include "pluginterfaces/vst/ivstaudioprocessor.h"
#include "pluginterfaces/vst/ivstcomponent.h"

using namespace Steinberg;

namespace
{
WDL_Mutex& ModuleMutex()
{
  static WDL_Mutex mutex;
  return mutex;
}

PluginFactory* gPluginFactory = nullptr;  // guarded by ModuleMutex
int gEntryCount = 0;                      // ModuleEntry calls not yet matched by ModuleExit
void* gModuleHandle = nullptr;

char gModulePath[PATH_MAX];
char gBundlePath[PATH_MAX];

void FindPaths()
{
  Dl_info info = {};
  if (!dladdr(reinterpret_cast<void*>(&FindPaths), &info) || !info.dli_fname) return;
  if (!realpath(info.dli_fname, gModulePath)) std::snprintf(gModulePath, sizeof(gModulePath), "%s", info.dli_fname);

  // <bundle>.vst3/Contents/<architecture>/<name>.so
  std::snprintf(gBundlePath, sizeof(gBundlePath), "%s", gModulePath);
  for (int up = 0; up < 3; ++up)
  {
    char* slash = std::strrchr(gBundlePath, '/');
    if (!slash)
    {
      gBundlePath[0] = 0;
      return;
    }
    *slash = 0;
  }
  size_t len = std::strlen(gBundlePath);
  if (len < 5 || std::strcmp(gBundlePath + len - 5, ".vst3") != 0) gBundlePath[0] = 0;
}

void EnsurePaths()
{
  static std::once_flag once;
  std::call_once(once, FindPaths);
}

bool InitModule()
{
  return true;
}

bool DeinitModule()
{
  return true;
}

// Copies at most size - 1 characters and always terminates (the SDK's copy does not).
template <size_t N> void CopyText(char8 (&dst)[N], const char* src)
{
  WDL_CopyText(dst, static_cast<int>(N), src);
}

const PFactoryInfo& FactoryInfo()
{
  static const PFactoryInfo info = [] {
    PFactoryInfo f;
    CopyText(f.vendor, kIPlugVST3ClassInfo.mVendor);
    CopyText(f.url, kIPlugVST3ClassInfo.mURL);
    CopyText(f.email, kIPlugVST3ClassInfo.mEmail);
    f.flags = PFactoryInfo::kUnicode;
    return f;
  }();
  return info;
}

const PClassInfo2& ClassInfo()
{
  static const PClassInfo2 info = [] {
    const uint32_t* id = kIPlugVST3ClassInfo.mClassId;
    const TUID cid = INLINE_UID(id[0], id[1], id[2], id[3]);
    PClassInfo2 c;
    std::memcpy(c.cid, cid, sizeof(TUID));
    c.cardinality = PClassInfo::kManyInstances;
    CopyText(c.category, kVstAudioEffectClass);
    CopyText(c.name, kIPlugVST3ClassInfo.mName);
    c.classFlags = Vst::kSimpleModeSupported;
    CopyText(c.subCategories, kIPlugVST3ClassInfo.mSubCategories);
    CopyText(c.vendor, "");
    CopyText(c.version, kIPlugVST3ClassInfo.mVersion);
    CopyText(c.sdkVersion, "VST 3.6.12");
    return c;
  }();
  return info;
}

FUnknown* createInstance(void*)
{
  IPlugVST3* plug = MakePlug();
  return plug ? static_cast<Vst::IAudioProcessor*>(plug) : nullptr;
}

void OnFactoryReleased(PluginFactory* factory)
{
  WDL_MutexLock lock(&ModuleMutex());
  if (gPluginFactory == factory) gPluginFactory = nullptr;
}
}  // namespace

IPlugVST3* MakePlug()
{
  static WDL_Mutex creationMutex;
  WDL_MutexLock lock(&creationMutex);
  return MakePlugInstance();
}

const char* IPlugVST3ModulePath()
{
  EnsurePaths();
  return gModulePath;
}

const char* IPlugVST3BundlePath()
{
  EnsurePaths();
  return gBundlePath;
}

extern "C" {

SMTG_EXPORT_SYMBOL bool ModuleEntry(void* sharedLibraryHandle)
{
  WDL_MutexLock lock(&ModuleMutex());
  if (gEntryCount++ > 0) return true;
  gModuleHandle = sharedLibraryHandle;
  EnsurePaths();
  return InitModule();
}

SMTG_EXPORT_SYMBOL bool ModuleExit()
{
  WDL_MutexLock lock(&ModuleMutex());
  if (gEntryCount == 0) return false;
  if (gEntryCount == 1)
  {
    if (!DeinitModule()) return false;
    gModuleHandle = nullptr;
  }
  --gEntryCount;
  return true;
}

SMTG_EXPORT_SYMBOL IPluginFactory* PLUGIN_API GetPluginFactory()
{
  WDL_MutexLock lock(&ModuleMutex());
  // A factory whose count has reached 0 is being deleted: it is replaced, never revived.
  if (gPluginFactory && gPluginFactory->TryAddRef()) return gPluginFactory;
  PluginFactory* factory = nullptr;
  try
  {
    factory = new PluginFactory(FactoryInfo(), OnFactoryReleased);
    factory->registerClass(ClassInfo(), createInstance, nullptr);
  }
  catch (...)
  {
    if (factory) factory->release();
    return nullptr;
  }
  gPluginFactory = factory;
  return factory;
}

}  // extern "C"
