#include "PluginFactory.h"

#include <cstring>
#include <new>

using namespace Steinberg;

PluginFactory::PluginFactory(const PFactoryInfo& info, ReleaseHook onLastRelease)
  : mInfo(info), mOnLastRelease(onLastRelease)
{
}

PluginFactory::~PluginFactory()
{
  if (mHostContext) mHostContext->release();
}

bool PluginFactory::registerClass(const PClassInfo2& info, CreateFunc create, void* context)
{
  if (!create) return false;
  for (const ClassEntry& e : mClasses)
    if (std::memcmp(e.mInfo.cid, info.cid, sizeof(TUID)) == 0) return false;
  mClasses.push_back(ClassEntry{info, create, context});
  return true;
}

const PluginFactory::ClassEntry* PluginFactory::GetEntry(int32 index) const
{
  return index >= 0 && index < static_cast<int32>(mClasses.size()) ? &mClasses[static_cast<size_t>(index)] : nullptr;
}

tresult PLUGIN_API PluginFactory::getFactoryInfo(PFactoryInfo* info)
{
  if (!info) return kInvalidArgument;
  *info = mInfo;
  return kResultOk;
}

int32 PLUGIN_API PluginFactory::countClasses()
{
  return static_cast<int32>(mClasses.size());
}

tresult PLUGIN_API PluginFactory::getClassInfo(int32 index, PClassInfo* info)
{
  const ClassEntry* e = GetEntry(index);
  if (!info) return kInvalidArgument;
  if (!e) return kInvalidArgument;
  *info = PClassInfo();
  std::memcpy(info->cid, e->mInfo.cid, sizeof(TUID));
  info->cardinality = e->mInfo.cardinality;
  std::memcpy(info->category, e->mInfo.category, sizeof(info->category));
  std::memcpy(info->name, e->mInfo.name, sizeof(info->name));
  return kResultOk;
}

tresult PLUGIN_API PluginFactory::getClassInfo2(int32 index, PClassInfo2* info)
{
  const ClassEntry* e = GetEntry(index);
  if (!info || !e) return kInvalidArgument;
  *info = e->mInfo;
  return kResultOk;
}

template <size_t N, size_t M> static void Widen(char16 (&dst)[N], const char8 (&src)[M])
{
  static_assert(N >= M, "destination holds the source");
  size_t i = 0;
  for (; i < M - 1 && src[i]; ++i) dst[i] = static_cast<char16>(static_cast<unsigned char>(src[i]));
  for (; i < N; ++i) dst[i] = 0;
}

tresult PLUGIN_API PluginFactory::getClassInfoUnicode(int32 index, PClassInfoW* info)
{
  const ClassEntry* e = GetEntry(index);
  if (!info || !e) return kInvalidArgument;
  *info = PClassInfoW();
  const PClassInfo2& src = e->mInfo;
  std::memcpy(info->cid, src.cid, sizeof(TUID));
  info->cardinality = src.cardinality;
  std::memcpy(info->category, src.category, sizeof(info->category));
  Widen(info->name, src.name);
  info->classFlags = src.classFlags;
  std::memcpy(info->subCategories, src.subCategories, sizeof(info->subCategories));
  Widen(info->vendor, src.vendor);
  Widen(info->version, src.version);
  Widen(info->sdkVersion, src.sdkVersion);
  return kResultOk;
}

tresult PLUGIN_API PluginFactory::createInstance(FIDString cid, FIDString iid, void** obj)
{
  if (!obj) return kInvalidArgument;
  *obj = nullptr;
  if (!cid || !iid) return kInvalidArgument;

  const ClassEntry* entry = nullptr;
  for (const ClassEntry& e : mClasses)
    if (std::memcmp(e.mInfo.cid, cid, sizeof(TUID)) == 0) entry = &e;
  if (!entry) return kNoInterface;

  FUnknown* instance = nullptr;
  try
  {
    instance = entry->mCreate(entry->mContext);
  }
  catch (const std::bad_alloc&)
  {
    return kOutOfMemory;
  }
  catch (...)
  {
    return kInternalError;
  }
  if (!instance) return kInternalError;

  // The host's reference comes from queryInterface; the creation reference is dropped either way.
  tresult result = instance->queryInterface(iid, obj);
  instance->release();
  if (result != kResultOk) *obj = nullptr;
  return result;
}

tresult PLUGIN_API PluginFactory::setHostContext(FUnknown* context)
{
  if (context) context->addRef();
  if (mHostContext) mHostContext->release();
  mHostContext = context;
  return kResultOk;
}

tresult PLUGIN_API PluginFactory::queryInterface(const TUID iid, void** obj)
{
  if (!obj) return kInvalidArgument;
  QUERY_INTERFACE(iid, obj, FUnknown::iid, IPluginFactory)
  QUERY_INTERFACE(iid, obj, IPluginFactory::iid, IPluginFactory)
  QUERY_INTERFACE(iid, obj, IPluginFactory2::iid, IPluginFactory2)
  QUERY_INTERFACE(iid, obj, IPluginFactory3::iid, IPluginFactory3)
  *obj = nullptr;
  return kNoInterface;
}

uint32 PLUGIN_API PluginFactory::addRef()
{
  return static_cast<uint32>(mRefCount.fetch_add(1) + 1);
}

bool PluginFactory::TryAddRef()
{
  int32 count = mRefCount.load();
  while (count > 0)
    if (mRefCount.compare_exchange_weak(count, count + 1)) return true;
  return false;
}

uint32 PLUGIN_API PluginFactory::release()
{
  int32 count = mRefCount.fetch_sub(1) - 1;
  if (count == 0)
  {
    if (mOnLastRelease) mOnLastRelease(this);
    delete this;
  }
  return static_cast<uint32>(count < 0 ? 0 : count);
}
