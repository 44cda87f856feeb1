#pragma once
// Standard .vstpreset files for a plug-in instance, through the SDK's PresetFile: the component's
// state and the controller's own state, both stored (a plug-in that keeps everything in one of
// them still round-trips), both restored: the component state to the component and, through
// setComponentState, to the controller, then the controller state to the controller.
// Main thread; call while the instance is inactive. Errors are reported as HostError.
#include "PluginInstance.h"
#include <string>

namespace vst3host {

class PresetFileIO
{
public:
  // Writes to a temporary file beside `path` and renames it into place only when complete.
  static void Save(const std::string& path, PluginInstance& plugin);
  // Refuses files that are not presets or belong to another plug-in class.
  static void Load(const std::string& path, PluginInstance& plugin);
};

} // namespace vst3host
