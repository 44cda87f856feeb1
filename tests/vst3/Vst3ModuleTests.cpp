// The module shell and the class factory, seen from a host.
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <random>
#include <new>
#include <set>
#include <stdexcept>
#include <thread>

#include "PluginFactory.h"
#include "Vst3Fixture.h"

using namespace vst3test;

namespace
{
class ModuleTest : public BundleTest
{
protected:
  void SetUp() override { LoadBundle(kFxBundle); }
};

bool SameObject(FUnknown* a, FUnknown* b)
{
  IPtr<FUnknown> ua = Query<FUnknown>(a), ub = Query<FUnknown>(b);
  return ua && ua == ub;
}
}  // namespace

TEST(ModuleExports, OnlyTheThreeEntryPointsAreExported)
{
  std::string so = BundlePath(kFxBundle) + "/Contents/x86_64-linux/IPlugTestFx.so";
  std::string cmd = "nm -D --defined-only '" + so + "' 2>/dev/null";
  FILE* pipe = popen(cmd.c_str(), "r");
  ASSERT_NE(pipe, nullptr);
  std::set<std::string> symbols;
  char line[1024];
  while (fgets(line, sizeof(line), pipe))
  {
    char type = 0;
    char name[900] = {};
    if (sscanf(line, "%*s %c %899s", &type, name) == 2 && type != 'A') symbols.insert(name);
  }
  int status = pclose(pipe);
  if (status != 0 && symbols.empty()) GTEST_SKIP() << "nm is not available";
  EXPECT_EQ(symbols, (std::set<std::string>{"GetPluginFactory", "ModuleEntry", "ModuleExit"}));
}

TEST_F(ModuleTest, FactoryInfoNamesTheVendorAndIsUnicode)
{
  PFactoryInfo info;
  ASSERT_EQ(factory->getFactoryInfo(&info), kResultOk);
  EXPECT_STREQ(info.vendor, "Brelix Tests");
  EXPECT_STREQ(info.url, "https://example.org/brelix");
  EXPECT_STREQ(info.email, "tests@example.org");
  EXPECT_EQ(info.flags, 16);
  EXPECT_EQ(factory->getFactoryInfo(nullptr), kInvalidArgument);
}

TEST_F(ModuleTest, ClassInfoDescribesOneEffectClass)
{
  ASSERT_EQ(factory->countClasses(), 1);
  PClassInfo info;
  ASSERT_EQ(factory->getClassInfo(0, &info), kResultOk);
  EXPECT_STREQ(info.category, "Audio Module Class");
  EXPECT_STREQ(info.name, "IPlugTestFx");
  EXPECT_EQ(info.cardinality, 2147483647);
  // Words 1 and 2 fixed for the product, then the maker id and the unique id, each most
  // significant byte first.
  const unsigned char expected[16] = {0x5A, 0x3C, 0x91, 0xE7, 0x0B, 0x64, 0xD2, 0xF8,
                                      'B',  'r',  'x',  'T',  'T',  'F',  'x',  '1'};
  EXPECT_EQ(std::memcmp(info.cid, expected, 16), 0);
  EXPECT_EQ(factory->getClassInfo(1, &info), kInvalidArgument);
  EXPECT_EQ(factory->getClassInfo(-1, &info), kInvalidArgument);

  auto f2 = Query<IPluginFactory2>(factory);
  ASSERT_TRUE(f2);
  PClassInfo2 info2;
  ASSERT_EQ(f2->getClassInfo2(0, &info2), kResultOk);
  EXPECT_EQ(std::memcmp(info2.cid, expected, 16), 0);
  EXPECT_EQ(info2.classFlags, 2u);
  EXPECT_STREQ(info2.subCategories, "Fx");
  EXPECT_STREQ(info2.vendor, "");
  EXPECT_STREQ(info2.version, "1.2.3");
  EXPECT_STREQ(info2.sdkVersion, "VST 3.6.12");

  auto f3 = Query<IPluginFactory3>(factory);
  ASSERT_TRUE(f3);
  PClassInfoW infoW;
  ASSERT_EQ(f3->getClassInfoUnicode(0, &infoW), kResultOk);
  EXPECT_EQ(Narrow(infoW.name), "IPlugTestFx");
  EXPECT_EQ(Narrow(infoW.version), "1.2.3");
  EXPECT_EQ(Narrow(infoW.sdkVersion), "VST 3.6.12");
  EXPECT_STREQ(infoW.subCategories, "Fx");
  EXPECT_EQ(f3->getClassInfoUnicode(1, &infoW), kInvalidArgument);
  EXPECT_EQ(f3->setHostContext(host), kResultOk);
  EXPECT_EQ(f3->setHostContext(nullptr), kResultOk);
}

