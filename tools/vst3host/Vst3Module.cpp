#include "Vst3Module.h"

#include "HostError.h"
#include "Text.h"
#include "pluginterfaces/vst/ivstaudioprocessor.h"

#include <dlfcn.h>
#include <filesystem>
#include <system_error>

namespace fs = std::filesystem;
using namespace Steinberg;

namespace vst3host {

bool ClassDescription::IsAudioEffect() const
{
  return category == kVstAudioEffectClass;
}

std::string FindModuleLibrary(const std::string& path)
{
  std::error_code ec;
  const fs::path p(path);
  if (!fs::exists(p, ec))
    throw HostError("no plug-in at '" + path + "'");
  if (!fs::is_directory(p, ec))
    return path;

  const fs::path archDir = p / "Contents" / "x86_64-linux";
  const fs::path expected = archDir / (p.stem().string() + ".so");
  if (fs::is_regular_file(expected, ec))
    return expected.string();
  // Some bundles are renamed after they were built: take the one library of the folder.
  if (fs::is_directory(archDir, ec))
    for (const auto& entry : fs::directory_iterator(archDir, ec))
      if (entry.path().extension() == ".so")
        return entry.path().string();
  throw HostError("'" + path + "' is not a VST3 bundle for x86_64-linux (no " +
                  expected.lexically_relative(p).string() + ")");
}

std::unique_ptr<Vst3Module> Vst3Module::Load(const std::string& path)
{
  std::unique_ptr<Vst3Module> module(new Vst3Module);
  module->mPath = path;
  module->mLibraryPath = FindModuleLibrary(path);

  dlerror();
  module->mHandle = dlopen(module->mLibraryPath.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!module->mHandle)
  {
    const char* why = dlerror();
    throw HostError("cannot load '" + path + "': " + (why ? why : "unknown error"));
  }

  using EntryFn = bool (*)(void*);
  using FactoryFn = IPluginFactory* (*)();
  auto entry = reinterpret_cast<EntryFn>(dlsym(module->mHandle, "ModuleEntry"));
  auto getFactory = reinterpret_cast<FactoryFn>(dlsym(module->mHandle, "GetPluginFactory"));
  if (!getFactory)
    throw HostError("'" + path + "' is not a VST3 module (it exports no GetPluginFactory)");
  // Older Linux modules have no entry function; those that have one must accept the call.
  if (entry)
  {
    if (!entry(module->mHandle))
      throw HostError("'" + path + "' refused to load (ModuleEntry failed)");
    module->mEntered = true;
  }

  module->mFactory = getFactory();
  if (!module->mFactory)
    throw HostError("'" + path + "' returned no plug-in factory");
  module->ReadDescriptions();
  return module;
}

Vst3Module::~Vst3Module()
{
  if (mFactory)
    mFactory->release();
  if (mEntered)
  {
    using ExitFn = bool (*)();
    if (auto exitFn = reinterpret_cast<ExitFn>(dlsym(mHandle, "ModuleExit")))
      exitFn();
  }
  if (mHandle)
    dlclose(mHandle);
}

void Vst3Module::ReadDescriptions()
{
  PFactoryInfo info{};
  if (mFactory->getFactoryInfo(&info) == kResultOk)
  {
    mFactoryDescription.vendor = FieldToString(info.vendor, sizeof(info.vendor));
    mFactoryDescription.url = FieldToString(info.url, sizeof(info.url));
    mFactoryDescription.email = FieldToString(info.email, sizeof(info.email));
    mFactoryDescription.flags = info.flags;
  }

  IPluginFactory2* factory2 = nullptr;
  IPluginFactory3* factory3 = nullptr;
  if (mFactory->queryInterface(IPluginFactory3::iid, reinterpret_cast<void**>(&factory3)) != kResultOk)
    factory3 = nullptr;
  if (mFactory->queryInterface(IPluginFactory2::iid, reinterpret_cast<void**>(&factory2)) != kResultOk)
    factory2 = nullptr;
  mFactoryDescription.interfaceVersion = factory3 ? 3 : factory2 ? 2 : 1;

  const int32 count = mFactory->countClasses();
  for (int32 i = 0; i < count; ++i)
  {
    PClassInfo ci{};
    if (mFactory->getClassInfo(i, &ci) != kResultOk)
      continue;
    ClassDescription d;
    std::copy(ci.cid, ci.cid + 16, d.cid.begin());
    d.uid = UidToString(ci.cid);
    d.category = FieldToString(ci.category, sizeof(ci.category));
    d.name = FieldToString(ci.name, sizeof(ci.name));
    d.cardinality = ci.cardinality;

    PClassInfoW ciw{};
    PClassInfo2 ci2{};
    if (factory3 && factory3->getClassInfoUnicode(i, &ciw) == kResultOk)
    {
      d.hasInfo2 = true;
      d.name = ToUtf8(ciw.name, PClassInfo::kNameSize);
      d.subCategories = FieldToString(ciw.subCategories, sizeof(ciw.subCategories));
      d.vendor = ToUtf8(ciw.vendor, PClassInfo2::kVendorSize);
      d.version = ToUtf8(ciw.version, PClassInfo2::kVersionSize);
      d.sdkVersion = ToUtf8(ciw.sdkVersion, PClassInfo2::kVersionSize);
      d.classFlags = ciw.classFlags;
    }
    else if (factory2 && factory2->getClassInfo2(i, &ci2) == kResultOk)
    {
      d.hasInfo2 = true;
      d.subCategories = FieldToString(ci2.subCategories, sizeof(ci2.subCategories));
      d.vendor = FieldToString(ci2.vendor, sizeof(ci2.vendor));
      d.version = FieldToString(ci2.version, sizeof(ci2.version));
      d.sdkVersion = FieldToString(ci2.sdkVersion, sizeof(ci2.sdkVersion));
      d.classFlags = ci2.classFlags;
    }
    mClasses.push_back(d);
  }
  if (factory3)
    factory3->release();
  if (factory2)
    factory2->release();
}

std::vector<const ClassDescription*> Vst3Module::AudioEffectClasses() const
{
  std::vector<const ClassDescription*> result;
  for (const auto& c : mClasses)
    if (c.IsAudioEffect())
      result.push_back(&c);
  return result;
}

const ClassDescription& Vst3Module::SelectEffectClass(const std::string& selector) const
{
  const auto effects = AudioEffectClasses();
  if (effects.empty())
    throw HostError("'" + mPath + "' holds no audio effect class");

  if (selector.empty())
  {
    if (effects.size() == 1)
      return *effects.front();
    std::string names;
    for (const auto* c : effects)
      names += (names.empty() ? "" : ", ") + c->name;
    throw HostError("'" + mPath + "' holds " + std::to_string(effects.size()) +
                    " audio effect classes (" + names + "): choose one with --class");
  }

  TUID wanted{};
  const bool isUid = UidFromString(selector, wanted);
  for (const auto* c : effects)
    if (isUid ? std::equal(c->cid.begin(), c->cid.end(), wanted) : EqualsIgnoringCase(c->name, selector))
      return *c;
  throw HostError("'" + mPath + "' holds no audio effect class '" + selector + "'");
}

} // namespace vst3host
