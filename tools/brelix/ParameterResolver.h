#pragma once
// Turns parameter settings typed by a user into (id, normalised value) pairs through the
// plug-in's own conversions: `TITLE=VALUE` finds the parameter by title (or short title; exact
// first, then ignoring case) and reads a number as a plain value, checked against the
// parameter's plain range and converted with plainParamToNormalized, and any other text through
// getParamValueByString; `ID=VALUE` takes a parameter id and a normalised value 0 to 1.
// Main thread. Errors (unknown parameter, unreadable or out-of-range value) as HostError.
#include "ParameterChanges.h"
#include "PluginInstance.h"
#include <string>
#include <vector>

namespace brelix {

struct ParameterRequest
{
  std::string key;     // title, or id when byId
  std::string value;
  bool byId = false;
};

struct ResolvedParameter
{
  Steinberg::Vst::ParamID id = 0;
  double normalized = 0;
  std::string title;
};

class ParameterResolver
{
public:
  explicit ParameterResolver(const vst3host::PluginInstance& plugin);

  ResolvedParameter Resolve(const ParameterRequest& request) const;

  // Resolves every request in order; each reaches the controller at once and `firstBlock` at
  // sample 0, so the processor takes it with its first block, as a DAW's automation does.
  static void ApplyAll(vst3host::PluginInstance& plugin, const std::vector<ParameterRequest>& requests,
                       vst3host::ParameterChanges& firstBlock);

  // Splits "KEY=VALUE"; throws when there is no '=' or no key.
  static ParameterRequest Parse(const std::string& text, bool byId);

private:
  const vst3host::ParameterDescription& Find(const std::string& title) const;
  const vst3host::ParameterDescription& FindId(const std::string& idText) const;
  void CheckRange(const vst3host::ParameterDescription& p, double plain, const std::string& value) const;

  const vst3host::PluginInstance& mPlugin;
  std::vector<vst3host::ParameterDescription> mParameters;
};

} // namespace brelix
