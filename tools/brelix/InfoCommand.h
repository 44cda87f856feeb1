#pragma once
// `brelix info`: the factory, its classes and, for every audio effect class (or the one chosen
// with --class), what a host's scanner sees (PluginScanner), as text or as JSON on standard
// output. Errors as HostError.
#include "CommandLine.h"
#include "PluginScanner.h"
#include "Vst3Module.h"
#include <string>
#include <vector>

namespace brelix {

class InfoCommand
{
public:
  explicit InfoCommand(const InfoOptions& options) : mOptions(options) {}
  // The complete report, ready to print.
  std::string Run();

  static std::string AsText(const vst3host::Vst3Module& module, const std::vector<vst3host::EffectReport>& effects);
  static std::string AsJson(const vst3host::Vst3Module& module, const std::vector<vst3host::EffectReport>& effects);

private:
  InfoOptions mOptions;
};

} // namespace brelix
