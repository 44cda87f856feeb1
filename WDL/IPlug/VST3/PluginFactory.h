#pragma once
// The module's class factory: describes the registered classes (as 8-bit and as UTF-16 text)
// and creates their instances (IPluginFactory, IPluginFactory2, IPluginFactory3).
//
// Ownership: reference counted. The creator holds the first reference; the last release deletes
// the factory and first calls the release hook, which lets the module forget its pointer.
// createInstance hands the host exactly one reference to the new object, or an error result and
// a null object; no exception ever leaves it.
// Threads: classes are registered before the factory is handed out; after that every call may
// come from any thread (the class list is only read).

#include <atomic>
#include <vector>

#include "pluginterfaces/base/ipluginbase.h"

class PluginFactory : public Steinberg::IPluginFactory3
{
public:
  // Creates one object and returns it with one reference (null on failure). May throw: the
  // factory catches.
  using CreateFunc = Steinberg::FUnknown* (*)(void* context);
  // Called once, just before the factory is deleted.
  using ReleaseHook = void (*)(PluginFactory* factory);

  PluginFactory(const Steinberg::PFactoryInfo& info, ReleaseHook onLastRelease = nullptr);
  PluginFactory(const PluginFactory&) = delete;
  PluginFactory& operator=(const PluginFactory&) = delete;

  // False for a null creation function or a class id already registered.
  bool registerClass(const Steinberg::PClassInfo2& info, CreateFunc create, void* context = nullptr);

  // Adds a reference unless the count has already reached 0 (the factory is being deleted).
  bool TryAddRef();

  // IPluginFactory
  Steinberg::tresult PLUGIN_API getFactoryInfo(Steinberg::PFactoryInfo* info) override;
  Steinberg::int32 PLUGIN_API countClasses() override;
  Steinberg::tresult PLUGIN_API getClassInfo(Steinberg::int32 index, Steinberg::PClassInfo* info) override;
  Steinberg::tresult PLUGIN_API createInstance(Steinberg::FIDString cid, Steinberg::FIDString iid, void** obj) override;
  // IPluginFactory2, IPluginFactory3
  Steinberg::tresult PLUGIN_API getClassInfo2(Steinberg::int32 index, Steinberg::PClassInfo2* info) override;
  Steinberg::tresult PLUGIN_API getClassInfoUnicode(Steinberg::int32 index, Steinberg::PClassInfoW* info) override;
  // Keeps a reference to the host's context until the next call or the factory's deletion.
  Steinberg::tresult PLUGIN_API setHostContext(Steinberg::FUnknown* context) override;

  // FUnknown
  Steinberg::tresult PLUGIN_API queryInterface(const Steinberg::TUID iid, void** obj) override;
  Steinberg::uint32 PLUGIN_API addRef() override;
  Steinberg::uint32 PLUGIN_API release() override;

private:
  struct ClassEntry
  {
    Steinberg::PClassInfo2 mInfo;
    CreateFunc mCreate;
    void* mContext;
  };

  virtual ~PluginFactory();
  const ClassEntry* GetEntry(Steinberg::int32 index) const;

  std::atomic<Steinberg::int32> mRefCount{1};
  Steinberg::PFactoryInfo mInfo;
  ReleaseHook mOnLastRelease;
  std::vector<ClassEntry> mClasses;
  Steinberg::FUnknown* mHostContext = nullptr;
};
