#pragma once
// What a host's plug-in scanner reads from an initialised instance: buses, latency and tail,
// sample sizes, parameters with their defaults as value and text, units, and program lists —
// every list getProgramListInfo describes, also beyond a reported count of 0.
// Main thread; the instance must be initialised and inactive.
#include "PluginInstance.h"
#include <string>
#include <vector>

namespace vst3host {

struct BusReport
{
  std::string media;          // "audio" or "event"
  std::string direction;      // "input" or "output"
  int index = 0;
  std::string name;
  int channelCount = 0;
  std::string type;           // "main" or "aux"
  bool defaultActive = false;
  unsigned long long arrangement = 0;  // speaker bits, audio buses only
};

struct ParameterReport
{
  ParameterDescription info;
  double defaultPlain = 0;
  std::string defaultText;
  std::vector<std::string> flagNames;  // "automate", "read-only", "wrap-around", "list", …
};

struct UnitReport
{
  int id = 0;
  int parentId = 0;
  std::string name;
  int programListId = 0;
};

struct ProgramListReport
{
  int id = 0;
  std::string name;
  int programCount = 0;
  std::vector<std::string> programs;
};

struct EffectReport
{
  ClassDescription cls;
  bool singleComponent = false;
  bool hasController = false;
  unsigned latency = 0;
  unsigned tail = 0;
  bool can32 = false;
  bool can64 = false;
  std::vector<BusReport> buses;
  std::vector<ParameterReport> parameters;
  bool hasUnitInfo = false;
  std::vector<UnitReport> units;
  int programListCount = 0;          // as getProgramListCount reports it
  std::vector<ProgramListReport> programLists;
};

class PluginScanner
{
public:
  static EffectReport Scan(PluginInstance& plugin);
  static std::vector<std::string> ParameterFlagNames(int flags);
};

} // namespace vst3host