TEST_F(ModuleTest, RepeatedGetPluginFactoryAddsReferencesToTheSameFactory)
{
  IPluginFactory* second = module->getFactory();
  EXPECT_EQ(second, factory.get());
  EXPECT_EQ(second->release(), 1u);  // the fixture's reference remains
}

TEST_F(ModuleTest, FactoryCanBeFetchedAgainAfterItsLastRelease)
{
  factory = nullptr;  // the last reference: the factory is deleted
  IPtr<IPluginFactory> again = owned(module->getFactory());
  ASSERT_TRUE(again);
  EXPECT_EQ(again->countClasses(), 1);
  Vst3Instance inst(again, host);
  EXPECT_TRUE(inst.Ok());
}

TEST_F(ModuleTest, CreateInstanceGivesTheHostExactlyOneReference)
{
  PClassInfo info;
  factory->getClassInfo(0, &info);
  IAudioProcessor* proc = nullptr;
  ASSERT_EQ(factory->createInstance(info.cid, IAudioProcessor::iid, reinterpret_cast<void**>(&proc)), kResultOk);
  ASSERT_NE(proc, nullptr);
  EXPECT_EQ(proc->addRef(), 2u);
  EXPECT_EQ(proc->release(), 1u);
  EXPECT_EQ(proc->release(), 0u);
}

TEST_F(ModuleTest, CreateInstanceRefusesUnknownClassesAndInterfaces)
{
  PClassInfo info;
  factory->getClassInfo(0, &info);
  void* obj = reinterpret_cast<void*>(1);
  TUID wrong = {};
  EXPECT_EQ(factory->createInstance(wrong, IComponent::iid, &obj), kNoInterface);
  EXPECT_EQ(obj, nullptr);
  obj = reinterpret_cast<void*>(1);
  // An interface the plug-in does not offer: no object, and nothing leaks (checked by LSan).
  EXPECT_EQ(factory->createInstance(info.cid, IPluginFactory::iid, &obj), kNoInterface);
  EXPECT_EQ(obj, nullptr);
  EXPECT_EQ(factory->createInstance(info.cid, IComponent::iid, nullptr), kInvalidArgument);
  EXPECT_EQ(factory->createInstance(nullptr, IComponent::iid, &obj), kInvalidArgument);
}

TEST_F(ModuleTest, EveryInterfaceIsOneObject)
{
  Vst3Instance inst(factory, host);
  ASSERT_TRUE(inst.Ok());
  EXPECT_TRUE(inst.units);
  EXPECT_TRUE(inst.connection);
  EXPECT_TRUE(inst.contextRequirements);
  auto base = Query<IPluginBase>(inst.component);
  auto controller2 = Query<IEditController2>(inst.component);
  ASSERT_TRUE(base);
  ASSERT_TRUE(controller2);
  for (FUnknown* face : std::initializer_list<FUnknown*>{inst.processor, inst.controller, inst.units, inst.connection,
                                                         inst.contextRequirements, base, controller2})
    EXPECT_TRUE(SameObject(inst.component, face));
  EXPECT_FALSE(Query<IPluginFactory>(inst.component));
  // The controller is the component itself: no separate class to create.
  TUID cid;
  EXPECT_NE(inst.component->getControllerClassId(cid), kResultOk);
}

