#include "PresetFileIO.h"

#include "HostError.h"
#include "public.sdk/source/common/memorystream.h"
#include "public.sdk/source/vst/vstpresetfile.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <functional>
#include <unistd.h>

using namespace Steinberg;
using namespace Steinberg::Vst;

namespace vst3host {

namespace {

// Releases a reference-counted SDK object at the end of a scope.
template <typename T>
struct Releaser
{
  T* object;
  ~Releaser()
  {
    if (object)
      object->release();
  }
};

bool Answered(tresult result)
{
  return result == kResultOk || result == kNotImplemented;
}

// The plug-in calls are made here rather than through PresetFile's helpers, so that each refusal
// gets its own message.
void Restore(IBStream* file, const PresetFile::Entry& entry, const std::function<tresult(IBStream*)>& apply,
             const std::string& what)
{
  if (entry.size == 0)
    return; // nothing stored (the plug-in keeps its state elsewhere)
  Releaser<ReadOnlyBStream> section{new ReadOnlyBStream(file, entry.offset, entry.size)};
  if (!Answered(apply(section.object)))
    throw HostError(what);
}

} // namespace

void PresetFileIO::Save(const std::string& path, PluginInstance& plugin)
{
  const std::string name = plugin.GetClassDescription().name;
  MemoryStream componentState, controllerState;
  if (!Answered(plugin.Component()->getState(&componentState)))
    throw HostError("cannot write preset '" + path + "': '" + name + "' did not hand out its state");
  if (plugin.Controller() && !Answered(plugin.Controller()->getState(&controllerState)))
    throw HostError("cannot write preset '" + path + "': the controller of '" + name + "' did not hand out its state");
  componentState.seek(0, IBStream::kIBSeekSet, nullptr);
  controllerState.seek(0, IBStream::kIBSeekSet, nullptr);

  const std::filesystem::path target(path);
  const std::filesystem::path dir = target.parent_path().empty() ? std::filesystem::path(".") : target.parent_path();
  std::string temp = (dir / ("." + target.filename().string() + ".XXXXXX")).string();
  const int fd = mkstemp(temp.data());
  if (fd < 0)
    throw HostError("cannot write preset '" + path + "': " + std::strerror(errno));
  close(fd);

  bool saved = false;
  {
    Releaser<IBStream> file{FileStream::open(temp.c_str(), "wb")};
    const FUID classId = FUID::fromTUID(plugin.GetClassDescription().cid.data());
    saved = file.object && PresetFile::savePreset(file.object, classId, &componentState,
                                                  plugin.Controller() ? &controllerState : nullptr);
  }
  if (!saved)
  {
    std::remove(temp.c_str());
    throw HostError("cannot write preset '" + path + "'");
  }
  if (std::rename(temp.c_str(), path.c_str()) != 0)
  {
    const std::string why = std::strerror(errno);
    std::remove(temp.c_str());
    throw HostError("cannot write preset '" + path + "': " + why);
  }
}

void PresetFileIO::Load(const std::string& path, PluginInstance& plugin)
{
  std::error_code ec;
  if (std::filesystem::is_directory(path, ec))
    throw HostError("cannot read preset '" + path + "': it is a directory");
  Releaser<IBStream> file{FileStream::open(path.c_str(), "rb")};
  if (!file.object)
    throw HostError("cannot read preset '" + path + "': " + std::strerror(errno));

  PresetFile preset(file.object);
  if (!preset.readChunkList())
    throw HostError("'" + path + "' is not a VST3 preset file");
  const std::string name = plugin.GetClassDescription().name;
  if (preset.getClassID() != FUID::fromTUID(plugin.GetClassDescription().cid.data()))
  {
    char other[33] = {};
    preset.getClassID().toString(other);
    throw HostError("preset '" + path + "' belongs to another plug-in (class " + other + ", not " + name + ")");
  }
  const PresetFile::Entry* component = preset.getEntry(kComponentState);
  const PresetFile::Entry* controller = preset.getEntry(kControllerState);
  if (!component && !controller)
    throw HostError("preset '" + path + "' holds no plug-in state");

  const std::string refused = "'" + name + "' refused the state in preset '" + path + "'";
  if (component)
  {
    Restore(file.object, *component, [&](IBStream* s) { return plugin.Component()->setState(s); }, refused);
    if (plugin.Controller())
      Restore(file.object, *component, [&](IBStream* s) { return plugin.Controller()->setComponentState(s); },
              refused);
  }
  if (controller && plugin.Controller())
    Restore(file.object, *controller, [&](IBStream* s) { return plugin.Controller()->setState(s); }, refused);
}

} // namespace vst3host
