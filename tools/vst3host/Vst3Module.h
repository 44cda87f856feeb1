#pragma once
// A loaded VST3 module: the shared library of a bundle, its entry and exit calls and its class
// factory, with the factory's and classes' descriptions read once at load time.
// Single-threaded use (the host's main thread). The module outlives every object created from its
// factory: destroy all plug-in instances before the module. Errors are reported as HostError.
#include "pluginterfaces/base/ipluginbase.h"
#include <array>
#include <memory>
#include <string>
#include <vector>

namespace vst3host {

struct ClassDescription
{
  std::array<char, 16> cid{};    // raw class id, as Steinberg::TUID bytes
  std::string uid;               // cid as 32 hexadecimal digits
  std::string category;          // "Audio Module Class" for effects and instruments
  std::string name;
  int cardinality = 0;
  bool hasInfo2 = false;         // the fields below come from IPluginFactory2/3
  std::string subCategories;     // "Fx|Distortion", …
  std::string vendor;
  std::string version;
  std::string sdkVersion;
  unsigned classFlags = 0;

  bool IsAudioEffect() const;
};

struct FactoryDescription
{
  std::string vendor;
  std::string url;
  std::string email;
  int flags = 0;
  int interfaceVersion = 1;      // 1, 2 or 3: the highest IPluginFactory the module offers
};

class Vst3Module
{
public:
  // Loads a bundle folder (…/Name.vst3, whose library is Contents/x86_64-linux/Name.so) or a
  // shared library directly, calls ModuleEntry and fetches the factory.
  static std::unique_ptr<Vst3Module> Load(const std::string& path);
  ~Vst3Module();

  Vst3Module(const Vst3Module&) = delete;
  Vst3Module& operator=(const Vst3Module&) = delete;

  const std::string& Path() const { return mPath; }
  const std::string& LibraryPath() const { return mLibraryPath; }
  Steinberg::IPluginFactory* Factory() const { return mFactory; }
  const FactoryDescription& GetFactoryDescription() const { return mFactoryDescription; }
  const std::vector<ClassDescription>& Classes() const { return mClasses; }
  std::vector<const ClassDescription*> AudioEffectClasses() const;

  // The audio effect class named by `selector` (class name, case-insensitive, or class id), or
  // the only audio effect class when `selector` is empty. Throws when none or several match.
  const ClassDescription& SelectEffectClass(const std::string& selector) const;

private:
  Vst3Module() = default;
  void ReadDescriptions();

  std::string mPath;
  std::string mLibraryPath;
  void* mHandle = nullptr;
  bool mEntered = false;
  Steinberg::IPluginFactory* mFactory = nullptr;
  FactoryDescription mFactoryDescription;
  std::vector<ClassDescription> mClasses;
};

// The shared library inside a bundle folder, or `path` itself when it names a file.
// Throws when the bundle has no library for this platform.
std::string FindModuleLibrary(const std::string& path);

} // namespace vst3host
