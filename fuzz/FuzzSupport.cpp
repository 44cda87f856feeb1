#include "FuzzSupport.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include <sys/mman.h>
#include <unistd.h>

#include "ByteChunk.h"
#include "IPlugBase.h"
#include "IPreset.h"
#include "pluginterfaces/vst/ivsteditcontroller.h"
#include "public.sdk/source/common/memorystream.h"

using namespace Steinberg;
using namespace Steinberg::Vst;

void FuzzFail(const char* file, int line, const char* cond, const char* what)
{
  std::fprintf(stderr, "%s:%d: invariant broken: %s %s\n", file, line, cond, what);
  std::abort();
}

std::string MemoryFile(const uint8_t* data, size_t size)
{
  static int fd = memfd_create("fuzz-input", 0);
  FUZZ_CHECK(fd >= 0, "memfd_create");
  FUZZ_CHECK(ftruncate(fd, 0) == 0);
  for (size_t done = 0; done < size;)
  {
    ssize_t n = pwrite(fd, data + done, size - done, static_cast<off_t>(done));
    FUZZ_CHECK(n > 0, "writing the memory file");
    done += static_cast<size_t>(n);
  }
  return "/proc/self/fd/" + std::to_string(fd);
}

void CheckParameters(IPlugBase& plug)
{
  for (int i = 0; i < plug.NParams(); ++i)
  {
    const IParam* p = plug.GetParam(i);
    const double v = p->Value(), n = p->GetNormalized();
    FUZZ_CHECK(std::isfinite(v), "plain value");
    FUZZ_CHECK(v >= p->GetMin() && v <= p->GetMax(), "plain value in range");
    FUZZ_CHECK(n >= 0.0 && n <= 1.0, "normalised value in [0, 1]");
  }
}

std::vector<unsigned char> StateOf(IPlugBase& plug)
{
  ByteChunk chunk;
  FUZZ_CHECK(plug.SerializeState(&chunk));
  return std::vector<unsigned char>(chunk.GetBytes(), chunk.GetBytes() + chunk.Size());
}

std::vector<unsigned char> PresetsOf(IPlugBase& plug)
{
  ByteChunk chunk;
  FUZZ_CHECK(plug.SerializePresets(&chunk));
  FUZZ_CHECK(chunk.PutValue(static_cast<int32_t>(plug.GetCurrentPresetIdx())) >= 0);
  // SerializePresets leaves out the states of uninitialised presets: those must stay empty too.
  for (int i = 0; i < plug.NPresets(); ++i)
    if (!plug.GetPreset(i)->mInitialized) FUZZ_CHECK(chunk.PutValue(plug.GetPreset(i)->mChunk.Size()) >= 0);
  return std::vector<unsigned char>(chunk.GetBytes(), chunk.GetBytes() + chunk.Size());
}

std::vector<unsigned char> ControllerState(IEditController* controller)
{
  MemoryStream stream;
  FUZZ_CHECK(controller->getState(&stream) == kResultOk);
  const auto* bytes = reinterpret_cast<const unsigned char*>(stream.getData());
  return std::vector<unsigned char>(bytes, bytes + stream.getSize());
}

void SetControllerState(IEditController* controller, const std::vector<unsigned char>& state)
{
  std::vector<unsigned char> copy = state;
  MemoryStream stream(copy.data(), static_cast<TSize>(copy.size()));
  FUZZ_CHECK(controller->setState(&stream) == kResultOk);
}

std::vector<unsigned char> SetDistinctState(IEditController* controller)
{
  std::vector<unsigned char> state = ControllerState(controller);
  FUZZ_CHECK(state.size() >= 4 && (state.size() - 4) % 8 == 0, "parameter values and a bypass flag");
  const int n = static_cast<int>((state.size() - 4) / 8);
  for (int i = 0; i < n; ++i)
  {
    const double v = controller->normalizedParamToPlain(static_cast<ParamID>(i), (i + 1.0) / (n + 1.0));
    std::memcpy(state.data() + 8 * i, &v, 8);
  }
  state[state.size() - 4] = 1;
  SetControllerState(controller, state);
  return ControllerState(controller);
}
