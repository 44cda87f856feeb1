// .vstpreset files as the brelix tool reads them (vst3host::PresetFileIO::Load), into the Brelix
// bundle loaded as the tool loads it. Input: the file. After the load every parameter the
// controller publishes must be finite and in [0, 1]; a file refused before it reaches the
// plug-in (not a preset, another plug-in's, no state) must leave the state as it was.
#include <cmath>
#include <cstring>
#include <memory>
#include <vector>

#include "FuzzSupport.h"
#include "HostError.h"
#include "PluginInstance.h"
#include "PresetFileIO.h"
#include "Vst3Module.h"

using namespace Steinberg;
using namespace Steinberg::Vst;

namespace
{
vst3host::Vst3Module& Module()
{
  static std::unique_ptr<vst3host::Vst3Module> module = vst3host::Vst3Module::Load(BRELIX_FUZZ_BUNDLE);
  return *module;
}

}  // namespace

// Loaded before fuzzing starts, so that libFuzzer counts the bundle's code among its modules.
extern "C" int LLVMFuzzerInitialize(int*, char***)
{
  Module();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
  vst3host::Vst3Module& module = Module();
  vst3host::PluginInstance plugin(module, module.SelectEffectClass(""));
  IEditController* controller = plugin.Controller();
  FUZZ_CHECK(controller != nullptr);

  const std::vector<unsigned char> before = SetDistinctState(controller);

  const std::string path = MemoryFile(data, size);
  bool reachedPlugin = true;
  try
  {
    vst3host::PresetFileIO::Load(path, plugin);
  }
  catch (const vst3host::HostError& e)
  {
    // The one refusal that comes from the plug-in itself; it may have applied part of the state.
    reachedPlugin = std::strstr(e.what(), "refused the state") != nullptr;
  }

  for (const vst3host::ParameterDescription& p : plugin.Parameters())
  {
    const double v = controller->getParamNormalized(p.id);
    FUZZ_CHECK(std::isfinite(v) && v >= 0.0 && v <= 1.0, "normalised value in [0, 1]");
  }
  if (!reachedPlugin) FUZZ_CHECK(ControllerState(controller) == before, "a refused file leaves the state");
  return 0;
}
