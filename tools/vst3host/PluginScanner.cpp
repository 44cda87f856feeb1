#include "PluginScanner.h"

#include "Text.h"
#include "pluginterfaces/vst/ivstunits.h"
#include "pluginterfaces/vst/vstspeaker.h"

#include <algorithm>

using namespace Steinberg;
using namespace Steinberg::Vst;

namespace vst3host {

namespace {

// Program lists are probed by index beyond the reported count, up to this many.
constexpr int32 kMaxProgramLists = 64;

void ScanBuses(PluginInstance& plugin, EffectReport& report)
{
  for (MediaType media : {kAudio, kEvent})
    for (BusDirection dir : {kInput, kOutput})
    {
      const int32 count = plugin.Component()->getBusCount(media, dir);
      for (int32 i = 0; i < count; ++i)
      {
        BusInfo info{};
        if (plugin.Component()->getBusInfo(media, dir, i, info) != kResultOk)
          continue;
        BusReport b;
        b.media = media == kAudio ? "audio" : "event";
        b.direction = dir == kInput ? "input" : "output";
        b.index = i;
        b.name = ToUtf8(info.name);
        b.channelCount = info.channelCount;
        b.type = info.busType == kMain ? "main" : "aux";
        b.defaultActive = (info.flags & BusInfo::kDefaultActive) != 0;
        SpeakerArrangement arr = 0;
        if (media == kAudio && plugin.Processor()->getBusArrangement(dir, i, arr) == kResultOk)
          b.arrangement = arr;
        report.buses.push_back(b);
      }
    }
}

void ScanUnits(IUnitInfo* units, EffectReport& report)
{
  const int32 unitCount = units->getUnitCount();
  for (int32 i = 0; i < unitCount; ++i)
  {
    UnitInfo info{};
    if (units->getUnitInfo(i, info) != kResultOk)
      continue;
    report.units.push_back(UnitReport{info.id, info.parentUnitId, ToUtf8(info.name), info.programListId});
  }

  report.programListCount = units->getProgramListCount();
  const int32 probe = std::max(report.programListCount, kMaxProgramLists);
  for (int32 i = 0; i < probe; ++i)
  {
    ProgramListInfo info{};
    if (units->getProgramListInfo(i, info) != kResultOk)
    {
      if (i >= report.programListCount)
        break;
      continue;
    }
    ProgramListReport list{info.id, ToUtf8(info.name), info.programCount, {}};
    for (int32 p = 0; p < info.programCount && p < 4096; ++p)
    {
      String128 name{};
      list.programs.push_back(units->getProgramName(info.id, p, name) == kResultOk ? ToUtf8(name) : std::string());
    }
    report.programLists.push_back(list);
  }
}

} // namespace

std::vector<std::string> PluginScanner::ParameterFlagNames(int flags)
{
  static const struct
  {
    int bit;
    const char* name;
  } kFlags[] = {
    {ParameterInfo::kCanAutomate, "automate"}, {ParameterInfo::kIsReadOnly, "read-only"},
    {ParameterInfo::kIsWrapAround, "wrap-around"}, {ParameterInfo::kIsList, "list"},
    {ParameterInfo::kIsHidden, "hidden"}, {ParameterInfo::kIsProgramChange, "program-change"},
    {ParameterInfo::kIsBypass, "bypass"},
  };
  std::vector<std::string> names;
  for (const auto& f : kFlags)
    if (flags & f.bit)
      names.push_back(f.name);
  return names;
}

EffectReport PluginScanner::Scan(PluginInstance& plugin)
{
  EffectReport report;
  report.cls = plugin.GetClassDescription();
  report.singleComponent = plugin.IsSingleComponent();
  report.hasController = plugin.Controller() != nullptr;
  report.latency = plugin.Processor()->getLatencySamples();
  report.tail = plugin.Processor()->getTailSamples();
  report.can32 = plugin.Processor()->canProcessSampleSize(kSample32) == kResultOk;
  report.can64 = plugin.Processor()->canProcessSampleSize(kSample64) == kResultOk;
  ScanBuses(plugin, report);

  for (const auto& p : plugin.Parameters())
  {
    ParameterReport r;
    r.info = p;
    r.defaultPlain = plugin.NormalizedToPlain(p.id, p.defaultNormalized);
    r.defaultText = plugin.ValueText(p.id, p.defaultNormalized);
    r.flagNames = ParameterFlagNames(p.flags);
    report.parameters.push_back(r);
  }

  if (plugin.Controller())
  {
    void* object = nullptr;
    if (plugin.Controller()->queryInterface(IUnitInfo::iid, &object) == kResultOk && object)
    {
      auto* units = static_cast<IUnitInfo*>(object);
      report.hasUnitInfo = true;
      ScanUnits(units, report);
      units->release();
    }
  }
  return report;
}

} // namespace vst3host
