#include "ParameterResolver.h"

#include "HostError.h"
#include "Text.h"

#include <cerrno>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

using vst3host::HostError;
using vst3host::ParameterDescription;

namespace brelix {

namespace {

std::string Trim(const std::string& s)
{
  const size_t b = s.find_first_not_of(" \t");
  if (b == std::string::npos)
    return {};
  return s.substr(b, s.find_last_not_of(" \t") - b + 1);
}

std::string Number(double v)
{
  char text[32];
  std::snprintf(text, sizeof(text), "%g", v);
  return text;
}

// The number at the start of `text`, accepted when nothing but `units` (if any) follows it.
bool ReadNumber(const std::string& text, const std::string& units, double& value)
{
  if (text.empty())
    return false;
  char* end = nullptr;
  errno = 0;
  value = std::strtod(text.c_str(), &end);
  if (end == text.c_str() || errno == ERANGE || !std::isfinite(value))
    return false;
  const std::string rest = Trim(end);
  return rest.empty() || (!units.empty() && vst3host::EqualsIgnoringCase(rest, Trim(units)));
}

} // namespace

ParameterResolver::ParameterResolver(const vst3host::PluginInstance& plugin)
: mPlugin(plugin), mParameters(plugin.Parameters())
{
}

ParameterRequest ParameterResolver::Parse(const std::string& text, bool byId)
{
  const size_t eq = text.find('=');
  if (eq == std::string::npos || Trim(text.substr(0, eq)).empty())
    throw HostError("expected " + std::string(byId ? "ID=VALUE" : "NAME=VALUE") + ", got '" + text + "'");
  return ParameterRequest{Trim(text.substr(0, eq)), Trim(text.substr(eq + 1)), byId};
}

const ParameterDescription& ParameterResolver::Find(const std::string& title) const
{
  for (const auto& p : mParameters)
    if (p.title == title)
      return p;
  for (const auto& p : mParameters)
    if (!p.shortTitle.empty() && p.shortTitle == title)
      return p;
  const ParameterDescription* match = nullptr;
  int matches = 0;
  for (const auto& p : mParameters)
    if (vst3host::EqualsIgnoringCase(p.title, title) || vst3host::EqualsIgnoringCase(p.shortTitle, title))
    {
      match = &p;
      ++matches;
    }
  if (matches == 1)
    return *match;
  if (matches > 1)
    throw HostError("parameter name '" + title + "' is ambiguous: write it with its exact case");
  throw HostError("'" + mPlugin.GetClassDescription().name + "' has no parameter '" + title +
                  "' (brelix info lists them)");
}

const ParameterDescription& ParameterResolver::FindId(const std::string& idText) const
{
  char* end = nullptr;
  errno = 0;
  const unsigned long id = std::strtoul(idText.c_str(), &end, 0);
  if (idText.empty() || *end || errno == ERANGE || idText[0] == '-')
    throw HostError("parameter id '" + idText + "' is not a number");
  for (const auto& p : mParameters)
    if (p.id == id)
      return p;
  throw HostError("'" + mPlugin.GetClassDescription().name + "' has no parameter with id " + idText);
}

void ParameterResolver::CheckRange(const ParameterDescription& p, double plain, const std::string& value) const
{
  double lo = mPlugin.NormalizedToPlain(p.id, 0.0);
  double hi = mPlugin.NormalizedToPlain(p.id, 1.0);
  if (lo > hi)
    std::swap(lo, hi);
  const double slack = 1e-9 * std::max(1.0, hi - lo);
  if (!(plain >= lo - slack && plain <= hi + slack))
    throw HostError("value " + value + " is outside the range of " + p.title + " (" + Number(lo) + " to " +
                    Number(hi) + ")");
}

ResolvedParameter ParameterResolver::Resolve(const ParameterRequest& request) const
{
  const ParameterDescription& p = request.byId ? FindId(request.key) : Find(request.key);
  if (p.flags & Steinberg::Vst::ParameterInfo::kIsReadOnly)
    throw HostError("parameter " + p.title + " is read-only");
  ResolvedParameter result{p.id, 0.0, p.title};

  if (request.byId)
  {
    if (!ReadNumber(request.value, "", result.normalized) || result.normalized < 0.0 || result.normalized > 1.0)
      throw HostError("normalised value '" + request.value + "' of parameter " + request.key +
                      " must be a number from 0 to 1");
    return result;
  }

  double plain = 0;
  if (ReadNumber(request.value, p.units, plain))
  {
    CheckRange(p, plain, request.value);
    result.normalized = mPlugin.PlainToNormalized(p.id, plain);
  }
  else
  {
    // Text such as a list entry ("on", a model name): the plug-in reads it, and its own text for
    // the result, when it has one, must give the same text back, or the plug-in did not
    // understand it. Some parameters (a host bypass, say) read text but show none.
    double normalized = 0;
    bool read = !request.value.empty() && mPlugin.TextToNormalized(p.id, request.value, normalized);
    std::string shown = read ? Trim(mPlugin.ValueText(p.id, normalized)) : std::string();
    if (!read || (!shown.empty() && !vst3host::EqualsIgnoringCase(shown, request.value)))
      throw HostError("'" + mPlugin.GetClassDescription().name + "' cannot read '" + request.value +
                      "' as a value of " + p.title);
    result.normalized = normalized;
  }
  if (!std::isfinite(result.normalized))
    throw HostError("'" + mPlugin.GetClassDescription().name + "' gave no valid value for " + p.title + "=" +
                    request.value);
  result.normalized = std::min(1.0, std::max(0.0, result.normalized));
  return result;
}

void ParameterResolver::ApplyAll(vst3host::PluginInstance& plugin, const std::vector<ParameterRequest>& requests,
                                 vst3host::ParameterChanges& firstBlock)
{
  const ParameterResolver resolver(plugin);
  for (const auto& request : requests)
  {
    const ResolvedParameter p = resolver.Resolve(request);
    if (plugin.Controller())
      plugin.Controller()->setParamNormalized(p.id, p.normalized);
    firstBlock.Add(p.id, 0, p.normalized);
  }
}

} // namespace brelix