TEST_F(ModuleTest, InitializeTwiceIsRefusedAndChangesNothing)
{
  auto inst = NewInstance();
  int32 count = inst->ParamCount();
  inst->controller->setParamNormalized(0, 0.25);
  EXPECT_NE(inst->component->initialize(host), kResultOk);
  EXPECT_EQ(inst->ParamCount(), count);
  EXPECT_DOUBLE_EQ(inst->controller->getParamNormalized(0), 0.25);

  // Without a host context too.
  Vst3Instance bare(factory, nullptr, false);
  ASSERT_EQ(bare.component->initialize(nullptr), kResultOk);
  EXPECT_NE(bare.component->initialize(nullptr), kResultOk);
  EXPECT_EQ(bare.controller->getParameterCount(), count);
  EXPECT_EQ(bare.component->getBusCount(kAudio, kInput), 2);
  EXPECT_EQ(bare.component->terminate(), kResultOk);
}

TEST_F(ModuleTest, TerminateAndInitializeAgainRebuildsTheInstance)
{
  auto inst = NewInstance();
  int32 params = inst->ParamCount();
  ASSERT_EQ(inst->component->terminate(), kResultOk);
  EXPECT_EQ(inst->ParamCount(), 0);
  EXPECT_EQ(inst->component->getBusCount(kAudio, kInput), 0);
  ASSERT_EQ(inst->component->initialize(host), kResultOk);
  EXPECT_EQ(inst->ParamCount(), params);
  EXPECT_EQ(inst->units->getUnitCount(), 3);
}

namespace
{
// A host application that only names itself, without shared state.
class ThreadSafeHost : public IHostApplication, public HostRefCount
{
public:
  tresult PLUGIN_API getName(String128 name) override
  {
    const char16_t text[] = u"Thread Test Host";
    for (size_t i = 0; i < sizeof(text) / sizeof(text[0]); ++i) name[i] = static_cast<TChar>(text[i]);
    return kResultOk;
  }
  tresult PLUGIN_API createInstance(TUID, TUID, void** obj) override
  {
    if (obj) *obj = nullptr;
    return kNotImplemented;
  }
  tresult PLUGIN_API queryInterface(const TUID iid, void** obj) override
  {
    if (FUnknownPrivate::iidEqual(iid, IHostApplication::iid) || FUnknownPrivate::iidEqual(iid, FUnknown::iid))
    {
      addRef();
      *obj = static_cast<IHostApplication*>(this);
      return kResultOk;
    }
    *obj = nullptr;
    return kNoInterface;
  }
  uint32 PLUGIN_API addRef() override { return AddRefImpl(); }
  uint32 PLUGIN_API release() override { return ReleaseImpl(); }
};
}  // namespace

TEST_F(ModuleTest, ManyInstancesAreCreatedAndReleasedInAnyOrder)
{
  std::vector<std::unique_ptr<Vst3Instance>> instances;
  for (int i = 0; i < 12; ++i) instances.push_back(NewInstance());
  std::mt19937 rng(1234);
  std::shuffle(instances.begin(), instances.end(), rng);
  bool refilled = false;
  while (!instances.empty())
  {
    instances.erase(instances.begin() + static_cast<long>(rng() % instances.size()));
    if (instances.size() == 6 && !refilled)
    {
      refilled = true;
      for (int i = 0; i < 3; ++i) instances.push_back(NewInstance());
    }
  }

  // Two host threads creating at once. The SDK's own host class converts its name through a
  // shared converter, so each thread gets a host context that is safe to use concurrently.
  ThreadSafeHost hostA, hostB;
  std::vector<std::unique_ptr<Vst3Instance>> a, b;
  std::thread t1([&] {
    for (int i = 0; i < 8; ++i) a.push_back(std::make_unique<Vst3Instance>(factory, &hostA));
  });
  std::thread t2([&] {
    for (int i = 0; i < 8; ++i) b.push_back(std::make_unique<Vst3Instance>(factory, &hostB));
  });
  t1.join();
  t2.join();
  for (auto& inst : a) EXPECT_TRUE(inst->Ok());
  for (auto& inst : b) EXPECT_TRUE(inst->Ok());
}

TEST_F(ModuleTest, ModuleEntryAndExitArePairedAndExitWorksAfterTheLastRelease)
{
  {
    Vst3Instance inst(factory, host);
    EXPECT_TRUE(inst.Ok());
  }
  factory = nullptr;
  ASSERT_NE(module->entry, nullptr);
  EXPECT_TRUE(module->entry(module->Handle()));  // a second, nested entry
  EXPECT_TRUE(module->exit());
  EXPECT_TRUE(module->Exit());                   // the fixture's own entry
  EXPECT_FALSE(module->exit());                  // nothing left to exit
}

