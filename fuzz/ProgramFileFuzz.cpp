// Program (.fxp) and bank (.fxb) files in both forms, as the plug-in base loads them. Input: one
// byte choosing the plug-in (0 Brelix and 1 a test plug-in, both of the parameter form; 2 a test
// plug-in of the chunk form, whose state holds a text beside the parameters) and bit 2 a bank
// rather than a program, then the file. After the load every parameter must be finite and in
// range and every initialised preset must hold a whole state; a refused program file must leave
// the state and the presets as they were (a refused bank keeps the programs it applied before
// the damaged one, as bank files do).
#include <memory>

#include "Brelix.h"
#include "FuzzSupport.h"
#include "IPreset.h"
#include "TestPlug.h"

namespace
{
constexpr int kParams = 6;
constexpr int kPresets = 3;

std::unique_ptr<IPlugBase, void (*)(IPlugBase*)> MakePlug(int kind)
{
  auto deleteTest = [](IPlugBase* p) { delete p; };
  // Brelix is reference counted: its last release deletes it.
  auto releaseBrelix = [](IPlugBase* p) { static_cast<Brelix*>(p)->release(); };
  if (kind == 0) return {new Brelix(IPlugInstanceInfo()), releaseBrelix};
  TestPlug* plug = kind == 1 ? new TestPlug(kParams, "1-1 2-2", kPresets) : new TestChunkPlug(kParams, kPresets);
  if (kind == 1) plug->InitCyclicParams();
  plug->MakeDefaultPreset("first", 2);
  return {plug, deleteTest};
}

// Every initialised preset's state loads whole into a fresh plug-in of the same kind.
void CheckPresetsWhole(IPlugBase& plug, int kind)
{
  for (int i = 0; i < plug.NPresets(); ++i)
  {
    IPreset* preset = plug.GetPreset(i);
    if (!preset->mInitialized) continue;
    auto scratch = MakePlug(kind);
    FUZZ_CHECK(scratch->UnserializeState(&preset->mChunk, 0) >= 0, "an initialised preset holds a whole state");
    CheckParameters(*scratch);
  }
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
  if (size < 1) return 0;
  const int kind = (data[0] & 3) % 3;
  const bool bank = (data[0] & 4) != 0;
  const std::string path = MemoryFile(data + 1, size - 1);

  auto plug = MakePlug(kind);
  // A previous state unlike the default, so that an untouched state is told apart.
  for (int i = 0; i < plug->NParams(); ++i)
  {
    IParam* p = plug->GetParam(i);
    p->SetValue(p->GetMin() + (p->GetMax() - p->GetMin()) * (i + 1) / (plug->NParams() + 1));
  }
  plug->OnParamReset();
  const auto state = StateOf(*plug);
  const auto presets = PresetsOf(*plug);

  const bool loaded = bank ? plug->LoadBankFromFXB(path.c_str()) : plug->LoadProgramFromFXP(path.c_str());
  CheckParameters(*plug);
  CheckPresetsWhole(*plug, kind);
  if (!loaded && !bank)
  {
    FUZZ_CHECK(StateOf(*plug) == state, "a refused program leaves the state");
    FUZZ_CHECK(PresetsOf(*plug) == presets, "a refused program leaves the presets");
  }
  return 0;
}
