#include "InfoCommand.h"

#include "JsonWriter.h"
#include "PluginLocator.h"

#include <cstdio>

using namespace vst3host;

namespace brelix {

namespace {

std::string Format(const char* fmt, double v)
{
  char text[64];
  std::snprintf(text, sizeof(text), fmt, v);
  return text;
}

std::string Joined(const std::vector<std::string>& items, const char* separator)
{
  std::string s;
  for (const auto& item : items)
    s += (s.empty() ? "" : separator) + item;
  return s;
}

} // namespace

std::string InfoCommand::Run()
{
  const std::string path = mOptions.plugin.empty() ? DefaultPluginPath() : mOptions.plugin;
  auto module = Vst3Module::Load(path);

  std::vector<const ClassDescription*> chosen;
  if (!mOptions.className.empty())
    chosen.push_back(&module->SelectEffectClass(mOptions.className));
  else
    chosen = module->AudioEffectClasses();
  if (chosen.empty())
    module->SelectEffectClass(""); // reports that the module holds no audio effect class

  std::vector<EffectReport> effects;
  for (const ClassDescription* cls : chosen)
  {
    PluginInstance plugin(*module, *cls);
    effects.push_back(PluginScanner::Scan(plugin));
  }
  return mOptions.json ? AsJson(*module, effects) : AsText(*module, effects);
}

std::string InfoCommand::AsText(const Vst3Module& module, const std::vector<EffectReport>& effects)
{
  std::string t;
  const FactoryDescription& f = module.GetFactoryDescription();
  t += "Module   " + module.Path() + "\n";
  t += "Library  " + module.LibraryPath() + "\n";
  t += "Factory  " + f.vendor + (f.url.empty() ? "" : "  " + f.url) + (f.email.empty() ? "" : "  " + f.email) +
       "  (IPluginFactory" + (f.interfaceVersion > 1 ? std::to_string(f.interfaceVersion) : "") + ", flags " +
       std::to_string(f.flags) + ")\n";
  t += "Classes\n";
  for (const auto& c : module.Classes())
  {
    t += "  " + c.uid + "  " + c.category + "  \"" + c.name + "\"";
    if (c.hasInfo2)
      t += "  [" + c.subCategories + "]  " + c.vendor + " " + c.version + "  (" + c.sdkVersion + ")";
    t += "\n";
  }

  for (const auto& e : effects)
  {
    t += "\nEffect \"" + e.cls.name + "\"  " + (e.singleComponent ? "single component" : "separate controller") +
         ", latency " + std::to_string(e.latency) + ", tail " + std::to_string(e.tail) + ", samples" +
         (e.can32 ? " 32-bit" : "") + (e.can64 ? " 64-bit" : "") + "\n";
    t += "  Buses\n";
    for (const auto& b : e.buses)
      t += "    " + b.media + " " + b.direction + " " + std::to_string(b.index) + "  \"" + b.name + "\"  " +
           std::to_string(b.channelCount) + " ch  " + b.type + (b.defaultActive ? "  default-active" : "") + "\n";
    t += "  Parameters (" + std::to_string(e.parameters.size()) + ")\n";
    for (const auto& p : e.parameters)
    {
      t += "    " + std::to_string(p.info.id) + "  \"" + p.info.title + "\"";
      if (!p.info.units.empty())
        t += " [" + p.info.units + "]";
      t += "  steps " + std::to_string(p.info.stepCount) + "  default " + Format("%.6g", p.info.defaultNormalized) +
           " = " + Format("%.6g", p.defaultPlain) + " \"" + p.defaultText + "\"  unit " +
           std::to_string(p.info.unitId);
      if (!p.flagNames.empty())
        t += "  " + Joined(p.flagNames, ",");
      t += "\n";
    }
    if (!e.hasUnitInfo)
    {
      t += "  Units: no IUnitInfo\n";
      continue;
    }
    t += "  Units\n";
    for (const auto& u : e.units)
      t += "    " + std::to_string(u.id) + "  \"" + u.name + "\"  parent " + std::to_string(u.parentId) +
           "  program list " + std::to_string(u.programListId) + "\n";
    t += "  Program lists (count " + std::to_string(e.programListCount) + ")\n";
    for (const auto& l : e.programLists)
    {
      t += "    " + std::to_string(l.id) + "  \"" + l.name + "\"  " + std::to_string(l.programCount) + " programs\n";
      for (size_t i = 0; i < l.programs.size(); ++i)
        t += "      " + std::to_string(i) + "  \"" + l.programs[i] + "\"\n";
    }
  }
  return t;
}

std::string InfoCommand::AsJson(const Vst3Module& module, const std::vector<EffectReport>& effects)
{
  JsonWriter j;
  j.BeginObject();
  j.String("path", module.Path());
  j.String("library", module.LibraryPath());
  const FactoryDescription& f = module.GetFactoryDescription();
  j.BeginObject("factory");
  j.String("vendor", f.vendor);
  j.String("url", f.url);
  j.String("email", f.email);
  j.Number("flags", int64_t(f.flags));
  j.Number("interfaceVersion", int64_t(f.interfaceVersion));
  j.EndObject();

  j.BeginArray("classes");
  for (const auto& c : module.Classes())
  {
    j.BeginObject();
    j.String("uid", c.uid);
    j.String("category", c.category);
    j.String("name", c.name);
    j.Number("cardinality", int64_t(c.cardinality));
    if (c.hasInfo2)
    {
      j.String("subCategories", c.subCategories);
      j.String("vendor", c.vendor);
      j.String("version", c.version);
      j.String("sdkVersion", c.sdkVersion);
      j.Number("classFlags", int64_t(c.classFlags));
    }
    j.EndObject();
  }
  j.EndArray();

  j.BeginArray("effects");
  for (const auto& e : effects)
  {
    j.BeginObject();
    j.String("uid", e.cls.uid);
    j.String("name", e.cls.name);
    j.Boolean("singleComponent", e.singleComponent);
    j.Number("latency", int64_t(e.latency));
    j.Number("tail", int64_t(e.tail));
    j.BeginArray("sampleSizes");
    if (e.can32)
      j.Number(nullptr, int64_t(32));
    if (e.can64)
      j.Number(nullptr, int64_t(64));
    j.EndArray();

    j.BeginArray("buses");
    for (const auto& b : e.buses)
    {
      j.BeginObject();
      j.String("media", b.media);
      j.String("direction", b.direction);
      j.Number("index", int64_t(b.index));
      j.String("name", b.name);
      j.Number("channelCount", int64_t(b.channelCount));
      j.String("type", b.type);
      j.Boolean("defaultActive", b.defaultActive);
      if (b.media == "audio")
        j.Number("arrangement", int64_t(b.arrangement));
      j.EndObject();
    }
    j.EndArray();

    j.BeginArray("parameters");
    for (const auto& p : e.parameters)
    {
      j.BeginObject();
      j.Number("id", int64_t(p.info.id));
      j.String("title", p.info.title);
      j.String("shortTitle", p.info.shortTitle);
      j.String("units", p.info.units);
      j.Number("stepCount", int64_t(p.info.stepCount));
      j.Number("defaultNormalized", p.info.defaultNormalized);
      j.Number("defaultPlain", p.defaultPlain);
      j.String("defaultText", p.defaultText);
      j.Number("unitId", int64_t(p.info.unitId));
      j.Number("flags", int64_t(p.info.flags));
      j.BeginArray("flagNames");
      for (const auto& name : p.flagNames)
        j.String(nullptr, name);
      j.EndArray();
      j.EndObject();
    }
    j.EndArray();

    j.Boolean("unitInfo", e.hasUnitInfo);
    j.BeginArray("units");
    for (const auto& u : e.units)
    {
      j.BeginObject();
      j.Number("id", int64_t(u.id));
      j.Number("parentId", int64_t(u.parentId));
      j.String("name", u.name);
      j.Number("programListId", int64_t(u.programListId));
      j.EndObject();
    }
    j.EndArray();
    j.Number("programListCount", int64_t(e.programListCount));
    j.BeginArray("programLists");
    for (const auto& l : e.programLists)
    {
      j.BeginObject();
      j.Number("id", int64_t(l.id));
      j.String("name", l.name);
      j.Number("programCount", int64_t(l.programCount));
      j.BeginArray("programs");
      for (const auto& name : l.programs)
        j.String(nullptr, name);
      j.EndArray();
      j.EndObject();
    }
    j.EndArray();
    j.EndObject();
  }
  j.EndArray();
  j.EndObject();
  return j.Text();
}

} // namespace brelix