TEST(ModuleWithoutEntry, FactoryWorksWhenTheHostSkipsModuleEntry)
{
  Vst3Module module(BundlePath(kSynthBundle), false);
  ASSERT_TRUE(module.Loaded()) << module.Error();
  IPtr<IPluginFactory> factory = owned(module.getFactory());
  ASSERT_TRUE(factory);
  auto hostApp = std::make_unique<HostApplication>();
  HostApplication* host = hostApp.get();
  Vst3Instance inst(factory, host);
  EXPECT_TRUE(inst.Ok());
}

// The class factory on its own, with creation functions that misbehave.
namespace
{
int gHookCalls = 0;

class Counted : public IPluginBase, public HostRefCount
{
public:
  tresult PLUGIN_API initialize(FUnknown*) override { return kResultOk; }
  tresult PLUGIN_API terminate() override { return kResultOk; }
  tresult PLUGIN_API queryInterface(const TUID iid, void** obj) override
  {
    if (FUnknownPrivate::iidEqual(iid, IPluginBase::iid) || FUnknownPrivate::iidEqual(iid, FUnknown::iid))
    {
      addRef();
      *obj = static_cast<IPluginBase*>(this);
      return kResultOk;
    }
    *obj = nullptr;
    return kNoInterface;
  }
  uint32 PLUGIN_API addRef() override { return AddRefImpl(); }
  uint32 PLUGIN_API release() override { return ReleaseImpl(); }
};
Counted gCounted;

PClassInfo2 ClassWithId(char first)
{
  PClassInfo2 info;
  info.cid[0] = first;
  std::strcpy(info.name, "Test");
  return info;
}
}  // namespace

TEST(PluginFactory, CreationFailuresBecomeErrorResults)
{
  auto* factory = new PluginFactory(PFactoryInfo("v", "u", "e", PFactoryInfo::kUnicode),
                                    [](PluginFactory*) { ++gHookCalls; });
  ASSERT_TRUE(factory->registerClass(ClassWithId(1), [](void*) -> FUnknown* { throw std::runtime_error("no"); }));
  ASSERT_TRUE(factory->registerClass(ClassWithId(2), [](void*) -> FUnknown* { throw std::bad_alloc(); }));
  ASSERT_TRUE(factory->registerClass(ClassWithId(3), [](void*) -> FUnknown* { return nullptr; }));
  ASSERT_TRUE(factory->registerClass(ClassWithId(4), [](void*) -> FUnknown* { return &gCounted; }));
  EXPECT_FALSE(factory->registerClass(ClassWithId(4), [](void*) -> FUnknown* { return nullptr; }));
  EXPECT_FALSE(factory->registerClass(ClassWithId(5), nullptr));
  EXPECT_EQ(factory->countClasses(), 4);

  void* obj = reinterpret_cast<void*>(1);
  EXPECT_EQ(factory->createInstance(ClassWithId(1).cid, IPluginBase::iid, &obj), kInternalError);
  EXPECT_EQ(obj, nullptr);
  EXPECT_EQ(factory->createInstance(ClassWithId(2).cid, IPluginBase::iid, &obj), kOutOfMemory);
  EXPECT_EQ(factory->createInstance(ClassWithId(3).cid, IPluginBase::iid, &obj), kInternalError);
  EXPECT_EQ(obj, nullptr);

  // The creation reference is dropped whether or not the interface is offered.
  EXPECT_EQ(factory->createInstance(ClassWithId(4).cid, IComponent::iid, &obj), kNoInterface);
  EXPECT_EQ(gCounted.RefCount(), 0);
  gCounted.addRef();
  ASSERT_EQ(factory->createInstance(ClassWithId(4).cid, IPluginBase::iid, &obj), kResultOk);
  EXPECT_EQ(obj, static_cast<IPluginBase*>(&gCounted));
  EXPECT_EQ(gCounted.RefCount(), 1);

  EXPECT_TRUE(factory->TryAddRef());
  EXPECT_EQ(factory->release(), 1u);
  EXPECT_EQ(gHookCalls, 0);
  EXPECT_EQ(factory->release(), 0u);
  EXPECT_EQ(gHookCalls, 1);
}
